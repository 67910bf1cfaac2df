#include "ui/command_line.h"

#include <cstring>

#ifndef ZORVAN_VERSION
#define ZORVAN_VERSION "unknown"
#endif

namespace zorvan {

StartAction ParseCommandLine(int argc, const char* const* argv)
{
    for (int i = 1; i < argc; ++i) {
        if (std::strcmp(argv[i], "--help") == 0 || std::strcmp(argv[i], "-h") == 0)
            return StartAction::kPrintHelp;
        if (std::strcmp(argv[i], "--version") == 0)
            return StartAction::kPrintVersion;
    }
    return argc > 1 ? StartAction::kRunHidden : StartAction::kRun;
}

QString HelpText(const QString& program)
{
    return QStringLiteral("Usage: %1 [--tray | --help | --version]\n"
                          "Configures the buttons, DPI levels, lighting and macros of Zorvan wireless gaming mice.\n"
                          "\n"
                          "  --tray     start hidden, with the icon in the notification area (any other\n"
                          "             argument does the same)\n"
                          "  --help     print this help and exit\n"
                          "  --version  print the version and exit\n"
                          "\n"
                          "Environment: ZORVAN_EMULATE=1 lets an emulated mouse stand in while no mouse is connected.\n"
                          "zorvanctl(1) changes the same settings from the command line.\n")
        .arg(program);
}

QString VersionText()
{
    return QStringLiteral("zorvan " ZORVAN_VERSION "\n");
}

}  // namespace zorvan
