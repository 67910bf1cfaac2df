// Battery levels, key numbers, the macro event icons and tree folders, the colour field.
#include "art.h"
#include "draw.h"
#include "palette.h"

#include <QLinearGradient>
#include <QPainterPath>

namespace skin {
namespace {

// The battery drawn in the top 20 pixels of the 37 x 43 indicator; the level text goes below.
void Battery(const QString& path, int bars, bool charging)
{
    QImage picture = NewPicture(37, 43);
    QPainter p(&picture);
    p.setRenderHint(QPainter::Antialiasing);
    p.setPen(QPen(kText, 1.4));
    p.setBrush(Qt::NoBrush);
    p.drawRoundedRect(QRectF(5.5, 5.5, 24, 13), 3, 3);
    p.setPen(Qt::NoPen);
    p.setBrush(kText);
    p.drawRoundedRect(QRectF(30.5, 9.5, 2.5, 5), 1, 1);
    const QColor fill = bars == 1 && !charging ? kDanger : kAccent;
    p.setBrush(fill);
    for (int i = 0; i < bars; ++i)
        p.drawRoundedRect(QRectF(8 + i * 5.4, 8, 4.4, 8), 1, 1);
    if (charging) {
        QPainterPath bolt;
        bolt.moveTo(19.5, 6.5);
        bolt.lineTo(14, 12.8);
        bolt.lineTo(17.6, 12.8);
        bolt.lineTo(16, 17.8);
        bolt.lineTo(21.6, 11.2);
        bolt.lineTo(18, 11.2);
        bolt.closeSubpath();
        p.setBrush(kText);
        p.setPen(QPen(kWindow, 0.8));
        p.drawPath(bolt);
    }
    p.end();
    Save(picture, path);
}

void Number(const QString& path, int n)
{
    QImage picture = NewPicture(18, 18);
    QPainter p(&picture);
    p.setRenderHint(QPainter::Antialiasing);
    p.setPen(QPen(WithAlpha(kAccent, 150), 1));
    p.setBrush(QColor(18, 40, 54));
    p.drawEllipse(QRectF(0.5, 0.5, 17, 17));
    QFont font(QStringLiteral("DejaVu Sans"));
    font.setPixelSize(n > 9 ? 9 : 10);
    font.setWeight(QFont::Bold);
    p.setFont(font);
    p.setPen(kText);
    p.drawText(QRectF(0, 0, 18, 18), Qt::AlignCenter, QString::number(n));
    p.end();
    Save(picture, path);
}

void EventIcon(const QString& path, int kind)
{
    QImage picture = NewPicture(16, 16);
    QPainter p(&picture);
    p.setRenderHint(QPainter::Antialiasing);
    const QColor colour = kind == 0 ? kAccent : kind == 1 ? kText : kMuted;
    p.setPen(QPen(colour, 1.5, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    p.setBrush(Qt::NoBrush);
    switch (kind) {
    case 0:  // key up
        p.drawLine(QPointF(8, 13), QPointF(8, 3));
        p.drawPolyline(QPolygonF({QPointF(4, 7), QPointF(8, 3), QPointF(12, 7)}));
        break;
    case 1:  // key down
        p.drawLine(QPointF(8, 3), QPointF(8, 13));
        p.drawPolyline(QPolygonF({QPointF(4, 9), QPointF(8, 13), QPointF(12, 9)}));
        break;
    case 2:  // delay
        p.drawEllipse(QPointF(8, 8), 6, 6);
        p.drawPolyline(QPolygonF({QPointF(8, 4.5), QPointF(8, 8), QPointF(10.5, 9.5)}));
        break;
    default:  // mouse
        p.drawRoundedRect(QRectF(4, 1.5, 8, 13), 4, 4);
        p.drawLine(QPointF(8, 2), QPointF(8, 6));
        break;
    }
    p.end();
    Save(picture, path);
}

void Folder(const QString& path, bool open)
{
    QImage picture = NewPicture(16, 16);
    QPainter p(&picture);
    p.setRenderHint(QPainter::Antialiasing);
    p.setPen(QPen(kAccent, 1.2));
    p.setBrush(WithAlpha(kAccent, open ? 70 : 40));
    QPainterPath folder;
    folder.moveTo(1.5, 3.5);
    folder.lineTo(6, 3.5);
    folder.lineTo(7.5, 5);
    folder.lineTo(14.5, 5);
    folder.lineTo(14.5, 13.5);
    folder.lineTo(1.5, 13.5);
    folder.closeSubpath();
    p.drawPath(folder);
    if (open) {
        p.setBrush(WithAlpha(kAccent, 120));
        p.drawPolygon(QPolygonF({QPointF(3.5, 7.5), QPointF(15.5, 7.5), QPointF(14, 13.5), QPointF(1.5, 13.5)}));
    }
    p.end();
    Save(picture, path);
}

// The colour field of the lighting page: hue across, white at the top, full colour in the
// middle, black at the bottom.
void ColourField(const QString& path)
{
    // Computed per pixel of the picture at the render scale.
    QImage picture = NewPicture(173, 173, QImage::Format_RGB32);
    for (int y = 0; y < picture.height(); ++y) {
        const double v = double(y) / (picture.height() - 1);
        for (int x = 0; x < picture.width(); ++x) {
            const QColor hue = QColor::fromHsvF(float(x) / picture.width(), 1.0f, 1.0f);
            const auto mix = [](double a, double b, double t) { return a + (b - a) * t; };
            double r, g, b;
            if (v < 0.5) {
                const double t = v * 2;
                r = mix(1, hue.redF(), t), g = mix(1, hue.greenF(), t), b = mix(1, hue.blueF(), t);
            } else {
                const double t = (v - 0.5) * 2;
                r = mix(hue.redF(), 0, t), g = mix(hue.greenF(), 0, t), b = mix(hue.blueF(), 0, t);
            }
            picture.setPixel(x, y, qRgb(int(r * 255 + 0.5), int(g * 255 + 0.5), int(b * 255 + 0.5)));
        }
    }
    Save(picture, path);
}

}  // namespace

void RenderIndicators(const QString& dir)
{
    for (int bars = 1; bars <= 4; ++bars)
        Battery(dir + QStringLiteral("power%1.png").arg(bars), bars, false);
    Battery(dir + QStringLiteral("power_charging.png"), 4, true);
    for (int n = 1; n <= 16; ++n)
        Number(dir + QStringLiteral("number/number%1.png").arg(n), n);
    const char* events[] = {"mac_u.png", "mac_d.png", "mac_t.png", "mac_m.png"};
    for (int kind = 0; kind < 4; ++kind)
        EventIcon(dir + QString::fromLatin1(events[kind]), kind);
    Folder(dir + QStringLiteral("macro/open.png"), true);
    Folder(dir + QStringLiteral("macro/close.png"), false);
    ColourField(dir + QStringLiteral("color.png"));
}

}  // namespace skin
