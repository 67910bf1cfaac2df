#include "device/usb_driver.h"
#include "device_test_support.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <thread>

namespace zorvan {
namespace {

using namespace std::chrono_literals;
using test::LinkedMouse;
using Requests = std::vector<std::tuple<int, int, int>>;

class UsbDriverTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        test::UseTestConfiguration(3);
        mouse.link.timing.answerWait = 150ms;  // time-outs in tests need not last a second
    }

    LinkedMouse mouse;
};

TEST_F(UsbDriverTest, WriteSplitsIntoPiecesInAddressOrder)
{
    struct Case {
        int pieceSize;
        Requests expected;
    };
    const Case cases[] = {
        {0, {{7, 0x100, 10}, {7, 0x10A, 10}, {7, 0x114, 5}}},
        {8, {{7, 0x100, 8}, {7, 0x108, 8}, {7, 0x110, 8}, {7, 0x118, 1}}},
    };
    uint8_t data[25];
    for (int i = 0; i < 25; ++i)
        data[i] = uint8_t(0xA0 + i);
    for (const Case& c : cases) {
        SCOPED_TRACE(c.pieceSize);
        mouse.TakeRequests();
        EXPECT_TRUE(mouse.link.WriteEEPROM(c.pieceSize, 25, 0x100, data));
        EXPECT_EQ(mouse.TakeRequests(), c.expected);
        EXPECT_EQ(mouse.firmware->Memory(0, 0x100, 25), std::vector<uint8_t>(data, data + 25));
    }
}

TEST_F(UsbDriverTest, WriteOfNothingSendsNothingAndSucceeds)
{
    mouse.TakeRequests();
    EXPECT_TRUE(mouse.link.WriteEEPROM(0, 0, 0x100, nullptr));
    EXPECT_TRUE(mouse.TakeRequests().empty());
}

TEST_F(UsbDriverTest, RefusedAndUnansweredRequestsAreRetriedUpToRetry)
{
    struct Case {
        const char* name;
        FaultKind fault;
        int faults;
        bool succeeds;
        size_t sends;
    };
    const Case cases[] = {
        {"refused twice, then accepted", FaultKind::kRefuse, 2, true, 3},
        {"refused three times", FaultKind::kRefuse, 3, false, 3},
        {"no answer three times", FaultKind::kNoAnswer, 3, false, 3},
        {"a report of another command, then the answer", FaultKind::kGarbage, 1, true, 2},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        mouse.TakeRequests();
        mouse.firmware->InjectFault(c.fault, c.faults);
        EXPECT_EQ(mouse.link.SendCMD(kCmdTellDrvStatus, 1), c.succeeds);
        EXPECT_EQ(mouse.TakeRequests().size(), c.sends);
    }
}

TEST_F(UsbDriverTest, APieceTheMouseKeepsRefusingFailsTheWriteButTheRestIsWritten)
{
    const std::vector<uint8_t> before = mouse.firmware->Memory(0, 0x200, 20);
    uint8_t data[20];
    std::fill(std::begin(data), std::end(data), uint8_t(0x5A));
    mouse.firmware->InjectFault(FaultKind::kRefuse, 3);  // every attempt of the first piece
    mouse.TakeRequests();
    EXPECT_FALSE(mouse.link.WriteEEPROM(0, 20, 0x200, data));
    EXPECT_EQ(mouse.TakeRequests().size(), 4u);
    std::vector<uint8_t> expected(20, 0x5A);
    std::copy_n(before.begin(), 10, expected.begin());
    EXPECT_EQ(mouse.firmware->Memory(0, 0x200, 20), expected);
}

TEST_F(UsbDriverTest, RetryZeroSendsNothing)
{
    test::UseTestConfiguration(0);
    std::array<uint8_t, kMaxDataBytes> data{};
    uint8_t byte = 0;
    mouse.TakeRequests();
    EXPECT_FALSE(mouse.link.SendCMD(kCmdTellDrvStatus, 1));
    EXPECT_FALSE(mouse.link.Query(kCmdGetCurProfile, data));
    EXPECT_FALSE(mouse.link.ReadEEPROM(0, &byte, 1));
    EXPECT_TRUE(mouse.link.WriteEEPROM(0, 0, 0, nullptr));
    EXPECT_FALSE(mouse.link.WriteEEPROM(0, 1, 0, &byte)) << "nothing was written";
    EXPECT_TRUE(mouse.TakeRequests().empty());
}

TEST_F(UsbDriverTest, QueriesReturnTheAnswerBytes)
{
    mouse.firmware->SetBattery(57, true);
    mouse.firmware->SetLightingLocked(true);
    int level = 0, charging = 0, refused = 0;
    EXPECT_EQ(mouse.link.GetCurProfile(), 0);
    EXPECT_TRUE(mouse.link.SetCurProfile(2));
    EXPECT_EQ(mouse.link.GetCurProfile(), 2);
    EXPECT_FALSE(mouse.link.SetCurProfile(4)) << "refused by the mouse";
    EXPECT_EQ(mouse.link.GetConnectStatus(), 1);
    ASSERT_TRUE(mouse.link.GetPower(level, charging));
    EXPECT_EQ(level, 57);
    EXPECT_EQ(charging, 1);
    ASSERT_TRUE(mouse.link.GetLightingLock(refused));
    EXPECT_EQ(refused, 1);
    uint8_t bytes[10];
    ASSERT_TRUE(mouse.link.ReadEEPROM(0x40, bytes, 10));
    EXPECT_EQ(std::vector<uint8_t>(bytes, bytes + 10), mouse.firmware->Memory(2, 0x40, 10));
}

TEST_F(UsbDriverTest, WithoutCommandHandleTheGuardedExchangesFailAtOnce)
{
    mouse.link.SetHandles(nullptr, nullptr);
    uint8_t byte = 0;
    mouse.TakeRequests();
    EXPECT_EQ(mouse.link.GetConnectStatus(), 0);
    EXPECT_FALSE(mouse.link.TellDrvStatus(1));
    EXPECT_FALSE(mouse.link.ReadEEPROM(0, &byte, 1));
    EXPECT_FALSE(mouse.link.SendCMD(kCmdResetDevice)) << "fails at the platform call";
    EXPECT_TRUE(mouse.TakeRequests().empty());
}

TEST_F(UsbDriverTest, ReadRomStopsAfterThePieceTheStopTestAccepts)
{
    uint8_t name[30] = {0xFF, 0xFF};
    mouse.link.WriteEEPROM(0, 2, 0x30B, name);  // the second piece of a read from 0x301 starts FF FF
    mouse.TakeRequests();
    uint8_t out[30] = {};
    const auto blankName = [](const uint8_t* piece, int) {
        return (piece[0] == 0 && piece[1] == 0) || (piece[0] == 0xFF && piece[1] == 0xFF);
    };
    EXPECT_TRUE(mouse.link.ReadROM(30, 0x301, out, blankName));
    const Requests expected = {{8, 0x301, 10}, {8, 0x30B, 10}};
    EXPECT_EQ(mouse.TakeRequests(), expected);
}

TEST_F(UsbDriverTest, LateAnswersAreDroppedAndNeverTakenForTheNextExchange)
{
    mouse.firmware->SetLateAnswerDelay(250ms);
    mouse.firmware->InjectFault(FaultKind::kLateAnswer);
    EXPECT_EQ(mouse.link.GetCurProfile(), 0) << "the second attempt is answered in time";
    std::this_thread::sleep_for(300ms);  // the late answer to 14 is now in the queue
    uint8_t bytes[4] = {};
    ASSERT_TRUE(mouse.link.ReadEEPROM(0, bytes, 4));
    EXPECT_EQ(std::vector<uint8_t>(bytes, bytes + 4), mouse.firmware->Memory(0, 0, 4));
}

TEST_F(UsbDriverTest, AFloodOfAnswersToOtherCommandsCannotKeepTheRequesterWaiting)
{
    std::atomic<bool> flooding{true};
    std::thread flood([&] {
        const HidReport other = MakeInputReport({{0, 0x33}});
        while (flooding) {
            mouse.bus.InjectInputReport(0, other.data(), other.size());
            std::this_thread::sleep_for(100us);
        }
    });
    mouse.firmware->InjectFault(FaultKind::kNoAnswer, 3);
    const auto started = std::chrono::steady_clock::now();
    EXPECT_EQ(mouse.link.GetCurProfile(), -1);
    const auto took = std::chrono::steady_clock::now() - started;
    flooding = false;
    flood.join();
    EXPECT_LT(took, 3 * (mouse.link.timing.pauseBeforeWait + mouse.link.timing.answerWait) + 300ms);
    EXPECT_LE(mouse.replies.Size(), ReplyQueue::kCapacity);
}

TEST_F(UsbDriverTest, AWriteRefusedForAnAddressOutsideTheProfileIsNotStored)
{
    const uint8_t data[4] = {1, 2, 3, 4};
    EXPECT_FALSE(mouse.link.WriteEEPROM(0, 4, eeprom::kProfileSize - 2, data));
}

TEST_F(UsbDriverTest, UnplugDuringAnExchangeFailsItAndEndsTheReader)
{
    uint8_t out[100];
    mouse.firmware->UnplugAtRequest(3);
    const auto started = std::chrono::steady_clock::now();
    EXPECT_FALSE(mouse.link.ReadROM(100, 0, out));
    EXPECT_FALSE(mouse.link.SendCMD(kCmdTellDrvStatus, 0));
    EXPECT_LT(std::chrono::steady_clock::now() - started, 2s);
    HidReport report;
    size_t length = 0;
    EXPECT_EQ(mouse.notify->ReadInputReport(report, length, -1).error, HidError::kNotConnected);
    mouse.StopReader();  // joins: the reader has ended by itself
}

TEST_F(UsbDriverTest, ConcurrentRequestersEachGetTheirOwnAnswers)
{
    std::vector<std::thread> requesters;
    std::atomic<int> wrong{0};
    for (int t = 0; t < 3; ++t) {
        requesters.emplace_back([&, t] {
            for (int i = 0; i < 10; ++i) {
                const uint16_t address = uint16_t(0x400 + t * 0x40 + i);
                const uint8_t value = uint8_t(t * 16 + i);
                uint8_t back = 0;
                if (!mouse.link.WriteEEPROM(0, 1, address, &value) || !mouse.link.ReadEEPROM(address, &back, 1) ||
                    back != value)
                    ++wrong;
            }
        });
    }
    std::thread buttons([&] {
        for (int i = 0; i < 20; ++i) {
            mouse.firmware->Press(MouseButton::kDpiUp);
            std::this_thread::sleep_for(5ms);
        }
    });
    for (std::thread& t : requesters)
        t.join();
    buttons.join();
    EXPECT_EQ(wrong.load(), 0);
    std::this_thread::sleep_for(20ms);
    EXPECT_EQ(mouse.events.Events().size(), 20u);
}

}  // namespace
}  // namespace zorvan
