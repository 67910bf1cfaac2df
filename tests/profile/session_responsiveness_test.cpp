// The user-interface thread never waits on the mouse: while the apply worker writes a whole
// macro slot to a slow mouse (holding the device lock for all its pieces), every entry point of
// the session that talks to the mouse returns at once, the event loop keeps turning, and the
// effects arrive afterwards, in the order the entry points were used.
#include "device/eeprom_map.h"
#include "device/report_frame.h"
#include "macro/macro_library.h"
#include "macro/macro_record.h"
#include "profile/apply_request.h"
#include "profile/function_codes.h"
#include "profile/profile_edits.h"
#include "profile/profile_state.h"
#include "session_fixture.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QThread>

#include <gtest/gtest.h>

#include <algorithm>
#include <ostream>
#include <string>
#include <vector>

namespace zorvan {
namespace {

// A call that does not wait for the mouse comes back well within this, also in a sanitizer
// build on a busy machine (turns of a second have been seen there); one that waits for the
// device lock takes the rest of the slot write (about six seconds at the latency below).
constexpr int kPromptMs = 1500;
constexpr auto kSlowAnswer = std::chrono::milliseconds(150);
constexpr int kSlotPosition = 4;
constexpr int kSlotEvents = 69;  // the stream fills the slot: 39 pieces

struct Request {
    int command = 0;
    int address = 0;
    int length = 0;
    bool operator==(const Request&) const = default;
};

void PrintTo(const Request& r, std::ostream* os)
{
    *os << "{" << r.command << ", 0x" << std::hex << r.address << std::dec << ", " << r.length << "}";
}

class SessionResponsivenessTest : public test::SessionTest {
protected:
    void SetUp() override
    {
        SessionTest::SetUp();
        MakeSession();
        Dev().timing.takeOverMs = 1;
    }

    // Key 2 plays a macro that fills its slot; the mouse answers slowly; the key's write is
    // posted. Returns once the worker is inside the slot.
    void StartSlotWrite()
    {
        StMacro macro = AddMacro(0x4242, QStringLiteral("Long"));
        Macros().Update(macro.id, [](StMacro& m) {
            for (int i = 0; i < kSlotEvents; ++i)
                m.events[i] = {uint16_t('A'), uint16_t(i % 2 == 0 ? kActionPress : kActionRelease), 1};
        });
        ASSERT_TRUE(EditCurrentProfile([&](ProfileRecord& p) {
            KeyAssignment& key = *p.CurrentKey(1);
            key = {};
            key.dwFunID = kFunMacro;
            key.matrix = kSlotPosition;
            key.dwMacroID = macro.id;
        }));
        Mouse().SetAnswerLatency(kSlowAnswer);
        ASSERT_TRUE(Dev().Post({apply::kKeys, 1}));
        ASSERT_TRUE(RunUntil([&] { return SlotPieces(Requests()) > 0; }, 5000));
    }

    static bool InSlot(const Request& r)
    {
        const int slot = eeprom::MacroBlockAddress(kSlotPosition);
        return r.command == kCmdWriteEEPROM && r.address >= slot && r.address < slot + eeprom::kMacroBlockSize;
    }
    static int SlotPieces(const std::vector<Request>& requests)
    {
        return int(std::count_if(requests.begin(), requests.end(), [](const Request& r) { return InSlot(r); }));
    }
    // The slot is written whole: its last piece (one byte) has been sent.
    bool SlotDone()
    {
        const std::vector<Request> requests = Requests();
        return std::any_of(requests.begin(), requests.end(), [](const Request& r) { return InSlot(r) && r.length == 1; });
    }

    // The mouse's request log (its last 256 requests), oldest first.
    std::vector<Request> Requests()
    {
        std::vector<Request> requests;
        for (const HidReport& report : Mouse().RequestLog())
            requests.push_back({report[1 + kPayloadCommand],
                                (report[1 + kPayloadAddressHigh] << 8) | report[1 + kPayloadAddressLow],
                                report[1 + kPayloadLength]});
        return requests;
    }
    // The requests after the slot's last piece, without the battery timer's queries.
    static std::vector<Request> AfterSlot(const std::vector<Request>& requests)
    {
        const auto last = std::find_if(requests.rbegin(), requests.rend(), [](const Request& r) { return InSlot(r); });
        std::vector<Request> after;
        std::copy_if(last.base(), requests.end(), std::back_inserter(after),
                     [](const Request& r) { return r.command != kCmdGetPower; });
        return after;
    }

    // Runs `call` on this (the user-interface) thread; it must come back at once, while the
    // worker is still inside the slot.
    void Prompt(const char* what, const std::function<void()>& call)
    {
        QElapsedTimer clock;
        clock.start();
        call();
        EXPECT_LT(clock.elapsed(), kPromptMs) << what;
        EXPECT_FALSE(SlotDone()) << what << " came back only after the slot was written";
    }

    // Runs the event loop until `done`, with `eachTurn` after every turn; the longest turn in
    // milliseconds, or -1 on time-out. The mouse answers at once again after the slot.
    int PumpUntil(const std::function<bool()>& done, const std::function<void()>& eachTurn = {}, int timeoutMs = 30000)
    {
        QElapsedTimer total;
        total.start();
        qint64 longest = 0;
        bool fast = false;
        while (!done()) {
            if (total.elapsed() > timeoutMs)
                return -1;
            QElapsedTimer turn;
            turn.start();
            QCoreApplication::processEvents();
            longest = std::max(longest, turn.elapsed());
            if (eachTurn)
                eachTurn();
            if (!fast && SlotDone()) {
                Mouse().SetAnswerLatency(std::chrono::milliseconds(1));
                fast = true;
            }
            QThread::msleep(1);
        }
        return int(longest);
    }

    int CurrentIndex()
    {
        std::lock_guard lock(zorvan::Profiles().profileLock);
        return zorvan::Profiles().profiles.CurrentIndex();
    }
};

TEST_F(SessionResponsivenessTest, EntryPointsComeBackAtOnceAndTheirEffectsFollowTheWriteInOrder)
{
    Dev().timing.powerPollMs = 200;  // the battery is polled during the write too
    ASSERT_TRUE(Connect());
    ASSERT_EQ(Mouse().State().activeProfile, 0);
    const std::vector<uint8_t> otherSlot = Mouse().Memory(1, eeprom::MacroBlockAddress(kSlotPosition), eeprom::kMacroBlockSize);
    Edit lighting;
    LightChange change;
    change.mode = 2;
    EditCurrentProfile([&](ProfileRecord& p) { lighting = SetMainLight(p, change, *CurrentDevice(), Options()); });
    ASSERT_TRUE(lighting.IsChanged());
    const int powerBefore = counts_.power;

    std::vector<std::string> effects;
    QObject::connect(&Dev(), &DeviceSession::lightingChanged, [&] { effects.push_back("lighting read back"); });
    QObject::connect(&Dev(), &DeviceSession::dpiLightingChanged, [&] { effects.push_back("DPI lighting read back"); });
    QObject::connect(&Dev(), &DeviceSession::readStarted, [&] { effects.push_back("read started"); });
    QObject::connect(&Dev(), &DeviceSession::profileRead, [&] { effects.push_back("profile read"); });
    std::optional<bool> lit, switched;
    std::vector<Request> atSwitch;

    StartSlotWrite();
    Prompt("settings-change check", [&] { EXPECT_TRUE(Dev().SettingsChangeAllowed()) << "the worker writes: linked"; });
    Prompt("window status", [&] { Dev().TellDrvStatus(0); });
    Prompt("lighting events", [&] {
        Notifier().PostMouseEvent(0, 4);
        Notifier().PostMouseEvent(0, 6);
        QCoreApplication::processEvents();
    });
    Prompt("lighting change", [&] {
        Dev().ApplyLighting(lighting, [&](bool ok) {
            lit = ok;
            effects.push_back("lighting allowed");
        });
    });
    Prompt("profile switch", [&] {
        Dev().SelectProfile(1, [&](bool ok) {
            switched = ok;
            atSwitch = Requests();
            effects.push_back("switched");
        });
    });

    const int longest = PumpUntil([&] { return counts_.profileRead == 2 && !Dev().Reading(); });
    ASSERT_GE(longest, 0) << "the effects never came";
    EXPECT_LT(longest, kPromptMs) << "the event loop (battery timer, deliveries) stopped for that long";
    ASSERT_TRUE(Settle());

    // The main lighting read back after the event would undo the change made after it.
    EXPECT_EQ(effects, (std::vector<std::string>{"DPI lighting read back", "lighting allowed", "switched",
                                                 "read started", "profile read"}));
    EXPECT_TRUE(LogHas("Lighting event 4 not taken: changed on the page since"));
    EXPECT_EQ(lit, true);
    EXPECT_EQ(switched, true);
    EXPECT_GT(counts_.power, powerBefore);

    // On the wire: the short exchanges after the slot, in the order asked, no link-state query,
    // and the switch only after the writes posted before it (the lighting change went to the
    // profile it was made on).
    const std::vector<Request> after = AfterSlot(atSwitch);
    std::vector<Request> exchanges;
    std::copy_if(after.begin(), after.end(), std::back_inserter(exchanges),
                 [](const Request& r) { return r.command != kCmdWriteEEPROM; });
    EXPECT_EQ(exchanges, (std::vector<Request>{{kCmdTellDrvStatus, 0, 1},
                                               {kCmdReadEEPROM, eeprom::kMainLight, 8},
                                               {kCmdReadEEPROM, eeprom::kDpiEffect, 6},
                                               {kCmdLightingLock, 0, 0},
                                               {kCmdSetCurProfile, 0, 1}}));
    const auto at = [&](int command, int address) {
        return std::find_if(after.begin(), after.end(),
                            [&](const Request& r) { return r.command == command && r.address == address; });
    };
    const auto switchRequest = at(kCmdSetCurProfile, 0);
    EXPECT_LT(at(kCmdWriteEEPROM, eeprom::kMainLight), switchRequest) << "the lighting change is written first";
    EXPECT_LT(at(kCmdWriteEEPROM, eeprom::kKeyMatrix + 4 * (kSlotPosition - 1)), switchRequest) << "so is the key";

    EXPECT_FALSE(Mouse().State().windowShown);
    EXPECT_EQ(Mouse().State().activeProfile, 1);
    EXPECT_EQ(CurrentIndex(), 1);
    EXPECT_EQ(Mouse().Memory(0, eeprom::kMainLight, 1), std::vector<uint8_t>{0x01}) << "profile mode 2 is mouse mode 1";
    EXPECT_EQ(Mouse().Memory(0, eeprom::MacroBlockAddress(kSlotPosition), 1), std::vector<uint8_t>{8}) << "\"Long\"";
    EXPECT_EQ(Mouse().Memory(1, eeprom::MacroBlockAddress(kSlotPosition), eeprom::kMacroBlockSize), otherSlot)
        << "no piece of the slot went to the profile switched to";
}

TEST_F(SessionResponsivenessTest, ATakeOverDuringAWriteReadsTheLevelThenTellsTheStatusThenReadsTheProfile)
{
    ASSERT_TRUE(Connect());
    Dev().TellDrvStatus(1);
    ASSERT_TRUE(RunUntil([&] { return Mouse().State().windowShown; }));
    const int mouseLevel = Mouse().Memory(Mouse().State().activeProfile, eeprom::kCurrentDpiLevel, 1)[0];

    std::vector<std::string> effects;
    QObject::connect(&Dev(), &DeviceSession::deviceChanged, [&] {
        effects.push_back("layout, level " + std::to_string(g_nCurDpiLevel.load()));
    });
    QObject::connect(&Dev(), &DeviceSession::readStarted, [&] { effects.push_back("read started"); });
    QObject::connect(&Dev(), &DeviceSession::profileRead, [&] { effects.push_back("profile read"); });

    StartSlotWrite();
    g_nCurDpiLevel = -1;
    Notifier().PostDeviceIdentified(0);
    std::optional<bool> tookOverInSlot;
    std::vector<Request> atRead;
    const int longest = PumpUntil(
        [&] { return counts_.profileRead == 2 && !Dev().Reading(); },
        [&] {
            if (!tookOverInSlot && Dev().Reading())
                tookOverInSlot = !SlotDone();
            // The read's first request, after the slot (the take-over read's is still in the log).
            const std::vector<Request> requests = Requests();
            const std::vector<Request> after = AfterSlot(requests);
            if (atRead.empty() && SlotPieces(requests) > 0 &&
                std::any_of(after.begin(), after.end(), [](const Request& r) { return r.command == kCmdGetCurProfile; }))
                atRead = requests;
        });
    ASSERT_GE(longest, 0) << "the take-over never ended";
    EXPECT_LT(longest, kPromptMs);
    EXPECT_EQ(tookOverInSlot, true) << "the take-over ran only after the write";

    EXPECT_EQ(effects, (std::vector<std::string>{"layout, level " + std::to_string(mouseLevel), "read started",
                                                 "profile read"}));
    std::vector<Request> first = AfterSlot(atRead);
    first.erase(std::remove_if(first.begin(), first.end(), [](const Request& r) { return r.command == kCmdWriteEEPROM; }),
                first.end());
    ASSERT_GE(first.size(), 3u);
    first.resize(3);
    EXPECT_EQ(first, (std::vector<Request>{{kCmdReadEEPROM, eeprom::kCurrentDpiLevel, 2},
                                           {kCmdTellDrvStatus, 0, 1},
                                           {kCmdGetCurProfile, 0, 0}}));
}

}  // namespace
}  // namespace zorvan
