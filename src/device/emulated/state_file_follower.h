#pragma once
// While the window runs on an emulated mouse kept in a state file, zorvanctl may change that
// file to play the world around the mouse (`emulator link on|off`, `emulator battery`). The
// follower watches the file and hands the running mouse what changed of that world: the link
// to its receiver, the battery level and charging, the lighting lock. The mouse's memory stays
// the running one's; the program writes it back to the file when it ends.
#include "device/emulated/firmware_state.h"

#include <QFileSystemWatcher>
#include <QObject>
#include <QString>

#include <optional>

namespace zorvan {

class MouseFirmware;

class StateFileFollower : public QObject {
public:
    // `mouse` must outlive the follower.
    StateFileFollower(MouseFirmware& mouse, QString path, QObject* parent = nullptr);

private:
    void FileTouched();

    MouseFirmware& mouse_;
    QString path_;
    QFileSystemWatcher watcher_;
    std::optional<FirmwareState> seen_;  // the file's world as last read
};

}  // namespace zorvan
