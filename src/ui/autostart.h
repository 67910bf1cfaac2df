#pragma once
// The XDG autostart entry: "zorvan.desktop" in the autostart folder of the user's configuration
// (XDG_CONFIG_HOME, ~/.config by default). It starts the program hidden in the tray. The tray
// menu's switch writes or removes it; it is on while the file exists.
#include <QString>

namespace zorvan {

QString AutostartFile();
bool AutostartEnabled();
// Writes the entry starting `program` (or removes it); false, logged, when that failed.
bool SetAutostart(bool on, const QString& program);
// The entry's text.
QByteArray AutostartEntry(const QString& program);

}  // namespace zorvan
