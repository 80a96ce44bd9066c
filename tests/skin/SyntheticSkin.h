#pragma once

#include <QRgb>
#include <QString>

// A stand-in image library for control tests: every picture the image
// library lists (skinart's SkinPictureList), laid out as its kind requires
// (nine-patch markers with the whole content as content box, three-slice
// markers, the blank edge of pictures passed through the nine-patch
// stretch) and filled with one opaque colour of its own, so that a test can
// tell from a pixel which picture was drawn there.
namespace SyntheticSkin {

// Writes the library into `folder` (upper-cased file names, as the image
// service looks them up). False when a file cannot be written.
bool Write(const QString& folder);

// The colour of the picture `name` (opaque; never black or white).
QRgb Colour(const QString& name);

} // namespace SyntheticSkin
