#include "app/ini_file.h"

#include <QFile>
#include <QSaveFile>
#include <QStringDecoder>

namespace zorvan {
namespace {

bool SameName(const QString& a, std::string_view b)
{
    return a.compare(QLatin1StringView(b.data(), qsizetype(b.size())), Qt::CaseInsensitive) == 0;
}

bool IsBlank(QChar c)
{
    return c == u' ' || c == u'\t';
}

QString Trimmed(QStringView text)
{
    qsizetype begin = 0;
    qsizetype end = text.size();
    while (begin < end && IsBlank(text[begin]))
        ++begin;
    while (end > begin && (IsBlank(text[end - 1]) || text[end - 1] == u'\r'))
        --end;
    return text.mid(begin, end - begin).toString();
}

QString Unquoted(const QString& value)
{
    if (value.size() >= 2) {
        const QChar first = value.front();
        if ((first == u'"' || first == u'\'') && value.back() == first)
            return value.mid(1, value.size() - 2);
    }
    return value;
}

int DigitValue(QChar c)
{
    const char16_t u = c.unicode();
    if (u >= u'0' && u <= u'9')
        return u - u'0';
    if (u >= u'a' && u <= u'f')
        return u - u'a' + 10;
    if (u >= u'A' && u <= u'F')
        return u - u'A' + 10;
    return 99;
}

// One piece of a number list in the manner of the C library's unsigned conversion: leading
// blanks, a sign, an optional 0x for base 16, at least one digit, and nothing after the digits.
std::optional<uint32_t> ParsePiece(QStringView piece, int base)
{
    qsizetype i = 0;
    const qsizetype n = piece.size();
    while (i < n && piece[i].isSpace())
        ++i;
    bool negative = false;
    if (i < n && (piece[i] == u'+' || piece[i] == u'-')) {
        negative = piece[i] == u'-';
        ++i;
    }
    if (base == 16 && i + 1 < n && piece[i] == u'0' && (piece[i + 1] == u'x' || piece[i + 1] == u'X') &&
        i + 2 < n && DigitValue(piece[i + 2]) < 16)
        i += 2;
    const qsizetype digitsStart = i;
    uint64_t value = 0;
    bool overflow = false;
    while (i < n && DigitValue(piece[i]) < base) {
        value = value * uint64_t(base) + uint64_t(DigitValue(piece[i]));
        if (value > 0xFFFFFFFFull) {
            overflow = true;
            value = 0xFFFFFFFFull;
        }
        ++i;
    }
    if (i == digitsStart || i != n)
        return std::nullopt;
    if (overflow)
        return 0xFFFFFFFFu;
    const auto v = uint32_t(value);
    return negative ? uint32_t(0u - v) : v;
}

}  // namespace

QString DecodeTextFile(const QByteArray& bytes)
{
    if (bytes.startsWith("\xEF\xBB\xBF"))
        return QString::fromUtf8(bytes.mid(3));
    if (bytes.startsWith("\xFF\xFE")) {
        QStringDecoder decoder(QStringDecoder::Utf16LE);
        return decoder(bytes.mid(2));
    }
    if (bytes.startsWith("\xFE\xFF")) {
        QStringDecoder decoder(QStringDecoder::Utf16BE);
        return decoder(bytes.mid(2));
    }
    QStringDecoder utf8(QStringDecoder::Utf8);
    QString text = utf8(bytes);
    if (!utf8.hasError())
        return text;
    return QString::fromLatin1(bytes);
}

bool IniFile::Load(const QString& path)
{
    sections_.clear();
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return false;
    Parse(file.readAll());
    return true;
}

void IniFile::Parse(const QByteArray& bytes)
{
    sections_.clear();
    const QString text = DecodeTextFile(bytes);
    Entries* current = nullptr;
    qsizetype pos = 0;
    const qsizetype size = text.size();
    while (pos < size) {
        qsizetype end = pos;
        while (end < size && text[end] != u'\n' && text[end] != u'\r')
            ++end;
        const QString line = Trimmed(QStringView(text).mid(pos, end - pos));
        pos = end + 1;
        if (line.isEmpty() || line.front() == u';' || line.front() == u'#')
            continue;
        if (line.front() == u'[') {
            const qsizetype close = line.indexOf(u']');
            const QString name = Trimmed(QStringView(line).mid(1, close < 0 ? -1 : close - 1)).toLower();
            // Only the first section of a name is ever searched.
            current = sections_.contains(name) ? nullptr : &sections_[name];
            continue;
        }
        const qsizetype eq = line.indexOf(u'=');
        if (current == nullptr || eq <= 0)
            continue;
        const QString key = Trimmed(QStringView(line).left(eq)).toLower();
        if (!current->contains(key))
            current->insert(key, Unquoted(Trimmed(QStringView(line).mid(eq + 1))));
    }
}

namespace {

// Names asked for by the program are ASCII: lower them without the Unicode tables.
QString AsciiLower(std::string_view name)
{
    QString lower(qsizetype(name.size()), Qt::Uninitialized);
    QChar* out = lower.data();
    for (size_t i = 0; i < name.size(); ++i) {
        const char c = name[i];
        out[i] = QChar(char16_t((c >= 'A' && c <= 'Z') ? c - 'A' + 'a' : static_cast<unsigned char>(c)));
    }
    return lower;
}

}  // namespace

IniSection IniFile::Section(std::string_view name) const
{
    const auto s = sections_.constFind(AsciiLower(name));
    return IniSection(s == sections_.cend() ? nullptr : &*s);
}

std::optional<QString> IniSection::Value(std::string_view key) const
{
    if (entries_ == nullptr)
        return std::nullopt;
    const auto e = entries_->constFind(AsciiLower(key));
    if (e == entries_->cend())
        return std::nullopt;
    return *e;
}

QString IniSection::Text(std::string_view key, const QString& fallback, int maxChars) const
{
    const std::optional<QString> value = Value(key);
    return (value ? *value : fallback).left(maxChars);
}

int32_t IniSection::Int(std::string_view key, int32_t fallback) const
{
    const std::optional<QString> value = Value(key);
    if (!value)
        return fallback;
    return ParseIniInt(*value, fallback);
}

std::optional<QString> IniFile::Value(std::string_view section, std::string_view key) const
{
    return Section(section).Value(key);
}

QString IniFile::Text(std::string_view section, std::string_view key, const QString& fallback, int maxChars) const
{
    return Section(section).Text(key, fallback, maxChars);
}

int32_t IniFile::Int(std::string_view section, std::string_view key, int32_t fallback) const
{
    return Section(section).Int(key, fallback);
}

int32_t ParseIniInt(const QString& text, int32_t fallback)
{
    if (text.isEmpty())
        return fallback;
    qsizetype i = 0;
    const qsizetype n = text.size();
    bool negative = false;
    if (i < n && (text[i] == u'-' || text[i] == u'+')) {
        negative = text[i] == u'-';
        ++i;
    }
    int base = 10;
    if (i + 1 < n && text[i] == u'0' && (text[i + 1] == u'x' || text[i + 1] == u'X')) {
        base = 16;
        i += 2;
    }
    uint32_t value = 0;
    while (i < n && DigitValue(text[i]) < base) {
        value = value * uint32_t(base) + uint32_t(DigitValue(text[i]));
        ++i;
    }
    return int32_t(negative ? 0u - value : value);
}

std::vector<uint32_t> ParseNumberList(const QString& text, int base, size_t maxCount, int maxTextChars)
{
    std::vector<uint32_t> values;
    const QStringView view = QStringView(text).left(maxTextChars);
    qsizetype pos = 0;
    while (pos <= view.size() && values.size() < maxCount) {
        qsizetype comma = view.indexOf(u',', pos);
        if (comma < 0)
            comma = view.size();
        const QStringView piece = view.mid(pos, comma - pos);
        pos = comma + 1;
        if (piece.isEmpty())
            continue;
        const std::optional<uint32_t> value = ParsePiece(piece, base);
        if (!value)
            break;
        values.push_back(*value);
    }
    return values;
}

bool WriteIniValue(const QString& path, std::string_view section, std::string_view key, const QString& value)
{
    QStringList lines;
    {
        QFile file(path);
        if (file.open(QIODevice::ReadOnly))
            lines = DecodeTextFile(file.readAll()).split(u'\n');
    }
    for (QString& line : lines) {
        if (line.endsWith(u'\r'))
            line.chop(1);
    }
    if (!lines.isEmpty() && lines.back().isEmpty())
        lines.removeLast();
    const QString keyName = QString::fromLatin1(key.data(), qsizetype(key.size()));
    const QString newLine = keyName + u'=' + value;
    qsizetype sectionLine = -1;
    qsizetype insertAt = -1;
    bool written = false;
    for (qsizetype i = 0; i < lines.size() && !written; ++i) {
        const QString trimmed = Trimmed(lines[i]);
        if (trimmed.startsWith(u'[')) {
            if (sectionLine >= 0)
                break;  // the section ended without the key
            const qsizetype close = trimmed.indexOf(u']');
            if (SameName(Trimmed(QStringView(trimmed).mid(1, close < 0 ? -1 : close - 1)), section)) {
                sectionLine = i;
                insertAt = i + 1;
            }
            continue;
        }
        if (sectionLine < 0)
            continue;
        const qsizetype eq = trimmed.indexOf(u'=');
        if (eq > 0 && SameName(Trimmed(QStringView(trimmed).left(eq)), key)) {
            lines[i] = newLine;
            written = true;
        } else if (!trimmed.isEmpty()) {
            insertAt = i + 1;
        }
    }
    if (!written) {
        if (sectionLine < 0) {
            lines.append(u'[' + QString::fromLatin1(section.data(), qsizetype(section.size())) + u']');
            lines.append(newLine);
        } else {
            lines.insert(insertAt, newLine);
        }
    }
    QSaveFile out(path);
    if (!out.open(QIODevice::WriteOnly))
        return false;
    out.write((lines.join(QStringLiteral("\r\n")) + QStringLiteral("\r\n")).toUtf8());
    return out.commit();
}

}  // namespace zorvan
