#include "ui/app_icon.h"

#include <QPainter>
#include <QPainterPath>
#include <QPixmap>

namespace zorvan {

QIcon BuiltInIcon()
{
    QIcon icon;
    for (int size : {16, 32, 64}) {
        QPixmap pixmap(size, size);
        pixmap.fill(Qt::transparent);
        QPainter painter(&pixmap);
        painter.setRenderHint(QPainter::Antialiasing);
        painter.setBrush(QColor(0, 190, 255));
        painter.setPen(Qt::NoPen);
        painter.drawEllipse(QRectF(0.5, 0.5, size - 1.0, size - 1.0));
        QPainterPath z;
        const double m = size * 0.28;
        z.moveTo(m, m);
        z.lineTo(size - m, m);
        z.lineTo(m, size - m);
        z.lineTo(size - m, size - m);
        painter.setBrush(Qt::NoBrush);
        painter.setPen(QPen(QColor(16, 18, 22), size / 9.0, Qt::SolidLine, Qt::SquareCap, Qt::MiterJoin));
        painter.drawPath(z);
        painter.end();
        icon.addPixmap(pixmap);
    }
    return icon;
}

}  // namespace zorvan
