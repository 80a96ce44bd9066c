#pragma once

// Every name, text and number the launcher fixes, in one place.

namespace Launcher {

// What the launcher knows of the viewer: its program file, its main window's
// title and where it keeps its single-instance lock.
inline constexpr const char* kViewerProgram = "Kestrav_Main";
inline constexpr const char* kViewerWindowTitle = "Kestrav";
inline constexpr const char* kViewerLockName = "MUTEX_MOVARA";
inline constexpr const char* kLockFileSuffix = ".lock";
inline constexpr const char* kLockDirVariable = "KESTRAV_LOCK_DIR";
inline constexpr const char* kRuntimeDirVariable = "XDG_RUNTIME_DIR";
inline constexpr const char* kTempLockDirPattern = "/kestrav-%1"; // %1 = user id

// What a previous update leaves beside the launcher.
inline constexpr const char* kSetupFile = "setup.exe";
inline constexpr const char* kTempUpdateFile = "__TempUpdate";

// The command line: program name in --help and --version, and what it does.
inline constexpr const char* kProgramName = "kestrav";
inline constexpr const char* kCommandLineDescription =
    "Starts the Kestrav dash-camera viewer unless it already runs, and hands it the recordings given.";

// Organisation the launcher's settings would live under.
inline constexpr const char* kOrganisation = "Norvane";

// The hidden launcher dialog (never shown; kept for its identity).
inline constexpr int kLauncherDialogId = 102;
inline constexpr const char* kLauncherDialogTitle = "Movara_Launcher";

// Download-progress dialog.
inline constexpr int kDownloadDialogId = 130;
inline constexpr const char* kDownloadTitle = "Kestrav";
inline constexpr int kIdsDownloadMessage = 131;
inline constexpr int kIdsDownloadHint = 132;
inline constexpr int kIdsCancel = 137;
inline constexpr const char* kDownloadMessage = "설치 파일을 다운로드 중 입니다.";
inline constexpr const char* kDownloadHint = "네트워크 접속 상태에 따라 지연 될 수 있습니다.";
inline constexpr const char* kCancelText = "Cancel";
inline constexpr int kIdcMessageEdit = 1000;
inline constexpr int kIdcHintEdit = 1001;
inline constexpr int kIdCancel = 2;
inline constexpr int kDotTimerId = 1;
inline constexpr int kMaxDots = 8;

// Layout in dialog units (x, y, width, height), turned into pixels with the
// base units of the usual 8-point dialog font at 96 dpi: 1.5 px across, 1.625 px down.
struct DluRect { int x, y, w, h; };
inline constexpr DluRect kDownloadDialogDlu{0, 0, 254, 66};
inline constexpr DluRect kMessageEditDlu{7, 12, 240, 14};
inline constexpr DluRect kHintEditDlu{7, 29, 240, 14};
inline constexpr DluRect kCancelButtonDlu{102, 45, 50, 14};
inline constexpr int kDluXNum = 3, kDluXDen = 2;   // 1.5 px per unit across
inline constexpr int kDluYNum = 13, kDluYDen = 8;  // 1.625 px per unit down

} // namespace Launcher
