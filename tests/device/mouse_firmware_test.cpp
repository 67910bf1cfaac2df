#include "device/emulated/firmware_state.h"
#include "device/emulated/mouse_firmware.h"
#include "device/report_frame.h"
#include "device_test_support.h"
#include "support/test_support.h"

#include <gtest/gtest.h>

namespace zorvan {
namespace {

using namespace std::chrono_literals;

// The firmware alone, its output captured.
struct Bench {
    Bench() : firmware(test::kCid, test::kMid, test::TestImages())
    {
        firmware.SetSinks([this](const HidReport& report, std::chrono::milliseconds delay) {
            out.push_back(report);
            delays.push_back(delay);
        },
                          [this](bool plugged) { plugs.push_back(plugged); });
    }

    // Sends a request and returns the one report it caused (or an empty one).
    HidReport Ask(uint8_t command, uint16_t address = 0, std::vector<uint8_t> data = {}, uint8_t length = 0)
    {
        Payload payload = MakePayload(command, address, data.data(), data.size());
        if (length != 0)
            payload[kPayloadLength] = length;
        out.clear();
        firmware.HandleFeatureReport(BuildFeatureReport(payload).data(), kHidReportLength);
        return out.empty() ? HidReport{} : out.front();
    }

    MouseFirmware firmware;
    std::vector<HidReport> out;
    std::vector<std::chrono::milliseconds> delays;
    std::vector<bool> plugs;
};

TEST(MouseFirmware, AnswersEveryCommandOfTheContract)
{
    struct Case {
        const char* name;
        uint8_t command;
        uint16_t address;
        std::vector<uint8_t> data;
        uint8_t length;
        uint8_t status;
        std::vector<std::pair<size_t, uint8_t>> bodyBytes;  // body index, value
    };
    const Case cases[] = {
        {"identify", kCmdCheckPsd, 0, {5, 6, 7, 8, 0, 0, 0, 0}, 0, 0, {{9, test::kCid}, {10, test::kMid}}},
        {"window status", kCmdTellDrvStatus, 0, {1}, 0, 0, {}},
        {"link state", kCmdGetConnectStatus, 0, {}, 0, 0, {{5, 1}}},
        {"power", kCmdGetPower, 0, {}, 0, 0, {{5, 100}, {6, 0}}},
        {"write", kCmdWriteEEPROM, 0x10, {0xAB}, 0, 0, {{2, 0x00}, {3, 0x10}, {4, 1}}},
        {"read it back", kCmdReadEEPROM, 0x10, {}, 2, 0, {{5, 0xAB}, {6, uint8_t(0x11 * 7)}}},
        {"read past the profile", kCmdReadEEPROM, 0x1AFC, {}, 5, 1, {}},
        {"read more than 10", kCmdReadEEPROM, 0, {}, 11, 1, {}},
        {"profile", kCmdGetCurProfile, 0, {}, 0, 0, {{5, 0}}},
        {"lighting lock (free)", kCmdLightingLock, 0, {}, 0, 0, {{5, 1}}},
        {"switch profile", kCmdSetCurProfile, 0, {3}, 0, 0, {}},
        {"profile now", kCmdGetCurProfile, 0, {}, 0, 0, {{5, 3}}},
        {"switch to profile 4", kCmdSetCurProfile, 0, {4}, 0, 1, {}},
        {"unknown command", 0x33, 0, {}, 0, 1, {}},
    };
    Bench bench;
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const HidReport answer = bench.Ask(c.command, c.address, c.data, c.length);
        ASSERT_EQ(bench.out.size(), 1u);
        EXPECT_EQ(answer[0], kInputReportId);
        EXPECT_EQ(answer[1 + kBodyCommand], c.command);
        EXPECT_EQ(answer[1 + kBodyStatus], c.status);
        for (const auto& [index, value] : c.bodyBytes)
            EXPECT_EQ(answer[1 + index], value) << "body byte " << index;
    }
}

TEST(MouseFirmware, ReceiverWithoutMouseAnswersOnlyTheLinkState)
{
    Bench bench;
    bench.firmware.SetLinked(false);
    EXPECT_EQ(bench.Ask(kCmdGetConnectStatus)[1 + kBodyData], 0);
    EXPECT_EQ(bench.Ask(kCmdCheckPsd)[1 + kBodyStatus], MouseFirmware::kStatusRefused);
    bench.out.clear();
    bench.firmware.Press(MouseButton::kProfileNext);
    EXPECT_TRUE(bench.out.empty()) << "no event without link";
}

TEST(MouseFirmware, AFrameWithAWrongCheckByteIsRefusedButAnswered)
{
    Bench bench;
    const HidReport probe = ProbeReport();
    bench.firmware.HandleFeatureReport(probe.data(), probe.size());
    ASSERT_EQ(bench.out.size(), 1u);
    EXPECT_EQ(bench.out[0][1], kCmdGetConnectStatus);
    EXPECT_EQ(bench.out[0][2], MouseFirmware::kStatusRefused);
}

TEST(MouseFirmware, ButtonsChangeTheMemoryAndSendTheirEvents)
{
    struct Case {
        MouseButton button;
        uint8_t flags;
        size_t valueByte;
        int value;
    };
    const Case cases[] = {
        {MouseButton::kDpiUp, 0x01, 6, 1},
        {MouseButton::kDpiUp, 0x01, 6, 2},
        {MouseButton::kDpiUp, 0x01, 6, 0},  // three levels: wraps
        {MouseButton::kDpiDown, 0x01, 6, 2},
        {MouseButton::kProfileNext, 0x04, 9, 1},
        {MouseButton::kLightMode, 0x80, 0, kEventBody},
    };
    Bench bench;
    for (const Case& c : cases) {
        bench.out.clear();
        bench.firmware.Press(c.button);
        ASSERT_EQ(bench.out.size(), 1u);
        EXPECT_EQ(bench.out[0][1], kEventBody);
        EXPECT_EQ(bench.out[0][1 + kBodyEventFlags], c.flags);
        EXPECT_EQ(bench.out[0][1 + c.valueByte], c.value);
    }
    EXPECT_EQ(bench.firmware.Memory(0, eeprom::kCurrentDpiLevel, 2), (std::vector<uint8_t>{2, 0x53}));
    EXPECT_EQ(bench.firmware.State().activeProfile, 1);
    const std::vector<uint8_t> light = bench.firmware.Memory(1, eeprom::kMainLight, 7);
    EXPECT_EQ(light[6], eeprom::GroupCheck(light.data(), 6)) << "the mode change keeps the check byte right";
}

TEST(MouseFirmware, ResetRestoresTheFactoryContentThenSendsTheResetEvent)
{
    Bench bench;
    bench.Ask(kCmdWriteEEPROM, 0x20, {0xEE});
    bench.Ask(kCmdSetCurProfile, 0, {2});
    bench.Ask(kCmdResetDevice);
    ASSERT_EQ(bench.out.size(), 2u);
    EXPECT_EQ(bench.out[0][1], kCmdResetDevice);
    EXPECT_EQ(bench.out[1][1], kEventBody);
    EXPECT_EQ(bench.out[1][1 + kBodyEventFlags], 0x04);
    EXPECT_EQ(bench.firmware.State().activeProfile, 0);
    EXPECT_EQ(bench.firmware.State().profiles, test::TestImages());
}

TEST(MouseFirmware, FaultsApplyToTheNextRequestsInOrder)
{
    Bench bench;
    bench.firmware.SetLateAnswerDelay(900ms);
    bench.firmware.InjectFault(FaultKind::kNoAnswer);
    bench.firmware.InjectFault(FaultKind::kGarbage);
    bench.firmware.InjectFault(FaultKind::kLateAnswer);
    bench.Ask(kCmdGetPower);
    EXPECT_TRUE(bench.out.empty());
    const HidReport garbage = bench.Ask(kCmdGetPower);
    EXPECT_NE(garbage[1], kCmdGetPower);
    EXPECT_NE(garbage[1], kEventBody);
    bench.delays.clear();
    EXPECT_EQ(bench.Ask(kCmdGetPower)[1], kCmdGetPower);
    EXPECT_EQ(bench.delays.front(), 900ms);
    bench.delays.clear();
    bench.Ask(kCmdGetPower);
    EXPECT_EQ(bench.delays.front(), 1ms);
}

TEST(MouseFirmware, UnplugAtRequestNFailsThatRequestUntilPluggedBack)
{
    Bench bench;
    bench.firmware.UnplugAtRequest(2);
    const HidReport request = BuildFeatureReport(MakePayload(kCmdGetPower));
    EXPECT_TRUE(bench.firmware.HandleFeatureReport(request.data(), request.size()));
    EXPECT_FALSE(bench.firmware.HandleFeatureReport(request.data(), request.size()));
    EXPECT_FALSE(bench.firmware.HandleFeatureReport(request.data(), request.size()));
    bench.firmware.SetPlugged(true);
    EXPECT_TRUE(bench.firmware.HandleFeatureReport(request.data(), request.size()));
    EXPECT_EQ(bench.plugs, (std::vector<bool>{false, true}));
}

TEST(FirmwareState, SurvivesItsFileAndRejectsOtherBytes)
{
    test::TempDir dir;
    Bench bench;
    bench.Ask(kCmdWriteEEPROM, 0x1AF0, {1, 2, 3});
    bench.firmware.SetBattery(42, true);
    bench.firmware.Press(MouseButton::kProfileNext);
    const QString path = dir.File(QStringLiteral("mouse.state"));
    QString error;
    ASSERT_TRUE(SaveFirmwareStateFile(path, bench.firmware.State(), &error)) << error.toStdString();
    const auto loaded = LoadFirmwareStateFile(path, &error);
    ASSERT_TRUE(loaded);
    const FirmwareState saved = bench.firmware.State();
    EXPECT_EQ(loaded->profiles, saved.profiles);
    EXPECT_EQ(loaded->activeProfile, 1);
    EXPECT_EQ(loaded->battery, 42);
    EXPECT_TRUE(loaded->charging);
    EXPECT_EQ(loaded->cid, test::kCid);

    std::vector<uint8_t> bytes = EncodeFirmwareState(saved);
    EXPECT_FALSE(DecodeFirmwareState(bytes.data(), bytes.size() - 1));
    bytes[10] = 4;  // active profile out of range
    EXPECT_FALSE(DecodeFirmwareState(bytes.data(), bytes.size()));
    bytes[0] = 'X';
    EXPECT_FALSE(DecodeFirmwareState(bytes.data(), bytes.size()));
    ASSERT_TRUE(test::WriteFile(path, "not a state"));
    EXPECT_FALSE(LoadFirmwareStateFile(path, &error));
}

}  // namespace
}  // namespace zorvan
