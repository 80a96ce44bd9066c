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

} // namespace WindowsIds
