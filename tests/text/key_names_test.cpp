// Key names and combination texts.
#include "text/key_names.h"
#include "text/key_usage.h"
#include "text/language_texts.h"

#include <gtest/gtest.h>

namespace zorvan {
namespace {

using namespace Qt::StringLiterals;

TEST(KeyNameTest, NamesEveryKindOfCode)
{
    SetText("tc_menu", u"Right click"_s);
    SetText("tc_back", u"Back"_s);
    const struct {
        unsigned vk;
        QString name;
    } cases[] = {
        {0x41, u"A"_s}, {0x5A, u"Z"_s}, {0x30, u"0"_s}, {0x39, u"9"_s},
        {0x08, u"Backspace"_s}, {0x0D, u"Enter"_s}, {0x2B, u"Enter"_s}, {0x14, u"CapsLock"_s},
        {0x1B, u"Esc"_s}, {0x2C, u"PrintScreen"_s}, {0x5B, u"L_Win"_s}, {0x5D, u"App"_s},
        {0x60, u"Num 0"_s}, {0x69, u"Num 9"_s}, {0x6A, u"Num *"_s}, {0x6C, u"\\"_s}, {0x6F, u"Num /"_s},
        {0x70, u"F1"_s}, {0x7B, u"F12"_s}, {0x91, u"Scroll Lock"_s}, {0xA0, u"L_Shift"_s}, {0xA5, u"R_Alt"_s},
        {0xF1, u"Right click"_s}, {0xF4, u"Back"_s}, {0xFF, u""_s},
        // No fixed name: the character of a US keyboard, or nothing.
        {0xBA, u";"_s}, {0xBF, u"/"_s}, {0xC0, u"`"_s}, {0xDE, u"'"_s},
        {0x7C, u""_s}, {0xF5, u""_s}, {0x00, u""_s}, {0x100, u""_s},
    };
    for (const auto& c : cases)
        EXPECT_EQ(KeyName(c.vk), c.name) << std::hex << c.vk;
    SetText("tc_menu", u"Rechtsklick"_s);
    EXPECT_EQ(KeyName(0xF1), u"Rechtsklick"_s);  // follows the current language
    Texts().SetAll({});
}

TEST(ComboTextTest, WritesModifiersInTheirOrderThenTheKeys)
{
    const struct {
        uint8_t modifiers, k1, k2, k3;
        QString shortText, sidedText;
    } cases[] = {
        {0x11, 0x43, 0, 0, u"Ctrl + C"_s, u"L-Ctrl + R-Ctrl + C"_s},
        {0x01, 0x43, 0, 0, u"Ctrl + C"_s, u"L-Ctrl + C"_s},
        {0xFF, 0, 0, 0, u"Ctrl + Alt + Shift + Win"_s,
         u"L-Ctrl + L-Alt + L-Shift + L-Win + R-Ctrl + R-Alt + R-Shift + R-Win"_s},
        {0x22, 0x41, 0x42, 0, u"Shift + A + B"_s, u"L-Shift + R-Shift + A + B"_s},
        {0x80, 0, 0x44, 0, u"Win + D"_s, u"R-Win + D"_s},
        {0x00, 0x70, 0x71, 0x72, u"F1 + F2 + F3"_s, u"F1 + F2 + F3"_s},
        {0x00, 0, 0, 0, u""_s, u""_s},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(ComboText(c.modifiers, c.k1, c.k2, c.k3), c.shortText) << c.shortText.toStdString();
        EXPECT_EQ(ComboTextLR(c.modifiers, c.k1, c.k2, c.k3), c.sidedText) << c.sidedText.toStdString();
    }
}

TEST(KeyUsageTest, TakesTheFirstPairInTableOrder)
{
    EXPECT_EQ(VkToUsage(0x0D), 0x28);  // Enter is paired twice; the main key comes first
    EXPECT_EQ(UsageToVk(0x58), 0x0D);  // keypad Enter
    EXPECT_EQ(UsageToVk(0x64), 0);
    EXPECT_EQ(UsageToVk(0x04), 0x41);
    EXPECT_EQ(VkToUsage(0x5D), 0x65);
    for (const UsagePair& p : kUsageTable)
        EXPECT_EQ(UsageToVk(p.usage), p.vk) << std::hex << unsigned(p.usage);
}

}  // namespace
}  // namespace zorvan
