#pragma once
// The macro library: every macro the user owns, in the order they were added, at most 2000.
// One process-wide instance (Macros()). The user-interface thread edits it; the apply worker
// and the profile read look macros up on their own threads. Every member takes an internal
// mutex for a memory copy only (never for file or device I/O), and lookups return copies, so
// no caller ever holds a pointer into the library while another thread changes it.
#include "app/key_assignment.h"
#include "macro/st_macro.h"

#include <QByteArray>
#include <QString>

#include <cstdint>
#include <functional>
#include <mutex>
#include <optional>
#include <span>
#include <vector>

namespace zorvan {

class MacroTree;
struct MacroTreeItem;

class MacroLibrary {
public:
    int Count() const;

    // First record whose macro id equals `id` (callers mask the id with 0xFFFFFF first).
    std::optional<StMacro> FindById(uint32_t id) const;
    // First record whose name equals `name`, case-insensitively over at most 40 characters;
    // an empty name finds nothing.
    std::optional<StMacro> FindByName(const QString& name) const;
    bool Contains(uint32_t id) const;

    // Appends a copy. False when the library already holds 2000 macros.
    bool AddCopy(const StMacro& record);
    // Unlinks the record with this id. False when there is none.
    bool Remove(uint32_t id);
    // Runs `edit` on the record with this id while no other thread can see it half-changed.
    // False when there is none. `edit` must not call back into the library.
    bool Update(uint32_t id, const std::function<void(StMacro&)>& edit);
    // Copies of the records with these ids (missing ids skipped, order of `ids`): what the
    // apply worker takes before it encodes macro keys, so its reads are consistent.
    std::vector<StMacro> Snapshot(std::span<const uint32_t> ids) const;
    // Copies of all records in library order.
    std::vector<StMacro> All() const;
    // The settings writer's end-of-write reset: offset 100 of every record becomes 0.
    void ResetReservedFields();
    void Clear();

private:
    mutable std::mutex mutex_;
    std::vector<StMacro> records_;
};

// The process-wide library.
MacroLibrary& Macros();

// Names equal (case-insensitive, 40 characters), same number of events, and every event has
// the same code, action and delay.
bool MacroEqual(const StMacro& a, const StMacro& b);

// True when a key of the three key tables (of the current profile) has class 5 and this id.
bool MacroInUse(const KeyTable& keys, uint32_t id);

// Writes the library record of a macro item to the item's path when the record is dirty, and
// marks it clean; a failed write keeps it dirty. Logs "Flush_Dirty_Macro: TreeItem_To_FilePath
// failed", "Flush_Dirty_Macro: WriteFile err=0x%x, %s" or "Flush_Dirty_Macro: pItem=0x%0x(%s)
// error". A folder item is left alone.
bool Flush_Dirty_Macro(const MacroTreeItem* item);

// The library becomes what the macro folder holds: every valid macro file in it (sub-folders
// when the MacroDir option says so). The program's start-up, before the mouse is read.
bool LoadMacroLibrary();

// The device merge: checks the magic (logs "Add_Macro: FAILED, dwMagicNumber=0x%x"), puts a
// macro item at the root of `tree` (when given), adds a copy to the library marked dirty and
// writes its file at the top of the macro folder. The library copy, or nothing.
std::optional<StMacro> Add_Macro(const StMacro& record, MacroTree* tree = nullptr);

// Merges the macro read from a macro key's slot on the mouse into the library without ever
// overwriting a library macro (the slot keeps only 15 characters of a name, so a name says
// little): the library macro `keyMacroId` (the one the key referred to before the read, 0 for
// none) when its events agree with the slot's (SameEventsOnTheMouse); else the first library
// macro whose name and events agree with the slot's; else the slot's macro added with
// Add_Macro (a failure logs "add macro to list faile.."). Returns the id of the library macro
// the key now refers to.
std::optional<uint32_t> MergeDeviceMacro(const StMacro& device, uint32_t keyMacroId, MacroTree* tree = nullptr);

// Profile import: the library record with the record's id takes its content (keeping its id)
// and is written at the top of the macro folder, clean ("ReplaceMacro: WriteFile err=0x%x" on
// failure, the record then stays dirty). The kept id; nothing when no record has the id or the
// record's magic is wrong.
std::optional<uint32_t> ReplaceMacro(const StMacro& record);

// Profile import of a macro that is new (the caller gave it a new id): the magic check of
// Add_Macro, a copy added to the library and its file written at the top of the macro folder.
bool AddMacroFromProfile(const StMacro& record);

// The "mac.dct" image: 2000 slots of 834 bytes holding, in order, the records with a non-zero
// id and a non-zero first event code; the remaining slots zero.
QByteArray BuildMacroSnapshot(const std::vector<StMacro>& records);
constexpr qsizetype kMacroSnapshotSize = qsizetype(kMacroLibraryMax) * qsizetype(sizeof(StMacro));

// Writes "mac.dct" in the data folder from the library. Logs "Save macro: CreateFile err=%d"
// or "Save macro: WriteFile err=%d" on failure.
bool SaveMacroSnapshot();

}  // namespace zorvan
