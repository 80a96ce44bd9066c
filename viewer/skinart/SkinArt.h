#pragma once

#include "skinart/SkinPictureList.h"

#include <QImage>
#include <QString>
#include <QStringList>

#include <functional>
#include <map>
#include <vector>

// Draws one picture of the image library: the whole stored file, marker
// border included for stretched kinds (ARGB32, transparent pixels that are
// not markers stored as transparent white).
using SkinArtDraw = std::function<QImage(const SkinPictureDef&)>;

// Name -> drawing routine; each family of pictures adds its own.
struct SkinArtRegistry {
    std::map<QString, SkinArtDraw> draw;
    void Add(const QString& name, SkinArtDraw fn) { draw[name] = std::move(fn); }
};

void AddBrandArt(SkinArtRegistry& reg);     // splash, video backgrounds, map placeholder, badges
void AddWindowArt(SkinArtRegistry& reg);    // window background, panels, title bars, fields, popups
void AddButtonArt(SkinArtRegistry& reg);    // caption, title, transport and toolbar buttons
void AddListArt(SkinArtRegistry& reg);      // play list rows, tabs, scroll bar, menus
void AddIndicatorArt(SkinArtRegistry& reg); // digits, gauge, sliders, signals, small icons

// One picture of the library with its drawing routine.
struct SkinArtPicture {
    SkinPictureDef def;
    SkinArtDraw draw;
};

// Every listed picture with its routine, in list order. `problems` receives
// the listed names without a routine and the routines for unlisted names.
std::vector<SkinArtPicture> AllSkinPictures(QStringList* problems = nullptr);
