#include "profile/factory_image.h"

#include "app/configuration.h"
#include "device/eeprom_map.h"
#include "profile/combo_block.h"
#include "profile/eeprom_codec.h"
#include "profile/function_codes.h"
#include "profile/key_codes.h"
#include "profile/profile_defaults.h"

#include <algorithm>
#include <span>

namespace zorvan {
namespace {

template <size_t N>
void Put(std::vector<uint8_t>& image, uint16_t address, const std::array<uint8_t, N>& bytes)
{
    ApplyPatch(image, EepromPatch{address, {bytes.begin(), bytes.end()}});
}

void PutPair(std::vector<uint8_t>& image, uint16_t address, int32_t value)
{
    Put(image, address, EncodeValuePair(value, address));
}

void PutKeys(std::vector<uint8_t>& image, const ProfileRecord& profile)
{
    // Positions that no key uses carry code 0.
    std::array<int32_t, kKeysPerSet> codes{};
    for (int k = 0; k < kKeysPerSet; ++k) {
        const KeyAssignment& key = *profile.CurrentKey(k);
        if (key.matrix < 1 || key.matrix > uint32_t(kKeysPerSet))
            continue;
        const int position = int(key.matrix);
        codes[size_t(position - 1)] =
            key.Major() == kClassMacro ? kNoHardwareCode : keyinfo_to_hardware_code(key, profile.sensor);
        ComboBlock block;
        const size_t length = EncodeComboBlock(key, block);
        if (length != 0)
            ApplyPatch(image, {eeprom::ComboBlockAddress(position), {block.begin(), block.begin() + long(length)}});
    }
    for (int p = 0; p < kKeysPerSet; ++p)
        Put(image, uint16_t(eeprom::kKeyMatrix + 4 * p), EncodeMatrixEntry(codes[size_t(p)]));
}

}  // namespace

std::vector<uint8_t> EncodeProfileImage(const ProfileRecord& profile, int currentDpiLevel)
{
    std::vector<uint8_t> image(eeprom::kProfileSize, 0);
    // The mouse knows four rates; anything else is stored as the models' usual 500.
    const uint8_t rate = PollingRateByte(profile.pollingRate).value_or(*PollingRateByte(kRate500));
    Put(image, eeprom::kPollingRate, EncodePair(rate));
    const int levelCount = profile.LevelCount();
    PutPair(image, eeprom::kDpiLevelCount, levelCount);
    PutPair(image, eeprom::kCurrentDpiLevel, std::clamp(currentDpiLevel, 0, levelCount - 1));
    PutPair(image, eeprom::kLod, profile.lod);
    for (int i = 0; i < kDpiLevels; ++i) {
        const DpiLevelRecord& level = profile.dpiLevels[i];
        Put(image, uint16_t(eeprom::kDpiLevels + 4 * i), EncodeDpiLevel(profile.sensor, level));
        Put(image, uint16_t(eeprom::kDpiColours + 4 * i), EncodeColourEntry(level.colour));
    }
    ApplyPatch(image, EncodeDpiEffect(profile.dpiEffectMode, profile.dpiEffectSpeed, profile.dpiEffectParameter));
    ApplyPatch(image, EncodeLogoLight(profile.logoLight));
    PutKeys(image, profile);
    const std::array<uint8_t, 7> noStoredLight{};
    Put(image, eeprom::kMainLight, EncodeMainLight(profile.mainLight, noStoredLight));
    PutPair(image, eeprom::kDebounce, profile.debounce);
    PutPair(image, eeprom::kSleepTime, profile.sleepTime / 10);
    PutPair(image, eeprom::kAngleSnapping, profile.angleSnapping);
    PutPair(image, eeprom::kRipple, profile.ripple);
    PutPair(image, eeprom::kLightOffMoving, profile.lightOffMoving);
    return image;
}

std::array<std::vector<uint8_t>, eeprom::kOnBoardProfiles> BuildFactoryImages(const DeviceDescription& device)
{
    const ProfileRecord profile = MakeNewProfile(u"", device, Options(), device.KeyTables);
    const std::vector<uint8_t> image = EncodeProfileImage(profile, device.DefaultLevel);
    return {image, image, image, image};
}

}  // namespace zorvan
