#pragma once
// An open interface of the emulated bus. Input reports wait in a bounded buffer per handle
// (as hidraw keeps one per open file); a full buffer drops new reports.
#include "device/emulated/mouse_firmware.h"
#include "device/hid_transport.h"

#include <condition_variable>
#include <deque>
#include <memory>
#include <mutex>
#include <utility>

namespace zorvan {

enum class EmulatedRole { kCommand, kNotify, kUnrelated };

class EmulatedHandle : public HidHandle {
public:
    static constexpr size_t kBufferedReports = 64;

    EmulatedHandle(int logId, EmulatedRole role, std::shared_ptr<MouseFirmware> firmware, HidAttributes attributes);

    // The bus side.
    EmulatedRole Role() const { return role_; }
    void Deliver(const HidReport& report, size_t length);
    void Disconnect();

    HidStatus SendFeatureReport(const HidReport& report) override;
    HidStatus ReadInputReport(HidReport& report, size_t& length, int timeoutMs) override;
    void CancelRead() override;
    HidStatus GetAttributes(HidAttributes& attributes) override;
    void Close() override;
    bool IsOpen() const override;
    int LogId() const override { return logId_; }

private:
    HidStatus StateError() const;  // with mutex_ held

    const int logId_;
    const EmulatedRole role_;
    const std::shared_ptr<MouseFirmware> firmware_;
    const HidAttributes attributes_;
    mutable std::mutex mutex_;
    std::condition_variable changed_;
    std::deque<std::pair<HidReport, size_t>> buffer_;
    bool closed_ = false;
    bool disconnected_ = false;
    bool cancelled_ = false;
};

}  // namespace zorvan
