#pragma once
// What the device tests share: a configuration with one model, factory images with content a
// test can recognise, an event loop, and an emulated mouse with its link opened directly.
#include "app/configuration.h"
#include "device/device_notifier.h"
#include "device/emulated/emulated_bus.h"
#include "device/event_dispatch.h"
#include "device/reply_queue.h"
#include "device/service_thread.h"
#include "device/thread_set.h"
#include "device/usb_driver.h"

#include <QCoreApplication>

#include <chrono>
#include <functional>
#include <memory>
#include <mutex>
#include <utility>
#include <vector>

namespace zorvan::test {

constexpr uint16_t kVid = 0x25A7;
constexpr uint16_t kPid = 0xFA92;
constexpr uint16_t kPid2 = 0xFA99;
constexpr uint8_t kCid = 0x1A;
constexpr uint8_t kMid = 0x01;

// VID/PID/PID2 and Retry as the default cfg.ini has them, and models 1A:01 and 1A:02.
void UseTestConfiguration(int retry = 3);

// Profile p holds byte (p * 0x40 + i * 7) at address i, with level count 3 at 02 and
// current level 0 at 04 (both with their check bytes).
eeprom::ProfileImages TestImages();

// The process's event loop (created on first use).
QCoreApplication& App();
// Runs the event loop until `done` or `timeoutMs`; returns `done()`.
bool RunUntil(const std::function<bool()>& done, int timeoutMs);

// Collects notifications.
class RecordingSink : public EventSink {
public:
    void PostMouseEvent(int value, int kind) override;
    std::vector<std::pair<int, int>> Events() const;

private:
    mutable std::mutex mutex_;
    std::vector<std::pair<int, int>> events_;
};

// One emulated mouse whose command and notify interfaces are open and given to a device link,
// with a reader thread on the notify interface (as after identification).
class LinkedMouse {
public:
    explicit LinkedMouse(std::chrono::milliseconds latency = std::chrono::milliseconds(1));
    ~LinkedMouse();

    EmulatedBus bus;
    std::shared_ptr<MouseFirmware> firmware;
    ReplyQueue replies;
    RecordingSink events;
    CUSBDriver link{nullptr, replies};
    HidHandlePtr cmd;
    HidHandlePtr notify;
    std::shared_ptr<SlotControl> control = std::make_shared<SlotControl>();

    // Feature reports the mouse received since the last call, as (command, address, length).
    std::vector<std::tuple<int, int, int>> TakeRequests();
    // Stops the reader thread (the slot's stop event) and waits for it.
    void StopReader();

private:
    ThreadSet reader_;
    size_t seen_ = 0;
};

}  // namespace zorvan::test
