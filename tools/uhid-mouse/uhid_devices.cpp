#include "uhid-mouse/uhid_devices.h"

#include <linux/input.h>

#include <algorithm>
#include <cstdio>
#include <cstring>

namespace zorvan {
namespace {

// Vendor page 0xFF00..0xFF02, one application collection; 16 data bytes per report.
constexpr uint8_t kCommandDescriptor[] = {
    0x06, 0x00, 0xFF,  // Usage Page (Vendor 0xFF00)
    0x09, 0x01,        // Usage (1)
    0xA1, 0x01,        // Collection (Application)
    0x85, 0x08,        //   Report ID (8)
    0x09, 0x02,        //   Usage (2)
    0x15, 0x00,        //   Logical Minimum (0)
    0x26, 0xFF, 0x00,  //   Logical Maximum (255)
    0x75, 0x08,        //   Report Size (8)
    0x95, 0x10,        //   Report Count (16)
    0xB1, 0x02,        //   Feature (Data, Variable, Absolute)
    0xC0,              // End Collection
};

constexpr uint8_t kNotifyDescriptor[] = {
    0x06, 0x01, 0xFF,  // Usage Page (Vendor 0xFF01)
    0x09, 0x01,        // Usage (1)
    0xA1, 0x01,        // Collection (Application)
    0x85, 0x09,        //   Report ID (9)
    0x09, 0x03,        //   Usage (3)
    0x15, 0x00,        //   Logical Minimum (0)
    0x26, 0xFF, 0x00,  //   Logical Maximum (255)
    0x75, 0x08,        //   Report Size (8)
    0x95, 0x10,        //   Report Count (16)
    0x81, 0x02,        //   Input (Data, Variable, Absolute)
    0xC0,              // End Collection
};

constexpr uint8_t kUnrelatedDescriptor[] = {
    0x06, 0x02, 0xFF,  // Usage Page (Vendor 0xFF02)
    0x09, 0x01,        // Usage (1)
    0xA1, 0x01,        // Collection (Application)
    0x85, 0x08,        //   Report ID (8)
    0x09, 0x02,        //   Usage (2)
    0x15, 0x00,        //   Logical Minimum (0)
    0x26, 0xFF, 0x00,  //   Logical Maximum (255)
    0x75, 0x08,        //   Report Size (8)
    0x95, 0x10,        //   Report Count (16)
    0xB1, 0x02,        //   Feature (Data, Variable, Absolute)
    0x85, 0x09,        //   Report ID (9)
    0x09, 0x03,        //   Usage (3)
    0x95, 0x10,        //   Report Count (16)
    0x81, 0x02,        //   Input (Data, Variable, Absolute)
    0xC0,              // End Collection
};

}  // namespace

std::span<const uint8_t> UhidReportDescriptor(UhidRole role)
{
    switch (role) {
    case UhidRole::kCommand:
        return kCommandDescriptor;
    case UhidRole::kNotify:
        return kNotifyDescriptor;
    case UhidRole::kUnrelated:
        break;
    }
    return kUnrelatedDescriptor;
}

const char* UhidDeviceName(UhidRole role)
{
    switch (role) {
    case UhidRole::kCommand:
        return "Zorvan emulated mouse: command interface";
    case UhidRole::kNotify:
        return "Zorvan emulated mouse: notify interface";
    case UhidRole::kUnrelated:
        break;
    }
    return "Zorvan emulated mouse: unrelated interface";
}

uhid_event UhidCreateEvent(UhidRole role, const UhidIds& ids)
{
    uhid_event event{};
    event.type = UHID_CREATE2;
    uhid_create2_req& create = event.u.create2;
    std::snprintf(reinterpret_cast<char*>(create.name), sizeof create.name, "%s", UhidDeviceName(role));
    std::snprintf(reinterpret_cast<char*>(create.phys), sizeof create.phys, "zorvan-uhid-mouse/input%d", int(role));
    const std::span<const uint8_t> descriptor = UhidReportDescriptor(role);
    create.rd_size = uint16_t(descriptor.size());
    std::copy(descriptor.begin(), descriptor.end(), create.rd_data);
    create.bus = BUS_VIRTUAL;
    create.vendor = ids.vendorId;
    create.product = ids.productId;
    create.version = ids.version;
    return event;
}

}  // namespace zorvan
