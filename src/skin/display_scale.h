#pragma once
// The 4K flag: the skin is drawn at double size on screens whose usable area is at least 3500
// logical pixels wide and more than 1450 high. Decided once by the main window, read by every
// screen. Logical pixels: Qt's own high-DPI scaling already enlarges a 4K screen at 200 %, so
// such a screen usually stays below 3500 and the skin is not doubled twice.
#include <QRect>
#include <QSize>

namespace zorvan {

// Decides the flag for a usable screen area, with the log lines of the decision, and stores it.
bool DecideFourK(const QSize& usableScreen);

bool IsFourK();
// Tests and tools set the flag directly.
void SetFourK(bool fourK);

// A length or rectangle of the normal-size skin in window pixels (doubled in 4K mode).
int Scaled(int value);
QRect Scaled(const QRect& rect);
// The factor of the window-sized skin pictures: 2 in 4K mode, else 1.
double SkinScale();

// The device pixel ratio the skin's pictures are made for: 2 when Qt scales the screen by more
// than 1 (its own high-DPI scaling, QT_SCALE_FACTOR), else 1. At 2 a picture holds twice the
// pixels of its size (the skin's double-size files) and is measured and drawn at its
// device-independent size, so it is sharp on such a screen; pictures the 4K mode doubles
// already stay at 1 (there are no quadruple-size files). Decided at start-up from the screen.
double DecidePictureRatio(double screenRatio);
double PictureRatio();
// Tests set the ratio directly.
void SetPictureRatio(double ratio);

}  // namespace zorvan
