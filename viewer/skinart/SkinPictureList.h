#pragma once

#include <QSize>
#include <QString>

#include <vector>

// How the viewer draws a picture, which decides how it is laid out.
enum class SkinPictureKind {
    Plain,            // drawn at natural size: the picture is exactly `size`
    NinePatch,        // stretched: `size` of content inside a one-pixel marker border
    ThreeSliceV,      // cut into top / middle row / bottom: content inside a marker border
    ThreeSliceH,      // cut into left / middle column / right: content inside a marker border
    PlainInNinePatch, // a plain picture the viewer passes through the nine-patch
                      // stretch: `size` of content after one blank top row and left column
};

struct SkinPictureDef {
    QString name;     // as the viewer asks for it, e.g. "bg_list01.9.png"
    SkinPictureKind kind;
    QSize size;       // natural size of the content (see the kind)
    QSize used;       // size the viewer draws it at (a typical target for stretched pictures)
};

// The one list of every picture in the image library.
const std::vector<SkinPictureDef>& SkinPictureList();
// The entry of that name (case-insensitive), or null.
const SkinPictureDef* FindSkinPicture(const QString& name);
// Size of the stored picture file (content plus marker border where the kind has one).
QSize SkinPictureFileSize(const SkinPictureDef& def);
