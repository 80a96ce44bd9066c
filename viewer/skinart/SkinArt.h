#pragma once

#include <QImage>
#include <QString>

#include <functional>
#include <vector>

// One picture of the image library: its file name as the skin asks for it
// (e.g. "bg.9.png") and the routine that draws it.
struct SkinArtPicture {
    QString name;
    std::function<QImage()> draw;
};

// Every picture the viewer uses.
std::vector<SkinArtPicture> AllSkinPictures();
