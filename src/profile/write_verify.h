#pragma once
// The write check: what a whole-profile write put into the EEPROM is noted while it runs and
// read back afterwards. A byte the mouse does not hold as written is logged with its address
// and makes the write a failure, never a success.
#include "device/usb_driver.h"
#include "profile/eeprom_codec.h"

#include <cstdint>
#include <optional>
#include <span>
#include <vector>

namespace zorvan {

// Notes every EEPROM write of the calling thread from construction to destruction.
class WriteJournal : public EepromWriteObserver {
public:
    WriteJournal();
    ~WriteJournal() override;
    WriteJournal(const WriteJournal&) = delete;
    WriteJournal& operator=(const WriteJournal&) = delete;

    void Written(uint16_t address, const uint8_t* data, int length) override;
    const std::vector<EepromPatch>& Writes() const { return writes_; }

private:
    std::vector<EepromPatch> writes_;
    EepromWriteObserver* previous_;
};

// A range read back in one request (at most 10 bytes).
struct ReadBackRange {
    uint16_t address = 0;
    int length = 0;
};

// The reads that cover every written byte: written bytes at most a few apart share a read.
std::vector<ReadBackRange> ReadBackPlan(std::span<const EepromPatch> writes);

struct WriteCheck {
    bool ok = false;
    int reads = 0;                        // requests made
    std::optional<uint16_t> difference;   // the first address that differs
};

// Reads every byte of `writes` back (later writes of a byte win) and compares. Each differing
// byte is logged "Write check: 0x%04x holds 0x%02x, 0x%02x was written"; a failed read is
// logged "Write check: reading 0x%04x failed". ok only when every byte was read and agrees.
WriteCheck CheckWrites(CUSBDriver& link, std::span<const EepromPatch> writes);

}  // namespace zorvan
