// zorvanctl macro new|import|export|delete: the macro editor's file commands, with the name rule
// and the messages of the macro library. New and imported macros are written to the top of the
// macro folder at once; a deleted macro leaves the library and the folder, and the keys of the
// mouse's current profile bound to it go back to their defaults through the one editing path.
#include "cli/macro_file_commands.h"

#include "cli/macro_event_syntax.h"
#include "cli/mouse_command.h"

#include "app/configuration.h"
#include "app/log.h"
#include "macro/macro_files.h"
#include "macro/macro_library.h"
#include "macro/macro_record.h"
#include "macro/macro_rules.h"
#include "macro/time_stamp_id.h"
#include "profile/orphaned_keys.h"
#include "profile/profile_state.h"
#include "text/language_choice.h"
#include "text/language_texts.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QJsonObject>
#include <QSaveFile>

#include <cerrno>
#include <cstring>

namespace zorvan::cli {
namespace {

// The macro editor's input dialog takes names of at most 15 characters.
constexpr int kNameLimit = 15;

QString TextOr(const char* key, const char* fallback)
{
    const QString text = GetText(key).trimmed();
    return text.isEmpty() ? QString::fromUtf8(fallback) : text;
}

bool LoadLibrary(CliContext& ctx)
{
    if (!LoadProductData(ctx))
        return false;
    LoadChosenLanguage();
    LoadMacroLibrary();
    return true;
}

// A macro file or (with MacroDir) a folder at the top of the macro folder already has `name`:
// the editor's tree would hold two children of that name.
bool TakenAtTop(const QString& name)
{
    const QFileInfoList entries = QDir(MacroFolder()).entryInfoList(QDir::Files | QDir::Dirs | QDir::NoDotAndDotDot);
    for (const QFileInfo& entry : entries) {
        if (entry.isDir()) {
            if (Options().MacroDir != 0 && entry.fileName().compare(name, Qt::CaseInsensitive) == 0)
                return true;
        } else if (!IsPartialSave(entry.fileName()) && entry.completeBaseName().compare(name, Qt::CaseInsensitive) == 0) {
            return true;
        }
    }
    return false;
}

// Adds `macro` (a new id given) to the library and writes its file at the top of the macro
// folder. kOk, or kFailed with the message printed.
int AddAndWrite(const CliContext& ctx, StMacro macro)
{
    if (Macros().Count() >= kMacroLibraryMax)
        return ctx.Fail(QStringLiteral("The number of macro is up to the maximum"));
    macro.id = NewTimeStampId();
    macro.flags = 0;
    const QString path = MacroFilePath(MacroName(macro), macro.id);
    const FileWriteResult written = WriteMacroFile(path, macro);
    if (!written.Ok()) {
        Log("Flush_Dirty_Macro: WriteFile err=0x%x, %s", unsigned(written.error), path.toUtf8().constData());
        return ctx.Fail(QStringLiteral("cannot write %1: %2").arg(path, QString::fromLocal8Bit(std::strerror(written.error))));
    }
    RememberMacroFile(macro.id, path);
    Macros().AddCopy(macro);
    if (!ctx.json)
        ctx.Print(QStringLiteral("macro '%1' (%2 event(s)) written to %3").arg(MacroName(macro)).arg(MacroEventCount(macro)).arg(path));
    else
        ctx.PrintJson(QJsonObject{{QStringLiteral("id"), qint64(macro.id)},
                                  {QStringLiteral("name"), MacroName(macro)},
                                  {QStringLiteral("file"), path}});
    return kOk;
}

int NewMacro(CliContext& ctx)
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
    if (!LoadLibrary(ctx))
        return kFailed;
    const std::optional<QString> name = CheckedMacroName(typed);
    if (!name)
        return ctx.UsageError(TextOr("tc_tip1", "Invalid file name."));
    if (name->isEmpty())
        return ctx.UsageError(QStringLiteral("'%1': the name is empty once its last '.' and what follows go").arg(typed));
    StMacro macro = NewEmptyMacro(*name);
    if (const std::optional<QString> error = ParseMacroEvents(words.mid(1), std::max(Options().MinDelay, 0), macro))
        return ctx.UsageError(*error);
    macro.repeatCount = uint16_t(*repeat);
    if (Macros().Count() >= kMacroLibraryMax)
        return ctx.Fail(QStringLiteral("The number of macro is up to the maximum"));
    if (TakenAtTop(*name))
        return ctx.Fail(TextOr("tc_macro_msg8", "This name is already used here."));
    return AddAndWrite(ctx, macro);
}

int ImportMacro(CliContext& ctx)
{
    if (ctx.args.size() != 2)
        return ctx.UsageError(QStringLiteral("usage: macro import FILE"));
    const QString file = ctx.args[1];
    if (!LoadLibrary(ctx))
        return kFailed;
    const QString title = QFileInfo(file).completeBaseName().left(kMacroNameMaxChars);
    if (TakenAtTop(title))
        return ctx.Fail(QStringLiteral("%1: %2").arg(title, TextOr("tc_macro_msg8", "This name is already used here.")));
    const MacroImport imported = ReadMacroForImport(file);
    if (!imported.macro) {
        QString reason;
        if (!QFileInfo(file).isFile())
            reason = QFileInfo(file).isDir() ? QStringLiteral(" (it is a folder)") : QStringLiteral(" (no such file)");
        return ctx.Fail(QStringLiteral("%1: %2%3").arg(file, imported.message, reason));
    }
    StMacro macro = *imported.macro;
    SetMacroName(macro, title);
    return AddAndWrite(ctx, macro);
}

// Why the library holds no macro `name`.
QString NoSuchMacro(const QString& name)
{
    return Macros().Count() == 0
               ? QStringLiteral("no macro named '%1': the macro library is empty").arg(name)
               : QStringLiteral("no macro named '%1' in the macro library (see 'zorvanctl macro list')").arg(name);
}

// The library macro `name`, or nothing with the failure printed.
std::optional<StMacro> LibraryMacro(const CliContext& ctx, const QString& name)
{
    std::optional<StMacro> macro = Macros().FindByName(name);
    if (!macro)
        ctx.Fail(NoSuchMacro(name));
    return macro;
}

int ExportMacro(CliContext& ctx)
{
    if (ctx.args.size() != 3)
        return ctx.UsageError(QStringLiteral("usage: macro export NAME FILE"));
    const QString target = ctx.args[2];
    if (const std::optional<QString> problem = FileWriteProblem(target))
        return ctx.Fail(QStringLiteral("cannot write %1: %2").arg(target, *problem));
    if (!LoadLibrary(ctx))
        return kFailed;
    const std::optional<StMacro> macro = LibraryMacro(ctx, ctx.args[1]);
    if (!macro)
        return kFailed;
    // The file as last written: what the macro folder holds for this macro.
    const QString source = MacroFilePath(MacroName(*macro), macro->id);
    QFile in(source);
    if (!in.open(QIODevice::ReadOnly))
        return ctx.Fail(QStringLiteral("cannot read the macro's file %1: %2").arg(source, in.errorString()));
    const QByteArray bytes = in.readAll();
    errno = 0;
    QSaveFile out(target);
    if (!out.open(QIODevice::WriteOnly) || out.write(bytes) != bytes.size() || !out.commit()) {
        Log("ExportMacro: copy file err=0x%x", unsigned(errno));
        return ctx.Fail(QStringLiteral("cannot write %1: %2").arg(target, out.errorString()));
    }
    if (ctx.json)
        ctx.PrintJson(QJsonObject{{QStringLiteral("name"), MacroName(*macro)}, {QStringLiteral("file"), target}});
    else
        ctx.Print(QStringLiteral("macro '%1' exported to %2").arg(MacroName(*macro), target));
    return kOk;
}

int DeleteMacro(CliContext& ctx)
{
    if (ctx.args.size() != 2)
        return ctx.UsageError(QStringLiteral("usage: macro delete NAME"));
    std::optional<StMacro> macro;
    // The library is loaded by the mouse command; the name is looked up before the mouse is read.
    const MouseNeeds needs{ReadScope::Whole(), [&](const DeviceDescription&) {
                               macro = Macros().FindByName(ctx.args[1]);
                               return macro ? ModelVerdict{} : ModelVerdict::Failed(NoSuchMacro(ctx.args[1]));
                           }};
    int exitCode = kOk;
    const auto mouse = MouseCommand::Open(ctx, exitCode, needs);
    if (!mouse)
        return exitCode;
    const QString path = MacroFilePath(MacroName(*macro), macro->id);
    Macros().Remove(macro->id);
    // Keys of the current profile still bound to the macro go back to their defaults, as the
    // window would reset them, and the mouse gets the same request.
    const DeviceDescription device = mouse->Device();
    std::optional<ProfileRecord> current = CurrentProfileCopy();
    int result = kOk;
    if (current && ResetOrphanedKeys(*current, device, Macros()))
        result = mouse->Change([&device](ProfileRecord& p) {
            return ResetOrphanedKeys(p, device, Macros()) ? Edit::Changed(apply::kKeys, apply::kAll) : Edit::Refused({});
        });
    else
        result = mouse->Finish();
    errno = 0;
    if (QFileInfo::exists(path) && !QFile::remove(path) && errno != ENOENT) {
        const int error = errno;
        Log("DeleteFile %s, err=%d", path.toUtf8().constData(), error);
        return ctx.Fail(QStringLiteral("%1: Delete File failed, err = %2.").arg(path).arg(error));
    }
    if (result == kOk && ctx.json)
        ctx.PrintJson(QJsonObject{{QStringLiteral("deleted"), MacroName(*macro)}, {QStringLiteral("file"), path}});
    else if (result == kOk)
        ctx.Print(QStringLiteral("macro '%1' deleted").arg(MacroName(*macro)));
    return result;
}

}  // namespace

int MacroFileCommand(CliContext& ctx, bool& handled)
{
    const QString sub = ctx.args.value(0);
    handled = true;
    if (sub == QStringLiteral("new"))
        return NewMacro(ctx);
    if (sub == QStringLiteral("import"))
        return ImportMacro(ctx);
    if (sub == QStringLiteral("export"))
        return ExportMacro(ctx);
    if (sub == QStringLiteral("delete"))
        return DeleteMacro(ctx);
    handled = false;
    return kOk;
}

}  // namespace zorvan::cli
