#include "text/key_usage.h"

#include <cstddef>

namespace zorvan {
namespace {

constexpr std::array<UsagePair, 104> BuildTable()
{
    std::array<UsagePair, 104> t{};
    std::size_t n = 0;
    auto add = [&](unsigned usage, unsigned vk) { t[n++] = UsagePair{uint8_t(usage), uint8_t(vk)}; };
    add(0x29, 0x1B);                                      // Escape
    for (unsigned i = 0; i < 12; ++i) add(0x3A + i, 0x70 + i);  // F1..F12
    for (unsigned i = 0; i < 26; ++i) add(0x04 + i, 0x41 + i);  // A..Z
    for (unsigned i = 0; i < 9; ++i) add(0x1E + i, 0x31 + i);   // 1..9
    add(0x27, 0x30);                                      // 0
    constexpr unsigned misc[][2] = {{0x2B, 0x09}, {0x39, 0x14}, {0x28, 0x0D}, {0x2A, 0x08}, {0x2C, 0x20},
                                    {0x2F, 0xDB}, {0x30, 0xDD}, {0x31, 0xDC}, {0x33, 0xBA}, {0x34, 0xDE},
                                    {0x36, 0xBC}, {0x37, 0xBE}, {0x38, 0xBF}, {0x35, 0xC0}, {0x2E, 0xBB},
                                    {0x2D, 0xBD}, {0x46, 0x2C}, {0x47, 0x91}, {0x48, 0x13}, {0x49, 0x2D},
                                    {0x4A, 0x24}, {0x4B, 0x21}, {0x4C, 0x2E}, {0x4D, 0x23}, {0x4E, 0x22},
                                    {0x52, 0x26}, {0x51, 0x28}, {0x50, 0x25}, {0x4F, 0x27}};
    for (const auto& p : misc) add(p[0], p[1]);
    for (unsigned i = 0; i < 9; ++i) add(0x59 + i, 0x61 + i);  // keypad 1..9
    add(0x62, 0x60);                                      // keypad 0
    constexpr unsigned keypad[][2] = {{0x57, 0x6B}, {0x56, 0x6D}, {0x55, 0x6A}, {0x54, 0x6F},
                                      {0x53, 0x90}, {0x58, 0x0D}, {0x63, 0x6E}};
    for (const auto& p : keypad) add(p[0], p[1]);
    constexpr unsigned modifiers[] = {0xA2, 0xA0, 0xA4, 0x5B, 0xA3, 0xA1, 0xA5, 0x5C};
    for (unsigned i = 0; i < 8; ++i) add(0xE0 + i, modifiers[i]);
    add(0x65, 0x5D);                                      // Application
    return t;
}

}  // namespace

const std::array<UsagePair, 104> kUsageTable = BuildTable();

uint8_t UsageToVk(unsigned usage)
{
    for (const UsagePair& p : kUsageTable) {
        if (p.usage == usage)
            return p.vk;
    }
    return 0;
}

uint8_t VkToUsage(unsigned vk)
{
    for (const UsagePair& p : kUsageTable) {
        if (p.vk == vk)
            return p.usage;
    }
    return 0;
}

}  // namespace zorvan
