#pragma once
// Reading a macro folder: every valid macro file becomes a library record and/or a tree item.
#include <QString>

namespace zorvan {

class MacroTree;
struct MacroTreeItem;

// Loads `folder`: sub-folders (not those whose names begin with "." or "$") only when
// `folders` is set, each as a folder item of `tree` (when given) loaded the same way; every
// other entry whose first 834 bytes are a valid macro file, whatever its extension, is added
// to the library (with `addToLibrary`) and put under `parent` as a macro item named after the
// file without its extension (with a tree). Invalid files and what a killed save left behind
// (IsPartialSave) are skipped silently. False when the folder cannot be read.
bool LoadMacroFolder(const QString& folder, MacroTree* tree, MacroTreeItem* parent, bool folders, bool addToLibrary);

}  // namespace zorvan
