// Faults of the mouse during a full profile read and a whole-profile write: unplugged at every
// request, refusals, lost, wrong and late answers. No crash, no wait beyond the exchange
// time-outs, the local profile is never half-updated, the user sees the specified message, and
// the mouse is read again once it is back.
#include "device/emulated/mouse_firmware.h"
#include "mouse_fixture.h"
#include "profile/apply_request.h"
#include "profile/apply_worker.h"
#include "profile/profile_read.h"
#include "profile/profile_state.h"

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <cstring>

namespace zorvan {
namespace {

using namespace std::chrono_literals;

constexpr int kModel = 2;
constexpr uint32_t kWholeProfile = 0x1FFFF & ~(apply::kProgress | apply::kSystemPointer | apply::kReset);
const QString kUpdateFailed = QStringLiteral("   Update settings failed!      ");

class ProfileFaults : public test::MouseTest {
protected:
    void SetUp() override
    {
        MouseTest::SetUp();
        UseModel(kModel);
        ShortenTimeouts();
        // A macro key, so that reads and writes include a macro slot.
        const StMacro macro = AddMacro(0x3333, QStringLiteral("fault"));
        Macros().Update(macro.id, [](StMacro& m) { m.events[0] = {'Q', kActionPress, 0}; });
        ASSERT_TRUE(EditCurrentProfile([](ProfileRecord& p) {
            p.CurrentKey(2)->dwFunID = 0x05000000;
            p.CurrentKey(2)->dwMacroID = 0x3333;
        }));
    }
    void ShortenTimeouts()
    {
        Link().timing.pauseBeforeWait = 1ms;
        Link().timing.sendRetryPause = 5ms;
        ShortenAnswerWait();
    }

    // A profile read as the session does it: the result is taken over only on success.
    bool ReadAndCommit()
    {
        std::atomic<bool> abort{false};
        ProfileRecord working = *CurrentProfileCopy();
        ProfileReadExtras extras;
        return GetProfile(Link(), abort, working, extras) && CommitProfileRead(0, working, extras);
    }
    int RequestsOf(const std::function<void()>& action)
    {
        const int before = Mouse().RequestCount();
        action();
        return Mouse().RequestCount() - before;
    }
    void ExpectProfileIs(const ProfileRecord& expected)
    {
        const ProfileRecord now = *CurrentProfileCopy();
        EXPECT_EQ(std::memcmp(&now, &expected, sizeof now), 0);
    }
    // Runs the whole-profile write through the apply worker; its result.
    bool WriteThroughWorker()
    {
        ApplyWorker worker;
        std::atomic<int> result{-1};
        worker.SetDoneCallback([&result](const ApplyRequest&, bool ok) { result = ok ? 1 : 0; });
        worker.Start(Link());
        worker.Post(kWholeProfile, apply::kAll);
        EXPECT_TRUE(worker.WaitIdle(60s));
        worker.Stop();
        return result == 1;
    }
    void Reconnect()
    {
        Mouse().Reconnect();
        ShortenTimeouts();
    }
};

TEST_F(ProfileFaults, UnplugAtEveryRequestOfAFullRead)
{
    ASSERT_TRUE(WriteThroughWorker());  // the mouse holds the macro key
    ASSERT_TRUE(ReadAndCommit());
    const int requests = RequestsOf([this] { ASSERT_TRUE(ReadAndCommit()); });
    ASSERT_GT(requests, 19 + 32 + 16);  // base area, combination blocks, names, and the macro slot
    // The profile differs from what the mouse holds, so a half-taken read would show.
    ASSERT_TRUE(EditCurrentProfile([](ProfileRecord& p) { p.pollingRate = 0x125; }));
    const ProfileRecord before = *CurrentProfileCopy();
    for (int n = 1; n <= requests; ++n) {
        SCOPED_TRACE(n);
        Mouse().Firmware().UnplugAtRequest(n);
        const auto start = std::chrono::steady_clock::now();
        EXPECT_FALSE(ReadAndCommit());
        EXPECT_LT(std::chrono::steady_clock::now() - start, 10s);
        ExpectProfileIs(before);
        Reconnect();
    }
    EXPECT_TRUE(ReadAndCommit());
    EXPECT_NE(CurrentProfileCopy()->pollingRate, 0x125);
}

TEST_F(ProfileFaults, UnplugAtEveryRequestOfAWholeProfileWrite)
{
    const ProfileRecord before = *CurrentProfileCopy();
    const int requests = RequestsOf([this] { ASSERT_TRUE(WriteThroughWorker()); });
    ASSERT_GT(requests, 20);
    for (int n = 1; n <= requests; ++n) {
        SCOPED_TRACE(n);
        messages_.emplace();
        Mouse().Firmware().UnplugAtRequest(n);
        const auto start = std::chrono::steady_clock::now();
        EXPECT_FALSE(WriteThroughWorker());
        // The write stops at the first request that cannot be delivered.
        EXPECT_LT(std::chrono::steady_clock::now() - start, 10s);
        EXPECT_TRUE(Shown(kUpdateFailed));
        ExpectProfileIs(before);
        Reconnect();
    }
    EXPECT_TRUE(WriteThroughWorker());
}

TEST_F(ProfileFaults, RefusalsAndLostAnswersBeyondTheRetriesFail)
{
    const int retry = Options().Retry;
    ASSERT_GT(retry, 1);
    struct Case {
        FaultKind kind;
        int count;
        bool ok;
    };
    Mouse().Firmware().SetLateAnswerDelay(150ms);
    const Case cases[] = {
        {FaultKind::kRefuse, retry - 1, true},  {FaultKind::kRefuse, retry, false},
        {FaultKind::kNoAnswer, retry - 1, true}, {FaultKind::kNoAnswer, retry, false},
        {FaultKind::kGarbage, retry, false},     {FaultKind::kLateAnswer, 1, true},
    };
    const ProfileRecord before = *CurrentProfileCopy();
    for (const Case& c : cases) {
        SCOPED_TRACE(int(c.kind) * 100 + c.count);
        messages_.emplace();
        Mouse().Firmware().InjectFault(c.kind, c.count);
        EXPECT_EQ(WriteThroughWorker(), c.ok);
        EXPECT_EQ(Shown(kUpdateFailed), !c.ok);
        Mouse().Firmware().InjectFault(c.kind, c.count);
        EXPECT_EQ(ReadAndCommit(), c.ok);
        if (!c.ok)
            ExpectProfileIs(before);
        ASSERT_TRUE(ReadAndCommit());
        ASSERT_TRUE(EditCurrentProfile([&before](ProfileRecord& p) { p = before; }));
    }
}

TEST_F(ProfileFaults, RetryZeroFailsEveryExchange)
{
    Config().opt.Retry = 0;
    EXPECT_FALSE(WriteThroughWorker());
    EXPECT_TRUE(Shown(kUpdateFailed));
    EXPECT_FALSE(ReadAndCommit());
}

}  // namespace
}  // namespace zorvan
