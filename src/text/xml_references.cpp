#include "text/xml_references.h"

#include "text/html_entities.h"

#include <algorithm>
#include <optional>
#include <string>

namespace zorvan {
namespace {

constexpr qsizetype kMaxEntityName = 9;
constexpr char32_t kPastUnicode = 0x110000;

std::optional<int> DigitValue(QChar c, bool hex)
{
    const char16_t u = c.unicode();
    if (u >= '0' && u <= '9')
        return u - '0';
    if (hex && u >= 'a' && u <= 'f')
        return u - 'a' + 10;
    if (hex && u >= 'A' && u <= 'F')
        return u - 'A' + 10;
    return std::nullopt;
}

bool IsCharacter(char32_t value)
{
    return value != 0 && value < kPastUnicode && !(value >= 0xD800 && value <= 0xDFFF);
}

// `text` starts with "&#". The character and the length of the reference, or nothing.
std::optional<std::pair<char32_t, qsizetype>> NumericReference(QStringView text)
{
    qsizetype i = 2;
    const bool hex = i < text.size() && (text[i] == u'x' || text[i] == u'X');
    if (hex)
        ++i;
    const qsizetype firstDigit = i;
    char32_t value = 0;
    for (; i < text.size(); ++i) {
        const auto digit = DigitValue(text[i], hex);
        if (!digit)
            break;
        // Past U+10FFFF the value only has to stay invalid, not exact.
        value = std::min<char32_t>(value * (hex ? 16 : 10) + char32_t(*digit), kPastUnicode);
    }
    if (i == firstDigit || i >= text.size() || text[i] != u';' || !IsCharacter(value))
        return std::nullopt;
    return std::pair{value, i + 1};
}

// `text` starts with "&". The character and the length of the reference, or nothing.
std::optional<std::pair<char32_t, qsizetype>> NamedReference(QStringView text)
{
    std::string name;
    for (qsizetype i = 1; i < text.size() && i <= kMaxEntityName + 1; ++i) {
        const char16_t u = text[i].unicode();
        if (u == ';') {
            if (name.empty())
                return std::nullopt;
            const auto cp = LookupEntity(name);
            if (!cp)
                return std::nullopt;
            return std::pair{*cp, i + 1};
        }
        if (u >= 0x80)
            return std::nullopt;
        name.push_back(char(u));
    }
    return std::nullopt;
}

void AppendCodePoint(QString& out, char32_t cp)
{
    const char32_t one[] = {cp};
    out += QString::fromUcs4(one, 1);
}

}  // namespace

QString DecodeReferences(QStringView text)
{
    QString out;
    out.reserve(text.size());
    qsizetype i = 0;
    while (i < text.size()) {
        const qsizetype amp = text.indexOf(u'&', i);
        if (amp < 0) {
            out += text.mid(i);
            break;
        }
        out += text.mid(i, amp - i);
        const QStringView rest = text.mid(amp);
        const bool numeric = rest.size() > 1 && rest[1] == u'#';
        const auto reference = numeric ? NumericReference(rest) : NamedReference(rest);
        if (reference) {
            AppendCodePoint(out, reference->first);
            i = amp + reference->second;
        } else {
            out += u'&';
            i = amp + 1;
        }
    }
    return out;
}

}  // namespace zorvan
