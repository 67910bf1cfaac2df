// zorvanctl: what the GUI does with the mouse and the files, from a shell.
#include "cli/cli.h"

#include "app/log.h"
#include "app/paths.h"

#include <QCoreApplication>

#include <cstdio>
#include <map>
#include <string>

namespace zorvan::cli {
namespace {

struct Command {
    std::string synopsis;
    CommandFn fn;
};

std::map<std::string, Command>& Commands()
{
    static std::map<std::string, Command> commands;
    return commands;
}

void PrintHelp()
{
    std::printf(
        "Usage: zorvanctl [GLOBAL OPTIONS] COMMAND [ARGUMENTS]\n"
        "\n"
        "Global options:\n"
        "  --app-dir DIR       the application folder (cfg.ini, text.xml, skins)\n"
        "  --data-dir DIR      the user's data folder (profile store, macros, lang.ini)\n"
        "  --emulate[=FILE]    use the emulated mouse; FILE keeps its state between calls\n"
        "  --model CID:MID     with --emulate: the model it reports (hex, e.g. 1a:05)\n"
        "  --pid2              with --emulate: it appears under cfg.ini's PID2, which leaves its\n"
        "                      sleep time and light-off setting free to change\n"
        "  --json              machine-readable output\n"
        "  -v                  also print the program's log to standard error\n"
        "\n"
        "Commands:\n");
    for (const auto& [name, command] : Commands())
        std::printf("%s\n", command.synopsis.c_str());
    std::printf(
        "\n"
        "Numbers are decimal, or hexadecimal with 0x. Exit codes: 0 success, 1 failure, 2 usage error.\n");
}

QString NextValue(const QStringList& words, int& i, const QString& option, bool& missing)
{
    if (i + 1 >= words.size()) {
        missing = true;
        return {};
    }
    Q_UNUSED(option);
    return words[++i];
}

}  // namespace

CommandRegistrar::CommandRegistrar(const char* name, const char* synopsis, CommandFn fn)
{
    Commands()[name] = Command{synopsis, fn};
}

int Main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    QCoreApplication::setApplicationName(QStringLiteral("zorvanctl"));
    CliContext ctx;
    const QStringList words = app.arguments().mid(1);
    int i = 0;
    for (; i < words.size(); ++i) {
        const QString& w = words[i];
        bool missing = false;
        if (w == QStringLiteral("--help") || w == QStringLiteral("-h")) {
            PrintHelp();
            return kOk;
        } else if (w == QStringLiteral("--app-dir")) {
            ctx.appDir = NextValue(words, i, w, missing);
        } else if (w == QStringLiteral("--data-dir")) {
            ctx.dataDir = NextValue(words, i, w, missing);
            ctx.dataDirGiven = true;
        } else if (w == QStringLiteral("--emulate")) {
            ctx.emulate = true;
        } else if (w.startsWith(QStringLiteral("--emulate="))) {
            ctx.emulate = true;
            ctx.emulateFile = w.mid(10);
        } else if (w == QStringLiteral("--model")) {
            const QString value = NextValue(words, i, w, missing);
            const QStringList parts = value.split(u':');
            bool okC = false, okM = false;
            if (!missing) {
                const int cid = parts.value(0).toInt(&okC, 16);
                const int mid = parts.value(1).toInt(&okM, 16);
                if (parts.size() != 2 || !okC || !okM)
                    return ctx.UsageError(QStringLiteral("--model wants CID:MID in hexadecimal, e.g. 1a:05"));
                ctx.model = {cid, mid};
            }
        } else if (w == QStringLiteral("--pid2")) {
            ctx.secondProductId = true;
        } else if (w == QStringLiteral("--json")) {
            ctx.json = true;
        } else if (w == QStringLiteral("-v")) {
            ctx.verbose = true;
        } else if (w.startsWith(u'-')) {
            return ctx.UsageError(QStringLiteral("unknown option %1").arg(w));
        } else {
            break;
        }
        if (missing)
            return ctx.UsageError(QStringLiteral("%1 needs a value").arg(w));
    }
    if (i >= words.size())
        return ctx.UsageError(QStringLiteral("no command given"));
    ctx.command = words[i];
    ctx.args = words.mid(i + 1);
    // Options may also follow the command word (`cfg-check --json FILE`).
    for (int k = 0; k < ctx.args.size();) {
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

    const auto found = Commands().find(ctx.command.toStdString());
    if (found == Commands().end())
        return ctx.UsageError(QStringLiteral("unknown command '%1'").arg(ctx.command));
    return found->second.fn(ctx);
}

}  // namespace zorvan::cli

int main(int argc, char** argv)
{
    return zorvan::cli::Main(argc, argv);
}
