// Choosing the language: the counted list, lang.ini and the switch.
#include "app/configuration.h"
#include "app/ini_file.h"
#include "app/paths.h"
#include "support/test_support.h"
#include "text/language_choice.h"
#include "text/language_texts.h"

#include <gtest/gtest.h>

namespace zorvan {
namespace {

using namespace Qt::StringLiterals;

// An application folder with one text.xml per language (tc_title names the folder) and a data
// folder; the process-wide options and paths point at them for the test.
class LanguageChoiceTest : public testing::Test {
protected:
    void SetUp() override
    {
        savedOptions_ = Config().opt;
        savedPaths_ = Paths();
        Paths().appDir = app_.Path();
        Paths().dataDir = data_.Path();
        for (const QString& folder : {u""_s, u"en/"_s, u"de/"_s, u"zh/"_s}) {
            const QString title = folder.isEmpty() ? u"start-up"_s : folder.chopped(1);
            ASSERT_TRUE(test::WriteFile(app_.File(folder + u"text.xml"_s),
                                        (u"<config><tc_title>"_s + title + u"</tc_title></config>"_s).toUtf8()));
        }
        SetLanguages({{u"English"_s, u"en"_s}, {u"Deutsch"_s, u"de"_s}, {u"中文"_s, u"zh"_s}});
    }

    void TearDown() override
    {
        Config().opt = savedOptions_;
        Paths() = savedPaths_;
        Texts().SetAll({});
    }

    static void SetLanguages(const std::vector<LanguageEntry>& list)
    {
        Config().opt.Languages = {};
        for (size_t i = 0; i < list.size(); ++i)
            Config().opt.Languages[i] = list[i];
        Config().opt.LanguageListLength = int32_t(list.size());
    }

    void WriteLangIndex(const QString& value)
    {
        ASSERT_TRUE(test::WriteFile(data_.File(u"lang.ini"_s), (u"[OPT]\nLangIndex="_s + value + u'\n').toUtf8()));
    }

    AppOptions savedOptions_;
    AppPaths savedPaths_;
    test::TempDir app_;
    test::TempDir data_;
};

TEST_F(LanguageChoiceTest, StartsWithTheLanguageOfLangIni)
{
    const struct {
        const char* langIni;  // nullptr: no lang.ini
        QString title;
        int index;
    } cases[] = {
        {nullptr, u"en"_s, 0}, {"1", u"de"_s, 1}, {"2", u"zh"_s, 2}, {"5", u"en"_s, 0},
        {"3", u"en"_s, 0},     {"-1", u"en"_s, 0}, {"x", u"en"_s, 0},
    };
    for (const auto& c : cases) {
        QFile::remove(data_.File(u"lang.ini"_s));
        if (c.langIni)
            WriteLangIndex(QString::fromLatin1(c.langIni));
        LoadChosenLanguage();
        EXPECT_EQ(GetText("tc_title"), c.title) << (c.langIni ? c.langIni : "none");
        EXPECT_EQ(CurrentLanguage(), c.index) << (c.langIni ? c.langIni : "none");
    }
}

TEST_F(LanguageChoiceTest, TheCountedListEndsAtAnEmptyDisplayName)
{
    SetLanguages({{u"English"_s, u"en"_s}, {QString(), u"de"_s}, {u"中文"_s, u"zh"_s}});
    EXPECT_EQ(Options().LanguageCount(), 1);
    WriteLangIndex(u"2"_s);
    LoadChosenLanguage();
    EXPECT_EQ(GetText("tc_title"), u"en"_s);
    EXPECT_FALSE(SwitchLanguage(2));
    EXPECT_EQ(GetText("tc_title"), u"en"_s);
}

TEST_F(LanguageChoiceTest, WithoutALanguageListTheStartUpFileIsLoadedAgain)
{
    SetLanguages({});
    WriteLangIndex(u"1"_s);
    LoadChosenLanguage();
    EXPECT_EQ(GetText("tc_title"), u"start-up"_s);
    EXPECT_EQ(CurrentLanguage(), 0);
}

TEST_F(LanguageChoiceTest, SwitchingLoadsTheLanguageAndRemembersIt)
{
    int changes = 0;
    const auto connection = QObject::connect(&Texts(), &LanguageTexts::Changed, [&] { ++changes; });
    EXPECT_TRUE(SwitchLanguage(1));
    QObject::disconnect(connection);
    EXPECT_EQ(changes, 1);
    EXPECT_EQ(GetText("tc_title"), u"de"_s);
    EXPECT_EQ(CurrentLanguage(), 1);
    IniFile ini;
    ASSERT_TRUE(ini.Load(data_.File(u"lang.ini"_s)));
    EXPECT_EQ(ini.Value("OPT", "LangIndex"), u"1"_s);

    EXPECT_TRUE(SwitchLanguage(0));
    ASSERT_TRUE(ini.Load(data_.File(u"lang.ini"_s)));
    EXPECT_EQ(ini.Value("OPT", "LangIndex"), u"0"_s);
    EXPECT_EQ(ReadLanguageIndex(data_.Path(), 3), 0);

    EXPECT_FALSE(SwitchLanguage(-1));
    EXPECT_FALSE(SwitchLanguage(3));
    EXPECT_EQ(CurrentLanguage(), 0);
}

TEST_F(LanguageChoiceTest, ALanguageFolderNeverLeadsOutOfTheApplicationFolder)
{
    AppOptions options;
    options.Languages[0] = {u"Evil"_s, u"../../etc"_s};
    options.Languages[1] = {u"Nested"_s, u"lang/en"_s};
    options.Languages[2] = {u"Sneaky"_s, u"en/../../x"_s};
    options.LanguageListLength = 3;
    EXPECT_EQ(LanguageFilePath(u"/opt/zorvan/"_s, options, 0), QString());
    EXPECT_EQ(LanguageFilePath(u"/opt/zorvan/"_s, options, 1), u"/opt/zorvan/lang/en/text.xml"_s);
    EXPECT_EQ(LanguageFilePath(u"/opt/zorvan/"_s, options, 2), QString());
    EXPECT_EQ(LanguageFilePath(u"/opt/zorvan/"_s, options, 3), u"/opt/zorvan/text.xml"_s);
    EXPECT_EQ(LanguageFilePath(u"/opt/zorvan/"_s, options, 10), QString());
    EXPECT_EQ(LanguageFilePath(u"/opt/zorvan/"_s, options, -1), QString());
}

}  // namespace
}  // namespace zorvan
