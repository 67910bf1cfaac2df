#include "device/hidraw/sys_calls.h"

#include <fcntl.h>
#include <sys/eventfd.h>
#include <sys/ioctl.h>
#include <unistd.h>

namespace zorvan {

int SysCalls::Open(const char* path, int flags)
{
    return ::open(path, flags);
}

int SysCalls::Close(int fd)
{
    return ::close(fd);
}

int SysCalls::Ioctl(int fd, unsigned long request, void* argument)
{
    return ::ioctl(fd, request, argument);
}

ssize_t SysCalls::Read(int fd, void* buffer, size_t size)
{
    return ::read(fd, buffer, size);
}

ssize_t SysCalls::Write(int fd, const void* buffer, size_t size)
{
    return ::write(fd, buffer, size);
}

int SysCalls::Poll(pollfd* fds, nfds_t count, int timeoutMs)
{
    return ::poll(fds, count, timeoutMs);
}

int SysCalls::EventFd(unsigned initialValue, int flags)
{
    return ::eventfd(initialValue, flags);
}

SysCalls& SystemCalls()
{
    static SysCalls calls;
    return calls;
}

}  // namespace zorvan
