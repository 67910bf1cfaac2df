#include "device/report_frame.h"

#include <gtest/gtest.h>

#include <numeric>

namespace zorvan {
namespace {

struct FrameCase {
    const char* name;
    Payload payload;
    uint8_t check;
};

TEST(ReportFrame, CheckByteMakesTheFrameSumTo0x55)
{
    const FrameCase cases[] = {
        {"bare command 3", Payload{3}, 0x4A},
        {"empty payload", Payload{}, 0x4D},
        {"read 10 bytes at 0x1AF6", Payload{8, 0, 0x1A, 0xF6, 10}, uint8_t(0x55 - (8 + 8 + 0x1A + 0xF6 + 10))},
        {"all 0xFF wraps", [] { Payload p; p.fill(0xFF); return p; }(), uint8_t(0x55 - (8 + 15 * 0xFF))},
    };
    for (const FrameCase& c : cases) {
        SCOPED_TRACE(c.name);
        const HidReport frame = BuildFeatureReport(c.payload);
        EXPECT_EQ(frame[0], kFeatureReportId);
        EXPECT_TRUE(std::equal(c.payload.begin(), c.payload.end(), frame.begin() + 1));
        EXPECT_EQ(frame[16], c.check);
        EXPECT_EQ(uint8_t(std::accumulate(frame.begin(), frame.end(), 0u)), 0x55);
    }
}

TEST(ReportFrame, ProbeIsCommand3WithZeroCheckByte)
{
    const HidReport expected = {0x08, 0x03, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0};
    EXPECT_EQ(ProbeReport(), expected);
}

TEST(ReportFrame, PayloadCarriesAddressHighFirstAndAtMostTenDataBytes)
{
    const uint8_t data[12] = {1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12};
    const Payload payload = MakePayload(kCmdWriteEEPROM, 0x1234, data, sizeof data);
    const Payload expected = {7, 0, 0x12, 0x34, 10, 1, 2, 3, 4, 5, 6, 7, 8, 9, 10};
    EXPECT_EQ(payload, expected);
}

}  // namespace
}  // namespace zorvan
