#include "app/ini_file.h"
#include "support/test_support.h"

#include <gtest/gtest.h>

namespace zorvan {
namespace {

struct IntCase {
    const char* text;
    int32_t expected;
};

class IniIntTest : public testing::TestWithParam<IntCase> {};

TEST_P(IniIntTest, ReadsTheNumberAtTheStart)
{
    EXPECT_EQ(ParseIniInt(QString::fromUtf8(GetParam().text), 77), GetParam().expected);
}

INSTANTIATE_TEST_SUITE_P(Values, IniIntTest,
                         testing::Values(IntCase{"", 77}, IntCase{"12", 12}, IntCase{"0x1E00", 0x1E00},
                                         IntCase{"0X1f", 0x1F}, IntCase{"-5", -5}, IntCase{"12abc", 12},
                                         IntCase{"abc", 0}, IntCase{" 3", 0}, IntCase{"0x", 0},
                                         IntCase{"4294967295", -1}, IntCase{"99999999999", int32_t(1215752191)}));

struct ListCase {
    const char* text;
    int base;
    size_t max;
    std::vector<uint32_t> expected;
};

class NumberListTest : public testing::TestWithParam<ListCase> {};

TEST_P(NumberListTest, SplitsAtCommasAndStopsAtTheFirstNonNumber)
{
    const ListCase& c = GetParam();
    EXPECT_EQ(ParseNumberList(QString::fromUtf8(c.text), c.base, c.max), c.expected);
}

INSTANTIATE_TEST_SUITE_P(
    Values, NumberListTest,
    testing::Values(ListCase{"1,2,3", 10, 8, {1, 2, 3}},
                    ListCase{",1,,2,", 10, 8, {1, 2}},            // empty pieces are skipped
                    ListCase{"1, 2", 10, 8, {1, 2}},              // leading blanks are accepted
                    ListCase{"1 ,2", 10, 8, {}},                  // trailing blank: not a number
                    ListCase{"1,x,3", 10, 8, {1}},                // the list ends at the first non-number
                    ListCase{"-1,+2", 10, 8, {0xFFFFFFFFu, 2}},   // a sign is accepted
                    ListCase{"1,2,3,4,5", 10, 4, {1, 2, 3, 4}},   // values after the maximum are ignored
                    ListCase{"a6,0x1f,10", 16, 8, {0xA6, 0x1F, 0x10}},
                    ListCase{"12a", 10, 8, {}},
                    ListCase{"99999999999", 10, 8, {0xFFFFFFFFu}}));

TEST(NumberList, ReadsOnlyTheFirstCharactersOfTheText)
{
    // 1020 zeros, "12,5": the text is cut after the comma, so the 5 is never read.
    const QString text = QString(1020, u'0') + QStringLiteral("12,5");
    EXPECT_EQ(ParseNumberList(text, 10, 8), std::vector<uint32_t>{12});
}

TEST(IniFile, FindsSectionsAndKeysWithoutRegardToCaseAndTheFirstWins)
{
    IniFile ini;
    ini.Parse("; comment\n[Opt]\nKey=first\nkey=second\n  Spaced  =  \"quoted value\"  \r\n"
              "[OPT]\nOther=ignored\n[dev_1]\nSensor=0x3325\n");
    EXPECT_EQ(ini.Value("OPT", "KEY").value(), QStringLiteral("first"));
    EXPECT_EQ(ini.Value("opt", "spaced").value(), QStringLiteral("quoted value"));
    EXPECT_FALSE(ini.Value("OPT", "Other").has_value());
    EXPECT_EQ(ini.Int("DEV_1", "Sensor", 0), 0x3325);
    EXPECT_EQ(ini.Int("DEV_1", "Missing", 9), 9);
    EXPECT_EQ(ini.Text("OPT", "Key", QString(), 3), QStringLiteral("fir"));
}

TEST(IniFile, DecodesUtf16WithByteOrderMark)
{
    const QString text = QStringLiteral("[OPT]\r\nLang1=简体中文,zh\r\n");
    QByteArray bytes("\xFF\xFE", 2);
    bytes.append(reinterpret_cast<const char*>(text.utf16()), text.size() * 2);
    IniFile ini;
    ini.Parse(bytes);
    EXPECT_EQ(ini.Value("OPT", "Lang1").value(), QStringLiteral("简体中文,zh"));
}

TEST(IniFile, WriteReplacesOrAddsOneKeyAndKeepsTheRest)
{
    test::TempDir dir;
    const QString path = dir.File(QStringLiteral("lang.ini"));
    ASSERT_TRUE(WriteIniValue(path, "OPT", "LangIndex", QStringLiteral("1")));
    ASSERT_TRUE(WriteIniValue(path, "Other", "Keep", QStringLiteral("yes")));
    ASSERT_TRUE(WriteIniValue(path, "OPT", "LangIndex", QStringLiteral("2")));
    IniFile ini;
    ASSERT_TRUE(ini.Load(path));
    EXPECT_EQ(ini.Int("OPT", "LangIndex", 0), 2);
    EXPECT_EQ(ini.Value("Other", "Keep").value(), QStringLiteral("yes"));
    EXPECT_EQ(test::ReadFile(path).count("LangIndex"), 1);
}

}  // namespace
}  // namespace zorvan
