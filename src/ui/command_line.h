#pragma once
// zorvan's command line: --help and --version print and end; any other argument starts the
// program hidden in the tray (what the autostart entry does with --tray).
#include <QString>

namespace zorvan {

enum class StartAction { kRun, kRunHidden, kPrintHelp, kPrintVersion };

StartAction ParseCommandLine(int argc, const char* const* argv);

// The text --help prints; `program` is the name it was started by.
QString HelpText(const QString& program);

// The text --version prints.
QString VersionText();

}  // namespace zorvan
