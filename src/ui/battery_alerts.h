#pragma once
// BatteryAlerts: when the battery readings call for a desktop notification. The battery falling
// to 15 % or below, and charging reaching 100 %, each notify once per crossing: the low alert
// comes back only after a reading above 15 %, the charged alert only after a reading below
// 100 % or without charging. A first reading that is already low alerts; one that is already
// charged does not (the cable stays in at every start).
#include <optional>

namespace zorvan {

enum class BatteryAlert { kLow, kCharged };

class BatteryAlerts {
public:
    static constexpr int kLowLevel = 15;

    // The alert this reading calls for, if any.
    std::optional<BatteryAlert> OnReading(bool charging, int level);

private:
    bool lowShown_ = false;
    bool chargedShown_ = false;
    bool first_ = true;
};

}  // namespace zorvan
