// zorvanctl macro new|import|export|delete: the macro page's file commands (macro/macro_commands)
// run on a macro tree read from the macro folder, so the names, checks and messages are the
// window's. New and imported macros go to the top of the macro folder and are written at once;
// a deleted macro leaves the library and the folder, and the keys of the mouse's current
// profile bound to it go back to their defaults through the one editing path.
#include "cli/macro_file_commands.h"

#include "cli/macro_event_syntax.h"
#include "cli/mouse_command.h"

#include "app/configuration.h"
#include "macro/macro_commands.h"
#include "macro/macro_files.h"
#include "macro/macro_folder_load.h"
#include "macro/macro_library.h"
#include "macro/macro_record.h"
#include "macro/macro_rules.h"
#include "macro/macro_tree.h"
#include "profile/orphaned_keys.h"
#include "profile/profile_state.h"
#include "text/language_choice.h"

#include <QFileInfo>
#include <QJsonObject>

#include <cstring>
#include <utility>

namespace zorvan::cli {
namespace {

// The macro editor's input dialog takes names of at most 15 characters.
constexpr int kNameLimit = 15;

// The macro folder as the macro page shows it: `library` adds its macros to the library too
// (zorvanctl has not loaded it yet).
void ReadMacroFolder(MacroTree& tree, bool library)
{
    if (!MacroFolder().isEmpty())
        LoadMacroFolder(MacroFolder(), &tree, nullptr, Options().MacroDir != 0, library);
    PruneDeepFolders(tree);
}

// Product data, the language and the macro library with its tree. False with the failure printed.
bool LoadLibrary(CliContext& ctx, MacroTree& tree)
{
    if (!LoadProductData(ctx))
        return false;
    LoadChosenLanguage();
    ReadMacroFolder(tree, true);
    return true;
}

// The first macro item named `name` (case-insensitive), depth first, or null.
MacroTreeItem* FindMacroItem(MacroTreeItem* at, const QString& name)
{
    for (const auto& child : at->children) {
        if (child->kind == kMacroItem && child->text.compare(name, Qt::CaseInsensitive) == 0)
            return child.get();
        if (MacroTreeItem* found = FindMacroItem(child.get(), name))
            return found;
    }
    return nullptr;
}

// Why the tree holds no macro `name`.
QString NoSuchMacro(const QString& name)
{
    return Macros().Count() == 0
               ? QStringLiteral("no macro named '%1': the macro library is empty").arg(name)
               : QStringLiteral("no macro named '%1' in the macro library (see 'zorvanctl macro list')").arg(name);
}

// Prints a macro just written to the macro folder.
int Written(const CliContext& ctx, const MacroTreeItem* item)
{
    const std::optional<StMacro> macro = Macros().FindById(item->macroId);
    const QString path = TreeItem_To_FilePath(item);
    if (!macro)
        return ctx.Fail(QStringLiteral("cannot write %1").arg(path));
    if (!ctx.json)
        ctx.Print(QStringLiteral("macro '%1' (%2 event(s)) written to %3").arg(MacroName(*macro)).arg(MacroEventCount(*macro)).arg(path));
    else
        ctx.PrintJson(QJsonObject{{QStringLiteral("id"), qint64(macro->id)},
                                  {QStringLiteral("name"), MacroName(*macro)},
                                  {QStringLiteral("file"), path}});
    return kOk;
}

int NewCommand(CliContext& ctx)
{
    QStringList words = ctx.args.mid(1);
    std::optional<int> repeat = 1;
    if (const qsizetype at = words.indexOf(QStringLiteral("--repeat")); at >= 0) {
        repeat = at + 1 < words.size() ? ParseInt(words[at + 1]) : std::nullopt;
        words.remove(at, std::min<qsizetype>(2, words.size() - at));
        if (!repeat || *repeat < kMacroMinRepeat || *repeat > kMacroMaxRepeat)
            return ctx.UsageError(QStringLiteral("--repeat wants a count %1..%2").arg(kMacroMinRepeat).arg(kMacroMaxRepeat));
    }
    if (words.size() < 2)
        return ctx.UsageError(QStringLiteral("usage: macro new NAME EVENTS... (see 'zorvanctl help macro')"));
    const QString typed = words[0];
    if (typed.size() > kNameLimit)
        return ctx.UsageError(QStringLiteral("'%1': a macro name has at most %2 characters").arg(typed).arg(kNameLimit));
    MacroTree tree;
    if (!LoadLibrary(ctx, tree))
        return kFailed;
    const std::optional<QString> name = CheckedMacroName(typed);
    if (!name)
        return ctx.UsageError(NameRefusal());
    if (name->isEmpty())
        return ctx.UsageError(QStringLiteral("'%1': the name is empty once its last '.' and what follows go").arg(typed));
    StMacro parsed = NewEmptyMacro(*name);
    if (const std::optional<QString> error = ParseMacroEvents(words.mid(1), std::max(Options().MinDelay, 0), parsed))
        return ctx.UsageError(*error);

    const MacroCommandResult made = NewMacro(tree, nullptr, typed);
    if (!made.ok)
        return ctx.Fail(made.message);
    // The events as the editor's rows would hold them, then the editor's save.
    Macros().Update(made.item->macroId, [&](StMacro& m) {
        std::memcpy(m.events, parsed.events, sizeof m.events);
        m.repeatCount = uint16_t(*repeat);
        m.flags |= kMacroDirty;
    });
    if (!Flush_Dirty_Macro(made.item))
        return ctx.Fail(QStringLiteral("cannot write %1").arg(TreeItem_To_FilePath(made.item)));
    return Written(ctx, made.item);
}

int ImportCommand(CliContext& ctx)
{
    if (ctx.args.size() != 2)
        return ctx.UsageError(QStringLiteral("usage: macro import FILE"));
    const QString file = ctx.args[1];
    MacroTree tree;
    if (!LoadLibrary(ctx, tree))
        return kFailed;
    const MacroCommandResult imported = ImportMacro(tree, nullptr, file);
    if (!imported.ok) {
        QString reason;
        if (!QFileInfo(file).isFile())
            reason = QFileInfo(file).isDir() ? QStringLiteral(" (it is a folder)") : QStringLiteral(" (no such file)");
        return ctx.Fail(QStringLiteral("%1: %2%3").arg(file, imported.message, reason));
    }
    return Written(ctx, imported.item);
}

int ExportCommand(CliContext& ctx)
{
    if (ctx.args.size() != 3)
        return ctx.UsageError(QStringLiteral("usage: macro export NAME FILE"));
    const QString target = ctx.args[2];
    if (const std::optional<QString> problem = FileWriteProblem(target))
        return ctx.Fail(QStringLiteral("cannot write %1: %2").arg(target, *problem));
    MacroTree tree;
    if (!LoadLibrary(ctx, tree))
        return kFailed;
    const MacroTreeItem* item = FindMacroItem(tree.Root(), ctx.args[1]);
    if (item == nullptr)
        return ctx.Fail(NoSuchMacro(ctx.args[1]));
    // The file as last written: what the macro folder holds for this macro.
    if (const MacroCommandResult exported = ExportMacro(item, target); !exported.ok)
        return ctx.Fail(exported.message);
    if (ctx.json)
        ctx.PrintJson(QJsonObject{{QStringLiteral("name"), item->text}, {QStringLiteral("file"), target}});
    else
        ctx.Print(QStringLiteral("macro '%1' exported to %2").arg(item->text, target));
    return kOk;
}

int DeleteCommand(CliContext& ctx)
{
    if (ctx.args.size() != 2)
        return ctx.UsageError(QStringLiteral("usage: macro delete NAME"));
    // The library is loaded by the mouse command; the name is looked up before the mouse is read
    // (the check may run once for every model).
    MacroTree tree;
    bool treeRead = false;
    MacroTreeItem* item = nullptr;
    const MouseNeeds needs{ReadScope::Whole(), [&](const DeviceDescription&) {
                               if (!std::exchange(treeRead, true))
                                   ReadMacroFolder(tree, false);
                               item = FindMacroItem(tree.Root(), ctx.args[1]);
                               return item ? ModelVerdict{} : ModelVerdict::Failed(NoSuchMacro(ctx.args[1]));
                           }};
    int exitCode = kOk;
    const auto mouse = MouseCommand::Open(ctx, exitCode, needs);
    if (!mouse)
        return exitCode;
    if (item == nullptr) {
        mouse->Finish();
        return ctx.Fail(NoSuchMacro(ctx.args[1]));
    }
    const QString name = item->text;
    const QString path = TreeItem_To_FilePath(item);
    const MacroCommandResult deleted = DeleteItem(tree, item);
    if (!deleted.ok) {
        mouse->Finish();
        return ctx.Fail(QStringLiteral("%1: %2").arg(path, deleted.message));
    }
    // Keys of the current profile still bound to the macro go back to their defaults, as the
    // window would reset them, and the mouse gets the same request.
    const DeviceDescription device = mouse->Device();
    std::optional<ProfileRecord> current = CurrentProfileCopy();
    const int result = current && ResetOrphanedKeys(*current, device, Macros())
                           ? mouse->Change([&device](ProfileRecord& p) {
                                 return ResetOrphanedKeys(p, device, Macros()) ? Edit::Changed(apply::kKeys, apply::kAll)
                                                                              : Edit::Refused({});
                             })
                           : mouse->Finish();
    if (result == kOk && ctx.json)
        ctx.PrintJson(QJsonObject{{QStringLiteral("deleted"), name}, {QStringLiteral("file"), path}});
    else if (result == kOk)
        ctx.Print(QStringLiteral("macro '%1' deleted").arg(name));
    return result;
}

}  // namespace

int MacroFileCommand(CliContext& ctx, bool& handled)
{
    const QString sub = ctx.args.value(0);
    handled = true;
    if (sub == QStringLiteral("new"))
        return NewCommand(ctx);
    if (sub == QStringLiteral("import"))
        return ImportCommand(ctx);
    if (sub == QStringLiteral("export"))
        return ExportCommand(ctx);
    if (sub == QStringLiteral("delete"))
        return DeleteCommand(ctx);
    handled = false;
    return kOk;
}

}  // namespace zorvan::cli
