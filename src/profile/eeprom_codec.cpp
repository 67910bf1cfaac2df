#include "profile/eeprom_codec.h"

#include "app/log.h"
#include "app/sensor_tables.h"
#include "device/eeprom_map.h"
#include "profile/lighting_tables.h"

#include <algorithm>

namespace zorvan {
namespace {

constexpr int32_t kSensor3395 = 0x3395;

uint8_t Byte(int32_t value, int shift = 0)
{
    return uint8_t((uint32_t(value) >> shift) & 0xFF);
}

template <size_t N>
void PutCheck(std::array<uint8_t, N>& bytes)
{
    bytes[N - 1] = eeprom::GroupCheck(bytes.data(), N - 1);
}

}  // namespace

void ApplyPatch(std::span<uint8_t> image, const EepromPatch& patch)
{
    for (size_t i = 0; i < patch.bytes.size(); ++i) {
        const size_t at = size_t(patch.address) + i;
        if (at < image.size())
            image[at] = patch.bytes[i];
    }
}

std::array<uint8_t, 2> EncodePair(uint8_t value)
{
    return {value, eeprom::PairCheck(value)};
}

std::array<uint8_t, 2> EncodeValuePair(int32_t value, uint16_t address)
{
    const uint8_t byte = uint8_t(std::clamp(value, 0, 255));
    if (byte != value)
        Log("Set pair at 0x%x: value %d written as %d", unsigned(address), value, byte);
    return EncodePair(byte);
}

std::optional<uint8_t> PollingRateByte(int32_t rate)
{
    switch (rate) {
    case kRate1000: return 1;
    case kRate500: return 2;
    case kRate250: return 4;
    case kRate125: return 8;
    default: return std::nullopt;
    }
}

std::optional<int32_t> PollingRateOfByte(uint8_t byte)
{
    switch (byte) {
    case 1: return kRate1000;
    case 2: return kRate500;
    case 4: return kRate250;
    case 8: return kRate125;
    default: return std::nullopt;
    }
}

DpiRegisters DpiRegistersOf(int32_t sensor, int x, int y)
{
    DpiRegisters r;
    r.xCode = DpiToCode(sensor, x, &r.xFlag);
    r.yCode = DpiToCode(sensor, y, &r.yFlag);
    return r;
}

std::array<uint8_t, 4> PackDpiEntry(int32_t sensor, const DpiRegisters& r)
{
    // A value below the sensor's range has no code; it must not turn into the largest one.
    const int x = std::max(r.xCode, 0);
    const int y = std::max(r.yCode, 0);
    std::array<uint8_t, 4> entry{uint8_t(x & 0xFF), uint8_t(y & 0xFF), 0, 0};
    if (sensor == kSensor3395) {
        entry[2] = uint8_t((((y >> 8) & 3) << 6) | ((r.yFlag != 0 ? 1 : 0) << 4) | (((x >> 8) & 3) << 2) |
                           (r.xFlag != 0 ? 1 : 0));
    } else {
        entry[2] = uint8_t((r.xFlag & 0x0F) | (r.yFlag << 4));
    }
    PutCheck(entry);
    return entry;
}

DpiRegisters UnpackDpiEntry(std::span<const uint8_t, 4> entry)
{
    const int m = entry[2];
    DpiRegisters r;
    r.xCode = ((m & 0x0C) << 6) | entry[0];
    r.yCode = ((m & 0xC0) << 2) | entry[1];
    r.xFlag = m & 3;
    r.yFlag = (m >> 4) & 3;
    return r;
}

std::array<uint8_t, 4> EncodeDpiLevel(int32_t sensor, const DpiLevelRecord& level)
{
    return PackDpiEntry(sensor, DpiRegistersOf(sensor, level.x, level.y));
}

std::array<uint8_t, 4> EncodeColourEntry(int32_t colour)
{
    std::array<uint8_t, 4> entry{Byte(colour), Byte(colour, 8), Byte(colour, 16), 0};
    PutCheck(entry);
    return entry;
}

int32_t DecodeColour(std::span<const uint8_t, 3> c)
{
    return int32_t(c[0] | (c[1] << 8) | (c[2] << 16));
}

EepromPatch EncodeDpiEffect(int32_t mode, int32_t speedIndex, int32_t parameter)
{
    const auto modePair = EncodeValuePair(mode, eeprom::kDpiEffect);
    if (modePair[0] == 0)
        return {eeprom::kDpiEffect, {modePair.begin(), modePair.end()}};
    const auto speed = EncodePair(TableByte(kDpiEffectSpeedTable, speedIndex));
    const auto param = EncodeValuePair(parameter, eeprom::kDpiEffect + 4);
    return {eeprom::kDpiEffect, {modePair[0], modePair[1], speed[0], speed[1], param[0], param[1]}};
}

DpiEffect DecodeDpiEffect(std::span<const uint8_t, 6> bytes)
{
    DpiEffect effect;
    effect.mode = bytes[0];
    effect.parameter = bytes[4];
    effect.speed = std::max(TableIndex(kDpiEffectSpeedTable, bytes[2]), 1);
    return effect;
}

EepromPatch EncodeLogoLight(const LightingBlock& logo)
{
    const auto mode = EncodeValuePair(logo.mode, eeprom::kLogoMode);
    if (mode[0] == 0)
        return {eeprom::kLogoMode, {mode.begin(), mode.end()}};
    std::array<uint8_t, 4> colour = EncodeColourEntry(logo.colour);
    const auto brightness = EncodePair(TableByte(kBrightnessTable, logo.brightness));
    const auto speed = EncodeValuePair(logo.speed, eeprom::kLogoMode + 4);
    return {eeprom::kLogoLight,
            {colour[0], colour[1], colour[2], colour[3], mode[0], mode[1], brightness[0], brightness[1], speed[0],
             speed[1]}};
}

void EEPROM_To_LogoRGB(std::span<const uint8_t, 10> e, LightingBlock& logo)
{
    LogHex(e.data(), e.size(), 16, "EEPROM_To_LogoRGB: ");
    Log("EEPROM_To_LogoRGB: mode=%x, speed=%x, light=%x, color=%x,%x,%x", e[4], e[8], e[6], e[0], e[1], e[2]);
    const int mode = e[4];
    int brightness = e[6] + 1;
    if (mode >= 1 && mode <= 3) {
        brightness = TableIndex(kBrightnessTable, e[6]);
        if (brightness == 0) {
            Log("EEPROM_To_LogoRGB: Unkown Bri");
            brightness = 1;
        }
    }
    int speed = e[8];
    if (speed < 1 || speed > 5) {
        Log("EEPROM_To_LogoRGB: Unkown Speed");
        speed = 0;
    }
    logo.mode = mode;
    if (mode != 0) {
        logo.speed = speed;
        logo.brightness = brightness;
        logo.colour = DecodeColour(e.first<3>());
    }
}

std::array<uint8_t, 7> EncodeMainLight(const LightingBlock& main, std::span<const uint8_t, 7> stored)
{
    std::array<uint8_t, 7> bytes{};
    // A mode the mouse does not know is written as off, which keeps what the mouse holds.
    const bool known = main.mode >= 1 && main.mode < int32_t(kMainModeBytes.size());
    if (!known) {
        std::copy(stored.begin(), stored.end(), bytes.begin());
        bytes[0] = kMainModeOffByte;
    } else {
        const auto colour = EncodeColourEntry(main.colour);
        bytes = {kMainModeBytes[size_t(main.mode)],
                 colour[0],
                 colour[1],
                 colour[2],
                 TableByte(MainSpeedTable(main.mode), main.speed),
                 TableByte(MainBrightnessTable(main.mode), main.brightness),
                 0};
    }
    PutCheck(bytes);
    return bytes;
}

void EEPROM_To_MainRGB(std::span<const uint8_t, 8> e, LightingBlock& main)
{
    LogHex(e.data(), e.size(), 16, "EEPROM_To_MainRGB: ");
    Log("EEPROM_To_MainRGB: mode=%x, speed=%x, light=%x, color=%x,%x,%x", e[0], e[4], e[5], e[1], e[2], e[3]);
    const int mode = MainModeOfByte(e[0]);
    int speed = 1;
    int brightness = 1;
    if (mode >= 2) {
        speed = TableIndex(MainSpeedTable(mode), e[4]);
        if (speed == 0) {
            Log("EEPROM_To_MainRGB: Unkown Speed");
            speed = 1;
        }
    }
    if (mode >= 1) {
        brightness = TableIndex(MainBrightnessTable(mode), e[5]);
        if (brightness == 0) {
            Log("EEPROM_To_MainRGB: Unkown Bri");
            brightness = 1;
        }
    }
    main.mode = mode;
    if (mode != 0) {
        main.speed = speed;
        main.brightness = brightness;
        main.colour = DecodeColour(e.subspan<1, 3>());
    }
}

std::array<uint8_t, 4> EncodeMatrixEntry(int32_t code)
{
    const uint32_t bits = code < 0 ? 0xFFFFFFu : uint32_t(code);
    std::array<uint8_t, 4> entry{uint8_t(bits), uint8_t(bits >> 8), uint8_t(bits >> 16), 0};
    PutCheck(entry);
    return entry;
}

uint32_t DecodeMatrixEntry(std::span<const uint8_t, 4> entry)
{
    return uint32_t(entry[0]) | (uint32_t(entry[1]) << 8) | (uint32_t(entry[2]) << 16);
}

}  // namespace zorvan
