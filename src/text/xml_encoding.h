#pragma once
// Which character set a language file is written in, and its text.
#include <QByteArray>
#include <QString>
#include <QStringList>

namespace zorvan {

// The file's bytes as text. The encoding is chosen in this order: a byte-order mark (UTF-8,
// UTF-16, UTF-32; also a '<' written in UTF-16 or UTF-32 without one); the encoding named in the
// first 1024 bytes (XML declaration, or the charset of an HTML meta element); UTF-8 when the
// file starts with '<' or is valid UTF-8; else the system's narrow code page. Problems (an
// unknown encoding name, bytes that are not valid in the encoding) are added to `notes`.
QString DecodeXmlBytes(const QByteArray& bytes, QStringList& notes);

// The encoding name declared in the first 1024 bytes, or empty.
QByteArray DeclaredEncoding(const QByteArray& bytes);

// The iconv name for an encoding name as files write it ("Shift_JIS", "gb2312", "latin1"),
// compared without regard to case.
QByteArray IconvCharset(const QByteArray& name);

// The system's narrow code page: the locale's character set when it is a legacy one, else
// Windows-1252.
QByteArray NarrowCodePage();

}  // namespace zorvan
