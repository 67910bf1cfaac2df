#include "text/language_texts.h"

#include <QHash>

#include <mutex>

namespace zorvan {
namespace {

std::mutex g_mutex;
QHash<QString, QString>& Texts()
{
    static QHash<QString, QString> texts;
    return texts;
}

QString Key(std::string_view key)
{
    return QString::fromLatin1(key.data(), qsizetype(key.size()));
}

}  // namespace

QString GetText(std::string_view key)
{
    std::lock_guard lock(g_mutex);
    return Texts().value(Key(key));
}

void SetText(std::string_view key, const QString& text)
{
    std::lock_guard lock(g_mutex);
    Texts().insert(Key(key), text);
}

}  // namespace zorvan
