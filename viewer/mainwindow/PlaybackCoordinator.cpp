#include "mainwindow/PlaybackCoordinator.h"

#include "base/TraceLog.h"
#include "catalogue/MemoryCard.h"
#include "catalogue/RecordingAnalyzer.h"
#include "engine/ITransport.h"
#include "lang/Lang.h"
#include "mainwindow/MainWindowIds.h"
#include "mainwindow/MenuBar.h"
#include "mainwindow/MovaraDlg.h"
#include "mainwindow/TelemetryPresenter.h"
#include "mainwindow/WindowModes.h"
#include "platform/Platform.h"
#include "settings/Settings.h"
#include "skin/RButton.h"
#include "skin/RImageNum.h"
#include "skin/RListCtrl.h"
#include "skin/RStaticText.h"
#include "skin/SkinBalloonTip.h" // completes the balloon pointer of the skinned buttons
#include "skin/SkinSlider.h"
#include "skin/TDropBriSpd.h"
#include "windows/VideoMainWnd.h"
#include "windows/VideoSubWnd.h"

#include <QElapsedTimer>
#include <QFileInfo>
#include <QLabel>

#include <mutex>

using namespace MainWnd;

namespace {
QByteArray Local(const QString& s)
{
    return s.toLocal8Bit();
}

QString Clock(long seconds)
{
    const long s = seconds < 0 ? 0 : seconds;
    return QString::asprintf("%02ld:%02ld:%02ld", s / 3600, (s % 3600) / 60, s % 60);
}

// Sets a flag for as long as it lives.
class CBusyScope
{
public:
    explicit CBusyScope(bool& flag)
        : m_flag(flag)
    {
        m_flag = true;
    }
    ~CBusyScope() { m_flag = false; }
    CBusyScope(const CBusyScope&) = delete;
    CBusyScope& operator=(const CBusyScope&) = delete;

private:
    bool& m_flag;
};
} // namespace

CPlaybackCoordinator::CPlaybackCoordinator(CMovaraDlg& window, ITransport& transport, CPlaybackHooks hooks)
    : QObject(&window)
    , m_window(window)
    , m_transport(transport)
    , m_hooks(std::move(hooks))
{
}

CPlaybackCoordinator::~CPlaybackCoordinator() = default;

// ---- Small helpers ----------------------------------------------------------------------

CRListCtrl* CPlaybackCoordinator::List() const
{
    return m_window.List();
}

unsigned CPlaybackCoordinator::Tick() const
{
    if (m_hooks.tickCount)
        return m_hooks.tickCount();
    static QElapsedTimer clock;
    if (!clock.isValid())
        clock.start();
    return unsigned(clock.elapsed());
}

void CPlaybackCoordinator::SetText(int id, const QString& text)
{
    QWidget* w = m_window.Control(id);
    if (auto* t = qobject_cast<CRStaticText*>(w))
        t->SetText(text);
    else if (auto* l = qobject_cast<QLabel*>(w))
        l->setText(text);
}

void CPlaybackCoordinator::SetSliderValue(int id, float value)
{
    if (auto* s = qobject_cast<CSkinSlider*>(m_window.Control(id)))
        s->SetValue(value);
}

void CPlaybackCoordinator::SetEnabled(int id, bool enabled)
{
    if (QWidget* w = m_window.Control(id))
        w->setEnabled(enabled);
}

void CPlaybackCoordinator::ControlBoxPending(const char* what)
{
    TraceLogF("Kestrav : control box %s joins with the full-screen control box", what);
}

void CPlaybackCoordinator::ShowPlaying(bool playing)
{
    if (QWidget* pause = m_window.Control(kIdPause))
        pause->setVisible(playing);
    if (QWidget* play = m_window.Control(kIdPlay))
        play->setVisible(!playing);
    if (m_controlBox)
        m_controlBox->SetPlayingIcon(playing);
    else
        ControlBoxPending(playing ? "playing icon" : "paused icon");
}

void CPlaybackCoordinator::SetSwapEnabled(bool enabled)
{
    SetEnabled(kIdSwap, enabled);
    if (m_controlBox)
        m_controlBox->SetSwapEnabled(enabled);
    else
        ControlBoxPending("swap button");
}

bool CPlaybackCoordinator::IsRepeated(int id, unsigned ms)
{
    const unsigned now = Tick();
    auto& guard = m_window.repeatGuard;
    if (id == guard.lastId && now - guard.lastTick < ms)
        return true;
    guard.lastId = id;
    guard.lastTick = now;
    return false;
}

int CPlaybackCoordinator::VolumeIconLevel(int volume)
{
    if (volume <= 0)
        return 0;
    if (volume >= 80)
        return 5;
    return volume / 20 + 1;
}

bool CPlaybackCoordinator::SpeedOfIndex(int index, float* rate)
{
    if (index < 0 || index >= int(std::size(kSpeedTable)))
        return false;
    if (rate)
        *rate = kSpeedTable[index];
    return true;
}

// ---- VideoPlay ---------------------------------------------------------------------------

int CPlaybackCoordinator::VideoPlay(bool force)
{
    if (m_inPlay) {
        TraceLog(QStringLiteral("VideoPlay::Busy, request dropped"));
        return 0;
    }
    CBusyScope busy(m_inPlay);
    return DoVideoPlay(force);
}

int CPlaybackCoordinator::DoVideoPlay(bool force)
{
    // 1.
    TraceLogF("Kestrav---->VideoPlay START. CurrentState[%d]", m_transport.GetState());
    // 2. What plays is closed first.
    if (m_transport.GetState() == STATE_PLAY) {
        m_window.Presenter().ClearVehicleSignals();
        SetSliderValue(kIdSpeedGauge, 0.0f);
        m_window.Presenter().ClearMapTrack();
        m_transport.Close();
    }
    // 4. Start, resume or nothing.
    const int state = m_transport.GetState();
    if (state == STATE_STOP || force) {
        // 3. The picture labels are set again once the recording runs.
        SetText(kIdLabelFront, QString());
        SetText(kIdLabelRear, QString());
        if (!StartRecording())
            return 0;
    } else if (state == STATE_PAUSE) {
        Resume();
    }
    // 22.
    TraceLog(QStringLiteral("Kestrav---->VideoPlay END"));
    return 1;
}

void CPlaybackCoordinator::ExtractIfNeeded(const QString& path, CTextData& series)
{
    // The analysis thread fills the same entries under the same lock: the
    // series is looked at only once the lock is held, and an extraction
    // replaces it with a fresh one (extraction appends, so a series that
    // already holds GPS fixes would get them twice).
    std::lock_guard<std::recursive_mutex> lock(g_analysisLock);
    if (!series.gsensorList.empty())
        return;
    TraceLog(QStringLiteral(">>>"));
    CTextData fresh;
    try {
        if (m_hooks.extract)
            m_hooks.extract(path, fresh);
        else
            GetAnalyzer()->ExtractText(path, fresh);
        TraceLogF("ExtractText on video play[%s]", Local(path).constData());
    } catch (...) {
        TraceLogF("ExtractText Execption has occured on video play[%s]", Local(path).constData());
    }
    series = std::move(fresh);
    TraceLog(QStringLiteral("<<<"));
}

bool CPlaybackCoordinator::IsDecodable(const QString& path, int& h264State)
{
    if (h264State == Catalogue::kH264Bad)
        return false;
    if (h264State != Catalogue::kH264Untested)
        return true;
    const bool mp4 = m_hooks.isMp4Recording ? m_hooks.isMp4Recording(path) : GetAnalyzer()->IsMp4Recording(path);
    if (mp4) {
        m_window.dualStreamMode = 1;
        h264State = Catalogue::kH264Ok;
        return true;
    }
    TraceLog(QStringLiteral(">>>"));
    bool decodable = false;
    {
        std::lock_guard<std::recursive_mutex> lock(g_analysisLock);
        ++m_checkCalls;
        try {
            decodable = (m_hooks.checkH264 ? m_hooks.checkH264(path) : GetAnalyzer()->CheckH264(path)) != 0;
        } catch (...) {
            TraceLogF("CheckH264 Execption has occured on video play[%s]", Local(path).constData());
            decodable = false;
        }
    }
    TraceLog(QStringLiteral("<<<"));
    if (decodable && m_window.dualStreamMode == 1)
        m_window.dualStreamMode = 0;
    h264State = decodable ? Catalogue::kH264Ok : Catalogue::kH264Bad;
    return decodable;
}

int CPlaybackCoordinator::StartRecording()
{
    CRListCtrl* list = List();
    // 5.
    m_transport.SetReverseMode(false);
    // 6. The title: the list's playing item, else its focused one.
    QString title = list ? list->GetPlayingName() : QString();
    if (title.isEmpty()) {
        title = list ? list->GetFocusedName() : QString();
        if (title.isEmpty()) {
            TraceLog(QStringLiteral("VideoPlay::None FocusedTitle"));
            return 0;
        }
        list->SetPlayingByName(title);
        list->Refresh();
        TraceLog(QStringLiteral("VideoPlay::Set NewSelectedTitle"));
    }
    // 7. The catalogue entry. A name the current map no longer holds (the
    //    map changed under the list) plays nothing: nothing may be taken
    //    from an entry that does not exist.
    CategoryMap* map = m_window.currentCategoryMap;
    const auto it = map ? map->find(title) : CategoryMap::iterator();
    if (!map || it == map->end()) {
        TraceLogF("VideoPlay::No catalogue entry for [%s]", Local(title).constData());
        DoVideoSTOP();
        return 0;
    }
    RecordingEntry& entry = it->second;
    const QString path = entry.path;
    m_window.currentTextData = &entry.textData;
    // 8. Telemetry on demand. From here on the presentation's own copy is
    //    read: the analysis thread may replace the entry's series.
    ExtractIfNeeded(path, entry.textData);
    m_window.Presenter().TakeSeries(&entry.textData);
    const CTextData* series = m_window.Presenter().Series();
    // 9.
    m_window.mapPending = (!series->gpsList.empty() && !series->gpsList.front().valid) ? 1 : 0;
    m_window.Presenter().ResetMapArea(true);
    // 10.
    TraceLog(QStringLiteral("VideoPlay::Get GPSData"));
    if (auto* number = qobject_cast<CRImageNum*>(m_window.Control(kIdSpeedNumber)))
        number->SetValue(0);
    m_window.Presenter().DrawGraph(series);
    TraceLog(QStringLiteral("VideoPlay::Draw GPSData"));
    // 11.
    m_window.Presenter().ClearMapTrack();
    m_window.Presenter().DrawMapLine(title);
    TraceLog(QStringLiteral("VideoPlay::Draw MapLine"));
    // 12.
    m_transport.SetNotifyWindow(&m_window);
    m_transport.SetVideoTargets(m_window.FrontVideo() ? m_window.FrontVideo()->size() : QSize(),
                                m_window.RearVideo() ? m_window.RearVideo()->size() : QSize());
    TraceLog(QStringLiteral("VideoPlay::Set Video Handle"));
    // 13. Decodability; the verdict stays with the entry. A file that has
    //     gone since the list was filled is no verdict on its format: it
    //     fails as an open does.
    if (!QFileInfo(path).isFile()) {
        TraceLogF("VideoPlay::No such recording[%s]", Local(path).constData());
        DoVideoSTOP();
        TraceLog(QStringLiteral("VideoPlay::OnMovieOpen Fail"));
        return 0;
    }
    if (!IsDecodable(path, entry.h264State)) {
        // The entry is not touched after the box: the box runs an event loop
        // in which the catalogue may change.
        CPlatform::Instance().MessageBox(&m_window, LangText(QString::fromLatin1(kTextNotDecodable)),
                                         QString::fromLatin1(kTitle), CPlatform::MB_OK);
        DoVideoSTOP();
        return 0;
    }
    // 14.
    TraceLog(QStringLiteral("VideoPlay::Pass H264 Checking"));
    m_window.Presenter().ShowVehicleSignals(m_window.dualStreamMode == 1, series);
    // 15. The brightness and speed panel shows 50 and x1.0 again (a new open starts there).
    if (CTDropBriSpd* panel = m_window.Menus().SpeedPanel())
        panel->ResetValues();
    // 16.
    if (!m_transport.OnMovieOpen(path, m_window.singlePlay == 1)) {
        DoVideoSTOP();
        TraceLog(QStringLiteral("VideoPlay::OnMovieOpen Fail"));
        return 0;
    }
    // 17. Titles and the second picture.
    SetText(kIdMainTitle, title);
    if (m_window.dualStreamMode == 1 && m_window.singlePlay == 1) {
        SingleStreamPresentation();
        SetSwapEnabled(false);
    } else if (m_transport.GetVideoTrackCount() > 1) {
        SetText(kIdSecondTitle, list ? list->GetPartnerName() : QString());
        SetSwapEnabled(true);
    } else {
        SetSwapEnabled(false);
        SingleStreamPresentation();
    }
    // 18.
    m_window.currentTitle = title;
    if (CVideoMainWnd* front = m_window.FrontVideo())
        front->SetCaptionTitle(title);
    const bool reverse =
        m_window.dualStreamMode == 1 && m_window.singlePlay == 0 && list && list->IsPlayingRear();
    m_window.Modes().SetReverse(reverse);
    // 19.
    m_transport.ResetSize(m_window.Modes().WindowMode() != kModeExpanded);
    m_transport.Play();
    // 20. The presentation of a running recording; the first timer tick
    //     refreshes the slider even at the second the last recording left.
    TraceLog(QStringLiteral("VideoPlay::Pass Video Play"));
    m_window.lastPosition = -1;
    ShowCurrentTime();
    ShowTotalTime();
    TraceLog(QStringLiteral("VideoPlay::Set TimeUI"));
    m_window.SetTimer(kTimerPlayPosition, kPlayPositionPeriodMs);
    ShowPlaying(true);
    m_window.UpdateFrontRearLabels();
    SetEnabled(kIdPositionSlider, true);
    if (m_controlBox)
        m_controlBox->SetSliderEnabled(true);
    else
        ControlBoxPending("slider");
    TraceLog(QStringLiteral("VideoPlay::Set TitleUI"));
    SetEnabled(kIdZoomMenu, true);
    SetEnabled(kIdSpeedPanel, true);
    if (m_window.FrontVideo())
        m_window.FrontVideo()->update();
    if (m_window.RearVideo())
        m_window.RearVideo()->update();
    return 1;
}

void CPlaybackCoordinator::SingleStreamPresentation()
{
    SetText(kIdSecondTitle, QString());
    m_transport.DetachRearRenderer();
    if (m_window.RearVideo())
        m_window.RearVideo()->update();
}

void CPlaybackCoordinator::Resume()
{
    // 21.
    TraceLog(QStringLiteral("VideoPlay::PAUSE->Play routine"));
    ShowPlaying(true);
    m_window.SetTimer(kTimerPlayPosition, kPlayPositionPeriodMs);
    ShowCurrentTime();
    ShowTotalTime();
    m_transport.Play();
}

// ---- VideoPause, VideoSTOP ------------------------------------------------------------------

int CPlaybackCoordinator::VideoPause()
{
    if (m_inPlay) {
        TraceLog(QStringLiteral("Kestrav---->VideoPause while VideoPlay is busy, dropped"));
        return 1;
    }
    return DoVideoPause();
}

int CPlaybackCoordinator::DoVideoPause()
{
    TraceLog(QStringLiteral("Kestrav---->VideoPause START"));
    ShowPlaying(false);
    m_window.KillTimer(kTimerPlayPosition);
    m_transport.Pause();
    TraceLog(QStringLiteral("Kestrav---->VideoPause End"));
    return 1;
}

int CPlaybackCoordinator::VideoSTOP()
{
    if (m_inPlay) {
        TraceLog(QStringLiteral("Kestrav---->VideoSTOP while VideoPlay is busy, dropped"));
        return 1;
    }
    return DoVideoSTOP();
}

int CPlaybackCoordinator::DoVideoSTOP()
{
    // 1.
    TraceLog(QStringLiteral("Kestrav---->VideoSTOP START"));
    // 2.
    if (m_transport.GetReverseMode())
        m_window.Modes().SetReverse(false);
    // 3.
    ShowPlaying(false);
    // 4.
    m_window.currentTextData = nullptr;
    m_window.Presenter().TakeSeries(nullptr);
    m_window.mapPending = 1;
    m_window.Presenter().ResetMapArea(false);
    // 5.
    m_window.KillTimer(kTimerPlayPosition);
    m_transport.Close();
    // 6.
    ShowTotalTime();
    ShowCurrentTime();
    SetSliderValue(kIdPositionSlider, 0.0f);
    // 7.
    m_window.InvalidateArea(m_window.rearShown == 0 ? kAreaFrontVideo : kAreaWindow);
    // 8.
    m_window.currentTitle.clear();
    if (CVideoMainWnd* front = m_window.FrontVideo()) {
        front->ResetZoom();
        front->update();
        front->SetCaptionTitle(QString());
    }
    if (m_window.RearVideo())
        m_window.RearVideo()->update();
    // 9.
    SetText(kIdMainTitle, QString());
    SetText(kIdSecondTitle, QString());
    SetEnabled(kIdPositionSlider, false);
    if (m_controlBox)
        m_controlBox->SetSliderEnabled(false);
    else
        ControlBoxPending("slider");
    if (auto* number = qobject_cast<CRImageNum*>(m_window.Control(kIdSpeedNumber)))
        number->SetValue(0);
    m_window.Presenter().ClearGraph();
    if (m_window.dualStreamMode == 1)
        m_window.Presenter().ClearVehicleSignals();
    // 10.
    SetText(kIdAccelX, QString::asprintf("X : %04d", 0));
    SetText(kIdAccelY, QString::asprintf("Y : %04d", 0));
    SetText(kIdAccelZ, QString::asprintf("Z : %04d", 0));
    SetSliderValue(kIdSpeedGauge, 0.0f);
    // 11.
    if (CRListCtrl* list = List())
        list->SetPlayingByName(QString());
    m_window.Presenter().ClearMapTrack();
    // 12.
    SetEnabled(kIdZoomMenu, false);
    SetEnabled(kIdSpeedPanel, false);
    // 13.
    TraceLog(QStringLiteral("Kestrav---->VideoSTOP End"));
    return 1;
}

// ---- Position ------------------------------------------------------------------------------------

void CPlaybackCoordinator::UpdatePlayPosition()
{
    // While the map bridge waits for the page (a nested event loop), the
    // timer keeps firing: nothing is done then.
    if (m_window.Presenter().MapBusy())
        return;
    const long pos = m_transport.GetPosition();
    const long dur = m_transport.GetDuration();
    if (pos == m_window.lastPosition || dur == 0)
        return;
    const float percent = float(double(pos) / double(dur) * 100.0);
    SetSliderValue(kIdPositionSlider, percent);
    ShowCurrentTime();
    if (m_window.dualStreamMode == 1 && !g_deviceRecord.isEmpty()
        && DeviceModelName(g_deviceRecord) == QLatin1String(kModelWithVehicleSignals))
        m_window.Presenter().SetCarInfoStatus();
    const int shown = m_window.Presenter().SetGPSPosion();
    m_window.Presenter().UpdateMapArea(CTelemetryPresenter::MapOccasion::Periodic, shown);
    m_window.lastPosition = int(pos);
    if (m_controlBox)
        m_controlBox->SetSliderPercent(percent);
}

void CPlaybackCoordinator::ShowCurrentTime()
{
    const long pos = m_transport.GetPosition();
    if (m_controlBox) {
        m_controlBox->SetPosition(int(pos));
        m_controlBox->SetSliderEnabled(true);
    }
    // The label is transparent: the window's background shows under it again.
    SetText(kIdCurrentTime, Clock(pos) + QStringLiteral(" /"));
}

void CPlaybackCoordinator::ShowTotalTime()
{
    SetText(kIdDuration, Clock(m_transport.GetDuration()));
}

// ---- Play controls ------------------------------------------------------------------------------

void CPlaybackCoordinator::OnControlBoxBtnClicked(int id)
{
    const bool guarded = id >= kIdPrevious && id <= kIdForward10;
    if (guarded && IsRepeated(id, (id == kIdPrevious || id == kIdNext) ? kRepeatSelectMs : kRepeatSeekMs))
        return;
    TraceLog(QStringLiteral("OnControlBoxBtnClicked "));
    m_window.HideDropPanels(-1);
    CRListCtrl* list = List();
    const int state = m_transport.GetState();
    switch (id) {
    case kIdPlay:
        TraceLog(QStringLiteral("BTN CLICK : ID_BTN_PLAY "));
        VideoPlay(false);
        break;
    case kIdPause:
        TraceLog(QStringLiteral("BTN CLICK : ID_BTN_PAUSE "));
        VideoPause();
        break;
    case kIdStop:
        TraceLog(QStringLiteral("BTN CLICK : ID_BTN_STOP "));
        VideoSTOP();
        break;
    case kIdPrevious:
    case kIdNext:
        TraceLog(id == kIdPrevious ? QStringLiteral("BTN CLICK : ID_BTN_PRE ") : QStringLiteral("BTN CLICK : ID_BTN_NEXT "));
        if (state == STATE_STOP || !list)
            break;
        if (state == STATE_PAUSE)
            VideoPlay(false);
        // The list announces its new playing item as command 1100, which starts it.
        if (id == kIdPrevious)
            list->SelectPrev(m_window.singlePlay == 1);
        else
            list->SelectNext(m_window.singlePlay == 1);
        break;
    case kIdBack10:
    case kIdForward10:
        TraceLog(id == kIdBack10 ? QStringLiteral("BTN CLICK : ID_BTN_SEC(PRE10) ")
                                 : QStringLiteral("BTN CLICK : ID_BTN_SEC2(NEXT10) "));
        if (id == kIdBack10)
            m_transport.SeekBackwards();
        else
            m_transport.SeekForwards();
        if (state == STATE_PAUSE)
            UpdatePlayPosition();
        break;
    case kIdContinuousPlay: {
        TraceLog(QStringLiteral("BTN CLICK : ID_BTN_VIDEO_CONNECT "));
        m_window.continuousPlay = m_window.continuousPlay ? 0 : 1;
        if (auto* b = qobject_cast<CRButton*>(m_window.Control(kIdContinuousPlay)))
            b->SetCheck(m_window.continuousPlay == 1);
        if (m_controlBox)
            m_controlBox->SetContinuousPlay(m_window.continuousPlay == 1);
        else
            ControlBoxPending("continuous play");
        break;
    }
    case kIdPlayForce:
        TraceLog(QStringLiteral("BTN CLICK : ID_BTN_PLAY_FORCE "));
        VideoPlay(true);
        break;
    default:
        break;
    }
}

// ---- Messages ------------------------------------------------------------------------------------

void CPlaybackCoordinator::OnGraphEvent()
{
    m_transport.HandleGraphEvent();
}

void CPlaybackCoordinator::OnPlayComplete()
{
    if (m_window.continuousPlay == 0) {
        VideoSTOP();
        return;
    }
    // The list wraps after its last item and announces the new playing item
    // as command 1100, which starts it (the recording is closed already).
    CRListCtrl* list = List();
    if (!list || !list->SelectNext(m_window.singlePlay == 1)) {
        VideoSTOP();
        if (m_window.Modes().WindowMode() == kModeExpanded)
            m_window.Modes().ToggleExpand();
    }
}

void CPlaybackCoordinator::OnControlValue(int code, int value)
{
    switch (code) {
    case kIdPositionSlider: {
        const int state = m_transport.GetState();
        if (state == STATE_PLAY) {
            m_window.seekPausedPlayback = true;
            VideoPause();
            m_transport.SetPosition(value);
            m_transport.ReDrawVideo();
        } else if (state == STATE_PAUSE) {
            m_transport.SetPosition(value);
            m_transport.ReDrawVideo();
        }
        ShowCurrentTime();
        const int shown = m_window.Presenter().SetGPSPosion();
        m_window.Presenter().UpdateMapArea(CTelemetryPresenter::MapOccasion::Seek, shown);
        break;
    }
    case kCodeBrightness:
        m_transport.SetBrightness(value);
        break;
    case kCodeSpeed: {
        float rate = 1.0f;
        if (SpeedOfIndex(value, &rate))
            m_transport.SetVideoSpeed(rate);
        else
            TraceLogF("Kestrav : speed index %d out of range", value);
        break;
    }
    case kCodeVolume: {
        m_transport.SetVolume(value);
        const int level = VolumeIconLevel(value);
        if (auto* b = qobject_cast<CSkinButton*>(m_window.Control(kIdVolume)))
            if (b->GetIconIndex() != level)
                b->SetIconIndex(level);
        if (level != m_volumeIcon) {
            m_volumeIcon = level;
            if (m_controlBox)
                m_controlBox->SetVolumeIcon(level);
            else
                ControlBoxPending("volume icon");
        }
        break;
    }
    default:
        break;
    }
}

void CPlaybackCoordinator::OnControlReleased(int code)
{
    if ((code == kIdPositionSlider || code == kCodeControlBoxSlider) && m_window.seekPausedPlayback) {
        VideoPlay(false);
        m_window.seekPausedPlayback = false;
    }
    m_transport.ReDrawVideo();
    m_window.Presenter().UpdateMapArea(CTelemetryPresenter::MapOccasion::Release, 0);
}

void CPlaybackCoordinator::OnPictureRedraw()
{
    m_transport.ReDrawVideo();
    m_window.Presenter().UpdateMapArea(CTelemetryPresenter::MapOccasion::Redraw, 0);
}

void CPlaybackCoordinator::OnPicturePan(int panX, int panY)
{
    m_transport.MoveVideoPosByPercent(panX, panY);
}

void CPlaybackCoordinator::OnVideoPauseMessage()
{
    TraceLog(QStringLiteral("Kestrav---->Recv WM_VIDEO_PAUSE"));
    VideoPause();
}

void CPlaybackCoordinator::TogglePlayType()
{
    TraceLog(QStringLiteral("BTN CLICK : ID_BOX_SETTING_PLAY"));
    if (m_window.dualStreamMode != 1 || m_window.playTypeLocked != 0)
        return;
    m_window.singlePlay = m_window.singlePlay ? 0 : 1;
    m_window.UpdatePlayTypeItem();
    SettingsSetText(QString::fromLatin1(kSettingPlayType),
                    QString::fromLatin1(m_window.singlePlay ? kPlayTypeSingle : kPlayTypeDual));
    if (!SettingsSave())
        TraceLog(QStringLiteral("Kestrav : the settings file could not be saved"));
    if (m_transport.GetState() != STATE_STOP) {
        // The recording that played starts again, even when another item
        // has been focused meanwhile (VideoSTOP clears the playing mark).
        CRListCtrl* list = List();
        const QString playing = list ? list->GetPlayingName() : QString();
        VideoSTOP();
        if (list && !playing.isEmpty())
            list->SetPlayingByName(playing);
        VideoPlay(false);
    } else {
        if (m_window.RearVideo())
            m_window.RearVideo()->update();
        m_window.UpdateFrontRearLabels();
    }
}
