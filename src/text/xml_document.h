#pragma once
// A small, forgiving XML reader for language files: it keeps every element it can and only
// notes what was wrong. Navigation follows the language loader's needs: find an element among
// the children of the current parent, enter it, take its text.
#include <QByteArray>
#include <QString>
#include <QStringList>
#include <QStringView>

#include <vector>

namespace zorvan {

class XmlDocument {
public:
    // Reads, decodes and parses the file. False when it cannot be read or is larger than any
    // language file (16 MiB); the document is then empty.
    bool LoadDocument(const QString& path);
    // Decodes and parses a file's bytes.
    void SetBytes(const QByteArray& bytes);
    // Parses text that is already decoded.
    void SetText(QStringView text);

    // Back to the top: the next FindElement looks at the top-level elements.
    void ResetPosition();
    // Finds the next element named `name` among the children of the current parent, after the
    // element found last.
    bool FindElement(QStringView name);
    // The element found last becomes the parent of the next FindElement.
    bool EnterElement();
    // The character data directly inside the element found last: references decoded, CDATA
    // sections as they stand. Empty when no element is found.
    QString GetElementText() const;

    // Problems met while reading and parsing, for diagnosis only.
    const QStringList& Notes() const { return notes_; }

    struct Node {
        QString name;
        QString text;
        int firstChild = -1;
        int lastChild = -1;
        int next = -1;
    };

private:
    std::vector<Node> nodes_ = std::vector<Node>(1);  // nodes_[0] is the document itself
    int parent_ = 0;
    int current_ = -1;
    QStringList notes_;
};

}  // namespace zorvan
