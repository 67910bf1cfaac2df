#include "profile/settings_writer.h"

#include "app/configuration.h"
#include "app/log.h"
#include "device/eeprom_map.h"
#include "device/protocol_pause.h"
#include "device/usb_driver.h"
#include "macro/macro_library.h"
#include "profile/area_writers.h"
#include "profile/eeprom_codec.h"
#include "profile/function_codes.h"
#include "profile/key_area_writer.h"
#include "profile/lighting_tables.h"
#include "profile/profile_pauses.h"
#include "profile/profile_state.h"
#include "profile/system_pointer.h"

#include <algorithm>
#include <chrono>
#include <span>

namespace zorvan {
namespace {

void Pause()
{
    ProtocolPause(Pauses().betweenAreas);
}

// A write result that ends the writer: a failure while GoWithNoDev is 0.
bool Failed(bool result)
{
    return !result && Options().GoWithNoDev == 0;
}

// The macro library's reserved field is reset however the writer ends.
struct ResetMacroReservedFields {
    ~ResetMacroReservedFields() { Macros().ResetReservedFields(); }
};

bool WriteBytes(CUSBDriver& link, const EepromPatch& patch)
{
    return link.WriteEEPROM(kAreaPiece, int(patch.bytes.size()), patch.address, patch.bytes.data());
}

bool WriteMainLight(CUSBDriver& link, const LightingBlock& main)
{
    Pause();
    std::array<uint8_t, 7> stored{};
    const bool off = !(main.mode >= 1 && main.mode < int32_t(kMainModeBytes.size()));
    if (off) {
        // Off keeps the colour, speed and brightness the mouse holds.
        if (Failed(link.ReadEEPROM(eeprom::kMainLight, stored.data(), int(stored.size()))))
            return false;
        Pause();
    }
    const std::array<uint8_t, 7> bytes = EncodeMainLight(main, stored);
    return !Failed(link.WriteEEPROM(kAreaPiece, int(bytes.size()), eeprom::kMainLight, bytes.data()));
}

bool WriteLighting(CUSBDriver& link, const ProfileRecord& profile, const DeviceDescription& device, uint32_t data)
{
    Log("Set LED, inx=0x%x --------", data);
    if ((data & apply::kLightMain) && device.ShowMainEffect && !WriteMainLight(link, profile.mainLight))
        return false;
    if ((data & apply::kLightDpi) && device.ShowDpiLED) {
        Pause();
        if (Failed(WriteBytes(link, EncodeDpiEffect(profile.dpiEffectMode, profile.dpiEffectSpeed,
                                                    profile.dpiEffectParameter))))
            return false;
    }
    if ((data & apply::kLightLogo) && device.ShowLogoEffect) {
        Pause();
        if (Failed(WriteBytes(link, EncodeLogoLight(profile.logoLight))))
            return false;
    }
    return true;
}

// The mask of one level (0..7); none for an index outside the eight records.
uint32_t LevelMask(uint32_t data)
{
    return data < uint32_t(kDpiLevels) ? 1u << data : 0;
}

bool WriteDpiLevels(CUSBDriver& link, const ProfileRecord& profile, const DeviceDescription& device, uint32_t data)
{
    Log("Set DPI --------");
    Pause();
    const std::span<const DpiLevelRecord> levels(profile.dpiLevels);
    if (data != apply::kAll)
        return !Failed(SetDpiLevels(link, LevelMask(data), levels, kDpiLevels, device.Sensor));
    const int count = std::clamp(device.DpiLevelCount, 0, kDpiLevels);
    std::array<uint8_t, kDpiLevels> xs{};
    std::array<uint8_t, kDpiLevels> ys{};
    for (int i = 0; i < count; ++i) {
        const auto entry = EncodeDpiLevel(device.Sensor, levels[size_t(i)]);
        xs[size_t(i)] = entry[0];
        ys[size_t(i)] = entry[1];
    }
    LogHex(xs.data(), size_t(count), 0, "DpiX=");
    LogHex(ys.data(), size_t(count), 0, "DpiY=");
    return !Failed(SetDpiLevels(link, kWholeTable, levels, count, device.Sensor));
}

bool WriteDpiColours(CUSBDriver& link, const ProfileRecord& profile, const DeviceDescription& device, uint32_t data)
{
    Log("Set DPI Color --------");
    std::array<int32_t, kDpiLevels> colours{};
    for (int i = 0; i < kDpiLevels; ++i)
        colours[size_t(i)] = profile.dpiLevels[i].colour;
    Pause();
    if (data != apply::kAll) {
        if (LevelMask(data) == 0)
            return true;
        return !Failed(SetDpiColours(link, LevelMask(data), std::span(colours).subspan(data, 1), 1));
    }
    return !Failed(SetDpiColours(link, kWholeTable, colours, std::clamp(device.DpiLevelCount, 0, kDpiLevels)));
}

// The single pairs in their fixed order; each is written after a 10 ms pause.
bool WritePairs(CUSBDriver& link, const WriteSnapshot& snapshot, uint32_t flags)
{
    const ProfileRecord& p = snapshot.profile;
    const auto pair = [&](uint32_t flag, uint16_t address, int32_t value) {
        if (!(flags & flag))
            return true;
        Pause();
        return !Failed(SetPair(link, address, EncodeValuePair(value, address)[0]));
    };
    // A level count or current level from outside is kept to what the mouse can hold.
    if (!pair(apply::kDpiLevelCount, eeprom::kDpiLevelCount, p.LevelCount()))
        return false;
    if (flags & apply::kCurrentDpiLevel) {
        const int level = snapshot.currentDpiLevel;
        if (level < 0 || level >= kDpiLevels)
            Log("Set current DPI level: unknown level %d not written", level);
        else if (!pair(apply::kCurrentDpiLevel, eeprom::kCurrentDpiLevel, level))
            return false;
    }
    if (!pair(apply::kLod, eeprom::kLod, p.lod) || !pair(apply::kAngleSnapping, eeprom::kAngleSnapping, p.angleSnapping) ||
        !pair(apply::kRipple, eeprom::kRipple, p.ripple) || !pair(apply::kDebounce, eeprom::kDebounce, p.debounce) ||
        !pair(apply::kSleepTime, eeprom::kSleepTime, p.sleepTime / 10))
        return false;
    if (flags & apply::kPollingRate) {
        Pause();
        if (Failed(SetPollingRate(link, p.pollingRate)))
            return false;
    }
    return pair(apply::kLightOffMoving, eeprom::kLightOffMoving, p.lightOffMoving);
}

}  // namespace

std::optional<WriteSnapshot> TakeWriteSnapshot()
{
    std::optional<ProfileRecord> profile = CurrentProfileCopy();
    if (!profile)
        return std::nullopt;
    WriteSnapshot snapshot;
    snapshot.profile = *profile;
    snapshot.currentDpiLevel = g_nCurDpiLevel.load();
    std::vector<uint32_t> ids;
    for (int k = 0; k < kKeysPerSet; ++k) {
        const KeyAssignment* key = snapshot.profile.CurrentKey(k);
        if (key->Major() == kClassMacro)
            ids.push_back(key->dwMacroID & 0xFFFFFF);
    }
    snapshot.macros = Macros().Snapshot(ids);
    return snapshot;
}

bool WriteSettings(CUSBDriver& link, const WriteSnapshot& snapshot, uint32_t flags, uint32_t data,
                   const ProgressCallback& progress)
{
    ResetMacroReservedFields resetAtEnd;
    if (snapshot.profile.id == 0 || (!link.Cmd() && Options().GoWithNoDev == 0 && NeedsMouse({flags, data})))
        return false;
    const DeviceDescription* current = CurrentDevice();
    const DeviceDescription device = current != nullptr ? *current : DeviceDescription{};
    const ProfileRecord& profile = snapshot.profile;
    const auto report = [&progress](int percent) {
        if (progress)
            progress(percent);
    };

    report(20);
    if ((flags & apply::kKeys) && !WriteKeyArea(link, snapshot, data, device.Sensor, &Failed))
        return false;
    report(60);
    if ((flags & apply::kLighting) && !WriteLighting(link, profile, device, data))
        return false;
    if ((flags & apply::kDpiLevels) && device.ShowDpi && !WriteDpiLevels(link, profile, device, data))
        return false;
    if ((flags & apply::kDpiColours) && device.ShowDpi && !WriteDpiColours(link, profile, device, data))
        return false;
    report(70);
    if (!WritePairs(link, snapshot, flags))
        return false;
    report(80);
    if ((flags & apply::kSystemPointer) && Options().ShowSys)
        SystemPointer().Apply(PointerSettingsOf(profile));
    report(90);
    if ((flags & apply::kReset) && Failed(ResetDevice(link)))
        return false;
    if (progress) {
        report(100);
        ProtocolPause(Pauses().afterProgressDone);
    }
    return true;
}

}  // namespace zorvan
