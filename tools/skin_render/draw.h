#pragma once
// Drawing helpers shared by the skin pictures.
#include <QImage>
#include <QPainter>
#include <QString>

namespace skin {

// The scale the pictures are rendered at: 1 writes "NAME.png", 2 writes "NAME@2x.png" beside it
// (the doubled skin). Every picture is drawn in normal-size skin pixels either way.
void SetRenderScale(int scale);
int RenderScale();

// A transparent picture of the given normal-size dimensions at the render scale (its painter
// draws in normal-size pixels), with an antialiasing painter ready.
QImage NewPicture(int width, int height, QImage::Format format = QImage::Format_ARGB32_Premultiplied);
// The file a picture named `path` (the normal-size name) has at the render scale.
QString ScaledPath(const QString& path);
// Writes `picture` as `path` at the render scale.
void Save(const QImage& picture, const QString& path);

void RoundedBox(QPainter& p, const QRectF& r, double radius, const QColor& fill, const QColor& border);
// A rounded window shape with hard edges on the key colour, so that the shape cut keeps no
// tinted edge pixels.
void WindowShape(QImage& picture, double radius, const QColor& fill);
// A down-pointing chevron centred at `centre`.
void Chevron(QPainter& p, const QPointF& centre, double size, const QColor& colour);

}  // namespace skin
