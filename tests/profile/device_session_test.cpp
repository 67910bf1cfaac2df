// The device session against the emulated mouse, found by the real search: take-over and the
// background read, the mouse's own events, the reset window, reads that abort each other, the
// settings-change check, restore defaults, the lighting lock, and recovery after an unplug.
#include "device/eeprom_map.h"
#include "device/event_dispatch.h"
#include "device/emulated/firmware_state.h"
#include "profile/eeprom_codec.h"
#include "profile/profile_edits.h"
#include "profile/profile_store.h"
#include "profile/profile_state.h"
#include "session_fixture.h"
#include "text/language_texts.h"

#include <gtest/gtest.h>

#include <cstring>

namespace zorvan {
namespace {

class DeviceSessionTest : public test::SessionTest {
protected:
    int CurrentIndex()
    {
        std::lock_guard lock(zorvan::Profiles().profileLock);
        return zorvan::Profiles().profiles.CurrentIndex();
    }
    ProfileRecord Current() { return CurrentProfileCopy().value_or(ProfileRecord{}); }
};

TEST_F(DeviceSessionTest, TakeOverReadsTheActiveProfileAndSavesTheStore)
{
    MakeSession();
    Mouse().SetBattery(55, true);
    ASSERT_TRUE(Connect());
    EXPECT_EQ(counts_.readStarted, 1);
    EXPECT_TRUE(RunUntil([&] { return counts_.readFinished == 1; }));
    EXPECT_EQ(counts_.profileRead, 1);
    EXPECT_GE(counts_.deviceChanged, 2) << "start-up and take-over lay the pages out";
    EXPECT_TRUE(RunUntil([&] { return counts_.power == 1; }, 3000)) << "the battery is asked after the read";
    EXPECT_EQ(CurrentIndex(), 0);
    const DeviceDescription* device = CurrentDevice();
    ASSERT_NE(device, nullptr);
    EXPECT_EQ(g_nCurDpiLevel.load(), device->DefaultLevel);
    EXPECT_EQ(test::ReadFile(dir_.File(ProfileStoreName(device->CID, device->MID))).size(), kProfileStoreSize);
    EXPECT_TRUE(LogHas("Init Pro OK"));
    EXPECT_TRUE(LogHas("OnSyncOk"));
    EXPECT_TRUE(Dev().Connected());
    EXPECT_TRUE(Dev().UnderPid());
}

TEST_F(DeviceSessionTest, BatteryAbove100IsIgnored)
{
    MakeSession();
    Mouse().SetBattery(100, false);
    FirmwareState state = Mouse().State();
    state.battery = 101;
    Mouse().Restore(state);
    ASSERT_TRUE(Connect());
    EXPECT_TRUE(RunUntil([&] { return LogHas("GetPower: nPower=0x65, bCharging=0x0"); }, 3000));
    EXPECT_EQ(counts_.power, 0);
}

TEST_F(DeviceSessionTest, DpiLevelEventsBelowDmOnlyAndPollingRateEvents)
{
    MakeSession();
    ASSERT_TRUE(Connect());
    const int dm = CurrentDevice()->DpiLevelCount;
    std::vector<int> levels;
    QObject::connect(&Dev(), &DeviceSession::dpiLevelChanged, [&](int level) { levels.push_back(level); });
    Notifier().PostMouseEvent(dm - 1, 1);
    Notifier().PostMouseEvent(dm, 1);
    Notifier().PostMouseEvent(2, 2);
    Pump(50);
    EXPECT_EQ(levels, std::vector<int>{dm - 1});
    EXPECT_EQ(g_nCurDpiLevel.load(), dm - 1);
    EXPECT_EQ(Current().pollingRate, kRate500);
    Notifier().PostMouseEvent(3, 2);  // no rate of its own: the profile keeps its rate
    Pump(50);
    EXPECT_EQ(Current().pollingRate, kRate500);
}

TEST_F(DeviceSessionTest, AResetEventWithinFiveSecondsOfRestoreDefaultsIsNotRead)
{
    MakeSession();
    ASSERT_TRUE(Connect());
    int64_t now = 100000;
    Dev().tickCount = [&] { return now; };
    Dev().ResetProfileToDefaults();
    now += 3000;
    Notifier().PostMouseEvent(0, 3);
    Pump(50);
    EXPECT_TRUE(LogHas("this is reset notify, do not process"));
    EXPECT_EQ(counts_.readStarted, 1);
    now += 3000;
    Notifier().PostMouseEvent(0, 3);
    ASSERT_TRUE(RunUntil([&] { return counts_.profileRead == 2; }));
    EXPECT_EQ(counts_.readStarted, 2);
}

TEST_F(DeviceSessionTest, ASecondProfileSwitchAbortsTheFirstRead)
{
    MakeSession();
    ASSERT_TRUE(Connect());
    Notifier().PostMouseEvent(0, 3);
    Pump(100);
    ASSERT_TRUE(Dev().Reading());
    Notifier().PostMouseEvent(0, 3);
    ASSERT_TRUE(Settle());
    EXPECT_EQ(counts_.readStarted, 3);
    EXPECT_EQ(counts_.readFinished, 3);
    EXPECT_EQ(counts_.profileRead, 2) << "the take-over read and the second switch; the first switch was aborted";
    EXPECT_EQ(LogCount("Init Pro OK"), 2);
    EXPECT_TRUE(zorvan::Profiles().syncFlag.load());
}

TEST_F(DeviceSessionTest, SelectingAProfileSwitchesTheMouseAndReadsIt)
{
    MakeSession();
    ASSERT_TRUE(Connect());
    ASSERT_EQ(Await([&](DeviceSession::Done done) { Dev().SelectProfile(2, done); }), true);
    ASSERT_TRUE(Settle());
    EXPECT_EQ(Mouse().State().activeProfile, 2);
    EXPECT_EQ(CurrentIndex(), 2);
    EXPECT_EQ(Await([&](DeviceSession::Done done) { Dev().SelectProfile(7, done); }), false);
    EXPECT_TRUE(LogHas("SetCurProfile Err"));
    ASSERT_TRUE(Settle());
    EXPECT_EQ(Mouse().State().activeProfile, 2);
    EXPECT_EQ(CurrentIndex(), 2);
}

// The bytes the take-over read found stay with the session until the mouse may hold others:
// it reported a change, something was written, another read was asked for.
TEST_F(DeviceSessionTest, TheBytesOfAWholeReadAreKeptUntilTheMouseMayHoldOthers)
{
    MakeSession();
    ASSERT_TRUE(Connect());
    ASSERT_TRUE(Settle());
    struct Case {
        const char* name;
        std::function<void()> action;
    };
    const Case cases[] = {
        {"a DPI level event", [&] { Notifier().PostMouseEvent(1, 1); }},
        {"a change written", [&] { Dev().Post(ApplyRequest{apply::kPollingRate, 0}); }},
        {"a whole-mouse job",
         [&] { Await([&](DeviceSession::Done done) { Dev().RunWholeMouseJob([] { return true; }, done); }); }},
        {"a partial read", [&] {
             Dev().SetReadScope(ReadScope::Settings());
             Dev().StartProfileRead();
         }},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        Dev().SetReadScope(ReadScope::Whole());
        Dev().StartProfileRead();
        EXPECT_FALSE(Dev().LastReadBytes()) << "none while a read is asked for";
        ASSERT_TRUE(Settle());
        const std::optional<ProfileBytes> kept = Dev().LastReadBytes();
        ASSERT_TRUE(kept);
        EXPECT_EQ(kept->Profile(), Mouse().State().activeProfile);
        std::vector<uint8_t> base(eeprom::kBaseAreaEnd);
        ASSERT_TRUE(kept->Take(0, base.data(), int(base.size())));
        EXPECT_EQ(base, Memory(0, eeprom::kBaseAreaEnd));
        c.action();
        ASSERT_TRUE(Settle());
        Pump(50);
        EXPECT_FALSE(Dev().LastReadBytes());
    }
}

TEST_F(DeviceSessionTest, SettingsChangeCheck)
{
    MakeSession();
    EXPECT_FALSE(Dev().SettingsChangeAllowed()) << "no mouse";
    EXPECT_TRUE(Shown(GetText("tc_msg15")));
    EXPECT_TRUE(Dev().DesktopChangeAllowed()) << "the desktop's pointer settings need no mouse";
    ASSERT_TRUE(Connect());
    EXPECT_TRUE(Dev().SettingsChangeAllowed());

    zorvan::Profiles().syncFlag = false;
    EXPECT_FALSE(Dev().SettingsChangeAllowed()) << "a read runs";
    EXPECT_TRUE(Shown(GetText("tc_adv_str15")));
    EXPECT_FALSE(Dev().DesktopChangeAllowed()) << "its end replaces the profile";
    zorvan::Profiles().syncFlag = true;

    Mouse().SetLinked(false);
    EXPECT_FALSE(Dev().SettingsChangeAllowed()) << "the receiver has lost its mouse";
    EXPECT_TRUE(Shown(GetText("tc_msg10")));
    Config().opt.ApplyNow = 0;
    EXPECT_TRUE(Dev().SettingsChangeAllowed()) << "nothing is sent at once, so nothing is asked";
}

TEST_F(DeviceSessionTest, AnEditIsWrittenByTheWorkerAndTheLightingLockRefusesLighting)
{
    MakeSession();
    ASSERT_TRUE(Connect());
    Edit edit;
    EditCurrentProfile([&](ProfileRecord& p) { edit = SetPollingRate(p, 500, *CurrentDevice()); });
    ASSERT_TRUE(Dev().Apply(edit));
    ASSERT_TRUE(Dev().WaitApplied(std::chrono::seconds(5)));
    EXPECT_EQ(Memory(eeprom::kPollingRate, 2), (std::vector<uint8_t>{0x02, 0x53}));

    const std::vector<uint8_t> lighting = Memory(eeprom::kMainLight, 7);
    Mouse().SetLightingLocked(true);
    LightChange change;
    change.mode = 2;
    EditCurrentProfile([&](ProfileRecord& p) { edit = SetMainLight(p, change, *CurrentDevice(), Options()); });
    ASSERT_TRUE(edit.IsChanged());
    EXPECT_EQ(Await([&](DeviceSession::Done done) { Dev().ApplyLighting(edit, done); }), false);
    EXPECT_TRUE(Shown(GetText("tc_adv_str29")));
    ASSERT_TRUE(Settle());
    EXPECT_EQ(Memory(eeprom::kMainLight, 7), lighting);
    EXPECT_EQ(Current().mainLight.mode, 2) << "the profile keeps the change";

    Mouse().SetLightingLocked(false);
    EXPECT_EQ(Await([&](DeviceSession::Done done) { Dev().ApplyLighting(edit, done); }), true);
    ASSERT_TRUE(Dev().WaitApplied(std::chrono::seconds(5)));
    EXPECT_EQ(Memory(eeprom::kMainLight, 1), std::vector<uint8_t>{0x01}) << "profile mode 2 is mouse mode 1";
}

TEST_F(DeviceSessionTest, WithApplyNowOffChangesWaitAndAreWrittenTogether)
{
    MakeSession();
    ASSERT_TRUE(Connect());
    ASSERT_TRUE(Settle());
    Config().opt.ApplyNow = 0;
    int pendingNews = 0;
    QObject::connect(&Dev(), &DeviceSession::pendingChanged, [&] { ++pendingNews; });
    const std::vector<uint8_t> rate = Memory(eeprom::kPollingRate, 2);
    const auto apply = [&](const std::function<Edit(ProfileRecord&)>& change) {
        Edit edit;
        EditCurrentProfile([&](ProfileRecord& p) { edit = change(p); });
        ASSERT_TRUE(Dev().Apply(edit));
    };
    const DeviceDescription device = *CurrentDevice();
    apply([&](ProfileRecord& p) { return SetPollingRate(p, 500, device); });
    apply([&](ProfileRecord& p) { return SetPollingRate(p, 250, device); });
    EXPECT_EQ(Dev().PendingRequest().flags, apply::kPollingRate);
    apply([&](ProfileRecord& p) { return SetDebounce(p, 14, device, Options()); });
    ASSERT_TRUE(Settle());
    EXPECT_EQ(Memory(eeprom::kPollingRate, 2), rate) << "nothing is written before the user asks";
    EXPECT_EQ(Dev().PendingRequest().flags, apply::kPollingRate | apply::kDebounce);
    EXPECT_EQ(pendingNews, 1);

    Mouse().SetLinked(false);
    EXPECT_FALSE(Dev().WritePending()) << "written now, so the mouse must answer";
    EXPECT_TRUE(Shown(GetText("tc_msg10")));
    EXPECT_TRUE(Dev().ChangesPending());
    Mouse().SetLinked(true);
    ASSERT_TRUE(Dev().WritePending());
    EXPECT_FALSE(Dev().ChangesPending());
    EXPECT_EQ(pendingNews, 2);
    ASSERT_TRUE(Dev().WaitApplied(std::chrono::seconds(5)));
    EXPECT_EQ(Memory(eeprom::kPollingRate, 2), (std::vector<uint8_t>{0x04, 0x51})) << "the last rate chosen";

    apply([&](ProfileRecord& p) { return SetPollingRate(p, 1000, device); });
    Dev().StartProfileRead();
    EXPECT_TRUE(RunUntil([&] { return !Dev().ChangesPending(); })) << "a read puts the mouse's profile back";
}

TEST_F(DeviceSessionTest, ALightingChangeOnTheMouseIsReadBack)
{
    MakeSession();
    ASSERT_TRUE(Connect());
    int changed = 0;
    QObject::connect(&Dev(), &DeviceSession::lightingChanged, [&] { ++changed; });
    const int before = Current().mainLight.mode;
    Mouse().Press(MouseButton::kLightMode);
    ASSERT_TRUE(RunUntil([&] { return changed == 1; }));
    ProfileRecord expected{};
    std::vector<uint8_t> bytes = Memory(eeprom::kMainLight, 8);
    EEPROM_To_MainRGB(std::span<const uint8_t, 8>(bytes.data(), 8), expected.mainLight);
    EXPECT_EQ(Current().mainLight.mode, expected.mainLight.mode);
    EXPECT_NE(Current().mainLight.mode, before);
}

// A lighting event of a zone the model does not show (the first model has no logo lighting) is
// not read back; one of a zone it shows is.
TEST_F(DeviceSessionTest, OnlyLightingZonesTheModelShowsAreReadBack)
{
    MakeSession();
    ASSERT_TRUE(Connect());
    // The battery is asked after the read: its exchange must not count as a read-back below.
    ASSERT_TRUE(RunUntil([&] { return counts_.power >= 1; }, 3000));
    ASSERT_TRUE(Settle());
    ASSERT_EQ(CurrentDevice()->ShowLogoEffect, 0);
    int changed = 0;
    QObject::connect(&Dev(), &DeviceSession::lightingChanged, [&] { ++changed; });
    QObject::connect(&Dev(), &DeviceSession::dpiLightingChanged, [&] { ++changed; });
    struct Case {
        int kind;
        bool readBack;
    };
    for (const Case c : {Case{kEventLogoLight, false}, Case{kEventDpiLight, true}, Case{kEventMainLight, true}}) {
        SCOPED_TRACE(c.kind);
        const int requests = Mouse().RequestCount();
        const int before = changed;
        Notifier().PostMouseEvent(0, c.kind);
        if (c.readBack)
            EXPECT_TRUE(RunUntil([&] { return changed == before + 1; }, 3000));
        else
            Pump(100);
        EXPECT_EQ(changed - before, c.readBack ? 1 : 0);
        EXPECT_EQ(Mouse().RequestCount() - requests, c.readBack ? 1 : 0);
    }
}

TEST_F(DeviceSessionTest, RestoreDefaultsResetsProfileOneAndTheMouseAndIgnoresItsResetEvent)
{
    MakeSession();
    ASSERT_TRUE(Connect());
    const std::vector<uint8_t> factory = Memory(0, eeprom::kBaseAreaEnd);
    Edit edit;
    EditCurrentProfile([&](ProfileRecord& p) { edit = SetPollingRate(p, 125, *CurrentDevice()); });
    ASSERT_TRUE(Dev().Apply(edit));
    ASSERT_TRUE(Dev().WaitApplied(std::chrono::seconds(5)));
    ASSERT_NE(Memory(0, eeprom::kBaseAreaEnd), factory);

    ASSERT_TRUE(Dev().RestoreDefaultsAllowed());
    Dev().ResetProfileToDefaults();
    EXPECT_EQ(CurrentIndex(), 0);
    EXPECT_EQ(Current().pollingRate, CurrentDevice()->ReportRate);
    EXPECT_EQ(g_nCurDpiLevel.load(), CurrentDevice()->DefaultLevel);
    std::vector<int> percents;
    QObject::connect(&Dev(), &DeviceSession::progress, [&](int p) { percents.push_back(p); });
    Dev().WriteDefaultsToMouse();
    ASSERT_TRUE(RunUntil([&] { return counts_.progressEnded == 1; }));
    EXPECT_EQ(percents, (std::vector<int>{20, 60, 70, 80, 90, 100}));
    EXPECT_EQ(Memory(0, eeprom::kBaseAreaEnd), factory);
    ASSERT_TRUE(RunUntil([&] { return LogHas("this is reset notify, do not process"); }, 3000));
    EXPECT_EQ(counts_.readStarted, 1);
}

// The mouse is unplugged at request `n` of a read: nothing of the read is taken over, the
// mouse is reported gone, and once it is back the session takes it over and reads it again.
TEST_F(DeviceSessionTest, UnplugDuringAReadLeavesTheLocalCopyAndRecovers)
{
    for (const int n : {1, 2, 40, 60}) {
        SCOPED_TRACE(n);
        MakeSession();
        counts_ = {};
        ASSERT_TRUE(Connect());
        // A profile the mouse does not hold, so a partial take-over would show.
        EditCurrentProfile([](ProfileRecord& p) { p.ripple = 7; });
        const ProfileRecord before = Current();
        Mouse().UnplugAtRequest(n);
        Notifier().PostMouseEvent(0, 3);
        ASSERT_TRUE(RunUntil([&] { return counts_.deviceLost == 1 && !Dev().Reading(); }));
        EXPECT_EQ(counts_.profileRead, 1);
        const ProfileRecord after = Current();
        EXPECT_EQ(std::memcmp(&before, &after, sizeof before), 0);
        EXPECT_FALSE(Dev().Connected());

        Mouse().SetPlugged(true);
        ASSERT_TRUE(RunUntil([&] { return counts_.profileRead == 2 && !Dev().Reading(); }, 15000));
        EXPECT_TRUE(Dev().Connected());
        EXPECT_EQ(Current().ripple, 0);
    }
}

// Lost, refused and garbled answers to the read's first request (every attempt): the read
// ends within the answer time-outs, nothing is taken over, and the next read works.
TEST_F(DeviceSessionTest, AnUnansweredReadEndsWithinItsTimeOutsAndTheNextOneWorks)
{
    for (const FaultKind fault : {FaultKind::kNoAnswer, FaultKind::kRefuse, FaultKind::kGarbage}) {
        SCOPED_TRACE(int(fault));
        MakeSession();
        counts_ = {};
        ASSERT_TRUE(Connect());
        EditCurrentProfile([](ProfileRecord& p) { p.ripple = 7; });
        Mouse().InjectFault(fault, Options().Retry);
        Notifier().PostMouseEvent(0, 3);
        // Retry attempts of about a second each.
        ASSERT_TRUE(RunUntil([&] { return counts_.readFinished == 2; }, (Options().Retry + 1) * 1500));
        EXPECT_EQ(counts_.profileRead, 1);
        EXPECT_EQ(Current().ripple, 7);
        EXPECT_TRUE(LogHas("Mouse profile is -1"));
        EXPECT_TRUE(Dev().Connected());
        Notifier().PostMouseEvent(0, 3);
        ASSERT_TRUE(RunUntil([&] { return counts_.profileRead == 2 && !Dev().Reading(); }));
        EXPECT_EQ(Current().ripple, 0);
    }
}

TEST_F(DeviceSessionTest, UnplugDuringAWholeProfileWriteShowsTheFailureAndRecovers)
{
    MakeSession();
    ASSERT_TRUE(Connect());
    Mouse().UnplugAtRequest(10);
    Dev().Worker().Post(apply::kImportFlags, apply::kAll);
    EXPECT_FALSE(Dev().WaitApplied(std::chrono::seconds(20)));
    EXPECT_TRUE(Shown(QStringLiteral("   Update settings failed!      ")));
    ASSERT_TRUE(RunUntil([&] { return counts_.deviceLost == 1; }));
    Mouse().SetPlugged(true);
    ASSERT_TRUE(RunUntil([&] { return counts_.profileRead == 2 && !Dev().Reading(); }, 15000));
    Edit edit;
    EditCurrentProfile([&](ProfileRecord& p) { edit = SetPollingRate(p, 250, *CurrentDevice()); });
    ASSERT_TRUE(Dev().Apply(edit));
    EXPECT_TRUE(Dev().WaitApplied(std::chrono::seconds(5)));
    EXPECT_EQ(Memory(eeprom::kPollingRate, 2), (std::vector<uint8_t>{0x04, 0x51}));
}

}  // namespace
}  // namespace zorvan
