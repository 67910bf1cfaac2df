#pragma once
// An open hidraw node. Reads wait in poll() on the node and on an eventfd that CancelRead and
// Close signal, so a read never blocks past a cancellation. The file descriptors are closed
// when the last reference goes, never under a thread that is still inside a call.
#include "device/hid_transport.h"
#include "device/hidraw/sys_calls.h"

#include <atomic>
#include <string>

namespace zorvan {

class HidrawHandle : public HidHandle {
public:
    // Takes ownership of `fd` and `wakeFd` (an eventfd).
    HidrawHandle(SysCalls& sys, int fd, int wakeFd, uint16_t version);
    ~HidrawHandle() override;
    HidrawHandle(const HidrawHandle&) = delete;
    HidrawHandle& operator=(const HidrawHandle&) = delete;

    HidStatus SendFeatureReport(const HidReport& report) override;
    HidStatus ReadInputReport(HidReport& report, size_t& length, int timeoutMs) override;
    void CancelRead() override;
    HidStatus GetAttributes(HidAttributes& attributes) override;
    void Close() override;
    bool IsOpen() const override;
    int LogId() const override { return fd_; }

private:
    bool ConsumeWake();

    SysCalls& sys_;
    const int fd_;
    const int wakeFd_;
    const uint16_t version_;
    std::atomic<bool> closed_{false};
};

// The error of a failed call on a hidraw node. The kernel answers ioctls on a node whose
// device is gone with ENODEV and reads with EIO: both mean "not connected".
HidStatus HidrawError(int error);

}  // namespace zorvan
