#pragma once
// The table of zorvanctl's commands: every command file adds its commands with their help
// (CommandRegistrar, cli.h); the dispatcher, the help texts, the manual page and the bash
// completion all read this one table.
#include "cli/cli.h"

#include <QString>
#include <QStringList>

#include <map>

namespace zorvan::cli {

struct CommandEntry {
    QString name;
    QStringList usage;  // usage forms, each starting with the command word
    QString summary;
    QString details;
    CommandFn fn = nullptr;
};

// Every registered command by name.
const std::map<QString, CommandEntry>& CommandTable();
// The command `name`, or null.
const CommandEntry* FindCommand(const QString& name);

}  // namespace zorvan::cli
