#pragma once
// The desktop's own mouse settings, opened from the DPI page: GNOME's, KDE Plasma's, Xfce's,
// MATE's, Cinnamon's, LXQt's or LXDE's settings program, whichever belongs to the running
// desktop and is installed. Started detached; the page never waits on it.
#include <QStringList>

#include <optional>

namespace zorvan {

// The program and its arguments for the desktops named in `desktops` (XDG_CURRENT_DESKTOP: a
// colon-separated list), the first one found on PATH; with no desktop named, the first
// installed one of any desktop. Nothing when none is installed.
std::optional<QStringList> DesktopMouseSettingsCommand(const QString& desktops);

// Starts the command for XDG_CURRENT_DESKTOP; false (logged) when there is none or it does not
// start.
bool OpenDesktopMouseSettings();

}  // namespace zorvan
