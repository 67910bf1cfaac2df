#include "device/hidraw/hidraw_backend.h"
#include "device/hidraw/hidraw_handle.h"
#include "device/hidraw/udev_monitor.h"
#include "device_test_support.h"

#include <gtest/gtest.h>

#include <linux/hidraw.h>
#include <sys/ioctl.h>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <deque>
#include <vector>

namespace zorvan {
namespace {

// Scripted system calls: each call takes the next scripted result (default: success).
class FakeSysCalls : public SysCalls {
public:
    struct Result {
        int value = 0;
        int error = 0;
    };
    struct PollResult {
        int value = 1;
        int error = 0;
        short deviceEvents = 0;
        short wakeEvents = 0;
    };

    static constexpr int kDeviceFd = 40;
    static constexpr int kWakeFd = 41;

    std::deque<Result> opens, ioctls, reads;
    std::deque<PollResult> polls;
    std::vector<unsigned long> ioctlRequests;
    std::vector<int> closed;
    int wakes = 0;
    hidraw_devinfo info{};

    int Open(const char*, int) override { return Take(opens, {kDeviceFd, 0}); }
    int Close(int fd) override
    {
        closed.push_back(fd);
        return 0;
    }
    int Ioctl(int, unsigned long request, void* argument) override
    {
        ioctlRequests.push_back(request);
        if (request == HIDIOCGRAWINFO)
            std::memcpy(argument, &info, sizeof info);
        return Take(ioctls, {0, 0});
    }
    ssize_t Read(int fd, void* buffer, size_t size) override
    {
        if (fd == kWakeFd)
            return 8;
        const int n = Take(reads, {int(size), 0});
        if (n > 0)
            std::memset(buffer, 0x09, size_t(n));
        return n;
    }
    ssize_t Write(int, const void*, size_t size) override
    {
        ++wakes;
        return ssize_t(size);
    }
    int Poll(pollfd* fds, nfds_t, int) override
    {
        PollResult r = polls.empty() ? PollResult{} : polls.front();
        if (!polls.empty())
            polls.pop_front();
        fds[0].revents = r.deviceEvents;
        fds[1].revents = r.wakeEvents;
        errno = r.error;
        return r.value;
    }
    int EventFd(unsigned, int) override { return kWakeFd; }

private:
    static int Take(std::deque<Result>& script, Result fallback)
    {
        const Result r = script.empty() ? fallback : script.front();
        if (!script.empty())
            script.pop_front();
        errno = r.error;
        return r.value;
    }
};

TEST(HidrawHandle, FeatureReportsRetryInterruptedCallsAndReportUnplug)
{
    FakeSysCalls sys;
    HidrawHandle handle(sys, FakeSysCalls::kDeviceFd, FakeSysCalls::kWakeFd, 0);
    sys.ioctls = {{-1, EINTR}, {-1, EINTR}, {17, 0}};
    EXPECT_TRUE(handle.SendFeatureReport(HidReport{8, 3}).Ok());
    EXPECT_EQ(sys.ioctlRequests, std::vector<unsigned long>(3, HIDIOCSFEATURE(17)));
    sys.ioctls = {{-1, ENODEV}};
    EXPECT_EQ(handle.SendFeatureReport(HidReport{8, 3}).error, HidError::kNotConnected);
}

TEST(HidrawHandle, ReadMapsWhatPollAndReadSay)
{
    using P = FakeSysCalls::PollResult;
    struct Case {
        const char* name;
        std::deque<P> polls;
        std::deque<FakeSysCalls::Result> reads;
        HidError expected;
        size_t length;
    };
    const Case cases[] = {
        {"a report after an interrupted poll", {P{-1, EINTR}, P{1, 0, POLLIN}}, {}, HidError::kNone, 17},
        {"a short report", {P{1, 0, POLLIN}}, {{5, 0}}, HidError::kNone, 5},
        {"read interrupted, then the report", {P{1, 0, POLLIN}, P{1, 0, POLLIN}}, {{-1, EINTR}}, HidError::kNone, 17},
        {"someone else took it (EAGAIN)", {P{1, 0, POLLIN}, P{0}}, {{-1, EAGAIN}}, HidError::kTimeout, 0},
        {"time-out", {P{0}}, {}, HidError::kTimeout, 0},
        {"unplugged: hang-up", {P{1, 0, POLLHUP}}, {}, HidError::kNotConnected, 0},
        {"unplugged: EIO from read", {P{1, 0, POLLIN}}, {{-1, EIO}}, HidError::kNotConnected, 0},
        {"cancelled", {P{1, 0, 0, POLLIN}}, {}, HidError::kCancelled, 0},
        {"poll fails", {P{-1, ENOMEM}}, {}, HidError::kOther, 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        FakeSysCalls sys;
        sys.polls = c.polls;
        sys.reads = c.reads;
        HidrawHandle handle(sys, FakeSysCalls::kDeviceFd, FakeSysCalls::kWakeFd, 0);
        HidReport report;
        size_t length = 99;
        EXPECT_EQ(handle.ReadInputReport(report, length, 100).error, c.expected);
        EXPECT_EQ(length, c.length);
    }
}

TEST(HidrawHandle, CloseWakesTheReaderAndTheDescriptorsGoWithTheLastReference)
{
    FakeSysCalls sys;
    sys.info.vendor = 0x25A7;
    sys.info.product = int16_t(0xFA92);
    {
        HidrawHandle handle(sys, FakeSysCalls::kDeviceFd, FakeSysCalls::kWakeFd, 0x0213);
        HidAttributes attributes;
        ASSERT_TRUE(handle.GetAttributes(attributes).Ok());
        EXPECT_EQ(attributes.vendorId, 0x25A7);
        EXPECT_EQ(attributes.productId, 0xFA92);
        EXPECT_EQ(attributes.version, 0x0213);
        handle.Close();
        handle.Close();
        EXPECT_EQ(sys.wakes, 1);
        EXPECT_FALSE(handle.IsOpen());
        HidReport report;
        size_t length = 0;
        EXPECT_EQ(handle.ReadInputReport(report, length, -1).error, HidError::kInvalidHandle);
        EXPECT_EQ(handle.SendFeatureReport(report).error, HidError::kInvalidHandle);
        EXPECT_EQ(handle.GetAttributes(attributes).error, HidError::kInvalidHandle);
        EXPECT_TRUE(sys.closed.empty());
    }
    EXPECT_EQ(sys.closed, (std::vector<int>{FakeSysCalls::kDeviceFd, FakeSysCalls::kWakeFd}));
}

TEST(HidrawBackend, OpenReportsPermissionAndAcceptsOnlyItsOwnPaths)
{
    FakeSysCalls sys;
    HidrawBackend backend(sys);
    const std::string path = HidrawInterfacePath(0x25A7, 0xFA92, 1, "1-2", "/dev/hidraw3");
    HidStatus status;
    sys.opens = {{-1, EACCES}};
    EXPECT_FALSE(backend.Open(path, HidAccess::kRead, status));
    EXPECT_EQ(status.error, HidError::kPermissionDenied);
    EXPECT_TRUE(backend.Open(path, HidAccess::kWrite, status));
    EXPECT_TRUE(status.Ok());
    sys.opens = {{FakeSysCalls::kDeviceFd, 0}};
    EXPECT_FALSE(backend.Open("/etc/passwd", HidAccess::kRead, status));
    EXPECT_EQ(sys.opens.size(), 1u) << "a foreign path is never opened";
}

TEST(HidrawPaths, CarryTheIdsAndNameOnlyHidrawNodes)
{
    const std::string path = HidrawInterfacePath(0x25A7, 0xFA92, 2, "3-1.4", "/dev/hidraw12");
    EXPECT_EQ(path, "hid#VID_25a7&PID_fa92&MI_02#3-1.4#/dev/hidraw12");
    struct Case {
        std::string path;
        std::string node;
    };
    const Case cases[] = {
        {path, "/dev/hidraw12"},
        {"hid#VID_25a7&PID_fa92&MI_02#3-1.4#/dev/sda", ""},
        {"hid#VID_25a7&PID_fa92&MI_02#x#/dev/hidraw1/../../etc/passwd", ""},
        {"/dev/hidraw1", ""},
        {"", ""},
    };
    for (const Case& c : cases)
        EXPECT_EQ(HidrawNodeOfPath(c.path), c.node) << c.path;
    EXPECT_EQ(UsbDeviceName("25a7/fa92/100", "1-2"), "USB#VID_25a7&PID_fa92#1-2");
    EXPECT_EQ(UsbDeviceName("garbage", "1-2"), "");
    EXPECT_EQ(UsbDeviceName(nullptr, "1-2"), "");
    // HID devices off USB are named from their own HID_ID; those on USB (bus 3) are left to
    // their USB device's event.
    EXPECT_EQ(NonUsbHidDeviceName("0006:000025A7:0000FA92", "0006:25A7:FA92.0001"),
              "USB#VID_25a7&PID_fa92#0006:25A7:FA92.0001");
    EXPECT_EQ(NonUsbHidDeviceName("0005:000025A7:0000FA99", "x"), "USB#VID_25a7&PID_fa99#x");
    EXPECT_EQ(NonUsbHidDeviceName("0003:000025A7:0000FA92", "x"), "");
    EXPECT_EQ(NonUsbHidDeviceName("garbage", "x"), "");
    EXPECT_EQ(NonUsbHidDeviceName(nullptr, "x"), "");
}

TEST(HidrawBackend, TheSystemsInterfacesHaveWellFormedPathsAndTheMonitorComesAndGoes)
{
    test::App();
    HidrawBackend backend;
    for (const HidInterfaceInfo& info : backend.Enumerate()) {
        EXPECT_FALSE(HidrawNodeOfPath(info.path).empty()) << info.path;
        char ids[32];
        std::snprintf(ids, sizeof ids, "VID_%04x&PID_%04x", info.attributes.vendorId, info.attributes.productId);
        EXPECT_NE(info.path.find(ids), std::string::npos) << info.path;
    }
    QObject context;
    backend.WatchDeviceChanges(&context, [](const DeviceChange&) {});
    backend.WatchDeviceChanges(nullptr, {});
}

}  // namespace
}  // namespace zorvan
