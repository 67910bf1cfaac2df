// Every model of the default cfg.ini: a profile with every setting changed is written whole to
// the emulated mouse, read back and compared field by field.
#include "app/sensor_tables.h"
#include "macro/macro_library.h"
#include "mouse_fixture.h"
#include "profile/apply_request.h"
#include "profile/function_codes.h"
#include "profile/profile_read.h"
#include "profile/profile_state.h"
#include "profile/settings_writer.h"

#include <gtest/gtest.h>

#include <atomic>

namespace zorvan {
namespace {

constexpr uint32_t kEveryArea = 0x1FFFF & ~(apply::kReset | apply::kProgress | apply::kSystemPointer);

// One assignment of each kind the mouse can hold, with what reading it back gives.
struct KeyCase {
    KeyAssignment written;
    uint32_t readFunction;
};

std::vector<KeyCase> KeyCases(uint32_t macroId, int32_t sensor)
{
    const auto key = [](uint32_t function, uint32_t parameter = 0, std::array<uint8_t, 4> combo = {}) {
        KeyAssignment k{};
        k.dwFunID = function;
        k.dwParameter = parameter;
        std::copy(combo.begin(), combo.end(), k.stCombo);
        return k;
    };
    KeyAssignment macro = key(kFunMacro);
    macro.dwMacroID = macroId;
    return {
        {key(0x01000012), 0x01000012},                    // middle button
        {key(kFunFire, 0x0A03), kFunFire},                // fire: 3 shots, interval 10
        {key(kFunCombo, 0, {0x03, 'A', 0, 0}), kFunComboRead},  // Ctrl+Shift+A
        {key(0x04000026), 0x04000026},                    // volume up
        {key(0x080000A8), 0x080000A8},                    // DPI up
        {key(kFunKeyOff), kFunKeyOff},
        {macro, kFunMacro},
        {key(kFunSnipe, uint32_t(std::max(DpiIndex(sensor, DpiAt(sensor, 3)), 0))), kFunSnipe},
    };
}

class RoundTrip : public test::MouseTest {};

TEST_F(RoundTrip, EveryAreaOfEveryModelReadsBackAsWritten)
{
    for (const int model : Models()) {
        SCOPED_TRACE(model);
        UseModel(model);
        const DeviceDescription& d = Config().devices[size_t(model)];
        const int32_t sensor = d.Sensor;
        const StMacro macro = AddMacro(uint32_t(0x2000 + model), QStringLiteral("rt%1").arg(model), kLoopMode1);
        Macros().Update(macro.id, [](StMacro& m) {
            for (int i = 0; i < 20; ++i)
                m.events[i] = {uint16_t('K'), uint16_t(i % 2 == 0 ? kActionPress : kActionRelease), uint32_t(i == 19 ? 0 : 7 * i)};  // the mouse keeps no delay after the last event
        });
        const std::vector<KeyCase> cases = KeyCases(macro.id, sensor);
        const int levels = std::min(d.DpiLevelCount, kDpiLevels);
        ASSERT_GE(levels, 2);
        g_nCurDpiLevel = 1;
        ASSERT_TRUE(EditCurrentProfile([&](ProfileRecord& p) {
            for (int k = 0; k < kKeysPerSet; ++k) {
                KeyAssignment& key = p.Key[0][k];
                const uint32_t matrix = key.matrix;
                if (k == 0 || matrix == 0)  // key 0 keeps its left click
                    continue;
                key = cases[size_t(k) % cases.size()].written;
                key.matrix = matrix;
            }
            p.currentKeySet = 0;
            p.pollingRate = p.pollingRate == kRate125 ? kRate500 : kRate125;
            for (int i = 0; i < levels; ++i) {
                p.dpiLevels[i].x = p.dpiLevels[i].y = DpiAt(sensor, 2 + 5 * i);
                p.dpiLevels[i].colour = 0x102030 * (i + 1);
            }
            p.dpiLevelCount = levels - 1;
            p.lod = 2;
            p.ripple = 1;
            p.angleSnapping = 1;
            p.debounce = 9;
            p.sleepTime = 240;
            p.lightOffMoving = 1;
            p.dpiEffectMode = 2;
            p.dpiEffectSpeed = 6;
            p.dpiEffectParameter = 3;
            p.mainLight = {5, 3, 7, 0x123456, {}};
            p.logoLight = {2, 4, 6, 0x654321, {}};
        }));
        const ProfileRecord written = *CurrentProfileCopy();
        const std::optional<WriteSnapshot> snapshot = TakeWriteSnapshot();
        ASSERT_TRUE(WriteSettings(Link(), *snapshot, kEveryArea, apply::kAll));

        Macros().Clear();  // the read must bring the macro back by itself
        std::atomic<bool> abort{false};
        ProfileRecord read = written;
        ProfileReadExtras extras;
        ASSERT_TRUE(GetProfile(Link(), abort, read, extras));
        ASSERT_TRUE(CommitProfileRead(0, read, extras));
        read = *CurrentProfileCopy();

        EXPECT_EQ(read.pollingRate, written.pollingRate);
        EXPECT_EQ(read.dpiLevelCount, written.dpiLevelCount);
        EXPECT_EQ(g_nCurDpiLevel.load(), 1);
        for (int i = 0; i < kDpiLevels; ++i) {
            const bool shown = i < written.dpiLevelCount;
            EXPECT_EQ(read.dpiLevels[i].hidden, shown ? 0 : 1) << i;
            if (shown && d.ShowDpi) {
                EXPECT_EQ(read.dpiLevels[i].x, written.dpiLevels[i].x) << i;
                EXPECT_EQ(read.dpiLevels[i].y, written.dpiLevels[i].y) << i;
                EXPECT_EQ(read.dpiLevels[i].colour, written.dpiLevels[i].colour) << i;
            }
        }
        if (d.ShowLOD) {
            EXPECT_EQ(read.lod, 2);
        }
        if (d.ShowRipple) {
            EXPECT_EQ(read.ripple, 1);
        }
        if (d.ShowFixLine) {
            EXPECT_EQ(read.angleSnapping, 1);
        }
        if (d.ShowDebounce) {
            EXPECT_EQ(read.debounce, 9);
        }
        EXPECT_EQ(read.sleepTime, 240);
        EXPECT_EQ(read.lightOffMoving, 1);
        EXPECT_EQ(read.dpiEffectMode, 2);
        if (d.ShowDpiLED) {
            EXPECT_EQ(read.dpiEffectSpeed, 6);
            EXPECT_EQ(read.dpiEffectParameter, 3);
        }
        if (d.ShowMainEffect) {
            EXPECT_EQ(read.mainLight.mode, 5);
            EXPECT_EQ(read.mainLight.speed, 3);
            EXPECT_EQ(read.mainLight.brightness, 7);
            EXPECT_EQ(read.mainLight.colour, 0x123456);
        }
        if (d.ShowLogoEffect) {
            EXPECT_EQ(read.logoLight.mode, 2);
            EXPECT_EQ(read.logoLight.speed, 4);
            EXPECT_EQ(read.logoLight.brightness, 6);
            EXPECT_EQ(read.logoLight.colour, 0x654321);
        }
        for (int k = 1; k < kKeysPerSet; ++k) {
            const KeyAssignment& w = written.Key[0][k];
            const KeyAssignment& r = read.Key[0][k];
            if (w.matrix == 0)
                continue;
            const KeyCase& c = cases[size_t(k) % cases.size()];
            EXPECT_EQ(r.dwFunID, c.readFunction) << "key " << k;
            EXPECT_EQ(r.matrix, w.matrix) << "key " << k;
            EXPECT_EQ(std::vector<uint8_t>(r.stCombo, r.stCombo + 4), std::vector<uint8_t>(w.stCombo, w.stCombo + 4))
                << "key " << k;
            if (c.readFunction == kFunFire || c.readFunction == kFunSnipe) {
                EXPECT_EQ(r.dwParameter, w.dwParameter) << "key " << k;
            }
            if (c.readFunction == kFunMacro) {
                const std::optional<StMacro> back = Macros().FindById(r.dwMacroID);
                ASSERT_TRUE(back) << "key " << k;
                EXPECT_EQ(back->loopMode, kLoopMode1);
                EXPECT_TRUE(MacroEqual(*back, *snapshot->macros.data()));
            }
        }
        Macros().Clear();
    }
}

}  // namespace
}  // namespace zorvan
