#pragma once
// Where one HID device of the uhid mouse meets the kernel: an open /dev/uhid file (each file
// is one device). The front end only writes; the program's loop reads. Tests stand in a
// recorder for the kernel.
#include <linux/uhid.h>

namespace zorvan {

class UhidPort {
public:
    virtual ~UhidPort() = default;
    // One event to the kernel; false when the kernel refused it.
    virtual bool Write(const uhid_event& event) = 0;
};

class DevUhidPort : public UhidPort {
public:
    // Opens /dev/uhid; Fd() < 0 when that failed (errno tells why).
    DevUhidPort();
    ~DevUhidPort() override;
    DevUhidPort(const DevUhidPort&) = delete;
    DevUhidPort& operator=(const DevUhidPort&) = delete;

    int Fd() const { return fd_; }
    bool Write(const uhid_event& event) override;
    // One event from the kernel (the file is readable); false when none could be read.
    bool Read(uhid_event& event);

private:
    int fd_ = -1;
};

}  // namespace zorvan
