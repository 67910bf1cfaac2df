// The exchange runner: one exchange at a time in the order posted, a bounded queue, and a stop
// that still makes what was queued before it and refuses what comes after.
#include "profile/exchange_runner.h"

#include <gtest/gtest.h>

#include <future>
#include <mutex>
#include <vector>

namespace zorvan {
namespace {

TEST(ExchangeRunner, RunsInOrderRefusesWhenFullAndMakesTheQueuedOnesAtStop)
{
    std::mutex mutex;
    std::vector<int> ran;
    std::promise<void> release;
    std::shared_future<void> released = release.get_future().share();
    std::promise<void> blocking;

    ExchangeRunner runner;
    // The first exchange holds the thread, so the others stay queued.
    ASSERT_TRUE(runner.Post([&] {
        blocking.set_value();
        released.wait();
    }));
    blocking.get_future().wait();
    for (size_t i = 0; i < ExchangeRunner::kQueueCapacity; ++i) {
        ASSERT_TRUE(runner.Post([&, i] {
            std::lock_guard lock(mutex);
            ran.push_back(int(i));
        })) << i;
    }
    EXPECT_FALSE(runner.Post([] { ADD_FAILURE() << "ran although the queue was full"; }));

    release.set_value();
    runner.Stop();
    EXPECT_FALSE(runner.Post([] { ADD_FAILURE() << "ran after the stop"; }));
    std::vector<int> expected(ExchangeRunner::kQueueCapacity);
    for (size_t i = 0; i < expected.size(); ++i)
        expected[i] = int(i);
    EXPECT_EQ(ran, expected);
}

}  // namespace
}  // namespace zorvan
