#pragma once
// The whole mouse at once: its four on-board profiles read into a backup, or written back from
// one. Each profile is made active in turn, the one that was active last, so that it is active
// again at the end. Reading is the profile read of the session (GetProfile) over the local copy
// of each profile (the active one may be decoded from the bytes the take-over read kept);
// writing is the settings writer's whole-profile write, read back and compared when the write
// check is on.
//
// These run on the caller's thread and talk to the mouse all the time: the session runs them
// as a whole-mouse job (DeviceSession::RunWholeMouseJob), never on the user-interface thread.
#include "app/device_description.h"
#include "profile/backup_file.h"
#include "profile/profile_bytes.h"

#include <QString>

#include <atomic>
#include <functional>
#include <optional>

namespace zorvan {

class CUSBDriver;

// One line per step ("on-board profile 2 (1 of 4): read"), on the thread that runs the job.
using WholeMouseStep = std::function<void(const QString& step)>;

// Reads the four profiles of the current model's mouse with their current DPI levels and the
// macros their keys use (as the mouse holds them; a key disabled by KeyMask brings its library
// macro). Nothing with `error` naming the failing step; the previously active profile is made
// active again whatever happened, as far as the mouse answers. `abort` ends it at the next read.
// `activeRead`: the bytes a whole read of the active profile kept just before, with nothing
// written to the mouse since (DeviceSession::LastReadBytes): that profile is decoded from them
// rather than read again (bytes of another profile are not used).
std::optional<MouseBackup> ReadWholeMouse(CUSBDriver& link, const std::atomic<bool>& abort, const WholeMouseStep& step,
                                          QString& error, const ProfileBytes* activeRead = nullptr);

// The backup was made of this model (ids and sensor); else `error` says which model it is of.
bool BackupFitsModel(const MouseBackup& backup, const DeviceDescription& device, QString& error);

struct RestoreOptions {
    bool underPid = false;    // the mouse was found under the option PID: its power settings stay
    bool writeCheck = true;   // read every written byte back and compare
};

// Writes the four profiles of `backup` (which fits the current model) to the mouse: every area
// the model has, with the current DPI level and the macro slots of the macro keys. The mouse's
// active profile stays active. False with `error` naming the profile and the step.
bool WriteWholeMouse(CUSBDriver& link, const MouseBackup& backup, const RestoreOptions& options,
                     const WholeMouseStep& step, QString& error);

// After a restore: the local copies of the four profiles take the backup's (each keeps its own
// id), as the mouse now holds them.
void TakeBackupIntoLocalProfiles(const MouseBackup& backup);

}  // namespace zorvan
