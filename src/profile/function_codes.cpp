#include "profile/function_codes.h"

namespace zorvan {

const std::array<FixedFunctionCode, 14> kFixedFunctionCodes = {{
    {0x01000011, 0x000101, true},   // left click
    {0x01000012, 0x000401, true},   // middle button
    {0x01000013, 0x000201, true},   // right click
    {0x01000014, 0x001001, true},   // forward
    {0x01000015, 0x000801, true},   // back
    {0x01000016, 0x023204, false},  // double click
    {0x01000017, 0x033204, true},   // triple click
    {0x080000A2, 0x000000, true},   // key off
    {0x080000A7, 0x000008, true},   // lighting switch
    {0x080000A8, 0x000202, true},   // DPI up
    {0x080000A9, 0x000302, true},   // DPI down
    {0x080000AA, 0x000102, true},   // DPI cycle
    {0x080000AC, 0x000007, true},   // polling-rate switch
    {0x080000B0, 0x000009, true},   // profile switch
}};

const std::array<ConsumerCode, 18> kConsumerCodes = {{
    {0x04000021, 0x0183},  // AL Consumer Control Configuration
    {0x04000022, 0x00CD},  // Play/Pause
    {0x04000023, 0x00B7},  // Stop
    {0x04000024, 0x00B6},  // Scan Previous Track
    {0x04000025, 0x00B5},  // Scan Next Track
    {0x04000026, 0x00E9},  // Volume Increment
    {0x04000027, 0x00EA},  // Volume Decrement
    {0x04000028, 0x00E2},  // Mute
    {0x03000030, 0x018A},  // AL Email Reader
    {0x03000031, 0x0192},  // AL Calculator
    {0x03000032, 0x0194},  // AL Local Machine Browser
    {0x03000033, 0x0221},  // AC Search
    {0x03000034, 0x0223},  // AC Home
    {0x03000035, 0x0224},  // AC Back
    {0x03000036, 0x0225},  // AC Forward
    {0x03000037, 0x0226},  // AC Stop
    {0x03000038, 0x0227},  // AC Refresh
    {0x03000039, 0x022A},  // AC Bookmarks
}};

uint16_t ConsumerUsage(uint32_t dwFunID)
{
    // The code selects the usage; classes 3 and 4 share one table.
    for (const ConsumerCode& c : kConsumerCodes) {
        if ((c.dwFunID & 0xFFFFFF) == (dwFunID & 0xFFFFFF))
            return c.usage;
    }
    return kNoConsumerUsage;
}

std::optional<uint32_t> ConsumerFunction(uint16_t usage)
{
    for (const ConsumerCode& c : kConsumerCodes) {
        if (c.usage == usage)
            return c.dwFunID;
    }
    return std::nullopt;
}

}  // namespace zorvan
