#pragma once

// The viewer's identity toward the desktop, named once.
namespace App {

// The desktop entry's id (its file name without ".desktop"). The installed
// icon and the AppStream component carry the same name; the window system
// learns it through QGuiApplication::setDesktopFileName, so the desktop groups
// the viewer's windows under the entry. Set by the build (KESTRAV_APP_ID).
inline constexpr const char* kDesktopFileId = KESTRAV_APP_ID;

// The window icon, embedded in the viewer: one PNG per size, "<size>.png".
inline constexpr const char* kIconResourceFolder = ":/kestrav/icons";

} // namespace App
