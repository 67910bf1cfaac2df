#include "draw.h"

#include "palette.h"

#include <QDir>
#include <QFileInfo>
#include <QPainterPath>

#include <cstdio>
#include <cstdlib>

namespace skin {

QImage NewPicture(int width, int height)
{
    QImage picture(width, height, QImage::Format_ARGB32_Premultiplied);
    picture.fill(Qt::transparent);
    return picture;
}

void Save(const QImage& picture, const QString& path)
{
    QDir().mkpath(QFileInfo(path).absolutePath());
    if (!picture.save(path)) {
        std::fprintf(stderr, "cannot write %s\n", qPrintable(path));
        std::exit(1);
    }
}

void RoundedBox(QPainter& p, const QRectF& r, double radius, const QColor& fill, const QColor& border)
{
    p.save();
    p.setRenderHint(QPainter::Antialiasing);
    p.setPen(border.alpha() ? QPen(border, 1.0) : QPen(Qt::NoPen));
    p.setBrush(fill);
    p.drawRoundedRect(r.adjusted(0.5, 0.5, -0.5, -0.5), radius, radius);
    p.restore();
}

void WindowShape(QImage& picture, double radius, const QColor& fill)
{
    picture.fill(kMaskKey);
    QPainter p(&picture);
    p.setRenderHint(QPainter::Antialiasing, false);
    p.setPen(Qt::NoPen);
    p.setBrush(fill);
    p.drawRoundedRect(QRectF(0, 0, picture.width(), picture.height()), radius, radius);
}

void Chevron(QPainter& p, const QPointF& centre, double size, const QColor& colour)
{
    p.save();
    p.setRenderHint(QPainter::Antialiasing);
    p.setPen(QPen(colour, 1.6, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    QPainterPath path;
    path.moveTo(centre.x() - size, centre.y() - size / 2);
    path.lineTo(centre.x(), centre.y() + size / 2);
    path.lineTo(centre.x() + size, centre.y() - size / 2);
    p.drawPath(path);
    p.restore();
}

}  // namespace skin
