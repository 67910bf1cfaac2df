// The ".qxm" reader over arbitrary bytes: a file it accepts must be a record whose name and
// events can be read and that writes back to the same first 834 bytes.
#include "macro/macro_file.h"
#include "macro/macro_record.h"

#include <cstdlib>
#include <cstring>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    using namespace zorvan;
    const std::optional<StMacro> macro = DecodeMacroFile(std::span(data, size));
    if (!macro)
        return 0;
    if (MacroEventCount(*macro) > kMacroEventSlots || MacroName(*macro).size() > kMacroNameUnits)
        std::abort();
    const auto image = EncodeMacroFile(*macro);
    if (std::memcmp(image.data(), data, image.size()) != 0)
        std::abort();
    return 0;
}
