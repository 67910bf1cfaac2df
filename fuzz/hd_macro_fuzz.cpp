// HdMacro_To_StMacro over arbitrary 353-byte slot streams (shorter input is padded with zeros):
// the record it makes always ends at a terminator with nothing after it, holds at most 70
// events, and encodes back into a slot without overrunning it.
#include "macro/hd_macro_codec.h"
#include "macro/macro_record.h"

#include <algorithm>
#include <array>
#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    using namespace zorvan;
    std::array<uint8_t, kHdMacroStreamBytes> stream{};
    std::copy_n(data, std::min(size, stream.size()), stream.begin());
    StMacro macro;
    HdMacro_To_StMacro(macro, stream, 1);
    const int count = MacroEventCount(macro);
    if (count > kHdMacroMaxEvents || count > stream[0])
        std::abort();
    for (int i = count; i < kMacroEventSlots; ++i) {
        const MacroEvent e = macro.events[i];
        if (e.code != 0 || e.action != 0 || e.delay != 0)
            std::abort();
    }
    HdMacro slot;
    const int length = BuildHdMacro(macro, slot);
    if (length > kHdMacroSize - 1 || slot.eventCount != count)
        std::abort();
    return 0;
}
