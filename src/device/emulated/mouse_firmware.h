#pragma once
// The emulated mouse's firmware: a model of what the real mouse does with the requests of the
// command set, independent of how reports travel. Feature reports go in through
// HandleFeatureReport; answers and spontaneous events come out through the report sink, each
// with the delay after which the mouse would send it. A front end (the emulated bus, or a
// /dev/uhid program) carries them.
//
// Thread-safe. The sinks are called with the firmware's lock held, so reports leave in the
// order the firmware made them; a sink must not call back into the firmware.
#include "device/emulated/firmware_state.h"
#include "device/hid_transport.h"

#include <chrono>
#include <cstdint>
#include <deque>
#include <functional>
#include <mutex>
#include <optional>
#include <string_view>
#include <vector>

namespace zorvan {

enum class MouseButton { kDpiUp, kDpiDown, kProfileNext, kLightMode };

// The buttons by the names the emulator commands use: "dpi-up", "dpi-down", "profile-next",
// "light-mode".
std::optional<MouseButton> MouseButtonByName(std::string_view name);

// What the firmware does wrong to the next requests.
enum class FaultKind {
    kNoAnswer,    // the request is lost: nothing happens, nothing is answered
    kRefuse,      // answered with a non-zero status, nothing happens
    kGarbage,     // carried out, but answered with a report of another command id
    kLateAnswer,  // carried out and answered after the late-answer delay
    kForgetWrite, // an EEPROM write is answered as done but not stored; other requests are carried out
};

class MouseFirmware {
public:
    using ReportSink = std::function<void(const HidReport& report, std::chrono::milliseconds delay)>;
    using PlugSink = std::function<void(bool plugged)>;

    static constexpr uint8_t kStatusRefused = 1;
    static constexpr uint8_t kBatteryEventFlag = 0x08;  // battery report; the program polls instead
    static constexpr size_t kRequestLogLength = 256;

    MouseFirmware(uint8_t cid, uint8_t mid, const eeprom::ProfileImages& factory);

    void SetSinks(ReportSink reports, PlugSink plug);

    // A feature report from the host. False when the mouse is not plugged in (the host's call
    // fails); everything else, even a malformed report, is taken.
    bool HandleFeatureReport(const uint8_t* data, size_t length);

    // The user at the mouse: the memory changes and the mouse sends its event (when linked).
    void Press(MouseButton button);
    void SetBattery(int percent, bool charging);

    void SetLinked(bool linked);
    void SetLightingLocked(bool locked);
    void SetPlugged(bool plugged);
    // Back to the factory content, active profile 0, followed by the reset event.
    void ResetToFactory();
    // The content ResetToFactory (and command 9) restores.
    void SetFactoryImages(const eeprom::ProfileImages& factory);

    void InjectFault(FaultKind kind, int count = 1);
    // The `n`-th request from now unplugs the mouse (that request fails).
    void UnplugAtRequest(int n);
    void SetAnswerLatency(std::chrono::milliseconds latency);
    void SetLateAnswerDelay(std::chrono::milliseconds delay);

    FirmwareState State() const;
    void Restore(const FirmwareState& state);
    bool Plugged() const;
    int RequestCount() const;
    // The last feature reports received (at most kRequestLogLength), oldest first.
    std::vector<HidReport> RequestLog() const;
    // Bytes of a profile's EEPROM as stored; the range is clipped to the profile.
    std::vector<uint8_t> Memory(int profile, int address, int length) const;

private:
    struct Reply {
        HidReport report{};
        bool send = true;
    };

    Reply Execute(const HidReport& request, std::vector<HidReport>& events);
    void Emit(const HidReport& report, std::chrono::milliseconds delay);
    void EmitEvent(const HidReport& event);
    // Factory content, profile 0; returns the reset event to send.
    HidReport ResetLocked();
    eeprom::ProfileImage& Active() { return state_.profiles[state_.activeProfile]; }
    HidReport Garbage(uint8_t command);

    mutable std::mutex mutex_;
    FirmwareState state_;
    eeprom::ProfileImages factory_{};
    ReportSink reports_;
    PlugSink plug_;
    bool plugged_ = true;
    int requests_ = 0;
    int unplugAt_ = 0;
    std::deque<FaultKind> faults_;
    std::deque<HidReport> requestLog_;
    std::chrono::milliseconds latency_{1};
    std::chrono::milliseconds lateDelay_{1500};
    uint32_t noise_ = 0x2545F491u;
};

// An input report (id 0x09) with the given body bytes set.
HidReport MakeInputReport(std::initializer_list<std::pair<size_t, uint8_t>> bodyBytes);

}  // namespace zorvan
