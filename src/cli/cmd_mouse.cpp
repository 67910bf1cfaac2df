// zorvanctl read, profile N, restore-defaults, export, import: the profile as the device
// session reads it, switches it, resets it, and moves it to and from a file.
#include "cli/cli.h"
#include "cli/mouse_command.h"

#include "app/configuration.h"
#include "profile/profile_transfer.h"
#include "profile/profile_state.h"

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
    int exitCode = kOk;
    const auto mouse = MouseCommand::Open(ctx, exitCode);
    if (!mouse)
        return exitCode;
    if (!ExportProfile(ctx.args[0])) {
        mouse->Finish();
        return mouse->TakeShownCount() > 0 ? kFailed : ctx.Fail(QStringLiteral("there is no profile to export"));
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
    if (!QFileInfo(ctx.args[0]).isFile())
        return ctx.Fail(QStringLiteral("cannot read %1: no such file").arg(ctx.args[0]));
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

const CommandRegistrar kRead("read", "  read                read the active on-board profile into the local store and print it", Read);
const CommandRegistrar kProfile("profile", "  profile N           make on-board profile N (1..4) active, then read it", Profile);
const CommandRegistrar kRestore("restore-defaults",
                                "  restore-defaults    reset profile 1 to its defaults and reset the mouse", RestoreDefaults);
const CommandRegistrar kExport("export", "  export FILE         the active profile and its macros to a .qxa file", Export);
const CommandRegistrar kImport("import", "  import FILE         a .qxa profile file into the active profile, written to the mouse", Import);

}  // namespace
}  // namespace zorvan::cli
