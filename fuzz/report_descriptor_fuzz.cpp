// The HID report descriptor parser over arbitrary bytes: the descriptor comes from the device, so
// it may be anything. The lengths stay within the cap of the largest possible report.
#include "device/hidraw/report_descriptor.h"

#include <cstdint>
#include <cstdlib>
#include <initializer_list>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    constexpr int kLargest = (1 << 21) + 1;  // 2^24 bits and the report id byte
    const zorvan::ReportLengths lengths = zorvan::ParseReportLengths(data, size);
    for (const int length : {lengths.input, lengths.output, lengths.feature}) {
        if (length < 0 || length > kLargest)
            std::abort();
    }
    return 0;
}
