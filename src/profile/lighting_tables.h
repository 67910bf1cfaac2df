#pragma once
// Lighting values: the profile keeps indexes 1..10, the mouse keeps the byte of the table.
#include <array>
#include <cstdint>

namespace zorvan {

using LightingTable = std::array<uint8_t, 10>;

constexpr LightingTable kMainSpeedTable = {255, 230, 210, 190, 170, 150, 130, 110, 70, 40};
constexpr LightingTable kMainSpeedTableMode3 = {10, 9, 8, 7, 6, 5, 4, 3, 2, 1};
constexpr LightingTable kBrightnessTable = {45, 50, 75, 100, 125, 150, 175, 200, 225, 255};
constexpr LightingTable kBrightnessTableMode3 = {72, 92, 112, 132, 152, 172, 192, 212, 232, 252};
constexpr LightingTable kDpiEffectSpeedTable = {16, 30, 60, 90, 128, 150, 180, 210, 230, 255};

// The byte of index 1..10; an index outside that range (a damaged or foreign profile) is
// taken as the nearest end, never read beyond the table.
constexpr uint8_t TableByte(const LightingTable& table, int index)
{
    const int i = index < 1 ? 1 : (index > 10 ? 10 : index);
    return table[size_t(i - 1)];
}

// The index 1..10 of `byte`, or 0 when the table does not hold it.
constexpr int TableIndex(const LightingTable& table, uint8_t byte)
{
    for (size_t i = 0; i < table.size(); ++i) {
        if (table[i] == byte)
            return int(i) + 1;
    }
    return 0;
}

// Main lighting: profile mode 0..6 <-> the mouse's mode byte.
constexpr std::array<uint8_t, 7> kMainModeBytes = {4, 2, 1, 0, 3, 5, 7};
constexpr uint8_t kMainModeOffByte = 4;
constexpr int kMainMode3 = 3;  // the mode with its own speed and brightness tables

// Profile mode of a mouse mode byte; bytes outside {0, 1, 2, 3, 4, 5, 7} read as 0 (off).
constexpr int MainModeOfByte(uint8_t byte)
{
    for (size_t mode = 0; mode < kMainModeBytes.size(); ++mode) {
        if (kMainModeBytes[mode] == byte)
            return int(mode);
    }
    return 0;
}

constexpr const LightingTable& MainSpeedTable(int mode)
{
    return mode == kMainMode3 ? kMainSpeedTableMode3 : kMainSpeedTable;
}
constexpr const LightingTable& MainBrightnessTable(int mode)
{
    return mode == kMainMode3 ? kBrightnessTableMode3 : kBrightnessTable;
}

}  // namespace zorvan
