// Key assignment <-> hardware key code, both directions.
#include "profile/key_codes.h"

#include "profile/combo_block.h"
#include "profile_fixture.h"

#include <gtest/gtest.h>

namespace zorvan {
namespace {

using test::ProfileTest;

KeyAssignment Key(uint32_t funId, uint32_t parameter = 0, uint32_t macroId = 0)
{
    KeyAssignment key{};
    key.dwFunID = funId;
    key.dwParameter = parameter;
    key.dwMacroID = macroId;
    return key;
}

KeyAssignment Decode(uint32_t code, std::u16string_view name = u"", int position = 1,
                     std::span<const uint8_t> block = {}, int32_t sensor = 0x3395)
{
    KeyAssignment key{};
    key.matrix = uint32_t(position);
    EXPECT_TRUE(HardwareCodeToKeyInfo(code, block, name, position, sensor, key)) << std::hex << code;
    return key;
}

class KeyCodes : public ProfileTest {
protected:
    void SetUp() override
    {
        ProfileTest::SetUp();
        UseDevice(0x3395);
    }
};

// The function table, written out as the mouse knows it. `readAs` is what reading the code
// back gives (0: reading does not give a function of its own).
struct FunctionRow {
    uint32_t funId;
    uint32_t parameter;
    int32_t code;
    uint32_t readAs;
};

const FunctionRow kFunctionTable[] = {
    {0x01000011, 0, 0x000101, 0x01000011},  // left click
    {0x01000012, 0, 0x000401, 0x01000012},  // middle
    {0x01000013, 0, 0x000201, 0x01000013},  // right click
    {0x01000014, 0, 0x001001, 0x01000014},  // forward
    {0x01000015, 0, 0x000801, 0x01000015},  // back
    {0x01000016, 0, 0x023204, 0x080000A4},  // double click reads as a fire key
    {0x01000017, 0, 0x033204, 0x01000017},  // triple click
    {0x01000018, 0, -1, 0},
    {0x020000A1, 0, 0x000005, 0},           // combination: the block says what
    {0x03000030, 0, 0x000005, 0},
    {0x04000026, 0, 0x000005, 0},
    {0x080000A2, 0, 0x000000, 0x080000A2},  // key off
    {0x080000A3, 0, -1, 0},
    {0x080000A4, 0x0A03, 0x030A04, 0x080000A4},  // fire: count 3, interval 10
    {0x080000A5, 0, -1, 0},
    {0x080000A6, 15, 0x000F0A, 0x080000A6},  // fixed 800 DPI: position 15, code 0x0F
    {0x080000A7, 0, 0x000008, 0x080000A7},
    {0x080000A8, 0, 0x000202, 0x080000A8},
    {0x080000A9, 0, 0x000302, 0x080000A9},
    {0x080000AA, 0, 0x000102, 0x080000AA},
    {0x080000AB, 0, -1, 0},
    {0x080000AC, 0, 0x000007, 0x080000AC},
    {0x080000AD, 0x000401, 0x000401, 0x01000012},  // custom key: the parameter is the code
    {0x080000AE, 0, -1, 0},
    {0x080000AF, 0, -1, 0},
    {0x080000B0, 0, 0x000009, 0x080000B0},
    {0x0B000000, 0x000302, 0x000302, 0x080000A9},  // extra key: the parameter is the code
    {0x0B000002, 0x000008, 0x000008, 0x080000A7},
    {0x06000000, 0, -1, 0},                        // no such class
    {0x00000000, 0, -1, 0},
};

TEST_F(KeyCodes, EveryFunctionOfTheTableEncodesToItsHardwareCode)
{
    for (const FunctionRow& row : kFunctionTable) {
        EXPECT_EQ(keyinfo_to_hardware_code(Key(row.funId, row.parameter), 0x3395), row.code)
            << std::hex << "dwFunID 0x" << row.funId;
    }
}

TEST_F(KeyCodes, EveryHardwareCodeOfTheTableReadsBackAsItsFunction)
{
    for (const FunctionRow& row : kFunctionTable) {
        if (row.readAs == 0)
            continue;
        SCOPED_TRACE(testing::Message() << std::hex << "code 0x" << row.code);
        const KeyAssignment key = Decode(uint32_t(row.code));
        EXPECT_EQ(key.dwFunID, row.readAs);
    }
}

TEST_F(KeyCodes, FireKeyKeepsCountAndIntervalBothWays)
{
    EXPECT_EQ(keyinfo_to_hardware_code(Key(0x080000A4, 0x0A03), 0), 0x030A04);
    EXPECT_EQ(Decode(0x030A04).dwParameter, 0x0A03u);
}

TEST_F(KeyCodes, DoubleClickCodeFromTheMouseIsAFireKey)
{
    const KeyAssignment key = Decode(0x023204);
    EXPECT_EQ(key.dwFunID, 0x080000A4u);
    EXPECT_EQ(key.dwParameter, 2u + 256u * 0x32u);  // two shots, interval 0x32
}

TEST_F(KeyCodes, FixedDpiOutsideTheSensorTableHasNoCode)
{
    EXPECT_EQ(keyinfo_to_hardware_code(Key(0x080000A6, 100000), 0x3395), -1);
    EXPECT_EQ(keyinfo_to_hardware_code(Key(0x080000A6, 15), 0x1234), -1);  // sensor without table
}

TEST_F(KeyCodes, FixedDpiCodeOfAnUnknownValueReadsAsNoPosition)
{
    const KeyAssignment key = Decode(0x00050A, u"", 1, {}, 0x1234);
    EXPECT_EQ(key.dwFunID, 0x080000A6u);
    EXPECT_EQ(key.dwParameter, 0xFFFFFFFFu);
}

TEST_F(KeyCodes, MacroKeyCarriesTheRepeatByteOfItsLibraryMacro)
{
    struct Case {
        uint32_t loopMode;
        uint16_t repeatCount;
        int32_t code;
    };
    const Case cases[] = {{kLoopCount, 5, 0x050006}, {kLoopMode1, 5, 0xFF0006}, {kLoopMode2, 5, 0xFE0006},
                          {kLoopCount, 250, 0xFA0006}};
    for (const Case& c : cases) {
        Macros().Clear();
        AddMacro(0x123456, QStringLiteral("Burst"), c.loopMode, c.repeatCount);
        EXPECT_EQ(keyinfo_to_hardware_code(Key(0x05000000, 0, 0x123456), 0), c.code) << "loop mode " << c.loopMode;
    }
}

TEST_F(KeyCodes, MacroKeyWhoseMacroIsGoneHasNoCodeAndSaysSo)
{
    EXPECT_EQ(keyinfo_to_hardware_code(Key(0x05000000, 0, 0xABCDE), 0), -1);
    EXPECT_TRUE(Logged("keyinfo_to_hardware_code can't find macro id 0xabcde"));
}

TEST_F(KeyCodes, MacroCodeIsReadAsTheLibraryMacroOfTheSlotName)
{
    AddMacro(0x111111, QStringLiteral("Other"));
    AddMacro(0x222222, QStringLiteral("Rapid Fire"));
    struct Case {
        std::u16string_view name;
        int position;
        uint32_t macroId;
    };
    const Case cases[] = {{u"RAPID FIRE", 3, 0x222222}, {u"rapid fire", 9, 0x222222},
                          {u"Unknown", 3, 0xFFEE02},    {u"", 16, 0xFFEE0F}};
    for (const Case& c : cases) {
        const KeyAssignment key = Decode(0x050206, c.name, c.position);
        EXPECT_EQ(key.dwFunID, 0x05000000u);
        EXPECT_EQ(key.dwMacroID, c.macroId) << std::string(c.name.begin(), c.name.end());
    }
}

TEST_F(KeyCodes, ReadingReplacesEverythingButTheMatrixPosition)
{
    KeyAssignment key{0x05000000, 7, 0x222222, {1, 2, 3, 4}, 99, 5};
    ASSERT_TRUE(HardwareCodeToKeyInfo(0x000101, {}, u"", 7, 0x3395, key));
    EXPECT_EQ(key, (KeyAssignment{0x01000011, 7, 0, {0, 0, 0, 0}, 0, 0}));
}

TEST_F(KeyCodes, CodesWithoutMeaningLeaveTheAssignmentAsItWas)
{
    const uint8_t emptyBlock[kComboBlockReadSize] = {};
    const uint32_t codes[] = {0xFFFFFF, 0x000003, 0x000103, 0x000105, 0x000005, 0x12345B};
    for (uint32_t code : codes) {
        KeyAssignment key{0x01000013, 4, 0, {0, 0, 0, 0}, 0, 0};
        const KeyAssignment before = key;
        EXPECT_FALSE(HardwareCodeToKeyInfo(code, emptyBlock, u"", 4, 0x3395, key)) << std::hex << code;
        EXPECT_EQ(key, before);
    }
}

TEST_F(KeyCodes, CombinationCodeReadsTheBlockOfThePosition)
{
    ComboBlock block;
    ASSERT_NE(EncodeComboBlock(Key(0x04000026), block), 0u);
    const KeyAssignment key = Decode(0x000005, u"", 2, block);
    EXPECT_EQ(key.dwFunID, 0x04000026u);
}

}  // namespace
}  // namespace zorvan
