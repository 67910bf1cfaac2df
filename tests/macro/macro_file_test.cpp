#include "macro/macro_file.h"

#include "macro_test_support.h"

#include <gtest/gtest.h>

#include <vector>

namespace zorvan {
namespace {

using test::MakeMacro;

TEST(MacroFile, StoresEveryByteRotatedRightByTwoBits)
{
    StMacro m = MakeMacro(QStringLiteral("A"), {{0x41, kActionPress, 0x10}});
    const auto image = EncodeMacroFile(m);
    // The magic A0 99 CB FA becomes 28 66 F2 BE.
    EXPECT_EQ(image[0], 0x28);
    EXPECT_EQ(image[1], 0x66);
    EXPECT_EQ(image[2], 0xF2);
    EXPECT_EQ(image[3], 0xBE);
    // Name unit 'A' (0x41) at offset 20 becomes 0x50; the first event code (0x41) at 106 too.
    EXPECT_EQ(image[20], 0x50);
    EXPECT_EQ(image[106], 0x50);
    // Delay 0x10 at offset 110 becomes 0x04; the zero bytes stay zero.
    EXPECT_EQ(image[110], 0x04);
    EXPECT_EQ(image[111], 0x00);
}

TEST(MacroFile, ReadsBackWhatWasWritten)
{
    const StMacro m = MakeMacro(QStringLiteral("Round trip"), {{0xA0, kActionPress, 30}, {0x05FD, kActionMove, 7}, {0xA0, kActionRelease, 0}});
    const auto image = EncodeMacroFile(m);
    const std::optional<StMacro> back = DecodeMacroFile(image);
    ASSERT_TRUE(back);
    EXPECT_EQ(std::memcmp(&*back, &m, sizeof m), 0);
}

TEST(MacroFile, AcceptsOnlyAFull834ByteImageWithTheMagic)
{
    const auto image = EncodeMacroFile(MakeMacro(QStringLiteral("Size"), {{0x41, kActionPress, 1}}));
    std::vector<uint8_t> bytes(image.begin(), image.end());

    struct Case {
        const char* what;
        size_t size;
        bool accepted;
    } cases[] = {{"833 bytes", 833, false}, {"834 bytes", 834, true}, {"835 bytes, last ignored", 835, true}, {"empty", 0, false}};
    for (const Case& c : cases) {
        std::vector<uint8_t> input = bytes;
        input.resize(c.size, 0xEE);
        EXPECT_EQ(DecodeMacroFile(input).has_value(), c.accepted) << c.what;
    }

    std::vector<uint8_t> wrongMagic = bytes;
    wrongMagic[3] ^= 0x01;
    EXPECT_FALSE(DecodeMacroFile(wrongMagic));
    // An unrotated image is not a macro file either.
    const StMacro plain = MakeMacro(QStringLiteral("Plain"), {});
    EXPECT_FALSE(DecodeMacroFile(std::span(reinterpret_cast<const uint8_t*>(&plain), sizeof plain)));
}

}  // namespace
}  // namespace zorvan
