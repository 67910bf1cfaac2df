#include "profile/profile_bytes.h"

#include "device/report_frame.h"

#include <algorithm>

namespace zorvan {

void ProfileBytes::Keep(uint16_t address, const uint8_t* bytes, int n)
{
    for (int i = 0; i < n && address + i < eeprom::kProfileSize; ++i) {
        bytes_[size_t(address + i)] = bytes[i];
        kept_.set(size_t(address + i));
    }
}

bool ProfileBytes::Take(uint16_t address, uint8_t* out, int n) const
{
    if (n < 0 || address + n > eeprom::kProfileSize)
        return false;
    for (int i = 0; i < n; ++i) {
        if (!kept_.test(size_t(address + i)))
            return false;
    }
    std::copy_n(bytes_.begin() + address, n, out);
    return true;
}

bool ProfileBytes::TakeInPieces(int length, uint16_t address, uint8_t* out, const CUSBDriver::StopTest& stop) const
{
    for (int done = 0; done < length;) {
        const int n = std::min(int(kMaxDataBytes), length - done);
        if (!Take(uint16_t(address + done), out + done, n))
            return false;
        if (stop && stop(out + done, n))
            return true;
        done += n;
    }
    return true;
}

}  // namespace zorvan
