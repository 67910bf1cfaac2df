#include "text/xml_document.h"

#include "text/xml_encoding.h"
#include "text/xml_references.h"

#include <QFile>
#include <QHash>

#include <algorithm>

namespace zorvan {
namespace {

// Enough to diagnose a file; a broken or hostile file must not grow the list without end.
constexpr qsizetype kMaxNotes = 100;
// A language file is a few kilobytes; anything this large is not one and is not read.
constexpr qint64 kMaxFileSize = 16 * 1024 * 1024;

bool IsNameStart(QChar c)
{
    const char16_t u = c.unicode();
    return (u >= 'a' && u <= 'z') || (u >= 'A' && u <= 'Z') || u == '_' || u == ':' || u >= 0x80;
}

bool IsNameChar(QChar c)
{
    const char16_t u = c.unicode();
    return IsNameStart(c) || (u >= '0' && u <= '9') || u == '-' || u == '.';
}

bool IsBlank(QStringView text)
{
    for (QChar c : text) {
        if (!c.isSpace())
            return false;
    }
    return true;
}

// XML reads CR LF and a lone CR as LF.
QString NormaliseLineEnds(QStringView text)
{
    QString out = text.toString();
    out.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    out.replace(u'\r', u'\n');
    return out;
}

class Parser {
public:
    Parser(QStringView text, std::vector<XmlDocument::Node>& nodes, QStringList& notes)
        : s_(text), nodes_(nodes), notes_(notes)
    {
    }

    void Run()
    {
        while (pos_ < s_.size() && Step()) {
        }
        for (auto it = open_.rbegin(); it != open_.rend(); ++it)
            Note(QStringLiteral("Element <%1> not ended").arg(nodes_[size_t(*it)].name));
        CheckRoot();
    }

private:
    // One piece of text or markup; false when the rest of the text cannot be parsed.
    bool Step()
    {
        const qsizetype lt = s_.indexOf(u'<', pos_);
        if (lt < 0) {
            AddText(s_.mid(pos_), false);
            pos_ = s_.size();
            return true;
        }
        AddText(s_.mid(pos_, lt - pos_), false);
        pos_ = lt;
        const QStringView rest = s_.mid(pos_);
        if (rest.startsWith(u"<!--"))
            return Skip(u"-->", 4, u"Unterminated comment");
        if (rest.startsWith(u"<![CDATA["))
            return CData();
        if (rest.startsWith(u"<?"))
            return Skip(u"?>", 2, u"Unterminated processing instruction");
        if (rest.startsWith(u"<!"))
            return Declaration();
        if (rest.startsWith(u"</"))
            return EndTag();
        if (rest.size() > 1 && IsNameStart(rest[1]))
            return StartTag();
        NoteAt(QStringLiteral("'<' that starts no markup, kept as text"));
        AddText(u"<", true);
        ++pos_;
        return true;
    }

    bool Skip(QStringView terminator, qsizetype opener, QStringView problem)
    {
        const qsizetype end = s_.indexOf(terminator, pos_ + opener);
        if (end < 0) {
            NoteAt(problem.toString());
            return false;
        }
        pos_ = end + terminator.size();
        return true;
    }

    bool CData()
    {
        constexpr qsizetype kOpener = 9;  // "<![CDATA["
        const qsizetype end = s_.indexOf(u"]]>", pos_ + kOpener);
        if (end < 0) {
            NoteAt(QStringLiteral("Unterminated CDATA section"));
            return false;
        }
        AddText(s_.mid(pos_ + kOpener, end - pos_ - kOpener), true);
        pos_ = end + 3;
        return true;
    }

    // <!DOCTYPE ...> with an optional internal subset in brackets, quoted strings skipped.
    bool Declaration()
    {
        int brackets = 0;
        for (qsizetype i = pos_ + 2; i < s_.size(); ++i) {
            const QChar c = s_[i];
            if (c == u'"' || c == u'\'') {
                const qsizetype close = s_.indexOf(c, i + 1);
                if (close < 0)
                    break;
                i = close;
            } else if (c == u'[') {
                ++brackets;
            } else if (c == u']') {
                brackets = std::max(0, brackets - 1);
            } else if (c == u'>' && brackets == 0) {
                pos_ = i + 1;
                return true;
            }
        }
        NoteAt(QStringLiteral("Unterminated document type declaration"));
        return false;
    }

    QStringView NameAt(qsizetype i) const
    {
        qsizetype end = i;
        while (end < s_.size() && IsNameChar(s_[end]))
            ++end;
        return s_.mid(i, end - i);
    }

    bool StartTag()
    {
        const QStringView name = NameAt(pos_ + 1);
        qsizetype i = pos_ + 1 + name.size();
        for (; i < s_.size() && s_[i] != u'>'; ++i) {
            const QChar c = s_[i];
            if (c == u'"' || c == u'\'') {
                const qsizetype close = s_.indexOf(c, i + 1);
                if (close < 0)
                    break;
                i = close;
            } else if (c == u'<') {
                break;
            }
        }
        if (i >= s_.size() || s_[i] != u'>') {
            NoteAt(QStringLiteral("Unterminated tag <%1").arg(name));
            // A tag cut short by the next '<' is dropped and reading goes on from there.
            if (i >= s_.size() || s_[i] != u'<')
                return false;
            pos_ = i;
            return true;
        }
        const bool empty = s_[i - 1] == u'/';
        const int node = AddElement(name);
        if (!empty) {
            open_.push_back(node);
            ++openCount_[nodes_[size_t(node)].name];
        }
        pos_ = i + 1;
        return true;
    }

    bool EndTag()
    {
        const QStringView name = NameAt(pos_ + 2);
        const qsizetype gt = s_.indexOf(u'>', pos_ + 2 + name.size());
        if (gt < 0) {
            NoteAt(QStringLiteral("Unterminated tag </%1").arg(name));
            return false;
        }
        if (open_.empty()) {
            NoteAt(QStringLiteral("End tag </%1> without start tag").arg(name));
        } else if (nodes_[size_t(open_.back())].name == name) {
            Close();
        } else {
            NoteAt(QStringLiteral("End tag </%1> does not match <%2>").arg(name, nodes_[size_t(open_.back())].name));
            CloseMismatched(name);
        }
        pos_ = gt + 1;
        return true;
    }

    // An end tag of an element further out closes everything up to it. Any other end tag
    // closes the current element only when that holds text alone and is not the root (a
    // misspelt end tag); otherwise it is dropped (a stray end tag).
    void CloseMismatched(QStringView name)
    {
        const auto count = openCount_.constFind(name.toString());
        if (count != openCount_.constEnd() && count.value() > 0) {
            while (nodes_[size_t(open_.back())].name != name) {
                Note(QStringLiteral("Element <%1> not ended").arg(nodes_[size_t(open_.back())].name));
                Close();
            }
            Close();
        } else if (open_.size() > 1 && nodes_[size_t(open_.back())].firstChild < 0) {
            Close();
        }
    }

    void Close()
    {
        --openCount_[nodes_[size_t(open_.back())].name];
        open_.pop_back();
    }

    int Current() const { return open_.empty() ? 0 : open_.back(); }

    int AddElement(QStringView name)
    {
        const int parent = Current();
        const int index = int(nodes_.size());
        nodes_.push_back(XmlDocument::Node{name.toString(), {}, -1, -1, -1});
        XmlDocument::Node& p = nodes_[size_t(parent)];
        if (p.lastChild < 0)
            p.firstChild = index;
        else
            nodes_[size_t(p.lastChild)].next = index;
        p.lastChild = index;
        return index;
    }

    void AddText(QStringView raw, bool verbatim)
    {
        if (raw.isEmpty())
            return;
        if (open_.empty()) {
            textOutside_ = textOutside_ || !IsBlank(raw);
            return;
        }
        QString& text = nodes_[size_t(open_.back())].text;
        text += verbatim ? raw.toString() : DecodeReferences(raw);
    }

    void CheckRoot()
    {
        int roots = 0;
        for (int i = nodes_[0].firstChild; i >= 0; i = nodes_[size_t(i)].next)
            ++roots;
        if (roots == 0)
            Note(textOutside_ ? QStringLiteral("No root element") : QStringLiteral("Empty document"));
        else if (roots > 1)
            Note(QStringLiteral("Root element has sibling"));
    }

    void NoteAt(const QString& problem)
    {
        for (; linePos_ < pos_ && linePos_ < s_.size(); ++linePos_) {
            if (s_[linePos_] == u'\n')
                ++line_;
        }
        Note(QStringLiteral("%1 (line %2)").arg(problem).arg(line_));
    }

    void Note(const QString& problem)
    {
        if (notes_.size() < kMaxNotes)
            notes_ << problem;
        else if (notes_.size() == kMaxNotes)
            notes_ << QStringLiteral("More problems not listed");
    }

    QStringView s_;
    qsizetype pos_ = 0;
    std::vector<XmlDocument::Node>& nodes_;
    QStringList& notes_;
    std::vector<int> open_;
    QHash<QString, int> openCount_;
    bool textOutside_ = false;
    qsizetype linePos_ = 0;
    int line_ = 1;
};

}  // namespace

bool XmlDocument::LoadDocument(const QString& path)
{
    QFile file(path);
    const bool opened = file.open(QIODevice::ReadOnly);
    if (!opened || file.size() > kMaxFileSize) {
        nodes_.assign(1, Node{});
        ResetPosition();
        const QString reason = opened ? QStringLiteral("larger than 16 MiB") : file.errorString();
        notes_ = QStringList{QStringLiteral("Cannot read %1: %2").arg(path, reason)};
        return false;
    }
    SetBytes(file.readAll());
    return true;
}

void XmlDocument::SetBytes(const QByteArray& bytes)
{
    QStringList decodingNotes;
    const QString text = DecodeXmlBytes(bytes, decodingNotes);
    SetText(text);
    notes_ = decodingNotes + notes_;
}

void XmlDocument::SetText(QStringView text)
{
    nodes_.assign(1, Node{});
    notes_.clear();
    const QString normalised = NormaliseLineEnds(text);
    Parser(normalised, nodes_, notes_).Run();
    ResetPosition();
}

void XmlDocument::ResetPosition()
{
    parent_ = 0;
    current_ = -1;
}

bool XmlDocument::FindElement(QStringView name)
{
    const int start = current_ >= 0 ? nodes_[size_t(current_)].next : nodes_[size_t(parent_)].firstChild;
    for (int i = start; i >= 0; i = nodes_[size_t(i)].next) {
        if (nodes_[size_t(i)].name == name) {
            current_ = i;
            return true;
        }
    }
    return false;
}

bool XmlDocument::EnterElement()
{
    if (current_ < 0)
        return false;
    parent_ = current_;
    current_ = -1;
    return true;
}

QString XmlDocument::GetElementText() const
{
    return current_ >= 0 ? nodes_[size_t(current_)].text : QString();
}

}  // namespace zorvan
