#pragma once
// The macro file commands on the library, the macro files and the macro tree: new, rename,
// delete, import, export and moving a macro to another folder. No dialogs: the caller asks the
// user for names, files and the confirmation, then calls these and shows the message of the
// result. The macro page runs them; zorvanctl can run the same rules.
#include "macro/macro_tree.h"

#include <QString>

#include <cstdint>
#include <vector>

namespace zorvan {

struct MacroCommandResult {
    bool ok = false;
    QString message;                  // to show when not empty
    MacroTreeItem* item = nullptr;    // the new, renamed or moved item
    std::vector<uint32_t> removed;    // ids of the macros that left the library (the orphaned-key check follows)
};

// The deepest folders: a folder goes only under a parent with fewer than 5 ancestors.
constexpr int kMaxFolderAncestors = 5;
int Ancestors(const MacroTreeItem* item);
// Removes the folder items that are nested deeper than folders may be (and what is below them).
void PruneDeepFolders(MacroTree& tree);

// "The number of macro is up to the maximum" while the library holds 2000 macros; else empty.
QString LibraryFullMessage();
// The refusal of a name with a forbidden character: tc_tip1, or "Invalid file name.".
QString NameRefusal();
// An id no library macro has.
uint32_t UnusedMacroId();

// A new empty macro named `typed` (the name rule; tc_macro_msg8 when `parent` — a folder, or
// the root when null — holds the name), added to the library and the tree, marked dirty; its
// file is written when it is saved.
MacroCommandResult NewMacro(MacroTree& tree, MacroTreeItem* parent, const QString& typed);

// Renames a macro (its record and file) or a folder (on disk, with its icon) after the name
// rule and the sibling check. Messages "Rename failed." and "Rename failed. err=0x%x"; on a
// failure the library, the files and the tree stay as they were.
MacroCommandResult RenameItem(MacroTree& tree, MacroTreeItem* item, const QString& typed);

// Deletes a macro file or a folder with everything below it, then removes the item and the
// macros below it from the tree and the library. When the disk refuses ("Remove Directory
// failed, err = %d.", "Delete File failed, err = %d."), the library and the tree keep them and
// macro files already deleted are written again.
MacroCommandResult DeleteItem(MacroTree& tree, MacroTreeItem* item);

// Imports the macro file `path` into `target` (a folder, or the root when null) under the
// file's title (made safe for a file name, at most 39 characters) with a new id, and writes it.
MacroCommandResult ImportMacro(MacroTree& tree, MacroTreeItem* target, const QString& path);

// Copies the stored file of a macro item to `target`, replacing it (the file as last written:
// unsaved edits are not included). A failure logs "ExportMacro: copy file err=0x%x" and its
// message names the file that could not be read or written.
MacroCommandResult ExportMacro(const MacroTreeItem* item, const QString& target);

// Moves a macro item into `folder` (the root when null): its file goes along (written first
// when dirty). tc_macro_msg8 when the folder holds the name; "Rename failed. err=0x%x" when the
// file cannot be moved.
MacroCommandResult MoveMacro(MacroTree& tree, MacroTreeItem* item, MacroTreeItem* folder);

}  // namespace zorvan
