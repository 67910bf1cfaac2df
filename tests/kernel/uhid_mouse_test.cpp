// The uhid mouse's front end without a kernel: what it writes to /dev/uhid for the events the
// kernel would send it, with the firmware model behind it.
#include "uhid-mouse/uhid_mouse.h"

#include "device/hidraw/report_descriptor.h"
#include "device/report_frame.h"

#include <linux/input.h>

#include <gtest/gtest.h>

#include <cstring>
#include <memory>
#include <string>
#include <vector>

namespace zorvan {
namespace {

constexpr uint8_t kCid = 0x1A;
constexpr uint8_t kMid = 0x01;
constexpr UhidIds kIds{0x25A7, 0xFA92, 0x0100};

// Stands in for the kernel: keeps every event written to it.
struct RecordingPort : UhidPort {
    bool Write(const uhid_event& event) override
    {
        written.push_back(event);
        return true;
    }
    std::vector<uint32_t> Types() const
    {
        std::vector<uint32_t> types;
        for (const uhid_event& event : written)
            types.push_back(event.type);
        return types;
    }
    std::vector<uhid_event> written;
};

eeprom::ProfileImages Images()
{
    eeprom::ProfileImages images{};
    for (size_t i = 0; i < images[0].size(); ++i)
        images[0][i] = uint8_t(i * 7);
    return images;
}

struct Rig {
    Rig() : firmware(std::make_shared<MouseFirmware>(kCid, kMid, Images())) {}

    UhidMouse& Mouse()
    {
        if (!mouse)
            mouse = std::make_unique<UhidMouse>(firmware, kIds, std::array<UhidPort*, kUhidRoles>{&unrelated, &command, &notify});
        return *mouse;
    }
    RecordingPort& Port(UhidRole role)
    {
        return role == UhidRole::kCommand ? command : role == UhidRole::kNotify ? notify : unrelated;
    }
    void ClearPorts()
    {
        for (const UhidRole role : kAllUhidRoles)
            Port(role).written.clear();
    }
    // The kernel hands the device of `role` a feature report from the host.
    void SetFeature(UhidRole role, const HidReport& report, uint32_t id = 7, uint8_t rtype = UHID_FEATURE_REPORT)
    {
        uhid_event event{};
        event.type = UHID_SET_REPORT;
        event.u.set_report.id = id;
        event.u.set_report.rnum = report[0];
        event.u.set_report.rtype = rtype;
        event.u.set_report.size = uint16_t(report.size());
        std::memcpy(event.u.set_report.data, report.data(), report.size());
        Mouse().OnEvent(role, event);
    }
    // Every input report the notify device would have sent by now and later.
    std::vector<HidReport> Flush()
    {
        Mouse().SendDue(UhidMouse::Clock::now() + std::chrono::hours(1));
        std::vector<HidReport> reports;
        for (const uhid_event& event : notify.written) {
            if (event.type != UHID_INPUT2)
                continue;
            HidReport report{};
            EXPECT_EQ(event.u.input2.size, report.size());
            std::memcpy(report.data(), event.u.input2.data, report.size());
            reports.push_back(report);
        }
        return reports;
    }

    std::shared_ptr<MouseFirmware> firmware;
    RecordingPort unrelated, command, notify;
    std::unique_ptr<UhidMouse> mouse;
};

HidReport Request(uint8_t command)
{
    return BuildFeatureReport(MakePayload(command));
}

TEST(UhidDevices, TheKernelReadsSeventeenByteReportsFromTheDescriptors)
{
    struct Case {
        UhidRole role;
        int input;
        int feature;
    };
    const Case cases[] = {
        {UhidRole::kUnrelated, 17, 17},
        {UhidRole::kCommand, 0, 17},
        {UhidRole::kNotify, 17, 0},
    };
    for (const Case& c : cases) {
        const uhid_event create = UhidCreateEvent(c.role, kIds);
        ASSERT_EQ(create.type, UHID_CREATE2);
        const uhid_create2_req& request = create.u.create2;
        const ReportLengths lengths = ParseReportLengths(request.rd_data, request.rd_size);
        EXPECT_EQ(lengths.input, c.input) << UhidDeviceName(c.role);
        EXPECT_EQ(lengths.feature, c.feature) << UhidDeviceName(c.role);
        EXPECT_EQ(lengths.output, 0) << UhidDeviceName(c.role);
        const std::span<const uint8_t> descriptor = UhidReportDescriptor(c.role);
        EXPECT_EQ(std::vector<uint8_t>(request.rd_data, request.rd_data + request.rd_size),
                  std::vector<uint8_t>(descriptor.begin(), descriptor.end()));
        EXPECT_EQ(request.bus, BUS_VIRTUAL);
        EXPECT_EQ(request.vendor, 0x25A7u);
        EXPECT_EQ(request.product, 0xFA92u);
        EXPECT_EQ(std::string(reinterpret_cast<const char*>(request.name)), UhidDeviceName(c.role));
    }
}

TEST(UhidMouse, AFeatureReportIsTakenAndTheFirmwaresAnswerLeavesOnTheNotifyDevice)
{
    Rig rig;
    rig.Mouse().Start();
    for (const UhidRole role : kAllUhidRoles)
        EXPECT_EQ(rig.Port(role).Types(), std::vector<uint32_t>{UHID_CREATE2}) << UhidDeviceName(role);
    rig.ClearPorts();

    rig.SetFeature(UhidRole::kCommand, Request(kCmdCheckPsd), 41);
    ASSERT_EQ(rig.command.Types(), std::vector<uint32_t>{UHID_SET_REPORT_REPLY});
    EXPECT_EQ(rig.command.written[0].u.set_report_reply.id, 41u);
    EXPECT_EQ(rig.command.written[0].u.set_report_reply.err, 0);
    rig.SetFeature(UhidRole::kCommand, Request(kCmdGetCurProfile));

    const std::vector<HidReport> answers = rig.Flush();
    ASSERT_EQ(answers.size(), 2u) << "each request answered once, in order";
    EXPECT_EQ(answers[0][0], kInputReportId);
    EXPECT_EQ(answers[0][1 + kBodyCommand], kCmdCheckPsd);
    EXPECT_EQ(answers[0][1 + 9], kCid);
    EXPECT_EQ(answers[0][1 + 10], kMid);
    EXPECT_EQ(answers[1][1 + kBodyCommand], kCmdGetCurProfile);
    EXPECT_TRUE(rig.unrelated.written.empty());
}

TEST(UhidMouse, AnswersWaitForTheirDelay)
{
    Rig rig;
    rig.firmware->SetAnswerLatency(std::chrono::milliseconds(500));
    rig.Mouse().Start();
    rig.SetFeature(UhidRole::kCommand, Request(kCmdGetPower));
    const auto due = rig.Mouse().SendDue(UhidMouse::Clock::now());
    ASSERT_TRUE(due.has_value());
    EXPECT_GT(*due - UhidMouse::Clock::now(), std::chrono::milliseconds(400));
    EXPECT_EQ(rig.notify.Types(), std::vector<uint32_t>{UHID_CREATE2}) << "nothing sent before its time";
    EXPECT_EQ(rig.Flush().size(), 1u);
    EXPECT_FALSE(rig.Mouse().SendDue(UhidMouse::Clock::now()).has_value());
}

TEST(UhidMouse, OnlyTheCommandDeviceReachesTheFirmware)
{
    struct Case {
        const char* name;
        UhidRole role;
        uint8_t rtype;
        int err;
    };
    const Case cases[] = {
        {"unrelated interface: taken, never answered", UhidRole::kUnrelated, UHID_FEATURE_REPORT, 0},
        {"notify interface has no feature report", UhidRole::kNotify, UHID_FEATURE_REPORT, EIO},
        {"output report on the command interface", UhidRole::kCommand, UHID_OUTPUT_REPORT, EIO},
    };
    for (const Case& c : cases) {
        Rig rig;
        rig.Mouse().Start();
        rig.ClearPorts();
        rig.SetFeature(c.role, ProbeReport(), 9, c.rtype);
        ASSERT_EQ(rig.Port(c.role).Types(), std::vector<uint32_t>{UHID_SET_REPORT_REPLY}) << c.name;
        EXPECT_EQ(rig.Port(c.role).written[0].u.set_report_reply.err, c.err) << c.name;
        EXPECT_EQ(rig.firmware->RequestCount(), 0) << c.name;
        EXPECT_TRUE(rig.Flush().empty()) << c.name;
    }
}

TEST(UhidMouse, FeatureReadsAreRefused)
{
    Rig rig;
    rig.Mouse().Start();
    rig.ClearPorts();
    uhid_event event{};
    event.type = UHID_GET_REPORT;
    event.u.get_report.id = 12;
    event.u.get_report.rnum = kFeatureReportId;
    event.u.get_report.rtype = UHID_FEATURE_REPORT;
    rig.Mouse().OnEvent(UhidRole::kCommand, event);
    ASSERT_EQ(rig.command.Types(), std::vector<uint32_t>{UHID_GET_REPORT_REPLY});
    EXPECT_EQ(rig.command.written[0].u.get_report_reply.id, 12u);
    EXPECT_EQ(rig.command.written[0].u.get_report_reply.err, EIO);
}

TEST(UhidMouse, UnpluggedWithARequestTheMouseTakesItAndGoesWithoutAnswering)
{
    Rig rig;
    rig.Mouse().Start();
    rig.ClearPorts();
    rig.firmware->UnplugAtRequest(2);
    rig.SetFeature(UhidRole::kCommand, Request(kCmdGetConnectStatus));
    rig.SetFeature(UhidRole::kCommand, Request(kCmdGetCurProfile));
    EXPECT_FALSE(rig.Mouse().Created());
    // The transfer of the second request completed before the devices went away.
    EXPECT_EQ(rig.command.Types(),
              (std::vector<uint32_t>{UHID_SET_REPORT_REPLY, UHID_SET_REPORT_REPLY, UHID_DESTROY}));
    EXPECT_EQ(rig.command.written[1].u.set_report_reply.err, 0);
    EXPECT_EQ(rig.unrelated.Types(), std::vector<uint32_t>{UHID_DESTROY});
    // The first answer was still on its way: it goes with the mouse, and nothing answers the second.
    EXPECT_TRUE(rig.Flush().empty());
    EXPECT_EQ(rig.notify.Types(), std::vector<uint32_t>{UHID_DESTROY});

    // Events for the devices that are gone change nothing.
    rig.SetFeature(UhidRole::kCommand, Request(kCmdGetPower));
    EXPECT_EQ(rig.command.written.size(), 3u);
    EXPECT_EQ(rig.firmware->RequestCount(), 2);
}

TEST(UhidMouse, PluggedBackTheDevicesAreCreatedAnewAndAnswerAgain)
{
    Rig rig;
    rig.Mouse().Start();
    rig.firmware->Press(MouseButton::kDpiUp);  // an event on its way when the mouse goes
    rig.firmware->SetPlugged(false);
    rig.firmware->SetPlugged(false);
    EXPECT_TRUE(rig.Flush().empty());
    rig.ClearPorts();

    rig.firmware->SetPlugged(true);
    for (const UhidRole role : kAllUhidRoles)
        EXPECT_EQ(rig.Port(role).Types(), std::vector<uint32_t>{UHID_CREATE2}) << UhidDeviceName(role);
    rig.SetFeature(UhidRole::kCommand, Request(kCmdGetConnectStatus));
    const std::vector<HidReport> answers = rig.Flush();
    ASSERT_EQ(answers.size(), 1u);
    EXPECT_EQ(answers[0][1 + kBodyData], 1) << "linked";
}

TEST(UhidMouse, AMouseStartedUnpluggedShowsNothingAndStopDestroysWhatIsThere)
{
    Rig rig;
    rig.firmware->SetPlugged(false);
    rig.Mouse().Start();
    for (const UhidRole role : kAllUhidRoles)
        EXPECT_TRUE(rig.Port(role).written.empty());
    rig.firmware->SetPlugged(true);
    rig.ClearPorts();
    rig.Mouse().Stop();
    rig.Mouse().Stop();
    for (const UhidRole role : kAllUhidRoles)
        EXPECT_EQ(rig.Port(role).Types(), std::vector<uint32_t>{UHID_DESTROY}) << UhidDeviceName(role);
}

TEST(UhidMouse, ButtonEventsLeaveOnTheNotifyDevice)
{
    Rig rig;
    rig.Mouse().Start();
    rig.firmware->Press(MouseButton::kProfileNext);
    const std::vector<HidReport> events = rig.Flush();
    ASSERT_EQ(events.size(), 1u);
    EXPECT_EQ(events[0][1 + kBodyCommand], kEventBody);
    EXPECT_EQ(events[0][1 + kBodyEventFlags], 0x04);
    EXPECT_EQ(events[0][1 + 9], 1) << "profile 2 is active";
}

}  // namespace
}  // namespace zorvan
