#pragma once

#include <QObject>
#include <QString>

#include <functional>

class CMovaraDlg;
class CRListCtrl;
class CTextData;
class ITransport;

// What playback tells the full-screen control box (its playing/paused icon,
// position, progress slider, swap button, volume icon and continuous-play
// look). The control box joins with its own window; until one is set
// (CPlaybackCoordinator::SetControlBox) each of these is traced and dropped.
class IPlaybackControlBox
{
public:
    virtual ~IPlaybackControlBox() = default;
    virtual void SetPlayingIcon(bool playing) = 0;
    virtual void SetPosition(int seconds) = 0;
    virtual void SetSliderPercent(float percent) = 0;
    virtual void SetSliderEnabled(bool enabled) = 0;
    virtual void SetSwapEnabled(bool enabled) = 0;
    virtual void SetVolumeIcon(int level) = 0;
    virtual void SetContinuousPlay(bool on) = 0;
};

// How playback reaches what lies outside the window; each empty member
// falls back to the analyser (CRecordingAnalyzer) or the system tick.
struct CPlaybackHooks {
    // Telemetry extraction of one recording (called under g_analysisLock).
    std::function<void(const QString& path, CTextData& textData)> extract;
    // Whether an AVI recording's video is H.264: 1 yes, 0 no (under g_analysisLock).
    std::function<int(const QString& path)> checkH264;
    // Whether the file is an MP4 recording the viewer plays.
    std::function<bool(const QString& path)> isMp4Recording;
    // A millisecond tick count (wraps like the system's).
    std::function<unsigned()> tickCount;
};

// The main window's playback: it decides what the transport plays and when,
// and keeps the play controls, the time texts, the position slider, the
// titles and the video windows in step. VideoPlay, VideoPause and VideoSTOP
// are the only places where the play state changes; every button, key, list
// notification and message ends in one of them.
//
// Works on the window's shared state (currentTitle, currentTextData,
// lastPosition, seekPausedPlayback, continuousPlay, singlePlay,
// dualStreamMode, repeatGuard, mapPending, currentCategoryMap) and its
// controls, found by id; the telemetry displays and the window modes are
// reached through the window's collaborators. The play state is the
// transport's own (GetState); nothing here keeps a copy.
//
// Thread: GUI thread only. Ownership: a child of the window; the transport
// belongs to the window (or the test) and outlives this object. Failure:
// results, traced; the one message to the user is the not-decodable box.
// Re-entry: a play, pause or stop asked for while VideoPlay is still busy
// (only possible from an event loop run inside it, such as the message box)
// is refused and traced.
class CPlaybackCoordinator : public QObject
{
    Q_OBJECT

public:
    CPlaybackCoordinator(CMovaraDlg& window, ITransport& transport, CPlaybackHooks hooks);
    ~CPlaybackCoordinator() override;

    // ---- The play state -----------------------------------------------------------
    // Starts the list's playing (else focused) item, or resumes a paused
    // one; `force` reopens it even when paused. 1 when playback runs, 0 when
    // it failed to start or nothing was chosen.
    int VideoPlay(bool force);
    int VideoPause();
    // Stops, closes the recording and clears the presentation.
    int VideoSTOP();
    // Timer 101: the position texts and slider, when the whole second changed.
    void UpdatePlayPosition();
    void ShowCurrentTime();
    void ShowTotalTime();

    // ---- Commands and messages ---------------------------------------------------------
    // Play controls 1100 to 1112.
    void OnControlBoxBtnClicked(int id);
    // 0x406: graph events wait.
    void OnGraphEvent();
    // 0x407: the recording played to its end (already closed).
    void OnPlayComplete();
    // 0x590: a slider or panel reports `value` for control `code`.
    void OnControlValue(int code, int value);
    // 0x591: a slider was released.
    void OnControlReleased(int code);
    // 0x59B: a video window painted.
    void OnPictureRedraw();
    // 0x59A: the front window's pan pair.
    void OnPicturePan(int panX, int panY);
    // 0x40F: a picture drag begins.
    void OnVideoPauseMessage();
    // Command 1071: front-only / front-and-rear play.
    void TogglePlayType();

    // ---- Helpers the window shares ----------------------------------------------------
    // True when `id` repeats the last guarded click within `ms` (then the
    // record is kept); otherwise records it and returns false.
    bool IsRepeated(int id, unsigned ms);
    // The volume button's icon (0..5) for a volume 0..100.
    static int VolumeIconLevel(int volume);
    // The play rate of a speed index 0..6; false for any other index.
    static bool SpeedOfIndex(int index, float* rate);

    void SetControlBox(IPlaybackControlBox* box) { m_controlBox = box; }
    // Calls of the H.264 check so far (also of an injected one).
    int CheckH264Calls() const { return m_checkCalls; }

private:
    // The steps of VideoPlay without the re-entry guard (VideoSTOP and the
    // restart of the play-type toggle call them from inside).
    int DoVideoPlay(bool force);
    int DoVideoPause();
    int DoVideoSTOP();
    int StartRecording();
    void Resume();
    bool IsDecodable(const QString& path, int& h264State);
    void ExtractIfNeeded(const QString& path, CTextData& series);
    void ShowPlaying(bool playing);
    void SingleStreamPresentation();
    void SetSwapEnabled(bool enabled);
    void SetText(int id, const QString& text);
    void SetSliderValue(int id, float value);
    void SetEnabled(int id, bool enabled);
    void ControlBoxPending(const char* what);
    CRListCtrl* List() const;
    unsigned Tick() const;

    CMovaraDlg& m_window;
    ITransport& m_transport;
    CPlaybackHooks m_hooks;
    IPlaybackControlBox* m_controlBox = nullptr;
    bool m_inPlay = false;
    int m_checkCalls = 0;
    int m_volumeIcon = -1;
};
