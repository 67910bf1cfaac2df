#pragma once
// Drawing helpers shared by the skin pictures.
#include <QImage>
#include <QPainter>
#include <QString>

namespace skin {

// A transparent picture of the given size with an antialiasing painter ready.
QImage NewPicture(int width, int height);
void Save(const QImage& picture, const QString& path);

void RoundedBox(QPainter& p, const QRectF& r, double radius, const QColor& fill, const QColor& border);
// A rounded window shape with hard edges on the key colour, so that the shape cut keeps no
// tinted edge pixels.
void WindowShape(QImage& picture, double radius, const QColor& fill);
// A down-pointing chevron centred at `centre`.
void Chevron(QPainter& p, const QPointF& centre, double size, const QColor& colour);

}  // namespace skin
