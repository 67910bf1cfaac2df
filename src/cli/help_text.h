#pragma once
// What zorvanctl says about itself, all made from the command table and the table of global
// options, so the overview, the help of each command, the manual page and the bash completion
// never disagree.
#include "cli/command_table.h"

#include <QString>

namespace zorvan::cli {

// "zorvanctl VERSION".
QString VersionText();
// `zorvanctl --help`: usage, global options, every command's usage forms and summary.
QString OverviewText();
// `zorvanctl help COMMAND`, `COMMAND --help`.
QString CommandHelpText(const CommandEntry& command);
// The manual page zorvanctl(1) in roff (`zorvanctl help --man`).
QString ManPage();
// A bash completion script for zorvanctl (`zorvanctl help --bash-completion`).
QString BashCompletion();

}  // namespace zorvan::cli
