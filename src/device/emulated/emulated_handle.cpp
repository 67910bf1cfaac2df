#include "device/emulated/emulated_handle.h"

#include <cerrno>
#include <chrono>

namespace zorvan {

EmulatedHandle::EmulatedHandle(int logId, EmulatedRole role, std::shared_ptr<MouseFirmware> firmware,
                               HidAttributes attributes)
    : logId_(logId), role_(role), firmware_(std::move(firmware)), attributes_(attributes)
{
}

HidStatus EmulatedHandle::StateError() const
{
    if (closed_)
        return {HidError::kInvalidHandle, EBADF};
    if (disconnected_)
        return {HidError::kNotConnected, ENODEV};
    return {};
}

void EmulatedHandle::Deliver(const HidReport& report, size_t length)
{
    {
        std::lock_guard lock(mutex_);
        if (closed_ || disconnected_ || buffer_.size() >= kBufferedReports)
            return;
        buffer_.emplace_back(report, length);
    }
    changed_.notify_all();
}

void EmulatedHandle::Disconnect()
{
    {
        std::lock_guard lock(mutex_);
        disconnected_ = true;
        buffer_.clear();
    }
    changed_.notify_all();
}

HidStatus EmulatedHandle::SendFeatureReport(const HidReport& report)
{
    {
        std::lock_guard lock(mutex_);
        if (HidStatus error = StateError(); !error.Ok())
            return error;
    }
    switch (role_) {
    case EmulatedRole::kNotify:
        return {HidError::kOther, EPIPE};  // this interface has no feature report
    case EmulatedRole::kUnrelated:
        return {};
    case EmulatedRole::kCommand:
        break;
    }
    if (!firmware_->HandleFeatureReport(report.data(), report.size()))
        return {HidError::kNotConnected, ENODEV};
    return {};
}

HidStatus EmulatedHandle::ReadInputReport(HidReport& report, size_t& length, int timeoutMs)
{
    report.fill(0);
    length = 0;
    std::unique_lock lock(mutex_);
    const auto ready = [this] { return closed_ || disconnected_ || cancelled_ || !buffer_.empty(); };
    if (timeoutMs < 0)
        changed_.wait(lock, ready);
    else if (!changed_.wait_for(lock, std::chrono::milliseconds(timeoutMs), ready))
        return {HidError::kTimeout, ETIMEDOUT};
    if (HidStatus error = StateError(); !error.Ok())
        return error;
    if (cancelled_) {
        cancelled_ = false;
        return {HidError::kCancelled, ECANCELED};
    }
    report = buffer_.front().first;
    length = buffer_.front().second;
    buffer_.pop_front();
    return {};
}

void EmulatedHandle::CancelRead()
{
    {
        std::lock_guard lock(mutex_);
        cancelled_ = true;
    }
    changed_.notify_all();
}

HidStatus EmulatedHandle::GetAttributes(HidAttributes& attributes)
{
    std::lock_guard lock(mutex_);
    if (HidStatus error = StateError(); !error.Ok())
        return error;
    attributes = attributes_;
    return {};
}

void EmulatedHandle::Close()
{
    {
        std::lock_guard lock(mutex_);
        closed_ = true;
        buffer_.clear();
    }
    changed_.notify_all();
}

bool EmulatedHandle::IsOpen() const
{
    std::lock_guard lock(mutex_);
    return !closed_;
}

}  // namespace zorvan
