#pragma once

#include <QString>

// True when the recording is read as MP4: its name does not end in ".avi"
// (any case), FFmpeg opens it with a demultiplexer of the "mov" family, and
// every video stream in it is H.264.
bool IsMp4Recording(const QString& path);
