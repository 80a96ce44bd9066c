#pragma once

#include <QObject>
#include <QPointer>

#include <atomic>

// How a transport (the engine, or a stand-in in tests) tells the GUI what
// happens. Two channels:
//   NotifyMessage  the engine's messages to its notify window (0x406, 0x407,
//                  0x40E), each with its parameters; only while a notify
//                  window is set. "Sent" messages are emitted at once, on the
//                  caller's stack; "posted" ones from the event loop later.
//   FrameReady     a target's published picture changed (a new frame, a new
//                  destination rectangle or aspect mode, another renderer
//                  bound to it, or the picture cleared); whoever shows that
//                  target pulls the picture and repaints. Always queued,
//                  coalesced per target: at most one pending per target.
//
// Lives on the GUI thread and emits only there. Post and PostFrameReady may
// be called from any thread; Send and SetNotifyWindow from the GUI thread.
class CTransportNotifier : public QObject
{
    Q_OBJECT
public:
    explicit CTransportNotifier(QObject* parent = nullptr);

    // The notify window (the owner of message boxes the transport shows and
    // the receiver of its messages); null stops the messages.
    void SetNotifyWindow(QObject* window);
    QObject* NotifyWindow() const { return m_notifyWindow; }

    // Emits NotifyMessage now when a notify window is set.
    void Send(unsigned message, quintptr wParam = 0, qintptr lParam = 0);
    // Emits NotifyMessage from the event loop, if a notify window is set then.
    void Post(unsigned message, quintptr wParam = 0, qintptr lParam = 0);
    // Emits FrameReady(target) from the event loop; requests made before it
    // is delivered are covered by it. Targets outside 0..1 are ignored.
    void PostFrameReady(int target);

signals:
    void NotifyMessage(unsigned message, quintptr wParam, qintptr lParam);
    void FrameReady(int target);

private:
    void DeliverFrameReady(int target);

    QPointer<QObject> m_notifyWindow;
    std::atomic<bool> m_framePending[2] = {false, false};
};
