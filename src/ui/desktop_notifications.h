#pragma once
// Battery notifications on the desktop: BatteryAlerts decides, this shows. A notification goes
// to the freedesktop notification service over D-Bus; where the service is missing (no session
// bus, nobody owns the name, the call fails), the tray icon's balloon shows it instead. The
// call is asynchronous: the user-interface thread never waits for the bus. The switch is kept
// as `Notify` in "desktop.ini" of the data folder (on by default).
#include "ui/battery_alerts.h"

#include <QObject>
#include <QString>

#include <functional>

namespace zorvan {

class BatteryNotifications : public QObject {
    Q_OBJECT
public:
    // Shows `summary` and `body`, then calls `delivered` (later) with whether it was shown.
    using Sender = std::function<void(const QString& summary, const QString& body, std::function<void(bool)> delivered)>;
    using Balloon = std::function<void(const QString& summary, const QString& body)>;

    // The freedesktop notification service on the session bus.
    static Sender FreedesktopService();

    // `title`: the summary of every notification (the window title).
    BatteryNotifications(QString title, Sender desktop, Balloon balloon, QObject* parent = nullptr);

    bool Enabled() const { return enabled_; }
    // Switches and remembers the switch.
    void SetEnabled(bool on);

    // A battery reading of the mouse.
    void OnPowerRead(bool charging, int level);

private:
    QString title_;
    Sender desktop_;
    Balloon balloon_;
    BatteryAlerts alerts_;
    bool enabled_;
};

// The language text `key` with "%d" replaced by `value` and "%%" by "%" (a translation can hold
// nothing else that a formatter would read).
QString TextWithNumber(const char* key, int value);

}  // namespace zorvan
