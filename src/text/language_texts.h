#pragma once
// The texts of the current language, looked up by key ("tc_msg15") when shown. Pages listen to
// Texts().Changed to take their texts again after a language switch.
#include "text/language_file.h"

#include <QObject>
#include <QString>

#include <mutex>
#include <string_view>

namespace zorvan {

class LanguageTexts : public QObject {
    Q_OBJECT
public:
    // The text of `key`; empty for a key the loaded file did not hold, or no text key at all.
    QString Text(std::string_view key) const;
    // Replaces one text (tests, tools). A name that is no text key is ignored.
    void SetText(std::string_view key, const QString& text);
    // Replaces every text.
    void SetAll(const LanguageTextTable& texts);

signals:
    // Every text may have changed.
    void Changed();

private:
    mutable std::mutex mutex_;
    LanguageTextTable texts_;
};

// The process-wide texts.
LanguageTexts& Texts();

// Reads `path` and replaces every text of Texts(), including those the file lacks (they become
// empty). False when the file could not be read.
bool LoadLanguageTexts(const QString& path);

// Texts().Text(key).
QString GetText(std::string_view key);

// Texts().SetText(key, text).
void SetText(std::string_view key, const QString& text);

}  // namespace zorvan
