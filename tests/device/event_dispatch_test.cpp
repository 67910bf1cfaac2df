#include "device/device_notifier.h"
#include "device/event_dispatch.h"
#include "device_test_support.h"

#include <gtest/gtest.h>

#include <thread>

namespace zorvan {
namespace {

using test::RecordingSink;

AnswerBody EventBody(uint8_t flags, uint8_t dpi = 0, uint8_t rate = 0, uint8_t profile = 0)
{
    AnswerBody body{};
    body[0] = kEventBody;
    body[5] = flags;
    body[6] = dpi;
    body[7] = rate;
    body[9] = profile;
    return body;
}

TEST(EventDispatch, OneNotificationPerFlagBitInTheFixedOrder)
{
    struct Case {
        const char* name;
        AnswerBody body;
        std::vector<std::pair<int, int>> expected;  // (value, kind)
    };
    const Case cases[] = {
        {"0x83: DPI, rate, main lighting", EventBody(0x83, 4, 0x32), {{4, 1}, {2, 2}, {0, 4}}},
        {"every known bit", EventBody(0xE7, 1, 8, 3), {{1, 1}, {8, 2}, {3, 3}, {0, 4}, {0, 5}, {0, 6}}},
        {"unknown bits only", EventBody(0x18), {}},
        {"no flags", EventBody(0x00), {}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        ReplyQueue replies;
        RecordingSink sink;
        DispatchBody(c.body, replies, &sink);
        EXPECT_EQ(sink.Events(), c.expected);
        EXPECT_EQ(replies.Size(), 0u) << "an event body is never an answer";
    }
}

TEST(EventDispatch, AnswersAreQueuedAndForeignOrEmptyReportsIgnored)
{
    ReplyQueue replies;
    RecordingSink sink;
    const uint8_t answer[] = {0x09, 0x08, 0x00, 0x00, 0x0C, 0x04, 0xAA};  // a short report: padded
    DispatchInputReport(answer, sizeof answer, replies, &sink);
    const uint8_t foreign[] = {0x01, 0x0A, 0, 0, 0, 0, 0xFF};  // another report id
    DispatchInputReport(foreign, sizeof foreign, replies, &sink);
    DispatchInputReport(answer, 0, replies, &sink);
    ASSERT_EQ(replies.Size(), 1u);
    const auto front = replies.PopUntil(std::chrono::steady_clock::now());
    ASSERT_TRUE(front);
    const AnswerBody expected = {0x08, 0x00, 0x00, 0x0C, 0x04, 0xAA};
    EXPECT_EQ(front->Body(), expected);
    EXPECT_TRUE(sink.Events().empty());
}

TEST(ReplyQueue, KeepsTheNewestAnswersWhenNobodyTakesThem)
{
    ReplyQueue replies;
    for (int i = 0; i < int(ReplyQueue::kCapacity) + 10; ++i)
        replies.Push(AnswerBody{uint8_t(i)});
    EXPECT_EQ(replies.Size(), ReplyQueue::kCapacity);
    EXPECT_EQ(replies.PopUntil(std::chrono::steady_clock::now())->Body()[0], 10);
}

TEST(DeviceNotifier, DeliversInOrderOnItsThreadAndBoundsAFlood)
{
    test::App();
    DeviceNotifier notifier;
    std::vector<std::pair<int, int>> delivered;
    QObject::connect(&notifier, &DeviceNotifier::mouseEvent,
                     [&](int value, int kind) { delivered.emplace_back(value, kind); });
    std::thread flood([&] {
        for (int i = 0; i < 1000; ++i)
            notifier.PostMouseEvent(i, kEventDpiLevel);
    });
    flood.join();
    const size_t bound = DeviceNotifier::kMaxPendingEvents;
    test::RunUntil([&] { return delivered.size() >= bound; }, 2000);
    QCoreApplication::processEvents();
    ASSERT_EQ(delivered.size(), bound) << "the rest of the flood is dropped";
    for (size_t i = 0; i < delivered.size(); ++i)
        EXPECT_EQ(delivered[i].first, int(i));
    notifier.PostMouseEvent(7, kEventProfile);
    test::RunUntil([&] { return delivered.size() > bound; }, 2000);
    EXPECT_EQ(delivered.back(), std::make_pair(7, int(kEventProfile))) << "delivery resumes once drained";
}

}  // namespace
}  // namespace zorvan
