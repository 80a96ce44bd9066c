#pragma once

#include "catalogue/RecordingEntry.h"

#include <QByteArray>
#include <QList>
#include <QString>

// The camera's memory card: found among the card roots (ListCardRoots: the
// mounted volumes a card can be, and $KESTRAV_CARD_ROOTS), identified by a
// readable "SETTING/setup.cfg". These globals belong to the GUI thread.

constexpr int kDeviceRecordSize = 668;
constexpr int kDeviceModelOffset = 8;
constexpr int kDeviceFirmwareOffset = 40;
constexpr int kDeviceVersionOffset = 224; // four bytes
constexpr int kDeviceProgramOffset = 228;
constexpr int kDeviceInfoOffset = 356;
inline const QString kSetupFileName = QStringLiteral("SETTING/setup.cfg");

// The first 668 bytes of the card's setup.cfg, zero-filled; empty until a card was found.
extern QByteArray g_deviceRecord;
extern int g_cardFound;
extern float g_cardSizeGB;
extern QString g_cardRoot;

// The device record of the card at `root` (ending in '/'): the first 668
// bytes of its "SETTING/setup.cfg", zero-filled, the model text cut at its
// first "(" ("ARX550(V2)" -> "ARX550"). Empty when the file is missing, not a
// regular file, or cannot be read. Reads at most 668 bytes; any thread.
QByteArray ReadDeviceRecord(const QString& root);

// Looks for the card: the first root with a readable setup.cfg wins. On
// success fills g_deviceRecord (model cut at its first "("), `cardRoot`
// and g_cardRoot (ending in '/'), the capacity (only when above 1000 MB)
// and returns 1; otherwise returns 0 and leaves record and roots as they were.
int FindBlackBoxDrive(QString& cardRoot);

// Zero-terminated single-byte text of the record at `offset`.
QString DeviceRecordText(const QByteArray& record, int offset);
inline QString DeviceModelName(const QByteArray& record) { return DeviceRecordText(record, kDeviceModelOffset); }

// The camera's settings program on the card, or an empty text when the
// record names none or names a path that leaves the card ("../", absolute).
QString SettingsProgramPath(const QString& cardRoot, const QByteArray& record);

// Whether the model's recordings carry front and rear pictures together (the
// play-type choice is offered for them): "CMV550View" and "DZ55".
bool IsDualStreamModel(const QString& model);

// A category folder of the card and the map it fills.
struct CCardFolder {
    QString name;
    int category;
};
// The card's category folders in scan order for the model: "보조저장" into
// category 1 first, for the ARX550 only, then the five camera folders.
QList<CCardFolder> CardCategoryFolders(const QString& model);

// Clears the six maps and scans the card's category folders in the camera's
// order ("보조저장" into category 1, first, only for the ARX550).
void ScanCard(const QString& cardRoot, const QString& model, CCatalogue& catalogue);
