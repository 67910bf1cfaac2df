#include "device/hidraw/report_descriptor.h"

#include <algorithm>
#include <array>
#include <map>
#include <vector>

namespace zorvan {
namespace {

// Item types and the tags that matter here.
constexpr int kTypeMain = 0;
constexpr int kTypeGlobal = 1;
constexpr int kTagInput = 0x8;
constexpr int kTagOutput = 0x9;
constexpr int kTagFeature = 0xB;
constexpr int kTagReportSize = 0x7;
constexpr int kTagReportId = 0x8;
constexpr int kTagReportCount = 0x9;
constexpr int kTagPush = 0xA;
constexpr int kTagPop = 0xB;
constexpr uint8_t kLongItem = 0xFE;
constexpr size_t kMaxPushDepth = 32;
// Larger reports do not exist on a USB HID device; the cap keeps the sums in range.
constexpr uint64_t kMaxReportBits = uint64_t(1) << 24;

struct Globals {
    uint32_t reportSize = 0;
    uint32_t reportCount = 0;
    uint32_t reportId = 0;
};

int BytesWithId(uint64_t bits)
{
    return int((std::min(bits, kMaxReportBits) + 7) / 8) + 1;
}

}  // namespace

ReportLengths ParseReportLengths(const uint8_t* descriptor, size_t size)
{
    // Bits per report id, per kind (0 input, 1 output, 2 feature).
    std::array<std::map<uint32_t, uint64_t>, 3> bits;
    Globals globals;
    std::vector<Globals> stack;
    size_t at = 0;
    while (descriptor != nullptr && at < size) {
        const uint8_t prefix = descriptor[at];
        if (prefix == kLongItem) {
            if (at + 1 >= size)
                break;
            at += 3 + size_t(descriptor[at + 1]);
            continue;
        }
        const size_t dataSize = (prefix & 3) == 3 ? 4 : (prefix & 3);
        if (at + 1 + dataSize > size)
            break;
        uint32_t value = 0;
        for (size_t i = 0; i < dataSize; ++i)
            value |= uint32_t(descriptor[at + 1 + i]) << (8 * i);
        const int type = (prefix >> 2) & 3;
        const int tag = prefix >> 4;
        at += 1 + dataSize;

        if (type == kTypeGlobal) {
            switch (tag) {
            case kTagReportSize: globals.reportSize = value; break;
            case kTagReportCount: globals.reportCount = value; break;
            case kTagReportId: globals.reportId = value; break;
            case kTagPush:
                if (stack.size() < kMaxPushDepth)
                    stack.push_back(globals);
                break;
            case kTagPop:
                if (!stack.empty()) {
                    globals = stack.back();
                    stack.pop_back();
                }
                break;
            default: break;
            }
        } else if (type == kTypeMain) {
            const int kind = tag == kTagInput ? 0 : tag == kTagOutput ? 1 : tag == kTagFeature ? 2 : -1;
            if (kind < 0)
                continue;
            uint64_t& total = bits[size_t(kind)][globals.reportId];
            total = std::min(total + uint64_t(globals.reportSize) * globals.reportCount, kMaxReportBits);
        }
    }
    const auto largest = [](const std::map<uint32_t, uint64_t>& reports) {
        int bytes = 0;
        for (const auto& [id, total] : reports)
            bytes = std::max(bytes, BytesWithId(total));
        return bytes;
    };
    return ReportLengths{largest(bits[0]), largest(bits[1]), largest(bits[2])};
}

}  // namespace zorvan
