#pragma once
// The Linux backend: hidraw nodes found with libudev. An interface's path is
//   "hid#VID_xxxx&PID_xxxx&MI_nn#<USB location>#/dev/hidrawN"
// so it carries the ids as the product's matching expects, names the USB port and interface,
// and ends with the node that Open() uses. The version is bcdDevice of the USB device.
#include "device/hid_transport.h"
#include "device/hidraw/sys_calls.h"

#include <map>
#include <memory>
#include <mutex>
#include <string>

namespace zorvan {

class UdevMonitor;

class HidrawBackend : public HidBackend {
public:
    explicit HidrawBackend(SysCalls& sys = SystemCalls());
    ~HidrawBackend() override;

    std::vector<HidInterfaceInfo> Enumerate() override;
    HidHandlePtr Open(const std::string& path, HidAccess access, HidStatus& status) override;
    void WatchDeviceChanges(QObject* context, DeviceChangeHandler handler) override;

private:
    SysCalls& sys_;
    std::mutex mutex_;
    std::map<std::string, uint16_t> versions_;  // by node, from the last enumeration
    std::unique_ptr<UdevMonitor> monitor_;
};

// The path of an interface, and the node it names ("" when the path is not one of ours).
std::string HidrawInterfacePath(uint16_t vendorId, uint16_t productId, int interfaceNumber,
                                const std::string& location, const std::string& node);
std::string HidrawNodeOfPath(const std::string& path);

}  // namespace zorvan
