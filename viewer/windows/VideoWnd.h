#pragma once

#include "engine/VideoFrame.h"

#include <QPointer>
#include <QWidget>

class CTransportNotifier;
class ITransport;

// What the front and rear video windows share: each shows one video target
// of the playback transport (Engine::kFrontTarget or kRearTarget), pulling
// the transport's latest picture for that target on every paint, and its own
// skin picture while it shows no video.
//
// Painting, every time:
//   1. The skin (PaintSkin) unless the window shows video (ShowsVideo: the
//      recording has more than one video stream and the transport is playing
//      or paused, and the window is not in its no-card look); black
//      otherwise.
//   2. While the transport is playing or paused (and not in the no-card
//      look): the target's latest picture in the destination rectangle the
//      transport computed (PaintVideoFrame); a recording with one video
//      stream thus shows its picture over the front skin, and a target fed
//      by nothing keeps its skin.
//   3. NotifyMessage(0x59B, wParam, 0) to the main window: "repaint the
//      video". Pictures are pulled here, so the receiver has nothing to push;
//      the message is kept for the main window's own follow-up.
// FrameReady(target) from the transport's notifier repaints the window; a
// resize hands the new client size to the transport (SetTargetSize).
//
// Thread: GUI thread only. Ownership: the transport is not owned and must
// outlive the window or be detached (SetSource(nullptr, ...)) first. Failure:
// none; without a source the window paints its skin.
class CVideoWnd : public QWidget
{
    Q_OBJECT

public:
    // The transport whose `target` this window shows (null: none).
    void SetSource(ITransport* transport, int target);
    ITransport* Source() const { return m_transport; }
    int Target() const { return m_target; }

    // The no-card look: the skin alone, whatever plays.
    void SetNoCardLook(bool noCard);
    bool IsNoCardLook() const { return m_noCard; }

    // Whether the window shows video rather than its skin (see above).
    bool ShowsVideo() const;

    // What the last paint drew: the picture it took from the transport (an
    // empty frame when it drew none) and how many paints there were.
    const CVideoFrame& LastPaintedFrame() const { return m_lastPainted; }
    quint64 PaintCount() const { return m_paintCount; }

signals:
    // A message to the main window: its number and parameters (sent: the
    // receiver handles it before the emitting call returns).
    void NotifyMessage(unsigned message, quintptr wParam, qintptr lParam);

protected:
    // `redrawParam` is the wParam of the 0x59B message after every paint.
    CVideoWnd(QWidget* parent, int redrawParam);

    // Draws the window's no-video look over the whole client area.
    virtual void PaintSkin(QPainter& painter) = 0;

    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;

private:
    void OnFrameReady(int target);

    ITransport* m_transport = nullptr;
    QPointer<CTransportNotifier> m_notifier;
    QMetaObject::Connection m_frameConnection;
    int m_target = -1;
    int m_redrawParam;
    bool m_noCard = false;
    CVideoFrame m_lastPainted;
    quint64 m_paintCount = 0;
};
