#include "device/hidraw/hidraw_backend.h"

#include "app/log.h"
#include "device/hidraw/hidraw_handle.h"
#include "device/hidraw/report_descriptor.h"
#include "device/hidraw/udev_monitor.h"

#include <fcntl.h>
#include <libudev.h>
#include <linux/hidraw.h>
#include <sys/eventfd.h>
#include <sys/ioctl.h>

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <regex>

namespace zorvan {
namespace {

struct UdevDeleter {
    void operator()(udev* u) const { udev_unref(u); }
    void operator()(udev_enumerate* e) const { udev_enumerate_unref(e); }
    void operator()(udev_device* d) const { udev_device_unref(d); }
};
template <typename T>
using UdevPtr = std::unique_ptr<T, UdevDeleter>;

unsigned HexAttribute(udev_device* device, const char* name)
{
    const char* text = device ? udev_device_get_sysattr_value(device, name) : nullptr;
    return text ? unsigned(std::strtoul(text, nullptr, 16)) : 0;
}

// Vendor and product id from the HID device's "HID_ID=bus:vendor:product".
bool HidIds(udev_device* hid, uint16_t& vendor, uint16_t& product)
{
    const char* id = hid ? udev_device_get_property_value(hid, "HID_ID") : nullptr;
    unsigned bus = 0, v = 0, p = 0;
    if (id == nullptr || std::sscanf(id, "%x:%x:%x", &bus, &v, &p) != 3)
        return false;
    vendor = uint16_t(v);
    product = uint16_t(p);
    return true;
}

// Report lengths through the node itself (HIDIOCGRDESC).
HidError ReadLengths(SysCalls& sys, const char* node, HidInterfaceInfo& info)
{
    const int fd = sys.Open(node, O_RDWR | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0)
        return HidrawError(errno).error;
    int size = 0;
    hidraw_report_descriptor descriptor{};
    HidError result = HidError::kNone;
    if (sys.Ioctl(fd, HIDIOCGRDESCSIZE, &size) < 0 || size < 0 || size > HID_MAX_DESCRIPTOR_SIZE) {
        result = HidError::kOther;
    } else {
        descriptor.size = uint32_t(size);
        if (sys.Ioctl(fd, HIDIOCGRDESC, &descriptor) < 0) {
            result = HidError::kOther;
        } else {
            const ReportLengths lengths = ParseReportLengths(descriptor.value, descriptor.size);
            info.inputReportLength = lengths.input;
            info.featureReportLength = lengths.feature;
        }
    }
    sys.Close(fd);
    return result;
}

}  // namespace

std::string HidrawInterfacePath(uint16_t vendorId, uint16_t productId, int interfaceNumber,
                                const std::string& location, const std::string& node)
{
    char ids[48];
    std::snprintf(ids, sizeof ids, "hid#VID_%04x&PID_%04x&MI_%02x#", vendorId, productId, unsigned(interfaceNumber) & 0xFF);
    return ids + location + "#" + node;
}

std::string HidrawNodeOfPath(const std::string& path)
{
    static const std::regex node(R"(^hid#[^#]*#[^#]*#(/dev/hidraw[0-9]{1,4})$)");
    std::smatch match;
    return std::regex_match(path, match, node) ? match[1].str() : std::string();
}

HidrawBackend::HidrawBackend(SysCalls& sys) : sys_(sys) {}

HidrawBackend::~HidrawBackend() = default;

std::vector<HidInterfaceInfo> HidrawBackend::Enumerate()
{
    std::vector<HidInterfaceInfo> interfaces;
    UdevPtr<udev> context(udev_new());
    if (!context) {
        Log("HID enumeration: udev is not available");
        return interfaces;
    }
    UdevPtr<udev_enumerate> enumerate(udev_enumerate_new(context.get()));
    udev_enumerate_add_match_subsystem(enumerate.get(), "hidraw");
    udev_enumerate_scan_devices(enumerate.get());
    std::map<std::string, uint16_t> versions;
    udev_list_entry* entry = nullptr;
    udev_list_entry_foreach(entry, udev_enumerate_get_list_entry(enumerate.get()))
    {
        UdevPtr<udev_device> raw(udev_device_new_from_syspath(context.get(), udev_list_entry_get_name(entry)));
        const char* node = raw ? udev_device_get_devnode(raw.get()) : nullptr;
        udev_device* hid = raw ? udev_device_get_parent_with_subsystem_devtype(raw.get(), "hid", nullptr) : nullptr;
        HidInterfaceInfo info;
        if (node == nullptr || !HidIds(hid, info.attributes.vendorId, info.attributes.productId))
            continue;
        udev_device* usbInterface = udev_device_get_parent_with_subsystem_devtype(raw.get(), "usb", "usb_interface");
        udev_device* usbDevice = udev_device_get_parent_with_subsystem_devtype(raw.get(), "usb", "usb_device");
        info.attributes.version = uint16_t(HexAttribute(usbDevice, "bcdDevice"));
        const char* location = udev_device_get_sysname(usbDevice ? usbDevice : hid);
        info.path = HidrawInterfacePath(info.attributes.vendorId, info.attributes.productId,
                                        int(HexAttribute(usbInterface, "bInterfaceNumber")), location ? location : "",
                                        node);
        info.openError = ReadLengths(sys_, node, info);
        versions[node] = info.attributes.version;
        interfaces.push_back(std::move(info));
    }
    std::lock_guard lock(mutex_);
    versions_ = std::move(versions);
    return interfaces;
}

HidHandlePtr HidrawBackend::Open(const std::string& path, HidAccess access, HidStatus& status)
{
    const std::string node = HidrawNodeOfPath(path);
    if (node.empty()) {
        status = {HidError::kOther, ENOENT};
        return nullptr;
    }
    const int fd = sys_.Open(node.c_str(), (access == HidAccess::kRead ? O_RDONLY : O_WRONLY) | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0) {
        status = HidrawError(errno);
        return nullptr;
    }
    const int wakeFd = sys_.EventFd(0, EFD_NONBLOCK | EFD_CLOEXEC);
    if (wakeFd < 0) {
        status = HidrawError(errno);
        sys_.Close(fd);
        return nullptr;
    }
    uint16_t version = 0;
    {
        std::lock_guard lock(mutex_);
        if (const auto found = versions_.find(node); found != versions_.end())
            version = found->second;
    }
    status = {};
    return std::make_shared<HidrawHandle>(sys_, fd, wakeFd, version);
}

void HidrawBackend::WatchDeviceChanges(QObject* context, DeviceChangeHandler handler)
{
    monitor_.reset();
    if (context != nullptr && handler)
        monitor_ = std::make_unique<UdevMonitor>(context, std::move(handler));
}

}  // namespace zorvan
