#pragma once
// The orphaned-key check: after macros left the library, a key still bound to one of them
// would reach the mouse as an empty macro slot. Such keys go back to the model's default.
#include "app/device_description.h"
#include "macro/macro_library.h"
#include "profile/profile_record.h"

namespace zorvan {

// Resets every key of the three key tables of `record` that holds the macro function with a
// macro id no longer in `library` to that key's assignment in the device's default key table.
// True when it reset any key.
bool ResetOrphanedKeys(ProfileRecord& record, const DeviceDescription& device, const MacroLibrary& library);

}  // namespace zorvan
