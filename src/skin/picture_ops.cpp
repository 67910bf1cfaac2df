#include "skin/picture_ops.h"

#include "skin/colour.h"

#include <QPainter>

#include <algorithm>
#include <cmath>
#include <vector>

namespace zorvan {

QSize SkinSize(const QImage& picture)
{
    return picture.deviceIndependentSize().toSize();
}

QRect PixelsOf(const QImage& picture, const QRect& rect)
{
    const qreal ratio = picture.devicePixelRatio();
    if (ratio == 1.0)
        return rect;
    return QRect(QPoint(qRound(rect.x() * ratio), qRound(rect.y() * ratio)),
                 QSize(qRound(rect.width() * ratio), qRound(rect.height() * ratio)));
}

QImage SmoothlyScaledTo(const QImage& picture, const QSize& size)
{
    const qreal ratio = picture.devicePixelRatio();
    QImage scaled = picture.scaled(size * ratio, Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
    scaled.setDevicePixelRatio(ratio);
    return scaled;
}

namespace {

// CropPicture in the picture's own pixels.
QImage CropPixels(const QImage& source, const QRect& rect)
{
    QImage piece(rect.size().expandedTo(QSize(0, 0)), QImage::Format_ARGB32_Premultiplied);
    if (piece.isNull())
        return piece;
    const QRect inside = rect.intersected(source.rect());
    if (inside != rect)
        piece.fill(Qt::black);
    if (inside.isEmpty())
        return piece;
    // Drawn over opaque black, a premultiplied pixel keeps its colour and becomes opaque: one
    // pass over the rows instead of a fill and a blend (page backgrounds are large).
    const QImage from = source.format() == QImage::Format_ARGB32_Premultiplied
                            ? source
                            : source.convertToFormat(QImage::Format_ARGB32_Premultiplied);
    const QPoint offset = inside.topLeft() - rect.topLeft();
    for (int y = 0; y < inside.height(); ++y) {
        const auto* in = reinterpret_cast<const QRgb*>(from.constScanLine(inside.top() + y)) + inside.left();
        auto* out = reinterpret_cast<QRgb*>(piece.scanLine(offset.y() + y)) + offset.x();
        for (int x = 0; x < inside.width(); ++x)
            out[x] = in[x] | 0xFF000000u;
    }
    return piece;
}

bool OpaqueIn(const QImage& picture, const QRect& rect)
{
    for (int y = rect.top(); y <= rect.bottom(); ++y) {
        const auto* row = reinterpret_cast<const QRgb*>(picture.constScanLine(y));
        for (int x = rect.left(); x <= rect.right(); ++x)
            if (qAlpha(row[x]) != 255)
                return false;
    }
    return true;
}

}  // namespace

QImage CropPicture(const QImage& source, const QRect& rect)
{
    QImage piece = CropPixels(source, PixelsOf(source, rect));
    piece.setDevicePixelRatio(source.devicePixelRatio());
    return piece;
}

QImage PictureArea(const QImage& source, const QRect& rect)
{
    const QRect pixels = PixelsOf(source, rect);
    if (source.format() != QImage::Format_ARGB32_Premultiplied || pixels.isEmpty() || !source.rect().contains(pixels) ||
        !OpaqueIn(source, pixels))
        return CropPicture(source, rect);
    // Drawn over black, opaque pixels stay as they are: the piece is a window into the source.
    // Its pixels are the source's and it is only drawn from; they are handed over writable
    // only so that marking the piece with the source's pixel ratio does not copy them.
    auto* kept = new QImage(source);
    auto* first = const_cast<uchar*>(kept->constBits()) + pixels.top() * kept->bytesPerLine() + pixels.left() * 4;
    QImage piece(first, pixels.width(), pixels.height(), kept->bytesPerLine(), QImage::Format_ARGB32_Premultiplied,
                 [](void* picture) { delete static_cast<QImage*>(picture); }, kept);
    piece.setDevicePixelRatio(source.devicePixelRatio());
    return piece;
}

QImage ScalePicture(const QImage& source, double factor)
{
    const int width = int(source.width() * factor);
    const int height = int(source.height() * factor);
    if (source.isNull() || width <= 0 || height <= 0)
        return {};
    const QImage from = source.convertToFormat(QImage::Format_ARGB32);
    QImage scaled(width, height, QImage::Format_ARGB32);
    for (int y = 0; y < height; ++y) {
        const int sy = std::clamp(int(std::floor((y + 0.5) / factor)), 0, from.height() - 1);
        const auto* in = reinterpret_cast<const QRgb*>(from.constScanLine(sy));
        auto* out = reinterpret_cast<QRgb*>(scaled.scanLine(y));
        for (int x = 0; x < width; ++x)
            out[x] = in[std::clamp(int(std::floor((x + 0.5) / factor)), 0, from.width() - 1)];
    }
    return scaled;
}

QRegion ShapeFromPicture(const QImage& picture, int32_t keyColour, int tolerance)
{
    const QColor key = ColourOf(keyColour);
    QImage composed(picture.size(), QImage::Format_RGB32);
    composed.fill(key);
    {
        QPainter painter(&composed);
        painter.drawImage(composed.rect(), picture);
    }
    // The key's range per component, read once: this runs over every pixel of the window.
    struct Range {
        int low, high;
        bool Holds(int component) const { return component >= low && component <= high; }
    };
    const auto rangeOf = [tolerance](int keyComponent) {
        return Range{keyComponent - tolerance, std::min(keyComponent + tolerance, 255)};
    };
    const Range red = rangeOf(key.red()), green = rangeOf(key.green()), blue = rangeOf(key.blue());
    const QSize size = SkinSize(picture);
    const int width = size.width();
    const int step = std::max(1, qRound(picture.devicePixelRatio()));
    std::vector<QRect> runs;
    for (int y = 0; y < size.height(); ++y) {
        const auto* row = reinterpret_cast<const QRgb*>(composed.constScanLine(y * step));
        int start = -1;
        for (int x = 0; x <= width; ++x) {
            const QRgb pixel = x < width ? row[x * step] : 0;
            const bool kept = x < width && !(red.Holds(qRed(pixel)) && green.Holds(qGreen(pixel)) && blue.Holds(qBlue(pixel)));
            if (kept && start < 0)
                start = x;
            if (!kept && start >= 0) {
                runs.emplace_back(start, y, x - start, 1);
                start = -1;
            }
        }
    }
    QRegion shape;
    shape.setRects(runs.data(), int(runs.size()));
    return shape;
}

}  // namespace zorvan
