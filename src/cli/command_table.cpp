#include "cli/command_table.h"

#include <QRegularExpression>

namespace zorvan::cli {
namespace {

std::map<QString, CommandEntry>& Table()
{
    static std::map<QString, CommandEntry> table;
    return table;
}

QStringList Lines(const char* text)
{
    QStringList lines;
    for (const QString& line : QString::fromUtf8(text).split(u'\n'))
        if (!line.trimmed().isEmpty())
            lines << line.trimmed();
    return lines;
}

}  // namespace

CommandRegistrar::CommandRegistrar(const char* name, const CommandHelp& help, CommandFn fn)
{
    Table()[QString::fromUtf8(name)] = CommandEntry{QString::fromUtf8(name), Lines(help.usage),
                                                    QString::fromUtf8(help.summary).simplified(),
                                                    QString::fromUtf8(help.details).trimmed(), fn};
}

CommandRegistrar::CommandRegistrar(const char* name, const char* synopsis, CommandFn fn)
{
    // A line that starts with the command word holds a usage form, then (after two or more
    // spaces) the start of the summary; other lines continue the summary.
    static const QRegularExpression gap(QStringLiteral("\\s{2,}"));
    CommandEntry entry{QString::fromUtf8(name), {}, {}, {}, fn};
    QStringList summary;
    for (const QString& line : Lines(synopsis)) {
        if (line == entry.name || line.startsWith(entry.name + u' ')) {
            const qsizetype at = line.indexOf(gap);
            entry.usage << (at < 0 ? line : line.left(at));
            if (at >= 0)
                summary << line.mid(at).trimmed();
        } else {
            summary << line;
        }
    }
    entry.summary = summary.join(u' ');
    Table()[entry.name] = entry;
}

const std::map<QString, CommandEntry>& CommandTable()
{
    return Table();
}

const CommandEntry* FindCommand(const QString& name)
{
    const auto found = Table().find(name);
    return found == Table().end() ? nullptr : &found->second;
}

}  // namespace zorvan::cli
