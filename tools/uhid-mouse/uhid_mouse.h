#pragma once
// The emulated mouse behind /dev/uhid: the same firmware model the in-process emulated bus
// serves, shown to the kernel as the three HID devices of uhid_devices.h, which the kernel
// offers as hidraw nodes. Feature reports that reach the command interface go to the firmware;
// its answers and events leave through the notify interface once their delay is up. When the
// firmware is unplugged (by a control command or at a chosen request) the devices are
// destroyed; plugged back, they are created anew.
//
// Single-threaded: the program's one loop calls everything here, and the firmware calls back
// only from inside those calls.
#include "uhid-mouse/uhid_devices.h"
#include "uhid-mouse/uhid_port.h"

#include "device/emulated/mouse_firmware.h"

#include <array>
#include <chrono>
#include <map>
#include <memory>
#include <optional>

namespace zorvan {

class UhidMouse {
public:
    using Clock = std::chrono::steady_clock;

    // `ports` in the order of kAllUhidRoles.
    UhidMouse(std::shared_ptr<MouseFirmware> firmware, const UhidIds& ids, std::array<UhidPort*, kUhidRoles> ports);
    ~UhidMouse();
    UhidMouse(const UhidMouse&) = delete;
    UhidMouse& operator=(const UhidMouse&) = delete;

    // Creates the devices when the firmware is plugged in.
    void Start();
    // Destroys the devices (the program ends).
    void Stop();
    bool Created() const { return created_; }

    // An event the kernel sent to the device of `role`.
    void OnEvent(UhidRole role, const uhid_event& event);
    // Sends the input reports due by `now`; returns when the next one is due.
    std::optional<Clock::time_point> SendDue(Clock::time_point now);

private:
    void OnPlugChanged(bool plugged);
    void Create();
    void Destroy();
    void OnSetReport(UhidRole role, const uhid_set_report_req& request);
    bool Write(UhidRole role, const uhid_event& event);

    const std::shared_ptr<MouseFirmware> firmware_;
    const UhidIds ids_;
    const std::array<UhidPort*, kUhidRoles> ports_;
    bool created_ = false;
    std::multimap<Clock::time_point, HidReport> due_;  // equal times keep their order
};

}  // namespace zorvan
