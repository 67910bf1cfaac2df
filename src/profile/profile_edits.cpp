#include "profile/profile_edits.h"

#include "app/log.h"
#include "profile/function_name.h"
#include "profile/key_menu.h"
#include "text/language_texts.h"

#include <algorithm>
#include <cstdlib>
#include <cstring>

namespace zorvan {
namespace {

constexpr int kFireCountMax = 3;
constexpr int kFireIntervalMin = 10;
constexpr int kFireIntervalMax = 255;
constexpr int kMainModes = 6;
constexpr int kLogoModes = 3;
constexpr int kDpiLightModes = 2;
constexpr int kSliderSteps = 10;
constexpr int kLogoSpeedSteps = 5;
constexpr int kDpiParameterSteps = 5;

Edit Unavailable(const char* what)
{
    return Edit::Refused(QStringLiteral("this model has no %1 setting").arg(QLatin1String(what)));
}

// The lighting page greys the power settings out for a mouse found under PID.
Edit LockedUnderPid(const char* what)
{
    return Edit::Refused(QStringLiteral("the %1 setting is locked while the mouse is connected under product id PID")
                             .arg(QLatin1String(what)));
}

Edit OutOfRange(const char* what, int low, int high)
{
    return Edit::Refused(QStringLiteral("%1 must be %2..%3 on this model").arg(QLatin1String(what)).arg(low).arg(high));
}

bool InRange(int value, int low, int high)
{
    return value >= low && value <= high;
}

int MaxLevels(const DeviceDescription& device)
{
    return std::clamp(device.DpiLevelCount, 1, kDpiLevels);
}

bool OtherLeftClick(const ProfileRecord& profile, int key)
{
    const int set = profile.KeySetIndex();
    for (int k = 0; k < kKeysPerSet; ++k) {
        if (k != key && profile.Key[set][k].dwFunID == kFunLeftClick)
            return true;
    }
    return false;
}

// Main effect n sits at position n - 1 of the selector, off (0) at position 6; LedMask hides
// the positions whose bit it has.
bool MainModeOffered(int mode, const DeviceDescription& device)
{
    const int position = mode == 0 ? kMainModes : mode - 1;
    return (device.LedMask & (1 << position)) == 0;
}

struct LogoControls {
    bool brightness;
    bool speed;
    bool colour;
};

LogoControls LogoControlsOf(int mode)
{
    switch (mode) {
    case 1: return {true, false, true};
    case 2: return {true, true, true};
    case 3: return {true, true, false};
    default: return {false, false, false};
    }
}

bool DpiShown(const DeviceDescription& device)
{
    return device.ShowDpi != 0;
}

}  // namespace

std::optional<uint32_t> FireParameter(int count, int interval)
{
    if (!InRange(count, 0, kFireCountMax))
        return std::nullopt;
    const int i = std::clamp(interval, kFireIntervalMin, kFireIntervalMax);
    return uint32_t(count) + 256u * uint32_t(i);
}

Edit PickFunction(ProfileRecord& profile, int key, uint32_t code, const PickDetails& details,
                  const DeviceDescription& device, const KeyTable& defaults)
{
    if (!profile.IsValid())
        return Edit::Refused({});
    KeyAssignment record{};
    const uint32_t functionClass = FunClass(code);
    if (functionClass == kClassMacro) {
        if (details.macroId == 0)
            return Edit::Refused({});
        record.dwFunID = kFunMacro;
        record.dwMacroID = details.macroId;
    } else if (functionClass == kClassCombo) {
        if (details.combo == std::array<uint8_t, 4>{})
            return Edit::Refused({});
        std::memcpy(record.stCombo, details.combo.data(), sizeof record.stCombo);
        record.dwFunID = details.combo[0] != 0 ? kFunCombo : kFunComboKeysOnly;
    } else if (FunCode(code) == FunCode(kFunFire)) {  // whatever the class
        const auto parameter = FireParameter(details.fireCount, details.fireInterval);
        if (!parameter)
            return Edit::Refused({});
        record.dwFunID = kFunFire;
        record.dwParameter = *parameter;
    } else if (IsSnipePick(code)) {
        record.dwFunID = kFunSnipe;
        record.dwParameter = uint32_t(SnipePickPosition(code));
    } else if (functionClass == kClassExtra) {
        const uint32_t index = FunCode(code);
        if (index >= uint32_t(kExtraKeys) || device.ExKeys[index] == 0)
            return Edit::Refused(QStringLiteral("Wrong Ex Key Index"));
        record.dwFunID = kFunExtra + index;
        record.dwParameter = uint32_t(device.ExKeys[index]);
    } else {
        record.dwFunID = code;
    }
    return AssignKey(profile, key, record, defaults);
}

bool KeyEditable(int key, const DeviceDescription& device, const AppOptions& options)
{
    return InRange(key, 0, std::min(device.KeyCount, kKeysPerSet) - 1) && (options.KeyMask & (1 << key)) == 0;
}

bool FunctionOffered(uint32_t code, const DeviceDescription& device, const AppOptions& options,
                     const SensorTables& sensors)
{
    const std::vector<KeyMenuEntry> entries = KeyMenuEntries(device, options, sensors);
    return std::any_of(entries.begin(), entries.end(),
                       [code](const KeyMenuEntry& e) { return !e.groupRow && e.code == code; });
}

Edit AssignKey(ProfileRecord& profile, int key, KeyAssignment record, const KeyTable& defaults)
{
    if (!profile.IsValid() || !InRange(key, 0, kKeysPerSet - 1))
        return Edit::Refused({});
    // The mouse always keeps at least one left button.
    if (record.dwFunID != kFunLeftClick && !OtherLeftClick(profile, key))
        return Edit::Refused(GetText("tc_msg1"));
    record.matrix = defaults[0][key].matrix;

    const int set = profile.KeySetIndex();
    if (record.dwFunID == kFunKeySetSwitch) {
        for (int s = 0; s < kKeySets; ++s)
            profile.Key[s][key] = record;
    } else {
        bool switchKey = false;
        for (int s = 0; s < kKeySets; ++s)
            switchKey = switchKey || profile.Key[s][key].dwFunID == kFunKeySetSwitch;
        if (switchKey) {
            for (int s = 0; s < kKeySets; ++s)
                profile.Key[s][key] = defaults[s][key];
        }
        profile.Key[set][key] = record;
        uint32_t combo = 0;
        std::memcpy(&combo, record.stCombo, sizeof combo);
        Log("pFile->Key[%d][%d]: dwFunID=0x%x, dwMacroID=0x%08x, dwParameter=0x%08x, stCombo=0x%08x", set, key,
            record.dwFunID, record.dwMacroID, record.dwParameter, combo);
    }
    return Edit::Changed(apply::kKeys, uint32_t(key));
}

Edit RepairUnnamedKeys(ProfileRecord& profile, const DeviceDescription& device, const AppOptions& options,
                       const SensorTables& sensors, const KeyTable& defaults)
{
    if (!profile.IsValid())
        return Edit::Refused({});
    const int set = profile.KeySetIndex();
    bool repaired = false;
    for (int k = 0; k < std::clamp(device.KeyCount, 0, kKeysPerSet); ++k) {
        if (FunctionName(profile.Key[set][k], device, options, sensors).isEmpty()) {
            profile.Key[set][k] = defaults[set][k];
            repaired = true;
        }
    }
    return repaired ? Edit::Changed(0, 0) : Edit::Refused({});
}

std::optional<int> NearestDpi(const SensorDpiTable& table, int value)
{
    const int count = std::clamp(table.Count, 0, kSensorValues);
    std::optional<int> best;
    int64_t bestDistance = 0;
    for (int i = 0; i < count; ++i) {
        const int v = table.Values[size_t(i)];
        // In 64 bits: a value from an imported file can be anything an int holds.
        const int64_t distance = std::llabs(int64_t(v) - value);
        // Strictly smaller only: on a tie the lower position stays.
        if (!best || distance < bestDistance) {
            best = v;
            bestDistance = distance;
        }
        if (distance == 0)
            break;
    }
    return best;
}

Edit SetDpiValue(ProfileRecord& profile, int level, int x, std::optional<int> y, const DeviceDescription& device,
                 const SensorTables& sensors)
{
    if (!DpiShown(device))
        return Unavailable("DPI");
    if (!InRange(level, 0, profile.LevelCount() - 1))
        return OutOfRange("the DPI level", 1, profile.LevelCount());
    if (y && profile.xySeparate == 0)
        return Edit::Refused(QStringLiteral("a separate Y value needs separate X/Y turned on"));
    for (const int value : {x, y.value_or(x)}) {
        if (sensors.DpiIndex(device.Sensor, value) < 0) {
            const SensorDpiTable* table = sensors.Find(device.Sensor);
            const auto nearest = table ? NearestDpi(*table, value) : std::nullopt;
            if (!nearest)
                return Edit::Refused(QStringLiteral("the sensor of this model has no DPI table"));
            return Edit::Refused(QStringLiteral("the sensor does not offer %1 DPI; the nearest value it offers is %2")
                                     .arg(value)
                                     .arg(*nearest));
        }
    }
    DpiLevelRecord& record = profile.dpiLevels[level];
    record.x = x;
    if (profile.xySeparate == 0)
        record.y = x;
    else if (y)
        record.y = *y;
    return Edit::Changed(apply::kDpiLevels, uint32_t(level));
}

Edit SetLevelCount(ProfileRecord& profile, int count, const DeviceDescription& device, bool syncChangeDpiLevel,
                   int& currentDpiLevel)
{
    if (!DpiShown(device))
        return Unavailable("DPI");
    if (!InRange(count, 1, MaxLevels(device)))
        return OutOfRange("the number of DPI levels", 1, MaxLevels(device));
    profile.dpiLevelCount = count;
    if (!syncChangeDpiLevel)
        return Edit::Changed(apply::kDpiLevelCount, 0);
    currentDpiLevel = 0;
    return Edit::Changed(apply::kDpiLevelCount | apply::kCurrentDpiLevel, 0);
}

Edit SetXYSeparate(ProfileRecord& profile, bool on, const DeviceDescription& device)
{
    if (!DpiShown(device) || device.ShowXY == 0)
        return Unavailable("separate X/Y DPI");
    profile.xySeparate = on ? 1 : 0;
    for (DpiLevelRecord& level : profile.dpiLevels)
        level.y = level.x;
    return Edit::Changed(apply::kDpiLevels, apply::kAll);
}

Edit SetDpiColour(ProfileRecord& profile, int level, int32_t colour, const DeviceDescription& device)
{
    if (!DpiShown(device) || device.ShowDpiColor == 0 || device.DpiColorReadOnly != 0)
        return Unavailable("DPI level colour");
    if (!InRange(level, 0, profile.LevelCount() - 1))
        return OutOfRange("the DPI level", 1, profile.LevelCount());
    profile.dpiLevels[level].colour = colour & 0xFFFFFF;
    return Edit::Changed(apply::kDpiColours, uint32_t(level));
}

Edit SetCurrentLevel(const ProfileRecord& profile, int level, const DeviceDescription& device, int& currentDpiLevel)
{
    if (!DpiShown(device) || device.SetDpiByClick == 0)
        return Edit::Refused(QStringLiteral("this model's current DPI level is chosen with the mouse's DPI button "
                                            "(its device section does not set SetDPIByClick)"));
    if (!InRange(level, 0, profile.LevelCount() - 1))
        return OutOfRange("the DPI level", 1, profile.LevelCount());
    currentDpiLevel = level;
    return Edit::Changed(apply::kCurrentDpiLevel, 0);
}

Edit SetPollingRate(ProfileRecord& profile, int hz, const DeviceDescription& device)
{
    if (device.ShowUsbRate == 0)
        return Unavailable("polling rate");
    static constexpr std::array<std::pair<int, int32_t>, 4> kRates = {
        {{125, kRate125}, {250, kRate250}, {500, kRate500}, {1000, kRate1000}}};
    for (const auto& [rate, value] : kRates) {
        if (rate == hz) {
            profile.pollingRate = value;
            return Edit::Changed(apply::kPollingRate, 0);
        }
    }
    return Edit::Refused(QStringLiteral("the polling rate must be 125, 250, 500 or 1000"));
}

Edit SetLod(ProfileRecord& profile, int mm, const DeviceDescription& device)
{
    if (device.ShowLOD == 0)
        return Unavailable("lift-off distance");
    if (mm != 1 && mm != 2)
        return Edit::Refused(QStringLiteral("the lift-off distance must be 1 or 2 (mm)"));
    profile.lod = mm;
    return Edit::Changed(apply::kLod, 0);
}

Edit SetRipple(ProfileRecord& profile, bool on, const DeviceDescription& device)
{
    if (device.ShowRipple == 0)
        return Unavailable("ripple control");
    profile.ripple = on ? 1 : 0;
    return Edit::Changed(apply::kRipple, 0);
}

Edit SetAngleSnapping(ProfileRecord& profile, bool on, const DeviceDescription& device)
{
    if (device.ShowFixLine == 0)
        return Unavailable("angle snapping");
    profile.angleSnapping = on ? 1 : 0;
    return Edit::Changed(apply::kAngleSnapping, 0);
}

Edit SetDebounce(ProfileRecord& profile, int ms, const DeviceDescription& device, const AppOptions& options)
{
    if (device.ShowDebounce == 0)
        return Unavailable("debounce");
    const int low = options.DebounceRange & 0xFF;
    const int high = (options.DebounceRange >> 8) & 0xFF;
    if (!InRange(ms, low, high))
        return OutOfRange("the debounce time (ms)", low, high);
    profile.debounce = ms;
    return Edit::Changed(apply::kDebounce, 0);
}

Edit SetMainLight(ProfileRecord& profile, const LightChange& change, const DeviceDescription& device,
                  const AppOptions& options)
{
    if (device.ShowMainEffect == 0)
        return Unavailable("main lighting");
    if (change.parameter)
        return Edit::Refused(QStringLiteral("only the DPI lighting has a parameter"));
    const int mode = change.mode.value_or(profile.mainLight.mode);
    if (change.mode && (!InRange(mode, 0, kMainModes) || !MainModeOffered(mode, device)))
        return Edit::Refused(QStringLiteral("this model does not offer main lighting effect %1").arg(mode));
    const LedEffectOption& effect = options.LedEffect(mode);
    if (change.speed && (effect.LevelA == 0 || !InRange(*change.speed, 1, kSliderSteps)))
        return effect.LevelA == 0 ? Edit::Refused(QStringLiteral("main lighting effect %1 has no speed").arg(mode))
                                  : OutOfRange("the speed", 1, kSliderSteps);
    if (change.brightness && (effect.LevelB == 0 || !InRange(*change.brightness, 1, kSliderSteps)))
        return effect.LevelB == 0
                   ? Edit::Refused(QStringLiteral("main lighting effect %1 has no brightness").arg(mode))
                   : OutOfRange("the brightness", 1, kSliderSteps);
    if (change.colour && effect.ColourChoice == 0)
        return Edit::Refused(QStringLiteral("main lighting effect %1 has no colour").arg(mode));

    LightingBlock& main = profile.mainLight;
    if (change.mode) {
        // A new effect starts from its own speed and brightness; the colour stays.
        main.mode = mode;
        main.speed = effect.LevelA;
        main.brightness = effect.LevelB;
    }
    main.speed = change.speed.value_or(main.speed);
    main.brightness = change.brightness.value_or(main.brightness);
    if (change.colour)
        main.colour = *change.colour & 0xFFFFFF;
    return Edit::Changed(apply::kLighting, apply::kLightMain);
}

Edit SetLogoLight(ProfileRecord& profile, const LightChange& change, const DeviceDescription& device)
{
    if (device.ShowLogoEffect == 0)
        return Unavailable("logo lighting");
    if (change.parameter)
        return Edit::Refused(QStringLiteral("only the DPI lighting has a parameter"));
    const int mode = change.mode.value_or(profile.logoLight.mode);
    if (!InRange(mode, 0, kLogoModes))
        return OutOfRange("the logo lighting effect", 0, kLogoModes);
    const LogoControls controls = LogoControlsOf(mode);
    if (change.speed && (!controls.speed || !InRange(*change.speed, 1, kLogoSpeedSteps)))
        return !controls.speed ? Edit::Refused(QStringLiteral("logo lighting effect %1 has no speed").arg(mode))
                               : OutOfRange("the logo speed", 1, kLogoSpeedSteps);
    if (change.brightness && (!controls.brightness || !InRange(*change.brightness, 1, kSliderSteps)))
        return !controls.brightness
                   ? Edit::Refused(QStringLiteral("logo lighting effect %1 has no brightness").arg(mode))
                   : OutOfRange("the brightness", 1, kSliderSteps);
    if (change.colour && !controls.colour)
        return Edit::Refused(QStringLiteral("logo lighting effect %1 has no colour").arg(mode));

    LightingBlock& logo = profile.logoLight;
    logo.mode = mode;
    logo.speed = change.speed.value_or(logo.speed);
    logo.brightness = change.brightness.value_or(logo.brightness);
    if (change.colour)
        logo.colour = *change.colour & 0xFFFFFF;
    return Edit::Changed(apply::kLighting, apply::kLightLogo);
}

Edit SetDpiLight(ProfileRecord& profile, const LightChange& change, const DeviceDescription& device)
{
    if (!DpiShown(device) || device.ShowDpiLED == 0)
        return Unavailable("DPI lighting");
    if (change.brightness || change.colour)
        return Edit::Refused(QStringLiteral("the DPI lighting has a speed (effect 1) and a parameter (effect 2) only"));
    const int mode = change.mode.value_or(profile.dpiEffectMode);
    if (!InRange(mode, 0, kDpiLightModes))
        return OutOfRange("the DPI lighting effect", 0, kDpiLightModes);
    // Each slider shows its thumb only in its own effect.
    if (change.speed && (mode != 1 || !InRange(*change.speed, 1, kSliderSteps)))
        return mode != 1 ? Edit::Refused(QStringLiteral("the DPI lighting speed belongs to effect 1"))
                         : OutOfRange("the speed", 1, kSliderSteps);
    if (change.parameter && (mode != 2 || !InRange(*change.parameter, 1, kDpiParameterSteps)))
        return mode != 2 ? Edit::Refused(QStringLiteral("the DPI lighting parameter belongs to effect 2"))
                         : OutOfRange("the parameter", 1, kDpiParameterSteps);
    profile.dpiEffectMode = mode;
    profile.dpiEffectSpeed = change.speed.value_or(profile.dpiEffectSpeed);
    profile.dpiEffectParameter = change.parameter.value_or(profile.dpiEffectParameter);
    return Edit::Changed(apply::kLighting, apply::kLightDpi);
}

Edit SetSleepTime(ProfileRecord& profile, int seconds, const DeviceDescription& device, bool underPid)
{
    if (device.ShowSleep == 0)
        return Unavailable("sleep time");
    if (underPid)
        return LockedUnderPid("sleep time");
    for (const int32_t value : device.SleepValues) {
        if (value != 0 && value == seconds) {
            profile.sleepTime = seconds;
            return Edit::Changed(apply::kSleepTime, 0);
        }
    }
    QStringList offered;
    for (const int32_t value : device.SleepValues) {
        if (value != 0)
            offered << QString::number(value);
    }
    return Edit::Refused(QStringLiteral("the sleep time must be one of %1 (seconds)").arg(offered.join(QStringLiteral(", "))));
}

Edit SetLightOffMoving(ProfileRecord& profile, bool on, const DeviceDescription& device, bool underPid)
{
    if (device.ShowSleep == 0)
        return Unavailable("light-off-while-moving");
    if (underPid)
        return LockedUnderPid("light-off-while-moving");
    profile.lightOffMoving = on ? 1 : 0;
    return Edit::Changed(apply::kLightOffMoving, 0);
}

}  // namespace zorvan
