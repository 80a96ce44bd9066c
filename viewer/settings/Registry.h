#pragma once

#include <QString>

// The machine-wide values of the viewer (the play type): QSettings in system scope (on Linux the file
// <first of $XDG_CONFIG_DIRS, normally /etc/xdg>/<ORGANISATION>.conf). The
// sub-key "SOFTWARE\NORVANE\" names the organisation "NORVANE"; further
// components name the application. Failures are reported, never shown.
enum ERegRoot {
    REG_ROOT_LOCAL_MACHINE, // system scope
    REG_ROOT_CURRENT_USER,  // user scope
};

// Reads the string value `valueName` into `buffer`. `bufferBytes` is the size
// of the caller's buffer in bytes (two per UTF-16 unit, terminating zero
// included): a longer value does not fit and the read fails. False when the
// value is missing or cannot be read; `buffer` is then empty.
bool RegReadString(ERegRoot root, const QString& subKey, const QString& valueName,
                   QString& buffer, qsizetype bufferBytes);

// Writes `text` as the string value `valueName`. False on any failure (for
// example no write rights to the system folder).
bool RegWriteString(ERegRoot root, const QString& subKey, const QString& valueName,
                    const QString& text);

enum class EPlayType { Dual, Single };

// The play type the main window starts with: value "PLAYTYPE" under
// "SOFTWARE\NORVANE\" of the machine. "1" gives single; anything else dual,
// and when the value is missing, empty or unreadable "0" is written back
// (a failure of that write is ignored).
EPlayType ReadPlayType();
