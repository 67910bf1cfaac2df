// The lenient parse: what is kept and what is noted.
#include "support/test_support.h"
#include "text/xml_document.h"

#include <gtest/gtest.h>

namespace zorvan {
namespace {

using namespace Qt::StringLiterals;

XmlDocument Parsed(const QString& text)
{
    XmlDocument doc;
    doc.SetText(text);
    return doc;
}

// The text of config/key, or "<missing>".
QString Text(XmlDocument& doc, const QString& key)
{
    doc.ResetPosition();
    if (!doc.FindElement(u"config") || !doc.EnterElement() || !doc.FindElement(key))
        return u"<missing>"_s;
    return doc.GetElementText();
}

bool NotesContain(const XmlDocument& doc, const QString& part)
{
    for (const QString& note : doc.Notes()) {
        if (note.contains(part))
            return true;
    }
    return false;
}

TEST(XmlDocumentTest, ReadsAWellFormedFileWithoutNotes)
{
    XmlDocument doc = Parsed(
        u"<?xml version=\"1.0\"?>\n<!DOCTYPE config [ <!ENTITY x \"]>\"> ]>\n<!-- texts -->\n"
        "<config lang='en' note=\"a > b\">\n"
        "  <tc_a>One <![CDATA[<b>&amp;</b>]]> two</tc_a>\n"
        "  <tc_b/>\n"
        "  <tc_c><?pi skipped?>x<!-- y -->z</tc_c>\n"
        "  <tc_d>line1\r\nline2\rline3</tc_d>\n"
        "</config>\n"_s);
    EXPECT_TRUE(doc.Notes().isEmpty()) << doc.Notes().join(u'\n').toStdString();
    EXPECT_EQ(Text(doc, u"tc_a"_s), u"One <b>&amp;</b> two"_s);
    EXPECT_EQ(Text(doc, u"tc_b"_s), u""_s);
    EXPECT_EQ(Text(doc, u"tc_c"_s), u"xz"_s);
    EXPECT_EQ(Text(doc, u"tc_d"_s), u"line1\nline2\nline3"_s);
    EXPECT_EQ(Text(doc, u"tc_e"_s), u"<missing>"_s);
}

TEST(XmlDocumentTest, FindElementGoesOnAfterTheElementFoundLast)
{
    XmlDocument doc = Parsed(u"<config><k>1</k><x><k>nested</k></x><k>2</k></config>"_s);
    ASSERT_TRUE(doc.FindElement(u"config"));
    ASSERT_TRUE(doc.EnterElement());
    ASSERT_TRUE(doc.FindElement(u"k"));
    EXPECT_EQ(doc.GetElementText(), u"1"_s);
    ASSERT_TRUE(doc.FindElement(u"k"));
    EXPECT_EQ(doc.GetElementText(), u"2"_s);
    EXPECT_FALSE(doc.FindElement(u"k"));
    EXPECT_EQ(doc.GetElementText(), u"2"_s);  // a failed search keeps the position
    EXPECT_EQ(Text(doc, u"k"_s), u"1"_s);      // the first of two wins
    EXPECT_FALSE(Parsed(u"<config/>"_s).EnterElement());
}

TEST(XmlDocumentTest, KeepsWhatItCanAndNotesProblems)
{
    struct Case {
        const char* what;
        QString text;
        const char* note;                // part of a note that must be there
        std::vector<std::pair<QString, QString>> texts;  // key, text ("<missing>" when lost)
    };
    const Case cases[] = {
        {"unterminated comment", u"<config><k1>a</k1><!-- open <k2>b</k2></config>"_s, "Unterminated comment (line 1)",
         {{u"k1"_s, u"a"_s}, {u"k2"_s, u"<missing>"_s}}},
        {"unterminated CDATA", u"<config><k1>a</k1><k2><![CDATA[b</k2></config>"_s, "Unterminated CDATA section",
         {{u"k1"_s, u"a"_s}, {u"k2"_s, u""_s}}},
        {"unterminated processing instruction", u"<config><k1>a</k1>\n<?pi <k2>b</k2>"_s,
         "Unterminated processing instruction (line 2)", {{u"k1"_s, u"a"_s}}},
        {"tag at the end of the file", u"<config><k1>a</k1><k2 x=\"1\""_s, "Unterminated tag <k2",
         {{u"k1"_s, u"a"_s}}},
        {"tag cut short by the next one", u"<config><k1>a</k1><k2 <k3>c</k3></config>"_s, "Unterminated tag <k2",
         {{u"k1"_s, u"a"_s}, {u"k3"_s, u"c"_s}}},
        {"misspelt end tag", u"<config><k1>a</k1><k2>b</K2><k3>c</k3></config>"_s,
         "End tag </K2> does not match <k2>", {{u"k1"_s, u"a"_s}, {u"k2"_s, u"b"_s}, {u"k3"_s, u"c"_s}}},
        {"stray end tag", u"<config><k1>a</k1></k1><k2>b</k2></config>"_s, "End tag </k1> does not match <config>",
         {{u"k1"_s, u"a"_s}, {u"k2"_s, u"b"_s}}},
        {"element not ended", u"<config><k1>a<k2>b</k2></config>"_s, "Element <k1> not ended",
         {{u"k1"_s, u"a"_s}, {u"k2"_s, u"<missing>"_s}}},
        {"end tag without start tag", u"</x><config><k1>a</k1></config>"_s, "End tag </x> without start tag",
         {{u"k1"_s, u"a"_s}}},
        {"root not ended", u"<config><k1>a</k1>"_s, "Element <config> not ended", {{u"k1"_s, u"a"_s}}},
        {"root with a sibling", u"<other/><config><k1>a</k1></config>"_s, "Root element has sibling",
         {{u"k1"_s, u"a"_s}}},
        {"no root element", u"just text"_s, "No root element", {}},
        {"empty document", u" \n "_s, "Empty document", {}},
        {"'<' that starts nothing", u"<config><k1>a < b</k1></config>"_s, "'<' that starts no markup",
         {{u"k1"_s, u"a < b"_s}}},
    };
    for (const Case& c : cases) {
        XmlDocument doc = Parsed(c.text);
        EXPECT_TRUE(NotesContain(doc, QString::fromUtf8(c.note)))
            << c.what << ": " << doc.Notes().join(u" | ").toStdString();
        for (const auto& [key, text] : c.texts)
            EXPECT_EQ(Text(doc, key), text) << c.what << ", " << key.toStdString();
    }
}

TEST(XmlDocumentTest, NotesAreBounded)
{
    QString text = u"<config>"_s;
    for (int i = 0; i < 1000; ++i)
        text += u"</x>"_s;
    const XmlDocument doc = Parsed(text);
    EXPECT_EQ(doc.Notes().size(), 101);
    EXPECT_EQ(doc.Notes().back(), u"More problems not listed"_s);
}

TEST(XmlDocumentTest, DeepNestingNeedsNoRecursion)
{
    QString text;
    for (int i = 0; i < 200000; ++i)
        text += u"<a>"_s;
    const XmlDocument doc = Parsed(text);
    EXPECT_FALSE(doc.Notes().isEmpty());
}

TEST(XmlDocumentTest, AFileThatCannotBeReadIsAnEmptyDocument)
{
    test::TempDir dir;
    const QString huge = dir.File(u"huge.xml"_s);
    ASSERT_TRUE(test::WriteFile(huge, "<config>" + QByteArray(16 * 1024 * 1024, ' ') + "</config>"));
    for (const QString& path : {u"/nonexistent/text.xml"_s, dir.Path(), huge}) {
        XmlDocument doc;
        doc.SetText(u"<config><k>a</k></config>"_s);
        EXPECT_FALSE(doc.LoadDocument(path)) << path.toStdString();
        EXPECT_FALSE(doc.FindElement(u"config"));
        ASSERT_EQ(doc.Notes().size(), 1);
        EXPECT_TRUE(doc.Notes()[0].startsWith(u"Cannot read "_s + path)) << doc.Notes()[0].toStdString();
    }
}

}  // namespace
}  // namespace zorvan
