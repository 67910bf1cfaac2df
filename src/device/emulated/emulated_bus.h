#pragma once
// The emulated bus: a HID backend that serves emulated mice. Each mouse shows three
// interfaces with its vendor and product id: an unrelated one (17-byte input and feature
// reports that nobody answers, which discovery must pass over), the command interface
// (17-byte feature reports) and the notify interface (17-byte input reports). Answers and
// events travel to every open notify handle after the delay the firmware gives them, through
// one delivery thread that sleeps until the next report is due.
//
// Unplugging a mouse (SetPlugged(false) or a fault) fails its open handles with
// kNotConnected, hides its interfaces and reports a removal; plugging it back reports an
// arrival, and it must be opened anew.
#include "device/emulated/emulated_handle.h"
#include "device/emulated/mouse_firmware.h"
#include "device/hid_transport.h"

#include <QPointer>

#include <chrono>
#include <condition_variable>
#include <cstdint>
#include <map>
#include <memory>
#include <mutex>
#include <thread>
#include <tuple>
#include <vector>

namespace zorvan {

class EmulatedBus : public HidBackend {
public:
    EmulatedBus();
    ~EmulatedBus() override;
    EmulatedBus(const EmulatedBus&) = delete;
    EmulatedBus& operator=(const EmulatedBus&) = delete;

    // Puts a mouse on the bus; returns its index.
    int AddMouse(std::shared_ptr<MouseFirmware> firmware, uint16_t vendorId, uint16_t productId,
                 uint16_t version = 0x0100);
    MouseFirmware& Mouse(int index) const;
    int MouseCount() const;

    // The command and notify interfaces of mouse `index`, opened as a search keeps them: for
    // tests and benchmarks that start from an identified mouse. Null while it is unplugged.
    struct MouseHandles {
        HidHandlePtr cmd;
        HidHandlePtr notify;
    };
    MouseHandles OpenMouse(int index);

    // Handles that are open now (neither closed nor released).
    int OpenHandleCount() const;
    // An input report of any length, as the mouse's notify interface would deliver it now.
    void InjectInputReport(int mouse, const uint8_t* data, size_t length);

    std::vector<HidInterfaceInfo> Enumerate() override;
    HidHandlePtr Open(const std::string& path, HidAccess access, HidStatus& status) override;
    void WatchDeviceChanges(QObject* context, DeviceChangeHandler handler) override;

private:
    struct Port {
        std::shared_ptr<MouseFirmware> firmware;
        HidAttributes attributes;
        bool plugged = true;
        std::vector<std::weak_ptr<EmulatedHandle>> handles;
    };
    struct Pending {
        std::chrono::steady_clock::time_point due;
        uint64_t sequence;
        int mouse;
        HidReport report;
        size_t length;
        bool operator>(const Pending& other) const
        {
            return std::tie(due, sequence) > std::tie(other.due, other.sequence);
        }
    };

    static std::string InterfacePath(int mouse, const HidAttributes& ids, EmulatedRole role);
    void Schedule(int mouse, const HidReport& report, size_t length, std::chrono::milliseconds delay);
    void DeliveryLoop();
    void DeliverNow(int mouse, const HidReport& report, size_t length);
    void OnPlugChanged(int mouse, bool plugged);

    mutable std::mutex mutex_;  // ports, watcher, log ids
    std::vector<Port> ports_;
    QPointer<QObject> watchContext_;
    DeviceChangeHandler watchHandler_;
    int nextLogId_ = 1;

    std::mutex deliveryMutex_;
    std::condition_variable deliveryChanged_;
    std::vector<Pending> pending_;  // a heap, earliest first
    uint64_t sequence_ = 0;
    bool stopping_ = false;
    std::thread delivery_;
};

}  // namespace zorvan
