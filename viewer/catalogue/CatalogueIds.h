#pragma once

#include <QString>

// Category indices of the catalogue and the camera's folder names.
namespace Catalogue {

constexpr int kCategoryCount = 6;
constexpr int kContinuous = 0;
constexpr int kContinuousImpact = 1;
constexpr int kManual = 2;
constexpr int kParkingMotion = 3;
constexpr int kParkingImpact = 4;
constexpr int kSearchResult = 5;

// Folder names on the memory card.
inline const QString kFolderContinuous = QStringLiteral("상시녹화");
inline const QString kFolderContinuousImpact = QStringLiteral("상시충격");
inline const QString kFolderAuxiliary = QStringLiteral("보조저장"); // ARX550 only, into category 1
inline const QString kFolderManual = QStringLiteral("수동녹화");
inline const QString kFolderParkingMotion = QStringLiteral("주차모션");
inline const QString kFolderParkingImpact = QStringLiteral("주차충격");

// Device models (as stored in the card's device record) with rules here.
inline const QString kModelArx550 = QStringLiteral("ARX550");
inline const QString kModelCmv550View = QStringLiteral("CMV550View");
inline const QString kModelDz55 = QStringLiteral("DZ55");

// Channel roles of an entry.
constexpr int kRoleNone = 0;
constexpr int kRoleFront = 1;
constexpr int kRoleRear = 2;

// Whether the video can be played: 0 untested, 1 decodable, 2 not.
constexpr int kH264Untested = 0;
constexpr int kH264Ok = 1;
constexpr int kH264Bad = 2;

// Text keys of the analysis progress.
constexpr const char* kTextAnalysing = "IDS_STRING_K_088";
constexpr const char* kTextAnalysed = "IDS_STRING_K_089";

// Timer that hides the finished-analysis message.
constexpr int kTimerHideAnalysisMessage = 104;
constexpr int kHideAnalysisMessageMs = 3000;

// Category of a file the user opens, by its parent folder's name.
int CategoryOfFolder(const QString& folderName);

} // namespace Catalogue
