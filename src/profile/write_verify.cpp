#include "profile/write_verify.h"

#include "app/log.h"
#include "device/protocol_pause.h"
#include "device/report_frame.h"

#include <map>

namespace zorvan {
namespace {

// Unwritten bytes read along with written ones cost nothing extra when they fill a request
// that is made anyway; a gap wider than this starts a new request.
constexpr int kJoinGap = 4;

// Address -> the byte written last.
std::map<uint16_t, uint8_t> Expected(std::span<const EepromPatch> writes)
{
    std::map<uint16_t, uint8_t> bytes;
    for (const EepromPatch& patch : writes) {
        for (size_t i = 0; i < patch.bytes.size(); ++i)
            bytes[uint16_t(patch.address + i)] = patch.bytes[i];
    }
    return bytes;
}

}  // namespace

WriteJournal::WriteJournal() : previous_(ObserveEepromWrites(this)) {}

WriteJournal::~WriteJournal()
{
    ObserveEepromWrites(previous_);
}

void WriteJournal::Written(uint16_t address, const uint8_t* data, int length)
{
    writes_.push_back(EepromPatch{address, std::vector<uint8_t>(data, data + length)});
}

std::vector<ReadBackRange> ReadBackPlan(std::span<const EepromPatch> writes)
{
    std::vector<ReadBackRange> plan;
    const int piece = int(kMaxDataBytes);
    for (const auto& [address, byte] : Expected(writes)) {
        (void)byte;
        if (!plan.empty()) {
            ReadBackRange& last = plan.back();
            const int end = last.address + last.length;  // one past the last byte read
            if (address < end)
                continue;
            if (address - end <= kJoinGap && address - last.address < piece) {
                last.length = address - last.address + 1;
                continue;
            }
        }
        plan.push_back({address, 1});
    }
    return plan;
}

WriteCheck CheckWrites(CUSBDriver& link, std::span<const EepromPatch> writes)
{
    const std::map<uint16_t, uint8_t> expected = Expected(writes);
    WriteCheck check;
    check.ok = true;
    for (const ReadBackRange& range : ReadBackPlan(writes)) {
        std::array<uint8_t, kMaxDataBytes> held{};
        if (check.reads++ > 0)
            ProtocolPause(link.timing.readPiecePause);
        if (!link.ReadEEPROM(range.address, held.data(), range.length)) {
            Log("Write check: reading 0x%04x failed", unsigned(range.address));
            check.ok = false;
            return check;
        }
        for (int i = 0; i < range.length; ++i) {
            const auto at = expected.find(uint16_t(range.address + i));
            if (at == expected.end() || at->second == held[size_t(i)])
                continue;
            Log("Write check: 0x%04x holds 0x%02x, 0x%02x was written", unsigned(at->first), unsigned(held[size_t(i)]),
                unsigned(at->second));
            if (!check.difference)
                check.difference = at->first;
            check.ok = false;
        }
    }
    return check;
}

}  // namespace zorvan
