#include "text/language_texts.h"

namespace zorvan {

QString LanguageTexts::Text(std::string_view key) const
{
    const int index = TextKeyIndex(key);
    if (index < 0)
        return {};
    std::lock_guard lock(mutex_);
    // A copy of its own rather than a shared one: the caller may live on another thread, and
    // the next load then frees the table's strings without racing against the caller's copy.
    const QString& text = texts_[size_t(index)];
    return QString(text.constData(), text.size());
}

void LanguageTexts::SetText(std::string_view key, const QString& text)
{
    const int index = TextKeyIndex(key);
    if (index < 0)
        return;
    {
        std::lock_guard lock(mutex_);
        texts_[size_t(index)] = text;
    }
    emit Changed();
}

void LanguageTexts::SetAll(const LanguageTextTable& texts)
{
    {
        std::lock_guard lock(mutex_);
        texts_ = texts;
    }
    emit Changed();
}

LanguageTexts& Texts()
{
    static LanguageTexts texts;
    return texts;
}

bool LoadLanguageTexts(const QString& path)
{
    const LanguageFile file = ReadLanguageFile(path);
    Texts().SetAll(file.texts);
    return file.readable;
}

QString GetText(std::string_view key)
{
    return Texts().Text(key);
}

void SetText(std::string_view key, const QString& text)
{
    Texts().SetText(key, text);
}

}  // namespace zorvan
