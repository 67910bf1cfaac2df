#pragma once
// The mouse for one zorvanctl command: the backend the options choose (the emulated mouse with
// its state file, or the system's devices), the search, and the device link to the identified
// mouse. Threads are joined and the emulated mouse's state is saved when it goes.
#include "cli/cli.h"

#include "device/backend_factory.h"
#include "device/device_discovery.h"
#include "device/device_notifier.h"
#include "device/device_table.h"
#include "device/usb_driver.h"

#include <cstdint>
#include <memory>
#include <vector>

namespace zorvan::cli {

class MouseAccess {
public:
    // The backend for `ctx` (product data loaded). Null with the failure printed and its exit
    // code in `exitCode`.
    static std::unique_ptr<MouseAccess> Open(CliContext& ctx, int& exitCode);
    ~MouseAccess();
    MouseAccess(const MouseAccess&) = delete;
    MouseAccess& operator=(const MouseAccess&) = delete;

    // The model the emulated mouse reports, known before any request reaches it: its device
    // description, or null (no emulated mouse, or a model cfg.ini does not describe).
    const DeviceDescription* EmulatedModel();
    // Why no supported mouse was found, for "no supported mouse found: <hint>".
    QString NoMouseHint();

    // The first search of a command is quick: the pauses of the window's search give a mouse
    // that was just plugged in time to settle, which one already there does not need. A search
    // that found nothing is repeated with the window's pauses (CarefulSearch).
    void CarefulSearch() { discovery_.timing = DiscoveryTiming{}; }

    // One search; returns when every identification has ended or after `timeoutMs` (a receiver
    // whose mouse is off keeps its identification waiting).
    void Search(int timeoutMs = 3000);
    // Searches and gives the link the identified mouse's handles. False with the failure printed.
    bool Connect();
    // Writes the emulated mouse's state file (when one was named). False with the failure printed.
    bool SaveState();

    DeviceBackend& Backend() { return *backend_; }
    DeviceTable& Table() { return table_; }
    CUSBDriver& Link() { return link_; }
    DeviceDiscovery& Discovery() { return discovery_; }
    DeviceNotifier& Notifier() { return notifier_; }

private:
    MouseAccess(CliContext& ctx, std::unique_ptr<DeviceBackend> backend);

    CliContext& ctx_;
    std::unique_ptr<DeviceBackend> backend_;
    DeviceTable table_;
    CUSBDriver link_{&table_};
    DeviceNotifier notifier_;
    DeviceDiscovery discovery_;
};

// With the environment variable ZORVANCTL_EMULATOR_REQUESTS naming a file: writes there how
// many requests the emulated mice of this run received (0 when none was started), so a test
// can see that a command ended before the mouse was touched. Called once at exit.
void NoteEmulatorRequests();

// An address range from ADDR LEN arguments (`args` from `first` on), within one on-board
// profile; the whole profile when they are absent. kOk, or the usage error printed.
int ParseMemoryRange(CliContext& ctx, const QStringList& args, int first, int& address, int& length);

// Memory as "ADDR: bytes", 16 a line, or the JSON {"profile", "address", "length", "data"}.
void PrintMemory(const CliContext& ctx, int profile, int address, const std::vector<uint8_t>& bytes);

}  // namespace zorvan::cli
