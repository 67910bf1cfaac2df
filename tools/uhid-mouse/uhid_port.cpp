#include "uhid-mouse/uhid_port.h"

#include <fcntl.h>
#include <unistd.h>

#include <cerrno>

namespace zorvan {

DevUhidPort::DevUhidPort() : fd_(open("/dev/uhid", O_RDWR | O_NONBLOCK | O_CLOEXEC)) {}

DevUhidPort::~DevUhidPort()
{
    if (fd_ >= 0)
        close(fd_);
}

bool DevUhidPort::Write(const uhid_event& event)
{
    for (;;) {
        const ssize_t written = write(fd_, &event, sizeof event);
        if (written >= 0 || errno != EINTR)
            return written == ssize_t(sizeof event);
    }
}

bool DevUhidPort::Read(uhid_event& event)
{
    event = {};
    for (;;) {
        // The kernel hands out whole events; a short one is an older kernel's smaller layout.
        const ssize_t got = read(fd_, &event, sizeof event);
        if (got >= 0 || errno != EINTR)
            return got > 0;
    }
}

}  // namespace zorvan
