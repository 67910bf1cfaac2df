#pragma once
// The system calls of the hidraw backend, behind one seam so that tests can make them fail
// the way the kernel does (EINTR, EIO on unplug, POLLHUP, EACCES). Errors are reported through
// errno, as by the real calls.
#include <poll.h>
#include <sys/types.h>

namespace zorvan {

class SysCalls {
public:
    virtual ~SysCalls() = default;
    virtual int Open(const char* path, int flags);
    virtual int Close(int fd);
    virtual int Ioctl(int fd, unsigned long request, void* argument);
    virtual ssize_t Read(int fd, void* buffer, size_t size);
    virtual ssize_t Write(int fd, const void* buffer, size_t size);
    virtual int Poll(pollfd* fds, nfds_t count, int timeoutMs);
    virtual int EventFd(unsigned initialValue, int flags);
};

// The real calls.
SysCalls& SystemCalls();

}  // namespace zorvan
