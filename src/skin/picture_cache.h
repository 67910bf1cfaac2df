#pragma once
// One decoded copy of each skin picture. Windows and controls that show the same file share
// its pixels (QImage is implicitly shared), so "key_nr.png" under the main window and the key
// page, or a title button's picture used for all three states, is decoded once.
//
// In the doubled window only the doubled pictures are held: a skin's double-size file where it
// has one, the normal-size picture enlarged where not (its normal-size source is dropped).
//
// A picture stays in the cache while anyone else still holds it. Pictures that only served to
// cut pieces (a page background cropped to the page area, the unscaled source of a doubled
// picture) are forgotten once the event loop runs again after they were loaded, so they do
// not stay in memory; a later load decodes them again.
#include <QImage>
#include <QString>

namespace zorvan {

// The picture at `path` in a 32-bit premultiplied format, `scale` times its normal size (the
// skin passes SkinScale()) in device-independent pixels, made for PictureRatio(): at a ratio
// of 2 it holds twice those pixels and is marked with that device pixel ratio (a picture
// already doubled by `scale` stays at 1). Where twice the
// normal pixels are wanted, a skin's double-size picture "NAME@2x.png" beside "NAME.png" is
// taken as it is, and the normal-size one is not decoded at all; a skin without one gets the
// normal-size picture enlarged (ScalePicture). A null picture when the file is absent or not a
// picture; such misses are not remembered.
QImage LoadPicture(const QString& path, double scale = 1.0);

// The file a skin may hold for `path` at `scale`: `path` itself at 1, "NAME@2x.png" at 2
// (Qt's naming of double-size pictures), none at other scales.
QString ScaledPictureFile(const QString& path, double scale);

// Forgets the pictures that nobody but the cache holds.
void ReleaseUnusedPictures();

// How many picture files were decoded so far.
int PictureDecodeCount();

}  // namespace zorvan
