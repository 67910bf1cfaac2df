// The apply worker: its queue, order, messages, progress and stop, and its reads of the profile
// and the macro library while the user-interface thread edits both (run under TSan).
#include "profile/apply_worker.h"

#include "device/eeprom_map.h"
#include "device/report_frame.h"
#include "macro/hd_macro_codec.h"
#include "macro/macro_library.h"
#include "mouse_fixture.h"
#include "profile/function_codes.h"
#include "profile/profile_state.h"
#include "text/language_texts.h"

#include <gtest/gtest.h>

#include <mutex>
#include <thread>

namespace zorvan {
namespace {

using namespace std::chrono_literals;

constexpr int kModel = 0;

class ApplyWorkerTest : public test::MouseTest {
protected:
    void SetUp() override
    {
        MouseTest::SetUp();
        UseModel(kModel);
        worker_.SetDoneCallback([this](const ApplyRequest& request, bool ok) {
            std::lock_guard lock(mutex_);
            done_.emplace_back(request.flags, ok);
        });
    }
    void TearDown() override
    {
        worker_.Stop();
        MouseTest::TearDown();
    }
    std::vector<std::pair<uint32_t, bool>> Done()
    {
        std::lock_guard lock(mutex_);
        return done_;
    }

    ApplyWorker worker_;
    std::mutex mutex_;
    std::vector<std::pair<uint32_t, bool>> done_;
};

TEST_F(ApplyWorkerTest, QueueHoldsAHundredRequests)
{
    for (size_t i = 0; i < ApplyWorker::kQueueCapacity; ++i)
        ASSERT_TRUE(worker_.Post(apply::kLod, 0));
    EXPECT_FALSE(worker_.Post(apply::kLod, 0));
    EXPECT_FALSE(worker_.PostWithProgress(apply::kReset));
    EXPECT_TRUE(Logged("Apply request dropped, queue full: nFlag=0x200, nData=0x0"));
}

TEST_F(ApplyWorkerTest, RequestsRunInOrderAndWaitIdleWaitsForThem)
{
    worker_.Start(Link());
    worker_.Post(apply::kLod, 0);
    worker_.Post(apply::kRipple | apply::kProgress, 0);  // Post clears the progress flag
    worker_.Post(apply::kDebounce, 0);
    ASSERT_TRUE(worker_.WaitIdle(10s));
    EXPECT_EQ(Done(), (std::vector<std::pair<uint32_t, bool>>{
                          {apply::kLod, true}, {apply::kRipple, true}, {apply::kDebounce, true}}));
    EXPECT_TRUE(messages_->Messages().empty());
}

TEST_F(ApplyWorkerTest, NoDeviceShowsTcMsg15AndDropsTheRequestUnlessItIsTheDesktops)
{
    Config().opt.ShowSys = 0;  // the desktop of the machine running the tests stays as it is
    Link().SetHandles(nullptr, nullptr);
    worker_.Start(Link());
    worker_.Post(apply::kLod, 0);
    worker_.Post(apply::kSystemPointer, 0);
    ASSERT_TRUE(worker_.WaitIdle(10s));
    const auto shown = messages_->Messages();
    ASSERT_EQ(shown.size(), 1u);
    EXPECT_EQ(shown[0].caption, QStringLiteral("Error"));
    EXPECT_EQ(shown[0].text, GetText("tc_msg15"));
    EXPECT_EQ(Done(), (std::vector<std::pair<uint32_t, bool>>{{apply::kLod, false}, {apply::kSystemPointer, true}}));
}

TEST_F(ApplyWorkerTest, FailedWriteShowsUpdateSettingsFailed)
{
    ASSERT_TRUE(EditCurrentProfile([](ProfileRecord& p) { p.pollingRate = 1000; }));
    worker_.Start(Link());
    worker_.Post(apply::kPollingRate, 0);
    ASSERT_TRUE(worker_.WaitIdle(10s));
    EXPECT_TRUE(Shown(QStringLiteral("   Update settings failed!      ")));
    EXPECT_EQ(Done(), (std::vector<std::pair<uint32_t, bool>>{{apply::kPollingRate, false}}));
}

TEST_F(ApplyWorkerTest, ProgressOnlyForRequestsPostedWithIt)
{
    std::vector<int> seen;
    worker_.SetProgressCallback([&seen](int percent) { seen.push_back(percent); });
    worker_.Start(Link());
    worker_.Post(apply::kReset, 0);
    ASSERT_TRUE(worker_.WaitIdle(10s));
    EXPECT_TRUE(seen.empty());
    worker_.PostWithProgress(apply::kReset);
    ASSERT_TRUE(worker_.WaitIdle(10s));
    EXPECT_EQ(seen, (std::vector<int>{20, 60, 70, 80, 90, 100}));
    EXPECT_EQ(Done().back(), (std::pair<uint32_t, bool>{apply::kReset | apply::kProgress, true}));
}

TEST_F(ApplyWorkerTest, StopDropsWhatIsStillQueued)
{
    worker_.Start(Link());
    for (int i = 0; i < 50; ++i)
        worker_.Post(apply::kLod, 0);
    worker_.Stop();
    EXPECT_LT(Done().size(), 50u);
    EXPECT_TRUE(worker_.WaitIdle(0ms));
    EXPECT_TRUE(Logged("thread exit"));
}

// The user-interface thread changes the macro of a macro key and the profile while the worker
// writes that key again and again: every block the mouse receives is one whole version of the
// macro, and TSan sees no race.
TEST_F(ApplyWorkerTest, EditsWhileWritingReachTheMouseWhole)
{
    constexpr uint32_t id = 0x5A5A5A;
    StMacro other = AddMacro(id, QStringLiteral("Race"));
    other.id = id + 1;
    const auto setVersion = [](uint16_t code) {
        Macros().Update(id, [code](StMacro& m) {
            for (int i = 0; i < 8; ++i)
                m.events[i] = {code, uint16_t(i % 2 == 0 ? kActionPress : kActionRelease), 3};
        });
    };
    setVersion('A');
    ASSERT_TRUE(EditCurrentProfile([](ProfileRecord& p) {
        KeyAssignment& key = *p.CurrentKey(1);
        key.dwFunID = kFunMacro;
        key.dwMacroID = id;
    }));
    const int position = int(CurrentProfileCopy()->CurrentKey(1)->matrix);
    ASSERT_GT(position, 0);

    worker_.Start(Link());
    std::atomic<bool> stop{false};
    std::thread ui([&] {
        for (int i = 0; !stop.load(); ++i) {
            setVersion(i % 2 == 0 ? 'B' : 'A');
            EditCurrentProfile([i](ProfileRecord& p) {
                p.lod = i % 3;
                p.CurrentKey(0)->dwParameter = uint32_t(i);
            });
            Macros().AddCopy(other);  // the library changes while the worker looks macros up
            Macros().Remove(other.id);
            std::this_thread::sleep_for(1ms);
        }
    });
    for (int i = 0; i < 12; ++i) {
        worker_.Post(apply::kKeys, 1);
        worker_.Post(apply::kLod, 0);
    }
    const bool idle = worker_.WaitIdle(60s);
    stop = true;
    ui.join();
    ASSERT_TRUE(idle);
    for (const auto& [flags, ok] : Done())
        EXPECT_TRUE(ok);
    const std::vector<uint8_t> block = Mouse().Memory(eeprom::MacroBlockAddress(position), 32 + 5 * 8);
    ASSERT_EQ(block[31], 8);
    for (int e = 1; e < 8; ++e)
        EXPECT_EQ(block[size_t(32 + 5 * e + 1)], block[33]) << "event " << e;
}

}  // namespace
}  // namespace zorvan
