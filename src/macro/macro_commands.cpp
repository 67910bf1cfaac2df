#include "macro/macro_commands.h"

#include "app/log.h"
#include "macro/macro_files.h"
#include "macro/macro_library.h"
#include "macro/macro_record.h"
#include "macro/macro_rules.h"
#include "macro/time_stamp_id.h"
#include "text/language_texts.h"

#include <QFile>
#include <QFileInfo>

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstring>

namespace zorvan {
namespace {

MacroCommandResult Refused(const QString& message)
{
    return {false, message, nullptr, {}};
}

// tc_macro_msg8; without a language text the refusal still says why.
QString SiblingMessage()
{
    const QString text = GetText("tc_macro_msg8");
    return text.isEmpty() ? QStringLiteral("This name is already used here.") : text;
}

QString RenameError(int error)
{
    return QStringLiteral("Rename failed. err=0x%1").arg(unsigned(error), 0, 16);
}

// A child of `parent` other than `except` has this name, or (same kind) the same file name.
bool SiblingTaken(const MacroTree& tree, const MacroTreeItem* parent, int kind, const QString& name,
                  const MacroTreeItem* except)
{
    if (parent == nullptr)
        parent = tree.Root();
    const QString onDisk = SafeFileName(name);
    return std::any_of(parent->children.begin(), parent->children.end(), [&](const auto& child) {
        if (child.get() == except)
            return false;
        return child->text.compare(name, Qt::CaseInsensitive) == 0 ||
               (child->kind == kind && SafeFileName(child->text).compare(onDisk, Qt::CaseInsensitive) == 0);
    });
}

// The folder of `item` on disk: the parent's path, or the macro folder for top-level items.
QString ParentFolderPath(const MacroTreeItem* parent)
{
    return parent == nullptr || parent->parent == nullptr ? MacroFolder() : TreeItem_To_FilePath(parent);
}

QString ChildPath(const QString& folder, int kind, const QString& name)
{
    return folder + u'/' + SafeFileName(name) + (kind == kMacroItem ? QStringLiteral(".qxm") : QString());
}

bool Exists(const QString& path)
{
    const QFileInfo info(path);
    return info.exists() || info.isSymLink();
}

// Renames `from` to `to` on disk, never over another file. 0 or the error.
int RenameOnDisk(const QString& from, const QString& to)
{
    if (from != to && Exists(to))
        return EEXIST;
    errno = 0;
    if (std::rename(QFile::encodeName(from).constData(), QFile::encodeName(to).constData()) != 0)
        return errno != 0 ? errno : EIO;
    return 0;
}

void CollectMacros(MacroTreeItem* item, std::vector<MacroTreeItem*>& macros)
{
    if (item->kind == kMacroItem)
        macros.push_back(item);
    for (const auto& child : item->children)
        CollectMacros(child.get(), macros);
}

// The macro files of these items, written again from the library.
void RewriteMissingFiles(const std::vector<MacroTreeItem*>& macros)
{
    for (MacroTreeItem* macro : macros) {
        if (Exists(TreeItem_To_FilePath(macro)))
            continue;
        if (Macros().Update(macro->macroId, [](StMacro& m) { m.flags |= kMacroDirty; }))
            Flush_Dirty_Macro(macro);
    }
}

void RememberFilesBelow(MacroTreeItem* item)
{
    std::vector<MacroTreeItem*> macros;
    CollectMacros(item, macros);
    for (const MacroTreeItem* macro : macros)
        RememberMacroFile(macro->macroId, TreeItem_To_FilePath(macro));
}

void Reparent(MacroTree& tree, MacroTreeItem* item, MacroTreeItem* parent)
{
    if (parent == nullptr)
        parent = tree.Root();
    auto& siblings = item->parent->children;
    const auto it = std::find_if(siblings.begin(), siblings.end(), [item](const auto& c) { return c.get() == item; });
    std::unique_ptr<MacroTreeItem> owned = std::move(*it);
    siblings.erase(it);
    item->parent = parent;
    parent->children.push_back(std::move(owned));
}

bool NotFound(int error)
{
    return error == ENOENT || error == ENOTDIR;
}

}  // namespace

int Ancestors(const MacroTreeItem* item)
{
    int n = 0;
    for (const MacroTreeItem* at = item; at != nullptr && at->parent != nullptr && at->parent->parent != nullptr;
         at = at->parent)
        ++n;
    return n;
}

void PruneDeepFolders(MacroTree& tree)
{
    std::vector<MacroTreeItem*> tooDeep;
    std::vector<MacroTreeItem*> walk{tree.Root()};
    while (!walk.empty()) {
        MacroTreeItem* at = walk.back();
        walk.pop_back();
        for (const auto& child : at->children) {
            if (child->kind == kFolderItem && at->parent != nullptr && Ancestors(at) >= kMaxFolderAncestors)
                tooDeep.push_back(child.get());
            else
                walk.push_back(child.get());
        }
    }
    for (MacroTreeItem* item : tooDeep)
        tree.Remove(item);
}

QString LibraryFullMessage()
{
    if (Macros().Count() < kMacroLibraryMax)
        return {};
    return QStringLiteral("The number of macro is up to the maximum");
}

QString NameRefusal()
{
    const QString text = GetText("tc_tip1");
    return text.isEmpty() ? QStringLiteral("Invalid file name.") : text;
}

uint32_t UnusedMacroId()
{
    uint32_t id = NewTimeStampId();
    while (Macros().Contains(id))
        id = NewTimeStampId();
    return id;
}

MacroCommandResult NewMacro(MacroTree& tree, MacroTreeItem* parent, const QString& typed)
{
    if (const QString full = LibraryFullMessage(); !full.isEmpty())
        return Refused(full);
    const std::optional<QString> checked = CheckedMacroName(typed);
    if (!checked || checked->isEmpty())
        return Refused(NameRefusal());
    const QString name = checked->left(kMacroNameMaxChars);
    if (SiblingTaken(tree, parent, kMacroItem, name, nullptr))
        return Refused(SiblingMessage());
    StMacro macro = NewEmptyMacro(name);
    macro.id = UnusedMacroId();
    macro.flags = kMacroDirty;
    if (!Macros().AddCopy(macro))
        return Refused(QStringLiteral("The number of macro is up to the maximum"));
    return {true, {}, tree.Insert(parent, kMacroItem, name, macro.id), {}};
}

MacroCommandResult RenameItem(MacroTree& tree, MacroTreeItem* item, const QString& typed)
{
    const std::optional<QString> checked = CheckedMacroName(typed);
    if (!checked || checked->isEmpty())
        return Refused(NameRefusal());
    if (item == nullptr || item->parent == nullptr)
        return Refused(QStringLiteral("Rename failed."));
    const QString name = checked->left(kMacroNameMaxChars);
    MacroTreeItem* parent = item->parent;
    if (SiblingTaken(tree, parent, item->kind, name, item))
        return Refused(SiblingMessage());
    const QString oldPath = TreeItem_To_FilePath(item);
    const QString folder = ParentFolderPath(parent);
    if (oldPath.isEmpty() || folder.isEmpty())
        return Refused(QStringLiteral("Rename failed."));
    const QString newPath = ChildPath(folder, item->kind, name);
    if (Exists(oldPath)) {
        if (const int error = RenameOnDisk(oldPath, newPath); error != 0)
            return Refused(RenameError(error));
    }
    const QString oldName = item->text;
    item->text = name;
    if (item->kind == kMacroItem) {
        // The file holds the name too: it is written again under the new one.
        const bool known = Macros().Update(item->macroId, [&name](StMacro& m) {
            SetMacroName(m, name);
            m.flags |= kMacroOptionsChanged;
        });
        if (known && Flush_Dirty_Macro(item))
            RememberMacroFile(item->macroId, newPath);
        return {true, {}, item, {}};
    }
    if (!item->iconPath.isEmpty()) {
        const QString icon = newPath + u'/' + SafeFileName(oldName) + QStringLiteral(".png");
        const QString renamed = newPath + u'/' + SafeFileName(name) + QStringLiteral(".png");
        item->iconPath = RenameOnDisk(icon, renamed) == 0 ? renamed : icon;
    }
    RememberFilesBelow(item);
    return {true, {}, item, {}};
}

MacroCommandResult DeleteItem(MacroTree& tree, MacroTreeItem* item)
{
    if (item == nullptr || item->parent == nullptr)
        return Refused(QStringLiteral("Operation failed, hItem = 0x%1, pItem = 0x%2.").arg(0).arg(0));
    const QString path = TreeItem_To_FilePath(item);
    if (path.isEmpty())
        return Refused(QStringLiteral("Get file path failed."));
    std::vector<MacroTreeItem*> macros;
    CollectMacros(item, macros);
    if (item->kind == kFolderItem) {
        int error = 0;
        if (QFileInfo(path).isDir() && !DeleteFolderTree(path, &error) && !NotFound(error)) {
            RewriteMissingFiles(macros);
            return Refused(QStringLiteral("Remove Directory failed, err = %1.").arg(error));
        }
    } else {
        errno = 0;
        if (::remove(QFile::encodeName(path).constData()) != 0 && !NotFound(errno)) {
            const int error = errno;
            Log("DeleteFile %s, err=%d", path.toUtf8().constData(), error);
            return Refused(QStringLiteral("Delete File failed, err = %1.").arg(error));
        }
    }
    MacroCommandResult result{true, {}, nullptr, {}};
    for (const MacroTreeItem* macro : macros)
        if (Macros().Remove(macro->macroId))
            result.removed.push_back(macro->macroId);
    tree.Remove(item);
    return result;
}

MacroCommandResult ImportMacro(MacroTree& tree, MacroTreeItem* target, const QString& path)
{
    const QString name = SafeFileName(QFileInfo(path).completeBaseName()).left(kMacroNameMaxChars);
    if (SiblingTaken(tree, target, kMacroItem, name, nullptr))
        return Refused(SiblingMessage());
    const MacroImport read = ReadMacroForImport(path);
    if (!read.macro)
        return Refused(read.message);
    if (const QString full = LibraryFullMessage(); !full.isEmpty())
        return Refused(full);
    StMacro macro = *read.macro;
    SetMacroName(macro, name);
    macro.id = UnusedMacroId();
    macro.flags = kMacroDirty;
    macro.reserved = 0;
    if (!Macros().AddCopy(macro))
        return Refused(QStringLiteral("The number of macro is up to the maximum"));
    MacroTreeItem* item = tree.Insert(target, kMacroItem, name, macro.id);
    if (!Flush_Dirty_Macro(item)) {
        tree.Remove(item);
        Macros().Remove(macro.id);
        return Refused(QStringLiteral("Write macro file failed."));
    }
    return {true, {}, item, {}};
}

MacroCommandResult ExportMacro(const MacroTreeItem* item, const QString& target)
{
    if (item == nullptr || item->kind != kMacroItem)
        return Refused({});
    // Logged as the copy's failure and told with the file that could not be read or written.
    const auto failed = [](const char* text, const QString& file, int error) {
        Log("ExportMacro: copy file err=0x%x", unsigned(error));
        return Refused(QString::fromLatin1(text).arg(file, QString::fromLocal8Bit(std::strerror(error))));
    };
    QFile stored(TreeItem_To_FilePath(item));
    errno = 0;
    const bool opened = !stored.fileName().isEmpty() && stored.open(QIODevice::ReadOnly);
    const QByteArray bytes = opened ? stored.readAll() : QByteArray();
    if (!opened || stored.error() != QFileDevice::NoError) {
        const QString file = stored.fileName().isEmpty() ? item->text : stored.fileName();
        return failed("Export failed: %1 cannot be read (%2).", file, errno != 0 ? errno : ENOENT);
    }
    const FileWriteResult written = MyCreateFile(target, bytes);
    if (!written.Ok())
        return failed("Export failed: %1 cannot be written (%2).", target, written.error);
    return {true, {}, nullptr, {}};
}

MacroCommandResult MoveMacro(MacroTree& tree, MacroTreeItem* item, MacroTreeItem* folder)
{
    if (item == nullptr || item->kind != kMacroItem || (folder != nullptr && folder->kind != kFolderItem))
        return Refused({});
    MacroTreeItem* parent = folder != nullptr ? folder : tree.Root();
    if (item->parent == parent)
        return {true, {}, item, {}};
    if (SiblingTaken(tree, parent, kMacroItem, item->text, item))
        return Refused(SiblingMessage());
    const QString oldPath = TreeItem_To_FilePath(item);
    const QString newFolder = ParentFolderPath(parent);
    if (oldPath.isEmpty() || newFolder.isEmpty())
        return Refused(QStringLiteral("Rename failed."));
    const QString newPath = ChildPath(newFolder, kMacroItem, item->text);
    if (Exists(oldPath)) {
        if (!MakeSureFolderExist(newPath))
            return Refused(RenameError(errno != 0 ? errno : EIO));
        if (const int error = RenameOnDisk(oldPath, newPath); error != 0)
            return Refused(RenameError(error));
    }
    Reparent(tree, item, parent);
    RememberMacroFile(item->macroId, newPath);
    Flush_Dirty_Macro(item);
    return {true, {}, item, {}};
}

}  // namespace zorvan
