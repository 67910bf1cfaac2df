#pragma once
// The encodings of the EEPROM areas of the active profile (addresses in device/eeprom_map.h):
// free functions between profile values and bytes. The settings writer encodes with them, the
// profile read and the event handling decode with them, and the emulated mouse's factory
// content is built from them.
#include "profile/profile_record.h"

#include <array>
#include <cstdint>
#include <optional>
#include <span>
#include <vector>

namespace zorvan {

// Bytes to write at an address of the active profile.
struct EepromPatch {
    uint16_t address = 0;
    std::vector<uint8_t> bytes;
};

// Copies `patch` into `image` (the bytes of one profile from address 0); bytes that would
// fall outside the image are not written.
void ApplyPatch(std::span<uint8_t> image, const EepromPatch& patch);

// A value byte and 0x55 minus it.
std::array<uint8_t, 2> EncodePair(uint8_t value);
// A record value (debounce, a tenth of the sleep time, a lighting mode, ...) as its pair at
// `address`: the nearest byte, 0..255, and 0x55 minus it; a value that is no byte is logged
// ("Set pair at 0x%x: value %d written as %d"). A value from a file may be anything; cut to
// its low byte it would become another setting (a debounce of 300 ms would be written as 44,
// a DPI lighting mode 256 as off). Every pair made from a record value goes through here.
std::array<uint8_t, 2> EncodeValuePair(int32_t value, uint16_t address);

// Polling rate: record value (kRate125..kRate1000) <-> mouse byte (8, 4, 2, 1). Any other
// value has no encoding.
std::optional<uint8_t> PollingRateByte(int32_t rate);
std::optional<int32_t> PollingRateOfByte(uint8_t byte);

// A DPI level's register codes and range flags (sensor tables).
struct DpiRegisters {
    int xCode = 0;
    int yCode = 0;
    int xFlag = 0;
    int yFlag = 0;
    friend bool operator==(const DpiRegisters&, const DpiRegisters&) = default;
};

// The codes and flags of the values x and y on `sensor`.
DpiRegisters DpiRegistersOf(int32_t sensor, int x, int y);
// The 4-byte entry: X code low byte, Y code low byte, flags, group check. The flags byte of
// the sensor 0x3395 carries the code bits 8-9 and one-bit range flags; other sensors keep
// their range flags in bits 0-3 (X) and 4-7 (Y).
std::array<uint8_t, 4> PackDpiEntry(int32_t sensor, const DpiRegisters& registers);
DpiRegisters UnpackDpiEntry(std::span<const uint8_t, 4> entry);
// PackDpiEntry of the level's X and Y values.
std::array<uint8_t, 4> EncodeDpiLevel(int32_t sensor, const DpiLevelRecord& level);

// A colour (c0 in the low byte) as c0, c1, c2 and their group check; back from c0, c1, c2.
std::array<uint8_t, 4> EncodeColourEntry(int32_t colour);
int32_t DecodeColour(std::span<const uint8_t, 3> c);

// DPI lighting effect at 0x4C: mode pair, speed-byte pair, parameter pair; mode 0 writes only
// the pair 00 55.
EepromPatch EncodeDpiEffect(int32_t mode, int32_t speedIndex, int32_t parameter);
struct DpiEffect {
    int32_t mode = 0;
    int32_t speed = 1;  // index 1..10
    int32_t parameter = 0;
};
// From the 6 bytes at 0x4C; a speed byte outside the table gives index 1.
DpiEffect DecodeDpiEffect(std::span<const uint8_t, 6> bytes);

// Logo lighting at 0x54 (10 bytes); mode 0 writes only the mode pair 00 55 at 0x58.
EepromPatch EncodeLogoLight(const LightingBlock& logo);
// The logo block from the 10 bytes at 0x54, with the profile read's log lines.
void EEPROM_To_LogoRGB(std::span<const uint8_t, 10> e, LightingBlock& logo);

// Main lighting at 0xA0 (7 bytes). Off keeps the colour, speed and brightness bytes the mouse
// holds: `stored` (the 7 bytes read from 0xA0) with the off mode byte and a new check.
std::array<uint8_t, 7> EncodeMainLight(const LightingBlock& main, std::span<const uint8_t, 7> stored);
// The main block from the 8 bytes at 0xA0, with the profile read's log lines.
void EEPROM_To_MainRGB(std::span<const uint8_t, 8> e, LightingBlock& main);

// Key matrix entry: b0, b1, b2 of the hardware code and their group check; a missing code
// (-1) becomes FF FF FF.
std::array<uint8_t, 4> EncodeMatrixEntry(int32_t code);
// The 24-bit hardware code of an entry.
uint32_t DecodeMatrixEntry(std::span<const uint8_t, 4> entry);

}  // namespace zorvan
