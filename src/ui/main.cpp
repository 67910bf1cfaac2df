// zorvan: the configuration program for the Zorvan wireless gaming mice.
#include "ui/zorvan_app.h"

#include <QApplication>

int main(int argc, char** argv)
{
    QApplication application(argc, argv);
    zorvan::CZorvanApp app(argc, argv);
    int code = 0;
    if (app.InitInstance(code))
        code = app.Run();
    app.ExitInstance();
    return code;
}
