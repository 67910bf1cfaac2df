#pragma once
// The ".qxm" macro file: the 834-byte `StMacro` image with every byte rotated right by 2 bits.
// No header, no checksum; bytes after the first 834 are ignored.
#include "macro/st_macro.h"

#include <array>
#include <cstdint>
#include <optional>
#include <span>

namespace zorvan {

constexpr size_t kMacroFileSize = sizeof(StMacro);

// The rotated image of `macro`, as stored in a macro file.
std::array<uint8_t, kMacroFileSize> EncodeMacroFile(const StMacro& macro);

// The record held by a macro file's bytes: nothing unless at least 834 bytes are given and the
// unrotated magic is 0xFACB99A0.
std::optional<StMacro> DecodeMacroFile(std::span<const uint8_t> bytes);

}  // namespace zorvan
