#pragma once
// The area writers of the device link: functions over a CUSBDriver that write one EEPROM
// area of the active profile, each returning the result of its WriteEEPROM. Table areas are
// 4-byte entries: given the mask kWholeTable a writer writes `count` entries from entry 0 in
// pieces of 8 bytes; given another mask it writes exactly the entry of the lowest set bit in
// pieces of 10 bytes; a mask without a bit in range writes nothing and succeeds.
#include "profile/profile_record.h"

#include <cstdint>
#include <span>

namespace zorvan {

class CUSBDriver;

constexpr uint32_t kWholeTable = 0xFF;
constexpr int kTablePiece = 8;
constexpr int kAreaPiece = 10;

// DPI levels at 0x0C + 4i, encoded for `sensor`; the entry of bit i is level i. Bits 0..7.
bool SetDpiLevels(CUSBDriver& link, uint32_t mask, std::span<const DpiLevelRecord> levels, int count, int32_t sensor);
// DPI colours at 0x2C + 4i; one entry (bit i) takes colours[0]. Bits 0..7.
bool SetDpiColours(CUSBDriver& link, uint32_t mask, std::span<const int32_t> colours, int count);
// Key matrix at 0x60 + 4i; one entry (bit i) takes codes[0]; -1 is written FF FF FF. Bits 0..15.
bool SetKeyMatrix(CUSBDriver& link, uint32_t mask, std::span<const int32_t> codes, int count);
// The polling rate pair at 0x00 from the record value (kRate125 .. kRate1000); any other
// value writes nothing and fails.
bool SetPollingRate(CUSBDriver& link, int32_t rate);
// A single [value, 0x55 - value] pair at `address`.
bool SetPair(CUSBDriver& link, uint16_t address, uint8_t value);
// Command 9: the mouse restores its factory settings.
bool ResetDevice(CUSBDriver& link);

}  // namespace zorvan
