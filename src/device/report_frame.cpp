#include "device/report_frame.h"

#include <algorithm>

namespace zorvan {

uint8_t FrameCheckByte(const HidReport& report)
{
    unsigned sum = 0;
    for (size_t i = 0; i + 1 < kHidReportLength; ++i)
        sum += report[i];
    return uint8_t(0x55 - sum);
}

HidReport BuildFeatureReport(const Payload& payload)
{
    HidReport report{};
    report[0] = kFeatureReportId;
    std::copy(payload.begin(), payload.end(), report.begin() + 1);
    report[kHidReportLength - 1] = FrameCheckByte(report);
    return report;
}

Payload MakePayload(uint8_t command, uint16_t address, const uint8_t* data, size_t length)
{
    Payload payload{};
    length = std::min(length, kMaxDataBytes);
    payload[kPayloadCommand] = command;
    payload[kPayloadAddressHigh] = uint8_t(address >> 8);
    payload[kPayloadAddressLow] = uint8_t(address);
    payload[kPayloadLength] = uint8_t(length);
    if (data != nullptr)
        std::copy(data, data + length, payload.begin() + kPayloadData);
    return payload;
}

HidReport ProbeReport()
{
    HidReport report{};
    report[0] = kFeatureReportId;
    report[1] = kCmdGetConnectStatus;
    return report;
}

}  // namespace zorvan
