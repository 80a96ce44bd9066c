#pragma once

#include <QRgb>

// Fixed values of the evidence clip exporter: output limits, encoder
// settings, the overlay's look and the names the tool and the dialog show.
namespace EvidenceIds {

// ---- Output -------------------------------------------------------------------
// Side-by-side pictures share the taller one's height, scaled down together
// until they fit this width,
// so that the clip stays within what phones decode (H.264 level 4.x).
inline constexpr int kMaxComposedWidth = 1920;
// Picture-in-picture: the inset is this fraction of the output width, this
// far (fraction of the width) from the top and right edges, with a frame of
// kPipFramePixels in kPipFrameColor.
inline constexpr double kPipInsetFraction = 1.0 / 3.0;
inline constexpr double kPipMarginFraction = 1.0 / 48.0;
inline constexpr int kPipFramePixels = 2;
inline constexpr QRgb kPipFrameColor = 0xFFB6C7D7; // the caption's light text colour
// Re-encoding: libx264 at this preset and constant quality, key frames at
// most this many seconds apart; AAC at this bit rate per channel.
inline constexpr const char* kX264Preset = "superfast";
inline constexpr int kX264Crf = 20;
inline constexpr int kKeyFrameSeconds = 2;
inline constexpr int kAacBitsPerChannel = 64000;
// Progress is reported when the per cent changes, at most this often.
inline constexpr int kProgressMinIntervalMs = 100;

// ---- Overlay ------------------------------------------------------------------
// A translucent band across the bottom of the picture, its height a
// fraction of the output height (never below kOverlayMinHeight pixels).
inline constexpr double kOverlayHeightFraction = 0.09;
inline constexpr int kOverlayMinHeight = 40;
inline constexpr QRgb kOverlayBackground = 0xB4141820; // RGB(20, 24, 32) at alpha 180
inline constexpr QRgb kOverlayRuleColor = 0xFFFF8A48;  // the accent orange, one line on top
inline constexpr QRgb kOverlayTextColor = 0xFFE8EEF4;  // values
inline constexpr QRgb kOverlayLabelColor = 0xFFB6C7D7; // units and labels
inline constexpr QRgb kOverlaySpeedColor = 0xFFFFFFFF;
inline constexpr QRgb kOverlayShadowColor = 0xFF000000;
inline constexpr QRgb kOverlayBrakeOn = 0xFFFF4B3E; // drawn signals when the image library is missing
inline constexpr QRgb kOverlayTurnOn = 0xFF5BE05B;
inline constexpr QRgb kOverlaySignalOff = 0xFF4A535F;
inline constexpr const char* kOverlayFontFace = "DejaVu Sans";
// Texts of the band (the same in every language, as insurers and police read them).
inline constexpr const char* kUtcSuffix = " UTC";
inline constexpr const char* kNoFixText = "no GPS fix";
inline constexpr const char* kNoSpeedText = "---";
inline constexpr const char* kUnitKmh = "km/h";
inline constexpr const char* kUnitMph = "mph";
inline constexpr double kMphPerKmh = 0.621371192;
// Decimals of the position in decimal degrees.
inline constexpr int kPositionDecimals = 5;
// The image library beside the executables.
inline constexpr const char* kImageLibraryFile = "NvImageDll.rcc";

// ---- Names ----------------------------------------------------------------------
inline constexpr const char* kLayoutNames[] = {"front", "rear", "side-by-side", "pip"};
inline constexpr const char* kClipExtension = ".mp4";
inline constexpr const char* kTempSuffix = ".part";

} // namespace EvidenceIds
