#pragma once
// The EEPROM content of on-board profiles: a profile record encoded into every area of the
// EEPROM map. The emulated mouse starts from (and resets to) the factory images of its model.
#include "app/device_description.h"
#include "device/eeprom_map.h"
#include "profile/profile_record.h"

#include <array>
#include <cstdint>
#include <vector>

namespace zorvan {

// The eeprom::kProfileSize bytes of one on-board profile holding `profile` with
// `currentDpiLevel` as its current level: base area, key matrix and combination blocks of the
// current key set; the macro slots stay empty (the factory content holds no macros, so macro
// keys have no code).
std::vector<uint8_t> EncodeProfileImage(const ProfileRecord& profile, int currentDpiLevel);

// The four factory profiles of `device`: each a new profile with the model's defaults and the
// options of the process-wide configuration, its current DPI level the model's DEFLEVEL.
std::array<std::vector<uint8_t>, eeprom::kOnBoardProfiles> BuildFactoryImages(const DeviceDescription& device);

}  // namespace zorvan
