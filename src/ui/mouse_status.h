#pragma once
// What the window says about the mouse: ready (the model's name), switched off behind its
// receiver, present but not accessible to this user, or not there at all.
#include <QString>

#include <optional>
#include <string>
#include <vector>

namespace zorvan {

class DevicePort;

enum class MouseState { kReady, kMouseOff, kNoAccess, kNoMouse };

struct MouseStatus {
    MouseState state = MouseState::kNoMouse;
    // The line the window shows: the model's name when ready, else the language text.
    QString text;
    // For kNoAccess: the full explanation (nodes, why, what to do).
    QString details;
};

// `linked`: the last battery poll's view of the link (none before the first poll).
MouseStatus StatusOf(const DevicePort& port, std::optional<bool> linked);

}  // namespace zorvan
