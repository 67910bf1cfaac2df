#pragma once
// Where the active profile's settings live in the mouse's EEPROM, and the check values that
// guard them. Shared by the profile codecs and the emulated mouse's firmware model.
#include <array>
#include <cstddef>
#include <cstdint>

namespace zorvan::eeprom {

// Addresses of the areas (one on-board profile).
constexpr uint16_t kPollingRate = 0x00;     // pair: 1 = 1000, 2 = 500, 4 = 250, 8 = 125 reports/s
constexpr uint16_t kDpiLevelCount = 0x02;   // pair: 1..8
constexpr uint16_t kCurrentDpiLevel = 0x04; // pair: 0-based
constexpr uint16_t kLod = 0x0A;             // pair
constexpr uint16_t kDpiLevels = 0x0C;       // 8 x 4: X code, Y code, flags, group check
constexpr uint16_t kDpiColours = 0x2C;      // 8 x 4: c0, c1, c2, group check
constexpr uint16_t kDpiEffect = 0x4C;       // mode pair, speed pair, parameter pair
constexpr uint16_t kLogoLight = 0x54;       // c0 c1 c2 check, mode pair, brightness pair, speed pair
constexpr uint16_t kLogoMode = 0x58;
constexpr uint16_t kKeyMatrix = 0x60;       // 16 x 4: b0, b1, b2, group check
constexpr uint16_t kMainLight = 0xA0;       // mode, c0, c1, c2, speed, brightness, group check
constexpr uint16_t kDebounce = 0xA9;        // pair (ms)
constexpr uint16_t kSleepTime = 0xAD;       // pair: a tenth of the seconds
constexpr uint16_t kAngleSnapping = 0xAF;   // pair
constexpr uint16_t kRipple = 0xB1;          // pair
constexpr uint16_t kLightOffMoving = 0xB3;  // pair
constexpr uint16_t kBaseAreaEnd = 0xBE;     // the base area read is 00..BD
constexpr uint16_t kComboBlocks = 0x100;    // 16 x 32, block p-1 for matrix position p
constexpr uint16_t kComboBlockSize = 32;
constexpr uint16_t kMacroBlocks = 0x300;    // 16 x 384, block p-1 for matrix position p
constexpr uint16_t kMacroBlockSize = 0x180;
constexpr uint16_t kProfileSize = 0x1B00;   // one on-board profile: addresses 0x000..0x1AFF

constexpr int kOnBoardProfiles = 4;         // the mouse keeps four profiles; one is active

// The EEPROM content of one on-board profile, and of all four (the mouse's factory content).
using ProfileImage = std::array<uint8_t, kProfileSize>;
using ProfileImages = std::array<ProfileImage, kOnBoardProfiles>;

constexpr uint16_t ComboBlockAddress(int position) { return uint16_t(kComboBlocks + kComboBlockSize * (position - 1)); }
constexpr uint16_t MacroBlockAddress(int position) { return uint16_t(kMacroBlocks + kMacroBlockSize * (position - 1)); }

// 0x55 minus the sum of `n` bytes, modulo 256: the check value used everywhere.
constexpr uint8_t GroupCheck(const uint8_t* bytes, size_t n)
{
    unsigned sum = 0;
    for (size_t i = 0; i < n; ++i)
        sum += bytes[i];
    return uint8_t(0x55 - sum);
}

// A value byte followed by 0x55 minus it.
constexpr uint8_t PairCheck(uint8_t value)
{
    return uint8_t(0x55 - value);
}

}  // namespace zorvan::eeprom
