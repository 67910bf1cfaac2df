#pragma once
// A widget as it is drawn now, after the pending events, in the pixels of its screen (twice
// its size where Qt scales the screen by 2).
#include <QApplication>
#include <QImage>
#include <QWidget>

inline QImage RenderWidget(QWidget& widget)
{
    QApplication::processEvents();
    const qreal ratio = widget.devicePixelRatioF();
    QImage image(widget.size() * ratio, QImage::Format_ARGB32_Premultiplied);
    image.setDevicePixelRatio(ratio);
    image.fill(Qt::transparent);
    widget.render(&image);
    return image;
}
