#pragma once

#include "base/ByteReader.h"

#include <QByteArray>
#include <QString>

#include <optional>

// Reads one resource out of a Windows executable (PE/COFF, 32- or 64-bit)
// without loading or running it: the first language version of the resource
// whose type and name are the given strings. Types and names are compared
// case-insensitively, as the platform's own look-up does.
//
// Every read goes through `reader` and is bounds-checked; directory offsets
// that leave the file or the resource section, directories that point back
// at themselves, sizes beyond the file and empty resources all give nullopt.
// Safe on any input; thread-agnostic (the reader is not shared).
std::optional<QByteArray> ReadPeResource(IByteReader& reader, const QString& type, const QString& name);
