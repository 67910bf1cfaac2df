// What the device session must not lose: local edits across a take-over of the same model (the
// mouse plugged back, the receiver paired again), and what the mouse reports while a profile
// read runs (the read's older values must not undo it, on screen or on the mouse).
#include "device/eeprom_map.h"
#include "device/emulated/firmware_state.h"
#include "profile/apply_request.h"
#include "profile/eeprom_codec.h"
#include "profile/profile_store.h"
#include "profile/profile_state.h"
#include "session_fixture.h"

#include <gtest/gtest.h>

#include <cstring>
#include <functional>

namespace zorvan {
namespace {

class SessionDataSafetyTest : public test::SessionTest {
protected:
    ProfileRecord Current() { return CurrentProfileCopy().value_or(ProfileRecord{}); }

    // The mouse's active profile with `bytes` at `address`, as if changed on the mouse itself.
    void SetMouseBytes(int address, std::initializer_list<uint8_t> bytes)
    {
        FirmwareState state = Mouse().State();
        std::copy(bytes.begin(), bytes.end(), state.profiles[state.activeProfile].begin() + address);
        Mouse().Restore(state);
    }

    // The current profile as the store file holds it.
    ProfileRecord StoredCurrent()
    {
        const DeviceDescription* device = CurrentDevice();
        const QByteArray file = test::ReadFile(dir_.File(ProfileStoreName(device->CID, device->MID)));
        ProfileRecord record{};
        const int index = zorvan::Profiles().profiles.CurrentIndex();
        if (file.size() == kProfileStoreSize && index >= 0)
            std::memcpy(&record, file.constData() + 4 + sizeof(ProfileRecord) * size_t(index), sizeof record);
        return record;
    }
};

// Edits made while ApplyNow is 0 live only in the local profiles until the next save. A new
// take-over of the same model must keep them (the read refreshes key set 0 and the
// settings it reads, nothing else), save them with the read, and write them when asked.
TEST_F(SessionDataSafetyTest, ATakeOverOfTheSameModelKeepsTheLocalEdits)
{
    struct Case {
        const char* name;
        bool pairedLater;  // the receiver comes back without its mouse, which pairs again later
    };
    for (const Case& c : {Case{"plugged back", false}, Case{"receiver paired again", true}}) {
        SCOPED_TRACE(c.name);
        MakeSession();
        counts_ = {};
        ASSERT_TRUE(Connect());
        Config().opt.ApplyNow = 0;
        const ProfileRecord before = Current();
        const KeyAssignment& left = before.Key[0][0];
        const uint32_t position = before.Key[1][2].matrix;
        ASSERT_NE(position, 0u);
        const int entry = eeprom::kKeyMatrix + 4 * int(position - 1);
        const std::vector<uint8_t> entryBefore = Memory(entry, 4);
        EditCurrentProfile([&](ProfileRecord& p) {
            p.SetName(u"Edited here");
            p.currentKeySet = 1;
            p.Key[1][2].dwFunID = left.dwFunID;
            p.Key[1][2].dwParameter = left.dwParameter;
            p.wheelLines = 9;
            p.xySeparate = 1;
        });
        const ProfileRecord edited = Current();

        if (c.pairedLater)
            Mouse().SetLinked(false);
        Mouse().SetPlugged(false);
        ASSERT_TRUE(RunUntil([&] { return counts_.deviceLost == 1; }));
        Mouse().SetPlugged(true);
        if (c.pairedLater) {
            Pump(800);
            EXPECT_EQ(counts_.readStarted, 1) << "no take-over before the mouse is paired";
            Mouse().SetLinked(true);
        }
        ASSERT_TRUE(RunUntil([&] { return counts_.profileRead == 2 && !Dev().Reading(); }, 15000));

        const ProfileRecord after = Current();
        EXPECT_EQ(std::u16string(after.name), u"Edited here");
        EXPECT_EQ(after.currentKeySet, 1);
        EXPECT_EQ(after.Key[1][2], edited.Key[1][2]);
        EXPECT_EQ(after.wheelLines, 9);
        EXPECT_EQ(after.xySeparate, 1);
        const ProfileRecord stored = StoredCurrent();
        EXPECT_EQ(std::memcmp(&stored, &after, sizeof stored), 0) << "the read saves the store with the edits";
        EXPECT_EQ(Memory(entry, 4), entryBefore) << "ApplyNow 0: nothing written yet";

        ASSERT_TRUE(Dev().Post({apply::kKeys, apply::kAll}));
        ASSERT_TRUE(Dev().WaitApplied(std::chrono::seconds(5)));
        EXPECT_NE(Memory(entry, 4), entryBefore);
        EXPECT_EQ(Memory(entry, 4), Memory(eeprom::kKeyMatrix + 4 * int(left.matrix - 1), 4))
            << "key 2 of key set 1 plays the left button";
    }
}

// Another model taken over (a second mouse on the same program): the profiles in memory belong
// to the first model and go to its store, with their local edits, before the new model's store
// is loaded.
TEST_F(SessionDataSafetyTest, AnotherModelsTakeOverSavesTheOldModelsEditsFirst)
{
    MakeSession();
    ASSERT_TRUE(Connect());
    const DeviceDescription first = *CurrentDevice();
    Config().opt.ApplyNow = 0;
    EditCurrentProfile([](ProfileRecord& p) { p.SetName(u"Edited here"); });

    MakeSession(std::pair{0x1A, 0x03});
    counts_ = {};
    ASSERT_TRUE(Connect());
    ASSERT_EQ(CurrentDevice()->MID, 0x03);
    EXPECT_NE(std::u16string(Current().name), u"Edited here");

    const QByteArray store = test::ReadFile(dir_.File(ProfileStoreName(first.CID, first.MID)));
    ASSERT_EQ(store.size(), kProfileStoreSize);
    ProfileRecord saved{};
    std::memcpy(&saved, store.constData() + 4, sizeof saved);
    EXPECT_EQ(std::u16string(saved.name), u"Edited here");
}

// The user at the mouse while a profile read runs: the DPI button, the polling rate, each
// lighting zone, at a moment early in the read (after the base area with byte 04 was read),
// in its middle and near its end. Afterwards the session shows what the mouse holds, and the
// next write of the current level sends the mouse's level, not the read's.
TEST_F(SessionDataSafetyTest, WhatTheMouseReportsDuringAReadWinsOverTheReadsOlderValues)
{
    struct Report {
        const char* name;
        std::function<void(int step)> atTheMouse;
        std::function<bool()> sessionAgrees;
    };
    const std::vector<Report> reports = {
        {"DPI button",
         [this](int) { Mouse().Press(MouseButton::kDpiUp); },
         [this] { return g_nCurDpiLevel.load() == Memory(eeprom::kCurrentDpiLevel, 1)[0]; }},
        {"polling rate",
         [this](int step) {
             const uint8_t codes[] = {1, 2, 4, 8};
             const uint8_t code = codes[step % 4] == Memory(eeprom::kPollingRate, 1)[0] ? codes[(step + 1) % 4]
                                                                                         : codes[step % 4];
             SetMouseBytes(eeprom::kPollingRate, {code, uint8_t(0x55 - code)});
             Notifier().PostMouseEvent(code, kEventPollingRate);
         },
         [this] {
             return Current().pollingRate == PollingRateOfByte(Memory(eeprom::kPollingRate, 1)[0]);
         }},
        {"main lighting",
         [this](int) { Mouse().Press(MouseButton::kLightMode); },
         [this] {
             LightingBlock expected = Current().mainLight;
             const std::vector<uint8_t> bytes = Memory(eeprom::kMainLight, 8);
             EEPROM_To_MainRGB(std::span<const uint8_t, 8>(bytes.data(), 8), expected);
             const ProfileRecord p = Current();
             return std::memcmp(&expected, &p.mainLight, sizeof expected) == 0;
         }},
        {"logo lighting",
         [this](int step) {
             const uint8_t c0 = uint8_t(40 * step), c1 = 20, c2 = 200, mode = uint8_t(1 + step % 3);
             const uint8_t bright = 100, speed = uint8_t(1 + step % 5);
             SetMouseBytes(eeprom::kLogoLight, {c0, c1, c2, uint8_t(0x55 - c0 - c1 - c2), mode, uint8_t(0x55 - mode),
                                                  bright, uint8_t(0x55 - bright), speed, uint8_t(0x55 - speed)});
             Notifier().PostMouseEvent(0, kEventLogoLight);
         },
         [this] {
             LightingBlock expected = Current().logoLight;
             const std::vector<uint8_t> bytes = Memory(eeprom::kLogoLight, 10);
             EEPROM_To_LogoRGB(std::span<const uint8_t, 10>(bytes.data(), 10), expected);
             const ProfileRecord p = Current();
             return std::memcmp(&expected, &p.logoLight, sizeof expected) == 0;
         }},
        {"DPI lighting",
         [this](int step) {
             const uint8_t mode = uint8_t(1 + step % 3), speed = 60, parameter = uint8_t(1 + step);
             SetMouseBytes(eeprom::kDpiEffect, {mode, uint8_t(0x55 - mode), speed, uint8_t(0x55 - speed), parameter,
                                                  uint8_t(0x55 - parameter)});
             Notifier().PostMouseEvent(0, kEventDpiLight);
         },
         [this] {
             const std::vector<uint8_t> bytes = Memory(eeprom::kDpiEffect, 6);
             const DpiEffect expected = DecodeDpiEffect(std::span<const uint8_t, 6>(bytes.data(), 6));
             const ProfileRecord p = Current();
             return p.dpiEffectMode == expected.mode && p.dpiEffectSpeed == expected.speed &&
                    p.dpiEffectParameter == expected.parameter;
         }},
    };
    // Requests since the profile/reset event: the profile query, then the base area (byte 04 in
    // the first piece), the combination blocks from the 21st, the macro names from the 53rd to
    // the 68th (the last moment leaves a few to spare, so the read still runs when it is seen).
    const int moments[] = {3, 35, 63};

    MakeSession(std::pair{0x1A, 0x03});  // a model with all three lighting zones
    ASSERT_TRUE(Connect());
    int step = 0;
    for (const Report& report : reports) {
        for (const int moment : moments) {
            SCOPED_TRACE(std::string(report.name) + " after request " + std::to_string(moment));
            ++step;
            const int reads = counts_.profileRead;
            const int start = Mouse().RequestCount();
            Notifier().PostMouseEvent(0, kEventProfile);
            ASSERT_TRUE(RunUntil([&] { return Mouse().RequestCount() >= start + moment; }));
            ASSERT_TRUE(Dev().Reading());
            report.atTheMouse(step);
            ASSERT_TRUE(Settle());
            ASSERT_EQ(counts_.profileRead, reads + 1) << "the read was taken over";
            EXPECT_TRUE(RunUntil([&] { return report.sessionAgrees(); }, 2000));

            const std::vector<uint8_t> level = Memory(eeprom::kCurrentDpiLevel, 2);
            ASSERT_TRUE(Dev().Post({apply::kCurrentDpiLevel, 0}));
            ASSERT_TRUE(Dev().WaitApplied(std::chrono::seconds(5)));
            EXPECT_EQ(Memory(eeprom::kCurrentDpiLevel, 2), level) << "the write sends the mouse's own level";
        }
    }
}

}  // namespace
}  // namespace zorvan
