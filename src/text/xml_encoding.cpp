#include "text/xml_encoding.h"

#include "text/charset_decoder.h"

#include <langinfo.h>

#include <utility>

namespace zorvan {
namespace {

constexpr qsizetype kDeclarationWindow = 1024;
constexpr qsizetype kMaxCharsetName = 40;

struct Signature {
    QByteArrayView bytes;
    const char* charset;
    qsizetype skip;  // bytes that are not text (the byte-order mark)
};

// Longest first: the UTF-32 LE mark starts with the UTF-16 LE one.
const Signature kSignatures[] = {
    {QByteArrayView("\x00\x00\xFE\xFF", 4), "UTF-32BE", 4},
    {QByteArrayView("\xFF\xFE\x00\x00", 4), "UTF-32LE", 4},
    {QByteArrayView("\xEF\xBB\xBF", 3), "UTF-8", 3},
    {QByteArrayView("\xFF\xFE", 2), "UTF-16LE", 2},
    {QByteArrayView("\xFE\xFF", 2), "UTF-16BE", 2},
    // '<' in a wide encoding without a mark: reading it as UTF-8 would give every other
    // character as U+0000.
    {QByteArrayView("\x00\x00\x00<", 4), "UTF-32BE", 0},
    {QByteArrayView("<\x00\x00\x00", 4), "UTF-32LE", 0},
    {QByteArrayView("\x00<", 2), "UTF-16BE", 0},
    {QByteArrayView("<\x00", 2), "UTF-16LE", 0},
};

// Names whose Windows meaning differs from iconv's, or that iconv does not know.
const std::pair<const char*, const char*> kAliases[] = {
    {"shift_jis", "CP932"}, {"shift-jis", "CP932"}, {"x-sjis", "CP932"}, {"sjis", "CP932"},
    {"gb2312", "CP936"}, {"euc-cn", "CP936"}, {"x-gbk", "CP936"}, {"windows-936", "CP936"},
    {"big5", "CP950"}, {"windows-950", "CP950"},
    {"euc-kr", "CP949"}, {"ks_c_5601-1987", "CP949"}, {"windows-949", "CP949"},
    {"utf8", "UTF-8"}, {"windows-932", "CP932"},
};

bool IsNameChar(char c)
{
    return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') || c == '-' ||
           c == '_' || c == '.' || c == ':';
}

bool IsSpace(char c)
{
    return c == ' ' || c == '\t' || c == '\r' || c == '\n';
}

// In `text` (already lower case where it matters), the value after `attribute` and '=':
// quoted, or up to the first character that cannot be part of a name.
QByteArray AttributeValue(const QByteArray& text, const QByteArray& lowered, const char* attribute)
{
    qsizetype i = lowered.indexOf(attribute);
    if (i < 0)
        return {};
    i += qsizetype(qstrlen(attribute));
    while (i < text.size() && IsSpace(text[i]))
        ++i;
    if (i >= text.size() || text[i] != '=')
        return {};
    ++i;
    while (i < text.size() && IsSpace(text[i]))
        ++i;
    if (i < text.size() && (text[i] == '"' || text[i] == '\''))
        ++i;
    const qsizetype start = i;
    while (i < text.size() && IsNameChar(text[i]))
        ++i;
    return text.mid(start, i - start);
}

bool IsWideUnicode(const QByteArray& charset)
{
    const QByteArray upper = charset.toUpper();
    return upper.startsWith("UTF-16") || upper.startsWith("UTF16") || upper.startsWith("UTF-32") ||
           upper.startsWith("UTF32") || upper.startsWith("UCS-2") || upper.startsWith("UCS2") ||
           upper.startsWith("UCS-4") || upper.startsWith("UCS4") || upper == "UNICODE";
}

QString Decode(const QByteArray& bytes, const QByteArray& charset, QStringList& notes)
{
    std::optional<DecodedText> decoded = DecodeCharset(bytes, charset.constData());
    if (!decoded) {  // only for names checked beforehand; kept safe all the same
        notes << QStringLiteral("Cannot decode %1; read as UTF-8").arg(QString::fromLatin1(charset));
        decoded = DecodeCharset(bytes, "UTF-8");
    }
    if (!decoded) {  // this system's iconv lacks its conversion modules (a minimal system)
        notes << QStringLiteral("iconv cannot convert here; read as UTF-8");
        return QString::fromUtf8(bytes);
    }
    if (decoded->invalidSequences > 0)
        notes << QStringLiteral("%1 invalid byte sequence(s) in %2 text replaced by U+FFFD")
                     .arg(decoded->invalidSequences)
                     .arg(QString::fromLatin1(charset));
    return decoded->text;
}

bool IconvKnows(const QByteArray& charset)
{
    return DecodeCharset(QByteArray(), charset.constData()).has_value();
}

}  // namespace

QByteArray DeclaredEncoding(const QByteArray& bytes)
{
    const QByteArray head = bytes.left(kDeclarationWindow);
    const QByteArray lowered = head.toLower();
    QByteArray name;
    const qsizetype declaration = lowered.indexOf("<?xml");
    if (declaration >= 0) {
        const qsizetype end = lowered.indexOf("?>", declaration);
        const qsizetype length = end < 0 ? -1 : end - declaration;
        name = AttributeValue(head.mid(declaration, length), lowered.mid(declaration, length), "encoding");
    }
    if (name.isEmpty()) {
        for (qsizetype meta = lowered.indexOf("<meta"); meta >= 0 && name.isEmpty();
             meta = lowered.indexOf("<meta", meta + 1)) {
            const qsizetype end = lowered.indexOf('>', meta);
            const qsizetype length = end < 0 ? -1 : end - meta;
            name = AttributeValue(head.mid(meta, length), lowered.mid(meta, length), "charset");
        }
    }
    return name.size() <= kMaxCharsetName ? name : QByteArray();
}

QByteArray IconvCharset(const QByteArray& name)
{
    const QByteArray lower = name.toLower();
    for (const auto& [alias, charset] : kAliases) {
        if (lower == alias)
            return charset;
    }
    return name.toUpper();
}

QByteArray NarrowCodePage()
{
    const QByteArray locale = QByteArray(nl_langinfo(CODESET)).toUpper();
    if (locale.isEmpty() || locale == "UTF-8" || locale == "UTF8" || locale == "ANSI_X3.4-1968" ||
        locale == "ASCII" || locale == "US-ASCII")
        return "CP1252";
    return locale;
}

QString DecodeXmlBytes(const QByteArray& bytes, QStringList& notes)
{
    for (const Signature& s : kSignatures) {
        if (QByteArrayView(bytes).startsWith(s.bytes))
            return Decode(bytes.mid(s.skip), s.charset, notes);
    }
    const QByteArray declared = DeclaredEncoding(bytes);
    if (!declared.isEmpty()) {
        const QByteArray charset = IconvCharset(declared);
        if (IsWideUnicode(charset)) {
            // The name itself was read as 8-bit text, so the file cannot be in that encoding.
            notes << QStringLiteral("Encoding %1 declared in 8-bit text; read as UTF-8")
                         .arg(QString::fromLatin1(declared));
            return Decode(bytes, "UTF-8", notes);
        }
        if (IconvKnows(charset))
            return Decode(bytes, charset, notes);
        notes << QStringLiteral("Unknown encoding '%1'").arg(QString::fromLatin1(declared));
    }
    if (bytes.startsWith('<'))
        return Decode(bytes, "UTF-8", notes);
    QStringList utf8Notes;
    const QString utf8 = Decode(bytes, "UTF-8", utf8Notes);
    if (utf8Notes.isEmpty())
        return utf8;
    return Decode(bytes, NarrowCodePage(), notes);
}

}  // namespace zorvan
