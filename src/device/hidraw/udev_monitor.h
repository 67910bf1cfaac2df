#pragma once
// USB device arrivals and removals (and those of HID devices off USB) from a udev monitor, read
// through a socket notifier on the thread that creates it (no thread of its own, no polling).
// With udevd running it listens to udev's events (the nodes and their permissions are ready by
// then); without udevd (containers, small systems) to the kernel's own.
#include "device/hid_transport.h"

#include <QObject>

#include <memory>

struct udev;
struct udev_monitor;
class QSocketNotifier;

namespace zorvan {

class UdevMonitor {
public:
    // Create it on the thread of `context`; `handler` runs there while `context` lives.
    UdevMonitor(QObject* context, DeviceChangeHandler handler);
    ~UdevMonitor();
    UdevMonitor(const UdevMonitor&) = delete;
    UdevMonitor& operator=(const UdevMonitor&) = delete;

private:
    void Receive();

    DeviceChangeHandler handler_;
    udev* udev_ = nullptr;
    udev_monitor* monitor_ = nullptr;
    std::unique_ptr<QSocketNotifier> notifier_;
};

// The name of a USB device as the device-change handling matches it:
// "USB#VID_xxxx&PID_xxxx#<sysname>", from the PRODUCT property "vid/pid/bcd" of its event.
std::string UsbDeviceName(const char* product, const char* sysname);
// A HID device off USB (Bluetooth, I2C, uhid) has no USB device to announce it, so its own
// event stands in, named the same way from HID_ID "bus:vendor:product". "" for a HID device
// on USB: its USB device's event already told.
std::string NonUsbHidDeviceName(const char* hidId, const char* sysname);

}  // namespace zorvan
