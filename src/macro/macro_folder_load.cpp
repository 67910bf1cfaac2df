#include "macro/macro_folder_load.h"

#include "macro/macro_files.h"
#include "macro/macro_library.h"
#include "macro/macro_tree.h"

#include <QDir>
#include <QFileInfo>

namespace zorvan {
namespace {

// Paths this long are not loaded; this also bounds the depth of the walk.
constexpr qsizetype kMaxFolderPath = 257;

}  // namespace

bool LoadMacroFolder(const QString& folder, MacroTree* tree, MacroTreeItem* parent, bool folders, bool addToLibrary)
{
    if (folder.size() >= kMaxFolderPath)
        return true;
    const QDir dir(folder);
    if (!dir.exists() || !dir.isReadable())
        return false;
    const QFileInfoList entries =
        dir.entryInfoList(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden | QDir::System, QDir::Name);
    for (const QFileInfo& entry : entries) {
        const QString name = entry.fileName();
        if (entry.isDir()) {
            // A linked folder could lead back up the tree: only real sub-folders are walked.
            if (entry.isSymLink() || !folders || name.startsWith(u'.') || name.startsWith(u'$'))
                continue;
            MacroTreeItem* item = nullptr;
            if (tree != nullptr) {
                const QString icon = entry.filePath() + u'/' + name + QStringLiteral(".png");
                item = tree->Insert(parent, kFolderItem, name, 0, QFileInfo(icon).isFile() ? icon : QString());
            }
            // An unreadable sub-folder is skipped; the macros beside it are still loaded.
            LoadMacroFolder(entry.filePath(), tree, item, folders, addToLibrary);
            continue;
        }
        // What a killed save left behind is the half of a write, not a second macro.
        if (IsPartialSave(name))
            continue;
        const std::optional<StMacro> macro = ReadMacroFile(entry.filePath());
        if (!macro)
            continue;
        if (addToLibrary && Macros().AddCopy(*macro))
            RememberMacroFile(macro->id, entry.filePath());
        if (tree != nullptr)
            tree->Insert(parent, kMacroItem, entry.completeBaseName(), macro->id);
    }
    return true;
}

}  // namespace zorvan
