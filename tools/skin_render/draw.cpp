#include "draw.h"

#include "palette.h"

#include <QDir>
#include <QFileInfo>
#include <QPainterPath>

#include <cstdio>
#include <cstdlib>

namespace skin {
namespace {

int g_scale = 1;

}  // namespace

void SetRenderScale(int scale)
{
    g_scale = scale;
}

int RenderScale()
{
    return g_scale;
}

QImage NewPicture(int width, int height, QImage::Format format)
{
    QImage picture(width * g_scale, height * g_scale, format);
    picture.setDevicePixelRatio(g_scale);
    picture.fill(Qt::transparent);
    return picture;
}

QString ScaledPath(const QString& path)
{
    if (g_scale == 1)
        return path;
    const QFileInfo file(path);
    return file.path() + QLatin1Char('/') + file.completeBaseName() + QStringLiteral("@%1x.").arg(g_scale) + file.suffix();
}

void Save(const QImage& picture, const QString& path)
{
    const QString scaledPath = ScaledPath(path);
    QDir().mkpath(QFileInfo(scaledPath).absolutePath());
    if (picture.devicePixelRatio() != g_scale || !picture.save(scaledPath)) {
        std::fprintf(stderr, "cannot write %s at scale %d\n", qPrintable(scaledPath), g_scale);
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
    p.drawRoundedRect(QRectF(QPointF(0, 0), picture.deviceIndependentSize()), radius, radius);
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
