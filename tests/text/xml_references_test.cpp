// Character and entity references in language texts.
#include "support/test_support.h"
#include "text/html_entities.h"
#include "text/xml_references.h"

#include <gtest/gtest.h>

#include <QRegularExpression>

#include <cctype>
#include <map>
#include <set>

namespace zorvan {
namespace {

using namespace Qt::StringLiterals;

TEST(DecodeReferencesTest, DecodesWellFormedReferencesAndKeepsTheRest)
{
    const struct {
        QString raw;
        QString text;
    } cases[] = {
        {u"&lt;b&gt;"_s, u"<b>"_s},
        {u"&#x4E2D;"_s, u"中"_s},
        {u"&#X4e2d;"_s, u"中"_s},
        {u"&#20013;"_s, u"中"_s},
        {u"&#x1F600;"_s, u"😀"_s},  // above U+FFFF: a surrogate pair
        {u"&#0;"_s, u"&#0;"_s},
        {u"&#x0;"_s, u"&#x0;"_s},
        {u"&#xD800;"_s, u"&#xD800;"_s},       // no character
        {u"&#x110000;"_s, u"&#x110000;"_s},   // past Unicode
        {u"&#99999999999999999999;"_s, u"&#99999999999999999999;"_s},
        {u"&#;"_s, u"&#;"_s},
        {u"&#x;"_s, u"&#x;"_s},
        {u"&#65"_s, u"&#65"_s},               // no ';'
        {u"&#6a;"_s, u"&#6a;"_s},
        {u"&nosuch;"_s, u"&nosuch;"_s},
        {u"&thereforex;"_s, u"&thereforex;"_s},   // ten characters
        {u"&thereforexy;"_s, u"&thereforexy;"_s},
        {u"&there4;"_s, u"∴"_s},
        {u"&agrave;"_s, u"À"_s},
        {u"&Agrave;"_s, u"À"_s},
        {u"&AGRAVE;"_s, u"À"_s},
        {u"&AMP;"_s, u"&"_s},
        {u"&Prime;&prime;"_s, u"″″"_s},
        {u"&darr;&dArr;"_s, u"⇓⇓"_s},
        {u"&nbsp;&NBSP;"_s, u"\u00A0\u00A0"_s},
        {u"&äuml;"_s, u"&äuml;"_s},            // a name holding a character above U+007F
        {u"&;"_s, u"&;"_s},
        {u"& amp;"_s, u"& amp;"_s},
        {u"a & b"_s, u"a & b"_s},
        {u"&&amp;&"_s, u"&&&"_s},
        {u"&amp;lt;"_s, u"&lt;"_s},            // decoded once
        {u"&apos;&quot;"_s, u"'\""_s},
        {u"no references"_s, u"no references"_s},
        {u""_s, u""_s},
    };
    for (const auto& c : cases)
        EXPECT_EQ(DecodeReferences(c.raw), c.text) << c.raw.toStdString();
}

// The entity names of the HTML 4.01 standard's sets and XML's apos, from test data written
// from the standard: name and code point.
std::map<std::string, char32_t> StandardEntities()
{
    const QString path = test::SourceDir() + QStringLiteral("/tests/text/data/html4_entities.txt");
    const QStringList lines = QString::fromUtf8(test::ReadFile(path)).split(u'\n');
    std::map<std::string, char32_t> entities;
    static const QRegularExpression line(QStringLiteral("^([A-Za-z0-9]+)\\s+(\\d+)\\s"));
    for (const QString& l : lines) {
        const auto m = line.match(l);
        if (m.hasMatch())
            entities[m.captured(1).toStdString()] = char32_t(m.captured(2).toUInt());
    }
    return entities;
}

QString Character(char32_t cp)
{
    return QString::fromUcs4(&cp, 1);
}

TEST(EntityTableTest, MatchesTheHtml4EntitySets)
{
    const auto standard = StandardEntities();
    ASSERT_EQ(standard.size(), 253u);

    std::set<std::string> table;
    for (const NamedEntity& e : kNamedEntities) {
        table.insert(std::string(e.name));
        const auto it = standard.find(std::string(e.name));
        ASSERT_NE(it, standard.end()) << e.name;
        EXPECT_EQ(e.codePoint, it->second) << e.name;
    }
    EXPECT_EQ(table.size(), standard.size());
}

TEST(EntityTableTest, NamesDifferingOnlyInCaseGiveTheCapitalsCharacter)
{
    const auto standard = StandardEntities();
    // lower-case name -> the spellings of the standard
    std::map<std::string, std::vector<std::string>> spellings;
    for (const auto& [name, cp] : standard) {
        std::string lower = name;
        for (char& c : lower)
            c = char(std::tolower(static_cast<unsigned char>(c)));
        spellings[lower].push_back(name);
    }
    int pairs = 0;
    for (const auto& [lower, names] : spellings) {
        // The spelling with capitals wins; a name without a twin stands for itself.
        std::string winner = names.front();
        for (const std::string& n : names) {
            if (n != lower)
                winner = n;
        }
        pairs += names.size() == 2 ? 1 : 0;
        const QString expected = Character(standard.at(winner));
        std::string upper = lower;
        for (char& c : upper)
            c = char(std::toupper(static_cast<unsigned char>(c)));
        for (const std::string& spelling : {lower, upper, names.front(), names.back()}) {
            const QString raw = u'&' + QString::fromStdString(spelling) + u';';
            EXPECT_EQ(DecodeReferences(raw), expected) << spelling;
        }
    }
    EXPECT_EQ(pairs, 64);
}

}  // namespace
}  // namespace zorvan
