// The editing rules of the pages: what a picked function becomes, the left-click guard, the
// key-set switch rule, the nearest DPI value, lighting effect defaults and the request of
// every edit.
#include "profile/profile_edits.h"

#include "profile/profile_fixture.h"
#include "text/language_texts.h"

#include <gtest/gtest.h>

#include <cstring>
#include <functional>

namespace zorvan {
namespace {

constexpr uint32_t kMiddle = 0x01000012;
constexpr uint32_t kRight = 0x01000013;
constexpr uint32_t kDpiUp = 0x080000A8;

KeyAssignment Fun(uint32_t id, uint32_t matrix = 0)
{
    KeyAssignment key{};
    key.dwFunID = id;
    key.matrix = matrix;
    return key;
}

class ProfileEditsTest : public test::ProfileTest {
protected:
    void SetUp() override
    {
        ProfileTest::SetUp();
        SetText("tc_msg1", QStringLiteral("keep one left click"));
        // Defaults: key k on matrix position k + 1; set s differs so that resets are visible.
        for (int s = 0; s < kKeySets; ++s) {
            for (int k = 0; k < kKeysPerSet; ++k)
                defaults_[s][k] = Fun(0x01000014 + uint32_t(s), uint32_t(k + 1));
        }
        profile_.magic = kProfileMagic;
        profile_.id = 0x123;
        for (int s = 0; s < kKeySets; ++s) {
            for (int k = 0; k < kKeysPerSet; ++k)
                profile_.Key[s][k] = Fun(kRight, uint32_t(k + 1));
            profile_.Key[s][0] = Fun(kFunLeftClick, 1);
        }
    }

    ProfileRecord profile_{};
    KeyTable defaults_{};
};

TEST_F(ProfileEditsTest, OnlyTheLastLeftClickCannotBeReassigned)
{
    struct Case {
        const char* name;
        int key;
        uint32_t function;
        bool secondLeftClick;
        bool changed;
    };
    const Case cases[] = {
        {"the only left click to middle", 0, kMiddle, false, false},
        {"the only left click stays left click", 0, kFunLeftClick, false, true},
        {"another key to middle", 4, kMiddle, false, true},
        {"one of two left clicks to middle", 0, kMiddle, true, true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        ProfileRecord p = profile_;
        if (c.secondLeftClick)
            p.Key[0][7] = Fun(kFunLeftClick, 8);
        const KeyAssignment before = p.Key[0][c.key];
        const Edit edit = AssignKey(p, c.key, Fun(c.function), defaults_);
        EXPECT_EQ(edit.IsChanged(), c.changed);
        if (c.changed) {
            EXPECT_EQ(p.Key[0][c.key].dwFunID, c.function);
            EXPECT_EQ(edit.request.flags, apply::kKeys);
            EXPECT_EQ(edit.request.data, uint32_t(c.key));
        } else {
            EXPECT_EQ(edit.message, QStringLiteral("keep one left click"));
            EXPECT_EQ(p.Key[0][c.key], before);
        }
    }
}

TEST_F(ProfileEditsTest, TheGuardLooksAtTheKeySetInUse)
{
    profile_.currentKeySet = 2;
    profile_.Key[2][0] = Fun(kRight, 1);  // set 2 has no left click at all
    EXPECT_FALSE(AssignKey(profile_, 3, Fun(kMiddle), defaults_).IsChanged());
    EXPECT_TRUE(AssignKey(profile_, 3, Fun(kFunLeftClick), defaults_).IsChanged());
    EXPECT_EQ(profile_.Key[2][3].dwFunID, kFunLeftClick);
    EXPECT_EQ(profile_.Key[0][3].dwFunID, kRight);
}

TEST_F(ProfileEditsTest, TheMatrixPositionComesFromTheModelsDefaultKey)
{
    defaults_[0][5].matrix = 12;
    KeyAssignment record = Fun(kMiddle, 3);
    ASSERT_TRUE(AssignKey(profile_, 5, record, defaults_).IsChanged());
    EXPECT_EQ(profile_.Key[0][5].matrix, 12u);
}

TEST_F(ProfileEditsTest, KeySetSwitchSitsOnTheSameKeyInAllSetsAndIsResetAway)
{
    profile_.currentKeySet = 1;
    ASSERT_TRUE(AssignKey(profile_, 3, Fun(kFunKeySetSwitch), defaults_).IsChanged());
    for (int s = 0; s < kKeySets; ++s)
        EXPECT_EQ(profile_.Key[s][3].dwFunID, kFunKeySetSwitch) << "set " << s;

    const Edit edit = AssignKey(profile_, 3, Fun(kDpiUp), defaults_);
    ASSERT_TRUE(edit.IsChanged());
    EXPECT_EQ(edit.request.data, 3u);
    EXPECT_EQ(profile_.Key[0][3], defaults_[0][3]);
    EXPECT_EQ(profile_.Key[1][3].dwFunID, kDpiUp);
    EXPECT_EQ(profile_.Key[2][3], defaults_[2][3]);
}

TEST_F(ProfileEditsTest, AnAssignmentIntoOneSetIsLogged)
{
    KeyAssignment combo = Fun(0x020000A1);
    combo.stCombo[0] = 0x01;
    combo.stCombo[1] = 0x41;
    ASSERT_TRUE(AssignKey(profile_, 2, combo, defaults_).IsChanged());
    EXPECT_TRUE(Logged("pFile->Key[0][2]: dwFunID=0x20000a1, dwMacroID=0x00000000, dwParameter=0x00000000, "
                       "stCombo=0x00004101"));
}

TEST_F(ProfileEditsTest, AnInvalidProfileOrKeyIsNotEdited)
{
    ProfileRecord invalid = profile_;
    invalid.id = 0;
    EXPECT_FALSE(AssignKey(invalid, 2, Fun(kMiddle), defaults_).IsChanged());
    EXPECT_FALSE(AssignKey(profile_, 16, Fun(kMiddle), defaults_).IsChanged());
    EXPECT_FALSE(AssignKey(profile_, -1, Fun(kMiddle), defaults_).IsChanged());
}

TEST_F(ProfileEditsTest, KeysWithoutANameGoBackToTheirDefault)
{
    SetText("tc_click", QStringLiteral("Left"));
    SetText("tc_menu", QStringLiteral("Right"));
    SetText("tc_forward", QStringLiteral("Forward"));
    SetText("tc_back", QStringLiteral("Back"));
    DeviceDescription device;
    device.Sensor = 1;
    device.KeyCount = 8;
    profile_.currentKeySet = 1;
    EXPECT_FALSE(RepairUnnamedKeys(profile_, device, Options(), Config().sensors, defaults_).IsChanged());

    profile_.Key[1][2] = Fun(0x080000FF, 3);  // a code without a name
    profile_.Key[1][5] = Fun(0x020000A1, 6);  // a combination without keys
    profile_.Key[1][9] = Fun(0x080000FF, 10); // beyond the model's keys
    profile_.Key[0][2] = Fun(0x080000FF, 3);  // another key set
    const ProfileRecord before = profile_;
    const Edit edit = RepairUnnamedKeys(profile_, device, Options(), Config().sensors, defaults_);
    ASSERT_TRUE(edit.IsChanged());
    EXPECT_EQ(edit.request.flags, 0u);  // nothing is written to the mouse for it
    EXPECT_EQ(profile_.Key[1][2], defaults_[1][2]);
    EXPECT_EQ(profile_.Key[1][5], defaults_[1][5]);
    EXPECT_EQ(profile_.Key[1][9], before.Key[1][9]);
    EXPECT_EQ(profile_.Key[0][2], before.Key[0][2]);
    EXPECT_EQ(profile_.Key[1][0], before.Key[1][0]);
}

TEST_F(ProfileEditsTest, WhatAPickedFunctionBecomes)
{
    DeviceDescription device;
    device.ExKeys = {0, 0x1234, 0};
    struct Case {
        const char* name;
        uint32_t code;
        PickDetails details;
        bool changed;
        KeyAssignment expected;  // matrix filled in below
    };
    PickDetails macro;
    macro.macroId = 0xABCDE;
    PickDetails combo;
    combo.combo = {0x03, 0x41, 0, 0};
    PickDetails plainCombo;
    plainCombo.combo = {0, 0x41, 0x42, 0};
    PickDetails fire;
    fire.fireCount = 3;
    fire.fireInterval = 4;
    PickDetails badFire;
    badFire.fireCount = 4;
    auto with = [](uint32_t id, uint32_t macroId, std::array<uint8_t, 4> c, uint32_t parameter) {
        KeyAssignment k = Fun(id);
        k.dwMacroID = macroId;
        std::copy(c.begin(), c.end(), k.stCombo);
        k.dwParameter = parameter;
        return k;
    };
    const Case cases[] = {
        {"macro", 0x05000000, macro, true, with(0x05000000, 0xABCDE, {}, 0)},
        {"macro without a choice", 0x05000000, {}, false, {}},
        {"combination with modifiers", 0x020000A1, combo, true, with(0x020000A1, 0, {0x03, 0x41, 0, 0}, 0)},
        {"combination of keys only", 0x020000A1, plainCombo, true, with(0x020000A0, 0, {0, 0x41, 0x42, 0}, 0)},
        {"empty combination", 0x020000A1, {}, false, {}},
        {"fire, interval raised to 10", 0x080000A4, fire, true, with(0x080000A4, 0, {}, 0x0A03)},
        {"fire count above 3", 0x080000A4, badFire, false, {}},
        {"snipe position 3", 0x080003A6, {}, true, with(0x080000A6, 0, {}, 3)},
        {"extra key 2", 0x0B000001, {}, true, with(0x0B000001, 0, {}, 0x1234)},
        {"extra key the model lacks", 0x0B000000, {}, false, {}},
        {"extra key index 3", 0x0B000003, {}, false, {}},
        {"plain function", kDpiUp, {}, true, with(kDpiUp, 0, {}, 0)},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        ProfileRecord p = profile_;
        const Edit edit = PickFunction(p, 6, c.code, c.details, device, defaults_);
        ASSERT_EQ(edit.IsChanged(), c.changed);
        if (c.changed) {
            KeyAssignment expected = c.expected;
            expected.matrix = 7;
            EXPECT_EQ(p.Key[0][6], expected);
        } else {
            EXPECT_EQ(p.Key[0][6], profile_.Key[0][6]);
        }
    }
    ProfileRecord p = profile_;
    EXPECT_EQ(PickFunction(p, 6, 0x0B000000, {}, device, defaults_).message, QStringLiteral("Wrong Ex Key Index"));
}

TEST_F(ProfileEditsTest, FireParameterFollowsTheDialogsLimits)
{
    EXPECT_EQ(FireParameter(3, 10), 0x0A03u);
    EXPECT_EQ(FireParameter(0, 4), 0x0A00u);
    EXPECT_EQ(FireParameter(2, 300), 0xFF02u);
    EXPECT_FALSE(FireParameter(4, 10));
    EXPECT_FALSE(FireParameter(-1, 10));
}

TEST(NearestDpi, ExactMatchElseSmallestDistanceElseLowerPosition)
{
    SensorDpiTable table;
    table.Sensor = 1;
    table.Count = 4;
    table.Values[0] = 400;
    table.Values[1] = 1100;
    table.Values[2] = 1200;
    table.Values[3] = 1300;
    const std::pair<int, int> cases[] = {{1234, 1200}, {1250, 1200}, {1251, 1300}, {1300, 1300},
                                         {1, 400},     {65535, 1300}, {750, 400}};
    for (const auto& [typed, chosen] : cases)
        EXPECT_EQ(NearestDpi(table, typed), chosen) << typed;
    EXPECT_FALSE(NearestDpi(SensorDpiTable{}, 800));
}

class DpiEditsTest : public test::ProfileTest {
protected:
    void SetUp() override
    {
        ProfileTest::SetUp();
        DeviceDescription& d = UseDevice(0x3395);
        d.ShowDpi = 1;
        d.DpiLevelCount = 6;
        d.ShowXY = 1;
        d.ShowDpiColor = 1;
        device_ = d;
        profile_.dpiLevelCount = 4;
        for (DpiLevelRecord& level : profile_.dpiLevels)
            level = {800, 800, 0xFF, 0};
    }

    DeviceDescription device_;
    ProfileRecord profile_{};
};

TEST_F(DpiEditsTest, LevelCountWithinTheModelsLevelsAndTheSyncRule)
{
    int current = 3;
    Edit edit = SetLevelCount(profile_, 3, device_, false, current);
    ASSERT_TRUE(edit.IsChanged());
    EXPECT_EQ(profile_.dpiLevelCount, 3);
    EXPECT_EQ(edit.request.flags, 0x80u);
    EXPECT_EQ(current, 3);

    edit = SetLevelCount(profile_, 2, device_, true, current);
    EXPECT_EQ(edit.request.flags, 0x90u);
    EXPECT_EQ(edit.request.data, 0u);
    EXPECT_EQ(current, 0);

    for (const int bad : {0, 7})
        EXPECT_FALSE(SetLevelCount(profile_, bad, device_, false, current).IsChanged()) << bad;
}

TEST_F(DpiEditsTest, DpiValuesComeFromTheSensorsTable)
{
    Edit edit = SetDpiValue(profile_, 1, 1600, std::nullopt, device_, Config().sensors);
    ASSERT_TRUE(edit.IsChanged()) << edit.message.toStdString();
    EXPECT_EQ(profile_.dpiLevels[1].x, 1600);
    EXPECT_EQ(profile_.dpiLevels[1].y, 1600);
    EXPECT_EQ(edit.request.flags, apply::kDpiLevels);
    EXPECT_EQ(edit.request.data, 1u);

    edit = SetDpiValue(profile_, 1, 1234, std::nullopt, device_, Config().sensors);
    EXPECT_FALSE(edit.IsChanged());
    EXPECT_TRUE(edit.message.contains(QStringLiteral("1234")));
    EXPECT_FALSE(SetDpiValue(profile_, 4, 800, std::nullopt, device_, Config().sensors).IsChanged())
        << "level 5 is not in use";
    EXPECT_FALSE(SetDpiValue(profile_, 0, 800, 1600, device_, Config().sensors).IsChanged())
        << "a Y value needs separate X/Y";
}

TEST_F(DpiEditsTest, SeparateXYMakesEveryYItsXEitherWay)
{
    profile_.dpiLevels[2].y = 3200;
    Edit edit = SetXYSeparate(profile_, true, device_);
    ASSERT_TRUE(edit.IsChanged());
    EXPECT_EQ(edit.request.flags, apply::kDpiLevels);
    EXPECT_EQ(edit.request.data, 0xFFu);
    EXPECT_EQ(profile_.dpiLevels[2].y, 800);

    ASSERT_TRUE(SetDpiValue(profile_, 2, 800, 1600, device_, Config().sensors).IsChanged());
    EXPECT_EQ(profile_.dpiLevels[2].x, 800);
    EXPECT_EQ(profile_.dpiLevels[2].y, 1600);
    ASSERT_TRUE(SetDpiValue(profile_, 2, 1200, std::nullopt, device_, Config().sensors).IsChanged());
    EXPECT_EQ(profile_.dpiLevels[2].y, 1600) << "moving X leaves Y";

    ASSERT_TRUE(SetXYSeparate(profile_, false, device_).IsChanged());
    EXPECT_EQ(profile_.dpiLevels[2].y, 1200);
}

TEST_F(DpiEditsTest, EachSettingPostsItsRequestOnlyWhereTheModelShowsIt)
{
    DeviceDescription all = device_;
    all.ShowUsbRate = all.ShowLOD = all.ShowRipple = all.ShowFixLine = all.ShowDebounce = all.SetDpiByClick = 1;
    AppOptions options;
    options.DebounceRange = 0x1E02;
    int current = 0;
    struct Case {
        const char* name;
        std::function<Edit(ProfileRecord&, const DeviceDescription&)> edit;
        uint32_t flags;
        uint32_t data;
    };
    const Case cases[] = {
        {"rate", [](ProfileRecord& p, const DeviceDescription& d) { return SetPollingRate(p, 500, d); }, 0x20, 0},
        {"lod", [](ProfileRecord& p, const DeviceDescription& d) { return SetLod(p, 2, d); }, 0x200, 0},
        {"ripple", [](ProfileRecord& p, const DeviceDescription& d) { return SetRipple(p, true, d); }, 0x800, 0},
        {"angle", [](ProfileRecord& p, const DeviceDescription& d) { return SetAngleSnapping(p, true, d); }, 0x400, 0},
        {"colour", [](ProfileRecord& p, const DeviceDescription& d) { return SetDpiColour(p, 2, 0x123456, d); }, 0x40, 2},
        {"debounce", [&](ProfileRecord& p, const DeviceDescription& d) { return SetDebounce(p, 8, d, options); }, 0x1000, 0},
        {"current level",
         [&](ProfileRecord& p, const DeviceDescription& d) { return SetCurrentLevel(p, 3, d, current); }, 0x10, 0},
    };
    DeviceDescription none;
    none.ShowDpi = 1;
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        ProfileRecord p = profile_;
        const Edit edit = c.edit(p, all);
        ASSERT_TRUE(edit.IsChanged()) << edit.message.toStdString();
        EXPECT_EQ(edit.request.flags, c.flags);
        EXPECT_EQ(edit.request.data, c.data);
        ProfileRecord q = profile_;
        const Edit refused = c.edit(q, none);
        EXPECT_FALSE(refused.IsChanged());
        EXPECT_FALSE(refused.message.isEmpty());
        EXPECT_EQ(std::memcmp(&q, &profile_, sizeof q), 0);
    }
    EXPECT_EQ(current, 3);
    ProfileRecord p = profile_;
    EXPECT_EQ(p.pollingRate, 0);
    ASSERT_TRUE(SetPollingRate(p, 1000, all).IsChanged());
    EXPECT_EQ(p.pollingRate, kRate1000);
    EXPECT_FALSE(SetPollingRate(p, 0x1000, all).IsChanged());
    EXPECT_FALSE(SetDebounce(p, 1, all, options).IsChanged()) << "below DebounceRange's minimum 2";
    EXPECT_FALSE(SetDebounce(p, 31, all, options).IsChanged()) << "above its maximum 30";
}

class LightEditsTest : public test::ProfileTest {
protected:
    void SetUp() override
    {
        ProfileTest::SetUp();
        device_.ShowMainEffect = 1;
        device_.ShowLogoEffect = 1;
        device_.ShowDpi = 1;
        device_.ShowDpiLED = 1;
        device_.ShowSleep = 1;
        device_.SleepValues = {60, 90, 300};
        // The default cfg.ini's effect options: speed, brightness, colour choice.
        const LedEffectOption effects[] = {{0, 6, 1}, {6, 6, 1}, {8, 10, 0}, {6, 6, 0}, {6, 6, 1}, {6, 6, 0}, {0, 0, 0}};
        std::copy(std::begin(effects), std::end(effects), options_.LedOpt.begin());
        profile_.mainLight = {2, 3, 4, 0x0000FF, {}};
        profile_.logoLight = {1, 2, 5, 0x00FF00, {}};
    }

    DeviceDescription device_;
    AppOptions options_;
    ProfileRecord profile_{};
};

TEST_F(LightEditsTest, ANewMainEffectTakesItsSpeedAndBrightnessAndKeepsTheColour)
{
    LightChange change;
    change.mode = 3;
    const Edit edit = SetMainLight(profile_, change, device_, options_);
    ASSERT_TRUE(edit.IsChanged());
    EXPECT_EQ(edit.request.flags, apply::kLighting);
    EXPECT_EQ(edit.request.data, apply::kLightMain);
    EXPECT_EQ(profile_.mainLight.mode, 3);
    EXPECT_EQ(profile_.mainLight.speed, 8);
    EXPECT_EQ(profile_.mainLight.brightness, 10);
    EXPECT_EQ(profile_.mainLight.colour, 0x0000FF);

    change.colour = 0x112233;
    EXPECT_FALSE(SetMainLight(profile_, change, device_, options_).IsChanged()) << "effect 3 shows no colour";
    change.colour.reset();
    change.mode = 1;
    change.speed = 5;
    EXPECT_FALSE(SetMainLight(profile_, change, device_, options_).IsChanged()) << "effect 1 shows no speed";
    change.speed.reset();
    change.brightness = 9;
    ASSERT_TRUE(SetMainLight(profile_, change, device_, options_).IsChanged());
    EXPECT_EQ(profile_.mainLight.speed, 0);
    EXPECT_EQ(profile_.mainLight.brightness, 9);
}

TEST_F(LightEditsTest, LedMaskRemovesMainEffects)
{
    device_.LedMask = 0x40;
    LightChange off;
    off.mode = 0;
    EXPECT_FALSE(SetMainLight(profile_, off, device_, options_).IsChanged());
    LightChange six;
    six.mode = 6;
    EXPECT_TRUE(SetMainLight(profile_, six, device_, options_).IsChanged());
    device_.LedMask = 0x20;
    EXPECT_FALSE(SetMainLight(profile_, six, device_, options_).IsChanged());
    EXPECT_TRUE(SetMainLight(profile_, off, device_, options_).IsChanged());
}

TEST_F(LightEditsTest, LogoModesShowTheirOwnControlsAndKeepTheSliders)
{
    LightChange change;
    change.mode = 3;
    const Edit edit = SetLogoLight(profile_, change, device_);
    ASSERT_TRUE(edit.IsChanged());
    EXPECT_EQ(edit.request.data, apply::kLightLogo);
    EXPECT_EQ(profile_.logoLight.speed, 2);
    EXPECT_EQ(profile_.logoLight.brightness, 5);
    EXPECT_EQ(profile_.logoLight.colour, 0x00FF00);
    change.colour = 0x010203;
    EXPECT_FALSE(SetLogoLight(profile_, change, device_).IsChanged());
    change = {};
    change.speed = 6;
    EXPECT_FALSE(SetLogoLight(profile_, change, device_).IsChanged()) << "logo speed is 1..5";
    change.mode = 1;
    change.speed = 3;
    EXPECT_FALSE(SetLogoLight(profile_, change, device_).IsChanged()) << "logo effect 1 shows no speed";
    change.mode = 4;
    change.speed.reset();
    EXPECT_FALSE(SetLogoLight(profile_, change, device_).IsChanged());
}

TEST_F(LightEditsTest, DpiLightSlidersBelongToTheirEffect)
{
    LightChange change;
    change.mode = 2;
    change.parameter = 4;
    const Edit edit = SetDpiLight(profile_, change, device_);
    ASSERT_TRUE(edit.IsChanged());
    EXPECT_EQ(edit.request.data, apply::kLightDpi);
    EXPECT_EQ(profile_.dpiEffectParameter, 4);
    LightChange speed;
    speed.speed = 5;
    EXPECT_FALSE(SetDpiLight(profile_, speed, device_).IsChanged()) << "mode 2 hides the speed";
    profile_.dpiEffectMode = 0;
    EXPECT_FALSE(SetDpiLight(profile_, speed, device_).IsChanged()) << "mode 0 stores nothing";
    speed.mode = 1;
    EXPECT_TRUE(SetDpiLight(profile_, speed, device_).IsChanged());
    EXPECT_EQ(profile_.dpiEffectSpeed, 5);
}

TEST_F(LightEditsTest, SleepTimeIsOneOfTheModelsValuesAndLockedUnderPid)
{
    Edit edit = SetSleepTime(profile_, 90, device_, false);
    ASSERT_TRUE(edit.IsChanged());
    EXPECT_EQ(edit.request.flags, apply::kSleepTime);
    EXPECT_EQ(profile_.sleepTime, 90);
    EXPECT_FALSE(SetSleepTime(profile_, 120, device_, false).IsChanged());
    EXPECT_FALSE(SetSleepTime(profile_, 0, device_, false).IsChanged()) << "0 ends the list, it is no value";
    EXPECT_FALSE(SetSleepTime(profile_, 60, device_, true).IsChanged());
    edit = SetLightOffMoving(profile_, true, device_, false);
    ASSERT_TRUE(edit.IsChanged());
    EXPECT_EQ(edit.request.flags, apply::kLightOffMoving);
    EXPECT_FALSE(SetLightOffMoving(profile_, false, device_, true).IsChanged());
}

}  // namespace
}  // namespace zorvan
