// zorvan: the configuration program for the Zorvan wireless gaming mice.
#include "app/paths.h"
#include "ui/command_line.h"
#include "ui/zorvan_app.h"

#include <QApplication>

#include <cstdio>

int main(int argc, char** argv)
{
    // Before the application object: printing needs no display.
    switch (zorvan::ParseCommandLine(argc, argv)) {
    case zorvan::StartAction::kPrintHelp:
        std::fputs(zorvan::HelpText(QString::fromLocal8Bit(argv[0]).section(u'/', -1)).toLocal8Bit().constData(), stdout);
        return 0;
    case zorvan::StartAction::kPrintVersion:
        std::fputs(zorvan::VersionText().toLocal8Bit().constData(), stdout);
        return 0;
    case zorvan::StartAction::kRun:
    case zorvan::StartAction::kRunHidden:
        break;
    }
    QApplication application(argc, argv);
    QApplication::setDesktopFileName(QStringLiteral("zorvan"));
    zorvan::CZorvanApp app(argc, argv, zorvan::FindAppDir());
    int code = 0;
    if (app.InitInstance(code))
        code = app.Run();
    app.ExitInstance();
    return code;
}
