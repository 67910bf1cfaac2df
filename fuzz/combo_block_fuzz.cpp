// The combination-block decoder over arbitrary bytes read from the mouse: it reads only the
// bytes it is given, yields a combination, media or application key or nothing (leaving the
// assignment untouched), and what it yields encodes back into one 32-byte block.
#include "profile/combo_block.h"
#include "profile/function_codes.h"

#include <cstdlib>
#include <span>
#include <vector>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    using namespace zorvan;
    // An exact-size copy, so that a read past the input is caught by the sanitizers.
    const std::vector<uint8_t> block(data, data + size);
    KeyAssignment key{0x01000011, 3, 0x1234, {1, 2, 3, 4}, 5, 6};
    const KeyAssignment before = key;
    if (!DecodeComboBlock(block, key)) {
        if (!(key == before))
            std::abort();
        return 0;
    }
    const uint32_t major = key.Major();
    if (major != kClassCombo && major != kClassApplication && major != kClassMedia)
        std::abort();
    if ((key.stCombo[0] & 0xF0) != 0 || key.matrix != before.matrix)
        std::abort();
    ComboBlock encoded;
    const size_t length = EncodeComboBlock(key, encoded);
    if (length < 2 || length > kComboBlockSize)
        std::abort();
    return 0;
}
