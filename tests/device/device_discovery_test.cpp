#include "device/device_discovery.h"
#include "device_test_support.h"

#include <gtest/gtest.h>

#include <cerrno>
#include <mutex>
#include <thread>

namespace zorvan {
namespace {

using namespace std::chrono_literals;

// An emulated bus that notes the thread of every enumeration, that is of every search.
class SearchThreadBus : public EmulatedBus {
public:
    std::vector<HidInterfaceInfo> Enumerate() override
    {
        {
            std::lock_guard lock(mutex_);
            threads_.push_back(std::this_thread::get_id());
        }
        return EmulatedBus::Enumerate();
    }
    std::vector<std::thread::id> SearchThreads() const
    {
        std::lock_guard lock(mutex_);
        return threads_;
    }

private:
    mutable std::mutex mutex_;
    std::vector<std::thread::id> threads_;
};

// A bus with emulated mice, and the discovery with its table, link and notifier.
class DiscoveryTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        test::App();
        test::UseTestConfiguration();
        QObject::connect(&notifier, &DeviceNotifier::deviceIdentified, [this](int slot) { identified.push_back(slot); });
    }

    void TearDown() override
    {
        discovery.ClearThread();
        EXPECT_EQ(bus.OpenHandleCount(), 0) << "ClearThread closes every handle";
    }

    std::shared_ptr<MouseFirmware> AddMouse(uint16_t pid, uint8_t cid = test::kCid, uint8_t mid = test::kMid)
    {
        auto firmware = std::make_shared<MouseFirmware>(cid, mid, test::TestImages());
        bus.AddMouse(firmware, test::kVid, pid);
        return firmware;
    }

    bool WaitIdentifications(int ms = 3000)
    {
        return test::RunUntil([this] { return discovery.RunningIdentifications() == 0; }, ms);
    }

    SearchThreadBus bus;
    ReplyQueue replies;
    DeviceTable table;
    CUSBDriver link{&table, replies};
    DeviceNotifier notifier;
    DeviceDiscovery discovery{bus, table, link, notifier, replies};
    std::vector<int> identified;
};

TEST_F(DiscoveryTest, PairsCommandAndNotifyIdentifiesAndKeepsOnlyThatPairOpen)
{
    AddMouse(test::kPid);
    EXPECT_EQ(discovery.FindDev(), 1) << "the unrelated interface of the same ids is passed over";
    EXPECT_EQ(bus.OpenHandleCount(), 2);
    ASSERT_TRUE(WaitIdentifications());
    ASSERT_TRUE(test::RunUntil([this] { return !identified.empty(); }, 1000));
    EXPECT_EQ(identified, std::vector<int>{0});
    const DeviceSlot slot = table.Get(0);
    EXPECT_TRUE(slot.connected);
    EXPECT_EQ(slot.CID, test::kCid);
    EXPECT_EQ(slot.PID, test::kPid);
    EXPECT_EQ(slot.version, 0x0100);
    EXPECT_NE(slot.cmdPath.find("MI_01"), std::string::npos);
    EXPECT_NE(slot.notifyPath.find("MI_02"), std::string::npos);
    EXPECT_EQ(CurrentDevice(), &Config().devices[0]);
    EXPECT_EQ(discovery.FindOkNum(), 1);

    // The session takes the device over: exchanges run through the reader thread.
    link.SetHandles(slot.hCmd, slot.hNotify);
    EXPECT_EQ(link.GetCurProfile(), 0);
    EXPECT_EQ(discovery.FindDev(), 0) << "the current device is not searched again";
    EXPECT_TRUE(table.Get(0).connected);
}

TEST_F(DiscoveryTest, IdentificationWaitsForTheMouseToLink)
{
    const auto mouse = AddMouse(test::kPid);
    mouse->SetLinked(false);
    ASSERT_EQ(discovery.FindDev(), 1);
    test::RunUntil([] { return false; }, 700);
    EXPECT_TRUE(identified.empty());
    EXPECT_EQ(discovery.RunningIdentifications(), 1) << "keeps polling the link state";
    mouse->SetLinked(true);
    EXPECT_TRUE(test::RunUntil([this] { return !identified.empty(); }, 2000));
}

TEST_F(DiscoveryTest, UnsupportedModelsAreClosed)
{
    struct Case {
        const char* name;
        uint8_t cid, mid;
    };
    for (const Case& c : {Case{"no device section", 0x2B, 0x07}, Case{"CID and MID 0", 0, 0}}) {
        SCOPED_TRACE(c.name);
        EmulatedBus ownBus;
        DeviceTable ownTable;
        DeviceDiscovery own{ownBus, ownTable, link, notifier, replies};
        ownBus.AddMouse(std::make_shared<MouseFirmware>(c.cid, c.mid, test::TestImages()), test::kVid, test::kPid);
        ASSERT_EQ(own.FindDev(), 1);
        ASSERT_TRUE(test::RunUntil([&] { return own.RunningIdentifications() == 0; }, 3000));
        EXPECT_EQ(ownTable.CurrentIndex(), -1);
        EXPECT_TRUE(ownTable.Get(0).Free());
        EXPECT_EQ(ownBus.OpenHandleCount(), 0);
    }
}

TEST_F(DiscoveryTest, DuplicateRuleLetsPidWinOverPid2)
{
    struct Case {
        const char* name;
        uint16_t first, second;
    };
    for (const Case& c : {Case{"PID2 current, PID arrives", test::kPid2, test::kPid},
                          Case{"PID current, PID2 arrives", test::kPid, test::kPid2}}) {
        SCOPED_TRACE(c.name);
        EmulatedBus ownBus;
        DeviceTable ownTable;
        DeviceDiscovery own{ownBus, ownTable, link, notifier, replies};
        ownBus.AddMouse(std::make_shared<MouseFirmware>(test::kCid, test::kMid, test::TestImages()), test::kVid, c.first);
        ASSERT_EQ(own.FindDev(), 1);
        ASSERT_TRUE(test::RunUntil([&] { return ownTable.CurrentIndex() >= 0; }, 3000));
        ownBus.AddMouse(std::make_shared<MouseFirmware>(test::kCid, test::kMid, test::TestImages()), test::kVid,
                        c.second);
        ASSERT_EQ(own.FindDev(), 1);
        ASSERT_TRUE(test::RunUntil([&] { return own.RunningIdentifications() == 0; }, 3000));
        const int current = ownTable.CurrentIndex();
        ASSERT_GE(current, 0);
        EXPECT_EQ(ownTable.Get(current).PID, test::kPid);
        EXPECT_EQ(ownBus.OpenHandleCount(), 2) << "the loser's pair is closed";
        own.ClearThread();
    }
}

TEST_F(DiscoveryTest, ASearchWithAllSlotsTakenClosesThePairsItCannotKeep)
{
    for (int i = 0; i < kDeviceTableSlots + 1; ++i)
        AddMouse(test::kPid)->SetLinked(false);  // nobody is identified, so every slot stays taken
    EXPECT_EQ(discovery.FindDev(), kDeviceTableSlots);
    EXPECT_EQ(bus.OpenHandleCount(), 2 * kDeviceTableSlots);
}

TEST_F(DiscoveryTest, RemovalClearsTheLinkAndArrivalFindsTheMouseAgain)
{
    discovery.timing.findTimerMs = 100;
    discovery.timing.removalCheckDelayMs = 50;
    discovery.WatchDeviceChanges();
    const auto mouse = AddMouse(test::kPid);
    bool gone = false;
    QObject::connect(&discovery, &DeviceDiscovery::deviceGone, [&] { gone = true; });
    ASSERT_EQ(discovery.FindDev(), 1);
    ASSERT_TRUE(test::RunUntil([this] { return !identified.empty(); }, 3000));
    const DeviceSlot slot = table.Get(0);
    link.SetHandles(slot.hCmd, slot.hNotify);

    mouse->SetPlugged(false);
    ASSERT_TRUE(test::RunUntil([&] { return gone; }, 2000));
    EXPECT_FALSE(link.Cmd());
    EXPECT_EQ(table.CurrentIndex(), -1);
    EXPECT_EQ(bus.OpenHandleCount(), 0);

    identified.clear();
    mouse->SetPlugged(true);
    EXPECT_TRUE(test::RunUntil([this] { return !identified.empty(); }, 3000));
    EXPECT_FALSE(discovery.FindTimerActive()) << "a successful search stops the find timer";
}

TEST_F(DiscoveryTest, TheFindTimersSearchesRunBesideTheUserInterfaceThread)
{
    discovery.timing.findTimerMs = 10;
    AddMouse(test::kPid);
    int ended = 0;
    QObject::connect(&discovery, &DeviceDiscovery::searchEnded, [&ended] { ++ended; });
    discovery.OnDeviceChange({DeviceChange::Kind::kArrival, "USB#VID_25a7&PID_fa92#receiver"});
    ASSERT_TRUE(test::RunUntil([this] { return !identified.empty(); }, 3000));
    ASSERT_TRUE(test::RunUntil([this] { return !discovery.Searching(); }, 1000)) << "the result is handed back";
    EXPECT_GE(ended, 1) << "the window hears of every search's end";
    EXPECT_FALSE(discovery.FindTimerActive()) << "a search that found the mouse stops the timer";
    const std::vector<std::thread::id> threads = bus.SearchThreads();
    ASSERT_FALSE(threads.empty());
    for (const std::thread::id id : threads)
        EXPECT_NE(id, std::this_thread::get_id());
}

TEST_F(DiscoveryTest, AnExitDuringTheFindTimersSearchWaitsForItAndClosesWhatItOpened)
{
    discovery.timing.findTimerMs = 10;
    for (int i = 0; i < 3; ++i)
        AddMouse(test::kPid);  // more interfaces: a longer search
    discovery.OnDeviceChange({DeviceChange::Kind::kArrival, "USB#VID_25a7&PID_fa92#receiver"});
    ASSERT_TRUE(test::RunUntil([this] { return discovery.Searching(); }, 1000));
    discovery.ClearThread();
    EXPECT_FALSE(discovery.Searching());
    EXPECT_EQ(discovery.RunningIdentifications(), 0);
    EXPECT_EQ(table.CurrentIndex(), -1);
    EXPECT_EQ(bus.OpenHandleCount(), 0);
    test::RunUntil([] { return false; }, 50);  // the search's late result changes nothing
    EXPECT_FALSE(discovery.FindTimerActive());
    EXPECT_EQ(bus.OpenHandleCount(), 0);
}

TEST_F(DiscoveryTest, DeviceChangesOfOtherProductsAreIgnoredAndIdsMatchWithoutCase)
{
    discovery.OnDeviceChange({DeviceChange::Kind::kArrival, "USB#VID_25A7&PID_1234#other"});
    EXPECT_FALSE(discovery.FindTimerActive());
    discovery.OnDeviceChange({DeviceChange::Kind::kArrival, "usb#vid_25a7&pid_fa99#receiver"});
    EXPECT_TRUE(discovery.FindTimerActive());
    EXPECT_EQ(discovery.FindRetryCount(), 5);
}

TEST_F(DiscoveryTest, RemovalOfAnotherConnectionWhileTheCurrentOneAnswersIsHandledWithoutSearch)
{
    discovery.timing.removalCheckDelayMs = 10;
    AddMouse(test::kPid);
    ASSERT_EQ(discovery.FindDev(), 1);
    ASSERT_TRUE(test::RunUntil([this] { return !identified.empty(); }, 3000));
    const DeviceSlot slot = table.Get(0);
    link.SetHandles(slot.hCmd, slot.hNotify);
    discovery.OnDeviceChange({DeviceChange::Kind::kRemoval, "USB#VID_25a7&PID_fa99#cable"});
    test::RunUntil([] { return false; }, 100);
    EXPECT_TRUE(link.Cmd());
    EXPECT_FALSE(discovery.FindTimerActive());
}

TEST_F(DiscoveryTest, MoreThanOneIdentifiedDeviceTriggersTheCountCheck)
{
    discovery.timing.deviceCountCheckMs = 10;
    AddMouse(test::kPid);
    AddMouse(test::kPid, test::kCid, 0x02);
    bool tooMany = false;
    QObject::connect(&discovery, &DeviceDiscovery::tooManyDevices, [&] { tooMany = true; });
    ASSERT_EQ(discovery.FindDev(), 2);
    ASSERT_TRUE(WaitIdentifications());
    EXPECT_EQ(discovery.FindOkNum(), 2);
    discovery.StartDeviceCountCheck();
    EXPECT_TRUE(test::RunUntil([&] { return tooMany; }, 1000));
    EXPECT_EQ(identified.size(), 2u);
}

// The emulated bus plus interfaces the user may not open: one the enumeration could not read,
// one that fails when the search opens it, and one of another vendor.
class PermissionBackend : public HidBackend {
public:
    explicit PermissionBackend(EmulatedBus& bus) : bus_(bus) {}

    std::vector<HidInterfaceInfo> Enumerate() override
    {
        std::vector<HidInterfaceInfo> interfaces = bus_.Enumerate();
        const HidAttributes ours{test::kVid, test::kPid, 0};
        interfaces.push_back({"hid#VID_25a7&PID_fa92&MI_03#1-9#/dev/hidraw8", ours, 0, 0, HidError::kPermissionDenied});
        interfaces.push_back({"hid#VID_25a7&PID_fa92&MI_04#1-9#/dev/hidraw9", ours, 17, 0});
        interfaces.push_back({"hid#VID_1234&PID_0001&MI_00#1-8#/dev/hidraw7", {0x1234, 1, 0}, 0, 0,
                              HidError::kPermissionDenied});
        return interfaces;
    }
    HidHandlePtr Open(const std::string& path, HidAccess access, HidStatus& status) override
    {
        if (path.find("hidraw9") != std::string::npos) {
            status = {HidError::kPermissionDenied, EACCES};
            return nullptr;
        }
        return bus_.Open(path, access, status);
    }
    void WatchDeviceChanges(QObject* context, DeviceChangeHandler handler) override
    {
        bus_.WatchDeviceChanges(context, std::move(handler));
    }

private:
    EmulatedBus& bus_;
};

TEST_F(DiscoveryTest, InterfacesTheUserMayNotOpenAreCountedAndTheRestStillWorks)
{
    AddMouse(test::kPid);
    PermissionBackend backend(bus);
    DeviceTable ownTable;
    DeviceDiscovery own{backend, ownTable, link, notifier, replies};
    EXPECT_EQ(own.FindDev(), 1);
    EXPECT_EQ(own.DeniedCount(), 2) << "only interfaces of the configured ids count";
    own.ClearThread();
}

}  // namespace
}  // namespace zorvan
