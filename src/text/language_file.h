#pragma once
// One language file ("text.xml") read into the texts of every key.
#include "text/text_keys.h"

#include <QString>
#include <QStringList>

#include <array>

namespace zorvan {

using LanguageTextTable = std::array<QString, kTextKeyCount>;

struct LanguageFile {
    bool readable = false;    // the file could be opened
    LanguageTextTable texts;  // by position in TextKeys(); empty where the file holds no text
    QStringList notes;        // parse notes, then what the file lacks
};

// Each text is the character data of the first child of the root element `config` named after
// its key. A file that cannot be read or parsed gives empty texts.
LanguageFile ReadLanguageFile(const QString& path);

}  // namespace zorvan
