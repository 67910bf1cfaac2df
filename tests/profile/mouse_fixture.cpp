#include "mouse_fixture.h"

#include "device/emulated/firmware_state.h"
#include "device/report_frame.h"
#include "device/service_thread.h"
#include "profile/factory_image.h"
#include "profile/profile_store.h"
#include "profile/profile_state.h"

#include <algorithm>

namespace zorvan::test {
namespace {

constexpr uint16_t kVendor = 0x25A7;
constexpr uint16_t kProduct = 0xFA92;

eeprom::ProfileImages FactoryOf(const DeviceDescription& model)
{
    const auto built = BuildFactoryImages(model);
    eeprom::ProfileImages images{};
    for (size_t p = 0; p < images.size(); ++p)
        std::copy_n(built[p].begin(), std::min(built[p].size(), images[p].size()), images[p].begin());
    return images;
}

}  // namespace

EmulatedMouse::EmulatedMouse(const DeviceDescription& model, std::chrono::milliseconds latency)
    : firmware_(std::make_shared<MouseFirmware>(uint8_t(model.CID), uint8_t(model.MID), FactoryOf(model)))
{
    firmware_->SetAnswerLatency(latency);
    bus_.AddMouse(firmware_, kVendor, kProduct);
    Open();
}

EmulatedMouse::~EmulatedMouse()
{
    Close();
}

void EmulatedMouse::Open()
{
    const EmulatedBus::MouseHandles opened = bus_.OpenMouse(0);
    const HidHandlePtr cmd = opened.cmd;
    notify_ = opened.notify;
    link_.SetHandles(cmd, notify_);
    control_ = std::make_shared<SlotControl>();
    DeviceSlot slot;
    slot.hCmd = cmd;
    slot.hNotify = notify_;
    slot.control = control_;
    reader_.Start([this, slot] { ServiceThread(slot, replies_, nullptr); });
}

void EmulatedMouse::Close()
{
    control_->RequestStop();
    if (notify_)
        notify_->CancelRead();
    reader_.JoinAll();
    link_.SetHandles(nullptr, nullptr);
}

void EmulatedMouse::Reconnect()
{
    Close();
    firmware_->SetPlugged(true);
    Open();
}

std::vector<uint8_t> EmulatedMouse::Memory(int address, int length) const
{
    return firmware_->Memory(firmware_->State().activeProfile, address, length);
}

void EmulatedMouse::Poke(int address, std::initializer_list<uint8_t> bytes)
{
    FirmwareState state = firmware_->State();
    std::copy(bytes.begin(), bytes.end(), state.profiles[state.activeProfile].begin() + address);
    firmware_->Restore(state);
}

std::vector<std::tuple<int, int, int>> EmulatedMouse::TakeRequests()
{
    const size_t total = size_t(firmware_->RequestCount());
    const std::vector<HidReport> log = firmware_->RequestLog();
    std::vector<std::tuple<int, int, int>> requests;
    for (size_t i = log.size() - std::min(total - seen_, log.size()); i < log.size(); ++i)
        requests.emplace_back(log[i][1], log[i][3] << 8 | log[i][4], log[i][5]);
    seen_ = total;
    return requests;
}

std::vector<std::pair<int, std::vector<uint8_t>>> EmulatedMouse::TakeWrites()
{
    const size_t total = size_t(firmware_->RequestCount());
    const std::vector<HidReport> log = firmware_->RequestLog();
    std::vector<std::pair<int, std::vector<uint8_t>>> writes;
    for (size_t i = log.size() - std::min(total - seen_, log.size()); i < log.size(); ++i) {
        const HidReport& r = log[i];
        if (r[1] != kCmdWriteEEPROM)
            continue;
        const int address = r[3] << 8 | r[4];
        const size_t n = std::min<size_t>(r[5], kMaxDataBytes);
        // Consecutive pieces of one write are joined.
        if (!writes.empty() && writes.back().first + int(writes.back().second.size()) == address)
            writes.back().second.insert(writes.back().second.end(), r.begin() + 6, r.begin() + 6 + long(n));
        else
            writes.emplace_back(address, std::vector<uint8_t>(r.begin() + 6, r.begin() + 6 + long(n)));
    }
    seen_ = total;
    return writes;
}

void MouseTest::SetUp()
{
    ProfileTest::SetUp();
    savedPaths_ = Paths();
    messages_.emplace();
    ASSERT_TRUE(LoadConfiguration(DefaultDataDir() + "cfg.ini", dir_.File("Log.txt"), Config()));
    ResetLog();
    Paths().dataDir = dir_.Path();
    ProfileState& state = Profiles();
    {
        std::lock_guard lock(state.profileLock);
        state.profiles.Clear();
        state.macroNames = {};
    }
    state.syncFlag = true;
    g_nCurDpiLevel = -1;
}

void MouseTest::TearDown()
{
    mouse_.reset();
    {
        std::lock_guard lock(Profiles().profileLock);
        Profiles().profiles.Clear();
    }
    messages_.reset();
    Paths() = savedPaths_;
    ProfileTest::TearDown();
}

std::vector<int> MouseTest::Models()
{
    std::vector<int> models;
    for (int i = 0; i < kDeviceSlots; ++i) {
        if (Config().devices[size_t(i)].HoldsModel())
            models.push_back(i);
    }
    return models;
}

void MouseTest::UseModel(int index, std::chrono::milliseconds latency)
{
    mouse_.reset();
    Config().SetCurrentDeviceIndex(index);
    LoadPro(dir_.Path());
    mouse_ = std::make_unique<EmulatedMouse>(Config().devices[size_t(index)], latency);
}

void MouseTest::ShortenAnswerWait()
{
    Link().timing.answerWait = std::chrono::milliseconds(60);
}

bool MouseTest::Shown(const QString& text) const
{
    for (const ShownMessage& m : messages_->Messages()) {
        if (m.text == text)
            return true;
    }
    return false;
}

}  // namespace zorvan::test
