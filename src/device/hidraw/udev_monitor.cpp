#include "device/hidraw/udev_monitor.h"

#include "app/log.h"

#include <QSocketNotifier>

#include <libudev.h>
#include <linux/input.h>
#include <unistd.h>

#include <cstdio>
#include <cstring>

namespace zorvan {

std::string UsbDeviceName(const char* product, const char* sysname)
{
    unsigned vendor = 0, id = 0;
    if (product == nullptr || std::sscanf(product, "%x/%x", &vendor, &id) != 2)
        return {};
    char name[64];
    std::snprintf(name, sizeof name, "USB#VID_%04x&PID_%04x#", vendor & 0xFFFF, id & 0xFFFF);
    return name + std::string(sysname ? sysname : "");
}

std::string NonUsbHidDeviceName(const char* hidId, const char* sysname)
{
    unsigned bus = 0, vendor = 0, id = 0;
    if (hidId == nullptr || std::sscanf(hidId, "%x:%x:%x", &bus, &vendor, &id) != 3 || bus == BUS_USB)
        return {};
    char name[64];
    std::snprintf(name, sizeof name, "USB#VID_%04x&PID_%04x#", vendor & 0xFFFF, id & 0xFFFF);
    return name + std::string(sysname ? sysname : "");
}

UdevMonitor::UdevMonitor(QObject* context, DeviceChangeHandler handler) : handler_(std::move(handler))
{
    udev_ = udev_new();
    if (udev_ == nullptr) {
        Log("Device monitor: udev is not available; plugging is not followed");
        return;
    }
    const bool udevd = access("/run/udev/control", F_OK) == 0;
    monitor_ = udev_monitor_new_from_netlink(udev_, udevd ? "udev" : "kernel");
    if (monitor_ == nullptr || udev_monitor_filter_add_match_subsystem_devtype(monitor_, "usb", "usb_device") < 0 ||
        udev_monitor_filter_add_match_subsystem_devtype(monitor_, "hid", nullptr) < 0 ||
        udev_monitor_enable_receiving(monitor_) < 0) {
        Log("Device monitor: cannot listen to %s events; plugging is not followed", udevd ? "udev" : "kernel");
        return;
    }
    notifier_ = std::make_unique<QSocketNotifier>(udev_monitor_get_fd(monitor_), QSocketNotifier::Read);
    QObject::connect(notifier_.get(), &QSocketNotifier::activated, context, [this] { Receive(); });
}

UdevMonitor::~UdevMonitor()
{
    notifier_.reset();
    if (monitor_)
        udev_monitor_unref(monitor_);
    if (udev_)
        udev_unref(udev_);
}

void UdevMonitor::Receive()
{
    udev_device* device = udev_monitor_receive_device(monitor_);
    if (device == nullptr)
        return;
    const char* action = udev_device_get_action(device);
    DeviceChange change;
    const bool arrival = action && std::strcmp(action, "add") == 0;
    const bool removal = action && std::strcmp(action, "remove") == 0;
    change.kind = arrival ? DeviceChange::Kind::kArrival : DeviceChange::Kind::kRemoval;
    const char* subsystem = udev_device_get_subsystem(device);
    const char* sysname = udev_device_get_sysname(device);
    change.name = subsystem && std::strcmp(subsystem, "hid") == 0
                      ? NonUsbHidDeviceName(udev_device_get_property_value(device, "HID_ID"), sysname)
                      : UsbDeviceName(udev_device_get_property_value(device, "PRODUCT"), sysname);
    udev_device_unref(device);
    if ((arrival || removal) && !change.name.empty())
        handler_(change);
}

}  // namespace zorvan
