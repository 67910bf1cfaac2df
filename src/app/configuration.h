#pragma once
// The product data read from cfg.ini at start-up: options, sensor DPI tables, the 30 device
// descriptions and the current device. One process-wide instance (Config()); tests and
// `zorvanctl cfg-check` may load into their own.
#include "app/app_options.h"
#include "app/device_description.h"
#include "app/sensor_tables.h"

#include <QString>

#include <array>
#include <atomic>

namespace zorvan {

class IniFile;

struct Configuration {
    AppOptions opt;
    SensorTables sensors;
    std::array<DeviceDescription, kDeviceSlots> devices{};
    // The models' display names (`Name` of each device section; may be empty).
    std::array<QString, kDeviceSlots> deviceNames;
    MacroLimits limits;
    // The default key table: a copy of the current device's key tables, which new profiles
    // take and which gives the matrix positions when the mouse is read.
    KeyTable defaultKeys{};

    // The current device: index into `devices`, or -1.
    const DeviceDescription* CurrentDevice() const;
    void SetCurrentDevice(const DeviceDescription* device);
    void SetCurrentDeviceIndex(int index);
    int CurrentDeviceIndex() const { return current_.load(); }

    // The first record whose CID and MID equal the arguments; the walk ends at the first record
    // whose CID and MID are both 0.
    const DeviceDescription* FindDeviceByIds(int32_t cid, int32_t mid) const;

    // The name shown for `device`: its `Name`, else "CID:MID" in hexadecimal (1a:01).
    QString ModelName(const DeviceDescription& device) const;

    // Copies the current device's key tables into `defaultKeys`.
    void CopyDefaultKeys();

    Configuration() = default;
    Configuration(const Configuration& other);
    Configuration& operator=(const Configuration& other);

private:
    std::atomic<int> current_{-1};
};

// The process-wide configuration.
Configuration& Config();

// The data initialisation: reads `cfgPath` into `into` (by default the process-wide one),
// opening the log on the way (the log goes to `logFile`). Messages are shown through
// ShowMessage as they are met. False only when a device section is fatally wrong.
bool LoadConfiguration(const QString& cfgPath, const QString& logFile, Configuration& into = Config());
bool LoadConfiguration(const IniFile& ini, const QString& logFile, Configuration& into = Config());

// Shortcuts over the process-wide configuration.
inline const AppOptions& Options()
{
    return Config().opt;
}
inline const DeviceDescription* CurrentDevice()
{
    return Config().CurrentDevice();
}
inline const DeviceDescription* FindDeviceByIds(int32_t cid, int32_t mid)
{
    return Config().FindDeviceByIds(cid, mid);
}

}  // namespace zorvan
