// The factory on-board profiles of the product's models: every area encoded from a new
// profile decodes back to that profile.
#include "profile/factory_image.h"

#include "app/message_box.h"
#include "device/eeprom_map.h"
#include "profile/combo_block.h"
#include "profile/eeprom_codec.h"
#include "profile/function_codes.h"
#include "profile/key_codes.h"
#include "profile/profile_defaults.h"
#include "profile_fixture.h"
#include "support/test_support.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <numeric>
#include <vector>

namespace zorvan {
namespace {

using test::ProfileTest;

class FactoryImage : public ProfileTest {
protected:
    void SetUp() override
    {
        ProfileTest::SetUp();
        test::TempDir dir;
        MessageCollector messages;
        ASSERT_TRUE(LoadConfiguration(test::DefaultDataDir() + "cfg.ini", dir.File("Log.txt"), Config()));
        ResetLog();
    }

    // The models of the product data.
    static std::vector<int> Models()
    {
        std::vector<int> models;
        for (int i = 0; i < kDeviceSlots; ++i) {
            if (Config().devices[size_t(i)].HoldsModel())
                models.push_back(i);
        }
        return models;
    }
};

int Sum(const std::vector<uint8_t>& image, size_t at, size_t n)
{
    return std::accumulate(image.begin() + long(at), image.begin() + long(at + n), 0) & 0xFF;
}

// Every check value of the base area holds.
void ExpectChecks(const std::vector<uint8_t>& image)
{
    for (uint16_t pair : {eeprom::kPollingRate, eeprom::kDpiLevelCount, eeprom::kCurrentDpiLevel, eeprom::kLod,
                          eeprom::kDebounce, eeprom::kSleepTime, eeprom::kAngleSnapping, eeprom::kRipple,
                          eeprom::kLightOffMoving})
        EXPECT_EQ(Sum(image, pair, 2), 0x55) << "pair at " << pair;
    for (int i = 0; i < 8; ++i) {
        EXPECT_EQ(Sum(image, eeprom::kDpiLevels + 4 * i, 4), 0x55) << "DPI level " << i;
        EXPECT_EQ(Sum(image, eeprom::kDpiColours + 4 * i, 4), 0x55) << "DPI colour " << i;
    }
    for (int p = 0; p < 16; ++p)
        EXPECT_EQ(Sum(image, eeprom::kKeyMatrix + 4 * p, 4), 0x55) << "matrix entry " << p;
    EXPECT_EQ(Sum(image, eeprom::kMainLight, 7), 0x55);
}

// The keys of the profile's key set, read back as the profile read reads them.
void ExpectKeysReadBack(const std::vector<uint8_t>& image, const ProfileRecord& profile)
{
    for (int k = 0; k < kKeysPerSet; ++k) {
        const KeyAssignment& written = *profile.CurrentKey(k);
        if (written.matrix == 0)
            continue;
        SCOPED_TRACE(testing::Message() << "key " << k << std::hex << " dwFunID 0x" << written.dwFunID);
        const int p = int(written.matrix);
        const uint32_t code = DecodeMatrixEntry(std::span<const uint8_t, 4>(&image[eeprom::kKeyMatrix + 4 * (p - 1)], 4));
        const auto block = std::span(image).subspan(eeprom::ComboBlockAddress(p), kComboBlockReadSize);
        KeyAssignment read{};
        read.matrix = written.matrix;
        ASSERT_TRUE(HardwareCodeToKeyInfo(code, block, u"", p, profile.sensor, read));
        // Decoding names a combination key by its class alone.
        EXPECT_EQ(read.dwFunID, written.dwFunID == kFunCombo ? kFunComboRead : written.dwFunID);
        EXPECT_TRUE(std::equal(std::begin(read.stCombo), std::end(read.stCombo), std::begin(written.stCombo)));
        EXPECT_EQ(read.dwParameter, written.dwParameter);
    }
}

TEST_F(FactoryImage, EveryAreaReadsBackAsTheNewProfileOfTheModel)
{
    ASSERT_FALSE(Models().empty());
    for (int model : Models()) {
        SCOPED_TRACE(testing::Message() << "[DEV_" << model + 1 << "]");
        Config().SetCurrentDeviceIndex(model);
        const DeviceDescription& device = *CurrentDevice();
        const auto images = BuildFactoryImages(device);
        const ProfileRecord p = MakeNewProfile(u"", device, Options(), device.KeyTables);

        for (const auto& image : images) {
            ASSERT_EQ(image.size(), size_t(eeprom::kProfileSize));
            EXPECT_EQ(image, images[0]);
        }
        const std::vector<uint8_t>& image = images[0];
        ExpectChecks(image);

        EXPECT_EQ(PollingRateOfByte(image[eeprom::kPollingRate]), p.pollingRate);
        EXPECT_EQ(image[eeprom::kDpiLevelCount], p.dpiLevelCount);
        EXPECT_EQ(image[eeprom::kCurrentDpiLevel], device.DefaultLevel);
        EXPECT_EQ(image[eeprom::kLod], p.lod);
        for (int i = 0; i < p.dpiLevelCount; ++i) {
            const DpiRegisters r =
                UnpackDpiEntry(std::span<const uint8_t, 4>(&image[eeprom::kDpiLevels + 4 * i], 4));
            EXPECT_EQ(CodeToDpi(r.xCode, r.xFlag), p.dpiLevels[i].x) << "level " << i;
            EXPECT_EQ(CodeToDpi(r.yCode, r.yFlag), p.dpiLevels[i].y) << "level " << i;
            EXPECT_EQ(DecodeColour(std::span<const uint8_t, 3>(&image[eeprom::kDpiColours + 4 * i], 3)),
                      p.dpiLevels[i].colour);
        }

        const DpiEffect effect = DecodeDpiEffect(std::span<const uint8_t, 6>(&image[eeprom::kDpiEffect], 6));
        EXPECT_EQ(effect.mode, p.dpiEffectMode);
        EXPECT_EQ(effect.speed, p.dpiEffectSpeed);
        EXPECT_EQ(effect.parameter, p.dpiEffectParameter);

        LightingBlock logo{};
        EEPROM_To_LogoRGB(std::span<const uint8_t, 10>(&image[eeprom::kLogoLight], 10), logo);
        EXPECT_EQ(logo.mode, p.logoLight.mode);
        EXPECT_EQ(logo.speed, p.logoLight.speed);
        EXPECT_EQ(logo.brightness, p.logoLight.brightness);
        EXPECT_EQ(logo.colour, p.logoLight.colour);

        LightingBlock main{};
        EEPROM_To_MainRGB(std::span<const uint8_t, 8>(&image[eeprom::kMainLight], 8), main);
        EXPECT_EQ(main.mode, p.mainLight.mode);
        EXPECT_EQ(main.speed, p.mainLight.speed);
        EXPECT_EQ(main.brightness, p.mainLight.brightness);
        EXPECT_EQ(main.colour, p.mainLight.colour);

        EXPECT_EQ(image[eeprom::kDebounce], p.debounce);
        EXPECT_EQ(image[eeprom::kSleepTime] * 10, p.sleepTime);
        EXPECT_EQ(image[eeprom::kAngleSnapping], p.angleSnapping);
        EXPECT_EQ(image[eeprom::kRipple], p.ripple);
        EXPECT_EQ(image[eeprom::kLightOffMoving], p.lightOffMoving);

        ExpectKeysReadBack(image, p);
        EXPECT_TRUE(std::all_of(image.begin() + eeprom::kMacroBlocks, image.end(), [](uint8_t b) { return b == 0; }))
            << "macro slots are empty";
    }
}

TEST_F(FactoryImage, EveryKeySetReadsBack)
{
    for (int model : Models()) {
        Config().SetCurrentDeviceIndex(model);
        const DeviceDescription& device = *CurrentDevice();
        ProfileRecord p = MakeNewProfile(u"", device, Options(), device.KeyTables);
        for (int set = 0; set < kKeySets; ++set) {
            SCOPED_TRACE(testing::Message() << "[DEV_" << model + 1 << "] key set " << set);
            p.currentKeySet = set;
            ExpectKeysReadBack(EncodeProfileImage(p, 0), p);
        }
    }
}

TEST_F(FactoryImage, KeyFunctionsOfEveryKindReadBack)
{
    Config().SetCurrentDeviceIndex(2);  // the 0x3395 model
    const DeviceDescription& device = *CurrentDevice();
    ProfileRecord p = MakeNewProfile(u"", device, Options(), device.KeyTables);
    const KeyAssignment keys[] = {
        {0x080000A4, 1, 0, {0, 0, 0, 0}, 0x0A03, 0},        // fire
        {0x080000A6, 2, 0, {0, 0, 0, 0}, 15, 0},            // fixed 800 DPI
        {kFunCombo, 3, 0, {0x05, 0x70, 0, 0}, 0, 0},        // Ctrl+Alt+F1
        {0x03000039, 4, 0, {0, 0, 0, 0}, 0, 0},             // AC Bookmarks
        {0x080000B0, 5, 0, {0, 0, 0, 0}, 0, 0},             // profile switch
        {0x080000A2, 6, 0, {0, 0, 0, 0}, 0, 0},             // key off
    };
    for (size_t k = 0; k < std::size(keys); ++k)
        p.Key[0][k] = keys[k];
    ExpectKeysReadBack(EncodeProfileImage(p, 0), p);
}

TEST_F(FactoryImage, PositionsNoKeyUsesCarryCodeZeroAndUnknownFunctionsFFFFFF)
{
    Config().SetCurrentDeviceIndex(0);
    ProfileRecord p = MakeNewProfile(u"", *CurrentDevice(), Options(), CurrentDevice()->KeyTables);
    p.Key[0][0] = {0x080000AB, 1, 0, {0, 0, 0, 0}, 0, 0};    // no hardware code
    p.Key[0][1] = {0x05000000, 2, 0x123, {0, 0, 0, 0}, 0, 0}; // macro: no macros in factory content
    p.Key[0][2].matrix = 40;                                 // beyond the matrix: ignored
    const auto image = EncodeProfileImage(p, 0);
    auto entry = [&](int p) { return std::vector<uint8_t>(&image[eeprom::kKeyMatrix + 4 * p], &image[eeprom::kKeyMatrix + 4 * p + 4]); };
    EXPECT_EQ(entry(0), (std::vector<uint8_t>{0xFF, 0xFF, 0xFF, 0x58}));
    EXPECT_EQ(entry(1), (std::vector<uint8_t>{0xFF, 0xFF, 0xFF, 0x58}));
    EXPECT_EQ(entry(2), (std::vector<uint8_t>{0x00, 0x00, 0x00, 0x55}));
    EXPECT_EQ(entry(15), (std::vector<uint8_t>{0x00, 0x00, 0x00, 0x55}));
}

TEST_F(FactoryImage, OutOfRangeValuesStillGiveAReadableImage)
{
    Config().SetCurrentDeviceIndex(0);
    ProfileRecord p = MakeNewProfile(u"", *CurrentDevice(), Options(), CurrentDevice()->KeyTables);
    p.pollingRate = 1000;  // decimal: not a rate value
    p.dpiLevelCount = 12;
    const auto image = EncodeProfileImage(p, 9);
    EXPECT_EQ(PollingRateOfByte(image[eeprom::kPollingRate]), kRate500);
    EXPECT_EQ(image[eeprom::kDpiLevelCount], 8);
    EXPECT_EQ(image[eeprom::kCurrentDpiLevel], 7);
    ExpectChecks(image);
}

}  // namespace
}  // namespace zorvan
