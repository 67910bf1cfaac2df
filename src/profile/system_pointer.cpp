#include "profile/system_pointer.h"

#include "app/log.h"

#include <QProcess>
#include <QStandardPaths>
#include <QString>
#include <QStringList>

#include <algorithm>
#include <mutex>
#include <optional>
#include <utility>
#include <vector>

namespace zorvan {
namespace {

// The desktop's own tool changes its settings, which every program of the session follows
// (no program needs to be told separately). Only the values the desktop has
// are set: GNOME has no wheel lines, Plasma no "one screen at a time", and neither desktop has
// pointer trails.
enum class Desktop { kGnome, kKde };

// Speed 1..20 with 10 as the system's neutral value → the desktops' -1..1.
double PointerAcceleration(int speed)
{
    return std::clamp((speed - 10) / 10.0, -1.0, 1.0);
}

std::vector<QStringList> Commands(Desktop desktop, const PointerSettings& wanted,
                                  const std::optional<PointerSettings>& last)
{
    std::vector<QStringList> commands;
    const auto changed = [&last](int PointerSettings::*field, const PointerSettings& now) {
        return !last || (*last).*field != now.*field;
    };
    if (desktop == Desktop::kGnome) {
        const QString schema = QStringLiteral("org.gnome.desktop.peripherals.mouse");
        if (changed(&PointerSettings::doubleClickTime, wanted))
            commands.push_back({QStringLiteral("set"), schema, QStringLiteral("double-click"),
                                QString::number(wanted.doubleClickTime)});
        if (changed(&PointerSettings::pointerSpeed, wanted))
            commands.push_back({QStringLiteral("set"), schema, QStringLiteral("speed"),
                                QString::number(PointerAcceleration(wanted.pointerSpeed))});
        if (changed(&PointerSettings::enhancePrecision, wanted))
            commands.push_back({QStringLiteral("set"), schema, QStringLiteral("accel-profile"),
                                wanted.enhancePrecision ? QStringLiteral("adaptive") : QStringLiteral("flat")});
    } else {
        const auto write = [](const char* file, const char* group, const char* key, const QString& value) {
            return QStringList{QStringLiteral("--file"), QString::fromLatin1(file), QStringLiteral("--group"),
                               QString::fromLatin1(group), QStringLiteral("--key"), QString::fromLatin1(key), value};
        };
        if (changed(&PointerSettings::doubleClickTime, wanted))
            commands.push_back(write("kdeglobals", "KDE", "DoubleClickInterval", QString::number(wanted.doubleClickTime)));
        // Plasma has no "one screen at a time": that choice leaves its wheel lines alone.
        if (changed(&PointerSettings::wheelLines, wanted) && wanted.wheelLines > 0)
            commands.push_back(write("kdeglobals", "KDE", "WheelScrollLines", QString::number(wanted.wheelLines)));
        // The pointer (libinput) settings of Plasma's mouse module.
        if (changed(&PointerSettings::pointerSpeed, wanted))
            commands.push_back(write("kcminputrc", "Mouse", "XLbInptPointerAcceleration",
                                     QString::number(PointerAcceleration(wanted.pointerSpeed))));
        if (changed(&PointerSettings::enhancePrecision, wanted))
            commands.push_back(write("kcminputrc", "Mouse", "XLbInptAccelProfileFlat",
                                     wanted.enhancePrecision ? QStringLiteral("false") : QStringLiteral("true")));
    }
    return commands;
}

class DesktopPointerSettings : public SystemPointerSettings {
public:
    DesktopPointerSettings(Desktop desktop, QString tool) : desktop_(desktop), tool_(std::move(tool)) {}

    void Apply(const PointerSettings& settings) override
    {
        std::vector<QStringList> commands;
        {
            std::lock_guard lock(mutex_);
            commands = Commands(desktop_, settings, last_);
            last_ = settings;
        }
        for (const QStringList& arguments : commands) {
            if (!QProcess::startDetached(tool_, arguments))
                Log("SetSystemPointer: %s failed", tool_.toUtf8().constData());
        }
    }

private:
    const Desktop desktop_;
    const QString tool_;
    std::mutex mutex_;
    std::optional<PointerSettings> last_;  // what was applied last: only changes are sent
};

class NoPointerSettings : public SystemPointerSettings {
public:
    void Apply(const PointerSettings&) override {}
};

std::mutex g_mutex;
std::unique_ptr<SystemPointerSettings> g_settings;

}  // namespace

PointerSettings PointerSettingsOf(const ProfileRecord& profile)
{
    return {profile.doubleClickTime, profile.wheelLines, profile.pointerSpeed, profile.enhancePrecision,
            profile.pointerTrails};
}

std::unique_ptr<SystemPointerSettings> MakeDesktopPointerSettings()
{
    const QString desktop = qEnvironmentVariable("XDG_CURRENT_DESKTOP");
    if (desktop.contains(QLatin1String("GNOME"), Qt::CaseInsensitive)) {
        const QString tool = QStandardPaths::findExecutable(QStringLiteral("gsettings"));
        if (!tool.isEmpty())
            return std::make_unique<DesktopPointerSettings>(Desktop::kGnome, tool);
    }
    if (desktop.contains(QLatin1String("KDE"), Qt::CaseInsensitive)) {
        for (const char* name : {"kwriteconfig6", "kwriteconfig5"}) {
            const QString tool = QStandardPaths::findExecutable(QString::fromLatin1(name));
            if (!tool.isEmpty())
                return std::make_unique<DesktopPointerSettings>(Desktop::kKde, tool);
        }
    }
    return std::make_unique<NoPointerSettings>();
}

SystemPointerSettings& SystemPointer()
{
    std::lock_guard lock(g_mutex);
    if (!g_settings)
        g_settings = MakeDesktopPointerSettings();
    return *g_settings;
}

std::unique_ptr<SystemPointerSettings> SetSystemPointer(std::unique_ptr<SystemPointerSettings> settings)
{
    std::lock_guard lock(g_mutex);
    std::swap(g_settings, settings);
    return settings;
}

}  // namespace zorvan
