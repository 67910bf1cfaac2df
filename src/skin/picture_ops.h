#pragma once
// The picture operations of the skinned controls and windows.
#include <QImage>
#include <QRect>
#include <QRegion>

#include <cstdint>

namespace zorvan {

// Pictures are measured in device-independent pixels: a picture made for a device pixel ratio
// of 2 (PictureRatio) holds twice the pixels of its size. These give its size, and the pixels
// of a rectangle of it (for drawing a part of it).
QSize SkinSize(const QImage& picture);
QRect PixelsOf(const QImage& picture, const QRect& rect);
// `picture` smoothly scaled to `size` (device-independent pixels), for its own pixel ratio.
QImage SmoothlyScaledTo(const QImage& picture, const QSize& size);

// The part of `source` inside `rect`, on opaque black where the rectangle leaves the source.
// This gives a control the piece of its parent's background that lies under it.
QImage CropPicture(const QImage& source, const QRect& rect);

// The same picture as CropPicture, without a copy where it can: when `rect` lies inside an
// opaque part of a premultiplied `source`, the result shares the source's pixels (and keeps
// them alive). For large pieces of pictures that are shown anyway, such as a page's part of
// the main window's background.
QImage PictureArea(const QImage& source, const QRect& rect);

// `source` enlarged (or reduced) by `factor`, nearest neighbour sampled at pixel centres, edges
// repeated. The skinned dialogs double their background with it in 4K mode.
QImage ScalePicture(const QImage& source, double factor);

// Tolerances of the window shapes: the main window cuts colours near its key colour, the
// skinned dialogs only the exact key colour.
constexpr int kMainWindowShapeTolerance = 10;
constexpr int kDialogShapeTolerance = 0;

// The window shape that keeps every pixel of `picture` whose red, green or blue lies outside
// key component +- `tolerance` (`keyColour` with red in the low byte). Transparent pixels take
// the key colour, so they are cut too. In device-independent pixels, each judged by the first
// picture pixel it covers.
QRegion ShapeFromPicture(const QImage& picture, int32_t keyColour, int tolerance);

}  // namespace zorvan
