#include "windows/SplashDlg.h"

#include "base/AppVersion.h"
#include "lang/Lang.h"
#include "skin/SkinImage.h"
#include "skin/SkinText.h"
#include "base/TraceLog.h"
#include "windows/WindowsIds.h"

#include <QCloseEvent>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QPainter>
#include <QScreen>

using namespace WindowsIds;

CSplashDlg::CSplashDlg(QWidget* parent)
    : QDialog(parent, Qt::SplashScreen | Qt::FramelessWindowHint | Qt::WindowStaysOnTopHint)
    , m_periodMs(kSplashTimerPeriodMs)
{
    // The window paints every pixel itself: no background erasing.
    setAttribute(Qt::WA_OpaquePaintEvent);
    setAttribute(Qt::WA_NoSystemBackground);
    setModal(false);
    m_timer.setTimerType(Qt::PreciseTimer);
    connect(&m_timer, &QTimer::timeout, this, &CSplashDlg::OnTimer);
}

CSplashDlg::~CSplashDlg() = default;

int CSplashDlg::FillWidth(int step)
{
    return int(double(step) * kSplashFillPerStep);
}

void CSplashDlg::Start()
{
    OnInitDialog();
}

int CSplashDlg::exec()
{
    if (!m_running)
        OnInitDialog();
    return QDialog::exec();
}

QString CSplashDlg::ReadVersionText()
{
    const QString fileVersion = m_versionSource ? m_versionSource() : ProgramFileVersion();
    if (fileVersion.trimmed().isEmpty()) {
        TraceLog(QStringLiteral("Unable to get Version Info"));
        return QString::fromLatin1(kSplashNoVersion);
    }
    return FormatFileVersion(fileVersion);
}

void CSplashDlg::OnInitDialog()
{
    // Placement: topmost, 480 x 320, centred on the screen.
    setFixedSize(kSplashWidth, kSplashHeight);
    if (QScreen* screen = QGuiApplication::primaryScreen()) {
        const QRect avail = screen->availableGeometry();
        move(avail.center() - QPoint(kSplashWidth / 2, kSplashHeight / 2));
    }
    setWindowTitle(QString::fromLatin1(kSplashTitle));

    m_clientRect = QRect(0, 0, kSplashWidth, kSplashHeight);
    m_trackRect = QRect(QPoint(kSplashTrackLeft, kSplashTrackTop),
                        QPoint(kSplashTrackRight - 1, kSplashTrackBottom - 1));

    m_splashFont = MakeSkinFont(LangFontValue(QString::fromLatin1(kSplashFontSizeKey)), QFont::Normal,
                                QString::fromLatin1(kSplashFontFace));
    m_splashFont.setStyleStrategy(QFont::PreferAntialias);

    m_splashSurface.Release();
    m_splashSurface.Create(m_clientRect.width(), m_clientRect.height());
    CSkinImage::GetInstance()->DrawImage(m_splashSurface, QString::fromLatin1(kSplashPicture));

    m_versionLine = QString::fromLatin1(kSplashVersionPrefix) + ReadVersionText();
    m_dirty = true;
    m_step = 0;
    m_fillWidth = 0;
    m_running = true;
    show();
    m_timer.start(m_periodMs);
}

void CSplashDlg::OnTimer()
{
    ++m_step;
    if (m_step < kSplashSteps) {
        OnSetStep(m_step);
    } else {
        TraceLog(QStringLiteral("Kestrav----->Splash Step over 100"));
        OnSetStep(kSplashSteps);
    }
}

void CSplashDlg::OnSetStep(int step)
{
    m_step = step;
    if (step == kSplashSteps)
        TraceLog(QString::asprintf("Splash pos : <%d>", step));
    m_fillWidth = FillWidth(step);
    if (isVisible())
        repaint(m_trackRect);
    if (m_step >= kSplashSteps) {
        m_timer.stop();
        m_running = false;
        done(QDialog::Accepted); // IDOK
    }
}

bool CSplashDlg::event(QEvent* e)
{
    // Enter and Escape never reach the dialog's default handling.
    switch (e->type()) {
    case QEvent::KeyPress:
    case QEvent::KeyRelease:
    case QEvent::ShortcutOverride: {
        const int key = static_cast<QKeyEvent*>(e)->key();
        if (key == Qt::Key_Return || key == Qt::Key_Enter || key == Qt::Key_Escape) {
            e->accept();
            return true;
        }
        break;
    }
    default:
        break;
    }
    return QDialog::event(e);
}

void CSplashDlg::closeEvent(QCloseEvent* e)
{
    // Start-up waits for the OK result: the splash is never closed early.
    if (m_running)
        e->ignore();
    else
        QDialog::closeEvent(e);
}

void CSplashDlg::DrawTextLines(QImage& target)
{
    QPainter p(&target);
    p.setFont(m_splashFont);
    p.setPen(QColor::fromRgb(kSplashTextColor));
    const int flags = Qt::AlignLeft | Qt::AlignTop | Qt::TextSingleLine;
    p.setClipRect(kSplashVersionBox);
    p.drawText(kSplashVersionBox, flags, m_versionLine);
    p.setClipRect(kSplashNoticeBox);
    p.drawText(kSplashNoticeBox, flags, QString::fromLatin1(kSplashNotice));
}

void CSplashDlg::paintEvent(QPaintEvent*)
{
    m_clientRect = rect();
    if (m_dirty) {
        m_composed.Release();
        m_cachedBitmap = QPixmap();
    }
    if (!m_composed.IsCreated())
        m_composed.Create(m_clientRect.width(), m_clientRect.height());
    if (m_cachedBitmap.isNull() && m_composed.IsCreated()) {
        QImage& composed = m_composed.GetImage();
        composed.fill(Qt::black);
        if (m_splashSurface.IsCreated()) {
            DrawTextLines(m_splashSurface.GetImage());
            QPainter p(&composed);
            p.setCompositionMode(QPainter::CompositionMode_Source);
            p.drawImage(0, 0, m_splashSurface.GetImage());
        }
        {
            QPainter p(&composed);
            p.fillRect(m_trackRect, QColor::fromRgb(kSplashTrackColor));
        }
        m_cachedBitmap = QPixmap::fromImage(composed);
    }
    QPainter p(this);
    if (!m_cachedBitmap.isNull())
        p.drawPixmap(0, 0, m_cachedBitmap);
    // The fill is drawn on the window only, never into the kept picture.
    if (m_fillWidth > 0)
        p.fillRect(QRect(kSplashTrackLeft, kSplashTrackTop, m_fillWidth, kSplashTrackBottom - kSplashTrackTop),
                   QColor::fromRgb(kSplashFillColor));
    m_dirty = false;
}
