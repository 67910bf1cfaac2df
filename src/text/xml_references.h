#pragma once
// Character data of language files: numeric and named references decoded, everything that is
// not a well-formed reference kept as written.
#include <QString>
#include <QStringView>

namespace zorvan {

// "&#65;" and "&#x41;" give their character (a surrogate pair above U+FFFF); "&name;" with a
// name of 1 to 9 ASCII characters gives the entity's character (see LookupEntity). A value of 0,
// a value that is no character, an unknown name or a name without ';' within 9 characters
// stays as written.
QString DecodeReferences(QStringView text);

}  // namespace zorvan
