#pragma once
// Report lengths from a HID report descriptor, counted as the other platform's HID stack
// counts them: the largest report of each kind in bytes, with one byte for the report id
// (also when the device uses no report ids); 0 when the device has no report of that kind.
#include <cstddef>
#include <cstdint>

namespace zorvan {

struct ReportLengths {
    int input = 0;
    int output = 0;
    int feature = 0;
};

// Any bytes are accepted: a truncated or malformed descriptor yields what was read up to the
// fault.
ReportLengths ParseReportLengths(const uint8_t* descriptor, size_t size);

}  // namespace zorvan
