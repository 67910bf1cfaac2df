#pragma once
// What a test (or a developer) tells the running uhid mouse, one line at a time on its control
// FIFO:
//   unplug | plug | unplug-at N | press dpi-up|dpi-down|profile-next|light-mode
//   battery PERCENT [--charging] | save
// `unplug-at N` unplugs the mouse with the N-th feature report from now (the report is taken,
// its answer never sent); `save` writes the mouse's state file (--state), which zorvanctl
// --emulate=FILE reads too.
#include "device/emulated/mouse_firmware.h"

#include <QString>

#include <optional>
#include <string_view>

namespace zorvan {

struct ControlCommand {
    enum class Kind { kUnplug, kPlug, kUnplugAt, kPress, kBattery, kSave };
    Kind kind = Kind::kUnplug;
    int number = 0;  // unplug-at: the request; battery: percent
    bool charging = false;
    MouseButton button = MouseButton::kDpiUp;
};

// Null when the line is not a command.
std::optional<ControlCommand> ParseControlLine(std::string_view line);

// Carries `command` out on `firmware`; `save` writes `stateFile`. False with `error` set when
// that failed.
bool RunControlCommand(const ControlCommand& command, MouseFirmware& firmware, const QString& stateFile,
                       QString* error);

}  // namespace zorvan
