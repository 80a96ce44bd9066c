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

// ---- Scroll bars ------------------------------------------------------------
// Messages to a scroll bar's notify window (window-message numbers).
inline constexpr unsigned kMsgScrollUp = 0x0402;         // up arrow clicked
inline constexpr unsigned kMsgScrollDown = 0x0403;       // down arrow clicked
inline constexpr unsigned kMsgScrollPercent = 0x0404;    // thumb dragged: wParam = per cent
inline constexpr unsigned kMsgScrollLeft = 0x040A;       // left arrow clicked
inline constexpr unsigned kMsgScrollRight = 0x040B;      // right arrow clicked
inline constexpr unsigned kMsgScrollPercentHor = 0x040C; // thumb dragged: wParam = per cent
// Arrow buttons' control ids.
inline constexpr int kScrollUpId = 1261;
inline constexpr int kScrollDownId = 1262;
inline constexpr int kScrollLeftId = 1263;
inline constexpr int kScrollRightId = 1264;
// Geometry: arrows are 13 x 13 at both ends; the thumb runs between them,
// 2..13 across the bar; the track picture is prepared at 15 x 222.
inline constexpr int kScrollArrow = 13;
inline constexpr int kScrollThumbNear = 2;
inline constexpr int kScrollThumbFar = 13;
inline constexpr int kScrollTrackWidth = 15;
inline constexpr int kScrollTrackLength = 222;
// Below this length the thumb's middle slice is one pixel high.
inline constexpr int kScrollThumbMinSliced = 16;
// Vertical bar pictures.
inline constexpr const char* kScrollTrackPicture = "scroll_bg.9.png";
inline constexpr const char* kScrollUpPictures[4] = {"scroll_btn_up_normal.png", "scroll_btn_up_over.png",
                                                     "scroll_btn_up_press.png", "scroll_btn_up_dim.png"};
inline constexpr const char* kScrollDownPictures[4] = {"scroll_btn_down_normal.png", "scroll_btn_down_over.png",
                                                       "scroll_btn_down_press.png", "scroll_btn_down_dim.png"};
inline constexpr const char* kScrollThumbPictures[3] = {"scroll_handler_normal.9.png", "scroll_handler_over.9.png",
                                                        "scroll_handler_press.9.png"};
// Horizontal bar pictures: the vertical ones turned a quarter.
inline constexpr const char* kScrollTrackPictureHor = "scroll_bg_hor.9.png";
inline constexpr const char* kScrollLeftPictures[4] = {"scroll_btn_left_normal.png", "scroll_btn_left_over.png",
                                                       "scroll_btn_left_press.png", "scroll_btn_left_dim.png"};
inline constexpr const char* kScrollRightPictures[4] = {"scroll_btn_right_normal.png", "scroll_btn_right_over.png",
                                                        "scroll_btn_right_press.png", "scroll_btn_right_dim.png"};
inline constexpr const char* kScrollThumbPicturesHor[3] = {
    "scroll_handler_hor_normal.9.png", "scroll_handler_hor_over.9.png", "scroll_handler_hor_press.9.png"};
// Activation traces.
inline constexpr const char* kTraceScrollActive = "CRScrollBar---->WA_ACTIVE";
inline constexpr const char* kTraceScrollInactive = "CRScrollBar---->WA_INACTIVE";

// ---- Sliders ----------------------------------------------------------------
// Messages to a slider's parent: wParam = slider id.
inline constexpr unsigned kMsgSliderValue = 0x0590;    // lParam = reported value
inline constexpr unsigned kMsgSliderReleased = 0x0591; // lParam = 0
inline constexpr float kSliderDefaultMax = 100.0f;
inline constexpr float kSliderNoValueDrawn = -0.1f;    // "last drawn value" before the first paint
// Balloon modes of CTSliderCtrl and the speed-code texts of mode 2.
inline constexpr int kBalloonNumber = 1;
inline constexpr int kBalloonSpeed = 2;
inline constexpr const char* kSpeedCodeTexts[7] = {"x0.2", "x0.5", "x0.7", "x1.0", "x2.0", "x3.0", "x4.0"};

} // namespace SkinConst
