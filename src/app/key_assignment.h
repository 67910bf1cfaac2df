#pragma once
// The 24-byte key assignment: what one mouse key does. It is part of the profile record and
// of the device descriptions' default key tables, and is stored byte for byte in profile files.
#include <bit>
#include <cstddef>
#include <cstdint>

namespace zorvan {

static_assert(std::endian::native == std::endian::little, "records are stored little-endian as in memory");

struct KeyAssignment {
    uint32_t dwFunID;      // function class in bits 24-31, function code in bits 0-23
    uint32_t matrix;       // 1..16: position in the mouse's key matrix; 0: none
    uint32_t dwMacroID;    // macro id for class 5, else 0
    uint8_t stCombo[4];    // modifier flags, then up to three virtual-key codes
    uint32_t dwParameter;  // class-dependent parameter
    uint32_t reserved;

    uint32_t Major() const { return dwFunID >> 24; }
    uint32_t Minor() const { return dwFunID & 0xFFFFFF; }
    friend bool operator==(const KeyAssignment&, const KeyAssignment&) = default;
};

static_assert(sizeof(KeyAssignment) == 24);
static_assert(offsetof(KeyAssignment, dwFunID) == 0);
static_assert(offsetof(KeyAssignment, matrix) == 4);
static_assert(offsetof(KeyAssignment, dwMacroID) == 8);
static_assert(offsetof(KeyAssignment, stCombo) == 12);
static_assert(offsetof(KeyAssignment, dwParameter) == 16);
static_assert(offsetof(KeyAssignment, reserved) == 20);

constexpr int kKeySets = 3;
constexpr int kKeysPerSet = 16;

using KeyTable = KeyAssignment[kKeySets][kKeysPerSet];

}  // namespace zorvan
