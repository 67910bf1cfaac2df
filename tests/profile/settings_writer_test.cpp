// The settings writer against the emulated mouse: the bytes each area puts into the EEPROM,
// the pieces it uses, what it leaves alone, its failures and its progress.
#include "profile/settings_writer.h"

#include "device/eeprom_map.h"
#include "device/report_frame.h"
#include "macro/macro_library.h"
#include "macro/macro_record.h"
#include "mouse_fixture.h"
#include "profile/apply_request.h"
#include "profile/function_codes.h"
#include "profile/profile_read.h"
#include "profile/profile_state.h"
#include "profile/system_pointer.h"

#include <gtest/gtest.h>

#include <atomic>
#include <cstring>
#include <functional>
#include <mutex>

namespace zorvan {
namespace {

constexpr int kModel3325 = 0;
constexpr int kModel3395 = 2;
constexpr uint32_t kMiddleButton = 0x01000012;
constexpr uint32_t kLeftClick = 0x01000011;

using Bytes = std::vector<uint8_t>;
using Writes = std::vector<std::pair<int, Bytes>>;

class RecordingPointer : public SystemPointerSettings {
public:
    void Apply(const PointerSettings& settings) override
    {
        std::lock_guard lock(mutex);
        applied.push_back(settings);
    }
    std::mutex mutex;
    std::vector<PointerSettings> applied;
};

class SettingsWriter : public test::MouseTest {
protected:
    void SetUp() override
    {
        MouseTest::SetUp();
        auto pointer = std::make_unique<RecordingPointer>();
        pointer_ = pointer.get();
        previousPointer_ = SetSystemPointer(std::move(pointer));
    }
    void TearDown() override
    {
        SetSystemPointer(std::move(previousPointer_));
        MouseTest::TearDown();
    }

    bool Write(uint32_t flags, uint32_t data, const ProgressCallback& progress = {})
    {
        Mouse().TakeRequests();
        const std::optional<WriteSnapshot> snapshot = TakeWriteSnapshot();
        return snapshot && WriteSettings(Link(), *snapshot, flags, data, progress);
    }
    void Edit(const std::function<void(ProfileRecord&)>& edit) { ASSERT_TRUE(EditCurrentProfile(edit)); }

    // Key k of the current key set: `function` on matrix position `position`.
    static void SetKey(ProfileRecord& p, int k, uint32_t function, uint32_t position, uint32_t macroId = 0)
    {
        KeyAssignment& key = *p.CurrentKey(k);
        key = {};
        key.dwFunID = function;
        key.matrix = position;
        key.dwMacroID = macroId;
    }

    RecordingPointer* pointer_ = nullptr;
    std::unique_ptr<SystemPointerSettings> previousPointer_;
};

TEST_F(SettingsWriter, OneKeyWritesOnlyItsMatrixEntry)
{
    UseModel(kModel3325);
    Edit([](ProfileRecord& p) { SetKey(p, 3, kMiddleButton, 5); });
    ASSERT_TRUE(Write(apply::kKeys, 3));
    EXPECT_EQ(Mouse().TakeWrites(), (Writes{{0x70, {0x01, 0x04, 0x00, 0x50}}}));
}

TEST_F(SettingsWriter, AllKeysFillUnusedPositionsWithCodeZero)
{
    UseModel(kModel3325);
    Edit([](ProfileRecord& p) {
        for (int k = 0; k < kKeysPerSet; ++k)
            SetKey(p, k, kLeftClick, k < 6 ? uint32_t(k + 1) : 0);
    });
    ASSERT_TRUE(Write(apply::kKeys, apply::kAll));
    const Bytes matrix = Mouse().Memory(eeprom::kKeyMatrix, 64);
    for (int e = 0; e < 16; ++e) {
        const Bytes entry(matrix.begin() + 4 * e, matrix.begin() + 4 * e + 4);
        EXPECT_EQ(entry, e < 6 ? (Bytes{0x01, 0x01, 0x00, 0x53}) : (Bytes{0x00, 0x00, 0x00, 0x55})) << e;
    }
    // A whole table goes in pieces of 8 bytes.
    int pieces = 0;
    for (const auto& [command, address, length] : Mouse().TakeRequests()) {
        EXPECT_EQ(length, 8);
        pieces += command == kCmdWriteEEPROM;
    }
    EXPECT_EQ(pieces, 8);
}

TEST_F(SettingsWriter, KeyWithoutPositionWritesNothing)
{
    UseModel(kModel3325);
    Edit([](ProfileRecord& p) { SetKey(p, 7, kMiddleButton, 0); });
    EXPECT_TRUE(Write(apply::kKeys, 7));
    EXPECT_TRUE(Mouse().TakeRequests().empty());
    // Nor does a key index outside the table.
    EXPECT_TRUE(Write(apply::kKeys, 40));
    EXPECT_TRUE(Mouse().TakeRequests().empty());
}

TEST_F(SettingsWriter, CombinationKeyWritesItsBlockBeforeTheMatrix)
{
    UseModel(kModel3325);
    Edit([](ProfileRecord& p) {
        SetKey(p, 2, 0x04000026, 3);  // volume up
    });
    ASSERT_TRUE(Write(apply::kKeys, 2));
    const Writes writes = Mouse().TakeWrites();
    ASSERT_EQ(writes.size(), 2u);
    EXPECT_EQ(writes[0], (std::pair<int, Bytes>{0x140, {0x02, 0x82, 0xE9, 0x00, 0x42, 0xE9, 0x00, 0xBD}}));
    EXPECT_EQ(writes[1].first, 0x68);
}

TEST_F(SettingsWriter, MacroBlockGetsTheEndMarkerOnlyWhenItFits)
{
    UseModel(kModel3325);
    struct Case {
        int events;
        size_t written;  // block length with check byte, plus the marker when it fits
    };
    for (const Case c : {Case{69, 381}, Case{70, 383}}) {
        StMacro macro = AddMacro(uint32_t(0x100 + c.events), QStringLiteral("M%1").arg(c.events), kLoopCount, 3);
        Macros().Update(macro.id, [&c](StMacro& m) {
            for (int i = 0; i < c.events; ++i)
                m.events[i] = {uint16_t('A'), uint16_t(i % 2 == 0 ? kActionPress : kActionRelease), 1};
        });
        Edit([&macro](ProfileRecord& p) { SetKey(p, 1, kFunMacro, 4, macro.id); });
        ASSERT_TRUE(Write(apply::kKeys, 1));
        const Writes writes = Mouse().TakeWrites();
        ASSERT_EQ(writes.size(), 2u);
        EXPECT_EQ(writes[0].first, eeprom::MacroBlockAddress(4));
        ASSERT_EQ(writes[0].second.size(), c.written) << c.events;
        const size_t streamEnd = 32 + 5 * size_t(c.events);
        if (c.written == 381) {
            EXPECT_EQ(Bytes(writes[0].second.begin() + long(streamEnd) + 1, writes[0].second.end()), (Bytes{0, 0, 0}));
        }
        // The matrix entry names slot 3 and repeat count 3.
        EXPECT_EQ(writes[1], (std::pair<int, Bytes>{0x6C, {0x06, 0x03, 0x03, 0x49}}));
    }
}

TEST_F(SettingsWriter, MacroKeyWhoseMacroIsGoneGetsNoCode)
{
    UseModel(kModel3325);
    Edit([](ProfileRecord& p) { SetKey(p, 1, kFunMacro, 4, 0x777777); });
    ASSERT_TRUE(Write(apply::kKeys, 1));
    EXPECT_EQ(Mouse().TakeWrites(), (Writes{{0x6C, {0xFF, 0xFF, 0xFF, 0x58}}}));
    EXPECT_TRUE(Logged("keyinfo_to_hardware_code can't find macro id 0x777777"));
}

TEST_F(SettingsWriter, MainLightingOffKeepsTheStoredBytes)
{
    UseModel(kModel3325);
    Config().devices[kModel3325].ShowMainEffect = 1;
    Mouse().Poke(eeprom::kMainLight, {0x02, 0x11, 0x22, 0x33, 0xBE, 0x64, 0x00});
    Edit([](ProfileRecord& p) { p.mainLight.mode = 0; });
    ASSERT_TRUE(Write(apply::kLighting, apply::kLightMain));
    const uint8_t check = uint8_t(0x55 - (0x04 + 0x11 + 0x22 + 0x33 + 0xBE + 0x64));
    EXPECT_EQ(Mouse().Memory(eeprom::kMainLight, 7), (Bytes{0x04, 0x11, 0x22, 0x33, 0xBE, 0x64, check}));
}

TEST_F(SettingsWriter, PollingRateMustBeAHexSpelledValue)
{
    UseModel(kModel3325);
    const Bytes before = Mouse().Memory(eeprom::kPollingRate, 2);
    Edit([](ProfileRecord& p) { p.pollingRate = 1000; });
    EXPECT_FALSE(Write(apply::kPollingRate, 0));
    EXPECT_EQ(Mouse().Memory(eeprom::kPollingRate, 2), before);
    Edit([](ProfileRecord& p) { p.pollingRate = 0x1000; });
    EXPECT_TRUE(Write(apply::kPollingRate, 0));
    EXPECT_EQ(Mouse().Memory(eeprom::kPollingRate, 2), (Bytes{0x01, 0x54}));
}

TEST_F(SettingsWriter, DpiLevelsOf3395WholeOrAloneReadBackEqual)
{
    UseModel(kModel3395);
    Edit([](ProfileRecord& p) {
        p.dpiLevels[0].x = p.dpiLevels[0].y = 800;
        p.dpiLevels[1].x = p.dpiLevels[1].y = 30000;
    });
    const Bytes expected{0x0F, 0x0F, 0x00, 0x37, 0x2B, 0x2B, 0x55, 0xAA};
    ASSERT_TRUE(Write(apply::kDpiLevels, apply::kAll));
    EXPECT_EQ(Mouse().Memory(eeprom::kDpiLevels, 8), expected);

    Mouse().Poke(eeprom::kDpiLevels + 4, {0, 0, 0, 0x55});
    ASSERT_TRUE(Write(apply::kDpiLevels, 1));
    EXPECT_EQ(Mouse().TakeWrites(), (Writes{{eeprom::kDpiLevels + 4, {0x2B, 0x2B, 0x55, 0xAA}}}));
    EXPECT_EQ(Mouse().Memory(eeprom::kDpiLevels, 8), expected);

    std::atomic<bool> abort{false};
    ProfileRecord read = *CurrentProfileCopy();
    ProfileReadExtras extras;
    ASSERT_TRUE(GetProfile(Link(), abort, read, extras));
    EXPECT_EQ(read.dpiLevels[0].x, 800);
    EXPECT_EQ(read.dpiLevels[1].x, 30000);
    EXPECT_EQ(read.dpiLevels[1].y, 30000);
}

TEST_F(SettingsWriter, LevelIndexOutsideTheLevelsWritesNothing)
{
    UseModel(kModel3395);
    EXPECT_TRUE(Write(apply::kDpiLevels | apply::kDpiColours, 8));
    EXPECT_TRUE(Mouse().TakeWrites().empty());
}

TEST_F(SettingsWriter, SinglePairsGoToTheirAddresses)
{
    UseModel(kModel3325);
    g_nCurDpiLevel = 2;
    Edit([](ProfileRecord& p) {
        p.dpiLevelCount = 4;
        p.lod = 2;
        p.angleSnapping = 1;
        p.ripple = 1;
        p.debounce = 12;
        p.sleepTime = 300;
        p.lightOffMoving = 1;
        p.pollingRate = 0x500;
    });
    ASSERT_TRUE(Write(apply::kDpiLevelCount | apply::kCurrentDpiLevel | apply::kLod | apply::kAngleSnapping |
                          apply::kRipple | apply::kDebounce | apply::kSleepTime | apply::kPollingRate |
                          apply::kLightOffMoving,
                      0));
    // In the fixed order: count, level, LOD, snapping, ripple, debounce, sleep, rate, light.
    std::vector<int> addresses;
    for (const auto& [command, address, length] : Mouse().TakeRequests()) {
        EXPECT_EQ(length, 2);
        addresses.push_back(address);
    }
    EXPECT_EQ(addresses, (std::vector<int>{0x02, 0x04, 0x0A, 0xAF, 0xB1, 0xA9, 0xAD, 0x00, 0xB3}));
    const std::vector<std::pair<int, Bytes>> pairs{{0x02, {4, 0x51}}, {0x04, {2, 0x53}}, {0x0A, {2, 0x53}},
                                                   {0xAF, {1, 0x54}}, {0xB1, {1, 0x54}}, {0xA9, {12, 0x49}},
                                                   {0xAD, {30, 0x37}}, {0x00, {2, 0x53}}, {0xB3, {1, 0x54}}};
    for (const auto& [address, bytes] : pairs)
        EXPECT_EQ(Mouse().Memory(address, 2), bytes) << address;
}

// A pair holds one byte: a value from a file beyond it is written as the nearest byte, never as
// its low byte (300 ms of debounce would become 44).
TEST_F(SettingsWriter, PairValuesBeyondAByteAreWrittenAsTheNearestByte)
{
    UseModel(kModel3325);
    Edit([](ProfileRecord& p) {
        p.debounce = 300;
        p.sleepTime = 5000;
        p.lod = -1;
        p.ripple = 256;
    });
    ASSERT_TRUE(Write(apply::kDebounce | apply::kSleepTime | apply::kLod | apply::kRipple, 0));
    EXPECT_EQ(Mouse().TakeWrites(),
              (Writes{{0x0A, {0x00, 0x55}}, {0xB1, {0xFF, 0x56}}, {0xA9, {0xFF, 0x56}}, {0xAD, {0xFF, 0x56}}}));
    EXPECT_TRUE(Logged("Set pair at 0xa9: value 300 written as 255"));
    EXPECT_TRUE(Logged("Set pair at 0xa: value -1 written as 0"));
}

// The same rule for the pairs inside the lighting areas: the logo mode and speed pairs and the
// DPI effect's mode and parameter pairs (a DPI effect mode 256 is not written as off, 00 55).
TEST_F(SettingsWriter, LightingPairsTakeTheNearestByteToo)
{
    struct Case {
        const char* name;
        uint32_t zone;
        std::function<void(ProfileRecord&)> edit;
        Writes expected;
    };
    const Case cases[] = {
        {"DPI effect mode 256, parameter 300", apply::kLightDpi,
         [](ProfileRecord& p) {
             p.dpiEffectMode = 256;
             p.dpiEffectSpeed = 1;
             p.dpiEffectParameter = 300;
         },
         {{eeprom::kDpiEffect, {0xFF, 0x56, 16, 0x45, 0xFF, 0x56}}}},
        {"DPI effect mode -1 is off", apply::kLightDpi, [](ProfileRecord& p) { p.dpiEffectMode = -1; },
         {{eeprom::kDpiEffect, {0x00, 0x55}}}},
        {"DPI effect parameter -5", apply::kLightDpi,
         [](ProfileRecord& p) {
             p.dpiEffectMode = 2;
             p.dpiEffectSpeed = 1;
             p.dpiEffectParameter = -5;
         },
         {{eeprom::kDpiEffect, {0x02, 0x53, 16, 0x45, 0x00, 0x55}}}},
        {"logo mode 257, speed 300", apply::kLightLogo,
         [](ProfileRecord& p) {
             p.logoLight = {};
             p.logoLight.mode = 257;
             p.logoLight.speed = 300;
             p.logoLight.brightness = 1;
         },
         {{eeprom::kLogoLight, {0x00, 0x00, 0x00, 0x55, 0xFF, 0x56, 45, 0x28, 0xFF, 0x56}}}},
        {"logo mode -2 is off", apply::kLightLogo, [](ProfileRecord& p) { p.logoLight.mode = -2; },
         {{eeprom::kLogoMode, {0x00, 0x55}}}},
    };
    UseModel(kModel3395);
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        Edit(c.edit);
        const ProfileRecord before = *CurrentProfileCopy();
        ASSERT_TRUE(Write(apply::kLighting, c.zone));
        EXPECT_EQ(Mouse().TakeWrites(), c.expected);
        const ProfileRecord after = *CurrentProfileCopy();
        EXPECT_EQ(std::memcmp(&after, &before, sizeof after), 0);
    }
    EXPECT_TRUE(Logged("Set pair at 0x4c: value 256 written as 255"));
    EXPECT_TRUE(Logged("Set pair at 0x5c: value 300 written as 255"));
}

TEST_F(SettingsWriter, UnknownCurrentLevelAndWildLevelCountAreNotWrittenAsSuch)
{
    UseModel(kModel3325);
    g_nCurDpiLevel = -1;
    Edit([](ProfileRecord& p) { p.dpiLevelCount = 200; });
    ASSERT_TRUE(Write(apply::kDpiLevelCount | apply::kCurrentDpiLevel, 0));
    EXPECT_EQ(Mouse().TakeWrites(), (Writes{{0x02, {8, 0x4D}}}));
}

TEST_F(SettingsWriter, ProgressInOrderAndReservedMacroFieldsReset)
{
    UseModel(kModel3325);
    const StMacro macro = AddMacro(0x42, QStringLiteral("R"));
    Macros().Update(macro.id, [](StMacro& m) { m.reserved = 7; });
    std::vector<int> seen;
    ASSERT_TRUE(Write(apply::kReset, 0, [&seen](int percent) { seen.push_back(percent); }));
    EXPECT_EQ(seen, (std::vector<int>{20, 60, 70, 80, 90, 100}));
    EXPECT_EQ(Macros().FindById(0x42)->reserved, 0u);
    bool reset = false;
    for (const auto& [command, address, length] : Mouse().TakeRequests())
        reset |= command == kCmdResetDevice;
    EXPECT_TRUE(reset);
}

TEST_F(SettingsWriter, SystemPointerSettingsOnlyWhenShown)
{
    UseModel(kModel3325);
    Edit([](ProfileRecord& p) {
        p.doubleClickTime = 400;
        p.wheelLines = 5;
        p.pointerSpeed = 12;
        p.enhancePrecision = 1;
        p.pointerTrails = 0;
    });
    Config().opt.ShowSys = 0;
    ASSERT_TRUE(Write(apply::kSystemPointer, 0));
    EXPECT_TRUE(pointer_->applied.empty());
    Config().opt.ShowSys = 1;
    ASSERT_TRUE(Write(apply::kSystemPointer, 0));
    ASSERT_EQ(pointer_->applied.size(), 1u);
    EXPECT_EQ(pointer_->applied[0], (PointerSettings{400, 5, 12, 1, 0}));
    EXPECT_TRUE(Mouse().TakeRequests().empty());
}

TEST_F(SettingsWriter, PreconditionsFailAtOnce)
{
    UseModel(kModel3325);
    std::optional<WriteSnapshot> snapshot = TakeWriteSnapshot();
    ASSERT_TRUE(snapshot);
    snapshot->profile.id = 0;
    EXPECT_FALSE(WriteSettings(Link(), *snapshot, apply::kPollingRate, 0));
    snapshot->profile.id = 1;
    Link().SetHandles(nullptr, nullptr);
    EXPECT_FALSE(WriteSettings(Link(), *snapshot, apply::kPollingRate, 0));
    // Without a mouse GoWithNoDev lets the writer run to its end.
    Config().opt.GoWithNoDev = 1;
    EXPECT_TRUE(WriteSettings(Link(), *snapshot, apply::kPollingRate | apply::kReset, 0));
    EXPECT_EQ(Mouse().RequestCount(), 0);
}

}  // namespace
}  // namespace zorvan
