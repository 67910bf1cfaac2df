#include "ui/pages/macro_page_layout.h"

#include "macro/st_macro.h"

namespace zorvan {
namespace {

QRect FromLtrb(int left, int top, int right, int bottom)
{
    return QRect(QPoint(left, top), QPoint(right - 1, bottom - 1));
}

QRect ListRect(const Rect& r, const QRect& fallback)
{
    return r.IsEmpty() ? fallback : FromLtrb(r.left, r.top, r.right, r.bottom);
}

// The caption above a list: centred, 26..5 pixels above it.
QRect CaptionAbove(const QRect& list)
{
    return FromLtrb(list.left(), list.top() - 26, list.right() + 1, list.top() - 5);
}

}  // namespace

MacroPageLayout LayOutMacroPage(const AppOptions& o)
{
    MacroPageLayout l;
    const QPoint record = o.ptRecord.x != 0 || o.ptRecord.y != 0 ? QPoint(o.ptRecord.x, o.ptRecord.y) : QPoint(756, 54);
    const int x = o.MacroOptX != 0 ? o.MacroOptX : 756;
    l.record = QRect(record, QSize(161, 33));
    l.delayBox = QRect(x, l.record.bottom() + 1 + 40, 11, 11);
    l.loop[kLoopMode2] = QRect(x, l.delayBox.bottom() + 1 + 20, 12, 12);
    l.loop[kLoopMode1] = QRect(x, l.loop[kLoopMode2].bottom() + 1 + 17, 12, 12);
    l.loop[kLoopCount] = QRect(x, l.loop[kLoopMode1].bottom() + 1 + 17, 12, 12);
    const QRect& count = l.loop[kLoopCount];
    l.repeat = FromLtrb(count.right() + 1 + 8, count.bottom() + 1 + 7, count.right() + 1 + 88, count.bottom() + 1 + 25);
    l.insert = QRect(x, count.bottom() + 1 + 90, 147, 30);
    l.insertCaption = FromLtrb(x, l.insert.top() - 24, x + 200, l.insert.top() - 4);
    l.save = QRect(x, l.insert.bottom() + 1 + 48, 80, 27);
    l.tree = ListRect(o.rcMacroList, FromLtrb(100, 85, 326, 464));
    l.events = ListRect(o.rcKeyList, FromLtrb(401, 85, 627, 464));
    l.treeCaption = CaptionAbove(l.tree);
    l.eventsCaption = CaptionAbove(l.events);
    const auto buttonsBelow = [](const QRect& list, QRect& left, QRect& right) {
        const int half = list.width() / 2;
        left = QRect(list.left(), list.bottom() + 1 + 5, half, 26);
        right = QRect(list.left() + half, list.bottom() + 1 + 5, list.width() - half, 26);
    };
    buttonsBelow(l.tree, l.newButton, l.deleteButton);
    buttonsBelow(l.events, l.modifyButton, l.deleteEventButton);
    return l;
}

}  // namespace zorvan
