#include "device/device_table.h"

namespace zorvan {

void SlotControl::RequestStop()
{
    {
        std::lock_guard lock(mutex_);
        stop_ = true;
    }
    changed_.notify_all();
}

bool SlotControl::StopRequested() const
{
    std::lock_guard lock(mutex_);
    return stop_;
}

bool SlotControl::SleepUnlessStopped(std::chrono::milliseconds duration)
{
    std::unique_lock lock(mutex_);
    return changed_.wait_for(lock, duration, [this] { return stop_; });
}

DeviceTable::Allocation DeviceTable::Allocate(HidHandlePtr cmd, HidHandlePtr notify, const std::string& cmdPath,
                                              const std::string& notifyPath, const HidAttributes& ids)
{
    std::lock_guard lock(mutex_);
    for (int i = 0; i < kDeviceTableSlots; ++i) {
        DeviceSlot& slot = slots_[size_t(i)];
        if (!slot.Free())
            continue;
        slot = DeviceSlot{};
        slot.hCmd = std::move(cmd);
        slot.hNotify = std::move(notify);
        slot.cmdPath = cmdPath;
        slot.notifyPath = notifyPath;
        slot.VID = ids.vendorId;
        slot.PID = ids.productId;
        slot.version = ids.version;
        slot.control = std::make_shared<SlotControl>();
        slot.serial = nextSerial_++;
        return {i, slot.serial};
    }
    return {};
}

DeviceSlot DeviceTable::Get(int index) const
{
    std::lock_guard lock(mutex_);
    if (index < 0 || index >= kDeviceTableSlots)
        return {};
    return slots_[size_t(index)];
}

int DeviceTable::CurrentIndex() const
{
    std::lock_guard lock(mutex_);
    return CurrentIndexLocked();
}

int DeviceTable::CurrentIndexLocked() const
{
    for (int i = 0; i < kDeviceTableSlots; ++i)
        if (slots_[size_t(i)].connected)
            return i;
    return -1;
}

bool DeviceTable::AnyCommandHandle() const
{
    std::lock_guard lock(mutex_);
    for (const DeviceSlot& slot : slots_)
        if (!slot.Free())
            return true;
    return false;
}

DeviceTable::Released DeviceTable::TakeLocked(int index, bool signal)
{
    DeviceSlot& slot = slots_[size_t(index)];
    Released released{std::move(slot.hCmd), std::move(slot.hNotify), std::move(slot.control), signal};
    slot = DeviceSlot{};
    return released;
}

void DeviceTable::Finish(const std::vector<Released>& released)
{
    for (const Released& r : released) {
        if (r.signal && r.control)
            r.control->RequestStop();
        if (r.signal && r.notify)
            r.notify->CancelRead();
        if (r.cmd)
            r.cmd->Close();
        if (r.notify)
            r.notify->Close();
    }
}

void DeviceTable::TakeWhereLocked(const std::function<bool(int)>& wanted, std::vector<Released>& released)
{
    for (int i = 0; i < kDeviceTableSlots; ++i)
        if (wanted(i) && !slots_[size_t(i)].Free())
            released.push_back(TakeLocked(i, true));
}

void DeviceTable::RetireWhere(const std::function<bool(int)>& wanted)
{
    std::vector<Released> released;
    {
        std::lock_guard lock(mutex_);
        TakeWhereLocked(wanted, released);
    }
    Finish(released);
}

void DeviceTable::Retire(int index)
{
    RetireWhere([index](int i) { return i == index; });
}

std::pair<int, DeviceSlot> DeviceTable::RetireAllButCurrent()
{
    std::pair<int, DeviceSlot> current{-1, DeviceSlot{}};
    std::vector<Released> released;
    {
        std::lock_guard lock(mutex_);
        current.first = CurrentIndexLocked();
        if (current.first >= 0)
            current.second = slots_[size_t(current.first)];
        TakeWhereLocked([&current](int i) { return i != current.first; }, released);
    }
    Finish(released);
    return current;
}

bool DeviceTable::RetireIf(int index, uint64_t serial)
{
    std::vector<Released> released;
    {
        std::lock_guard lock(mutex_);
        if (index < 0 || index >= kDeviceTableSlots || slots_[size_t(index)].serial != serial)
            return false;
        released.push_back(TakeLocked(index, true));
    }
    Finish(released);
    return true;
}

void DeviceTable::CloseConnected()
{
    std::vector<Released> released;
    {
        std::lock_guard lock(mutex_);
        for (int i = 0; i < kDeviceTableSlots; ++i)
            if (slots_[size_t(i)].connected)
                released.push_back(TakeLocked(i, false));
    }
    Finish(released);
}

void DeviceTable::RetireAll()
{
    RetireWhere([](int) { return true; });
}

DeviceTable::Identification DeviceTable::Identify(int index, uint64_t serial, int32_t cid, int32_t mid,
                                                  const HidAttributes& attributes, uint16_t pid, uint16_t pid2)
{
    Identification result;
    std::vector<Released> released;
    {
        std::lock_guard lock(mutex_);
        if (index < 0 || index >= kDeviceTableSlots || slots_[size_t(index)].serial != serial)
            return result;
        DeviceSlot& me = slots_[size_t(index)];
        me.VID = attributes.vendorId;
        me.PID = attributes.productId;
        me.version = attributes.version;
        for (int i = 0; i < kDeviceTableSlots; ++i) {
            const DeviceSlot& other = slots_[size_t(i)];
            if (i == index || other.Free() || other.CID != cid || other.MID != mid)
                continue;
            if (me.PID == pid && other.PID == pid2) {
                released.push_back(TakeLocked(i, true));
                result.retiredDuplicate = i;
            } else if (me.PID == pid2 && other.PID == pid) {
                released.push_back(TakeLocked(index, false));
                result.outcome = Identification::Outcome::kDuplicate;
            }
            break;
        }
        if (result.outcome != Identification::Outcome::kDuplicate) {
            for (int i = 0; i < kDeviceTableSlots; ++i) {
                if (i != index && slots_[size_t(i)].connected) {
                    released.push_back(TakeLocked(i, true));
                    result.retiredCurrent = i;
                    break;
                }
            }
            for (DeviceSlot& slot : slots_)
                slot.connected = false;
            me.connected = true;
            me.CID = cid;
            me.MID = mid;
            result.outcome = Identification::Outcome::kIdentified;
        }
    }
    Finish(released);
    return result;
}

}  // namespace zorvan
