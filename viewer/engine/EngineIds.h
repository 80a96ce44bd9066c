#pragma once

// Every number and text the playback engine fixes: states, the messages it
// sends to its notify window, graph event codes, result codes, the names of
// the elements of its pipeline, and the texts of its error reports.

#include <cstdint>

// Play states of CVideoMgr (GetState).
enum : int {
    STATE_STOP = 0,
    STATE_PLAY = 1,
    STATE_PAUSE = 2,
};

namespace Engine {

// Result codes of the engine's operations (HRESULT-style: negative = failure).
using HRESULT = int32_t;
constexpr HRESULT S_OK = 0;
constexpr HRESULT S_FALSE = 1;
constexpr HRESULT E_NOTIMPL = static_cast<HRESULT>(0x80004001u);
constexpr HRESULT E_NOINTERFACE = static_cast<HRESULT>(0x80004002u);
constexpr HRESULT E_POINTER = static_cast<HRESULT>(0x80004003u);
constexpr HRESULT E_ABORT = static_cast<HRESULT>(0x80004004u);
constexpr HRESULT E_FAIL = static_cast<HRESULT>(0x80004005u);
constexpr HRESULT E_INVALIDARG = static_cast<HRESULT>(0x80070057u);
constexpr HRESULT E_FILE_NOT_FOUND = static_cast<HRESULT>(0x80070002u);    // HRESULT_FROM_WIN32(ERROR_FILE_NOT_FOUND)
constexpr HRESULT E_ACCESS_DENIED = static_cast<HRESULT>(0x80070005u);     // HRESULT_FROM_WIN32(ERROR_ACCESS_DENIED)
constexpr HRESULT VFW_E_NOT_CONNECTED = static_cast<HRESULT>(0x80040209u);
constexpr HRESULT VFW_E_CANNOT_CONNECT = static_cast<HRESULT>(0x80040217u);
constexpr HRESULT VFW_E_NO_ACCEPTABLE_TYPES = static_cast<HRESULT>(0x80040207u);
constexpr HRESULT VFW_E_INVALID_FILE_FORMAT = static_cast<HRESULT>(0x8004022Fu);
constexpr HRESULT VFW_E_TIMEOUT = static_cast<HRESULT>(0x8004022Eu);
constexpr HRESULT VFW_E_DUPLICATE_NAME = static_cast<HRESULT>(0x8004028Du);

inline bool Failed(HRESULT hr) { return hr < 0; }

// Messages to the notify window (WM_USER + n), carried by CTransportNotifier::NotifyMessage.
constexpr unsigned kWmUser = 0x0400;
constexpr unsigned kMsgGraphNotify = kWmUser + 6;      // 0x406, posted: graph events are waiting
constexpr unsigned kMsgPlayComplete = kWmUser + 7;     // 0x407, sent: the recording ended, graph closed
constexpr unsigned kMsgViewSizeChanged = kWmUser + 14; // 0x40E, posted: the front picture's zoom changed

// Graph event codes handed to HandleGraphEvent.
constexpr long EC_COMPLETE = 0x01;
constexpr long EC_USERABORT = 0x02;
constexpr long EC_ERRORABORT = 0x03;
constexpr long EC_PAUSED = 0x0E;

// Aspect-ratio modes of the windowless video renderer.
constexpr int VMR_ARMODE_NONE = 0;
constexpr int VMR_ARMODE_LETTER_BOX = 1;

// Time unit of positions inside the graph: 100 ns.
constexpr int64_t kUnitsPerSecond = 10'000'000;
constexpr int64_t kSkipUnits = 100'000'000;   // ten-second skip
constexpr int64_t kEndMarginUnits = 1'000'000; // a skip past the end stops 0.1 s before it

// Brightness level that leaves the picture unchanged.
constexpr int kNeutralBrightness = 50;

// The wall time one OnMovieOpen may spend waiting on the GUI thread. Every
// wait of an open (each demultiplexer exposing its streams, the first
// pictures) draws on this one deadline, started when the open begins; an
// open that runs out of it fails.
constexpr int kOpenDeadlineMs = 3000;

// Video targets: where the pictures are shown. The front target is the front
// video window, the rear target the rear one; which camera's renderer feeds
// which target follows the swap flag.
constexpr int kNoTarget = -1;
constexpr int kFrontTarget = 0;
constexpr int kRearTarget = 1;
constexpr int kTargetCount = 2;

// Names of the elements in the pipeline.
namespace GraphName {
constexpr const char* kGraph = "Kestrav Filter Graph";
constexpr const char* kMp4Source = "DirectShow NV MP4 Dual Source";
constexpr const char* kFileSource = "DirectShow Async File Source";
constexpr const char* kAviSplitter = "DirectShow AVI Splitter";
constexpr const char* kAudioWrapper = "ACM Audio Wrapper";
constexpr const char* kAudioRenderer = "Audio Renderer";
constexpr const char* kDecoderSub = "NV Video Decoder Sub";
constexpr const char* kDecoderMain = "NV Video Decoder Main";
constexpr const char* kRendererSub = "Video Mixing Renderer Sub";
constexpr const char* kRendererMain = "Video Mixing Renderer Main";
} // namespace GraphName

// Display names used in "Failed to Create Filter" reports.
namespace DisplayName {
constexpr const char* kGraph = "Graph Builder";
constexpr const char* kMp4Source = "NV MP4 Dual Source Filter";
constexpr const char* kFileSource = "DirectShow Async File Source";
constexpr const char* kAviSplitter = "DirectShow AVI Splitter";
constexpr const char* kAudioWrapper = "ACMWrapper";
constexpr const char* kDecoderSub = "NV Video Decoder Sub";
constexpr const char* kDecoderMain = "NV Video Decoder Main";
constexpr const char* kRendererSub = "Video Mixing Renderer Sub";
constexpr const char* kRendererMain = "Video Mixing Renderer Main";
} // namespace DisplayName

// Texts of the error reports ("Error : %s (0x%x)" is added by ReportError).
namespace ErrorText {
constexpr const char* kReportFormat = "Error : %s (0x%x)";
constexpr const char* kCreateFilter = "Failed to Create Filter '%s'";
constexpr const char* kNoFileSource = "Fail QueryInterface IID_IFileSourceFilter";
constexpr const char* kLoadFailed = "Failed to Load File";
constexpr const char* kDualInfoBeforeLoad = "Error : Fail QueryInterface INVMP4DualSourceInfo(0x%x).0";
constexpr const char* kDualInfoAfterLoad = "Error : Fail QueryInterface INVMP4DualSourceInfo(0x%x)";
constexpr const char* kTrackInfo = "Error : Fail QueryInterface INVTrackInfo(0x%x)";
constexpr const char* kSplitterCheck = "ERROR: AVI Splitter Check Error[0x%x]";
constexpr const char* kDisconnectOut = "pGB->Disconnect(pOutPin)";
constexpr const char* kDisconnectIn = "pGB->Disconnect(pInPin)";
constexpr const char* kConnect = "pGB->Connect(pOutPin,pInPin)";
constexpr const char* kConnectionFailed = "Connection failed: %s";
// The graph did not reach its first pictures (an error, or the open's deadline).
constexpr const char* kPrerollFailed = "Failed to Pause Graph";
} // namespace ErrorText

// Labels of the connections ConnectFilters makes.
namespace Link {
constexpr const char* kSourceToSplitter = "Source to AVI Splitter";
constexpr const char* kSplitterToDecoder = "AVI Splitter to Decoder";
constexpr const char* kDecoderToRenderer = "Decoder to Video Renderer";
constexpr const char* kSplitterToDecoder2 = "Decoder 2 to AVI Splitter";
constexpr const char* kDecoder2ToRenderer2 = "Decoder 2 to Video Renderer 2";
constexpr const char* kSourceToAudioRenderer = "Source to Audio Renderer";
constexpr const char* kSplitterToWrapper = "AVI Splitter to Audio Wrapper";
constexpr const char* kWrapperToRenderer = "Audio Wrapper to Audio Renderer";
} // namespace Link

} // namespace Engine
