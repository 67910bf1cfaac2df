#include "ui/device_access.h"

#include "app/configuration.h"

namespace zorvan {

QString DeviceAccessHint()
{
    return QStringLiteral(
               "The mouse is connected, but this user may not open its HID interfaces "
               "(/dev/hidraw*). Install the udev rule shipped with Zorvan:\n"
               "  sudo cp 70-zorvan.rules /etc/udev/rules.d/\n"
               "  sudo udevadm control --reload && sudo udevadm trigger\n"
               "then unplug and replug the receiver. The rule grants access to devices %1:%2 and %1:%3.")
        .arg(Options().VID, 4, 16, QLatin1Char('0'))
        .arg(Options().PID, 4, 16, QLatin1Char('0'))
        .arg(Options().PID2, 4, 16, QLatin1Char('0'));
}

}  // namespace zorvan
