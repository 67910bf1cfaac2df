#pragma once
// A device session the tests steer: the mouse's state is set by the test, and every action
// the window starts is counted.
#include "ui/device_port.h"

#include <vector>

namespace zorvan::test {

class FakeDevicePort : public DevicePort {
    Q_OBJECT
public:
    int devices = 1;
    int denied = 0;
    bool connected = true;
    bool reading = false;
    bool allowChanges = true;
    std::optional<int> firmware = 0x0107;
    std::vector<int> told;  // TellDrvStatus values
    int starts = 0, resets = 0, writes = 0, exits = 0;

    int CountDevices() override { return devices; }
    void Start() override { ++starts; }
    int DeniedInterfaces() const override { return denied; }
    bool Connected() const override { return connected; }
    bool Reading() const override { return reading; }
    std::optional<int> FirmwareVersion() const override { return firmware; }
    void TellDrvStatus(int shown) override { told.push_back(shown); }
    bool SettingsChangeAllowed() override { return allowChanges; }
    void ResetProfileToDefaults() override { ++resets; }
    void WriteDefaultsToMouse() override
    {
        ++writes;
        emit progress(50);
        emit progressEnded();
    }
    void Exit() override { ++exits; }
};

}  // namespace zorvan::test
