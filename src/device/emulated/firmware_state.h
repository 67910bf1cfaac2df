#pragma once
// Everything the emulated mouse remembers, and its state file: a fixed header followed by the
// four on-board profiles. The file lets consecutive zorvanctl calls act on the same mouse.
#include "device/eeprom_map.h"

#include <QString>

#include <cstddef>
#include <cstdint>
#include <optional>
#include <vector>

namespace zorvan {

struct FirmwareState {
    uint8_t cid = 0;
    uint8_t mid = 0;
    uint8_t activeProfile = 0;  // 0..3
    uint8_t battery = 100;      // percent
    bool charging = false;
    bool linked = true;           // the mouse is linked to its receiver
    bool lightingLocked = false;  // lighting changes are refused now
    bool windowShown = false;     // what command 2 told it last
    eeprom::ProfileImages profiles{};
};

// The state file layout.
struct StateFileHeader {
    char magic[8];  // "ZVEMUST1"
    uint8_t cid;
    uint8_t mid;
    uint8_t activeProfile;
    uint8_t battery;
    uint8_t charging;
    uint8_t linked;
    uint8_t lightingLocked;
    uint8_t windowShown;
};
static_assert(sizeof(StateFileHeader) == 16);
static_assert(offsetof(StateFileHeader, cid) == 8);
static_assert(offsetof(StateFileHeader, windowShown) == 15);

constexpr size_t kStateFileSize = sizeof(StateFileHeader) + sizeof(eeprom::ProfileImages);

std::vector<uint8_t> EncodeFirmwareState(const FirmwareState& state);
// Null when the bytes are not a state file (wrong size or magic, impossible values).
std::optional<FirmwareState> DecodeFirmwareState(const uint8_t* data, size_t size);

// Written whole (temporary file and rename). False with `error` set on failure.
bool SaveFirmwareStateFile(const QString& path, const FirmwareState& state, QString* error);
// Null with `error` set when the file cannot be read or is not a state file.
std::optional<FirmwareState> LoadFirmwareStateFile(const QString& path, QString* error);

}  // namespace zorvan
