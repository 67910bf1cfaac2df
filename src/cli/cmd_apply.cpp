// zorvanctl apply FILE.json: a profile document as `read --json` prints it, applied by changing
// only what differs, each change made as its single command makes it (`set`, `light`,
// `assign`), through the settings editor. The whole document is checked on a copy first, so a
// document that any rule refuses (no left click left, a value the sensor does not offer) changes
// nothing.
#include "cli/cli.h"
#include "cli/json_apply.h"
#include "cli/mouse_command.h"

#include "app/configuration.h"
#include "profile/profile_state.h"

#include <QFile>

#include <cstdio>

namespace zorvan::cli {
namespace {

// A document is small; anything beyond this is not one.
constexpr qint64 kMaxDocumentSize = 1 << 20;

std::optional<QByteArray> ReadDocument(const QString& path, QString& error)
{
    QFile file;
    const bool opened = path == QStringLiteral("-") ? file.open(stdin, QIODevice::ReadOnly)
                                                    : (file.setFileName(path), file.open(QIODevice::ReadOnly));
    if (!opened) {
        error = QStringLiteral("cannot read %1: %2").arg(path, file.errorString());
        return std::nullopt;
    }
    // A pipe gives its bytes in pieces.
    QByteArray bytes;
    while (bytes.size() <= kMaxDocumentSize) {
        const QByteArray piece = file.read(kMaxDocumentSize + 1 - bytes.size());
        if (piece.isEmpty())
            break;
        bytes += piece;
    }
    if (bytes.size() > kMaxDocumentSize) {
        error = QStringLiteral("%1 is larger than a profile document can be").arg(path);
        return std::nullopt;
    }
    return bytes;
}

// The document read over the current profile; nothing with the failure printed.
std::optional<ProfileDocument> ReadOverCurrent(CliContext& ctx, const QString& path, const QByteArray& json)
{
    const std::optional<ProfileRecord> current = CurrentProfileCopy();
    if (!current) {
        ctx.Fail(QStringLiteral("there is no profile to apply %1 to").arg(path));
        return std::nullopt;
    }
    QString error;
    std::optional<ProfileDocument> document = ReadProfileDocument(json, *current, g_nCurDpiLevel.load(), error);
    if (!document)
        ctx.Fail(QStringLiteral("%1: %2; nothing was changed").arg(path, error));
    return document;
}

int Apply(CliContext& ctx)
{
    QStringList args = ctx.args;
    const bool writeCheck = args.removeAll(QStringLiteral("--no-verify")) == 0;
    if (args.size() != 1)
        return ctx.UsageError(QStringLiteral("usage: apply FILE.json [--no-verify] (FILE - reads standard input)"));
    const QString path = args[0];
    QString error;
    const std::optional<QByteArray> json = ReadDocument(path, error);
    if (!json)
        return ctx.Fail(error);
    int exitCode = kOk;
    const auto mouse = MouseCommand::Open(ctx, exitCode);
    if (!mouse)
        return exitCode;
    std::optional<ProfileDocument> document = ReadOverCurrent(ctx, path, *json);
    if (!document) {
        mouse->Finish();
        return kFailed;
    }
    // A document of another on-board profile makes that one active first, as `profile N` does.
    if (document->profile && *document->profile != Profiles().profiles.CurrentIndex()) {
        const int index = *document->profile;
        const std::optional<ChangeResult> switched =
            mouse->Await<ChangeResult>([&](ChangeDone done) { mouse->Editor().SelectProfile(index, std::move(done)); });
        if (switched != ChangeResult::kMade || !mouse->WaitForRead()) {
            mouse->Finish();
            return switched == ChangeResult::kRefused
                       ? kFailed
                       : ctx.Fail(QStringLiteral("the mouse did not switch to profile %1 (run with -v for the log)").arg(index + 1));
        }
        document = ReadOverCurrent(ctx, path, *json);
        if (!document) {
            mouse->Finish();
            return kFailed;
        }
    }
    const ProfileRecord current = *CurrentProfileCopy();
    const int level = g_nCurDpiLevel.load();
    const DeviceDescription device = mouse->Device();
    const ApplyRules rules{device, Options(), Config().sensors, Config().defaultKeys, mouse->Session().UnderPid()};
    const std::optional<std::vector<DocumentChange>> changes = ChangesToDocument(current, level, *document, rules, error);
    QString problem = changes ? TryChanges(current, level, *changes, *document) : error;
    if (!problem.isEmpty()) {
        mouse->Finish();
        return ctx.Fail(QStringLiteral("%1: %2; nothing was changed").arg(path, problem));
    }
    if (changes->empty()) {
        if (mouse->Finish() != kOk)
            return kFailed;
        if (ctx.json)
            mouse->PrintProfile();
        else
            ctx.Print(QStringLiteral("nothing to change: the profile already is as %1 says").arg(path));
        return kOk;
    }
    QStringList made;
    for (const DocumentChange& change : *changes) {
        const ProfileEdit edit = [&change, writeCheck](ProfileRecord& p) {
            int current = g_nCurDpiLevel.load();
            Edit result = change.edit(p, current);
            g_nCurDpiLevel.store(current);
            // The apply worker reads what it wrote back (unless --no-verify).
            if (writeCheck && result.IsChanged() && result.request.flags != 0)
                result.request.flags |= apply::kVerify;
            return result;
        };
        const std::optional<ChangeResult> result = mouse->Await<ChangeResult>([&](ChangeDone done) {
            if (change.lighting)
                mouse->Editor().ChangeLighting(edit, std::move(done));
            else
                mouse->Editor().ChangeSetting(edit, std::move(done));
        });
        if (result != ChangeResult::kMade) {
            mouse->Finish();
            return ctx.Fail(QStringLiteral("%1: %2 was not taken; %3 of %4 change(s) made before it")
                                .arg(path, change.field)
                                .arg(made.size())
                                .arg(changes->size()));
        }
        made << change.field;
    }
    const int applied = Options().ApplyNow != 0 ? mouse->WaitApplied() : kOk;
    if (mouse->Finish() != kOk || applied != kOk)
        return ctx.Fail(QStringLiteral("the mouse did not take all of %1; apply it again once the mouse answers").arg(path));
    if (ctx.json) {
        mouse->PrintProfile();
        return kOk;
    }
    ctx.Print(QStringLiteral("applied %1 change(s) from %2: %3").arg(made.size()).arg(path, made.join(QStringLiteral(", "))));
    if (Options().ApplyNow == 0)
        ctx.Print(QStringLiteral("(ApplyNow is 0 in cfg.ini: kept in the local store, not sent to the mouse)"));
    return kOk;
}

const CommandRegistrar kApply("apply",
                              "  apply FILE.json [--no-verify]\n"
                              "                      change the active profile to a document as `read --json` prints it\n"
                              "                      (only what differs; - reads standard input)",
                              Apply);

}  // namespace
}  // namespace zorvan::cli
