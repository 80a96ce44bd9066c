#pragma once

#include <QString>

typedef struct _GstElement GstElement;

// The engine's media components, each one element (a bin) of the pipeline
// with one input pad "sink" and, where it passes media on, one output pad "src".
namespace Components {

// The video decoder: queue ! h264parse ! avdec_h264. Takes H.264 as the AVI
// splitter or the MP4 source delivers it (with or without stream-format) and
// puts out raw pictures. Null, with the missing element in `missing`, when a
// plug-in is not installed.
GstElement* CreateH264Decoder(const char* graphName, QString* missing);

// The audio wrapper of AVI recordings: queue ! decodebin. Its output pad
// appears linked once the decoder for the stream's format is chosen.
GstElement* CreateAudioWrapper(const char* graphName, QString* missing);

// The audio renderer: queue ! decodebin ! audioconvert ! audioresample !
// scaletempo ! volume ! sink. Takes compressed or raw audio. The sink is the
// desktop's sound output, or a clock-synchronised fake sink on a machine
// without a working sound device. `volume` receives the volume element.
GstElement* CreateAudioRenderer(const char* graphName, QString* missing, GstElement** volume);

// True when the desktop has a sound output GStreamer can open (probed once).
bool HasAudioDevice();

} // namespace Components
