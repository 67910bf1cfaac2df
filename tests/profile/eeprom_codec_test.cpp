// The encodings of the EEPROM areas, byte for byte, and their decoders.
#include "profile/eeprom_codec.h"

#include "app/geometry.h"
#include "device/eeprom_map.h"
#include "profile_fixture.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <numeric>
#include <string>
#include <vector>

namespace zorvan {
namespace {

using test::ProfileTest;
using Bytes = std::vector<uint8_t>;

template <size_t N>
Bytes ToBytes(const std::array<uint8_t, N>& a)
{
    return Bytes(a.begin(), a.end());
}

// The bytes followed by their group check.
Bytes WithCheck(Bytes bytes)
{
    bytes.push_back(uint8_t(0x55 - std::accumulate(bytes.begin(), bytes.end(), 0u)));
    return bytes;
}

// A one-line hexadecimal dump of the log, as the profile read writes it.
std::string Dump(const std::string& label, const Bytes& bytes)
{
    std::string line = "\n" + label + " ";
    for (uint8_t b : bytes) {
        char group[4];
        std::snprintf(group, sizeof group, "%02x ", b);
        line += group;
    }
    return line;
}

LightingBlock Light(int32_t mode, int32_t speed, int32_t brightness, int32_t colour)
{
    LightingBlock block{};
    block.mode = mode;
    block.speed = speed;
    block.brightness = brightness;
    block.colour = colour;
    return block;
}

TEST(EepromCodec, PairsSumTo0x55)
{
    EXPECT_EQ(ToBytes(EncodePair(0x04)), (Bytes{0x04, 0x51}));
    EXPECT_EQ(ToBytes(EncodePair(0x00)), (Bytes{0x00, 0x55}));
    EXPECT_EQ(ToBytes(EncodePair(0xFF)), (Bytes{0xFF, 0x56}));
}

TEST(EepromCodec, PollingRateBothWays)
{
    struct Case {
        int32_t rate;
        uint8_t byte;
    };
    const Case cases[] = {{kRate1000, 1}, {kRate500, 2}, {kRate250, 4}, {kRate125, 8}};
    for (const Case& c : cases) {
        EXPECT_EQ(PollingRateByte(c.rate), c.byte);
        EXPECT_EQ(PollingRateOfByte(c.byte), c.rate);
    }
    EXPECT_EQ(PollingRateByte(1000), std::nullopt);  // decimal 1000 is not a rate value
    EXPECT_EQ(PollingRateByte(0), std::nullopt);
    EXPECT_EQ(PollingRateOfByte(3), std::nullopt);
    EXPECT_EQ(PollingRateOfByte(0), std::nullopt);
}

class DpiEntries : public ProfileTest {};

TEST_F(DpiEntries, EncodeTheSensorsCodesAndRangeFlags)
{
    struct Case {
        int32_t sensor;
        int x;
        int y;
        Bytes entry;  // without the check byte
    };
    const Case cases[] = {
        {0x3395, 800, 800, {0x0F, 0x0F, 0x00}},
        {0x3395, 30000, 30000, {0x2B, 0x2B, 0x55}},   // code 0x12B with range flag 1
        {0x3395, 800, 30000, {0x0F, 0x2B, 0x50}},
        {0x3395, 26000, 400, {0x07, 0x07, 0x08}},     // code 0x207: bits 8-9 in bits 2-3
        {0x3395, 0, 0, {0x00, 0x00, 0x00}},           // below the range: code 0, never 0x3FF
        {0x9000, 11000, 11000, {0x81, 0x81, 0x22}},   // flag 0x22 kept to 8 bits
        {0x3370, 15000, 15000, {0x95, 0x95, 0x22}},
        {0x3370, 30000, 800, {0x95, 0x0F, 0x03}},
        {0x3325, 8000, 8000, {0x5C, 0x5C, 0x11}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << std::hex << c.sensor << std::dec << " " << c.x << "/" << c.y);
        DpiLevelRecord level{c.x, c.y, 0, 0};
        EXPECT_EQ(ToBytes(EncodeDpiLevel(c.sensor, level)), WithCheck(c.entry));
    }
}

TEST_F(DpiEntries, ReadBackGivesTheValuesWritten)
{
    struct Case {
        int32_t sensor;
        int x;
        int y;
    };
    const Case cases[] = {{0x3395, 800, 800},     {0x3395, 30000, 30000}, {0x3395, 26000, 50},
                          {0x3395, 800, 32000},   {0x3370, 15000, 30000}, {0x3370, 20000, 10000},
                          {0x3325, 8000, 400},    {0x3335, 16000, 32000}};
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << std::hex << c.sensor << std::dec << " " << c.x << "/" << c.y);
        const auto entry = EncodeDpiLevel(c.sensor, DpiLevelRecord{c.x, c.y, 0, 0});
        const DpiRegisters r = UnpackDpiEntry(entry);
        EXPECT_EQ(Config().sensors.CodeToDpi(c.sensor, r.xCode, r.xFlag), c.x);
        EXPECT_EQ(Config().sensors.CodeToDpi(c.sensor, r.yCode, r.yFlag), c.y);
    }
}

TEST(EepromCodec, DpiEntryFlagsByteCarriesCodeBitsAndFlags)
{
    const uint8_t entry[4] = {0x1F, 0x1F, 0x0C, 0x0B};
    EXPECT_EQ(UnpackDpiEntry(entry), (DpiRegisters{0x31F, 0x1F, 0, 0}));
    const uint8_t flags[4] = {0x01, 0x02, 0xF3, 0x00};
    EXPECT_EQ(UnpackDpiEntry(flags), (DpiRegisters{0x001, 0x302, 3, 3}));
}

TEST(EepromCodec, ColoursTravelRedFirst)
{
    EXPECT_EQ(ToBytes(EncodeColourEntry(Rgb(0x03, 0xBE, 0xFF))), WithCheck({0x03, 0xBE, 0xFF}));
    const uint8_t c[3] = {0x03, 0xBE, 0xFF};
    EXPECT_EQ(DecodeColour(c), Rgb(0x03, 0xBE, 0xFF));
}

TEST(EepromCodec, DpiEffectWritesOnlyTheModePairWhenOff)
{
    const EepromPatch off = EncodeDpiEffect(0, 5, 3);
    EXPECT_EQ(off.address, eeprom::kDpiEffect);
    EXPECT_EQ(off.bytes, (Bytes{0x00, 0x55}));

    const EepromPatch on = EncodeDpiEffect(2, 5, 3);
    EXPECT_EQ(on.address, eeprom::kDpiEffect);
    EXPECT_EQ(on.bytes, (Bytes{0x02, 0x53, 0x80, 0xD5, 0x03, 0x52}));
}

TEST(EepromCodec, DpiEffectSpeedIndexOutsideTheTableTakesItsEnds)
{
    EXPECT_EQ(EncodeDpiEffect(1, 0, 0).bytes[2], 16);
    EXPECT_EQ(EncodeDpiEffect(1, 11, 0).bytes[2], 255);
    EXPECT_EQ(EncodeDpiEffect(1, -5, 0).bytes[2], 16);
}

TEST(EepromCodec, DpiEffectDecoding)
{
    const uint8_t on[6] = {0x02, 0x53, 0x80, 0xD5, 0x03, 0x52};
    const DpiEffect effect = DecodeDpiEffect(on);
    EXPECT_EQ(effect.mode, 2);
    EXPECT_EQ(effect.speed, 5);
    EXPECT_EQ(effect.parameter, 3);
    const uint8_t unknownSpeed[6] = {0x01, 0x54, 0x11, 0x44, 0x00, 0x55};
    EXPECT_EQ(DecodeDpiEffect(unknownSpeed).speed, 1);
}

TEST(EepromCodec, LogoLightingBytes)
{
    const EepromPatch off = EncodeLogoLight(Light(0, 3, 4, 0x302010));
    EXPECT_EQ(off.address, eeprom::kLogoMode);
    EXPECT_EQ(off.bytes, (Bytes{0x00, 0x55}));

    const EepromPatch on = EncodeLogoLight(Light(2, 3, 4, 0x302010));
    EXPECT_EQ(on.address, eeprom::kLogoLight);
    EXPECT_EQ(on.bytes, (Bytes{0x10, 0x20, 0x30, 0xF5, 0x02, 0x53, 0x64, 0xF1, 0x03, 0x52}));
}

class LightingDecoders : public ProfileTest {};

TEST_F(LightingDecoders, LogoBlockFromTheMouse)
{
    struct Case {
        const char* name;
        Bytes e;
        LightingBlock expected;
        std::vector<std::string> lines;  // logged after the dump
    };
    const LightingBlock before = Light(9, 9, 9, 0x999999);
    const Case cases[] = {
        {"mode 2", {0x10, 0x20, 0x30, 0xF5, 0x02, 0x53, 0x64, 0xF1, 0x03, 0x52}, Light(2, 3, 4, 0x302010),
         {"EEPROM_To_LogoRGB: mode=2, speed=3, light=64, color=10,20,30"}},
        {"speed 7", {0x10, 0x20, 0x30, 0xF5, 0x01, 0x54, 0xFF, 0x56, 0x07, 0x4E}, Light(1, 0, 10, 0x302010),
         {"EEPROM_To_LogoRGB: mode=1, speed=7, light=ff, color=10,20,30", "EEPROM_To_LogoRGB: Unkown Speed"}},
        {"brightness not in the table", {0x01, 0x02, 0x03, 0x4F, 0x03, 0x52, 0x63, 0xF2, 0x05, 0x50},
         Light(3, 5, 1, 0x030201),
         {"EEPROM_To_LogoRGB: mode=3, speed=5, light=63, color=1,2,3", "EEPROM_To_LogoRGB: Unkown Bri"}},
        {"other modes take the raw brightness", {0, 0, 0, 0x55, 0x05, 0x50, 0x09, 0x4C, 0x02, 0x53},
         Light(5, 2, 10, 0), {"EEPROM_To_LogoRGB: mode=5, speed=2, light=9, color=0,0,0"}},
        {"off keeps the rest", {0x10, 0x20, 0x30, 0xF5, 0x00, 0x55, 0x64, 0xF1, 0x03, 0x52}, Light(0, 9, 9, 0x999999),
         {"EEPROM_To_LogoRGB: mode=0, speed=3, light=64, color=10,20,30"}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        ClearLog();
        LightingBlock logo = before;
        EEPROM_To_LogoRGB(std::span<const uint8_t, 10>(c.e.data(), 10), logo);
        EXPECT_EQ(logo.mode, c.expected.mode);
        EXPECT_EQ(logo.speed, c.expected.speed);
        EXPECT_EQ(logo.brightness, c.expected.brightness);
        EXPECT_EQ(logo.colour, c.expected.colour);
        const std::vector<std::string> log = LogLines();
        ASSERT_GE(log.size(), 1 + c.lines.size());
        EXPECT_EQ(log[0], Dump("EEPROM_To_LogoRGB: ", c.e));
        EXPECT_EQ(std::vector<std::string>(log.end() - long(c.lines.size()), log.end()), c.lines);
    }
}

TEST_F(LightingDecoders, MainBlockFromTheMouse)
{
    struct Case {
        const char* name;
        Bytes e;
        LightingBlock expected;
        std::vector<std::string> lines;
    };
    const LightingBlock before = Light(9, 9, 9, 0x999999);
    const Case cases[] = {
        {"mode byte 3", {0x03, 0xFF, 0x00, 0x00, 0xBE, 0x64, 0x00, 0x00}, Light(4, 4, 4, 0x0000FF),
         {"EEPROM_To_MainRGB: mode=3, speed=be, light=64, color=ff,0,0"}},
        {"mode byte 0 has its own tables", {0x00, 0x01, 0x02, 0x03, 0x07, 0x84, 0x00, 0x00}, Light(3, 4, 4, 0x030201),
         {"EEPROM_To_MainRGB: mode=0, speed=7, light=84, color=1,2,3"}},
        {"mode 1 reads no speed", {0x02, 0x01, 0x02, 0x03, 0x33, 0xFF, 0x00, 0x00}, Light(1, 1, 10, 0x030201),
         {"EEPROM_To_MainRGB: mode=2, speed=33, light=ff, color=1,2,3"}},
        {"unknown speed and brightness", {0x01, 0x01, 0x02, 0x03, 0x12, 0x13, 0x00, 0x00}, Light(2, 1, 1, 0x030201),
         {"EEPROM_To_MainRGB: mode=1, speed=12, light=13, color=1,2,3", "EEPROM_To_MainRGB: Unkown Speed",
          "EEPROM_To_MainRGB: Unkown Bri"}},
        {"mode byte 7", {0x07, 0x01, 0x02, 0x03, 0x28, 0x2D, 0x00, 0x00}, Light(6, 10, 1, 0x030201),
         {"EEPROM_To_MainRGB: mode=7, speed=28, light=2d, color=1,2,3"}},
        {"off", {0x04, 0x01, 0x02, 0x03, 0x28, 0x2D, 0x00, 0x00}, Light(0, 9, 9, 0x999999),
         {"EEPROM_To_MainRGB: mode=4, speed=28, light=2d, color=1,2,3"}},
        {"unknown mode byte is off", {0x06, 0x01, 0x02, 0x03, 0x28, 0x2D, 0x00, 0x00}, Light(0, 9, 9, 0x999999),
         {"EEPROM_To_MainRGB: mode=6, speed=28, light=2d, color=1,2,3"}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        ClearLog();
        LightingBlock main = before;
        EEPROM_To_MainRGB(std::span<const uint8_t, 8>(c.e.data(), 8), main);
        EXPECT_EQ(main.mode, c.expected.mode);
        EXPECT_EQ(main.speed, c.expected.speed);
        EXPECT_EQ(main.brightness, c.expected.brightness);
        EXPECT_EQ(main.colour, c.expected.colour);
        const std::vector<std::string> log = LogLines();
        ASSERT_GE(log.size(), 1 + c.lines.size());
        EXPECT_EQ(log[0], Dump("EEPROM_To_MainRGB: ", c.e));
        EXPECT_EQ(std::vector<std::string>(log.end() - long(c.lines.size()), log.end()), c.lines);
    }
}

TEST(EepromCodec, MainLightingBytes)
{
    const std::array<uint8_t, 7> stored = {0x02, 0x11, 0x22, 0x33, 0x44, 0x55, 0x00};
    struct Case {
        const char* name;
        LightingBlock block;
        Bytes bytes;  // without the check byte
    };
    const Case cases[] = {
        {"mode 4", Light(4, 4, 4, 0x0000FF), {0x03, 0xFF, 0x00, 0x00, 0xBE, 0x64}},
        {"mode 3 tables", Light(3, 4, 4, 0x030201), {0x00, 0x01, 0x02, 0x03, 0x07, 0x84}},
        {"mode 1 writes its speed", Light(1, 2, 10, 0x030201), {0x02, 0x01, 0x02, 0x03, 0xE6, 0xFF}},
        {"mode 6", Light(6, 10, 1, 0), {0x07, 0x00, 0x00, 0x00, 0x28, 0x2D}},
        {"indexes outside the tables", Light(2, 0, 99, 0), {0x01, 0x00, 0x00, 0x00, 0xFF, 0xFF}},
        {"off keeps what the mouse holds", Light(0, 4, 4, 0x0000FF), {0x04, 0x11, 0x22, 0x33, 0x44, 0x55}},
        {"unknown mode is off", Light(7, 4, 4, 0x0000FF), {0x04, 0x11, 0x22, 0x33, 0x44, 0x55}},
    };
    for (const Case& c : cases)
        EXPECT_EQ(ToBytes(EncodeMainLight(c.block, stored)), WithCheck(c.bytes)) << c.name;
}

TEST(EepromCodec, MatrixEntries)
{
    EXPECT_EQ(ToBytes(EncodeMatrixEntry(0x000401)), (Bytes{0x01, 0x04, 0x00, 0x50}));
    EXPECT_EQ(ToBytes(EncodeMatrixEntry(-1)), (Bytes{0xFF, 0xFF, 0xFF, 0x58}));
    EXPECT_EQ(ToBytes(EncodeMatrixEntry(0)), (Bytes{0x00, 0x00, 0x00, 0x55}));
    EXPECT_EQ(ToBytes(EncodeMatrixEntry(0x050206)), WithCheck({0x06, 0x02, 0x05}));
    const uint8_t entry[4] = {0x06, 0x02, 0x05, 0xFF};
    EXPECT_EQ(DecodeMatrixEntry(entry), 0x050206u);
}

TEST(EepromCodec, PatchesNeverWriteOutsideTheImage)
{
    std::vector<uint8_t> image(4, 0);
    ApplyPatch(image, {2, {0xAA, 0xBB, 0xCC}});
    EXPECT_EQ(image, (Bytes{0x00, 0x00, 0xAA, 0xBB}));
    ApplyPatch(image, {0xFFFF, {0x11}});
    EXPECT_EQ(image, (Bytes{0x00, 0x00, 0xAA, 0xBB}));
}

}  // namespace
}  // namespace zorvan
