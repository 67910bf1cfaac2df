#include "ui/window_placement.h"

#include <algorithm>

namespace zorvan {

QPoint InitialWindowPosition(const QRect& available, const QSize& window)
{
    const int x = available.left() + std::max(0, (available.width() - window.width()) / 2);
    const int y = available.top() + std::max(0, (available.height() - window.height()) / 2);
    return QPoint(x, y);
}

}  // namespace zorvan
