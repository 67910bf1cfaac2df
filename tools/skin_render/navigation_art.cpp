// Title buttons (25 x 25) and the four navigation buttons (60 x 49): normal and selected.
#include "art.h"
#include "draw.h"
#include "palette.h"

#include <QPainterPath>

#include <functional>

namespace skin {
namespace {

using Glyph = std::function<void(QPainter&, const QColor&)>;

void TitleButton(const QString& path, const Glyph& glyph)
{
    QImage picture = NewPicture(25, 25);
    QPainter p(&picture);
    p.setRenderHint(QPainter::Antialiasing);
    p.setPen(Qt::NoPen);
    p.setBrush(kControl);
    p.drawEllipse(QRectF(1, 1, 23, 23));
    p.setPen(QPen(kText, 1.7, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    glyph(p, kText);
    p.end();
    Save(picture, path);
}

QPen Stroke(const QColor& c, double width = 2.0)
{
    return QPen(c, width, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin);
}

// Icons are drawn in a 24 x 24 box centred in the button.
void MouseIcon(QPainter& p, const QColor& c)
{
    p.setPen(Stroke(c));
    p.setBrush(Qt::NoBrush);
    p.drawRoundedRect(QRectF(5, 1, 14, 22), 7, 7);
    p.drawLine(QPointF(12, 1.5), QPointF(12, 9));
    p.drawLine(QPointF(5.5, 9), QPointF(18.5, 9));
}

void GaugeIcon(QPainter& p, const QColor& c)
{
    p.setPen(Stroke(c));
    p.setBrush(Qt::NoBrush);
    p.drawArc(QRectF(2, 3, 20, 20), 200 * 16, -220 * 16);
    p.drawLine(QPointF(12, 13), QPointF(17, 7.5));
    p.setBrush(c);
    p.drawEllipse(QPointF(12, 13), 1.8, 1.8);
    p.drawLine(QPointF(4, 20), QPointF(20, 20));
}

void MacroIcon(QPainter& p, const QColor& c)
{
    p.setPen(Stroke(c));
    p.setBrush(Qt::NoBrush);
    p.drawRoundedRect(QRectF(1, 5, 22, 15), 3, 3);
    for (int i = 0; i < 4; ++i)
        p.drawPoint(QPointF(5.5 + i * 4.3, 10));
    p.drawLine(QPointF(7, 15.5), QPointF(17, 15.5));
}

void LightIcon(QPainter& p, const QColor& c)
{
    p.setPen(Stroke(c));
    p.setBrush(Qt::NoBrush);
    p.drawEllipse(QPointF(12, 12), 4.5, 4.5);
    for (int i = 0; i < 8; ++i) {
        p.save();
        p.translate(12, 12);
        p.rotate(i * 45);
        p.drawLine(QPointF(0, -8), QPointF(0, -10.5));
        p.restore();
    }
}

void NaviButton(const QString& dir, int number, const Glyph& icon)
{
    for (bool selected : {false, true}) {
        QImage picture = NewPicture(60, 49);
        QPainter p(&picture);
        p.setRenderHint(QPainter::Antialiasing);
        if (selected) {
            RoundedBox(p, QRectF(2, 2, 56, 42), 9, WithAlpha(kAccent, 28), WithAlpha(kAccent, 70));
            p.fillRect(QRectF(16, 46, 28, 3), kAccent);
        }
        p.translate(18, 10);
        icon(p, selected ? kAccent : kMuted);
        p.end();
        Save(picture, dir + QStringLiteral("navi%1_%2.png").arg(number).arg(selected ? "dn" : "nr"));
    }
}

}  // namespace

void RenderTitleAndNavigation(const QString& dir)
{
    TitleButton(dir + QStringLiteral("min_nr.png"), [](QPainter& p, const QColor&) { p.drawLine(QPointF(8, 12.5), QPointF(17, 12.5)); });
    TitleButton(dir + QStringLiteral("exit_nr.png"), [](QPainter& p, const QColor&) {
        p.drawLine(QPointF(8.5, 8.5), QPointF(16.5, 16.5));
        p.drawLine(QPointF(16.5, 8.5), QPointF(8.5, 16.5));
    });
    TitleButton(dir + QStringLiteral("help_nr.png"), [](QPainter& p, const QColor&) {
        QPainterPath q;
        q.moveTo(9.5, 10);
        q.cubicTo(9.5, 6.5, 15.5, 6.5, 15.5, 10);
        q.cubicTo(15.5, 12.5, 12.5, 12.5, 12.5, 15);
        p.drawPath(q);
        p.drawPoint(QPointF(12.5, 18.5));
    });
    NaviButton(dir, 1, MouseIcon);
    NaviButton(dir, 2, GaugeIcon);
    NaviButton(dir, 3, MacroIcon);
    NaviButton(dir, 4, LightIcon);
}

}  // namespace skin
