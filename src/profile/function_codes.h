#pragma once
// The function codes of key assignments (`dwFunID`: class in the top byte, code below) that
// have a fixed hardware key code, and the consumer usages of the media and application keys.
#include <array>
#include <cstdint>
#include <optional>

namespace zorvan {

// Function classes (top byte of dwFunID).
constexpr uint32_t kClassMouse = 1;
constexpr uint32_t kClassCombo = 2;
constexpr uint32_t kClassApplication = 3;
constexpr uint32_t kClassMedia = 4;
constexpr uint32_t kClassMacro = 5;
constexpr uint32_t kClassSpecial = 8;
constexpr uint32_t kClassExtra = 0x0B;

// Function codes that the codecs treat one by one.
constexpr uint32_t kFunCombo = 0x020000A1;     // as the function menu assigns it
constexpr uint32_t kFunComboRead = 0x02000000; // as decoding a block yields it
constexpr uint32_t kFunMacro = 0x05000000;
constexpr uint32_t kFunKeyOff = 0x080000A2;
constexpr uint32_t kFunFire = 0x080000A4;
constexpr uint32_t kFunSnipe = 0x080000A6;
constexpr uint32_t kFunCustom = 0x080000AD;

// Hardware key types (byte b0 of a hardware code).
constexpr uint8_t kHwFire = 4;
constexpr uint8_t kHwComboBlock = 5;
constexpr uint8_t kHwMacro = 6;
constexpr uint8_t kHwFixedDpi = 0x0A;

struct FixedFunctionCode {
    uint32_t dwFunID;
    int32_t hardwareCode;
    bool readsBack;  // reading this code from the mouse gives this function
};

// Functions whose hardware code is a constant. The double click is not read back: its code is
// also a fire key (count 2, interval 0x32), and reading takes it as that.
extern const std::array<FixedFunctionCode, 14> kFixedFunctionCodes;

struct ConsumerCode {
    uint32_t dwFunID;
    uint16_t usage;  // HID Consumer page
};

extern const std::array<ConsumerCode, 18> kConsumerCodes;

constexpr uint16_t kNoConsumerUsage = 0xFFFF;

// The usage of a media or application function, chosen by its code (the low 24 bits);
// kNoConsumerUsage when the table has none.
uint16_t ConsumerUsage(uint32_t dwFunID);
// The media or application function of a usage.
std::optional<uint32_t> ConsumerFunction(uint16_t usage);

}  // namespace zorvan
