#include "ui/desktop_notifications.h"

#include "app/ini_file.h"
#include "app/log.h"
#include "app/paths.h"
#include "text/language_texts.h"

#include <QDBusConnection>
#include <QDBusMessage>
#include <QDBusPendingCallWatcher>
#include <QDBusPendingReply>
#include <QPointer>
#include <QVariantMap>

namespace zorvan {
namespace {

QString SettingsFile()
{
    return Paths().dataDir + QStringLiteral("desktop.ini");
}

}  // namespace

BatteryNotifications::Sender BatteryNotifications::FreedesktopService()
{
    return [](const QString& summary, const QString& body, std::function<void(bool)> delivered) {
        QDBusConnection bus = QDBusConnection::sessionBus();
        if (!bus.isConnected()) {
            delivered(false);
            return;
        }
        QDBusMessage call = QDBusMessage::createMethodCall(
            QStringLiteral("org.freedesktop.Notifications"), QStringLiteral("/org/freedesktop/Notifications"),
            QStringLiteral("org.freedesktop.Notifications"), QStringLiteral("Notify"));
        call << QStringLiteral("Zorvan") << 0u << QStringLiteral("zorvan") << summary << body << QStringList()
             << QVariantMap{{QStringLiteral("desktop-entry"), QStringLiteral("zorvan")}} << -1;
        auto* watcher = new QDBusPendingCallWatcher(bus.asyncCall(call));
        QObject::connect(watcher, &QDBusPendingCallWatcher::finished, [watcher, delivered] {
            const bool ok = !watcher->isError();
            if (!ok)
                Log("Notification service: %s", watcher->error().message().toUtf8().constData());
            watcher->deleteLater();
            delivered(ok);
        });
    };
}

BatteryNotifications::BatteryNotifications(QString title, Sender desktop, Balloon balloon, QObject* parent)
    : QObject(parent), title_(std::move(title)), desktop_(std::move(desktop)), balloon_(std::move(balloon))
{
    IniFile ini;
    ini.Load(SettingsFile());
    enabled_ = ini.Int("Desktop", "Notify", 1) != 0;
}

void BatteryNotifications::SetEnabled(bool on)
{
    enabled_ = on;
    WriteIniValue(SettingsFile(), "Desktop", "Notify", on ? QStringLiteral("1") : QStringLiteral("0"));
}

void BatteryNotifications::OnPowerRead(bool charging, int level)
{
    // Readings are followed while switched off too, so that switching on does not alert for a
    // crossing that happened before.
    const std::optional<BatteryAlert> alert = alerts_.OnReading(charging, level);
    if (!alert || !enabled_)
        return;
    const QString body = *alert == BatteryAlert::kLow ? TextWithNumber("tc_battery_low", level) : GetText("tc_battery_full");
    Log("Battery notification: %s", body.toUtf8().constData());
    desktop_(title_, body, [body, guard = QPointer<BatteryNotifications>(this)](bool delivered) {
        if (!delivered && guard && guard->balloon_)
            guard->balloon_(guard->title_, body);
    });
}

QString TextWithNumber(const char* key, int value)
{
    QString text = GetText(key);
    text.replace(QStringLiteral("%d"), QString::number(value));
    text.replace(QStringLiteral("%%"), QStringLiteral("%"));
    return text;
}

}  // namespace zorvan
