// zorvanctl backup FILE, restore FILE: the four on-board profiles of the mouse with the macros
// their keys use, kept in one checked file and written back. Progress goes to standard error.
#include "cli/cli.h"
#include "cli/mouse_command.h"

#include "profile/backup_file.h"
#include "profile/mouse_backup.h"

#include <QJsonArray>

#include <atomic>
#include <cstdio>
#include <memory>

namespace zorvan::cli {
namespace {

WholeMouseStep PrintStep(const char* command)
{
    return [command](const QString& step) {
        std::fprintf(stderr, "%s: %s\n", command, step.toUtf8().constData());
        std::fflush(stderr);
    };
}

// Runs `job` as the session's whole-mouse job and waits for it. The job's state is shared, so a
// job that outlives the wait (it cannot, short of a mouse that never answers) touches no stack.
bool RunJob(MouseCommand& mouse, std::function<bool()> job)
{
    const std::optional<bool> ok = mouse.Await<bool>(
        [&](DeviceSession::Done done) { mouse.Session().RunWholeMouseJob(std::move(job), std::move(done)); });
    return ok.value_or(false);
}

QString ModelText(uint8_t cid, uint8_t mid)
{
    return QStringLiteral("%1:%2").arg(cid, 2, 16, QLatin1Char('0')).arg(mid, 2, 16, QLatin1Char('0'));
}

int Backup(CliContext& ctx)
{
    if (ctx.args.size() != 1)
        return ctx.UsageError(QStringLiteral("usage: backup FILE"));
    const QString path = ctx.args[0];
    int exitCode = kOk;
    const auto mouse = MouseCommand::Open(ctx, exitCode);
    if (!mouse)
        return exitCode;
    struct Shared {
        std::atomic<bool> abort{false};
        std::optional<MouseBackup> backup;
        QString error;
    };
    const auto shared = std::make_shared<Shared>();
    CUSBDriver& link = mouse->Session().Link();
    // The take-over has just read the active profile whole: the job decodes it from those bytes.
    const std::optional<ProfileBytes> activeRead = mouse->Session().LastReadBytes();
    const bool read = RunJob(*mouse, [shared, &link, activeRead, step = PrintStep("backup")] {
        shared->backup = ReadWholeMouse(link, shared->abort, step, shared->error, activeRead ? &*activeRead : nullptr);
        return shared->backup.has_value();
    });
    shared->abort.store(true);
    if (!read || !shared->backup) {
        mouse->Finish();
        return ctx.Fail(QStringLiteral("the mouse could not be backed up: %1; %2 was not written")
                            .arg(shared->error.isEmpty() ? QStringLiteral("it did not answer in time") : shared->error, path));
    }
    const MouseBackup& backup = *shared->backup;
    QString error;
    if (!SaveBackupFile(path, backup, error)) {
        mouse->Finish();
        return ctx.Fail(error);
    }
    if (mouse->Finish() != kOk)
        return kFailed;
    if (ctx.json) {
        QJsonArray profiles;
        for (size_t p = 0; p < backup.profiles.size(); ++p)
            profiles.append(QJsonObject{{QStringLiteral("profile"), int(p)},
                                        {QStringLiteral("current_dpi_level"), backup.profiles[p].currentDpiLevel},
                                        {QStringLiteral("macros"), int(backup.profiles[p].macros.size())}});
        ctx.PrintJson(QJsonObject{{QStringLiteral("file"), path},
                                  {QStringLiteral("cid"), backup.cid},
                                  {QStringLiteral("mid"), backup.mid},
                                  {QStringLiteral("active_profile"), backup.activeProfile},
                                  {QStringLiteral("profiles"), profiles}});
    } else {
        ctx.Print(QStringLiteral("backed up the four on-board profiles of the mouse %1 to %2")
                      .arg(ModelText(backup.cid, backup.mid), path));
    }
    return kOk;
}

int Restore(CliContext& ctx)
{
    QStringList args = ctx.args;
    const bool writeCheck = args.removeAll(QStringLiteral("--no-verify")) == 0;
    if (args.size() != 1)
        return ctx.UsageError(QStringLiteral("usage: restore FILE [--no-verify]"));
    const QString path = args[0];
    // The whole file is checked before the mouse is even asked.
    QString error;
    const std::optional<MouseBackup> loaded = LoadBackupFile(path, error);
    if (!loaded)
        return ctx.Fail(error + QStringLiteral("; nothing was written to the mouse"));
    int exitCode = kOk;
    // The profiles are replaced and the active one read afterwards: the take-over reads nothing.
    const auto mouse = MouseCommand::Open(ctx, exitCode, MouseNeeds{ReadScope::Nothing(), {}});
    if (!mouse)
        return exitCode;
    DeviceSession& session = mouse->Session();
    if (!BackupFitsModel(*loaded, mouse->Device(), error)) {
        mouse->Finish();
        return ctx.Fail(QStringLiteral("%1 cannot be restored: %2; nothing was written to the mouse").arg(path, error));
    }
    if (!session.SettingsChangeAllowed()) {
        mouse->Finish();
        return kFailed;
    }
    struct Shared {
        MouseBackup backup;
        QString error;
    };
    const auto shared = std::make_shared<Shared>(Shared{*loaded, {}});
    const RestoreOptions options{session.UnderPid(), writeCheck};
    CUSBDriver& link = session.Link();
    const bool written = RunJob(*mouse, [shared, &link, options, step = PrintStep("restore")] {
        return WriteWholeMouse(link, shared->backup, options, step, shared->error);
    });
    if (!written) {
        mouse->Finish();
        return ctx.Fail(QStringLiteral("the mouse did not take all of %1: %2; restore it again once the mouse answers")
                            .arg(path, shared->error.isEmpty() ? QStringLiteral("it did not answer in time") : shared->error));
    }
    // The local copies follow the mouse; the active profile is read back as a take-over reads it.
    TakeBackupIntoLocalProfiles(*loaded);
    session.SetReadScope(ReadScope::Whole());
    session.StartProfileRead();
    if (!mouse->WaitForRead()) {
        mouse->Finish();
        return ctx.Fail(QStringLiteral("%1 was restored, but the active profile could not be read back (run with -v for the log)").arg(path));
    }
    if (mouse->Finish() != kOk)
        return kFailed;
    if (ctx.json)
        mouse->PrintProfile();
    else
        ctx.Print(QStringLiteral("restored the four on-board profiles from %1").arg(path));
    return kOk;
}

const CommandRegistrar kBackup("backup", "  backup FILE         the four on-board profiles and their macros into one file", Backup);
const CommandRegistrar kRestore("restore",
                                "  restore FILE [--no-verify]\n"
                                "                      write the four on-board profiles of a backup back to the mouse,\n"
                                "                      each read back and compared unless --no-verify",
                                Restore);

}  // namespace
}  // namespace zorvan::cli
