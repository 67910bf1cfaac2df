#pragma once
// Bytes of a named character set turned into text through iconv.
#include <QByteArray>
#include <QString>

#include <optional>

namespace zorvan {

struct DecodedText {
    QString text;
    int invalidSequences = 0;  // each replaced by U+FFFD
};

// Decodes `bytes` from `charset` (an iconv name). Nothing when iconv does not know the name.
// Invalid or truncated sequences become U+FFFD and decoding goes on after them.
std::optional<DecodedText> DecodeCharset(const QByteArray& bytes, const char* charset);

}  // namespace zorvan
