#pragma once

#include "skin/SkinConstants.h"
#include "windows/WindowsIds.h"

#include "skin/SkinRect.h"

#include <QRgb>

// Fixed values of the main window: its size, timers, message numbers, control
// and command ids, rectangles (left, top, right, bottom with right and bottom
// exclusive, at the base client size 965 x 711), colours and picture names.
namespace MainWnd {

// ---- Window ---------------------------------------------------------------
inline constexpr const char* kTitle = "Kestrav";
inline constexpr int kBaseWidth = 965;  // also the minimum tracking size
inline constexpr int kBaseHeight = 711;
inline constexpr int kGripSize = 18;    // bottom-right square that resizes

// Window modes.
inline constexpr int kModeNormal = 0;
inline constexpr int kModeMaximised = 1;
inline constexpr int kModeExpanded = 2;

// Maximise / restore: the button's look in the normal mode and its restore
// look while maximised.
inline constexpr const char* kPicMaximise[3] = {"btn_full_nor.png", "btn_full_over.png", "btn_full_press.png"};
inline constexpr const char* kPicRestore[3] = {"btn_minimum_nor_2.png", "btn_minimum_over_2.png",
                                               "btn_minimum_press_2.png"};

// The right column (rear picture or map): the fold buttons (27 x 27, their
// left at W - 317), the map label (40 x 15, its left at W - 288) and how far
// the repaint reaches above and below the rear area.
inline constexpr int kFoldButtonFromRight = 317;
inline constexpr int kFoldButtonSize = 27;
inline constexpr int kFoldUpTopRear = 77;     // 1300 with the rear picture
inline constexpr int kFoldDownTopRear = 355;  // 1301 with the rear picture
inline constexpr int kFoldDownTopMap = 77;    // 1301 with the map
inline constexpr int kFoldUpTopMap = 114;     // 1300 with the map
inline constexpr int kMapLabelFromRight = 288;
inline constexpr int kMapLabelTopRear = 360;
inline constexpr int kMapLabelTopMap = 120;
inline constexpr int kMapLabelWidth = 40;
inline constexpr int kMapLabelHeight = 15;
inline constexpr int kColumnRepaintAbove = 37;
inline constexpr int kColumnRepaintBelowRear = 74;
inline constexpr int kColumnRepaintBelowMap = 37;
inline constexpr const char* kTextOpenMap = "IDS_STRING_K_064";
inline constexpr const char* kTextCloseRearVideo = "IDS_STRING_K_058";
inline constexpr const char* kTextCloseFrontVideo = "IDS_STRING_K_083";
inline constexpr const char* kTextOpenRearVideo = "IDS_STRING_K_063";
inline constexpr const char* kTextOpenFrontVideo = "IDS_STRING_K_084";
inline constexpr const char* kTextCloseMap = "IDS_STRING_K_059";

// The zoom of the front picture, in steps.
inline constexpr float kZoomSteps[4] = {0.5f, 1.0f, 1.5f, 2.0f};

// The map search: the page's extent call ("west,north,east,south" in
// degrees) and the texts of its message boxes.
inline constexpr const char* kScriptGetExtent = "fnGetExtentWGS84()";
inline constexpr const char* kTextSearchCaption = "IDS_STRING_K_062";
inline constexpr const char* kTextAnalysisNotFinished = "IDS_STRING_K_087";
inline constexpr const char* kTextNothingFound = "IDS_STRING_K_061";
inline constexpr const char* kTextFoundCount = "IDS_STRING_K_079"; // "%d" is the count

// The navigation product's page, opened in the desktop's browser. The
// product has no public page yet: a reserved name stands in (set the real
// address here before a release).
inline constexpr const char* kNavigationProductUrl = "https://navigation.kestrav.invalid/";

// ---- Timers ---------------------------------------------------------------
inline constexpr int kTimerPlayPosition = 101;
inline constexpr int kPlayPositionPeriodMs = 100;
inline constexpr int kTimerHideAnalysisMessage = 104; // set by the analysis thread

// ---- Window messages (numbers as the senders know them) --------------------
inline constexpr int kMsgGraphEvent = 0x0406;
inline constexpr int kMsgPlayComplete = 0x0407;
inline constexpr int kMsgZoomChanged = 0x040E;
inline constexpr int kMsgVideoPause = 0x040F;
inline constexpr int kMsgMediaChanged = 0x0458;  // WM_USER_MEDIACHANGED
inline constexpr int kMsgStopAnalysis = 0x0463;
inline constexpr int kMsgControlValue = 0x0590;
inline constexpr int kMsgControlReleased = 0x0591;
inline constexpr int kMsgPicturePan = 0x059A;
inline constexpr int kMsgPictureRedraw = 0x059B;
inline constexpr int kMsgClosePanelsVideo = 0x05F4;
inline constexpr int kMsgClosePanelsList = 0x05F5;

// InvalidateArea kinds.
inline constexpr int kAreaWindow = 0;
inline constexpr int kAreaFrontVideo = 1;
inline constexpr int kAreaRearVideo = 2;
inline constexpr int kAreaMap = 3;
inline constexpr int kAreaTitle = 4;

// ---- Commands ---------------------------------------------------------------
inline constexpr int kCmdClose = 1001;
inline constexpr int kCmdMinimise = 1002;
inline constexpr int kCmdMaximise = 1003;
inline constexpr int kCmdFile = 1004;
inline constexpr int kCmdSettings = 1006;
inline constexpr int kCmdFileOpen = 1051;
inline constexpr int kCmdFileSaveAs = 1053;
inline constexpr int kCmdFileExit = 1054;
inline constexpr int kCmdPlayType = 1071;
inline constexpr int kCmdContextPlayPause = 1083;
inline constexpr int kCmdFullScreen = 1086;
inline constexpr int kCmdFullWindow = 1087;
inline constexpr int kCmdListPlayFocused = 1088;
inline constexpr int kCmdListDelete = 1089;
inline constexpr int kCmdHelp = 1090;
inline constexpr int kCmdListUp = 1091;
inline constexpr int kCmdListDown = 1092;
inline constexpr int kCmdListExportClip = SkinConst::kListMenuExport;           // the list's "Export clip..."
inline constexpr int kCmdContextExportClip = WindowsIds::kCmdContextExportClip; // the front window's
inline constexpr int kCmdPlay = 1100;
inline constexpr int kCmdPause = 1101;
inline constexpr int kCmdPlayForce = 1112;
inline constexpr int kCmdFitArea = 1305;
inline constexpr int kCmdNavigationProduct = 1306;

// Accelerator ids (the accelerator table, translated before dispatch).
inline constexpr int kAccelOpen = 32771;       // Ctrl+O
inline constexpr int kAccelSaveAs = 32772;     // Ctrl+Shift+S
inline constexpr int kAccelExit = 32773;       // Ctrl+Q
inline constexpr int kAccelPlayPause = 32774;  // Space
inline constexpr int kAccelFullScreen = 32775; // Ctrl+Enter
inline constexpr int kAccelFullWindow = 32776; // Alt+Enter
inline constexpr int kAccelDelete = 32777;     // Delete
inline constexpr int kAccelHelp = 32778;       // F1
inline constexpr int kAccelEnter = 32779;      // Enter
inline constexpr int kAccelUp = 32780;         // Up
inline constexpr int kAccelDown = 32781;       // Down
inline constexpr int kAccelShiftEnter = 32782; // Shift+Enter (no handler)

// ---- Controls ---------------------------------------------------------------
inline constexpr int kIdClose = 1001;
inline constexpr int kIdMinimise = 1002;
inline constexpr int kIdMaximise = 1003;
inline constexpr int kIdFile = 1004;
inline constexpr int kIdSettings = 1006;
inline constexpr int kIdPlay = 1100;
inline constexpr int kIdPause = 1101;
inline constexpr int kIdStop = 1102;
inline constexpr int kIdPrevious = 1103;
inline constexpr int kIdNext = 1104;
inline constexpr int kIdBack10 = 1105;
inline constexpr int kIdForward10 = 1106;
inline constexpr int kIdZoomMenu = 1107;
inline constexpr int kIdSpeedPanel = 1108;
inline constexpr int kIdSave = 1109;
inline constexpr int kIdVolume = 1110;
inline constexpr int kIdContinuousPlay = 1111;
inline constexpr int kIdPlayForce = 1112; // command only: the list's double click
inline constexpr int kIdLabelFront = 1150;
inline constexpr int kIdLabelRear = 1151;
inline constexpr int kIdLabelMap = 1152;
inline constexpr int kIdLabelPlayList = 1153;
inline constexpr int kIdSecondTitle = 1154;
inline constexpr int kIdCurrentTime = 1155;
inline constexpr int kIdDuration = 1156;
inline constexpr int kIdSpeedNumber = 1157;
inline constexpr int kIdAccelX = 1158;
inline constexpr int kIdAccelY = 1159;
inline constexpr int kIdAccelZ = 1160;
inline constexpr int kIdGraphPanel = 1161;
inline constexpr int kIdMainTitle = 1162;
inline constexpr int kIdVersion = 1163;
inline constexpr int kIdAnalysisMessage = 1164;
inline constexpr int kIdAnalysisPercent = 1165;
inline constexpr int kIdCarInfoPanel = 1166;
inline constexpr int kIdCarInfoCaption = 1167;
inline constexpr int kIdPositionSlider = 1200;
inline constexpr int kIdSpeedGauge = 1205;
// Codes of message 0x590 besides the position slider: the speed panel's
// brightness and speed sliders, the volume panel, the full-screen control
// box's progress slider.
inline constexpr int kCodeBrightness = 1201;
inline constexpr int kCodeSpeed = 1202;
inline constexpr int kCodeVolume = 1203;
inline constexpr int kCodeControlBoxSlider = 1204;
inline constexpr int kIdPlayList = 1250;
// Category buttons above the list: four tabs, their second rows and the
// column titles shown when a tab has no second row.
inline constexpr int kIdListNormal = 1251;     // continuous: categories 0 and 1
inline constexpr int kIdListParking = 1252;    // parking: categories 3 and 4
inline constexpr int kIdListManual = 1253;     // category 2
inline constexpr int kIdListPosition = 1254;   // category 5 (map search result)
inline constexpr int kIdListRecNormal = 1255;  // category 0
inline constexpr int kIdListNorShock = 1256;   // category 1
inline constexpr int kIdListParkMotion = 1257; // category 3
inline constexpr int kIdListParkShock = 1258;  // category 4
inline constexpr int kIdListSizeTitle = 1259;  // column title "File size"
inline constexpr int kIdListNameTitle = 1260;  // column title "File name"
inline constexpr int kIdFoldUp = 1300;
inline constexpr int kIdFoldDown = 1301;
inline constexpr int kIdExpand = 1302;
inline constexpr int kIdSwap = 1303;
inline constexpr int kIdMapSearch = 1304;
inline constexpr int kIdNavigationProduct = 1306;
inline constexpr int kIdUnit = 1307;
inline constexpr int kIdMapPlaceholder = 1308;
inline constexpr int kIdMapBrowser = 1500;
inline constexpr int kIdFrontVideo = 2000;
inline constexpr int kIdRearVideo = 2001;

// ---- Playback ----------------------------------------------------------------
// Play rates by speed index 0..6.
inline constexpr float kSpeedTable[] = {0.2f, 0.5f, 0.7f, 1.0f, 2.0f, 3.0f, 4.0f};
// The repeat guard of the play controls: previous/next, and the 10 s skips.
inline constexpr unsigned kRepeatSelectMs = 1000;
inline constexpr unsigned kRepeatSeekMs = 400;
// The message of a recording whose video cannot be decoded.
inline constexpr const char* kTextNotDecodable = "IDS_STRING_K_086";
// The play-type setting and its values.
inline constexpr const char* kSettingPlayType = "playtype";
inline constexpr const char* kPlayTypeSingle = "single";
inline constexpr const char* kPlayTypeDual = "dual";

// Position slider (0, H - 242)-(643, H - 235), width = front area width + 3;
// speed gauge (14, H - 42)-(149, H - 34).
inline constexpr int kPositionSliderTopFromBottom = 242;
inline constexpr int kPositionSliderHeight = 7;
inline constexpr int kPositionSliderExtraWidth = 3;
inline constexpr const char* kPicProgressPoint = "progress_point.png";
inline constexpr const char* kPicProgressTrack = "progress_bg.9.png";
inline constexpr const char* kPicProgressFilled = "progress_bar.9.png";
inline constexpr const char* kPicGaugeTrack = "speed_gauge_no.png";
inline constexpr const char* kPicGaugeFilled = "speed_gauge_full.png";
// Volume icons on the volume button (levels 0..5, then the disabled one), at (18, 4).
inline constexpr const char* kPicVolumeIcons[7] = {"ic_volume_mute.png", "ic_volume_01.png", "ic_volume_02.png",
                                                   "ic_volume_03.png", "ic_volume_04.png", "ic_volume_05.png",
                                                   "ic_volume_mute.png"};
inline constexpr int kVolumeIconX = 18;
inline constexpr int kVolumeIconY = 4;

// ---- Fixed areas at the base size -------------------------------------------
inline constexpr SkinRect kFrontVideoArea{2, 109, 642, 469};
inline constexpr SkinRect kRearVideoArea{643, 109, 963, 349};
inline constexpr SkinRect kMapArea{643, 146, 963, 386};
inline constexpr SkinRect kTitleArea{121, 6, 260, 32};
// The map area follows the width: (W - 322, 146, W - 2, 386).
inline constexpr int kMapAreaFromRight = 322;
inline constexpr int kMapAreaRightGap = 2;

// ---- Telemetry presentation ----------------------------------------------------
// Miles per kilometre for the speed number in mph (rounded half up).
inline constexpr double kMilesPerKilometre = 0.621371192;
// The speed gauge's full scale, in km/h whatever unit the number shows.
inline constexpr double kGaugeFullScaleKmh = 200.0;

// ---- Background composition --------------------------------------------------
inline constexpr const char* kPicBackground = "bg.9.png";
inline constexpr const char* kPicGpsPanel = "gps_bg.9.png";
inline constexpr const char* kPicCarInfoPanel = "carinfo_bg.9.png";
inline constexpr const char* kPicTitleBar = "bg_title.9.png";
inline constexpr const char* kPicTitleBarRight = "bg_title_right.9.png";
inline constexpr const char* kPicBadgeArx330 = "bi_arx330.png";
inline constexpr const char* kPicBadgeArx550 = "bi_arx550.png";
inline constexpr const char* kPicBadgeBt33 = "bi_bt33.png";
inline constexpr const char* kPicBadgeCmv550View = "bi_cmv550view.png";
inline constexpr const char* kPicDeviceIcon = "ic_blackbox.png";
inline constexpr const char* kPicGrip = "ic_expand.png";
inline constexpr const char* kPicMapEmpty = "map_empty.png";
inline constexpr const char* kPicTextBox = "bg_text.9.png";

// Panel surfaces: (W - 496) x 92 at (8, H - 122); (W - 818) x 92 of which the
// left 147 x 92 goes to (W - 478, H - 122).
inline constexpr int kGpsPanelWidthLess = 496;
inline constexpr int kCarInfoPanelWidthLess = 818;
inline constexpr int kPanelHeight = 92;
inline constexpr int kPanelTopFromBottom = 122;
inline constexpr int kGpsPanelLeft = 8;
inline constexpr int kCarInfoPanelLeftFromRight = 478;
inline constexpr int kCarInfoPanelUsedWidth = 147;
// Title bars: (W - 323) x 37 at (1, 71); 322 x 37 at (W - 323, y) for
// y = 71, then 349 (rear shown) or 108 (map shown), then 386.
inline constexpr int kTitleBarWidthLess = 323;
inline constexpr int kTitleBarHeight = 37;
inline constexpr int kTitleBarLeft = 1;
inline constexpr int kTitleBarTop = 71;
inline constexpr int kTitleBarRightWidth = 322;
inline constexpr int kTitleBarRightFromRight = 323;
inline constexpr int kTitleBarRightY1 = 71;
inline constexpr int kTitleBarRightY2Rear = 349;
inline constexpr int kTitleBarRightY2Map = 108;
inline constexpr int kTitleBarRightY3 = 386;

// Model badges (natural sizes) and the device icon.
struct BadgeDef {
    const char* model;
    const char* picture;
    int width;
    int height;
};
inline constexpr BadgeDef kBadges[] = {
    {"ARX330", kPicBadgeArx330, 99, 19},
    {"ARX550", kPicBadgeArx550, 106, 24},
    {"BT33", kPicBadgeBt33, 45, 19},
    {"CMV550View", kPicBadgeCmv550View, 105, 19},
};
// The model whose recordings carry vehicle signals: the vehicle-signal
// caption is lit for it.
inline constexpr const char* kModelWithVehicleSignals = "CMV550View";
inline constexpr int kDeviceIconWidth = 26;
inline constexpr int kDeviceIconHeight = 24;
inline constexpr int kBadgeGapAfterButton = 25; // bx = width of button 1306 + 25
inline constexpr int kBadgeTop = 6;             // cy = 6 + height of button 1306 / 2
inline constexpr int kDeviceIconGap = 6;        // ix = bx + 6 + badge width

// ---- Colours ------------------------------------------------------------------
inline constexpr QRgb kColorWhite = 0xFFFFFFFF;
inline constexpr QRgb kColorFrame = 0xFF000000;
inline constexpr QRgb kColorLabel = 0xFFDAE4EC;        // 1150..1153: RGB(218, 228, 236)
inline constexpr QRgb kColorCurrentTime = 0xFF3FA8EB;  // 1155: RGB(63, 168, 235)
inline constexpr QRgb kColorDuration = 0xFFA2ACB9;     // 1156: RGB(162, 172, 185)
inline constexpr QRgb kColorVersion = 0xFFB6C7D7;      // 1163: RGB(182, 199, 215)
inline constexpr QRgb kColorAccelX = 0xFF6BED3D;       // RGB(107, 237, 61)
inline constexpr QRgb kColorAccelY = 0xFFF3372E;       // RGB(243, 55, 46)
inline constexpr QRgb kColorAccelZ = 0xFF53BBFD;       // RGB(83, 187, 253)
inline constexpr QRgb kColorAnalysisMessage = 0xFFB6C7D7; // RGB(182, 199, 215)
inline constexpr QRgb kColorAnalysisPercent = 0xFFFFBA00; // RGB(255, 186, 0)
inline constexpr QRgb kColorTitleText = 0xFF3FA8EB;    // RGB(63, 168, 235)
inline constexpr QRgb kColorCaptionInactive = 0xFF22242B; // 1167: RGB(34, 36, 43)
inline constexpr QRgb kColorCaptionActive = 0xFF5D6C81;   // 1167: RGB(93, 108, 129)
inline constexpr QRgb kColorMenuButtonText = 0xFF8CA9BC;  // RGB(140, 169, 188)
inline constexpr QRgb kColorMenuButtonDisabled = 0xFF404447; // RGB(64, 68, 71)

// ---- Fonts (height keys of the language tables) ------------------------------
inline constexpr const char* kLabelFontKey = "TEXTSIZE_MOVARA_1";
inline constexpr const char* kTimeFontKey = "TEXTSIZE_MOVARA_2";
inline constexpr const char* kStatusFontKey = "TEXTSIZE_MOVARA_3";
inline constexpr const char* kTitleFontKey = "TEXTSIZE_MOVARA_4";
inline constexpr const char* kMenuButtonFontKey = "TEXTSIZE_MOVARA_BTN";
inline constexpr const char* kListButtonFontKey = "TEXTSIZE_MOVARA_LIST_BTN";
inline constexpr const char* kTimeFace = "tahoma";
inline constexpr int kCarInfoCaptionFontHeight = 12; // 1167, in the status font

// ---- Texts ----------------------------------------------------------------------
inline constexpr const char* kTextFront = "IDS_STRING_K_018";
inline constexpr const char* kTextRear = "IDS_STRING_K_019";
inline constexpr const char* kTextMap = "IDS_STRING_K_020";
inline constexpr const char* kTextPlayList = "IDS_STRING_K_021";
// The right-hand label while only the front picture plays ("no video"); the
// label (65 wide at creation) then grows by 500 to hold it.
inline constexpr const char* kTextNoVideo = "IDS_STRING_K_105";
inline constexpr int kLabelRearWidth = 65;
inline constexpr int kLabelNoVideoGrowth = 500;
inline constexpr const char* kTextFile = "IDS_STRING_K_001";
inline constexpr const char* kTextSettings = "IDS_STRING_K_003";
inline constexpr const char* kTextAnalysing = "IDS_STRING_K_088";
inline constexpr const char* kTextCarInfoCaption = "IDS_STRING_K_101";
inline constexpr const char* kVersionFormat = "Ver %1";
inline constexpr const char* kNoVersion = "NOT";

// ---- Play list area ----------------------------------------------------------------
// (W - 323, 470)-(W - 1, 690); grows with the height.
inline constexpr int kPlayListLeftFromRight = 323;
inline constexpr int kPlayListTop = 470;
inline constexpr int kPlayListRightFromRight = 1;
inline constexpr int kPlayListBottom = 690;

// ---- Commands, menus and drop-down panels -------------------------------------------
// Commands beyond those above (the menus', the panels' and the picture buttons').
inline constexpr int kCmdSettingsProgram = 1060;
inline constexpr int kCmdDeviceInfo = 1061;
inline constexpr int kCmdUnitKmh = 1069;
inline constexpr int kCmdUnitMph = 1070;
inline constexpr int kCmdZoomOriginal = 1074; // the zoomed menu's "Original": 1.0
inline constexpr int kCmdZoom05 = 1075;
inline constexpr int kCmdZoom10 = 1076;
inline constexpr int kCmdZoom15 = 1077;
inline constexpr int kCmdZoom20 = 1078;
inline constexpr int kCmdSpeedPanelReset = 1080;
inline constexpr int kCmdZoomIn = 1084;
inline constexpr int kCmdZoomOut = 1085;
inline constexpr int kCmdFoldUp = 1300;
inline constexpr int kCmdFoldDown = 1301;
inline constexpr int kCmdExpand = 1302;
inline constexpr int kCmdSwap = 1303;
inline constexpr int kCmdMapSearch = 1304;
inline constexpr int kCmdUnit = 1307; // the unit button: km/h <-> mph
// The ranges the window handles (anything else within them has no action).
inline constexpr int kCommandRanges[][2] = {{1001, 1007}, {1050, 1094}, {1100, 1113}, {1250, 1265}, {1300, 1307}};

// The six drop-down windows by panel id.
inline constexpr int kPanelFileMenu = 1050;
inline constexpr int kPanelSettingsMenu = 1059;
inline constexpr int kPanelZoomMenu = 1072;
inline constexpr int kPanelZoomMenuZoomed = 1073;
inline constexpr int kPanelSpeed = 1079;
inline constexpr int kPanelVolume = 1081;
inline constexpr int kDropPanels[] = {kPanelFileMenu, kPanelSettingsMenu, kPanelZoomMenu,
                                      kPanelZoomMenuZoomed, kPanelSpeed, kPanelVolume};
// Where the play-control panels are made and open (client: left, H - top;
// the width grows the left by W - 965) and, while expanded, where they open
// against the full-screen control box's screen rectangle.
struct DropPanelPlace {
    int panel;
    int left;
    int topFromBottom;
    int width;
    int height;
    int boxDx;
    int boxDy;
};
inline constexpr DropPanelPlace kDropPanelPlaces[] = {
    {kPanelZoomMenu, 480, 332, 67, 102, 501, -66},
    {kPanelZoomMenuZoomed, 480, 353, 72, 123, 499, -87},
    {kPanelSpeed, 474, 327, 151, 97, 494, -61},
    {kPanelVolume, 599, 346, 43, 116, 621, -80},
};
// The File and Settings menus open 4 pixels left of and below their buttons.
inline constexpr int kMenuAnchorGap = 4;
// Window titles of the drop-down windows.
inline constexpr const char* kTitleFileMenu = "File";
inline constexpr const char* kTitleSettingsMenu = "Setting";
inline constexpr const char* kTitleUnitMenu = "SettingUnit";
inline constexpr const char* kTitleZoomMenu = "ScrSize";
inline constexpr const char* kTitleZoomMenuZoomed = "ScrSize02";
inline constexpr const char* kTitleSpeedPanel = "BriSpd";
inline constexpr const char* kTitleVolumePanel = "Vol";
// Pictures and colours of the menus.
inline constexpr const char* kPicMenuBackground = "bg_rightclick.9.png";
inline constexpr const char* kPicMenuHeld = "list_bg_press.9.png";
inline constexpr const char* kPicMenuHover = "list_bg_over.9.png";
inline constexpr const char* kPicZoomMenuBackground = "play_setting_bg.9.png";
inline constexpr const char* kPicMenuArrow = "ic_tri_right_normal.png";
inline constexpr const char* kPicMenuArrowOver = "ic_tri_right_over.png";
inline constexpr const char* kPicMenuCheck = "ic_checkbox_normal.png";
inline constexpr const char* kPicMenuCheckOver = "ic_checkbox_over.png";
inline constexpr QRgb kColorMenuText = 0xFF000000;
inline constexpr QRgb kColorMenuTextHover = 0xFFFFFFFF;
inline constexpr QRgb kColorZoomMenuText = 0xFFB2C1DE; // RGB(178, 193, 222)
// Menu texts.
inline constexpr const char* kTextOpen = "IDS_STRING_K_004";
inline constexpr const char* kTextOpenKeys = "IDS_STRING_K_005";
inline constexpr const char* kTextSaveAs = "IDS_STRING_K_008";
inline constexpr const char* kTextSaveAsKeys = "IDS_STRING_K_009";
inline constexpr const char* kTextExit = "IDS_STRING_K_010";
inline constexpr const char* kTextExitKeys = "IDS_STRING_K_011";
inline constexpr const char* kTextSettingsProgram = "IDS_STRING_K_015";
inline constexpr const char* kTextDeviceInfo = "IDS_STRING_K_016";
inline constexpr const char* kTextPlayType = "IDS_STRING_K_104";
inline constexpr const char* kTextUnits = "IDS_STRING_K_095";
inline constexpr const char* kTextUnitKmh = "IDS_STRING_K_096";
inline constexpr const char* kTextUnitMph = "IDS_STRING_K_097";
inline constexpr const char* kTextZoomOriginal = "IDS_STRING_K_065";
// Sizes from the language tables' [menu] section.
inline constexpr const char* kKeyFileMenuWidth = "SIZE_BOX_FILE_WIDTH";
inline constexpr const char* kKeyFileMenuHeight = "SIZE_BOX_FILE_HEIGHT";
inline constexpr const char* kKeySettingsMenuWidth = "SIZE_BOX_SETTING_WIDTH";
inline constexpr const char* kKeySettingsMenuHeight = "SIZE_BOX_SETTING_HEIGHT";
inline constexpr const char* kKeyUnitMenuWidth = "SIZE_BOX_SETTING_UNIT_WIDTH";
inline constexpr const char* kKeyUnitMenuHeight = "SIZE_BOX_SETTING_UNIT_HEIGHT";

// ---- The speed unit ---------------------------------------------------------------------
inline constexpr const char* kSettingUnit = "unit";
inline constexpr const char* kUnitKmh = "km/h";
inline constexpr const char* kUnitMph = "mph";

// ---- Files --------------------------------------------------------------------------------
// The open dialog's filter and the save dialog's, by stream mode.
inline constexpr const char* kOpenFilter = "All (*.avi *.mp4);;AVI (*.avi);;MP4 (*.mp4)";
inline constexpr const char* kSaveFilterAvi = "avi (*.avi)";
inline constexpr const char* kSaveFilterMp4 = "mp4 (*.mp4)";
// The settings program is missing (caption "Kestrav", no owner).
inline constexpr const char* kTextNoSettingsProgram = "IDS_STRING_K_082";
// Saving a copy: the progress popup's title and its cancel button, the
// failure (followed by the system's reason), the refusal to save a
// recording over itself; a delete that failed (followed by the reason).
inline constexpr const char* kTextSaving = "IDS_STRING_K_201";
inline constexpr const char* kTextCancel = "IDS_STRING_K_202";
inline constexpr const char* kTextSaveFailed = "IDS_STRING_K_203";
inline constexpr const char* kTextSaveOntoItself = "IDS_STRING_K_204";
inline constexpr const char* kTextDeleteFailed = "IDS_STRING_K_205";
// The copy shows its progress popup when it takes longer than this.
inline constexpr int kCopyProgressDelayMs = 200;

} // namespace MainWnd
