#pragma once
// Where the main window opens: centred in the screen's available area (without panels and
// docks); on a screen smaller than the window, at the area's top-left corner, so that it
// never opens partly off the screen on the left or the top.
#include <QPoint>
#include <QRect>
#include <QSize>

namespace zorvan {

QPoint InitialWindowPosition(const QRect& available, const QSize& window);

}  // namespace zorvan
