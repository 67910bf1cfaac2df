// The buttons drawn into the macro page and the macro picker: the tree's and the event list's
// command buttons under the lists (default rcMacroList, rcKeyList) and the picker's OK, cancel
// and macro-editor buttons. The pictures they go into are drawn first.
#include "art.h"
#include "draw.h"
#include "palette.h"

#include <QImage>
#include <QPainter>

namespace skin {
namespace {

// The page area of the main window's pictures (rcSubDlg).
const QPoint kPageOrigin(2, 160);

void Buttons(const QString& path, const QPoint& origin, std::initializer_list<QRect> buttons)
{
    // The picture at the render scale, drawn on in normal-size pixels.
    QImage picture(ScaledPath(path));
    if (picture.isNull())
        return;
    picture = picture.convertToFormat(QImage::Format_ARGB32_Premultiplied);
    picture.setDevicePixelRatio(RenderScale());
    QPainter p(&picture);
    for (const QRect& r : buttons)
        RoundedBox(p, r.translated(origin).adjusted(1, 1, -1, -1), 5, kControl, kControlBorder);
    p.end();
    Save(picture, path);
}

}  // namespace

void RenderMacroArt(const QString& dir)
{
    // Under each list: two buttons of half its width, 5 pixels below it, 26 high.
    Buttons(dir + QStringLiteral("macro_nr.png"), kPageOrigin,
            {QRect(100, 469, 113, 26), QRect(213, 469, 113, 26), QRect(401, 469, 113, 26), QRect(514, 469, 113, 26)});
    Buttons(dir + QStringLiteral("msg2_nr.png"), QPoint(0, 0),
            {QRect(210, 302, 80, 20), QRect(298, 302, 80, 20), QRect(25, 302, 80, 20)});
}

}  // namespace skin
