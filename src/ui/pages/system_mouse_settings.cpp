#include "ui/pages/system_mouse_settings.h"

#include "app/log.h"

#include <QProcess>
#include <QStandardPaths>

#include <vector>

namespace zorvan {
namespace {

struct Candidate {
    const char* desktop;  // as XDG_CURRENT_DESKTOP names it
    QStringList command;
};

const std::vector<Candidate>& Candidates()
{
    static const std::vector<Candidate> candidates{
        {"GNOME", {QStringLiteral("gnome-control-center"), QStringLiteral("mouse")}},
        {"KDE", {QStringLiteral("systemsettings"), QStringLiteral("kcm_mouse")}},
        {"KDE", {QStringLiteral("kcmshell6"), QStringLiteral("kcm_mouse")}},
        {"KDE", {QStringLiteral("kcmshell5"), QStringLiteral("mouse")}},
        {"XFCE", {QStringLiteral("xfce4-mouse-settings")}},
        {"MATE", {QStringLiteral("mate-mouse-properties")}},
        {"X-Cinnamon", {QStringLiteral("cinnamon-settings"), QStringLiteral("mouse")}},
        {"LXQt", {QStringLiteral("lxqt-config-input")}},
        {"LXDE", {QStringLiteral("lxinput")}},
    };
    return candidates;
}

}  // namespace

std::optional<QStringList> DesktopMouseSettingsCommand(const QString& desktops)
{
    const QStringList named = desktops.split(QLatin1Char(':'), Qt::SkipEmptyParts);
    for (const Candidate& candidate : Candidates()) {
        const bool ours = named.isEmpty() || named.contains(QLatin1String(candidate.desktop), Qt::CaseInsensitive);
        if (ours && !QStandardPaths::findExecutable(candidate.command.front()).isEmpty())
            return candidate.command;
    }
    return std::nullopt;
}

bool OpenDesktopMouseSettings()
{
    const QString desktops = qEnvironmentVariable("XDG_CURRENT_DESKTOP");
    const std::optional<QStringList> command = DesktopMouseSettingsCommand(desktops);
    if (!command) {
        Log("No mouse settings program of the desktop '%s' is installed", qPrintable(desktops));
        return false;
    }
    if (!QProcess::startDetached(command->front(), command->mid(1))) {
        Log("Cannot start %s", qPrintable(command->join(QLatin1Char(' '))));
        return false;
    }
    return true;
}

}  // namespace zorvan
