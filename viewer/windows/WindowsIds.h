#pragma once

#include <QColor>
#include <QRect>

// Fixed values of the viewer windows: sizes, timers, messages, colours, texts.
namespace WindowsIds {

// ---- Messages the overlays send to their notify window ----------------------
// Numbers as the receivers know them; commands travel as Command(id).
inline constexpr unsigned kMsgControlValue = 0x0590;    // wParam = control code, lParam = value
inline constexpr unsigned kMsgControlReleased = 0x0591; // wParam = control code, lParam = 0

// ---- Full-screen caption (CFullScrCaption) ------------------------------------
inline constexpr const char* kCaptionTitle = "ScrCaption";
inline constexpr int kCaptionHeight = 37;
inline constexpr int kCaptionCloseId = 1300;
inline constexpr int kCaptionMinimiseId = 1301;
inline constexpr int kCaptionReduceId = 1302;
inline constexpr int kCaptionTitleId = 1168;
// The buttons keep their distance from the right edge: (W - left, top,
// W - right, bottom) for a caption W wide.
inline constexpr int kCaptionCloseFromRight[4] = {45, 0, 16, 36};
inline constexpr int kCaptionMinimiseFromRight[4] = {74, 0, 45, 36};
inline constexpr int kCaptionReduceFromRight[4] = {103, 0, 74, 36};
inline constexpr const char* kCaptionClosePictures[3] = {"btn_close_nor.png", "btn_close_over.png",
                                                         "btn_close_press.png"};
inline constexpr const char* kCaptionMinimisePictures[3] = {"btn_minimum_nor.png", "btn_minimum_over.png",
                                                            "btn_minimum_press.png"};
inline constexpr const char* kCaptionReducePictures[3] = {"btn_reduction_nor.png", "btn_reduction_over.png",
                                                          "btn_reduction_press.png"};
inline constexpr const char* kCaptionReduceBalloonKey = "IDS_STRING_K_085";
inline constexpr int kCaptionReduceBalloonDy = 0;   // added to the balloon's y
inline constexpr int kCaptionReduceBalloonDx = -25; // added to the balloon's x
inline constexpr const char* kCaptionBackground = "full_title_bg.9.png";
inline constexpr const char* kCaptionBrandPicture = "bi_orvia.png";
inline constexpr const char* kCaptionDevicePicture = "ic_blackbox.png";
inline constexpr int kCaptionBrandAt[2] = {10, 6};
inline constexpr int kCaptionBrandGap = 16;   // model picture x = brand width + this
inline constexpr int kCaptionPictureGap = 6;  // after the model picture (or in its place)
inline constexpr int kCaptionDeviceRaise = 12; // device picture y = middle - this
inline constexpr int kCaptionTitleGap = 36;   // title x = device picture x + this
// The title at creation: x = brand width + 20, (x, 16)-(x + 207, 31).
inline constexpr int kCaptionTitleFromBrand = 20;
inline constexpr int kCaptionTitleTop = 16;
inline constexpr int kCaptionTitleBottom = 31;
inline constexpr int kCaptionTitleWidth = 207;
inline constexpr QRgb kCaptionTitleColor = 0xFFB6C7D7; // RGB(182, 199, 215); hover and press white
inline constexpr int kCaptionTitleStyleHeight = 13;
inline constexpr const char* kCaptionTitleFontKey = "TEXTSIZE_MOVARA_3";
inline constexpr int kCaptionTitleFontDefault = 13;
// Model pictures by the model name the card gives, and how far above the
// caption's middle line each is drawn; any other model uses the picture of
// the card's settings program, centred on the middle line.
struct CaptionModelPicture {
    const char* model;
    const char* picture;
    int raise;
};
inline constexpr CaptionModelPicture kCaptionModelPictures[4] = {
    {"ARX550", "bi_arx550.png", 12},
    {"BT33", "bi_bt33.png", 9},
    {"ARX330", "bi_arx330.png", 9},
    {"CMV550View", "bi_cmv550view.png", 9},
};

// ---- Full-screen control box (CFullScrControlBox) -----------------------------
inline constexpr const char* kControlBoxTitle = "ScrControl";
inline constexpr int kControlBoxWidth = 695;
inline constexpr int kControlBoxHeight = 159;
inline constexpr const char* kControlBoxBackground = "full_bg.9.png";
// Its buttons (layered popups placed over the box; client coordinates).
inline constexpr int kCmdPlay = 1100;
inline constexpr int kCmdPause = 1101;
inline constexpr int kCmdStop = 1102;
inline constexpr int kCmdPrevious = 1103;
inline constexpr int kCmdNext = 1104;
inline constexpr int kCmdBack10 = 1105;
inline constexpr int kCmdForward10 = 1106;
inline constexpr int kCmdZoomMenu = 1107;
inline constexpr int kCmdPictureSettings = 1108;
inline constexpr int kCmdSave = 1109;
inline constexpr int kCmdVolume = 1110;
inline constexpr int kCmdContinuousPlay = 1111;
inline constexpr int kCmdSwap = 1303;
struct ControlBoxButton {
    const char* title;
    int command;
    int x, y, width, height;
    const char* normal;
    const char* over;
    const char* press;
    const char* balloonKey; // null: no balloon
};
inline constexpr ControlBoxButton kControlBoxButtons[13] = {
    {"VideoPre", kCmdPrevious, 113, 71, 60, 60, "btn_pre_normal.png", "btn_pre_over.png", "btn_pre_press.png", nullptr},
    {"VideoSec1", kCmdBack10, 184, 71, 60, 60, "btn_sec1_normal.png", "btn_sec1_over.png", "btn_sec1_press.png", nullptr},
    {"VideoPlay", kCmdPlay, 255, 58, 86, 86, "btn_play_normal.png", "btn_play_over.png", "btn_play_press.png", nullptr},
    {"VideoPause", kCmdPause, 255, 58, 86, 86, "btn_pause_normal.png", "btn_pause_over.png", "btn_pause_press.png",
     nullptr},
    {"VideoStop", kCmdStop, 352, 58, 86, 86, "btn_stop_normal.png", "btn_stop_over.png", "btn_stop_press.png", nullptr},
    {"VideoSec2", kCmdForward10, 449, 71, 60, 60, "btn_sec2_normal.png", "btn_sec2_over.png", "btn_sec2_press.png",
     nullptr},
    {"VideoNext", kCmdNext, 520, 71, 60, 60, "btn_next_normal.png", "btn_next_over.png", "btn_next_press.png", nullptr},
    {"VideoConnect", kCmdContinuousPlay, 445, 36, 36, 24, "btn_connect_off_normal.png", "btn_connect_over.png",
     "btn_connect_press.png", "IDS_STRING_K_081"},
    {"VideoChange", kCmdSwap, 481, 36, 36, 24, "btn_change_normal_2.png", "btn_change_over_2.png",
     "btn_change_press_2.png", "IDS_STRING_K_052"},
    {"VideoSize", kCmdZoomMenu, 517, 36, 36, 24, "btn_size_normal.png", "btn_size_over.png", "btn_size_press.png",
     "IDS_STRING_K_053"},
    {"VideoSetting", kCmdPictureSettings, 553, 36, 36, 24, "btn_setting_normal.png", "btn_setting_over.png",
     "btn_setting_press.png", "IDS_STRING_K_054"},
    {"VideoSave", kCmdSave, 589, 36, 36, 24, "btn_save_normal.png", "btn_save_over.png", "btn_save_press.png",
     "IDS_STRING_K_055"},
    {"VideoVolume", kCmdVolume, 625, 36, 36, 24, "btn_volume_normal.png", "btn_volume_over.png",
     "btn_volume_press.png", "IDS_STRING_K_057"},
};
// The continuous-play button's selected picture; the swap button's look while disabled.
inline constexpr const char* kContinuousSelectedPicture = "btn_connect_on_normal.png";
inline constexpr const char* kSwapDisabledPicture = "btn_change_dis_2.png";
// The volume button's level icons 0 (mute) .. 5, drawn at (18, 4) of the button.
inline constexpr const char* kVolumeIcons[6] = {"ic_volume_mute.png", "ic_volume_01.png", "ic_volume_02.png",
                                                "ic_volume_03.png",   "ic_volume_04.png", "ic_volume_05.png"};
inline constexpr int kVolumeIconAt[2] = {18, 4};
// The position slider: code 1204, 643 x 7 at (25, 24), per cent 0..100.
inline constexpr const char* kPositionSliderTitle = "ScrVideo";
inline constexpr int kPositionSliderCode = 1204;
inline constexpr int kPositionSliderAt[4] = {25, 24, 643, 7};
inline constexpr float kPositionSliderMax = 100.0f;
inline constexpr const char* kPositionSliderThumb = "progress_point.png";
inline constexpr const char* kPositionSliderTrack = "progress_bg.9.png";
inline constexpr const char* kPositionSliderFill = "progress_bar.9.png";
// The playing and total times: boxes (left, top, right, bottom), colours, font.
inline constexpr int kCurrentTimeBox[4] = {25, 32, 75, 52};
inline constexpr int kTotalTimeBox[4] = {91, 32, 146, 52};
inline constexpr QRgb kCurrentTimeColor = 0xFF3FA8EB; // RGB(63, 168, 235)
inline constexpr QRgb kTotalTimeColor = 0xFFA2ACB9;   // RGB(162, 172, 185)
inline constexpr const char* kCurrentTimeFormat = "%02d:%02d:%02d /";
inline constexpr const char* kTotalTimeFormat = "%02d:%02d:%02d";
inline constexpr const char* kTimeFontKey = "TEXTSIZE_FULLSCR";
inline constexpr int kTimeFontDefault = 14;
inline constexpr const char* kTimeFontFace = "tahoma";

// ---- Device information dialog (CBbInfoDlg) -----------------------------------
inline constexpr int kBbInfoWidth = 386;
inline constexpr int kBbInfoHeight = 245;
inline constexpr int kBbInfoOkId = 1;
inline constexpr const char* kBbInfoOkText = "확인";
inline constexpr int kBbInfoOkWidth = 75;  // 50 x 14 dialog units of the dialog's 8-point font
inline constexpr int kBbInfoOkHeight = 23;
inline constexpr int kBbInfoOkFromRight = 85; // button at (W - 85, H - 35)
inline constexpr int kBbInfoOkFromBottom = 35;
// Labels and their values.
inline constexpr int kBbInfoModelLabel = 1009;
inline constexpr int kBbInfoFirmwareLabel = 1010;
inline constexpr int kBbInfoCapacityLabel = 1012;
inline constexpr int kBbInfoSafeDrivingLabel = 1013;
inline constexpr int kBbInfoMicomLabel = 1014;
inline constexpr int kBbInfoModelValue = 1015;
inline constexpr int kBbInfoFirmwareValue = 1016;
inline constexpr int kBbInfoCapacityValue = 1017;
inline constexpr int kBbInfoSafeDrivingValue = 1018;
inline constexpr int kBbInfoMicomValue = 1019;
inline constexpr int kBbInfoSpareValue = 1020;
inline constexpr int kBbInfoSpareLabel = 1021;
inline constexpr const char* kBbInfoTitleKey = "IDS_STRING_K_070";
inline constexpr const char* kBbInfoModelKey = "IDS_STRING_K_071";
inline constexpr const char* kBbInfoFirmwareKey = "IDS_STRING_K_073";
inline constexpr const char* kBbInfoCapacityKey = "IDS_STRING_K_074";
inline constexpr const char* kBbInfoSafeDrivingKey = "IDS_STRING_K_075";
inline constexpr const char* kBbInfoMicomKey = "IDS_STRING_K_090";
inline constexpr const char* kBbInfoLabelFontKey = "TEXTSIZE_BBINFO_1";
inline constexpr const char* kBbInfoValueFontKey = "TEXTSIZE_BBINFO_3";
inline constexpr int kBbInfoLabelFontDefault = 13;
inline constexpr int kBbInfoValueFontDefault = 13;
inline constexpr const char* kBbInfoValueFontFace = "tahoma";
inline constexpr const char* kBbInfoCapacityFormat = "%0.2f GB";
inline constexpr const char* kBbInfoVersionFormat = "%02d.%02d.%02d.%02d";
// Rows: the first separator line at y 46, one row every 33 pixels; a row's
// fields lie 20 pixels above its line. Separator lines keep a margin of 10.
inline constexpr int kBbInfoRows = 3;
inline constexpr int kBbInfoRowHeight = 33;
inline constexpr int kBbInfoMargin = 10;
inline constexpr int kBbInfoTop = 46;
inline constexpr int kBbInfoFieldRaise = 20;
inline constexpr int kBbInfoFieldHeight = 15;
inline constexpr int kBbInfoLabelWidth = 200;
inline constexpr int kBbInfoCapacityLabelWidth = 280;
inline constexpr int kBbInfoValueWidth = 100;
inline constexpr int kBbInfoValueFromRight = 115; // value x = W - 115
inline constexpr QRgb kBbInfoLineColor = 0xFFA3B5C6;  // RGB(163, 181, 198)
inline constexpr QRgb kBbInfoValueColor = 0xFFFF9900; // RGB(255, 153, 0)
inline constexpr QRgb kBbInfoBackground = 0xFFFFFFFF;


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
inline constexpr int kCmdContextExportClip = 1094; // "Export clip..." of the playing recording
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
inline constexpr int kContextMenuHeight = 99;
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
    {"IDS_STRING_K_161", nullptr, kCmdContextExportClip},
};

// Full-screen overlays: the caption along the top (client width x 37) and
// the control box centred near the bottom (695 x 159, its top 159 above the
// bottom); they hide, with the pointer, after five seconds without movement.
inline constexpr int kOverlayHideTimerId = 102;
inline constexpr int kOverlayHideMs = 5000;

} // namespace WindowsIds
