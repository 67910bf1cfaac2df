// The language file reader on arbitrary bytes: decoding in any encoding a file may name, the
// lenient parse and the lookups the language loader makes. It must not crash, hang or grow
// without bound.
#include "text/text_keys.h"
#include "text/xml_document.h"

#include <QByteArray>
#include <QString>

#include <cstddef>
#include <cstdint>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    zorvan::XmlDocument doc;
    doc.SetBytes(QByteArray(reinterpret_cast<const char*>(data), qsizetype(size)));
    for (const std::string& key : zorvan::TextKeys()) {
        doc.ResetPosition();
        if (doc.FindElement(u"config") && doc.EnterElement() && doc.FindElement(QString::fromStdString(key)))
            (void)doc.GetElementText();
    }
    return 0;
}
