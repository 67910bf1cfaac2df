#pragma once
// The bytes of one on-board profile as a read of the mouse found them: every range the read
// asked for, kept at its address. The same read made again over them takes exactly those
// ranges, so it needs neither the mouse nor its pauses.
#include "device/eeprom_map.h"
#include "device/usb_driver.h"

#include <bitset>
#include <cstdint>

namespace zorvan {

class ProfileBytes {
public:
    explicit ProfileBytes(int profile) : profile_(profile) {}

    // The on-board profile (0..3) the bytes are of.
    int Profile() const { return profile_; }

    // `n` bytes read at `address` (those outside the profile are left out).
    void Keep(uint16_t address, const uint8_t* bytes, int n);
    // `n` bytes at `address` as kept; false when any of them was not read.
    bool Take(uint16_t address, uint8_t* out, int n) const;
    // A range as CUSBDriver::ReadROM reads it: in pieces of up to 10 bytes, ending early after
    // a piece that `stop` accepts.
    bool TakeInPieces(int length, uint16_t address, uint8_t* out, const CUSBDriver::StopTest& stop) const;

private:
    int profile_;
    eeprom::ProfileImage bytes_{};
    std::bitset<eeprom::kProfileSize> kept_;
};

}  // namespace zorvan
