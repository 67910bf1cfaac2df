// zorvanctl read, profile N, restore-defaults, export, import: the profile as the device
// session reads it, switches it, resets it, and moves it to and from a file.
#include "cli/cli.h"
#include "cli/mouse_command.h"

#include "app/configuration.h"
#include "profile/profile_transfer.h"
#include "profile/profile_state.h"

#include <QFile>
#include <QFileInfo>

namespace zorvan::cli {
namespace {

int Read(CliContext& ctx)
{
    if (!ctx.args.isEmpty())
        return ctx.UsageError(QStringLiteral("read takes no arguments"));
    int exitCode = kOk;
    const auto mouse = MouseCommand::Open(ctx, exitCode);
    if (!mouse)
        return exitCode;
    mouse->PrintProfile();
    return mouse->Finish();
}

int Profile(CliContext& ctx)
{
    const auto n = ctx.args.size() == 1 ? ParseNumber(ctx.args[0]) : std::nullopt;
    if (!n || *n < 1 || *n > 4)
        return ctx.UsageError(QStringLiteral("profile wants an on-board profile N = 1..4"));
    int exitCode = kOk;
    const auto mouse = MouseCommand::Open(ctx, exitCode);
    if (!mouse)
        return exitCode;
    const int index = int(*n) - 1;
    const std::optional<ChangeResult> switched =
        mouse->Await<ChangeResult>([&](ChangeDone done) { mouse->Editor().SelectProfile(index, std::move(done)); });
    if (switched == ChangeResult::kRefused)
        return kFailed;
    if (switched != ChangeResult::kMade)
        return ctx.Fail(QStringLiteral("the mouse did not switch to profile %1 (run with -v for the log)").arg(*n));
    if (!mouse->WaitForRead())
        return ctx.Fail(QStringLiteral("profile %1 is active, but it could not be read (run with -v for the log)").arg(*n));
    mouse->PrintProfile();
    return mouse->Finish();
}

int RestoreDefaults(CliContext& ctx)
{
    if (!ctx.args.isEmpty())
        return ctx.UsageError(QStringLiteral("restore-defaults takes no arguments"));
    int exitCode = kOk;
    const auto mouse = MouseCommand::Open(ctx, exitCode);
    if (!mouse)
        return exitCode;
    DeviceSession& session = mouse->Session();
    if (!session.RestoreDefaultsAllowed())
        return kFailed;
    session.ResetProfileToDefaults();
    session.WriteDefaultsToMouse();
    if (mouse->WaitApplied() != kOk) {
        mouse->Finish();
        return kFailed;
    }
    if (mouse->Finish() != kOk)
        return kFailed;
    mouse->Report(QStringLiteral("profile 1 is back to its defaults and the mouse restored its own"));
    return kOk;
}

int Export(CliContext& ctx)
{
    if (ctx.args.size() != 1)
        return ctx.UsageError(QStringLiteral("usage: export FILE"));
    if (const std::optional<QString> problem = FileWriteProblem(ctx.args[0]))
        return ctx.Fail(QStringLiteral("cannot write %1: %2").arg(ctx.args[0], *problem));
    int exitCode = kOk;
    const auto mouse = MouseCommand::Open(ctx, exitCode);
    if (!mouse)
        return exitCode;
    if (!ExportProfile(ctx.args[0])) {
        mouse->Finish();
        return ctx.Fail(mouse->TakeShownCount() > 0
                            ? QStringLiteral("cannot write %1 (run with -v for the log)").arg(ctx.args[0])
                            : QStringLiteral("there is no profile to export"));
    }
    if (mouse->Finish() != kOk)
        return kFailed;
    if (!ctx.json)
        ctx.Print(QStringLiteral("exported the active profile to %1").arg(ctx.args[0]));
    else
        mouse->PrintProfile();
    return kOk;
}

int Import(CliContext& ctx)
{
    if (ctx.args.size() != 1)
        return ctx.UsageError(QStringLiteral("usage: import FILE"));
    if (QFile file(ctx.args[0]); !QFileInfo(ctx.args[0]).isFile() || !file.open(QIODevice::ReadOnly))
        return ctx.Fail(QStringLiteral("cannot read %1: %2")
                            .arg(ctx.args[0], QFileInfo(ctx.args[0]).isDir() ? QStringLiteral("it is a folder")
                                              : QFileInfo::exists(ctx.args[0]) ? file.errorString()
                                                                                : QStringLiteral("no such file")));
    int exitCode = kOk;
    const auto mouse = MouseCommand::Open(ctx, exitCode);
    if (!mouse)
        return exitCode;
    const std::optional<ProfileImport> imported = ImportProfile(ctx.args[0], mouse->Session().UnderPid());
    if (!imported) {
        mouse->Finish();
        return mouse->TakeShownCount() > 0 ? kFailed : ctx.Fail(QStringLiteral("there is no profile to import into"));
    }
    // The import is written whatever ApplyNow says. A write that fails leaves the mouse with
    // part of the profile: that is a failure, whatever the local store holds.
    mouse->Editor().Post(imported->request);
    const int applied = mouse->WaitApplied();
    if (mouse->Finish() != kOk || applied != kOk) {
        ctx.Fail(QStringLiteral("the mouse did not take all of %1; import it again once the mouse answers").arg(ctx.args[0]));
        return kFailed;
    }
    if (ctx.json)
        mouse->PrintProfile();
    else
        ctx.Print(QStringLiteral("imported %1 into on-board profile %2").arg(ctx.args[0]).arg(
            zorvan::Profiles().profiles.CurrentIndex() + 1));
    return kOk;
}

const CommandRegistrar kRead("read",
                             CommandHelp{"read", "read the active on-board profile into the local store and print it",
                                         "Shows what the model has: settings and lighting zones it lacks are left out.\n"
                                         "JSON: {\"profile\", \"current_dpi_level\", \"record\": {...}} with every field of\n"
                                         "the profile record."},
                             Read);
const CommandRegistrar kProfile("profile",
                                CommandHelp{"profile N", "make on-board profile N (1..4) active, then read it"}, Profile);
const CommandRegistrar kRestore("restore-defaults",
                                CommandHelp{"restore-defaults", "reset profile 1 to its defaults and reset the mouse"},
                                RestoreDefaults);
const CommandRegistrar kExport("export",
                               CommandHelp{"export FILE", "the active profile and its macros to a .qxa file",
                                           "The folder of FILE must exist; an existing FILE is replaced."},
                               Export);
const CommandRegistrar kImport("import",
                               CommandHelp{"import FILE", "a .qxa profile file into the active profile, written to the mouse",
                                           "Its macros join the macro library; what does not fit the model is fitted\n"
                                           "and said on standard error."},
                               Import);

}  // namespace
}  // namespace zorvan::cli
