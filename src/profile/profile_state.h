#pragma once
// The values that belong to the session with the mouse rather than to one profile record:
// the four profiles of the current model, the current DPI level, the sync flag, the working
// record of a profile read and the macro names read from the mouse.
//
// Threads: the user-interface thread edits the profiles; the apply worker copies the current
// profile when it starts a request; the profile read copies its result back. Every access to
// the profile list and the macro names therefore happens under `profileLock` (the helpers
// below take it), and nobody keeps a pointer into the list after releasing it.
#include "profile/profile_list.h"
#include "profile/profile_record.h"

#include <array>
#include <atomic>
#include <cstdint>
#include <functional>
#include <mutex>
#include <optional>

namespace zorvan {

// The names of the mouse's 16 macro slots: 30 bytes of UTF-16LE each and a terminating zero.
constexpr int kMacroNameEntryBytes = 31;
using MacroNameEntry = std::array<uint8_t, kMacroNameEntryBytes>;
using MacroNameTable = std::array<MacroNameEntry, 16>;

// The current DPI level, 0-based; -1 while it is unknown.
extern std::atomic<int> g_nCurDpiLevel;

// A current DPI level the mouse reported (a byte of its EEPROM or of an event) as the session
// may keep it: `value` when it is one of the first `levels` levels (never more than the
// record's eight), else -1 (unknown), logged. The mouse's byte may hold anything.
int DpiLevelFromMouse(int value, int levels = kDpiLevels);

struct ProfileState {
    // Guards `profiles` and `macroNames`. Held only for memory copies, never for I/O.
    std::mutex profileLock;
    ProfileList profiles;
    MacroNameTable macroNames{};

    // 1 when no profile read is running (pages may change settings).
    std::atomic<bool> syncFlag{true};

    // Held by one profile read for its whole duration; `working` is used only under it.
    std::mutex readLock;
    ProfileRecord working{};
};

// The process-wide profile state.
ProfileState& Profiles();

// Runs `edit` on the current profile under the profile lock. False (nothing runs) without a
// current profile. `edit` must not take the profile lock itself.
bool EditCurrentProfile(const std::function<void(ProfileRecord&)>& edit);

// A copy of the current profile, or nothing.
std::optional<ProfileRecord> CurrentProfileCopy();

// A copy of profile `index` (0..3), or nothing.
std::optional<ProfileRecord> ProfileCopy(int index);

// A copy of the macro names read from the mouse.
MacroNameTable MacroNamesCopy();

}  // namespace zorvan
