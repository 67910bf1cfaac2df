// Language files in every encoding they are saved in give the same texts.
#include "text/xml_document.h"
#include "text/xml_encoding.h"

#include <gtest/gtest.h>

#include <QStringEncoder>

#include <cctype>
#include <string>

namespace zorvan {
namespace {

QByteArray Encode(QStringConverter::Encoding encoding, const QString& text)
{
    QStringEncoder encoder(encoding);
    return encoder.encode(text);
}

QString Document(const QString& declaration, const QString& title)
{
    return declaration + QStringLiteral("<config><tc_title>") + title + QStringLiteral("</tc_title></config>");
}

QString TitleOf(const QByteArray& bytes, QStringList* notes = nullptr)
{
    XmlDocument doc;
    doc.SetBytes(bytes);
    if (notes)
        *notes = doc.Notes();
    if (!doc.FindElement(u"config") || !doc.EnterElement() || !doc.FindElement(u"tc_title"))
        return QStringLiteral("<not found>");
    return doc.GetElementText();
}

const QString kMixed = QStringLiteral(u"Größe 中文 テスト 😀");
const QByteArray kBomUtf8("\xEF\xBB\xBF");
const QByteArray kBomUtf16Le("\xFF\xFE");
const QByteArray kBomUtf16Be("\xFE\xFF");

struct EncodingCase {
    const char* what;
    QByteArray bytes;
    QString title;
};

class EncodingTest : public testing::TestWithParam<EncodingCase> {};

TEST_P(EncodingTest, GivesTheSameText)
{
    QStringList notes;
    EXPECT_EQ(TitleOf(GetParam().bytes, &notes), GetParam().title) << GetParam().what;
    EXPECT_TRUE(notes.isEmpty()) << notes.join(u'\n').toStdString();
}

const QString kDeclUtf16 = QStringLiteral("<?xml version=\"1.0\" encoding=\"UTF-16\"?>");

INSTANTIATE_TEST_SUITE_P(
    Files, EncodingTest,
    testing::Values(
        EncodingCase{"UTF-16 LE with byte-order mark",
                     kBomUtf16Le + Encode(QStringConverter::Utf16LE, Document(kDeclUtf16, kMixed)), kMixed},
        EncodingCase{"UTF-16 BE with byte-order mark",
                     kBomUtf16Be + Encode(QStringConverter::Utf16BE, Document(kDeclUtf16, kMixed)), kMixed},
        EncodingCase{"UTF-16 LE without mark", Encode(QStringConverter::Utf16LE, Document({}, kMixed)), kMixed},
        EncodingCase{"UTF-32 LE with byte-order mark",
                     QByteArray("\xFF\xFE\x00\x00", 4) + Encode(QStringConverter::Utf32LE, Document({}, kMixed)),
                     kMixed},
        EncodingCase{"UTF-8 with byte-order mark", kBomUtf8 + Document({}, kMixed).toUtf8(), kMixed},
        EncodingCase{"UTF-8 without mark", Document({}, kMixed).toUtf8(), kMixed},
        EncodingCase{"UTF-8 declared, comment first",
                     QByteArray("<!-- x --><?xml version=\"1.0\" encoding='utf-8'?>") + Document({}, kMixed).toUtf8(),
                     kMixed},
        EncodingCase{"ISO-8859-1 declared",
                     QByteArray("<?xml version=\"1.0\" encoding=\"ISO-8859-1\"?><config><tc_title>"
                                "\x47\x72\xF6\xDF\x65\x20\xE4\x6E\x64\x65\x72\x6E</tc_title></config>"),
                     QStringLiteral(u"Größe ändern")},
        EncodingCase{"latin1 declared in lower case",
                     QByteArray("<?xml encoding = \"latin1\" ?><config><tc_title>\xF6</tc_title></config>"),
                     QStringLiteral(u"ö")},
        EncodingCase{"Shift_JIS declared",
                     QByteArray("<?xml version=\"1.0\" encoding=\"Shift_JIS\"?><config><tc_title>"
                                "\x93\xFA\x96\x7B\x8C\xEA\x82\xCC\x83\x65\x83\x4C\x83\x58\x83\x67</tc_title></config>"),
                     QStringLiteral(u"日本語のテキスト")},
        EncodingCase{"GBK declared",
                     QByteArray("<?xml version=\"1.0\" encoding=\"GBK\"?><config><tc_title>"
                                "\xBC\xF2\xCC\xE5\xD6\xD0\xCE\xC4\xCE\xC4\xB1\xBE</tc_title></config>"),
                     QStringLiteral(u"简体中文文本")},
        EncodingCase{"gb2312 named by an HTML meta element",
                     QByteArray("<config><meta http-equiv=\"Content-Type\" content=\"text/html; charset=gb2312\"/>"
                                "<tc_title>\xD6\xD0\xCE\xC4</tc_title></config>"),
                     QStringLiteral(u"中文")},
        EncodingCase{"Windows-1252 declared",
                     QByteArray("<?xml version=\"1.0\" encoding=\"windows-1252\"?><config><tc_title>\x80 \x93ok\x94"
                                "</tc_title></config>"),
                     QStringLiteral(u"€ “ok”")}),
    [](const testing::TestParamInfo<EncodingCase>& info) {
        std::string name = info.param.what;
        for (char& c : name)
            c = std::isalnum(static_cast<unsigned char>(c)) ? c : '_';
        return name;
    });

TEST(DeclaredEncodingTest, FindsTheNameWhereFilesWriteIt)
{
    const struct {
        QByteArray bytes;
        QByteArray name;
    } cases[] = {
        {"<?xml version='1.0' encoding='Shift_JIS'?>", "Shift_JIS"},
        {"  <?xml version=\"1.0\"\n   encoding =  \"GBK\" ?>", "GBK"},
        {"<meta http-equiv=\"Content-Type\" content=\"text/html; charset=gb2312\">", "gb2312"},
        {"<META CONTENT=\"text/html; CHARSET=Big5\" HTTP-EQUIV=\"content-type\">", "Big5"},
        {"<?xml version=\"1.0\"?><config/>", ""},
        {"<?xml version=\"1.0\"?><html><meta charset=\"GBK\"/>", "GBK"},
        // Names that could change iconv's behaviour are not names.
        {"<?xml encoding=\"UTF-8//TRANSLIT\"?>", "UTF-8"},
        {QByteArray(1100, ' ') + "<?xml encoding=\"GBK\"?>", ""},  // past the first 1024 bytes
    };
    for (const auto& c : cases)
        EXPECT_EQ(DeclaredEncoding(c.bytes), c.name) << c.bytes.constData();
}

TEST(IconvCharsetTest, MapsNamesWithoutRegardToCase)
{
    EXPECT_EQ(IconvCharset("shift_jis"), "CP932");
    EXPECT_EQ(IconvCharset("SHIFT_JIS"), "CP932");
    EXPECT_EQ(IconvCharset("GB2312"), "CP936");
    EXPECT_EQ(IconvCharset("Big5"), "CP950");
    EXPECT_EQ(IconvCharset("ks_c_5601-1987"), "CP949");
    EXPECT_EQ(IconvCharset("iso-8859-7"), "ISO-8859-7");
}

TEST(DecodeXmlBytesTest, FallsBackAndNotesWhatWasWrong)
{
    struct Case {
        const char* what;
        QByteArray bytes;
        QString text;
        int notes;
    };
    const Case cases[] = {
        {"invalid UTF-8 after '<' is replaced", QByteArray("<a>\xC3(</a>"), QStringLiteral(u"<a>\uFFFD(</a>"), 1},
        {"not UTF-8 and no '<' first: narrow code page", QByteArray(" <a>\xE9t\xE9</a>"),
         QStringLiteral(u" <a>été</a>"), 0},
        {"valid UTF-8 without '<' first", QByteArray(" <a>\xC3\xA9</a>"), QStringLiteral(u" <a>é</a>"), 0},
        {"unknown encoding name", QByteArray("<?xml encoding=\"x-no-such\"?><a/>"),
         QStringLiteral("<?xml encoding=\"x-no-such\"?><a/>"), 1},
        {"UTF-16 declared in 8-bit text", QByteArray("<?xml encoding=\"UTF-16\"?><a>\xC3\xA9</a>"),
         QStringLiteral(u"<?xml encoding=\"UTF-16\"?><a>é</a>"), 1},
        {"UTF-16 cut in the middle of a unit", QByteArray("\xFF\xFE<\x00" "a", 5), QStringLiteral(u"<\uFFFD"), 1},
        {"empty", QByteArray(), QString(), 0},
    };
    for (const Case& c : cases) {
        QStringList notes;
        EXPECT_EQ(DecodeXmlBytes(c.bytes, notes), c.text) << c.what;
        EXPECT_EQ(notes.size(), c.notes) << c.what << ": " << notes.join(u'\n').toStdString();
    }
}

}  // namespace
}  // namespace zorvan
