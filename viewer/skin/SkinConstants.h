#pragma once

#include <QRgb>
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

// ---- Layered popups (balloon, drop-down box, speed and volume panels) -------
// Balloon: fonts by language key, widths of the number and speed balloons.
inline constexpr const char* kBalloonFontKey = "TEXTSIZE_TBALOON";
inline constexpr const char* kBalloonNumberFontKey = "TEXTSIZE_TBALOON_NUM";
inline constexpr const char* kBalloonSpeedFontKey = "TEXTSIZE_TBALOON_SPD";
inline constexpr int kBalloonNumberWidths[3] = {26, 33, 40}; // one, two, three or more characters
inline constexpr int kBalloonSpeedWidth = 45;
inline constexpr QRgb kBalloonTextColor = 0xFF000000;
// Font heights used when the language tables give none (table not loaded).
inline constexpr int kBalloonFontDefault = 13;
inline constexpr int kBalloonSmallFontDefault = 11;

// Drop-down box.
inline constexpr const char* kDropBoxFontKey = "TEXTSIZE_TDROPBOX";
inline constexpr int kDropBoxFontDefault = 15;
inline constexpr int kDropBoxItemHeight = 20;  // entry height (plus a separator's height where one is recorded)
inline constexpr int kDropBoxItemGap = 1;      // pixels between two entries
inline constexpr int kDropBoxInset = 5;        // inner box: entry inset on the left, top and right
inline constexpr int kDropBoxContentTrim = 3;  // the background's content box loses this much on the right
inline constexpr int kDropBoxCheckColumn = 20; // reserved left of the texts for check marks
inline constexpr int kDropBoxArrowColumn = 16; // reserved right of the texts for sub-menu arrows
inline constexpr int kDropBoxCheckRaise = 3;   // check mark drawn this much above the inner top
inline constexpr int kDropBoxArrowRight = 8;   // arrow drawn this much left of the inner right edge
inline constexpr int kDropBoxArrowDrop = 2;    // arrow drawn this much below the inner top
inline constexpr int kSubMenuRaise = 3;        // a sub-menu opens this much above its entry
inline constexpr QRgb kDropBoxHoverTextDefault = 0xFFFFFFFF;
inline constexpr QRgb kDropBoxDisabledText = 0xFF838991; // RGB(131, 137, 145)
// A command relayed by a box to its owner must fit the low word.
inline constexpr unsigned kCommandLimit = 0x10000;

// Speed table: slider index 0..6 to play rate.
inline constexpr float kSpeedTable[7] = {0.2f, 0.5f, 0.7f, 1.0f, 2.0f, 3.0f, 4.0f};
inline constexpr int kSpeedIndexNormal = 3;   // 1.0
inline constexpr int kSpeedIndexFallback = 6; // a speed not among the first six entries

// Sliders inside the panels and the reset command.
inline constexpr int kBrightnessSliderId = 1201;
inline constexpr int kSpeedSliderId = 1202;
inline constexpr int kVolumeSliderId = 1203;
inline constexpr int kSpeedResetCommand = 1080;
inline constexpr const char* kBrightnessSliderTitle = "ScrBri";
inline constexpr const char* kSpeedSliderTitle = "ScrSpd";
inline constexpr const char* kSpeedResetTitle = "ScrInit";
inline constexpr const char* kVolumeSliderTitle = "SldVol";
// Handle pressed, hovered, normal; track; filled part.
inline constexpr const char* kPanelSliderPictures[5] = {"volume_handler_press.png", "volume_handler_over.png",
                                                        "volume_handler_nor.png", "volume_scroll_bg.9.png",
                                                        "volume_scroll.9.png"};
inline constexpr int kWheelStep = 120; // the only wheel deltas the panels and the list act on

// Speed panel picture and layout (client coordinates).
inline constexpr const char* kSpeedPanelBackground = "play_setting_bg2.9.png";
inline constexpr const char* kSpeedPanelContents = "contents_area.9.png";
inline constexpr int kSpeedContentsAt[4] = {6, 3, 139, 55}; // x, y, width, height
inline constexpr const char* kSpeedPanelValueField = "bg_text_small.9.png";
inline constexpr int kSpeedValueFieldAt[4] = {13, 37, 37, 15};
inline constexpr const char* kSpeedPanelIcon = "ic_speed.png";
inline constexpr int kSpeedIconAt[2] = {10, 7};
inline constexpr const char* kSpeedTitleKey = "IDS_STRING_K_028";
inline constexpr const char* kSpeedResetKey = "IDS_STRING_K_029";
inline constexpr int kSpeedTitleBox[4] = {35, 7, 140, 28}; // left, top, right, bottom
inline constexpr int kSpeedValueBox[4] = {13, 37, 50, 52};
inline constexpr QRgb kSpeedTitleColor = 0xFFB2C1DE;  // RGB(178, 193, 222)
inline constexpr QRgb kSpeedValueColor = 0xFF8BA2BF;  // RGB(139, 162, 191)
inline constexpr int kPanelFontHeight = 12;
inline constexpr int kSpeedSliderAt[4] = {58, 39, 75, 11};
inline constexpr int kSpeedResetAt[4] = {31, 60, 90, 21};
inline constexpr const char* kSpeedResetPicture = "setting_btn_nor.9.png";
inline constexpr QRgb kSpeedResetTextColor = 0xFF8CA9BC; // RGB(140, 169, 188); over and pressed white
inline constexpr int kSpeedResetFontHeight = 11;
inline constexpr int kSpeedWheelSplitY = 60; // wheel turns at or below address the speed slider
inline constexpr int kBrightnessDefault = 50;
inline constexpr float kSpeedDefault = 1.0f;

// Volume panel.
inline constexpr const char* kVolumePanelBackground = "play_setting_bg.9.png";
inline constexpr int kVolumeSliderAt[4] = {16, 13, 11, 75};

// ---- Play list ----------------------------------------------------------------
// Commands and messages to the list's parent, and the context menu's commands
// to the main window.
inline constexpr int kListCmdPlayingChanged = 1100; // SelectNext / SelectPrev / PlayFocused moved the playing item
inline constexpr int kListCmdDoubleClicked = 1112;  // a double-clicked row became the playing item
inline constexpr unsigned kMsgListRightButton = 0x05F5; // right button released over the list
inline constexpr int kListMenuPlay = 1088;
inline constexpr int kListMenuDelete = 1089;
inline constexpr int kListMenuExport = 1093;  // "Export clip..." of the focused recording
// Geometry.
inline constexpr int kListRowHeight = 20;
inline constexpr int kListRowWidth = 307;
inline constexpr int kListNameWidth = 224;
inline constexpr int kListSizeWidth = 83;
inline constexpr int kListScrollWidth = 15;
inline constexpr int kListPlayingIconAt[4] = {6, 8, 4, 7};
inline constexpr int kListLinkIconAt[4] = {11, 0, 7, 20};
// Row pictures: even rows (parity 1), odd rows (parity 0), focused, pressed.
inline constexpr const char* kListRowPictures[4] = {"bg_list01.9.png", "bg_list02.9.png", "bg_list_over.9.png",
                                                    "bg_list_press.9.png"};
inline constexpr const char* kListPlayingIcon = "ic_nowplaying.png";
inline constexpr const char* kListFrontLinkIcon = "ic_front_link.png";
inline constexpr const char* kListRearLinkIcon = "ic_rear_link.png";
inline constexpr const char* kListHintPicture = "bg_list02.9.png";
// Text colours of a row and of the hint panel.
inline constexpr QRgb kListTextFocused = 0xFFFFFFFF;
inline constexpr QRgb kListTextPlaying = 0xFF3FA8EB; // RGB(63, 168, 235)
inline constexpr QRgb kListTextNormal = 0xFFA3B7CB;  // RGB(163, 183, 203)
inline constexpr QRgb kListTextPressed = 0xFFFFFFFF;
inline constexpr QRgb kListHintColor = 0xFFB6C7D7;   // RGB(182, 199, 215)
inline constexpr int kListRowFontHeight = 12;
inline constexpr int kListHintFontHeight = 13;
// Hint lines and their height by language.
inline constexpr const char* kListHintKeys[4] = {"IDS_STRING_K_046", "IDS_STRING_K_047", "IDS_STRING_K_048",
                                                 "IDS_STRING_K_049"};
inline constexpr int kListHintLineWide = 36; // "english" and "french"
inline constexpr int kListHintLine = 18;
// Size column: megabytes of 1048576 bytes.
inline constexpr double kListBytesPerMb = 1048576.0;
// Context menu.
inline constexpr const char* kListMenuTitle = "ListContext";
inline constexpr int kListMenuWidth = 256;
inline constexpr int kListMenuHeight = 76;
inline constexpr const char* kListMenuBackground = "bg_rightclick.9.png";
inline constexpr const char* kListMenuHeld = "list_bg_press.9.png";
inline constexpr const char* kListMenuHover = "list_bg_over.9.png";
inline constexpr QRgb kListMenuTextNormal = 0xFF000000;
inline constexpr QRgb kListMenuTextHover = 0xFFFFFFFF;
inline constexpr const char* kListMenuPlayKey = "IDS_STRING_K_076";
inline constexpr const char* kListMenuDeleteKey = "IDS_STRING_K_077";
inline constexpr const char* kListMenuExportKey = "IDS_STRING_K_161";
inline constexpr const char* kListMenuPlayShortcut = "Enter";
inline constexpr const char* kListMenuDeleteShortcut = "Delete";
// Traces.
inline constexpr const char* kTraceListSize = "Kestrav : CRListCtrl::OnSize[%d]";
inline constexpr const char* kTraceListRightButton = "Kestrav : CRListCtrl::OnRButtonUp";
inline constexpr const char* kTraceSelectNextNone = "Select Next Item() m_nSelectedItem = -1\n";
inline constexpr const char* kTraceSelectNextFocus = "Select Next Item() lose focus. re-set select item no.\n";

} // namespace SkinConst
