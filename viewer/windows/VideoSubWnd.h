#pragma once

#include "skin/SkinSurface.h"
#include "windows/VideoWnd.h"

#include <functional>

// The rear video window (id 2001): the rear camera's picture, or, while it
// shows no video, "view_rear.png" stretched over it - or the notice that the
// rear picture is switched off, while the card has front and rear streams
// and only the front one is played (the main window's rule, NoticeRule).
// After every paint it sends 0x59B with wParam 0 (CVideoWnd).
//
// Thread: GUI thread only. Ownership: a child of the main window.
class CVideoSubWnd : public CVideoWnd
{
    Q_OBJECT

public:
    // Created at `rect` (parent's client coordinates); the skin picture is
    // drawn at that size once and stretched afterwards.
    CVideoSubWnd(QWidget* parent, const QRect& rect);

    // Whether the notice replaces the skin (the main window's dualStreamMode
    // and singlePlay both set); asked at every paint. Unset: never.
    void SetNoticeRule(std::function<bool()> rule) { m_noticeRule = std::move(rule); }
    bool ShowsNotice() const { return m_noticeRule && m_noticeRule(); }

protected:
    void PaintSkin(QPainter& painter) override;

private:
    void ComposeNotice();

    CSkinSurface m_background;
    CSkinSurface m_notice;
    std::function<bool()> m_noticeRule;
};
