#include "text/language_file.h"

#include "text/xml_document.h"

namespace zorvan {

LanguageFile ReadLanguageFile(const QString& path)
{
    LanguageFile file;
    XmlDocument doc;
    file.readable = doc.LoadDocument(path);
    file.notes = doc.Notes();
    if (!file.readable)
        return file;

    const auto& keys = TextKeys();
    QStringList missing;
    bool hasRoot = true;
    for (size_t i = 0; i < keys.size(); ++i) {
        doc.ResetPosition();
        hasRoot = doc.FindElement(u"config") && doc.EnterElement();
        if (!hasRoot)
            break;
        if (doc.FindElement(QString::fromLatin1(keys[i])))
            file.texts[i] = doc.GetElementText();
        else
            missing << QString::fromLatin1(keys[i]);
    }
    if (!hasRoot)
        file.notes << QStringLiteral("No element <config> at the top: every text is empty");
    else if (!missing.isEmpty())
        file.notes << QStringLiteral("Missing texts (%1): %2")
                          .arg(missing.size())
                          .arg(missing.join(QStringLiteral(", ")));
    return file;
}

}  // namespace zorvan
