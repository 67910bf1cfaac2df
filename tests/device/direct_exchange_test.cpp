#include "device/direct_exchange.h"
#include "device/emulated/emulated_bus.h"
#include "device_test_support.h"

#include <gtest/gtest.h>

namespace zorvan {
namespace {

// A mouse on the bus and its two interfaces opened raw, without a reader thread.
struct RawMouse {
    explicit RawMouse(uint8_t cid = test::kCid, uint8_t mid = test::kMid)
        : firmware(std::make_shared<MouseFirmware>(cid, mid, test::TestImages()))
    {
        bus.AddMouse(firmware, test::kVid, test::kPid);
        const EmulatedBus::MouseHandles opened = bus.OpenMouse(0);
        cmd = opened.cmd;
        notify = opened.notify;
    }

    EmulatedBus bus;
    std::shared_ptr<MouseFirmware> firmware;
    HidHandlePtr cmd;
    HidHandlePtr notify;
};

TEST(CheckPsd, ReportsTheModelOrUnsupportedOrFailure)
{
    struct Case {
        const char* name;
        uint8_t cid, mid;
        std::function<void(RawMouse&)> prepare;
        int expected;
    };
    const Case cases[] = {
        {"identified", 0x1A, 0x05, {}, 1},
        {"CID and MID both 0", 0, 0, {}, -1},
        {"refused", 0x1A, 0x05, [](RawMouse& m) { m.firmware->InjectFault(FaultKind::kRefuse); }, 0},
        {"no answer", 0x1A, 0x05, [](RawMouse& m) { m.firmware->InjectFault(FaultKind::kNoAnswer); }, 0},
        {"two stale reports before the answer", 0x1A, 0x05,
         [](RawMouse& m) {
             const HidReport stale = MakeInputReport({{0, 3}, {5, 1}});
             m.bus.InjectInputReport(0, stale.data(), stale.size());
             m.bus.InjectInputReport(0, stale.data(), stale.size());
         },
         1},
        {"three stale reports: no answer among three reads", 0x1A, 0x05,
         [](RawMouse& m) {
             const HidReport stale = MakeInputReport({{0, 3}, {5, 1}});
             for (int i = 0; i < 3; ++i)
                 m.bus.InjectInputReport(0, stale.data(), stale.size());
         },
         0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        RawMouse mouse(c.cid, c.mid);
        if (c.prepare)
            c.prepare(mouse);
        std::this_thread::sleep_for(std::chrono::milliseconds(5));  // injected reports arrive first
        int cid = -7, mid = -7;
        EXPECT_EQ(CheckPsd(mouse.notify.get(), mouse.cmd.get(), cid, mid), c.expected);
        if (c.expected == 1) {
            EXPECT_EQ(cid, c.cid);
            EXPECT_EQ(mid, c.mid);
        }
    }
}

TEST(CheckPsd, SendsFourChallengeBytesFrom1To100)
{
    RawMouse mouse;
    int cid = 0, mid = 0;
    ASSERT_EQ(CheckPsd(mouse.notify.get(), mouse.cmd.get(), cid, mid), 1);
    const HidReport request = mouse.firmware->RequestLog().back();
    EXPECT_EQ(request[1], kCmdCheckPsd);
    EXPECT_EQ(request[5], 8);
    for (int i = 6; i < 10; ++i) {
        EXPECT_GE(request[size_t(i)], 1);
        EXPECT_LE(request[size_t(i)], 100);
    }
    for (int i = 10; i < 14; ++i)
        EXPECT_EQ(request[size_t(i)], 0);
}

TEST(DirectGetConnectStatus, TellsLinkedUnlinkedAndUndeliverable)
{
    RawMouse mouse;
    EXPECT_EQ(GetConnectStatus(mouse.cmd.get(), mouse.notify.get()), 1);
    mouse.firmware->SetLinked(false);
    EXPECT_EQ(GetConnectStatus(mouse.cmd.get(), mouse.notify.get()), 0);
    mouse.cmd->Close();
    EXPECT_EQ(GetConnectStatus(mouse.cmd.get(), mouse.notify.get()), -1);
}

}  // namespace
}  // namespace zorvan
