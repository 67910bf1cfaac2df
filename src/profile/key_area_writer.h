#pragma once
// The keys area of the settings writer: for the selected keys of the current key set, the
// macro slot or combination block of their matrix position, then the key matrix.
#include "profile/settings_writer.h"

#include <cstdint>

namespace zorvan {

class CUSBDriver;

// Writes key `data` (0..15) of the snapshot's current key set, or all 16 keys for apply::kAll.
// `failed(result)` decides whether a write result ends the area (false unless GoWithNoDev).
// A key without a matrix position writes nothing.
bool WriteKeyArea(CUSBDriver& link, const WriteSnapshot& snapshot, uint32_t data, int32_t sensor,
                  bool (*failed)(bool result));

}  // namespace zorvan
