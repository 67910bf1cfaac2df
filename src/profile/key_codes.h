#pragma once
// Key assignment <-> the 3-byte hardware key code that the mouse keeps for a matrix position
// (type in b0, arguments in b1 and b2). Combination, media and application keys also need
// the position's combination block (profile/combo_block.h); macro keys the position's macro
// slot.
#include "app/key_assignment.h"

#include <cstdint>
#include <span>
#include <string_view>

namespace zorvan {

constexpr int32_t kNoHardwareCode = -1;

// The hardware code of `key`, or kNoHardwareCode when its function has none. `sensor` is the
// current device's sensor (fixed DPI values). A macro key is looked up in the macro library by
// `dwMacroID` ("keyinfo_to_hardware_code can't find macro id 0x%x" when it is gone); its code
// carries the repeat byte, the settings writer adds the slot.
int32_t keyinfo_to_hardware_code(const KeyAssignment& key, int32_t sensor);

// Reads the hardware code of matrix position `position` (1..16) into `key`, with that
// position's combination block and the macro name read from its slot. The matrix position of
// `key` stays as it is; the other fields are replaced. False, with `key` unchanged, when the
// code means nothing the program knows.
bool HardwareCodeToKeyInfo(uint32_t code, std::span<const uint8_t> comboBlock, std::u16string_view macroName,
                           int position, int32_t sensor, KeyAssignment& key);

}  // namespace zorvan
