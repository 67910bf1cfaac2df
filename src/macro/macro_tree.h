#pragma once
// The macro tree as an item model: folder items and macro items under an invisible root, the
// way the macro folder is laid out on disk. The editor's tree control mirrors it.
#include <QString>

#include <cstdint>
#include <memory>
#include <vector>

namespace zorvan {

constexpr int kMacroItem = 1;
constexpr int kFolderItem = 2;

struct MacroTreeItem {
    QString text;              // folder name or macro name
    int kind = 0;              // kMacroItem, kFolderItem; 0 for the root
    uint32_t macroId = 0;      // macro items only
    QString iconPath;          // folder items: "<folder>/<name>.png" when that file exists
    MacroTreeItem* parent = nullptr;
    std::vector<std::unique_ptr<MacroTreeItem>> children;
};

class MacroTree {
public:
    MacroTree();

    MacroTreeItem* Root() { return &root_; }
    const MacroTreeItem* Root() const { return &root_; }

    // Appends a child to `parent` (the root when null) and returns it.
    MacroTreeItem* Insert(MacroTreeItem* parent, int kind, const QString& text, uint32_t macroId = 0,
                          const QString& iconPath = {});
    // Removes `item` and everything below it (not the root).
    void Remove(MacroTreeItem* item);
    // The child of `parent` with this text (case-insensitive), or null.
    MacroTreeItem* FindChild(const MacroTreeItem* parent, const QString& text) const;
    // `text`, unless a child of `parent` (the root when null) of the same kind has the same name
    // on disk (two such items would share one file); then the first free of "<name on disk> (2)",
    // "<name on disk> (3)", …
    QString FreeChildText(const MacroTreeItem* parent, int kind, const QString& text) const;
    // The first macro item with this id, depth first, or null.
    MacroTreeItem* FindMacro(uint32_t macroId);
    void Clear();

private:
    MacroTreeItem root_;
};

// The path of an item on disk: the macro folder, then for each ancestor from the outermost
// down to the item "/<name>" (folders) or "/<name>.qxm" (macros), every name made safe with
// SafeFileName. Empty for a null item, the root, an item more than 20 levels deep, or while
// there is no macro folder.
QString TreeItem_To_FilePath(const MacroTreeItem* item);

}  // namespace zorvan
