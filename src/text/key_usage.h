#pragma once
// HID keyboard usages <-> the program's virtual-key codes: 104 pairs searched in table order.
#include <array>
#include <cstdint>
#include <utility>

namespace zorvan {

struct UsagePair {
    uint8_t usage;
    uint8_t vk;
};

extern const std::array<UsagePair, 104> kUsageTable;

// Virtual key of a usage, 0 when the usage has no pair (first pair in table order).
uint8_t UsageToVk(unsigned usage);
// Usage of a virtual key, 0 when the key has no pair (first pair in table order).
uint8_t VkToUsage(unsigned vk);

}  // namespace zorvan
