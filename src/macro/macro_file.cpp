#include "macro/macro_file.h"

#include <cstring>

namespace zorvan {
namespace {

constexpr uint8_t RotateRight2(uint8_t b)
{
    return uint8_t((b >> 2) | (b << 6));
}

constexpr uint8_t RotateLeft2(uint8_t b)
{
    return uint8_t((b << 2) | (b >> 6));
}

}  // namespace

std::array<uint8_t, kMacroFileSize> EncodeMacroFile(const StMacro& macro)
{
    std::array<uint8_t, kMacroFileSize> image;
    std::memcpy(image.data(), &macro, kMacroFileSize);
    for (uint8_t& b : image)
        b = RotateRight2(b);
    return image;
}

std::optional<StMacro> DecodeMacroFile(std::span<const uint8_t> bytes)
{
    if (bytes.size() < kMacroFileSize)
        return std::nullopt;
    std::array<uint8_t, kMacroFileSize> image;
    for (size_t i = 0; i < kMacroFileSize; ++i)
        image[i] = RotateLeft2(bytes[i]);
    StMacro macro;
    std::memcpy(&macro, image.data(), kMacroFileSize);
    if (macro.magic != kMacroMagic)
        return std::nullopt;
    return macro;
}

}  // namespace zorvan
