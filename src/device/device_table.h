#pragma once
// The device table: five slots, one per command/notify pair that a search found. A slot is
// free while it has no command handle. At most one slot is connected: the current device.
//
// Consistency under concurrency: every read and change of the slots happens under the table's
// lock, and readers get copies. Handles are shared, so retiring (zeroing) a slot only drops
// the table's references and closes the handles; a thread that still works with them keeps
// valid objects whose calls now fail at once. The serial number of an allocation lets a thread
// act on "its" slot only while the slot has not been retired and reused meanwhile.
#include "device/hid_transport.h"

#include <array>
#include <chrono>
#include <condition_variable>
#include <cstdint>
#include <functional>
#include <memory>
#include <mutex>
#include <string>
#include <utility>
#include <vector>

namespace zorvan {

constexpr int kDeviceTableSlots = 5;

// The stop flag of a slot's identification thread and the stop event of its reader thread.
class SlotControl {
public:
    void RequestStop();
    bool StopRequested() const;
    // Sleeps for `duration` unless a stop is requested first; true when stopped.
    bool SleepUnlessStopped(std::chrono::milliseconds duration);

private:
    mutable std::mutex mutex_;
    std::condition_variable changed_;
    bool stop_ = false;
};

struct DeviceSlot {
    HidHandlePtr hCmd;
    HidHandlePtr hNotify;
    int32_t CID = 0;
    int32_t MID = 0;
    int32_t VID = 0;
    int32_t PID = 0;
    int32_t version = 0;
    bool connected = false;
    std::string cmdPath;
    std::string notifyPath;
    std::shared_ptr<SlotControl> control;
    uint64_t serial = 0;

    bool Free() const { return hCmd == nullptr; }
};

class DeviceTable {
public:
    struct Allocation {
        int index = -1;  // -1: every slot is in use
        uint64_t serial = 0;
    };

    struct Identification {
        enum class Outcome {
            kIdentified,
            kDuplicate,  // another slot holds the same model under PID: this pair was closed
            kGone,       // the slot was retired meanwhile
        };
        Outcome outcome = Outcome::kGone;
        int retiredDuplicate = -1;  // the slot of the same model under PID2 that gave way
        int retiredCurrent = -1;    // the previous current slot
    };

    // Takes the first free slot for a pair; the ids are those the enumeration saw (identification
    // reads them again).
    Allocation Allocate(HidHandlePtr cmd, HidHandlePtr notify, const std::string& cmdPath,
                        const std::string& notifyPath, const HidAttributes& ids);
    // A copy of a slot (a free one for an index out of range).
    DeviceSlot Get(int index) const;
    // The first connected slot, or -1.
    int CurrentIndex() const;
    // Some slot holds a command handle.
    bool AnyCommandHandle() const;

    // Retiring: stop flag, stop event, both handles closed, slot zeroed.
    void Retire(int index);
    // Retires every slot but the current one in one step, so that an identification finishing
    // meanwhile cannot lose its slot: the current slot's index (-1: none) and a copy of it.
    std::pair<int, DeviceSlot> RetireAllButCurrent();
    // Retires the slot only while it is still the allocation `serial`.
    bool RetireIf(int index, uint64_t serial);
    // Closes and zeroes every connected slot, without signalling it (the device is gone).
    void CloseConnected();
    // Retires every slot (program exit).
    void RetireAll();

    // The last steps of identification, done at once: the duplicate rule between `pid` and
    // `pid2`, retiring the previous current slot, and marking this slot connected with its ids.
    Identification Identify(int index, uint64_t serial, int32_t cid, int32_t mid, const HidAttributes& attributes,
                            uint16_t pid, uint16_t pid2);

private:
    struct Released {
        HidHandlePtr cmd;
        HidHandlePtr notify;
        std::shared_ptr<SlotControl> control;
        bool signal = false;
    };

    // Zeroes a slot (mutex_ held) and returns what must be closed once the lock is released.
    Released TakeLocked(int index, bool signal);
    static void Finish(const std::vector<Released>& released);
    int CurrentIndexLocked() const;
    // Zeroes every slot in use that `wanted` picks (mutex_ held), adding them to `released`.
    void TakeWhereLocked(const std::function<bool(int)>& wanted, std::vector<Released>& released);
    void RetireWhere(const std::function<bool(int)>& wanted);

    mutable std::mutex mutex_;
    std::array<DeviceSlot, kDeviceTableSlots> slots_{};
    uint64_t nextSerial_ = 1;
};

}  // namespace zorvan
