#include "cli/help_text.h"

#include <QRegularExpression>

#include <map>
#include <set>

#ifndef ZORVAN_VERSION
#define ZORVAN_VERSION "unknown"
#endif

namespace zorvan::cli {
namespace {

struct GlobalOption {
    const char* form;
    const char* meaning;
};

constexpr GlobalOption kGlobalOptions[] = {
    {"--app-dir DIR", "the application folder (cfg.ini, text.xml, language folders, skins)"},
    {"--data-dir DIR", "the user's data folder (local profile store, macro folder, lang.ini)"},
    {"--emulate[=FILE]", "use the emulated mouse; FILE keeps its state between calls"},
    {"--model CID:MID", "with --emulate: the model it reports (hex, e.g. 1a:05)"},
    {"--pid2", "with --emulate: it appears under cfg.ini's PID2, which leaves its sleep time and "
               "light-off setting free to change"},
    {"--json", "machine-readable output: exactly one JSON document on standard output"},
    {"-v", "also print the program's log to standard error"},
    {"--version", "print the version and exit"},
    {"--help, -h", "print this help and exit (after a command: that command's help)"},
};

constexpr const char* kExitStatus =
    "0 success; 1 the operation failed (no mouse, the mouse refused, a file could not be read or "
    "written, a check failed); 2 usage error (unknown command or option, a missing or wrong "
    "argument), reported before the mouse is touched.";

constexpr const char* kNumbers =
    "Numbers are decimal, or hexadecimal with 0x. Keys count 1..16, DPI levels 1..8, on-board "
    "profiles 1..4; colours are written RRGGBB.";

constexpr int kSummaryColumn = 34;

// Roff: backslashes and hyphens escaped, and no line may start with a dot or a quote.
QString Roff(const QString& text)
{
    QString out = text;
    out.replace(u'\\', QStringLiteral("\\e")).replace(u'-', QStringLiteral("\\-"));
    QStringList lines = out.split(u'\n');
    for (QString& line : lines)
        if (line.startsWith(u'.') || line.startsWith(u'\''))
            line.prepend(QStringLiteral("\\&"));
    return lines.join(u'\n');
}

// The words of a usage form after the command word.
QStringList UsageWords(const QString& usage)
{
    return usage.split(u' ', Qt::SkipEmptyParts).mid(1);
}

bool IsLiteral(const QString& word)
{
    static const QRegularExpression literal(QStringLiteral("^[a-z0-9][a-z0-9|.-]*$"));
    return literal.match(word).hasMatch();
}

bool NamesFile(const QString& word)
{
    static const QRegularExpression file(QStringLiteral("^\\[?(FILE|CFG|XML)\\]?$"));
    return file.match(word).hasMatch();
}

// Completion of one command: literals at argument position 1, literals at position 2 after
// each first word, the positions that name files, and the options.
struct CommandWords {
    std::set<QString> first;
    std::map<QString, std::set<QString>> second;
    std::set<QString> filesAfter;  // first words (or "" for position 1) after which a file follows
    std::set<QString> options;
};

CommandWords WordsOf(const CommandEntry& command)
{
    static const QRegularExpression option(QStringLiteral("--[a-z][a-z0-9-]*"));
    CommandWords words;
    for (const QString& usage : command.usage) {
        const QStringList w = UsageWords(usage);
        for (auto it = option.globalMatch(usage); it.hasNext();)
            words.options.insert(it.next().captured());
        QStringList args;
        for (const QString& word : w)
            if (!word.startsWith(QStringLiteral("[-")) && !word.startsWith(QStringLiteral("--")))
                args << word;
        if (args.isEmpty())
            continue;
        if (NamesFile(args[0]))
            words.filesAfter.insert(QString());
        if (!IsLiteral(args[0]))
            continue;
        const QStringList firsts = args[0].split(u'|');
        for (const QString& first : firsts) {
            words.first.insert(first);
            if (args.size() < 2)
                continue;
            if (NamesFile(args[1]))
                words.filesAfter.insert(first);
            else if (IsLiteral(args[1]))
                for (const QString& second : args[1].split(u'|'))
                    words.second[first].insert(second);
        }
    }
    return words;
}

QString Join(const std::set<QString>& words)
{
    return QStringList(words.begin(), words.end()).join(u' ');
}

}  // namespace

QString VersionText()
{
    return QStringLiteral("zorvanctl " ZORVAN_VERSION);
}

QString OverviewText()
{
    QString text = QStringLiteral("Usage: zorvanctl [GLOBAL OPTIONS] COMMAND [ARGUMENTS]\n\nGlobal options:\n");
    for (const GlobalOption& o : kGlobalOptions)
        text += QStringLiteral("  %1 %2\n").arg(QLatin1String(o.form), -20).arg(QLatin1String(o.meaning));
    text += QStringLiteral("\nCommands:\n");
    for (const auto& [name, command] : CommandTable()) {
        // One short usage form shares its line with the summary.
        if (command.usage.size() == 1 && command.usage[0].size() + 4 <= kSummaryColumn) {
            text += QStringLiteral("  %1%2\n").arg(command.usage[0], -(kSummaryColumn - 2)).arg(command.summary);
            continue;
        }
        for (const QString& usage : command.usage)
            text += QStringLiteral("  %1\n").arg(usage);
        text += QString(kSummaryColumn, u' ') + command.summary + u'\n';
    }
    text += QStringLiteral("\n'zorvanctl help COMMAND' tells more about a command.\n%1\nExit codes: %2\n")
                .arg(QLatin1String(kNumbers), QLatin1String(kExitStatus));
    return text;
}

QString CommandHelpText(const CommandEntry& command)
{
    QString text = QStringLiteral("Usage:\n");
    for (const QString& usage : command.usage)
        text += QStringLiteral("  zorvanctl [GLOBAL OPTIONS] %1\n").arg(usage);
    text += u'\n' + command.summary + u'\n';
    if (!command.details.isEmpty())
        text += u'\n' + command.details + u'\n';
    return text;
}

QString ManPage()
{
    QString man = QStringLiteral(".TH ZORVANCTL 1 \"\" \"%1\" \"User Commands\"\n").arg(Roff(VersionText()));
    man += QStringLiteral(".SH NAME\nzorvanctl \\- configure a Zorvan wireless gaming mouse from a shell\n");
    man += QStringLiteral(".SH SYNOPSIS\n.B zorvanctl\n[\\fIGLOBAL OPTIONS\\fR] \\fICOMMAND\\fR [\\fIARGUMENTS\\fR]\n");
    man += QStringLiteral(".SH DESCRIPTION\n%1\n").arg(Roff(QStringLiteral(
        "zorvanctl does from a shell what the zorvan program does with the mouse and its files: it reads "
        "and changes the settings of the mouse's active on-board profile by the same rules, keeps the "
        "same local profile store and macro library, and checks a product's data files.")));
    man += QStringLiteral(".PP\n%1\n").arg(Roff(QLatin1String(kNumbers)));
    man += QStringLiteral(".SH GLOBAL OPTIONS\n");
    for (const GlobalOption& o : kGlobalOptions)
        man += QStringLiteral(".TP\n.B %1\n%2\n").arg(Roff(QLatin1String(o.form)), Roff(QLatin1String(o.meaning)));
    man += QStringLiteral(".SH COMMANDS\n");
    for (const auto& [name, command] : CommandTable()) {
        man += QStringLiteral(".TP\n");
        for (int i = 0; i < command.usage.size(); ++i)
            man += (i == 0 ? QString() : QStringLiteral(".TQ\n")) + QStringLiteral(".B %1\n").arg(Roff(command.usage[i]));
        man += Roff(command.summary) + u'\n';
        if (!command.details.isEmpty())
            man += QStringLiteral(".IP\n.nf\n%1\n.fi\n").arg(Roff(command.details));
    }
    man += QStringLiteral(".SH EXIT STATUS\n%1\n").arg(Roff(QLatin1String(kExitStatus)));
    man += QStringLiteral(".SH SEE ALSO\n.BR zorvan (1)\n");
    return man;
}

QString BashCompletion()
{
    QString commands;
    QString cases;
    for (const auto& [name, command] : CommandTable()) {
        commands += name + u' ';
        const CommandWords words = WordsOf(command);
        QString second;
        for (const auto& [first, next] : words.second)
            second += QStringLiteral("                %1) w=\"%2\" ;;\n").arg(first, Join(next));
        for (const QString& first : words.filesAfter)
            if (!first.isEmpty())
                second += QStringLiteral("                %1) files=1 ;;\n").arg(first);
        cases += QStringLiteral("        %1)\n            opts=\"%2\"\n").arg(name, Join(words.options));
        cases += QStringLiteral("            if [[ $n -eq 1 ]]; then w=\"%1\"; %2\n")
                     .arg(Join(words.first), words.filesAfter.count(QString()) ? QStringLiteral("files=1; ") : QString());
        if (!second.isEmpty())
            cases += QStringLiteral("            elif [[ $n -eq 2 ]]; then\n                case $first in\n%1"
                                    "                esac\n")
                         .arg(second);
        cases += QStringLiteral("            fi ;;\n");
    }
    QString globals;
    for (const GlobalOption& o : kGlobalOptions)
        globals += QString::fromLatin1(o.form).section(u' ', 0, 0).remove(u',').remove(QStringLiteral("[=FILE]")) + u' ';
    QString script = QStringLiteral(
        "# bash completion for zorvanctl (made by 'zorvanctl help --bash-completion')\n"
        "_zorvanctl()\n"
        "{\n"
        "    local cur=${COMP_WORDS[COMP_CWORD]} i=1\n"
        "    while [[ $i -lt $COMP_CWORD ]]; do\n"
        "        case ${COMP_WORDS[i]} in\n"
        "            --app-dir|--data-dir|--model) i=$((i + 2)) ;;\n"
        "            -*) i=$((i + 1)) ;;\n"
        "            *) break ;;\n"
        "        esac\n"
        "    done\n"
        "    if [[ $i -ge $COMP_CWORD ]]; then\n"
        "        case ${COMP_WORDS[COMP_CWORD - 1]} in\n"
        "            --app-dir|--data-dir) COMPREPLY=($(compgen -d -- \"$cur\")); return ;;\n"
        "            --model) return ;;\n"
        "        esac\n"
        "        COMPREPLY=($(compgen -W \"%1%2\" -- \"$cur\"))\n"
        "        return\n"
        "    fi\n"
        "    local cmd=${COMP_WORDS[i]} first=${COMP_WORDS[i + 1]} n=$((COMP_CWORD - i)) w=\"\" opts=\"\" files=0\n"
        "    case $cmd in\n"
        "%3"
        "    esac\n"
        "    if [[ $cur == -* ]]; then\n"
        "        COMPREPLY=($(compgen -W \"$opts --help --json\" -- \"$cur\"))\n"
        "    elif [[ $files -eq 1 ]]; then\n"
        "        COMPREPLY=($(compgen -f -- \"$cur\"))\n"
        "    else\n"
        "        COMPREPLY=($(compgen -W \"$w\" -- \"$cur\"))\n"
        "    fi\n"
        "}\n"
        "complete -o filenames -F _zorvanctl zorvanctl\n")
                         .arg(globals, commands.trimmed(), cases);
    return script;
}

}  // namespace zorvan::cli
