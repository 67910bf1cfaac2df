#pragma once
// The device session tests: the default cfg.ini, an emulated mouse found by the real search
// (discovery, identification, reader thread), the session over it, a temporary data folder,
// every message collected and the session's signals counted.
#include "app/message_box.h"
#include "app/paths.h"
#include "device/backend_factory.h"
#include "device/device_discovery.h"
#include "device/device_notifier.h"
#include "device/device_table.h"
#include "device/usb_driver.h"
#include "profile/device_session.h"
#include "profile_fixture.h"
#include "support/test_support.h"

#include <functional>
#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <vector>

namespace zorvan::test {

class SessionTest : public ProfileTest {
protected:
    void SetUp() override;
    void TearDown() override;

    // Builds the emulated mouse of model `cid`:`mid` (default: the first model) and the session.
    void MakeSession(std::optional<std::pair<int, int>> model = std::nullopt);
    // Search, start and the take-over read; true once the profile was read.
    bool Connect();
    // Runs the event loop until `done` or `timeoutMs`; returns `done()`.
    static bool RunUntil(const std::function<bool()>& done, int timeoutMs = 10000);
    // Runs the event loop for `ms`.
    static void Pump(int ms);
    // Until no read runs and the apply worker is idle.
    bool Settle(int timeoutMs = 10000);
    // Starts an asynchronous session action with the callback handed to `start` and runs the
    // event loop until it is called; its result (nothing on time-out).
    static std::optional<bool> Await(const std::function<void(DeviceSession::Done)>& start, int timeoutMs = 10000);

    MouseFirmware& Mouse() { return *backend_->EmulatedMouse(); }
    DeviceSession& Dev() { return *session_; }
    DeviceNotifier& Notifier() { return *notifier_; }
    // Bytes of the mouse's active profile as it holds them.
    std::vector<uint8_t> Memory(int address, int length) { return Mouse().Memory(Mouse().State().activeProfile, address, length); }
    bool Shown(const QString& text) const;
    // Log lines so far (threads log while the test runs, so these are kept under a lock).
    bool LogHas(const std::string& line) const;
    int LogCount(const std::string& line) const;

    struct Counts {
        int readStarted = 0;
        int readFinished = 0;
        int profileRead = 0;
        int deviceChanged = 0;
        int power = 0;
        int deviceLost = 0;
        int progressEnded = 0;
    };
    Counts counts_;
    std::optional<MessageCollector> messages_;
    TempDir dir_;

private:
    void DropSession();

    std::unique_ptr<DeviceBackend> backend_;
    std::unique_ptr<DeviceTable> table_;
    std::unique_ptr<CUSBDriver> link_;
    std::unique_ptr<DeviceNotifier> notifier_;
    std::unique_ptr<DeviceDiscovery> discovery_;
    std::unique_ptr<DeviceSession> session_;
    AppPaths savedPaths_;
    mutable std::mutex logMutex_;
    std::vector<std::string> lines_;
};

}  // namespace zorvan::test
