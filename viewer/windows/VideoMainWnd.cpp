#include "windows/VideoMainWnd.h"

#include "engine/ITransport.h"
#include "base/TraceLog.h"
#include "lang/Lang.h"
#include "skin/RScrollBar.h"
#include "skin/SkinBalloonTip.h" // completes the balloon pointer of the skinned buttons
#include "skin/SkinBlit.h"
#include "skin/SkinConstants.h"
#include "skin/SkinImage.h"
#include "skin/TButton.h"
#include "skin/TDropBox.h"
#include "windows/FullScrCaption.h"
#include "windows/FullScrControlBox.h"
#include "windows/WindowsIds.h"

#include <QGuiApplication>
#include <QMouseEvent>
#include <QPainter>
#include <QScreen>
#include <QTimer>

#include <algorithm>

using namespace WindowsIds;

namespace {
QString Name(const char* s)
{
    return QString::fromLatin1(s);
}

QString Text(const char* key)
{
    return key ? LangText(Name(key)) : QString();
}

constexpr Qt::WindowFlags kPopupFlags = Qt::Tool | Qt::FramelessWindowHint | Qt::WindowDoesNotAcceptFocus;
} // namespace

CVideoMainWnd::CVideoMainWnd(QWidget* parent, const QRect& rect)
    : CVideoWnd(parent, 1)
    , m_hideTimeoutMs(kOverlayHideMs)
{
    setGeometry(rect);
    setMouseTracking(true);
    // 1. The skin pictures at the size of creation.
    if (m_background.Create(width(), height()))
        CSkinImage::GetInstance()->DrawImage(m_background, Name(kPicViewFront));
    if (m_title.Create(kViewTitleWidth, kViewTitleHeight))
        CSkinImage::GetInstance()->DrawImage(m_title, Name(kPicViewTitle));

    // 2. The popups, hidden: the zoom bars, the fit button, the context menu.
    const QRect r = this->rect();
    m_verticalBar = new CRScrollBar(this, kPopupFlags);
    m_verticalBar->setWindowTitle(QStringLiteral("ScrVer"));
    m_verticalBar->setGeometry(r.right() + 1 - kZoomBarInset, r.top(), kZoomBarThickness,
                               std::max(1, r.bottom() + 1 - kZoomBarInset));
    m_verticalBar->SetNotifyWindow(this);
    connect(m_verticalBar, &CSkinScrollBar::NotifyMessage, this, &CVideoMainWnd::OnBarMessage);
    m_verticalBar->hide();

    m_horizontalBar = new CRScrollBar_Hor(this, kPopupFlags);
    m_horizontalBar->setWindowTitle(QStringLiteral("ScrHor"));
    m_horizontalBar->move(r.left(), r.bottom() + 1 - kZoomBarInset);
    m_horizontalBar->SetNotifyWindow(this);
    connect(m_horizontalBar, &CSkinScrollBar::NotifyMessage, this, &CVideoMainWnd::OnBarMessage);
    m_horizontalBar->hide();

    m_fitButton = new CTButton(this);
    m_fitButton->setWindowTitle(QStringLiteral("FitArea"));
    m_fitButton->SetCommandId(kCmdFitArea);
    m_fitButton->setGeometry(r.right() + 1 - kZoomBarInset, r.bottom() + 1 - kZoomBarInset, kFitButtonSize,
                             kFitButtonSize);
    m_fitButton->SetImages(Name(kPicFitNormal), Name(kPicFitOver), Name(kPicFitPress));
    m_fitButton->SetBalloonText(Text(kTextFitBalloon));
    connect(m_fitButton, &CSkinButton::Command, this, &CVideoMainWnd::Command);
    m_fitButton->hide();

    BuildContextMenu();

    m_hideTimerObject = new QTimer(this);
    m_hideTimerObject->setSingleShot(true);
    connect(m_hideTimerObject, &QTimer::timeout, this, &CVideoMainWnd::OnHideTimer);

    // 3.
    setWindowTitle(Name(kVideoWindowTitle));
}

CVideoMainWnd::~CVideoMainWnd() = default;

void CVideoMainWnd::BuildContextMenu()
{
    m_contextMenu = new CTDropBox(this);
    m_contextMenu->setWindowTitle(QStringLiteral("ScrContext"));
    m_contextMenu->resize(kContextMenuWidth, kContextMenuHeight);
    m_contextMenu->SetImages(Name(kPicMenuBackground), Name(kPicMenuHeld), Name(kPicMenuHover));
    m_contextMenu->SetTextColors(QColor::fromRgb(kMenuTextColor), QColor::fromRgb(kMenuHoverTextColor));
    bool first = true;
    for (const VideoMenuEntry& e : kVideoMenuEntries) {
        m_contextMenu->AddItem(Text(e.text), Text(e.keyText), e.command);
        if (first)
            m_contextMenu->AddSeparator(Name(kPicMenuSeparator), kMenuSeparatorWidth, kMenuSeparatorHeight,
                                        kMenuSeparatorX, kMenuSeparatorY, 1);
        first = false;
    }
    m_contextMenu->hide();
    connect(m_contextMenu, &CTDropBox::Command, this, &CVideoMainWnd::Command);
}

void CVideoMainWnd::ReloadTexts()
{
    for (const VideoMenuEntry& e : kVideoMenuEntries)
        m_contextMenu->SetItemTexts(e.command, Text(e.text), Text(e.keyText));
    m_contextMenu->ResetFont();
    m_fitButton->SetBalloonText(Text(kTextFitBalloon));
    // The caption and the control box reload theirs with their own texts.
}

// ---- Painting ----------------------------------------------------------------------

void CVideoMainWnd::PaintSkin(QPainter& painter)
{
    painter.fillRect(rect(), Qt::black);
    if (m_background.IsCreated())
        painter.drawImage(rect(), m_background.GetImage());
    if (m_title.IsCreated())
        painter.drawImage(QPoint(width() / 2 - kViewTitleHalfWidth, height() / 2 - kViewTitleHalfHeight),
                          m_title.GetImage());
}

// ---- Zoom and pan ------------------------------------------------------------------

bool CVideoMainWnd::SetZoom(float zoom)
{
    m_zoom = zoom;
    ShowZoomBars();
    return true;
}

void CVideoMainWnd::ResetZoom()
{
    m_zoom = 1.0f;
    m_verticalBar->hide();
    m_horizontalBar->hide();
    m_fitButton->hide();
    m_dragging = false;
    ApplyCursor();
    // In full screen with nothing open the control box starts again from 0.
    if (m_fullScreen && (!Source() || Source()->GetState() == STATE_STOP))
        if (auto* box = qobject_cast<CFullScrControlBox*>(m_controlBox.data()))
            box->ResetTimes();
}

void CVideoMainWnd::PlaceZoomBars()
{
    if (m_zoom <= 1.0f)
        return;
    const QRect r = rect();
    const QPoint origin = mapToGlobal(QPoint(0, 0));
    m_verticalBar->setGeometry(origin.x() + r.right() + 1 - kZoomBarInset, origin.y() + r.top(), kZoomBarThickness,
                               std::max(1, r.bottom() + 1 - kZoomBarInset));
    m_horizontalBar->setGeometry(origin.x() + r.left(), origin.y() + r.bottom() + 1 - kZoomBarInset,
                                 std::max(1, r.right() + 1 - kZoomBarInset), kZoomBarInset);
    m_fitButton->setGeometry(origin.x() + r.right() + 1 - kZoomBarInset, origin.y() + r.bottom() + 1 - kZoomBarInset,
                             kFitButtonSize, kFitButtonSize);
}

void CVideoMainWnd::ShowZoomBars()
{
    if (m_zoom <= 1.0f)
        return;
    PlaceZoomBars();
    m_verticalBar->SetInfo(int(float(height()) * m_zoom), height(), 0);
    m_verticalBar->update();
    m_verticalBar->show();
    m_horizontalBar->SetInfo(int(float(width()) * m_zoom), width(), 0);
    m_horizontalBar->update();
    m_horizontalBar->show();
    m_fitButton->show();
    m_pan = QPoint(0, 0);
}

void CVideoMainWnd::UpdateVerticalBar()
{
    m_verticalBar->SetInfo(int(float(height()) * m_zoom), height(), m_pan.y());
    m_verticalBar->update();
}

void CVideoMainWnd::UpdateHorizontalBar()
{
    m_horizontalBar->SetInfo(int(float(width()) * m_zoom), width(), -m_pan.x());
    m_horizontalBar->update();
}

void CVideoMainWnd::SendPan()
{
    emit PicturePan(m_pan.x(), m_pan.y());
}

void CVideoMainWnd::OnBarMessage(unsigned message, quintptr wParam, qintptr)
{
    switch (message) {
    case SkinConst::kMsgScrollUp:
        m_pan.setY(std::max(0, m_pan.y() - kPanStep));
        SendPan();
        UpdateVerticalBar();
        break;
    case SkinConst::kMsgScrollDown:
        m_pan.setY(std::min(kPanMax, m_pan.y() + kPanStep));
        SendPan();
        UpdateVerticalBar();
        break;
    case SkinConst::kMsgScrollPercent:
        m_pan.setY(int(wParam));
        SendPan();
        break;
    case SkinConst::kMsgScrollLeft:
        m_pan.setX(std::min(0, m_pan.x() + kPanStep));
        SendPan();
        UpdateHorizontalBar();
        break;
    case SkinConst::kMsgScrollRight:
        m_pan.setX(std::max(kPanMin, m_pan.x() - kPanStep));
        SendPan();
        UpdateHorizontalBar();
        break;
    case SkinConst::kMsgScrollPercentHor:
        m_pan.setX(-int(wParam));
        SendPan();
        break;
    default:
        break;
    }
}

// ---- Mouse -------------------------------------------------------------------------

void CVideoMainWnd::mousePressEvent(QMouseEvent* event)
{
    if (event->button() == Qt::LeftButton && m_zoom > 1.0f) {
        emit NotifyMessage(kMsgVideoPause, 0, 0);
        m_dragOrigin = event->position().toPoint();
        m_dragging = true; // the press grabs the pointer until the release
        ApplyCursor();
        event->accept();
        return;
    }
    if (event->button() == Qt::LeftButton && PassesMouseOn()) {
        event->ignore(); // on to the main window
        return;
    }
    event->accept();
}

void CVideoMainWnd::mouseDoubleClickEvent(QMouseEvent* event)
{
    // A double click is a second press.
    mousePressEvent(event);
}

void CVideoMainWnd::mouseMoveEvent(QMouseEvent* event)
{
    const QPoint p = event->position().toPoint();
    m_leaveTracking = true;
    if (p != m_lastMousePoint) {
        m_lastMousePoint = p;
        RestartHideTimer();
    }
    if (m_zoom > 1.0f) {
        ApplyCursor();
        if (m_dragging) {
            const int dx = p.x() - m_dragOrigin.x();
            const int dy = p.y() - m_dragOrigin.y();
            const QPoint before = m_pan;
            m_pan.setX(std::clamp(m_pan.x() + dx / kPanDragDivisor, kPanMin, 0));
            m_pan.setY(std::clamp(m_pan.y() - dy / kPanDragDivisor, 0, kPanMax));
            if (m_pan != before) {
                SendPan();
                UpdateVerticalBar();
                UpdateHorizontalBar();
            }
        }
        event->accept();
        return;
    }
    if (PassesMouseOn()) {
        event->ignore();
        return;
    }
    event->accept();
}

void CVideoMainWnd::mouseReleaseEvent(QMouseEvent* event)
{
    if (event->button() == Qt::RightButton) {
        event->accept();
        if (m_menuBlocked)
            return;
        emit NotifyMessage(kMsgClosePanels, 0, 0);
        m_contextMenu->resize(kContextMenuWidth, kContextMenuHeight);
        m_contextMenu->ShowAt(event->globalPosition().toPoint());
        return;
    }
    if (event->button() == Qt::LeftButton && m_dragging) {
        m_dragging = false;
        event->accept();
        return;
    }
    if (event->button() == Qt::LeftButton && PassesMouseOn()) {
        event->ignore();
        return;
    }
    event->accept();
}

void CVideoMainWnd::leaveEvent(QEvent* event)
{
    m_leaveTracking = false;
    if (m_hideTimer >= 0) {
        m_hideTimerObject->stop();
        m_hideTimer = -1;
    }
    ShowPointer();
    unsetCursor();
    CVideoWnd::leaveEvent(event);
}

void CVideoMainWnd::ApplyCursor()
{
    if (!m_cursorShown)
        setCursor(Qt::BlankCursor);
    else if (m_zoom > 1.0f)
        setCursor(Qt::PointingHandCursor);
    else
        unsetCursor();
}

void CVideoMainWnd::ShowPointer()
{
    if (m_cursorShown)
        return;
    m_cursorShown = true;
    ApplyCursor();
}

void CVideoMainWnd::HidePointer()
{
    if (!m_cursorShown)
        return;
    m_cursorShown = false;
    ApplyCursor();
}

void CVideoMainWnd::HideContextMenu()
{
    if (m_contextMenu->isVisible())
        m_contextMenu->hide();
}

// ---- Size and full screen --------------------------------------------------------------

void CVideoMainWnd::moveEvent(QMoveEvent* event)
{
    CVideoWnd::moveEvent(event);
    PlaceZoomBars();
}

void CVideoMainWnd::resizeEvent(QResizeEvent* event)
{
    CVideoWnd::resizeEvent(event);
    if (isMinimized())
        return;
    QScreen* monitor = screen() ? screen() : QGuiApplication::primaryScreen();
    const QRect screenRect = monitor ? monitor->geometry() : QRect();
    ShowZoomBars();
    m_fullScreen = screenRect.isValid() && width() == screenRect.width();
    TraceLog(QStringLiteral("Kestrav : CVideoMainWnd::OnSize"));
    if (m_fullScreen) {
        if (m_caption) {
            m_caption->setGeometry(screenRect.left(), screenRect.top(), width(), kCaptionHeight);
            m_caption->show();
        }
        if (m_controlBox) {
            m_controlBox->setGeometry(screenRect.left() + (width() - kControlBoxWidth) / 2,
                                      screenRect.top() + height() - kControlBoxHeight, kControlBoxWidth,
                                      kControlBoxHeight);
            m_controlBox->show();
        }
    }
    RestartHideTimer();
}

void CVideoMainWnd::RestartHideTimer()
{
    if (m_fullScreen) {
        if (m_caption)
            m_caption->show();
        if (m_controlBox)
            m_controlBox->show();
        ShowPointer();
        m_hideTimerObject->start(m_hideTimeoutMs);
        m_hideTimer = kOverlayHideTimerId;
        return;
    }
    m_hideTimerObject->stop();
    m_hideTimer = -1;
    ShowPointer();
}

void CVideoMainWnd::OnHideTimer()
{
    m_hideTimer = -1;
    if (m_caption)
        m_caption->hide();
    if (m_controlBox)
        m_controlBox->hide();
    HidePointer();
}

void CVideoMainWnd::SetOverlays(QWidget* caption, QWidget* controlBox)
{
    m_caption = caption;
    m_controlBox = controlBox;
}

void CVideoMainWnd::HideOverlays()
{
    m_verticalBar->hide();
    m_horizontalBar->hide();
    m_fitButton->hide();
    HideContextMenu();
    if (m_caption)
        m_caption->hide();
    if (m_controlBox)
        m_controlBox->hide();
}

void CVideoMainWnd::SetCaptionTitle(const QString& title)
{
    // Kept for a caption set later; a caption already set shows it at once.
    m_captionTitle = title;
    if (auto* caption = qobject_cast<CFullScrCaption*>(m_caption.data()))
        caption->SetTitle(title);
}

// ---- The overlays' reports ------------------------------------------------------------------

void CVideoMainWnd::OnOverlayCommand(int id)
{
    switch (id) {
    case kCmdCaptionClose:
        TraceLog(QStringLiteral("Kestrav : ID_BTN_CAP_CLOSE"));
        emit CloseRequested();
        // Closing the front window itself takes its popups down; as a
        // child it stays, and only the overlays go.
        HideOverlays();
        break;
    case kCmdCaptionMinimise:
        TraceLog(QStringLiteral("Kestrav : ID_BTN_CAP_MIN"));
        HideOverlays();
        if (isWindow())
            showMinimized();
        break;
    case kCmdCaptionReduce:
        QMetaObject::invokeMethod(this, [this] { emit Command(kCmdCaptionReduce); }, Qt::QueuedConnection);
        break;
    default:
        emit Command(id);
        break;
    }
}

void CVideoMainWnd::OnOverlayMessage(unsigned message, quintptr wParam, qintptr lParam)
{
    if (message == kMsgControlValue && wParam == quintptr(kCodeControlBoxSlider))
        emit NotifyMessage(kMsgControlValue, quintptr(kCodePositionSlider), lParam);
    else if (message == kMsgControlValue)
        emit NotifyMessage(message, wParam, lParam);
    else if (message == kMsgControlReleased)
        emit NotifyMessage(kMsgControlReleased, wParam, 0);
}
