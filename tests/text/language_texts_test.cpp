// Loading language files into the process-wide texts, and the language files that ship.
#include "support/test_support.h"
#include "text/language_file.h"
#include "text/language_texts.h"
#include "text/text_keys.h"

#include <gtest/gtest.h>

#include <QStringConverter>

#include <atomic>
#include <set>
#include <thread>
#include <vector>

namespace zorvan {
namespace {

using namespace Qt::StringLiterals;

// The process-wide texts are emptied before and after each test.
class LanguageTextsTest : public testing::Test {
protected:
    void SetUp() override { Texts().SetAll({}); }
    void TearDown() override { Texts().SetAll({}); }
    test::TempDir dir_;
};

TEST(TextKeysTest, HoldsDistinctKeysInLookupOrder)
{
    const auto& keys = TextKeys();
    ASSERT_EQ(keys.size(), kTextKeyCount);
    EXPECT_EQ(std::set<std::string>(keys.begin(), keys.end()).size(), kTextKeyCount);
    EXPECT_EQ(keys.front(), "tc_title");
    EXPECT_EQ(keys.back(), "tc_backup6");
    for (size_t i = 0; i < keys.size(); ++i)
        EXPECT_EQ(TextKeyIndex(keys[i]), int(i)) << keys[i];
    for (const char* key : {"tc_msg38", "tc_adv_str30", "tc_macro_msg22", "tc_PL", "tc_comboname2", "tc_ex3", "tc_debounce_tips"})
        EXPECT_GE(TextKeyIndex(key), 0) << key;
    for (const char* key : {"tc_msg39", "tc_adv_str31", "tc_pl", "tc_msg0", "", "tc_"})
        EXPECT_EQ(TextKeyIndex(key), -1) << key;
}

TEST_F(LanguageTextsTest, ALoadReplacesEveryTextAndTellsTheListeners)
{
    int changes = 0;
    const auto connection = QObject::connect(&Texts(), &LanguageTexts::Changed, [&] { ++changes; });
    SetText("tc_msg15", u"old"_s);
    SetText("tc_ok", u"old"_s);
    SetText("tc_no_such_key", u"ignored"_s);
    EXPECT_EQ(GetText("tc_no_such_key"), QString());

    const QString path = dir_.File(u"text.xml"_s);
    ASSERT_TRUE(test::WriteFile(path, u"<config><tc_ok>Fine</tc_ok><tc_title>Zorvan</tc_title></config>"_s.toUtf8()));
    changes = 0;
    EXPECT_TRUE(LoadLanguageTexts(path));
    EXPECT_EQ(changes, 1);
    EXPECT_EQ(GetText("tc_ok"), u"Fine"_s);
    EXPECT_EQ(GetText("tc_title"), u"Zorvan"_s);
    EXPECT_EQ(GetText("tc_msg15"), QString());  // missing in the file: emptied

    EXPECT_FALSE(LoadLanguageTexts(dir_.File(u"missing.xml"_s)));
    EXPECT_EQ(changes, 2);
    EXPECT_EQ(GetText("tc_ok"), QString());
    QObject::disconnect(connection);
}

TEST_F(LanguageTextsTest, ARootThatIsNotConfigGivesEmptyTexts)
{
    const QString path = dir_.File(u"text.xml"_s);
    ASSERT_TRUE(test::WriteFile(path, "<texts><tc_title>Zorvan</tc_title></texts>"));
    const LanguageFile file = ReadLanguageFile(path);
    EXPECT_TRUE(file.readable);
    for (const QString& text : file.texts)
        EXPECT_TRUE(text.isEmpty());
    EXPECT_TRUE(file.notes.join(u'\n').contains(u"No element <config>"_s));
}

TEST_F(LanguageTextsTest, AKeyPresentTwiceTakesTheFirst)
{
    const QString path = dir_.File(u"text.xml"_s);
    ASSERT_TRUE(test::WriteFile(path, "<config><tc_ok>first</tc_ok><tc_ok>second</tc_ok></config>"));
    LoadLanguageTexts(path);
    EXPECT_EQ(GetText("tc_ok"), u"first"_s);
}

TEST_F(LanguageTextsTest, MissingTextsAreNamedInTheNotes)
{
    const QString path = dir_.File(u"text.xml"_s);
    ASSERT_TRUE(test::WriteFile(path, "<config><tc_ok>OK</tc_ok></config>"));
    const LanguageFile file = ReadLanguageFile(path);
    ASSERT_EQ(file.notes.size(), 1);
    EXPECT_TRUE(file.notes[0].startsWith(u"Missing texts (%1): tc_title, tc_lodtips,"_s.arg(kTextKeyCount - 1)))
        << file.notes[0].toStdString();
}

TEST_F(LanguageTextsTest, ReadersOnOtherThreadsSeeOneWholeLanguage)
{
    const QString english = dir_.File(u"en.xml"_s);
    const QString german = dir_.File(u"de.xml"_s);
    ASSERT_TRUE(test::WriteFile(english, "<config><tc_ok>Fine</tc_ok></config>"));
    ASSERT_TRUE(test::WriteFile(german, "<config><tc_ok>Gut</tc_ok></config>"));
    LoadLanguageTexts(english);
    std::atomic<bool> stop{false};
    std::atomic<int> unexpected{0};
    std::vector<std::thread> readers;
    for (int t = 0; t < 3; ++t) {
        readers.emplace_back([&] {
            while (!stop) {
                const QString text = GetText("tc_ok");
                if (text != u"Fine"_s && text != u"Gut"_s)
                    ++unexpected;
            }
        });
    }
    for (int i = 0; i < 50; ++i)
        LoadLanguageTexts(i % 2 ? english : german);
    stop = true;
    for (std::thread& t : readers)
        t.join();
    EXPECT_EQ(unexpected, 0);
}

// The language files that ship with the product.
struct ShippedFile {
    const char* path;  // below data/
    const char* sample;  // tc_ok in that language
};

class ShippedLanguageTest : public testing::TestWithParam<ShippedFile> {};

TEST_P(ShippedLanguageTest, HoldsEveryTextWithoutNotes)
{
    const LanguageFile file = ReadLanguageFile(test::DefaultDataDir() + QString::fromUtf8(GetParam().path));
    ASSERT_TRUE(file.readable);
    EXPECT_TRUE(file.notes.isEmpty()) << file.notes.join(u'\n').toStdString();
    const auto& keys = TextKeys();
    for (size_t i = 0; i < keys.size(); ++i) {
        // The product has no web site yet: its two addresses are empty, which hides the links.
        const bool address = keys[i] == "tc_web" || keys[i] == "tc_mainweb";
        EXPECT_EQ(file.texts[i].isEmpty(), address) << keys[i];
        EXPECT_EQ(file.texts[i], file.texts[i].trimmed()) << keys[i];
        EXPECT_FALSE(file.texts[i].contains(QChar::ReplacementCharacter)) << keys[i];
    }
    EXPECT_EQ(file.texts[size_t(TextKeyIndex("tc_ok"))], QString::fromUtf8(GetParam().sample));
    EXPECT_EQ(file.texts[size_t(TextKeyIndex("tc_title"))], u"Zorvan"_s);
}

INSTANTIATE_TEST_SUITE_P(Data, ShippedLanguageTest,
                         testing::Values(ShippedFile{"text.xml", "OK"}, ShippedFile{"en/text.xml", "OK"},
                                         ShippedFile{"de/text.xml", "OK"}, ShippedFile{"zh/text.xml", "确定"}));

TEST(ShippedLanguageFilesTest, ExerciseTheDecodingPaths)
{
    const QString data = test::DefaultDataDir();
    EXPECT_EQ(test::ReadFile(data + u"text.xml"_s), test::ReadFile(data + u"en/text.xml"_s));

    const QByteArray zh = test::ReadFile(data + u"zh/text.xml"_s);
    EXPECT_TRUE(zh.startsWith("\xFF\xFE"));  // UTF-16 LE with byte-order mark

    const QByteArray de = test::ReadFile(data + u"de/text.xml"_s);
    EXPECT_TRUE(de.startsWith("<?xml version=\"1.0\" encoding=\"ISO-8859-1\"?>"));
    QStringDecoder utf8(QStringDecoder::Utf8);
    (void)QString(utf8.decode(de));
    EXPECT_TRUE(utf8.hasError()) << "the German file is not saved as Latin-1";

    const LanguageFile german = ReadLanguageFile(data + u"de/text.xml"_s);
    EXPECT_EQ(german.texts[size_t(TextKeyIndex("tc_apply"))], u"Übernehmen"_s);
    EXPECT_EQ(german.texts[size_t(TextKeyIndex("tc_page2"))], u"DPI & Leistung"_s);
    EXPECT_EQ(german.texts[size_t(TextKeyIndex("tc_msg21"))],
              u"Zorvan – Einstellungen für Ihre Gaming-Maus"_s);
}

}  // namespace
}  // namespace zorvan
