#pragma once
// Reading and writing INI files the way the product's data files are written: sections and
// keys are found without regard to case, the first section and the first key of a name win,
// values are trimmed and lose one pair of surrounding quotes.
#include <QHash>
#include <QString>

#include <cstdint>
#include <optional>
#include <string_view>
#include <vector>

namespace zorvan {

class IniFile;

// One section of an IniFile (or none: every key is then missing).
class IniSection {
public:
    std::optional<QString> Value(std::string_view key) const;
    QString Text(std::string_view key, const QString& fallback, int maxChars) const;
    int32_t Int(std::string_view key, int32_t fallback) const;

private:
    friend class IniFile;
    explicit IniSection(const QHash<QString, QString>* entries) : entries_(entries) {}
    const QHash<QString, QString>* entries_;
};

class IniFile {
public:
    IniFile() = default;

    // Reads the file; a missing or unreadable file gives an empty document (false).
    bool Load(const QString& path);
    void Parse(const QByteArray& bytes);

    IniSection Section(std::string_view name) const;

    // The key's text, or nothing when the section or key is missing.
    std::optional<QString> Value(std::string_view section, std::string_view key) const;

    // Text key cut to `maxChars` characters; missing gives `fallback`.
    QString Text(std::string_view section, std::string_view key, const QString& fallback, int maxChars) const;

    // Integer key: missing or empty gives `fallback`; otherwise the number at the start of the
    // text (decimal, 0x for hexadecimal, a minus sign accepted); no number gives 0.
    int32_t Int(std::string_view section, std::string_view key, int32_t fallback) const;

    size_t SectionCount() const { return sections_.size(); }

private:
    // Names are kept in lower case; the first section and the first key of a name win.
    using Entries = QHash<QString, QString>;
    QHash<QString, Entries> sections_;
};

// The integer rule of the data files over one text.
int32_t ParseIniInt(const QString& text, int32_t fallback);

// Number list: the text (its first `maxTextChars` characters) split at commas, empty pieces
// skipped; each piece must be an unsigned number (leading blanks and a sign accepted) from its
// first to its last character, else the list ends there; at most `maxCount` values.
std::vector<uint32_t> ParseNumberList(const QString& text, int base, size_t maxCount, int maxTextChars = 1023);

// Writes one key, creating the file and section when missing; the file is replaced whole.
bool WriteIniValue(const QString& path, std::string_view section, std::string_view key, const QString& value);

// Decodes the bytes of a data file: UTF-16 or UTF-8 by byte-order mark, else UTF-8 when valid,
// else Latin-1.
QString DecodeTextFile(const QByteArray& bytes);

}  // namespace zorvan
