#pragma once
// "Back up mouse…" and "Restore mouse…" of the tray menu: the whole-mouse backup and restore
// behind the progress dialog, a confirmation before a restore, and a message at the end. The
// work runs as the session's whole-mouse job; this thread only shows the progress.
#include <QString>

class QWidget;

namespace zorvan {

class DevicePort;

// The backup file to write (`save`) or to read, by the file dialog; empty when cancelled.
QString ChooseBackupFile(QWidget* parent, bool save);

// Reads the four on-board profiles and writes them to `path`.
void BackUpMouse(QWidget* parent, DevicePort& port, const QString& path);

// Checks the backup in `path` whole (and that it is of this model), asks for confirmation,
// writes it to the mouse, and reads the active profile again.
void RestoreMouse(QWidget* parent, DevicePort& port, const QString& path);

}  // namespace zorvan
