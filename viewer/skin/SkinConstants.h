#pragma once

#include <QtGlobal>

// Fixed values of the skin toolkit: texts, resource names, colours.
namespace SkinConst {

// Message boxes of the image service (the name is filled in upper-cased).
inline constexpr const char* kFailNormalImage = "Error : Fail to load normal image [%1]\n";
inline constexpr const char* kFailNinePatchImage = "Error : Fail to load nine patch image [%1]\n";
// Caption of the image service's message boxes.
inline constexpr const char* kAppTitle = "Kestrav";

// Where the pictures of the registered image library live (Qt resource
// path, upper-cased picture name appended).
inline constexpr const char* kImageLibraryRoot = ":/PNG/";

// The brand picture inside a card's settings program.
inline constexpr const char* kBrandResourceType = "PNG";
inline constexpr const char* kBrandResourceName = "IDB_BI";

// Digits of CRImageNum: entries 0-9 and the disabled picture (entry 10).
inline constexpr const char* kSpeedDigitPictures[11] = {
    "num_speed_00.png", "num_speed_01.png", "num_speed_02.png", "num_speed_03.png",
    "num_speed_04.png", "num_speed_05.png", "num_speed_06.png", "num_speed_07.png",
    "num_speed_08.png", "num_speed_09.png", "num_speed_dis.png",
};
inline constexpr int kImageNumLimit = 1000; // CRImageNum shows 0..999

// CTButton's caption font height; its style's fontHeight only centres the text.
inline constexpr int kTButtonFontHeight = 12;

// Balloon placement: offset below-right of the button's bottom-left corner.
inline constexpr int kBalloonGap = 8;
// Balloon size: measured text width plus this, by a fixed height.
inline constexpr int kBalloonExtraWidth = 25;
inline constexpr int kBalloonHeight = 27;
inline constexpr const char* kBalloonPicture = "bg_info.9.png";
inline constexpr const char* kBalloonTitle = "Balloon";

} // namespace SkinConst
