#include "device/hidraw/hidraw_handle.h"

#include <linux/hidraw.h>
#include <sys/ioctl.h>

#include <cerrno>
#include <chrono>
#include <cstdint>

namespace zorvan {

HidStatus HidrawError(int error)
{
    switch (error) {
    case ENODEV:
    case EIO:
    case ENXIO:
    case ESHUTDOWN:
        return {HidError::kNotConnected, error};
    case EBADF:
        return {HidError::kInvalidHandle, error};
    case EACCES:
    case EPERM:
        return {HidError::kPermissionDenied, error};
    default:
        return {HidError::kOther, error};
    }
}

HidrawHandle::HidrawHandle(SysCalls& sys, int fd, int wakeFd, uint16_t version)
    : sys_(sys), fd_(fd), wakeFd_(wakeFd), version_(version)
{
}

HidrawHandle::~HidrawHandle()
{
    sys_.Close(fd_);
    sys_.Close(wakeFd_);
}

HidStatus HidrawHandle::SendFeatureReport(const HidReport& report)
{
    if (closed_)
        return {HidError::kInvalidHandle, EBADF};
    HidReport buffer = report;
    for (;;) {
        if (sys_.Ioctl(fd_, HIDIOCSFEATURE(kHidReportLength), buffer.data()) >= 0)
            return {};
        if (errno != EINTR)
            return HidrawError(errno);
    }
}

bool HidrawHandle::ConsumeWake()
{
    uint64_t count = 0;
    return sys_.Read(wakeFd_, &count, sizeof count) == ssize_t(sizeof count);
}

HidStatus HidrawHandle::ReadInputReport(HidReport& report, size_t& length, int timeoutMs)
{
    using Clock = std::chrono::steady_clock;
    report.fill(0);
    length = 0;
    const auto deadline = Clock::now() + std::chrono::milliseconds(timeoutMs < 0 ? 0 : timeoutMs);
    for (;;) {
        if (closed_)
            return {HidError::kInvalidHandle, EBADF};
        int wait = -1;
        if (timeoutMs >= 0) {
            const auto left = std::chrono::ceil<std::chrono::milliseconds>(deadline - Clock::now()).count();
            wait = left > 0 ? int(left) : 0;
        }
        pollfd fds[2] = {{fd_, POLLIN, 0}, {wakeFd_, POLLIN, 0}};
        const int ready = sys_.Poll(fds, 2, wait);
        if (ready < 0) {
            if (errno == EINTR)
                continue;
            return HidrawError(errno);
        }
        if (ready == 0)
            return {HidError::kTimeout, ETIMEDOUT};
        if (fds[1].revents & POLLIN) {
            ConsumeWake();
            if (closed_)
                return {HidError::kInvalidHandle, EBADF};
            return {HidError::kCancelled, ECANCELED};
        }
        if (fds[0].revents & POLLNVAL)
            return {HidError::kInvalidHandle, EBADF};
        if (fds[0].revents & (POLLERR | POLLHUP))
            return {HidError::kNotConnected, ENODEV};
        if ((fds[0].revents & POLLIN) == 0)
            continue;
        const ssize_t got = sys_.Read(fd_, report.data(), report.size());
        if (got > 0) {
            length = size_t(got);
            return {};
        }
        if (got == 0)
            return {HidError::kNotConnected, ENODEV};
        if (errno != EINTR && errno != EAGAIN)
            return HidrawError(errno);
    }
}

void HidrawHandle::CancelRead()
{
    const uint64_t one = 1;
    sys_.Write(wakeFd_, &one, sizeof one);
}

HidStatus HidrawHandle::GetAttributes(HidAttributes& attributes)
{
    if (closed_)
        return {HidError::kInvalidHandle, EBADF};
    hidraw_devinfo info{};
    for (;;) {
        if (sys_.Ioctl(fd_, HIDIOCGRAWINFO, &info) >= 0)
            break;
        if (errno != EINTR)
            return HidrawError(errno);
    }
    attributes.vendorId = uint16_t(info.vendor);
    attributes.productId = uint16_t(info.product);
    attributes.version = version_;
    return {};
}

void HidrawHandle::Close()
{
    if (!closed_.exchange(true))
        CancelRead();
}

bool HidrawHandle::IsOpen() const
{
    return !closed_;
}

}  // namespace zorvan
