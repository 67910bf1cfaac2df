// zorvanctl: what the GUI does with the mouse and the files, from a shell.
#include "cli/cli.h"
#include "cli/command_table.h"
#include "cli/help_text.h"
#include "cli/mouse_access.h"

#include "app/log.h"
#include "app/paths.h"

#include <QCoreApplication>

#include <cstdio>

namespace zorvan::cli {
namespace {

bool IsHelpWord(const QString& word)
{
    return word == QStringLiteral("--help") || word == QStringLiteral("-h");
}

void PrintText(const QString& text)
{
    const QByteArray utf8 = text.toUtf8();
    std::fwrite(utf8.constData(), 1, size_t(utf8.size()), stdout);
}

// The global options before the command word; kOk, or the usage error printed. `i` ends at the
// command word. `done` is set when an option answered by itself (--help, --version).
int ParseGlobalOptions(CliContext& ctx, const QStringList& words, int& i, bool& done)
{
    for (; i < words.size(); ++i) {
        const QString& w = words[i];
        const auto value = [&]() -> std::optional<QString> {
            if (i + 1 >= words.size())
                return std::nullopt;
            return words[++i];
        };
        if (IsHelpWord(w)) {
            PrintText(OverviewText());
            done = true;
            return kOk;
        }
        if (w == QStringLiteral("--version")) {
            PrintText(VersionText() + u'\n');
            done = true;
            return kOk;
        }
        if (w == QStringLiteral("--app-dir") || w == QStringLiteral("--data-dir") || w == QStringLiteral("--model")) {
            const std::optional<QString> v = value();
            if (!v)
                return ctx.UsageError(QStringLiteral("%1 needs a value").arg(w));
            if (w == QStringLiteral("--app-dir")) {
                ctx.appDir = *v;
            } else if (w == QStringLiteral("--data-dir")) {
                ctx.dataDir = *v;
                ctx.dataDirGiven = true;
            } else {
                const QStringList parts = v->split(u':');
                bool okC = false, okM = false;
                const int cid = parts.value(0).toInt(&okC, 16);
                const int mid = parts.value(1).toInt(&okM, 16);
                if (parts.size() != 2 || !okC || !okM || cid < 0 || cid > 0xFF || mid < 0 || mid > 0xFF)
                    return ctx.UsageError(
                        QStringLiteral("--model '%1': wants CID:MID, two hexadecimal bytes, e.g. 1a:05").arg(*v));
                ctx.model = {cid, mid};
            }
        } else if (w == QStringLiteral("--emulate")) {
            ctx.emulate = true;
        } else if (w.startsWith(QStringLiteral("--emulate="))) {
            ctx.emulate = true;
            ctx.emulateFile = w.mid(10);
        } else if (w == QStringLiteral("--pid2")) {
            ctx.secondProductId = true;
        } else if (w == QStringLiteral("--json")) {
            ctx.json = true;
        } else if (w == QStringLiteral("-v")) {
            ctx.verbose = true;
        } else if (w.startsWith(u'-')) {
            return ctx.UsageError(QStringLiteral("unknown option '%1'").arg(w));
        } else {
            return kOk;
        }
    }
    return kOk;
}

int Run(CliContext& ctx, const QStringList& words)
{
    int i = 0;
    bool done = false;
    if (const int usage = ParseGlobalOptions(ctx, words, i, done); usage != kOk || done)
        return usage;
    if (i >= words.size())
        return ctx.UsageError(QStringLiteral("no command given"));
    ctx.command = words[i];
    ctx.args = words.mid(i + 1);
    const CommandEntry* command = FindCommand(ctx.command);
    if (command == nullptr) {
        const QString name = ctx.command;
        ctx.command.clear();
        return ctx.UsageError(QStringLiteral("unknown command '%1'").arg(name));
    }
    // Options may also follow the command word (`cfg-check --json FILE`), and so may --help.
    for (int k = 0; k < ctx.args.size();) {
        if (IsHelpWord(ctx.args[k])) {
            PrintText(CommandHelpText(*command));
            return kOk;
        }
        if (ctx.args[k] == QStringLiteral("--json")) {
            ctx.json = true;
            ctx.args.removeAt(k);
        } else if (ctx.args[k] == QStringLiteral("-v")) {
            ctx.verbose = true;
            ctx.args.removeAt(k);
        } else {
            ++k;
        }
    }
    if (ctx.appDir.isEmpty())
        ctx.appDir = FindAppDir();
    else if (!ctx.appDir.endsWith(u'/'))
        ctx.appDir += u'/';
    if (ctx.dataDirGiven && !ctx.dataDir.endsWith(u'/'))
        ctx.dataDir += u'/';
    if (ctx.verbose)
        SetLogEcho([](const std::string& entry) { std::fprintf(stderr, "log: %s\n", entry.c_str()); });
    return command->fn(ctx);
}

int Help(CliContext& ctx)
{
    const QString what = ctx.args.value(0);
    if (ctx.args.size() > 1)
        return ctx.UsageError(QStringLiteral("help takes one COMMAND, --man or --bash-completion"));
    if (what.isEmpty()) {
        PrintText(OverviewText());
    } else if (what == QStringLiteral("--man")) {
        PrintText(ManPage());
    } else if (what == QStringLiteral("--bash-completion")) {
        PrintText(BashCompletion());
    } else if (const CommandEntry* command = FindCommand(what)) {
        PrintText(CommandHelpText(*command));
    } else {
        QStringList names;
        for (const auto& [name, entry] : CommandTable())
            names << name;
        return ctx.UsageError(QStringLiteral("unknown command '%1'; commands: %2").arg(what, names.join(u' ')));
    }
    return kOk;
}

const CommandRegistrar kHelp("help",
                             CommandHelp{"help [COMMAND]\nhelp --man\nhelp --bash-completion",
                                         "the help of zorvanctl or of one command; its manual page (roff) or "
                                         "its bash completion script, made from the same table"},
                             Help);

}  // namespace

int Main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    QCoreApplication::setApplicationName(QStringLiteral("zorvanctl"));
    CliContext ctx;
    const int result = Run(ctx, app.arguments().mid(1));
    NoteEmulatorRequests();
    return result;
}

}  // namespace zorvan::cli

int main(int argc, char** argv)
{
    return zorvan::cli::Main(argc, argv);
}
