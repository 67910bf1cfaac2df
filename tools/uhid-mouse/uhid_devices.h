#pragma once
// The three HID devices the uhid mouse shows the kernel, as a receiver shows its interfaces:
// an unrelated vendor interface (17-byte input and feature reports that nobody answers, which
// discovery must pass over), the command interface (feature report 8, 17 bytes with its id)
// and the notify interface (input report 9, 17 bytes with its id). The kernel reads the report
// lengths from these descriptors, as it would from a real mouse.
#include <linux/uhid.h>

#include <cstddef>
#include <cstdint>
#include <span>

namespace zorvan {

enum class UhidRole { kUnrelated, kCommand, kNotify };
constexpr size_t kUhidRoles = 3;
constexpr UhidRole kAllUhidRoles[kUhidRoles] = {UhidRole::kUnrelated, UhidRole::kCommand, UhidRole::kNotify};

struct UhidIds {
    uint16_t vendorId = 0;
    uint16_t productId = 0;
    uint16_t version = 0;
};

std::span<const uint8_t> UhidReportDescriptor(UhidRole role);

// "Zorvan emulated mouse: command interface", … (HID_NAME of the device in sysfs).
const char* UhidDeviceName(UhidRole role);

// The request that creates the device of `role`. Its bus is BUS_VIRTUAL: no USB device stands
// above a uhid device, and the program's device monitor follows HID devices off USB by their
// own events.
uhid_event UhidCreateEvent(UhidRole role, const UhidIds& ids);

}  // namespace zorvan
