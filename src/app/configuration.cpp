#include "app/configuration.h"

#include <cstring>

namespace zorvan {

Configuration& Config()
{
    static Configuration config;
    return config;
}

Configuration::Configuration(const Configuration& other)
    : opt(other.opt), sensors(other.sensors), devices(other.devices), deviceNames(other.deviceNames), limits(other.limits), current_(other.current_.load())
{
    std::memcpy(defaultKeys, other.defaultKeys, sizeof defaultKeys);
}

Configuration& Configuration::operator=(const Configuration& other)
{
    if (this != &other) {
        opt = other.opt;
        sensors = other.sensors;
        devices = other.devices;
        deviceNames = other.deviceNames;
        limits = other.limits;
        std::memcpy(defaultKeys, other.defaultKeys, sizeof defaultKeys);
        current_.store(other.current_.load());
    }
    return *this;
}

const DeviceDescription* Configuration::CurrentDevice() const
{
    const int index = current_.load();
    return (index >= 0 && index < kDeviceSlots) ? &devices[size_t(index)] : nullptr;
}

void Configuration::SetCurrentDevice(const DeviceDescription* device)
{
    if (device == nullptr || device < devices.data() || device >= devices.data() + kDeviceSlots) {
        current_.store(-1);
        return;
    }
    current_.store(int(device - devices.data()));
}

void Configuration::SetCurrentDeviceIndex(int index)
{
    current_.store(index >= 0 && index < kDeviceSlots ? index : -1);
}

const DeviceDescription* Configuration::FindDeviceByIds(int32_t cid, int32_t mid) const
{
    for (const DeviceDescription& d : devices) {
        if (d.CID == 0 && d.MID == 0)
            return nullptr;
        if (d.CID == cid && d.MID == mid)
            return &d;
    }
    return nullptr;
}

QString Configuration::ModelName(const DeviceDescription& device) const
{
    // By the model's ids: the pages may hold a copy of the description.
    for (size_t n = 0; n < devices.size(); ++n) {
        if (devices[n].HoldsModel() && devices[n].CID == device.CID && devices[n].MID == device.MID &&
            !deviceNames[n].isEmpty())
            return deviceNames[n];
    }
    return QStringLiteral("%1:%2").arg(device.CID, 2, 16, QLatin1Char('0')).arg(device.MID, 2, 16, QLatin1Char('0'));
}

void Configuration::CopyDefaultKeys()
{
    const DeviceDescription* device = CurrentDevice();
    if (device == nullptr)
        return;
    std::memcpy(defaultKeys, device->KeyTables, sizeof defaultKeys);
}

int32_t AppOptions::LanguageCount() const
{
    int32_t count = 0;
    while (count < LanguageListLength && count < 10 && !Languages[size_t(count)].name.isEmpty())
        ++count;
    return count;
}

}  // namespace zorvan
