#include "profile/area_writers.h"

#include "device/eeprom_map.h"
#include "device/report_frame.h"
#include "device/usb_driver.h"
#include "profile/eeprom_codec.h"

#include <array>
#include <bit>
#include <vector>

namespace zorvan {
namespace {

using Entry = std::array<uint8_t, 4>;

// The table write shared by the three table areas. `entryOf(element, index)` encodes one
// entry; a single entry (bit i) takes element `single(i)` of the input.
template <typename T, typename Encode, typename Single>
bool WriteTable(CUSBDriver& link, uint16_t base, uint32_t mask, int bits, std::span<const T> input, int count,
                Encode encode, Single single)
{
    if (mask == kWholeTable) {
        const int n = std::min(count, int(input.size()));
        if (n <= 0)
            return true;
        std::vector<uint8_t> bytes;
        bytes.reserve(size_t(n) * 4);
        for (int i = 0; i < n; ++i) {
            const Entry entry = encode(input[size_t(i)]);
            bytes.insert(bytes.end(), entry.begin(), entry.end());
        }
        return link.WriteEEPROM(kTablePiece, int(bytes.size()), base, bytes.data());
    }
    const uint32_t inRange = mask & ((1u << bits) - 1);
    if (inRange == 0)
        return true;
    const int i = std::countr_zero(inRange);
    const size_t element = single(i);
    if (element >= input.size())
        return true;
    const Entry entry = encode(input[element]);
    return link.WriteEEPROM(kAreaPiece, int(entry.size()), uint16_t(base + 4 * i), entry.data());
}

}  // namespace

bool SetDpiLevels(CUSBDriver& link, uint32_t mask, std::span<const DpiLevelRecord> levels, int count, int32_t sensor)
{
    return WriteTable(
        link, eeprom::kDpiLevels, mask, kDpiLevels, levels, count,
        [sensor](const DpiLevelRecord& level) { return EncodeDpiLevel(sensor, level); },
        [](int i) { return size_t(i); });
}

bool SetDpiColours(CUSBDriver& link, uint32_t mask, std::span<const int32_t> colours, int count)
{
    return WriteTable(
        link, eeprom::kDpiColours, mask, kDpiLevels, colours, count,
        [](int32_t colour) { return EncodeColourEntry(colour); }, [](int) { return size_t(0); });
}

bool SetKeyMatrix(CUSBDriver& link, uint32_t mask, std::span<const int32_t> codes, int count)
{
    return WriteTable(
        link, eeprom::kKeyMatrix, mask, kKeysPerSet, codes, count,
        [](int32_t code) { return EncodeMatrixEntry(code); }, [](int) { return size_t(0); });
}

bool SetPair(CUSBDriver& link, uint16_t address, uint8_t value)
{
    const std::array<uint8_t, 2> pair = EncodePair(value);
    return link.WriteEEPROM(kAreaPiece, int(pair.size()), address, pair.data());
}

bool SetPollingRate(CUSBDriver& link, int32_t rate)
{
    const std::optional<uint8_t> byte = PollingRateByte(rate);
    if (!byte)
        return false;
    return SetPair(link, eeprom::kPollingRate, *byte);
}

bool ResetDevice(CUSBDriver& link)
{
    return link.SendCMD(kCmdResetDevice);
}

}  // namespace zorvan
