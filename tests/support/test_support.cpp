#include "support/test_support.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

namespace zorvan::test {

QString SourceDir()
{
    return QStringLiteral(ZORVAN_SOURCE_DIR);
}

QString DefaultDataDir()
{
    return SourceDir() + QStringLiteral("/data/");
}

QByteArray ReadFile(const QString& path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return {};
    return file.readAll();
}

bool WriteFile(const QString& path, const QByteArray& bytes)
{
    QDir().mkpath(QFileInfo(path).absolutePath());
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate))
        return false;
    return file.write(bytes) == bytes.size();
}

TempDir::TempDir() = default;

QString TempDir::Path() const
{
    return dir_.path() + u'/';
}

}  // namespace zorvan::test
