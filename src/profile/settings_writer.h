#pragma once
// The settings writer: encodes the requested areas of a profile into the EEPROM layout and
// writes them to the mouse in the fixed order keys, lighting, DPI levels, DPI colours, single
// pairs, system pointer settings, reset — with a 10 ms pause before every area and progress
// 20, 60, 70, 80, 90, 100 on the way.
#include "macro/st_macro.h"
#include "profile/apply_request.h"
#include "profile/profile_record.h"

#include <functional>
#include <optional>
#include <vector>

namespace zorvan {

class CUSBDriver;

// What one request writes, copied when the request starts, so that the user-interface thread
// may go on editing the profile and the macro library while the mouse is written.
struct WriteSnapshot {
    ProfileRecord profile{};
    int currentDpiLevel = -1;
    std::vector<StMacro> macros;  // the library macros of the macro keys of the current key set
};

// A copy of the current profile (under the profile lock), g_nCurDpiLevel and the library
// macros its current key set uses; nothing without a current profile.
std::optional<WriteSnapshot> TakeWriteSnapshot();

// Called with 20, 60, 70, 80, 90 and 100 (in that order; 100 only on success).
using ProgressCallback = std::function<void(int percent)>;

// Writes the areas of `flags` (data selects within them, see apply_request.h). Fails at once
// when the profile's id is 0, or when the link has no command handle and the option
// GoWithNoDev is 0. A failed write ends the writer with failure (earlier areas stay written)
// unless GoWithNoDev is set. With `progress` given, it also pauses 500 ms after 100. Whatever
// the outcome, the reserved field of every library macro is reset to 0.
bool WriteSettings(CUSBDriver& link, const WriteSnapshot& snapshot, uint32_t flags, uint32_t data,
                   const ProgressCallback& progress = {});

}  // namespace zorvan
