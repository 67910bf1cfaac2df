#pragma once
// A widget as it is drawn now, after the pending events.
#include <QApplication>
#include <QImage>
#include <QWidget>

inline QImage RenderWidget(QWidget& widget)
{
    QApplication::processEvents();
    QImage image(widget.size(), QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    widget.render(&image);
    return image;
}
