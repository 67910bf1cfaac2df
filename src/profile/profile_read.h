#pragma once
// Reading the active on-board profile from the mouse (`GetProfile`) and taking the result
// over once the whole read succeeded (`CommitProfileRead`).
#include "macro/st_macro.h"
#include "profile/profile_bytes.h"
#include "profile/profile_record.h"
#include "profile/profile_state.h"

#include <atomic>
#include <string>
#include <vector>

namespace zorvan {

class CUSBDriver;
class MacroTree;

// What a profile read yields besides the record. Nothing of it reaches the session or the
// macro library before CommitProfileRead.
struct ProfileReadExtras {
    int currentDpiLevel = -1;  // byte 04 of the mouse
    MacroNameTable macroNames{};
    // The macro of a macro key of key set 0, read from its slot.
    struct DeviceMacro {
        int key = 0;  // 0..15
        StMacro macro{};
        uint32_t keyMacroId = 0;  // the macro the key referred to before the read, 0 for none
    };
    std::vector<DeviceMacro> macros;
};

// What a profile read brings in from the mouse. The window always reads the whole profile;
// zorvanctl reads only the areas a command needs, and such a partial read is never saved to the
// local store as the mouse's profile (see CommitPartialRead).
struct ReadScope {
    bool whole = true;        // everything, as the window reads it
    bool settings = false;    // polling rate, DPI levels, colours, count and current level, the
                              // lighting and the single settings (the base area without the keys)
    uint16_t keys = 0;        // keys of key set 0 (bit j: key j) with their matrix entries,
                              // combination blocks, macro names and macro slots

    static ReadScope Whole() { return {}; }
    // Only which profile is active: for a command that replaces the profiles and reads the
    // mouse afterwards (restore).
    static ReadScope Nothing() { return {false, false, 0}; }
    bool ReadsNothing() const { return !whole && !settings && keys == 0; }
    static ReadScope Settings() { return {false, true, 0}; }
    static ReadScope Keys(uint16_t keys) { return {false, false, keys}; }
};

// The name held by a macro name entry: at most 15 UTF-16 units up to the first 0; an entry of
// erased EEPROM (starting FF FF) holds none.
std::u16string MacroNameText(const MacroNameEntry& entry);

// Reads the active profile of the mouse and decodes it into `working` (the caller's copy of the
// target record): base area, combination blocks, macro names, then the decoding of polling
// rate, current level, the single settings, DPI levels, key set 0 (keys whose bit is set in
// the option KeyMask keep their local assignment), DPI effect and lighting. `abort` is checked
// after every read; when it is set the read ends with failure. A failed read ends with failure
// unless the option GoWithNoDev is set. On failure `working` and `extras` hold partial results
// and must be dropped. Every byte read is kept in `kept` when it is given.
bool GetProfile(CUSBDriver& link, const std::atomic<bool>& abort, ProfileRecord& working,
                ProfileReadExtras& extras, ProfileBytes* kept = nullptr);

// GetProfile once more over the bytes a GetProfile of the same on-board profile kept, without
// the mouse: the same decoding (with the macro library as it is now), no request, no pause.
bool GetProfileFrom(const ProfileBytes& bytes, ProfileRecord& working, ProfileReadExtras& extras);

// GetProfile for `scope`: the whole read, or only the areas of `scope` (each range read in
// pieces with the pause between read pieces) decoded into `working`; what was not read stays as
// `working` held it, and the macro names of keys not read stay empty in `extras`. `kept` takes
// the bytes of a whole read only.
bool GetProfilePart(CUSBDriver& link, const std::atomic<bool>& abort, const ReadScope& scope, ProfileRecord& working,
                    ProfileReadExtras& extras, ProfileBytes* kept = nullptr);

// After a successful partial GetProfilePart: as CommitProfileRead for the areas read (the
// macros of the keys read merged, the current DPI level when the settings were read, only the
// macro names of the keys read). Profile `index` keeps, for the local store, the record as it
// was before (ProfileState::storeRecord): a partial read never reaches the store, while the
// edits made afterwards do.
bool CommitPartialRead(int index, const ReadScope& scope, ProfileRecord& working, const ProfileReadExtras& extras);

// After a successful GetProfile: merges the macros read into the macro library (MergeDeviceMacro:
// the key's own macro or a macro of the same name and events is kept, anything else is added;
// no library macro is overwritten; `tree` is the macro tree to keep in step, if any) and gives
// each macro key the id of the library macro that holds its macro; then, under the profile
// lock, applies what the mouse reported during the read over `working` (those reports are
// newer), copies it into profile `index`, makes it the current profile, takes the macro names
// and sets g_nCurDpiLevel (the level an event reported during the read, else byte 04 as read).
// False (nothing changes) when profile `index` does not exist.
bool CommitProfileRead(int index, ProfileRecord& working, const ProfileReadExtras& extras, MacroTree* tree = nullptr);

}  // namespace zorvan
