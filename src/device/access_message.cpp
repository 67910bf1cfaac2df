#include "device/access_message.h"

#include "app/configuration.h"

#include <QStringList>

namespace zorvan {

QString AccessDeniedMessage(const std::vector<std::string>& nodes)
{
    QStringList names;
    for (const std::string& node : nodes)
        names << QString::fromStdString(node);
    const AppOptions& o = Options();
    const auto hex = [](int id) { return QStringLiteral("%1").arg(id, 4, 16, QLatin1Char('0')); };
    return QStringLiteral(
               "The mouse's receiver or cable is connected (%1), but this user may not open it: permission denied.\n"
               "Zorvan's udev rule gives the user at the screen access to the devices %2:%3 and %2:%4. Install Zorvan's "
               "package, or copy 70-zorvan.rules to /etc/udev/rules.d/ and run\n"
               "  sudo udevadm control --reload && sudo udevadm trigger\n"
               "then unplug the receiver (or cable) and plug it back in.")
        .arg(names.join(QStringLiteral(", ")), hex(o.VID), hex(o.PID), hex(o.PID2));
}

}  // namespace zorvan
