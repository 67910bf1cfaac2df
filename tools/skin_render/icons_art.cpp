// The program icon: "appico.ico" in the application folder and "zorvan.png" for the desktop.
#include "art.h"
#include "draw.h"
#include "palette.h"

#include <QLinearGradient>
#include <QPainterPath>

namespace skin {
namespace {

QImage Icon(int size)
{
    QImage picture = NewPicture(size, size);
    QPainter p(&picture);
    p.setRenderHint(QPainter::Antialiasing);
    const double s = size / 64.0;
    QLinearGradient g(0, 0, size, size);
    g.setColorAt(0, kAccent);
    g.setColorAt(1, kAccentDeep);
    p.setPen(Qt::NoPen);
    p.setBrush(g);
    p.drawRoundedRect(QRectF(2 * s, 2 * s, 60 * s, 60 * s), 15 * s, 15 * s);
    QPainterPath z;
    z.moveTo(19 * s, 19 * s);
    z.lineTo(45 * s, 19 * s);
    z.lineTo(19 * s, 45 * s);
    z.lineTo(45 * s, 45 * s);
    p.setPen(QPen(kWindow, 6 * s, Qt::SolidLine, Qt::SquareCap, Qt::MiterJoin));
    p.setBrush(Qt::NoBrush);
    p.drawPath(z);
    p.end();
    return picture;
}

}  // namespace

void RenderIcons(const QString& appDir)
{
    Save(Icon(64), appDir + QStringLiteral("appico.ico"));
    Save(Icon(256), appDir + QStringLiteral("zorvan.png"));
}

}  // namespace skin
