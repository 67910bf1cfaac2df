// The combination block: what combination, media and application keys send.
#include "profile/combo_block.h"

#include "profile/function_codes.h"
#include "text/key_usage.h"

#include <gtest/gtest.h>

#include <numeric>
#include <vector>

namespace zorvan {
namespace {

KeyAssignment Combo(uint8_t modifiers, uint8_t k1 = 0, uint8_t k2 = 0, uint8_t k3 = 0)
{
    return KeyAssignment{kFunCombo, 1, 0, {modifiers, k1, k2, k3}, 0, 0};
}

KeyAssignment Function(uint32_t funId)
{
    return KeyAssignment{funId, 1, 0, {0, 0, 0, 0}, 0, 0};
}

uint8_t Check(const std::vector<uint8_t>& bytes)
{
    return uint8_t(0x55 - std::accumulate(bytes.begin(), bytes.end(), 0u));
}

TEST(ComboBlock, EncodesEventsAndTheirCheckByte)
{
    struct Case {
        const char* name;
        KeyAssignment key;
        std::vector<uint8_t> events;  // count and events, without the check byte
    };
    const Case cases[] = {
        {"Ctrl+Shift+A", Combo(0x03, 'A'),
         {0x06, 0x80, 0x01, 0x00, 0x80, 0x02, 0x00, 0x81, 0x04, 0x00, 0x40, 0x01, 0x00, 0x40, 0x02, 0x00, 0x41, 0x04,
          0x00}},
        {"volume up", Function(0x04000026), {0x02, 0x82, 0xE9, 0x00, 0x42, 0xE9, 0x00}},
        {"calculator", Function(0x03000031), {0x02, 0x82, 0x92, 0x01, 0x42, 0x92, 0x01}},
        {"media code outside the table", Function(0x04000029), {0x02, 0x82, 0xFF, 0xFF, 0x42, 0xFF, 0xFF}},
        {"keys released in reverse order", Combo(0x00, 'A', 'B'),
         {0x04, 0x81, 0x04, 0x00, 0x81, 0x05, 0x00, 0x41, 0x05, 0x00, 0x41, 0x04, 0x00}},
        {"right Ctrl is sent as Ctrl", Combo(0x10, 'C'),
         {0x04, 0x80, 0x01, 0x00, 0x81, 0x06, 0x00, 0x40, 0x01, 0x00, 0x41, 0x06, 0x00}},
        {"both Alt keys are one Alt", Combo(0x44), {0x02, 0x80, 0x04, 0x00, 0x40, 0x04, 0x00}},
        {"a key without a usage sends usage 0", Combo(0x00, 0xE8),
         {0x02, 0x81, 0x00, 0x00, 0x41, 0x00, 0x00}},
        // Four modifiers and three keys do not fit 32 bytes: the first five elements are kept,
        // each with its release.
        {"seven elements keep five", Combo(0x0F, 'A', 'B', 'C'),
         {0x0A, 0x80, 0x01, 0x00, 0x80, 0x02, 0x00, 0x80, 0x04, 0x00, 0x80, 0x08, 0x00, 0x81, 0x04, 0x00,
          0x40, 0x01, 0x00, 0x40, 0x02, 0x00, 0x40, 0x04, 0x00, 0x40, 0x08, 0x00, 0x41, 0x04, 0x00}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        ComboBlock block;
        const size_t length = EncodeComboBlock(c.key, block);
        ASSERT_EQ(length, c.events.size() + 1);
        std::vector<uint8_t> expected = c.events;
        expected.push_back(Check(c.events));
        EXPECT_EQ(std::vector<uint8_t>(block.begin(), block.begin() + long(length)), expected);
        for (size_t i = length; i < block.size(); ++i)
            EXPECT_EQ(block[i], 0) << i;
    }
}

TEST(ComboBlock, FunctionsWithoutABlockWriteNone)
{
    const uint32_t funIds[] = {0x01000011, 0x05000000, 0x080000A4, 0x0B000000, 0};
    for (uint32_t funId : funIds) {
        ComboBlock block;
        EXPECT_EQ(EncodeComboBlock(Function(funId), block), 0u) << std::hex << funId;
    }
}

TEST(ComboBlock, DecodesWhatTheMouseHolds)
{
    struct Case {
        const char* name;
        std::vector<uint8_t> block;
        bool ok;
        uint32_t funId;
        std::array<uint8_t, 4> combo;
    };
    const Case cases[] = {
        {"Ctrl+Shift+A",
         {0x06, 0x80, 0x01, 0x00, 0x80, 0x02, 0x00, 0x81, 0x04, 0x00, 0x40, 0x01, 0x00, 0x40, 0x02, 0x00, 0x41, 0x04,
          0x00, 0xFF},
         true, 0x02000000, {0x03, 'A', 0, 0}},
        {"first event a key-up", {0x02, 0x41, 0x04, 0x00, 0x81, 0x04, 0x00}, true, 0x02000000, {0, 0, 0, 0}},
        {"volume up", {0x02, 0x82, 0xE9, 0x00, 0x42, 0xE9, 0x00}, true, 0x04000026, {0, 0, 0, 0}},
        {"AC Bookmarks", {0x02, 0x82, 0x2A, 0x02, 0x42, 0x2A, 0x02}, true, 0x03000039, {0, 0, 0, 0}},
        {"unknown consumer usage", {0x02, 0x82, 0x34, 0x12, 0x42, 0x34, 0x12}, false, 0, {}},
        {"no events", {0x00, 0x81, 0x04, 0x00}, false, 0, {}},
        {"unknown event type", {0x01, 0x83, 0x04, 0x00}, false, 0, {}},
        {"only the modifier bits of the left hand", {0x01, 0x80, 0xF2, 0x00}, true, 0x02000000, {0x02, 0, 0, 0}},
        {"a fourth key is ignored",
         {0x04, 0x81, 0x04, 0x00, 0x81, 0x05, 0x00, 0x81, 0x06, 0x00, 0x81, 0x07, 0x00}, true, 0x02000000,
         {0, 'A', 'B', 'C'}},
        {"a count beyond the bytes read", {0xFF, 0x81, 0x04, 0x00, 0x81, 0x05}, true, 0x02000000, {0, 'A', 0, 0}},
        {"too short to hold an event", {0x01, 0x81}, false, 0, {}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        KeyAssignment key{0x01000011, 9, 0, {9, 9, 9, 9}, 0, 0};
        const KeyAssignment before = key;
        ASSERT_EQ(DecodeComboBlock(c.block, key), c.ok);
        if (!c.ok) {
            EXPECT_EQ(key, before);
            continue;
        }
        EXPECT_EQ(key.dwFunID, c.funId);
        EXPECT_EQ((std::array<uint8_t, 4>{key.stCombo[0], key.stCombo[1], key.stCombo[2], key.stCombo[3]}), c.combo);
    }
}

TEST(ComboBlock, EveryMediaAndApplicationKeySurvivesTheProfileRead)
{
    for (const FunctionEntry& c : FunctionCatalogue()) {
        if (!IsConsumerClass(c.Class()))
            continue;
        ComboBlock block;
        ASSERT_NE(EncodeComboBlock(Function(c.dwFunID), block), 0u);
        KeyAssignment key{};
        ASSERT_TRUE(DecodeComboBlock(std::span(block).first(kComboBlockReadSize), key));
        EXPECT_EQ(key.dwFunID, c.dwFunID);
    }
}

TEST(ComboBlock, CapturedCombinationsSurviveTheProfileRead)
{
    // The capture dialog yields up to three elements; the read takes 20 bytes of the block.
    const KeyAssignment keys[] = {Combo(0x01, 'C'), Combo(0x07), Combo(0x00, 'X', 'Y', 'Z'), Combo(0x05, 0x70),
                                  Combo(0x08, 0x0D)};
    for (const KeyAssignment& written : keys) {
        ComboBlock block;
        ASSERT_LE(EncodeComboBlock(written, block), kComboBlockReadSize);
        KeyAssignment read{};
        ASSERT_TRUE(DecodeComboBlock(std::span(block).first(kComboBlockReadSize), read));
        EXPECT_EQ(read.dwFunID, kFunComboRead);
        for (int i = 0; i < 4; ++i)
            EXPECT_EQ(read.stCombo[i], written.stCombo[i]) << i;
    }
}

}  // namespace
}  // namespace zorvan
