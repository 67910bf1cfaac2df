#pragma once
// One decoded copy of each skin picture. Windows and controls that show the same file share
// its pixels (QImage is implicitly shared), so "key_nr.png" under the main window and the key
// page, or a title button's picture used for all three states, is decoded once.
//
// A picture stays in the cache while anyone else still holds it. Pictures that only served to
// cut pieces (a page background cropped to the page area, the unscaled source of a doubled
// picture) are forgotten once the event loop runs again after they were loaded, so they do
// not stay in memory; a later load decodes them again.
#include <QImage>
#include <QString>

namespace zorvan {

// The picture at `path` in a 32-bit premultiplied format, enlarged by `scale` (ScalePicture;
// the skin passes SkinScale() for window-sized pictures). A null picture when the file is
// absent or not a picture; such misses are not remembered.
QImage LoadPicture(const QString& path, double scale = 1.0);

// Forgets the pictures that nobody but the cache holds.
void ReleaseUnusedPictures();

// How many picture files were decoded so far.
int PictureDecodeCount();

}  // namespace zorvan
