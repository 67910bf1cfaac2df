#pragma once
// The hardware side of the function catalogue: hardware key types and the consumer usages of
// the media and application keys. The functions themselves are named in the catalogue.
#include "app/function_catalogue.h"

#include <cstdint>
#include <optional>

namespace zorvan {

// Hardware key types (byte b0 of a hardware code).
constexpr uint8_t kHwFire = 4;
constexpr uint8_t kHwComboBlock = 5;
constexpr uint8_t kHwMacro = 6;
constexpr uint8_t kHwFixedDpi = 0x0A;

// The usage of a media or application function, chosen by its code (the low 24 bits);
// kNoConsumerUsage when the catalogue has none.
uint16_t ConsumerUsage(uint32_t dwFunID);
// The media or application function of a usage.
std::optional<uint32_t> ConsumerFunction(uint16_t usage);

}  // namespace zorvan
