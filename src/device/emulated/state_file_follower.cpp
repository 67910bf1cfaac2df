#include "device/emulated/state_file_follower.h"

#include "app/log.h"
#include "device/emulated/mouse_firmware.h"

#include <QFileInfo>

namespace zorvan {

StateFileFollower::StateFileFollower(MouseFirmware& mouse, QString path, QObject* parent)
    : QObject(parent), mouse_(mouse), path_(std::move(path))
{
    // The file is replaced whole (written beside it and renamed), which ends a watch on the
    // file itself: the folder's watch sees the rename, and the file is watched again.
    watcher_.addPath(QFileInfo(path_).absolutePath());
    if (QFileInfo::exists(path_))
        watcher_.addPath(path_);
    seen_ = LoadFirmwareStateFile(path_, nullptr);
    connect(&watcher_, &QFileSystemWatcher::fileChanged, this, &StateFileFollower::FileTouched);
    connect(&watcher_, &QFileSystemWatcher::directoryChanged, this, &StateFileFollower::FileTouched);
}

void StateFileFollower::FileTouched()
{
    if (!watcher_.files().contains(path_) && QFileInfo::exists(path_))
        watcher_.addPath(path_);
    const std::optional<FirmwareState> now = LoadFirmwareStateFile(path_, nullptr);
    if (!now)
        return;
    const FirmwareState before = seen_.value_or(mouse_.State());
    if (now->linked != before.linked) {
        Log("Emulated mouse: the state file says the mouse is %s", now->linked ? "linked" : "not linked");
        mouse_.SetLinked(now->linked);
    }
    if (now->battery != before.battery || now->charging != before.charging)
        mouse_.SetBattery(now->battery, now->charging);
    if (now->lightingLocked != before.lightingLocked)
        mouse_.SetLightingLocked(now->lightingLocked);
    seen_ = now;
}

}  // namespace zorvan
