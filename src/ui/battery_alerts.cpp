#include "ui/battery_alerts.h"

namespace zorvan {

std::optional<BatteryAlert> BatteryAlerts::OnReading(bool charging, int level)
{
    const bool first = first_;
    first_ = false;
    std::optional<BatteryAlert> alert;
    if (level > kLowLevel) {
        lowShown_ = false;
    } else if (!lowShown_ && !charging) {
        lowShown_ = true;
        alert = BatteryAlert::kLow;
    }
    if (!charging || level < 100) {
        chargedShown_ = false;
    } else if (!chargedShown_) {
        chargedShown_ = true;
        if (!first)
            alert = BatteryAlert::kCharged;
    }
    return alert;
}

}  // namespace zorvan
