#pragma once
// The DPI values each sensor offers and their register codes. Eleven tables are built at
// start-up from built-in rules; a device section of cfg.ini may regenerate its sensor's table.
#include <array>
#include <cstdint>
#include <optional>

namespace zorvan {

class IniSection;
struct AppOptions;

constexpr int kSensorSlots = 30;
constexpr int kSensorValues = 650;

struct SensorDpiTable {
    int32_t Sensor = 0;  // 0: slot unused
    int32_t Count = 0;
    std::array<uint16_t, kSensorValues> Values{};
    std::array<uint8_t, kSensorValues> Codes{};
};

class SensorTables {
public:
    // Clears all slots and fills the eleven built-in tables.
    void Build(int32_t setp3325, int32_t sensor9000Max, int32_t sensor3395Max);

    const SensorDpiTable* Find(int32_t sensor) const;
    SensorDpiTable* Find(int32_t sensor);

    // The override keys of one device section (DPIRANGEALIAS, DPIRANGE, DPISET, DPIHW) applied to
    // `table`; messages are shown as they are met.
    static void ApplyOverrides(SensorDpiTable& table, const IniSection& section);

    // Register code of `dpi`; 0 when the sensor has no table or the value is not offered.
    // The range flag is written only when `rangeFlag` is given.
    int DpiToCode(int32_t sensor, int dpi, int* rangeFlag = nullptr) const;
    // DPI value of a register code and range flags for `sensor`; 0 when unknown.
    int CodeToDpi(int32_t sensor, int code, int flags) const;
    // Position of `dpi` in the table, or -1.
    int DpiIndex(int32_t sensor, int dpi) const;
    // Value at `position`, or -1.
    int DpiAt(int32_t sensor, int position) const;

    const std::array<SensorDpiTable, kSensorSlots>& Slots() const { return slots_; }

private:
    std::array<SensorDpiTable, kSensorSlots> slots_{};
};

// The eight default DPI levels of a sensor, when it has them.
std::optional<std::array<int32_t, 8>> DefaultDpiLevels(int32_t sensor);

// The conversions over the process-wide tables; CodeToDpi uses the current device's sensor.
int DpiToCode(int32_t sensor, int dpi, int* rangeFlag = nullptr);
int CodeToDpi(int code, int flags);
int DpiIndex(int32_t sensor, int dpi);
int DpiAt(int32_t sensor, int position);

}  // namespace zorvan
