#include "device/emulated/emulated_bus.h"

#include "device/post_to_thread.h"

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <functional>

namespace zorvan {
namespace {

struct RoleLayout {
    EmulatedRole role;
    int interfaceNumber;
    int inputLength;
    int featureLength;
};
constexpr RoleLayout kLayout[] = {
    {EmulatedRole::kUnrelated, 0, 17, 17},
    {EmulatedRole::kCommand, 1, 0, 17},
    {EmulatedRole::kNotify, 2, 17, 0},
};

std::string DeviceName(int mouse, const HidAttributes& ids)
{
    char name[64];
    std::snprintf(name, sizeof name, "USB#VID_%04x&PID_%04x#emulated-%d", ids.vendorId, ids.productId, mouse + 1);
    return name;
}

}  // namespace

EmulatedBus::EmulatedBus() : delivery_([this] { DeliveryLoop(); }) {}

EmulatedBus::~EmulatedBus()
{
    for (const Port& port : ports_)
        port.firmware->SetSinks({}, {});
    {
        std::lock_guard lock(deliveryMutex_);
        stopping_ = true;
    }
    deliveryChanged_.notify_all();
    delivery_.join();
}

std::string EmulatedBus::InterfacePath(int mouse, const HidAttributes& ids, EmulatedRole role)
{
    const auto layout = std::find_if(std::begin(kLayout), std::end(kLayout),
                                     [role](const RoleLayout& l) { return l.role == role; });
    char path[96];
    std::snprintf(path, sizeof path, "emulated/usb-%d/VID_%04x&PID_%04x&MI_%02d", mouse + 1, ids.vendorId,
                  ids.productId, layout->interfaceNumber);
    return path;
}

int EmulatedBus::AddMouse(std::shared_ptr<MouseFirmware> firmware, uint16_t vendorId, uint16_t productId,
                          uint16_t version)
{
    int index = 0;
    const bool plugged = firmware->Plugged();  // asked before taking the bus lock: the firmware calls into the bus
    {
        std::lock_guard lock(mutex_);
        index = int(ports_.size());
        ports_.push_back(Port{firmware, HidAttributes{vendorId, productId, version}, plugged, {}});
    }
    firmware->SetSinks(
        [this, index](const HidReport& report, std::chrono::milliseconds delay) {
            Schedule(index, report, report.size(), delay);
        },
        [this, index](bool plugged) { OnPlugChanged(index, plugged); });
    return index;
}

MouseFirmware& EmulatedBus::Mouse(int index) const
{
    std::lock_guard lock(mutex_);
    return *ports_.at(size_t(index)).firmware;
}

int EmulatedBus::MouseCount() const
{
    std::lock_guard lock(mutex_);
    return int(ports_.size());
}

int EmulatedBus::OpenHandleCount() const
{
    std::lock_guard lock(mutex_);
    int count = 0;
    for (const Port& port : ports_)
        for (const auto& weak : port.handles)
            if (const auto handle = weak.lock(); handle && handle->IsOpen())
                ++count;
    return count;
}

std::vector<HidInterfaceInfo> EmulatedBus::Enumerate()
{
    std::lock_guard lock(mutex_);
    std::vector<HidInterfaceInfo> interfaces;
    for (size_t mouse = 0; mouse < ports_.size(); ++mouse) {
        const Port& port = ports_[mouse];
        if (!port.plugged)
            continue;
        for (const RoleLayout& layout : kLayout)
            interfaces.push_back(HidInterfaceInfo{InterfacePath(int(mouse), port.attributes, layout.role),
                                                  port.attributes, layout.inputLength, layout.featureLength});
    }
    return interfaces;
}

EmulatedBus::MouseHandles EmulatedBus::OpenMouse(int index)
{
    HidAttributes ids;
    {
        std::lock_guard lock(mutex_);
        if (index < 0 || size_t(index) >= ports_.size())
            return {};
        ids = ports_[size_t(index)].attributes;
    }
    HidStatus status;
    return {Open(InterfacePath(index, ids, EmulatedRole::kCommand), HidAccess::kWrite, status),
            Open(InterfacePath(index, ids, EmulatedRole::kNotify), HidAccess::kRead, status)};
}

HidHandlePtr EmulatedBus::Open(const std::string& path, HidAccess, HidStatus& status)
{
    std::lock_guard lock(mutex_);
    for (size_t mouse = 0; mouse < ports_.size(); ++mouse) {
        Port& port = ports_[mouse];
        for (const RoleLayout& layout : kLayout) {
            if (InterfacePath(int(mouse), port.attributes, layout.role) != path)
                continue;
            if (!port.plugged) {
                status = {HidError::kNotConnected, ENODEV};
                return nullptr;
            }
            auto handle = std::make_shared<EmulatedHandle>(nextLogId_++, layout.role, port.firmware, port.attributes);
            std::erase_if(port.handles, [](const auto& weak) { return weak.expired(); });
            port.handles.push_back(handle);
            status = {};
            return handle;
        }
    }
    status = {HidError::kOther, ENOENT};
    return nullptr;
}

void EmulatedBus::WatchDeviceChanges(QObject* context, DeviceChangeHandler handler)
{
    std::lock_guard lock(mutex_);
    watchContext_ = context;
    watchHandler_ = std::move(handler);
}

void EmulatedBus::InjectInputReport(int mouse, const uint8_t* data, size_t length)
{
    HidReport report{};
    std::copy(data, data + std::min(length, kHidReportLength), report.begin());
    Schedule(mouse, report, std::min(length, kHidReportLength), std::chrono::milliseconds(0));
}

void EmulatedBus::Schedule(int mouse, const HidReport& report, size_t length, std::chrono::milliseconds delay)
{
    {
        std::lock_guard lock(deliveryMutex_);
        pending_.push_back(Pending{std::chrono::steady_clock::now() + delay, sequence_++, mouse, report, length});
        std::push_heap(pending_.begin(), pending_.end(), std::greater<>());
    }
    deliveryChanged_.notify_all();
}

void EmulatedBus::DeliveryLoop()
{
    std::unique_lock lock(deliveryMutex_);
    while (!stopping_) {
        if (pending_.empty()) {
            deliveryChanged_.wait(lock);
            continue;
        }
        const auto due = pending_.front().due;
        if (std::chrono::steady_clock::now() < due) {
            deliveryChanged_.wait_until(lock, due);
            continue;
        }
        std::pop_heap(pending_.begin(), pending_.end(), std::greater<>());
        const Pending next = pending_.back();
        pending_.pop_back();
        lock.unlock();
        DeliverNow(next.mouse, next.report, next.length);
        lock.lock();
    }
}

void EmulatedBus::DeliverNow(int mouse, const HidReport& report, size_t length)
{
    std::vector<std::shared_ptr<EmulatedHandle>> targets;
    {
        std::lock_guard lock(mutex_);
        if (mouse < 0 || size_t(mouse) >= ports_.size() || !ports_[size_t(mouse)].plugged)
            return;
        for (const auto& weak : ports_[size_t(mouse)].handles)
            if (auto handle = weak.lock(); handle && handle->Role() == EmulatedRole::kNotify)
                targets.push_back(std::move(handle));
    }
    for (const auto& handle : targets)
        handle->Deliver(report, length);
}

void EmulatedBus::OnPlugChanged(int mouse, bool plugged)
{
    std::lock_guard lock(mutex_);
    Port& port = ports_[size_t(mouse)];
    port.plugged = plugged;
    if (!plugged) {
        for (const auto& weak : port.handles)
            if (const auto handle = weak.lock())
                handle->Disconnect();
        port.handles.clear();
    }
    if (watchContext_ && watchHandler_) {
        const DeviceChange change{plugged ? DeviceChange::Kind::kArrival : DeviceChange::Kind::kRemoval,
                                  DeviceName(mouse, port.attributes)};
        PostToThread(watchContext_.data(), [handler = watchHandler_, change] { handler(change); });
    }
}

}  // namespace zorvan
