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
#include <vector>

namespace zorvan {

// The names of the mouse's 16 macro slots: 30 bytes of UTF-16LE each and a terminating zero.
constexpr int kMacroNameEntryBytes = 31;
using MacroNameEntry = std::array<uint8_t, kMacroNameEntryBytes>;
using MacroNameTable = std::array<MacroNameEntry, 16>;

// The current DPI level, 0-based; -1 while it is unknown.
extern std::atomic<int> g_nCurDpiLevel;

// A current DPI level byte of the mouse's EEPROM as the session may keep it: `value` when it is
// one of the first `levels` levels (never more than the record's eight), else -1 (unknown),
// logged. The mouse's byte may hold anything. (A DPI-level event outside the levels is ignored
// instead: the level it would replace is still right.)
int DpiLevelFromMouse(int value, int levels = kDpiLevels);

// A mouse model by its ids: the key of its local profile store.
struct ModelIds {
    int32_t cid = 0;
    int32_t mid = 0;
    friend bool operator==(const ModelIds&, const ModelIds&) = default;
};

struct ProfileState {
    // Guards `profiles`, `storeModel`, `macroNames` and `storeRecord`. Held only for memory copies, never for I/O.
    std::mutex profileLock;
    ProfileList profiles;
    // The model whose local store `profiles` were loaded from (LoadPro): they belong to it even
    // after another model became the current device.
    std::optional<ModelIds> storeModel;
    MacroNameTable macroNames{};
    // While the current profile holds a partial read (zorvanctl reads only what a command
    // needs): its index and the record the local store keeps for it, the record as it was
    // before that read with every edit made since. The store is saved with it, so a partial
    // read never reaches the store. Cleared by a whole read.
    std::optional<std::pair<int, ProfileRecord>> storeRecord;

    // What the mouse reported by itself while a profile read runs (from its start to its commit):
    // newer than what the read brings back, so the commit applies it again over the read's
    // values. Guarded by `profileLock`.
    struct ReportsDuringRead {
        bool recording = false;
        std::optional<int> dpiLevel;
        std::vector<std::function<void(ProfileRecord&)>> edits;
    } reportsDuringRead;

    // 1 when no profile read is running (pages may change settings).
    std::atomic<bool> syncFlag{true};

    // Held by one profile read for its whole duration; `working` is used only under it.
    std::mutex readLock;
    ProfileRecord working{};
};

// The process-wide profile state.
ProfileState& Profiles();

// Runs `edit` on the current profile under the profile lock (first on the store's record of it,
// while the current profile holds a partial read: see storeRecord). False (nothing runs)
// without a current profile. `edit` must not take the profile lock itself.
bool EditCurrentProfile(const std::function<void(ProfileRecord&)>& edit);

// What the mouse reported by itself: runs `edit` on the current profile (false without one) and,
// while a profile read runs, keeps it for the read's commit (see ReportsDuringRead).
bool EditCurrentProfileFromMouse(const std::function<void(ProfileRecord&)>& edit);
// The current DPI level the mouse reported by an event; kept over the read's level the same way.
void SetDpiLevelFromMouse(int level);
// A profile read starts keeping what the mouse reports (it reads the mouse from now on), or
// stops and drops it (the read failed; a committed read has used it).
void StartKeepingReports();
void StopKeepingReports();

// A copy of the current profile, or nothing.
std::optional<ProfileRecord> CurrentProfileCopy();

// A copy of profile `index` (0..3), or nothing.
std::optional<ProfileRecord> ProfileCopy(int index);

// The model whose profiles are loaded, or nothing when no profiles are.
std::optional<ModelIds> LoadedStoreModel();

// A copy of the macro names read from the mouse.
MacroNameTable MacroNamesCopy();

}  // namespace zorvan
