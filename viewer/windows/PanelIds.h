#pragma once

#include <QColor>
#include <QRect>

// Fixed values of the two telemetry panels of the main window: the vehicle
// signal panel (CCarInfoViewer) and the acceleration graph (CGPSViewer).
namespace PanelIds {

// ---- Vehicle signal panel (control 1166) ---------------------------------
inline constexpr int kIdCarInfoPanel = 1166;
// The copied background is the panel's width by its height less this; it is
// stretched over the whole panel.
inline constexpr int kCarInfoBackgroundCut = 33;
// Where each signal picture sits (left, top, width, height).
inline const QRect kCarInfoLeftRect(10, 7, 35, 45);
inline const QRect kCarInfoRightRect(45, 7, 35, 45);
inline const QRect kCarInfoBrakeRect(85, 7, 65, 45);
// Two vertical separator lines, x 78 and 79, from y 5 to 51 (exclusive).
inline constexpr int kCarInfoSeparatorX1 = 78;
inline constexpr int kCarInfoSeparatorX2 = 79;
inline constexpr int kCarInfoSeparatorTop = 5;
inline constexpr int kCarInfoSeparatorBottom = 51;
inline constexpr QRgb kCarInfoSeparatorColor = 0xFF3D3E46; // RGB(61, 62, 70)
// A signal is on only for this value.
inline constexpr int kSignalOn = 1;
inline constexpr const char* kBrakeOnPicture = "ic_brake_on.png";
inline constexpr const char* kBrakeOffPicture = "ic_brake_off.png";
inline constexpr const char* kLeftOnPicture = "ic_turnsignal_left_on.png";
inline constexpr const char* kLeftOffPicture = "ic_turnsignal_left_off.png";
inline constexpr const char* kRightOnPicture = "ic_turnsignal_right_on.png";
inline constexpr const char* kRightOffPicture = "ic_turnsignal_right_off.png";

// ---- Acceleration graph panel (control 1161) -----------------------------
inline constexpr int kIdGraphPanel = 1161;
// Rules: horizontal lines at y = 6 * i for i = 0..13, and one at y = 77.
inline constexpr QRgb kGraphRuleColor = 0xFF3A3C43; // RGB(58, 60, 67)
inline constexpr int kGraphRuleSpacing = 6;
inline constexpr int kGraphRuleCount = 14;
inline constexpr int kGraphExtraRuleY = 77;
// Curves X, Y, Z, drawn in this order.
inline constexpr QRgb kGraphXColor = 0xFF00FF00; // RGB(0, 255, 0)
inline constexpr QRgb kGraphYColor = 0xFFFF0000; // RGB(255, 0, 0)
inline constexpr QRgb kGraphZColor = 0xFF0000FF; // RGB(0, 0, 255)
// The value that reaches the top (bottom) edge: 512 / 128 = 4 g.
inline constexpr int kGraphFullScale = 512;
// The playing position's vertical line.
inline constexpr QRgb kGraphPositionColor = 0xFFFF8A48; // RGB(255, 138, 72)

} // namespace PanelIds
