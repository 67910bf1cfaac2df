#pragma once
// The session of a window that has no device session behind it: no mouse is ever connected.
// The program runs on it until the device session is wired in; tests use it for the shell.
#include "ui/session_port.h"

namespace zorvan {

class OfflineSession : public SessionPort {
    Q_OBJECT
public:
    using SessionPort::SessionPort;

    int CountDevices() override { return 0; }
    void Start() override {}
    int DeniedInterfaces() const override { return 0; }
    bool Connected() const override { return false; }
    bool Reading() const override { return false; }
    std::optional<int> FirmwareVersion() const override { return std::nullopt; }
    void TellDrvStatus(int) override {}
    bool SettingsChangeAllowed() override { return false; }
    void ResetProfileToDefaults() override {}
    void WriteDefaultsToMouse() override { emit progressEnded(); }
    void Exit() override {}
};

}  // namespace zorvan
