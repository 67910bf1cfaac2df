#pragma once
// The HID transport: what the device link needs of the system's HID stack. Two backends
// implement it: the Linux hidraw backend (real mice) and the emulated bus (the built-in mouse).
//
// Handles are shared: the device table, the device link and the reader thread each hold a
// reference, so memory is never freed under a thread that still uses it. Close() is what
// "closing a handle" means to the program: every later call fails with kInvalidHandle and a
// pending read ends at once; the system resource goes with the last reference.
#include <QObject>

#include <array>
#include <cstddef>
#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

namespace zorvan {

// Feature reports (requests) and input reports (answers, events) are 17 bytes, report id first.
constexpr size_t kHidReportLength = 17;
using HidReport = std::array<uint8_t, kHidReportLength>;

enum class HidError {
    kNone,
    kTimeout,           // no input report within the time-out
    kCancelled,         // CancelRead() ended the read
    kNotConnected,      // the device is gone (unplugged)
    kInvalidHandle,     // the handle was closed
    kPermissionDenied,  // the user may not open the interface
    kOther,
};

struct HidStatus {
    HidError error = HidError::kNone;
    int systemError = 0;  // errno (or the emulated equivalent) for the log

    bool Ok() const { return error == HidError::kNone; }
};

// The HID attributes of an open interface.
struct HidAttributes {
    uint16_t vendorId = 0;
    uint16_t productId = 0;
    uint16_t version = 0;  // bcdDevice of the USB device (firmware version)
};

// One HID interface as enumerated. `path` identifies the interface for Open() and contains
// "VID_xxxx&PID_xxxx" (lower-case hex), so the product's text matching applies to it.
struct HidInterfaceInfo {
    std::string path;
    HidAttributes attributes;
    int inputReportLength = 0;    // largest input report in bytes, report id byte included; 0: none
    int featureReportLength = 0;  // largest feature report in bytes, report id byte included; 0: none
    HidError openError = HidError::kNone;  // kPermissionDenied: the lengths could not be read
};

enum class HidAccess { kRead, kWrite };

class HidHandle {
public:
    virtual ~HidHandle() = default;

    // Sends one feature report (report id in byte 0).
    virtual HidStatus SendFeatureReport(const HidReport& report) = 0;
    // Reads one input report into `report`; `length` is the number of bytes received (at most
    // 17, the rest of `report` is zero). `timeoutMs` < 0 waits without limit.
    virtual HidStatus ReadInputReport(HidReport& report, size_t& length, int timeoutMs) = 0;
    // Ends a pending read with kCancelled; when no read is pending, the next one ends at once.
    virtual void CancelRead() = 0;
    // Fails once the device is gone or the handle is closed (the program's liveness test).
    virtual HidStatus GetAttributes(HidAttributes& attributes) = 0;
    // Idempotent; safe while another thread is inside a call on this handle.
    virtual void Close() = 0;
    virtual bool IsOpen() const = 0;
    // A small number that names the handle in the log.
    virtual int LogId() const = 0;
};

using HidHandlePtr = std::shared_ptr<HidHandle>;

// A USB device arrived or was removed. `name` contains "USB#VID_xxxx&PID_xxxx".
struct DeviceChange {
    enum class Kind { kArrival, kRemoval };
    Kind kind = Kind::kArrival;
    std::string name;
};

using DeviceChangeHandler = std::function<void(const DeviceChange&)>;

class HidBackend {
public:
    virtual ~HidBackend() = default;

    // Every HID interface present now.
    virtual std::vector<HidInterfaceInfo> Enumerate() = 0;
    // Opens an interface by its path; null with `status` set on failure.
    virtual HidHandlePtr Open(const std::string& path, HidAccess access, HidStatus& status) = 0;
    // Delivers device arrivals and removals to `handler` on the thread of `context` (which runs
    // an event loop) until `context` is destroyed. One watcher per backend; a new call replaces it.
    virtual void WatchDeviceChanges(QObject* context, DeviceChangeHandler handler) = 0;
};

// The text of an error for log lines and messages.
const char* HidErrorText(HidError error);

}  // namespace zorvan
