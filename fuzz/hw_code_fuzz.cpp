// The hardware-code decoder over arbitrary matrix entries, combination blocks and macro names
// read from the mouse. Input: 3 code bytes, a position byte, a sensor choice, a block length,
// the block, then the name (UTF-16LE, at most 15 units). A failed decode leaves the assignment
// untouched; a successful one keeps its matrix position and encodes back without a crash.
#include "app/configuration.h"
#include "profile/key_codes.h"

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

namespace {

const bool kTablesBuilt = [] {
    zorvan::Config().sensors.Build(0, 12000, 32000);
    return true;
}();

constexpr int32_t kSensors[] = {0x3395, 0x3370, 0x3325, 0x9000, 0x3335, 0x3050, 0x1234, 0};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    using namespace zorvan;
    if (!kTablesBuilt || size < 6)
        return 0;
    const uint32_t code = uint32_t(data[0]) | (uint32_t(data[1]) << 8) | (uint32_t(data[2]) << 16);
    const int position = data[3];
    const int32_t sensor = kSensors[data[4] % std::size(kSensors)];
    const size_t blockLength = std::min<size_t>(data[5], size - 6);
    const std::vector<uint8_t> block(data + 6, data + 6 + blockLength);
    std::u16string name;
    for (size_t i = 6 + blockLength; i + 1 < size && name.size() < 15; i += 2)
        name.push_back(char16_t(data[i] | (data[i + 1] << 8)));

    KeyAssignment key{0x080000AB, uint32_t(position), 7, {1, 2, 3, 4}, 8, 9};
    const KeyAssignment before = key;
    if (!HardwareCodeToKeyInfo(code, block, name, position, sensor, key)) {
        if (!(key == before))
            std::abort();
        return 0;
    }
    if (key.matrix != before.matrix || key.reserved != 0)
        std::abort();
    keyinfo_to_hardware_code(key, sensor);
    return 0;
}
