#pragma once

#include <QColor>
#include <QRect>

// Fixed values of the viewer windows: sizes, timers, messages, colours, texts.
namespace WindowsIds {

// ---- Splash window -------------------------------------------------------
inline constexpr int kSplashWidth = 480;
inline constexpr int kSplashHeight = 320;
inline constexpr const char* kSplashTitle = "Kestrav";
inline constexpr const char* kSplashPicture = "splash.png";

// Timer 103 advances the progress by one step per period; after the last
// step the window ends with the OK result.
inline constexpr int kSplashTimerId = 103;
inline constexpr int kSplashTimerPeriodMs = 10;
inline constexpr int kSplashSteps = 100;
// The window's "set step" message (WM_USER + 20): wParam = the new step.
inline constexpr int kSplashStepMessage = 0x0400 + 20;

// The progress bar's track (left, top, right, bottom exclusive) and colours.
inline constexpr int kSplashTrackLeft = 34;
inline constexpr int kSplashTrackTop = 182;
inline constexpr int kSplashTrackRight = 214;
inline constexpr int kSplashTrackBottom = 185;
inline constexpr QRgb kSplashTrackColor = 0xFF222527;  // RGB(34, 37, 39)
inline constexpr QRgb kSplashFillColor = 0xFF6CB4EB;   // RGB(108, 180, 235)
// Fill width per step: the single-precision 1.8 widened to double, so that
// step 100 fills 179 of the 180 track pixels.
inline constexpr double kSplashFillPerStep = double(1.8f);

// The two text lines: the version and a one-line notice.
inline constexpr QRgb kSplashTextColor = 0xFFC1C2C2; // RGB(193, 194, 194)
inline const QRect kSplashVersionBox(30, 267, 300, 17); // (30, 267)-(330, 284)
inline const QRect kSplashNoticeBox(30, 284, 300, 17);  // (30, 284)-(330, 301)
inline constexpr const char* kSplashVersionPrefix = "Version  ";
inline constexpr const char* kSplashNotice = "Copyright (C) Norvane. All rights reserved.";
inline constexpr const char* kSplashFontFace = "tahoma";
inline constexpr const char* kSplashFontSizeKey = "TEXTSIZE_SPLASH";
// Version text when the program's version cannot be read.
inline constexpr const char* kSplashNoVersion = "0.0.0.00";


// ---- Front and rear video windows ----------------------------------------
// Control ids given by the main window.
inline constexpr int kFrontVideoId = 2000;
inline constexpr int kRearVideoId = 2001;
inline constexpr const char* kVideoWindowTitle = "Kestrav";

// Skin pictures: the no-video look of each window and the title drawn
// centred on the front one; the rear window's notice background.
inline constexpr const char* kPicViewFront = "view_front.png";
inline constexpr const char* kPicViewTitle = "view_title.png";
inline constexpr int kViewTitleWidth = 173;
inline constexpr int kViewTitleHeight = 44;
// The title's top-left corner: (width / 2 - 83, height / 2 - 22).
inline constexpr int kViewTitleHalfWidth = 83;
inline constexpr int kViewTitleHalfHeight = 22;
inline constexpr const char* kPicViewRear = "view_rear.png";
inline constexpr const char* kPicRearNotice = "bg_list02.9.png";

// The rear notice (front-only play of a card with front and rear streams):
// two texts, font height 13, colour RGB(182, 199, 215), centred and wrapped
// in (left + 20, t, right - 35, t + 40) and (left + 20, t + 80, right - 35,
// t + 120) with t = (height - 160) / 2.
inline constexpr const char* kTextRearNotice1 = "IDS_STRING_K_106";
inline constexpr const char* kTextRearNotice2 = "IDS_STRING_K_107";
inline constexpr int kRearNoticeFontHeight = 13;
inline constexpr QRgb kRearNoticeColor = 0xFFB6C7D7;
inline constexpr int kRearNoticeLeftInset = 20;
inline constexpr int kRearNoticeRightInset = 35;
inline constexpr int kRearNoticeBlock = 160;
inline constexpr int kRearNoticeLineHeight = 40;
inline constexpr int kRearNoticeSecondTop = 80;

// Messages of the video windows to the main window (window-message numbers).
inline constexpr unsigned kMsgVideoPause = 0x040F;       // WM_VIDEO_PAUSE: a picture drag begins
inline constexpr unsigned kMsgControlValue = 0x0590;     // wParam control code, lParam value
inline constexpr unsigned kMsgControlReleased = 0x0591;  // wParam control code
inline constexpr unsigned kMsgPicturePan = 0x059A;       // the pan pair changed
inline constexpr unsigned kMsgPictureRedraw = 0x059B;    // after every paint: wParam 1 front, 0 rear
inline constexpr unsigned kMsgClosePanels = 0x05F4;      // before the context menu opens
// Control codes the front window passes on: the control box's progress
// slider reports as 1204 and is passed on as the position slider 1200.
inline constexpr int kCodePositionSlider = 1200;
inline constexpr int kCodeControlBoxSlider = 1204;

// Commands.
inline constexpr int kCmdContextPlayPause = 1083;
inline constexpr int kCmdContextFullScreen = 1086;
inline constexpr int kCmdContextFullWindow = 1087;
inline constexpr int kCmdCaptionClose = 1300;
inline constexpr int kCmdCaptionMinimise = 1301;
inline constexpr int kCmdCaptionReduce = 1302;
inline constexpr int kCmdFitArea = 1305;

// Panning an enlarged front picture: pan x in -100..0, pan y in 0..100 (per
// cent); the bars' arrows step by 10, a drag moves by (distance from where
// the button went down) / 30 per pointer move.
inline constexpr int kPanStep = 10;
inline constexpr int kPanDragDivisor = 30;
inline constexpr int kPanMin = -100;
inline constexpr int kPanMax = 100;

// The zoom bars and the fit button: 15-wide vertical bar along the right
// edge, 14-high horizontal bar along the bottom, 14 x 14 fit button in the
// corner between them.
inline constexpr int kZoomBarInset = 14;
inline constexpr int kZoomBarThickness = 15;
inline constexpr int kFitButtonSize = 14;
inline constexpr const char* kPicFitNormal = "btn_fitarea_normal.png";
inline constexpr const char* kPicFitOver = "btn_fitarea_over.png";
inline constexpr const char* kPicFitPress = "btn_fitarea_press.png";
inline constexpr const char* kTextFitBalloon = "IDS_STRING_K_056";

// The front window's context menu: 256 x 78, three entries (label and key
// text) with a separator after the first.
inline constexpr int kContextMenuWidth = 256;
inline constexpr int kContextMenuHeight = 78;
inline constexpr const char* kPicMenuBackground = "bg_rightclick.9.png";
inline constexpr const char* kPicMenuHeld = "list_bg_press.9.png";
inline constexpr const char* kPicMenuHover = "list_bg_over.9.png";
inline constexpr const char* kPicMenuSeparator = "line.9.png";
inline constexpr int kMenuSeparatorWidth = 241;
inline constexpr int kMenuSeparatorHeight = 2;
inline constexpr int kMenuSeparatorX = 7;
inline constexpr int kMenuSeparatorY = 25;
inline constexpr QRgb kMenuTextColor = 0xFF000000;
inline constexpr QRgb kMenuHoverTextColor = 0xFFFFFFFF;
struct VideoMenuEntry {
    const char* text;
    const char* keyText;
    int command;
};
inline constexpr VideoMenuEntry kVideoMenuEntries[] = {
    {"IDS_STRING_K_030", "IDS_STRING_K_031", kCmdContextPlayPause},
    {"IDS_STRING_K_034", "IDS_STRING_K_035", kCmdContextFullScreen},
    {"IDS_STRING_K_036", "IDS_STRING_K_037", kCmdContextFullWindow},
};

// Full-screen overlays: the caption along the top (client width x 37) and
// the control box centred near the bottom (695 x 159, its top 159 above the
// bottom); they hide, with the pointer, after five seconds without movement.
inline constexpr int kOverlayHideTimerId = 102;
inline constexpr int kOverlayHideMs = 5000;
inline constexpr int kCaptionHeight = 37;
inline constexpr int kControlBoxWidth = 695;
inline constexpr int kControlBoxHeight = 159;

} // namespace WindowsIds
