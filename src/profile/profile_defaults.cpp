#include "profile/profile_defaults.h"

#include "app/configuration.h"
#include "macro/time_stamp_id.h"
#include "text/language_texts.h"

#include <algorithm>
#include <cstring>

namespace zorvan {
namespace {

constexpr int32_t kDefaultWheelLines = 3;
constexpr int32_t kDefaultDoubleClickTime = 550;
constexpr int32_t kDefaultPointerSpeed = 10;
constexpr int32_t kLogoMaxMode = 3;
constexpr int32_t kLogoMaxSpeed = 5;

// Every default except magic, id and name, into a zeroed record.
void FillDefaults(ProfileRecord& p, const DeviceDescription& device, const AppOptions& options, const KeyTable& keys)
{
    std::memcpy(p.Key, keys, sizeof p.Key);
    p.currentKeySet = 0;
    p.pollingRate = device.ReportRate;
    p.wheelLines = kDefaultWheelLines;
    p.doubleClickTime = kDefaultDoubleClickTime;
    p.pointerSpeed = kDefaultPointerSpeed;
    p.enhancePrecision = options.EnhancePrecision;

    // The record holds eight levels whatever DM says.
    const int levels = std::clamp(device.DpiLevelCount, 0, kDpiLevels);
    for (int i = 0; i < kDpiLevels; ++i) {
        DpiLevelRecord& level = p.dpiLevels[i];
        level.hidden = i < levels ? 0 : 1;
        if (i < levels) {
            level.x = level.y = device.DpiLevels[size_t(i)];
            level.colour = device.DpiColours[size_t(i)];
        }
    }
    p.sensor = device.Sensor;
    p.dpiLevelCount = std::min(device.DpiUiLevels != 0 ? device.DpiUiLevels : device.DpiLevelCount, kDpiLevels);
    p.lod = device.ShowLOD;
    p.sleepTime = device.SleepTime;
    p.debounce = device.Debounce != 0 ? device.Debounce : options.Debounce;
    p.lightOffMoving = device.SleepTimeCheck;
    p.dpiEffectMode = device.DpiLedMode & 0xFF;
    p.dpiEffectSpeed = (device.DpiLedMode >> 8) & 0xFF;
    p.dpiEffectParameter = (device.DpiLedMode >> 16) & 0xFF;

    const auto& led = options.LEDParam;
    p.mainLight.mode = led[0];
    p.mainLight.brightness = led[1];
    p.mainLight.speed = led[2];
    p.mainLight.colour = int32_t(led[3] | (led[4] << 8) | (led[5] << 16));
    // The logo zone knows fewer modes and speeds than the main zone.
    p.logoLight = p.mainLight;
    if (p.logoLight.mode > kLogoMaxMode)
        p.logoLight.mode = 1;
    if (p.logoLight.speed > kLogoMaxSpeed)
        p.logoLight.speed = kLogoMaxSpeed;
}

const DeviceDescription& CurrentOrEmptyDevice()
{
    static const DeviceDescription empty;
    const DeviceDescription* device = CurrentDevice();
    return device != nullptr ? *device : empty;
}

std::u16string_view Utf16(const QString& text)
{
    return {reinterpret_cast<const char16_t*>(text.utf16()), size_t(text.size())};
}

}  // namespace

ProfileRecord MakeNewProfile(std::u16string_view name, const DeviceDescription& device, const AppOptions& options,
                             const KeyTable& keys)
{
    ProfileRecord p{};
    p.magic = kProfileMagic;
    p.id = NewTimeStampId();
    FillDefaults(p, device, options, keys);
    p.SetName(name);
    return p;
}

ProfileRecord MakeNewProfile(std::u16string_view name)
{
    return MakeNewProfile(name, CurrentOrEmptyDevice(), Options(), Config().defaultKeys);
}

void ResetProfileToDefaults(ProfileRecord& profile)
{
    ProfileRecord p{};
    p.magic = profile.magic;
    p.id = profile.id;
    std::memcpy(p.reserved3, profile.reserved3, sizeof p.reserved3);
    FillDefaults(p, CurrentOrEmptyDevice(), Options(), Config().defaultKeys);
    const QString name = GetText("tc_msg14");
    p.SetName(Utf16(name));
    profile = p;
}

}  // namespace zorvan
