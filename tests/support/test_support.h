#pragma once
// Helpers shared by the test suites.
#include <QByteArray>
#include <QString>
#include <QTemporaryDir>

#include <ostream>

// Readable Qt strings in test failure messages.
inline void PrintTo(const QString& text, std::ostream* os)
{
    *os << '"' << text.toStdString() << '"';
}
inline void PrintTo(const QByteArray& bytes, std::ostream* os)
{
    *os << bytes.toHex(' ').toStdString();
}

namespace zorvan::test {

// The source tree (for data/ and fixtures).
QString SourceDir();
// The default product data (data/ of the source tree), with a trailing slash.
QString DefaultDataDir();

QByteArray ReadFile(const QString& path);
bool WriteFile(const QString& path, const QByteArray& bytes);

// A temporary folder removed at the end of the test; Path() ends with '/'.
class TempDir {
public:
    TempDir();
    QString Path() const;
    QString File(const QString& name) const { return Path() + name; }

private:
    QTemporaryDir dir_;
};

}  // namespace zorvan::test
