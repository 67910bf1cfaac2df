// Library operations that also touch the macro files: the device merge, the profile import,
// flushing dirty macros, the start-up load and the "mac.dct" snapshot.
#include "macro/macro_library.h"

#include "app/configuration.h"
#include "app/log.h"
#include "app/paths.h"
#include "macro/hd_macro_codec.h"
#include "macro/macro_files.h"
#include "macro/macro_folder_load.h"
#include "macro/macro_record.h"
#include "macro/macro_tree.h"

#include <cerrno>
#include <cstring>

namespace zorvan {
namespace {

bool SameContentApartFromFlags(StMacro a, StMacro b)
{
    a.flags = 0;
    b.flags = 0;
    return std::memcmp(&a, &b, sizeof a) == 0;
}

// Writes the library record `id` to `path` and marks it clean when the write succeeded (and
// nobody changed the record meanwhile); a failed write leaves the record dirty.
FileWriteResult StoreMacro(uint32_t id, const QString& path)
{
    const std::optional<StMacro> macro = Macros().FindById(id);
    if (!macro || path.isEmpty())
        return {FileWriteResult::kCreate, ENOENT};
    const FileWriteResult result = WriteMacroFile(path, *macro);
    if (result.Ok()) {
        RememberMacroFile(id, path);
        Macros().Update(id, [&macro](StMacro& m) {
            if (SameContentApartFromFlags(m, *macro))
                m.flags &= ~kMacroDirty;
        });
    }
    return result;
}

bool HasMacroMagic(const StMacro& record)
{
    if (record.magic == kMacroMagic)
        return true;
    Log("Add_Macro: FAILED, dwMagicNumber=0x%x", record.magic);
    return false;
}

// Adds a dirty copy of a record that passed the magic check; false when the library is full.
bool AddDirtyCopy(const StMacro& record)
{
    StMacro copy = record;
    copy.flags = kMacroDirty;
    return Macros().AddCopy(copy);
}

void LogFlushFailure(const FileWriteResult& result, const QString& path)
{
    if (result.stage == FileWriteResult::kWrite)
        Log("Flush_Dirty_Macro: WriteFile err=0x%x, %s", unsigned(result.error), path.toUtf8().constData());
}

}  // namespace

bool Flush_Dirty_Macro(const MacroTreeItem* item)
{
    if (item != nullptr && item->kind == kFolderItem)
        return true;
    const QString path = TreeItem_To_FilePath(item);
    if (item != nullptr && path.isEmpty()) {
        Log("Flush_Dirty_Macro: TreeItem_To_FilePath failed");
        return false;
    }
    const std::optional<StMacro> macro = item != nullptr ? Macros().FindById(item->macroId) : std::nullopt;
    if (!macro) {
        Log("Flush_Dirty_Macro: pItem=0x%0x(%s) error", item != nullptr ? item->macroId : 0u,
            item != nullptr ? item->text.toUtf8().constData() : "");
        return false;
    }
    if ((macro->flags & kMacroDirty) == 0)
        return true;
    const FileWriteResult result = StoreMacro(macro->id, path);
    LogFlushFailure(result, path);
    return result.Ok();
}

bool LoadMacroLibrary()
{
    if (MacroFolder().isEmpty())
        return false;
    Macros().Clear();
    return LoadMacroFolder(MacroFolder(), nullptr, nullptr, Options().MacroDir != 0, true);
}

std::optional<StMacro> Add_Macro(const StMacro& record, MacroTree* tree)
{
    if (!HasMacroMagic(record) || !AddDirtyCopy(record))
        return std::nullopt;
    if (tree != nullptr) {
        const QString text = tree->FreeChildText(tree->Root(), kMacroItem, MacroName(record));
        Flush_Dirty_Macro(tree->Insert(tree->Root(), kMacroItem, text, record.id));
    } else {
        const QString path = MacroFilePath(MacroName(record), record.id);
        LogFlushFailure(StoreMacro(record.id, path), path);
    }
    return Macros().FindById(record.id);
}

namespace {

// The first library macro that a macro slot holding `device` would show: the same name as the
// slot keeps it (its first 15 units, case-insensitive; an empty name matches none) and the same
// events.
std::optional<StMacro> FindAsOnTheMouse(const StMacro& device)
{
    const QString name = MacroNameOnTheMouse(device);
    if (name.isEmpty())
        return std::nullopt;
    for (const StMacro& m : Macros().All()) {
        if (MacroNameOnTheMouse(m).compare(name, Qt::CaseInsensitive) == 0 && SameEventsOnTheMouse(m, device))
            return m;
    }
    return std::nullopt;
}

}  // namespace

std::optional<uint32_t> MergeDeviceMacro(const StMacro& device, uint32_t keyMacroId, MacroTree* tree)
{
    if (keyMacroId != 0) {
        const std::optional<StMacro> known = Macros().FindById(keyMacroId);
        if (known && SameEventsOnTheMouse(*known, device))
            return known->id;
    }
    if (const std::optional<StMacro> same = FindAsOnTheMouse(device))
        return same->id;
    const std::optional<StMacro> added = Add_Macro(device, tree);
    if (!added) {
        Log("add macro to list faile..");
        return std::nullopt;
    }
    return added->id;
}

std::optional<uint32_t> ReplaceMacro(const StMacro& record)
{
    // A record that is not a macro would be written as a file no reader accepts.
    if (record.magic != kMacroMagic) {
        Log("ReplaceMacro: FAILED, dwMagicNumber=0x%x", record.magic);
        return std::nullopt;
    }
    const uint32_t id = record.id;
    const bool found = Macros().Update(id, [&record](StMacro& m) {
        m = record;
        m.flags = kMacroDirty;
    });
    if (!found)
        return std::nullopt;
    const FileWriteResult result = StoreMacro(id, MacroFilePath(MacroName(record), id));
    if (!result.Ok())
        Log("ReplaceMacro: WriteFile err=0x%x", unsigned(result.error));
    return id;
}

bool AddMacroFromProfile(const StMacro& record)
{
    if (!HasMacroMagic(record) || !AddDirtyCopy(record))
        return false;
    const QString path = MacroFilePath(MacroName(record), record.id);
    LogFlushFailure(StoreMacro(record.id, path), path);
    return true;
}

QByteArray BuildMacroSnapshot(const std::vector<StMacro>& records)
{
    QByteArray image(kMacroSnapshotSize, '\0');
    qsizetype at = 0;
    for (const StMacro& m : records) {
        if (at == kMacroSnapshotSize)
            break;
        if (m.id == 0 || m.events[0].code == 0)
            continue;
        std::memcpy(image.data() + at, &m, sizeof m);
        at += qsizetype(sizeof m);
    }
    return image;
}

bool SaveMacroSnapshot()
{
    if (Paths().dataDir.isEmpty())
        return false;
    const FileWriteResult result =
        MyCreateFile(Paths().dataDir + QStringLiteral("mac.dct"), BuildMacroSnapshot(Macros().All()));
    if (result.stage == FileWriteResult::kCreate)
        Log("Save macro: CreateFile err=%d", result.error);
    else if (result.stage == FileWriteResult::kWrite)
        Log("Save macro: WriteFile err=%d", result.error);
    return result.Ok();
}

}  // namespace zorvan
