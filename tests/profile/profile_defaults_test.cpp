// New profiles and reset to defaults, from the current device and the options.
#include "profile/profile_defaults.h"

#include "macro/time_stamp_id.h"
#include "profile_fixture.h"
#include "text/language_texts.h"

#include <gtest/gtest.h>

#include <cstring>

namespace zorvan {
namespace {

using test::ProfileTest;

class ProfileDefaults : public ProfileTest {
protected:
    void SetUp() override
    {
        ProfileTest::SetUp();
        DeviceDescription& d = UseDevice(0x3395);
        d.DpiLevelCount = 4;
        d.DpiLevels = {400, 800, 1600, 3200, 6400, 12800, 20000, 26000};
        d.DpiColours = {0x0000FF, 0xFF0000, 0x00FF00, 0xFF0080, 0x03C6FA, 0x6A03FA, 0xFF00FF, 0xFFFF00};
        d.ReportRate = kRate1000;
        d.ShowLOD = 2;
        d.SleepTime = 300;
        d.SleepTimeCheck = 1;
        d.DpiLedMode = 0x030502;
        Config().opt.EnhancePrecision = 1;
        Config().opt.Debounce = 12;
        Config().opt.LEDParam = {3, 10, 8, 255, 0, 128};
        Config().defaultKeys[0][0] = KeyAssignment{0x01000011, 1, 0, {0, 0, 0, 0}, 0, 0};
        Config().defaultKeys[2][15] = KeyAssignment{0x020000A1, 16, 0, {0x01, 0x43, 0, 0}, 0, 0};
    }
    DeviceDescription& Device() { return Config().devices[0]; }
};

TEST_F(ProfileDefaults, NewProfileTakesTheDeviceOptionsAndDefaultKeys)
{
    const ProfileRecord p = MakeNewProfile(u"Profile 1");
    EXPECT_TRUE(p.IsValid());
    EXPECT_EQ(p.Name(), std::u16string_view(u"Profile 1"));
    EXPECT_EQ(p.currentKeySet, 0);
    EXPECT_EQ(std::memcmp(p.Key, Config().defaultKeys, sizeof p.Key), 0);
    EXPECT_EQ(p.pollingRate, kRate1000);
    EXPECT_EQ(p.wheelLines, 3);
    EXPECT_EQ(p.doubleClickTime, 550);
    EXPECT_EQ(p.pointerSpeed, 10);
    EXPECT_EQ(p.enhancePrecision, 1);
    EXPECT_EQ(p.pointerTrails, 0);
    EXPECT_EQ(p.xySeparate, 0);
    EXPECT_EQ(p.sensor, 0x3395);
    EXPECT_EQ(p.lod, 2);
    EXPECT_EQ(p.ripple, 0);
    EXPECT_EQ(p.angleSnapping, 0);
    EXPECT_EQ(p.sleepTime, 300);
    EXPECT_EQ(p.debounce, 12);
    EXPECT_EQ(p.lightOffMoving, 1);
    EXPECT_EQ(p.dpiEffectMode, 2);
    EXPECT_EQ(p.dpiEffectSpeed, 5);
    EXPECT_EQ(p.dpiEffectParameter, 3);
    EXPECT_EQ(p.mainLight.mode, 3);
    EXPECT_EQ(p.mainLight.brightness, 10);
    EXPECT_EQ(p.mainLight.speed, 8);
    EXPECT_EQ(p.mainLight.colour, 0x8000FF);
    EXPECT_EQ(p.dpiLevels[1].x, 800);
    EXPECT_EQ(p.dpiLevels[1].y, 800);
    EXPECT_EQ(p.dpiLevels[1].colour, 0xFF0000);
}

TEST_F(ProfileDefaults, ModelDebounceWinsOverTheOption)
{
    Device().Debounce = 7;
    EXPECT_EQ(MakeNewProfile(u"x").debounce, 7);
}

TEST_F(ProfileDefaults, VisibleLevelsFollowDmAndTheLevelCountDpiUiLevels)
{
    struct Case {
        int32_t dm;
        int32_t uiLevels;
        int visible;
        int32_t count;
    };
    const Case cases[] = {{4, 0, 4, 4}, {4, 2, 4, 2}, {8, 6, 8, 6}, {1, 0, 1, 1}, {12, 0, 8, 8}};
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << "DM " << c.dm << " DpiUILevels " << c.uiLevels);
        Device().DpiLevelCount = c.dm;
        Device().DpiUiLevels = c.uiLevels;
        const ProfileRecord p = MakeNewProfile(u"x");
        EXPECT_EQ(p.dpiLevelCount, c.count);
        for (int i = 0; i < kDpiLevels; ++i) {
            EXPECT_EQ(p.dpiLevels[i].hidden, i < c.visible ? 0 : 1) << i;
            EXPECT_EQ(p.dpiLevels[i].x, i < c.visible ? Device().DpiLevels[size_t(i)] : 0) << i;
        }
    }
}

TEST_F(ProfileDefaults, LogoLightingNeverExceedsItsModesAndSpeeds)
{
    struct Case {
        uint8_t mode;
        uint8_t speed;
        int32_t logoMode;
        int32_t logoSpeed;
    };
    const Case cases[] = {{3, 5, 3, 5}, {4, 5, 1, 5}, {6, 10, 1, 5}, {2, 6, 2, 5}, {0, 1, 0, 1}, {255, 255, 1, 5}};
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << "LEDParam mode " << int(c.mode) << " speed " << int(c.speed));
        Config().opt.LEDParam = {c.mode, 7, c.speed, 1, 2, 3};
        const ProfileRecord p = MakeNewProfile(u"x");
        EXPECT_EQ(p.mainLight.mode, c.mode);
        EXPECT_EQ(p.mainLight.speed, c.speed);
        EXPECT_EQ(p.logoLight.mode, c.logoMode);
        EXPECT_EQ(p.logoLight.speed, c.logoSpeed);
        EXPECT_EQ(p.logoLight.brightness, 7);
        EXPECT_EQ(p.logoLight.colour, 0x030201);
    }
}

TEST_F(ProfileDefaults, ProfilesMadeOneAfterAnotherHaveDistinctIds)
{
    const ProfileRecord a = MakeNewProfile(u"a");
    const ProfileRecord b = MakeNewProfile(u"b");
    EXPECT_NE(a.id, 0u);
    EXPECT_NE(a.id, b.id);
    EXPECT_EQ(a.id & 0xFF000000u, 0u);
}

TEST(TimeStampId, FormsTheIdFromTheTimeOfDay)
{
    struct Case {
        int hour, minute, second, millisecond;
        uint32_t id;
    };
    const Case cases[] = {{13, 37, 42, 300, 0xD96A2C}, {21, 0, 0, 0, 0x500000}, {23, 59, 59, 999, 0x7EFBE7}};
    for (const Case& c : cases)
        EXPECT_EQ(TimeStampId(c.hour, c.minute, c.second, c.millisecond), c.id) << c.hour << ":" << c.minute;
}

TEST_F(ProfileDefaults, ResetRefillsTheRecordButKeepsMagicIdAndTheLastReservedArea)
{
    SetText("tc_msg14", QStringLiteral("Default"));
    ProfileRecord p{};
    p.magic = 0x12345678;  // kept even when it is not a profile's
    p.id = 0xD96A2C;
    std::memset(p.reserved1, 0xAB, sizeof p.reserved1);
    std::memset(p.reserved3, 0xCD, sizeof p.reserved3);
    p.currentKeySet = 2;
    p.Key[0][0].dwFunID = 0x080000A2;
    p.ripple = 1;
    p.SetName(u"Mine");

    ResetProfileToDefaults(p);

    EXPECT_EQ(p.magic, 0x12345678u);
    EXPECT_EQ(p.id, 0xD96A2Cu);
    for (uint8_t b : p.reserved3)
        EXPECT_EQ(b, 0xCD);
    for (uint8_t b : p.reserved1)
        EXPECT_EQ(b, 0);
    EXPECT_EQ(p.Name(), std::u16string_view(u"Default"));
    EXPECT_EQ(p.currentKeySet, 0);
    EXPECT_EQ(p.Key[0][0].dwFunID, 0x01000011u);
    EXPECT_EQ(p.ripple, 0);
    EXPECT_EQ(p.dpiLevelCount, 4);
    SetText("tc_msg14", QString());
}

TEST_F(ProfileDefaults, WithoutACurrentDeviceANewProfileIsStillWellFormed)
{
    Config().SetCurrentDeviceIndex(-1);
    const ProfileRecord p = MakeNewProfile(u"x");
    EXPECT_TRUE(p.IsValid());
    EXPECT_EQ(p.sensor, 0);
    for (const DpiLevelRecord& level : p.dpiLevels)
        EXPECT_EQ(level.hidden, 1);
}

}  // namespace
}  // namespace zorvan
