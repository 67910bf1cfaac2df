#pragma once
// The profile record: one complete set of mouse settings, 2104 bytes. It is stored byte for
// byte in the local profile store and in exported profile files, so its layout is a file
// format: little-endian, every offset fixed.
#include "app/key_assignment.h"

#include <cstddef>
#include <cstdint>
#include <string_view>

namespace zorvan {

constexpr uint32_t kProfileMagic = 0xFCAA1234;
constexpr int kProfileNameUnits = 20;  // UTF-16 units of the name field, terminator included
constexpr int kProfileNameMaxChars = 19;
constexpr int kDpiLevels = 8;

// Polling-rate values as the record stores them: the hexadecimal spelling of reports/second.
constexpr int32_t kRate125 = 0x125;
constexpr int32_t kRate250 = 0x250;
constexpr int32_t kRate500 = 0x500;
constexpr int32_t kRate1000 = 0x1000;

struct DpiLevelRecord {
    int32_t x;       // horizontal DPI value
    int32_t y;       // vertical DPI value; equals x unless X and Y are edited separately
    int32_t colour;  // c0 (red) in bits 0-7, c1 in 8-15, c2 in 16-23
    int32_t hidden;  // 1: level not in use
};

// Main and logo lighting. Main: mode 0..6, speed and brightness are indexes 1..10 into the
// lighting tables. Logo: mode 0..3, speed 1..5 raw, brightness index 1..10.
struct LightingBlock {
    int32_t mode;
    int32_t speed;
    int32_t brightness;
    int32_t colour;
    uint8_t reserved[40];
};

struct ProfileRecord {
    uint32_t magic;                 // kProfileMagic
    uint32_t id;                    // time-stamp id; 0 marks an invalid record
    uint8_t reserved1[520];
    char16_t name[kProfileNameUnits];
    int32_t currentKeySet;          // 0..2: which key table is in use
    KeyAssignment Key[kKeySets][kKeysPerSet];
    int32_t pollingRate;            // kRate125 .. kRate1000
    int32_t wheelLines;             // system pointer settings ...
    int32_t doubleClickTime;
    int32_t pointerSpeed;
    int32_t enhancePrecision;
    int32_t pointerTrails;          // ... up to here
    int32_t xySeparate;
    DpiLevelRecord dpiLevels[kDpiLevels];
    int32_t savedDpiLevel;          // written on export, read back on import
    int32_t sensor;
    int32_t dpiLevelCount;          // 1..8
    int32_t lod;
    int32_t ripple;
    int32_t angleSnapping;
    int32_t sleepTime;              // seconds
    int32_t debounce;               // milliseconds
    int32_t lightOffMoving;
    int32_t dpiEffectMode;
    int32_t dpiEffectParameter;
    int32_t dpiEffectSpeed;         // index 1..10
    uint8_t reserved2[44];
    LightingBlock mainLight;
    LightingBlock logoLight;
    uint8_t reserved3[20];

    // A record that the store and the import accept.
    bool IsValid() const { return magic == kProfileMagic && id != 0; }

    // The key set in use, 0 when the stored index is not one of the three tables.
    int KeySetIndex() const { return currentKeySet >= 0 && currentKeySet < kKeySets ? currentKeySet : 0; }

    // Key `key` of set `set`; nullptr when either index is outside the tables.
    KeyAssignment* KeyAt(int set, int key)
    {
        return InTables(set, key) ? &Key[set][key] : nullptr;
    }
    const KeyAssignment* KeyAt(int set, int key) const
    {
        return InTables(set, key) ? &Key[set][key] : nullptr;
    }
    // Key `key` of the key set in use (see KeySetIndex); nullptr when `key` is not 0..15.
    KeyAssignment* CurrentKey(int key) { return KeyAt(KeySetIndex(), key); }
    const KeyAssignment* CurrentKey(int key) const { return KeyAt(KeySetIndex(), key); }

    // The number of DPI levels in use, kept to 1..8 whatever the stored count says.
    int LevelCount() const { return dpiLevelCount < 1 ? 1 : (dpiLevelCount > kDpiLevels ? kDpiLevels : dpiLevelCount); }
    // Level `level` (0..7); nullptr outside the eight records.
    DpiLevelRecord* DpiLevel(int level) { return level >= 0 && level < kDpiLevels ? &dpiLevels[level] : nullptr; }
    const DpiLevelRecord* DpiLevel(int level) const
    {
        return level >= 0 && level < kDpiLevels ? &dpiLevels[level] : nullptr;
    }

    // The name up to its terminator (at most 20 units).
    std::u16string_view Name() const
    {
        size_t n = 0;
        while (n < size_t(kProfileNameUnits) && name[n] != 0)
            ++n;
        return {name, n};
    }
    // Stores at most 19 units and the terminator; the rest of the field becomes 0.
    void SetName(std::u16string_view text)
    {
        const size_t n = text.size() < size_t(kProfileNameMaxChars) ? text.size() : size_t(kProfileNameMaxChars);
        for (size_t i = 0; i < size_t(kProfileNameUnits); ++i)
            name[i] = i < n ? text[i] : u'\0';
    }

private:
    static bool InTables(int set, int key) { return set >= 0 && set < kKeySets && key >= 0 && key < kKeysPerSet; }
};

static_assert(sizeof(DpiLevelRecord) == 16);
static_assert(offsetof(DpiLevelRecord, x) == 0);
static_assert(offsetof(DpiLevelRecord, y) == 4);
static_assert(offsetof(DpiLevelRecord, colour) == 8);
static_assert(offsetof(DpiLevelRecord, hidden) == 12);

static_assert(sizeof(LightingBlock) == 56);
static_assert(offsetof(LightingBlock, mode) == 0);
static_assert(offsetof(LightingBlock, speed) == 4);
static_assert(offsetof(LightingBlock, brightness) == 8);
static_assert(offsetof(LightingBlock, colour) == 12);
static_assert(offsetof(LightingBlock, reserved) == 16);

static_assert(sizeof(ProfileRecord) == 2104);
static_assert(offsetof(ProfileRecord, magic) == 0);
static_assert(offsetof(ProfileRecord, id) == 4);
static_assert(offsetof(ProfileRecord, reserved1) == 8);
static_assert(offsetof(ProfileRecord, name) == 528);
static_assert(offsetof(ProfileRecord, currentKeySet) == 568);
static_assert(offsetof(ProfileRecord, Key) == 572);
static_assert(offsetof(ProfileRecord, Key[1][0]) == 572 + 384);
static_assert(offsetof(ProfileRecord, Key[2][3]) == 572 + 384 * 2 + 24 * 3);
static_assert(offsetof(ProfileRecord, pollingRate) == 1724);
static_assert(offsetof(ProfileRecord, wheelLines) == 1728);
static_assert(offsetof(ProfileRecord, doubleClickTime) == 1732);
static_assert(offsetof(ProfileRecord, pointerSpeed) == 1736);
static_assert(offsetof(ProfileRecord, enhancePrecision) == 1740);
static_assert(offsetof(ProfileRecord, pointerTrails) == 1744);
static_assert(offsetof(ProfileRecord, xySeparate) == 1748);
static_assert(offsetof(ProfileRecord, dpiLevels) == 1752);
static_assert(offsetof(ProfileRecord, savedDpiLevel) == 1880);
static_assert(offsetof(ProfileRecord, sensor) == 1884);
static_assert(offsetof(ProfileRecord, dpiLevelCount) == 1888);
static_assert(offsetof(ProfileRecord, lod) == 1892);
static_assert(offsetof(ProfileRecord, ripple) == 1896);
static_assert(offsetof(ProfileRecord, angleSnapping) == 1900);
static_assert(offsetof(ProfileRecord, sleepTime) == 1904);
static_assert(offsetof(ProfileRecord, debounce) == 1908);
static_assert(offsetof(ProfileRecord, lightOffMoving) == 1912);
static_assert(offsetof(ProfileRecord, dpiEffectMode) == 1916);
static_assert(offsetof(ProfileRecord, dpiEffectParameter) == 1920);
static_assert(offsetof(ProfileRecord, dpiEffectSpeed) == 1924);
static_assert(offsetof(ProfileRecord, reserved2) == 1928);
static_assert(offsetof(ProfileRecord, mainLight) == 1972);
static_assert(offsetof(ProfileRecord, logoLight) == 2028);
static_assert(offsetof(ProfileRecord, reserved3) == 2084);

}  // namespace zorvan
