// The front and rear video windows over the stand-in transport: their skin
// pictures, when they show the transport's pictures, repainting and target
// sizes, the front window's zoom bars and picture drag, what it hands on to
// its parent, its context menu, and the full-screen overlays' hide timer.
#include "FakeTransport.h"
#include "lang/Lang.h"
#include "platform/Platform.h"
#include "skin/RScrollBar.h"
#include "skin/SkinBlit.h"
#include "skin/SkinConstants.h"
#include "skin/SkinImage.h"
#include "skin/SkinBalloonTip.h"
#include "skin/TButton.h"
#include "skin/TDropBox.h"
#include "support/TraceCapture.h"
#include "windows/VideoMainWnd.h"
#include "windows/VideoSubWnd.h"
#include "windows/WindowsIds.h"

#include <QGuiApplication>
#include <QMouseEvent>
#include <QResource>
#include <QScreen>
#include <QSignalSpy>
#include <QTest>

#include <memory>

using namespace WindowsIds;

namespace {
QImage Picture(const char* name)
{
    CSkinSurface s;
    CSkinImage::GetInstance()->LoadImage(s, QString::fromLatin1(name));
    return s.GetImage().convertToFormat(QImage::Format_RGB32);
}

// Messages of one kind a window sent, as (wParam, lParam) pairs.
QList<QPair<quintptr, qintptr>> Sent(const QSignalSpy& spy, unsigned message)
{
    QList<QPair<quintptr, qintptr>> out;
    for (const QList<QVariant>& args : spy)
        if (args[0].toUInt() == message)
            out.append({args[1].value<quintptr>(), args[2].value<qintptr>()});
    return out;
}

bool Near(QColor a, QColor b, int tolerance = 2)
{
    return qAbs(a.red() - b.red()) <= tolerance && qAbs(a.green() - b.green()) <= tolerance
        && qAbs(a.blue() - b.blue()) <= tolerance;
}

// A parent that records the mouse presses handed on to it.
class CParent : public QWidget
{
public:
    QList<QPoint> presses;
    int moves = 0;
    int releases = 0;

protected:
    void mousePressEvent(QMouseEvent* e) override { presses.append(e->position().toPoint()); }
    void mouseMoveEvent(QMouseEvent*) override { ++moves; }
    void mouseReleaseEvent(QMouseEvent*) override { ++releases; }
};
} // namespace

class TestVideoWnd : public QObject
{
    Q_OBJECT

private:
    CRecordingPlatform m_platform;

    static void Bar(CSkinScrollBar* bar, unsigned message, quintptr wParam = 0)
    {
        emit bar->NotifyMessage(message, wParam, 0);
    }

private slots:
    void initTestCase()
    {
        const QString library = qEnvironmentVariable("KESTRAV_BIN_DIR") + QStringLiteral("/NvImageDll.rcc");
        QVERIFY2(QResource::registerResource(library), qPrintable(library));
        CPlatform::Install(&m_platform);
        QVERIFY(SelectLanguage(QStringLiteral("english")));
    }
    void cleanupTestCase()
    {
        CSkinImage::DestroyInstance();
        CPlatform::Install(nullptr);
    }

    void noVideoPictures();
    void whenThePicturesShow_data();
    void whenThePicturesShow();
    void newFramesAndSizes();
    void panWithTheBars();
    void panByDragging();
    void leftButtonHandedOnOnlyUnzoomed();
    void contextMenu();
    void overlaysHideAfterAPause();
    void overlayReportsPassedOn();
};

void TestVideoWnd::noVideoPictures()
{
    QWidget parent;
    CVideoMainWnd front(&parent, QRect(0, 0, 640, 360));
    CVideoSubWnd rear(&parent, QRect(640, 0, 320, 240));
    QSignalSpy frontSent(&front, &CVideoWnd::NotifyMessage);
    QSignalSpy rearSent(&rear, &CVideoWnd::NotifyMessage);

    // Front: "view_front.png" with "view_title.png" blended at its centre.
    const QImage shot = front.grab().toImage().convertToFormat(QImage::Format_RGB32);
    const QImage view = Picture(kPicViewFront);
    QCOMPARE(view.size(), QSize(640, 360));
    for (QPoint p : {QPoint(3, 3), QPoint(600, 40), QPoint(100, 300)})
        QCOMPARE(shot.pixel(p), view.pixel(p));
    CSkinSurface title;
    CSkinImage::GetInstance()->LoadImage(title, QString::fromLatin1(kPicViewTitle));
    QImage expected = view.convertToFormat(QImage::Format_ARGB32_Premultiplied);
    SkinBlit::AlphaBlend(expected, 320 - 83, 180 - 22, 173, 44, title.GetImage(), 0, 0);
    QCOMPARE(shot.copy(320 - 83, 180 - 22, 173, 44),
             expected.copy(320 - 83, 180 - 22, 173, 44).convertToFormat(QImage::Format_RGB32));
    QVERIFY(shot.copy(320 - 83, 180 - 22, 173, 44) != view.copy(320 - 83, 180 - 22, 173, 44));
    QCOMPARE(Sent(frontSent, kMsgPictureRedraw), (QList<QPair<quintptr, qintptr>>{{1, 0}}));

    // Rear: "view_rear.png", or the notice while front-only play is on
    // (its texts exist in the Korean table only).
    QCOMPARE(rear.grab().toImage().convertToFormat(QImage::Format_RGB32), Picture(kPicViewRear));
    bool notice = true;
    rear.SetNoticeRule([&notice] { return notice; });
    QVERIFY(SelectLanguage(QStringLiteral("korean")));
    const QImage noticed = rear.grab().toImage().convertToFormat(QImage::Format_RGB32);
    QVERIFY(SelectLanguage(QStringLiteral("english")));
    int textPixels = 0;
    for (int y = 0; y < noticed.height(); ++y)
        for (int x = 0; x < noticed.width(); ++x)
            if (Near(noticed.pixelColor(x, y), QColor::fromRgb(kRearNoticeColor), 40))
                ++textPixels;
    QVERIFY2(textPixels > 30, qPrintable(QString::number(textPixels)));
    CSkinSurface panel;
    panel.Create(320, 240);
    CSkinImage::GetInstance()->DrawNinePatch(panel, QString::fromLatin1(kPicRearNotice));
    QCOMPARE(noticed.pixel(2, 2), panel.GetImage().convertToFormat(QImage::Format_RGB32).pixel(2, 2));
    notice = false;
    QCOMPARE(rear.grab().toImage().convertToFormat(QImage::Format_RGB32), Picture(kPicViewRear));
    QCOMPARE(Sent(rearSent, kMsgPictureRedraw), (QList<QPair<quintptr, qintptr>>{{0, 0}, {0, 0}, {0, 0}}));

    // The no-card look is the skin whatever plays.
    CFakeTransport fake;
    front.SetSource(&fake, Engine::kFrontTarget);
    fake.OnMovieOpen(QStringLiteral("a.avi"), false);
    fake.Play();
    QVERIFY(front.grab().toImage().convertToFormat(QImage::Format_RGB32).pixel(3, 3) != view.pixel(3, 3));
    front.SetNoCardLook(true);
    QCOMPARE(front.grab().toImage().convertToFormat(QImage::Format_RGB32).pixel(3, 3), view.pixel(3, 3));
    QVERIFY(!front.LastPaintedFrame().HasPicture());
}

void TestVideoWnd::whenThePicturesShow_data()
{
    QTest::addColumn<int>("tracks");
    QTest::addColumn<int>("state");
    QTest::addColumn<bool>("rule");        // ShowsVideo: more than one stream, playing or paused
    QTest::addColumn<bool>("frontPicture");
    QTest::addColumn<bool>("rearPicture");
    QTest::newRow("two streams, playing") << 2 << int(STATE_PLAY) << true << true << true;
    QTest::newRow("two streams, paused") << 2 << int(STATE_PAUSE) << true << true << true;
    QTest::newRow("two streams, stopped") << 2 << int(STATE_STOP) << false << false << false;
    // One stream: the skins stay, the front picture is painted over its skin.
    QTest::newRow("one stream, playing") << 1 << int(STATE_PLAY) << false << true << false;
    QTest::newRow("one stream, stopped") << 1 << int(STATE_STOP) << false << false << false;
}

void TestVideoWnd::whenThePicturesShow()
{
    QFETCH(int, tracks);
    QFETCH(int, state);
    QFETCH(bool, rule);
    QFETCH(bool, frontPicture);
    QFETCH(bool, rearPicture);
    CFakeTransport fake;
    fake.openVideoTracks = tracks;
    QWidget parent;
    CVideoMainWnd front(&parent, QRect(0, 0, 640, 360));
    CVideoSubWnd rear(&parent, QRect(640, 0, 320, 240));
    front.SetSource(&fake, Engine::kFrontTarget);
    rear.SetSource(&fake, Engine::kRearTarget);
    QVERIFY(fake.OnMovieOpen(QStringLiteral("a.avi"), false));
    fake.ResetSize(true);
    fake.ForceState(state); // the stand-in keeps its pictures whatever the state
    QSignalSpy frontSent(&front, &CVideoWnd::NotifyMessage);
    QSignalSpy rearSent(&rear, &CVideoWnd::NotifyMessage);

    QCOMPARE(front.ShowsVideo(), rule);
    QCOMPARE(rear.ShowsVideo(), rule);
    const QImage f = front.grab().toImage();
    const QImage r = rear.grab().toImage();
    QCOMPARE(front.LastPaintedFrame().HasPicture(), frontPicture);
    QCOMPARE(rear.LastPaintedFrame().HasPicture(), rearPicture);
    // The stand-in's pictures are plain: dark cyan (front camera), dark magenta (rear).
    QCOMPARE(f.pixelColor(320, 180) == QColor(Qt::darkCyan), frontPicture);
    QCOMPARE(r.pixelColor(160, 120) == QColor(Qt::darkMagenta), rearPicture);
    // Front 32 x 18 in 640 x 360 fills it; rear 24 x 16 in 320 x 240 is
    // letter-boxed: black bars above and below.
    if (frontPicture)
        QCOMPARE(f.pixelColor(0, 0), QColor(Qt::darkCyan));
    if (rearPicture)
        QCOMPARE(r.pixelColor(160, 5), QColor(Qt::black));
    // Both ask for a video repaint after every paint.
    QCOMPARE(Sent(frontSent, kMsgPictureRedraw).size(), 1);
    QCOMPARE(Sent(rearSent, kMsgPictureRedraw).size(), 1);
}

void TestVideoWnd::newFramesAndSizes()
{
    CFakeTransport fake;
    fake.autoFrames = false;
    QWidget parent;
    parent.resize(1000, 400);
    CVideoMainWnd front(&parent, QRect(0, 0, 640, 360));
    CVideoSubWnd rear(&parent, QRect(640, 0, 320, 240));
    front.SetSource(&fake, Engine::kFrontTarget);
    rear.SetSource(&fake, Engine::kRearTarget);
    QVERIFY(fake.calls.contains(QStringLiteral("SetTargetSize(0,640x360)")));
    QVERIFY(fake.calls.contains(QStringLiteral("SetTargetSize(1,320x240)")));
    parent.show();
    QVERIFY(QTest::qWaitForWindowExposed(&parent));
    QVERIFY(fake.OnMovieOpen(QStringLiteral("a.avi"), false));
    fake.ResetSize(true);
    fake.Play();

    // A new picture for a target repaints that window only.
    QTRY_VERIFY(front.PaintCount() > 0 && rear.PaintCount() > 0);
    const quint64 frontPaints = front.PaintCount();
    const quint64 rearPaints = rear.PaintCount();
    QImage red(16, 9, QImage::Format_RGB32);
    red.fill(Qt::red);
    fake.EmitFrame(CFakeTransport::FrontCamera, red, 1'000'000);
    QTRY_VERIFY(front.PaintCount() > frontPaints);
    QVERIFY(front.LastPaintedFrame().HasPicture());
    QCOMPARE(front.LastPaintedFrame().image->pixelColor(0, 0), QColor(Qt::red));
    QCOMPARE(front.LastPaintedFrame().streamTimeNs, 1'000'000);
    QVERIFY(!rear.LastPaintedFrame().HasPicture());
    QImage blue(16, 9, QImage::Format_RGB32);
    blue.fill(Qt::blue);
    fake.EmitFrame(CFakeTransport::RearCamera, blue, 2'000'000);
    QTRY_VERIFY(rear.PaintCount() > rearPaints && rear.LastPaintedFrame().HasPicture());
    QCOMPARE(rear.LastPaintedFrame().image->pixelColor(0, 0), QColor(Qt::blue));

    // A new size goes to the transport.
    front.resize(500, 300);
    QVERIFY(fake.calls.contains(QStringLiteral("SetTargetSize(0,500x300)")));
    // Detached, nothing is asked of the transport any more.
    front.SetSource(nullptr, -1);
    fake.calls.clear();
    front.resize(400, 200);
    QVERIFY(fake.calls.isEmpty());
}

void TestVideoWnd::panWithTheBars()
{
    CVideoMainWnd front(nullptr, QRect(0, 0, 640, 360));
    front.show();
    QSignalSpy pans(&front, &CVideoMainWnd::PicturePan);
    QVERIFY(!front.VerticalBar()->isVisible());
    QVERIFY(front.SetZoom(1.5f));
    QVERIFY(front.VerticalBar()->isVisible());
    QVERIFY(front.HorizontalBar()->isVisible());
    QVERIFY(front.FitButton()->isVisible());
    QCOMPARE(front.VerticalBar()->ContentSize(), 540);
    QCOMPARE(front.VerticalBar()->ViewSize(), 360);
    QCOMPARE(front.HorizontalBar()->ContentSize(), 960);
    QCOMPARE(front.VerticalBar()->size(), QSize(15, 346));
    QCOMPARE(front.HorizontalBar()->size(), QSize(626, 14));
    QCOMPARE(front.FitButton()->geometry().topLeft(), front.mapToGlobal(QPoint(626, 346)));
    QCOMPARE(front.Pan(), QPoint(0, 0));

    const struct {
        unsigned message;
        quintptr wParam;
        QPoint pan;
    } steps[] = {
        {SkinConst::kMsgScrollPercent, 95, {0, 95}},
        {SkinConst::kMsgScrollDown, 0, {0, 100}}, // 95 + 10, not above 100
        {SkinConst::kMsgScrollDown, 0, {0, 100}},
        {SkinConst::kMsgScrollUp, 0, {0, 90}},
        {SkinConst::kMsgScrollPercentHor, 95, {-95, 90}},
        {SkinConst::kMsgScrollRight, 0, {-100, 90}}, // -95 - 10, not below -100
        {SkinConst::kMsgScrollLeft, 0, {-90, 90}},
        {SkinConst::kMsgScrollLeft, 0, {-80, 90}},
    };
    for (const auto& s : steps) {
        const bool vertical = s.message <= SkinConst::kMsgScrollPercent;
        Bar(vertical ? static_cast<CSkinScrollBar*>(front.VerticalBar()) : front.HorizontalBar(), s.message, s.wParam);
        QCOMPARE(front.Pan(), s.pan);
        QCOMPARE(pans.last(), (QList<QVariant>{s.pan.x(), s.pan.y()}));
    }
    QCOMPARE(pans.size(), int(std::size(steps)));
    // Arrows update their bar: the thumb stands at the pan.
    QCOMPARE(front.VerticalBar()->Percent(), 90);
    QCOMPARE(front.HorizontalBar()->Percent(), 80);
    // Shown again, the bars start over.
    front.SetZoom(2.0f);
    QCOMPARE(front.Pan(), QPoint(0, 0));
    QCOMPARE(front.VerticalBar()->ContentSize(), 720);
    front.ResetZoom();
    QVERIFY(!front.VerticalBar()->isVisible());
    QVERIFY(!front.HorizontalBar()->isVisible());
    QVERIFY(!front.FitButton()->isVisible());
    QCOMPARE(front.Zoom(), 1.0f);
}

void TestVideoWnd::panByDragging()
{
    CVideoMainWnd front(nullptr, QRect(0, 0, 640, 360));
    front.show();
    front.SetZoom(1.5f);
    Bar(front.HorizontalBar(), SkinConst::kMsgScrollPercentHor, 100);
    QCOMPARE(front.Pan(), QPoint(-100, 0));
    QSignalSpy sent(&front, &CVideoWnd::NotifyMessage);
    QSignalSpy pans(&front, &CVideoMainWnd::PicturePan);

    const QPoint origin(100, 100);
    QTest::mousePress(&front, Qt::LeftButton, Qt::NoModifier, origin);
    QCOMPARE(Sent(sent, kMsgVideoPause).size(), 1); // WM_VIDEO_PAUSE as the drag begins
    QVERIFY(front.IsDragging());
    // 300 pixels right of the origin: 10 per move, until 0.
    QList<int> xs;
    for (int i = 0; i < 14; ++i) {
        QTest::mouseMove(&front, origin + QPoint(300 + i, 0));
        xs.append(front.Pan().x());
    }
    QCOMPARE(xs, (QList<int>{-90, -80, -70, -60, -50, -40, -30, -20, -10, 0, 0, 0, 0, 0}));
    QCOMPARE(pans.size(), 10); // sent only while the pan changed
    // Upwards raises pan y (the picture moves the other way), clamped to 0..100.
    QTest::mouseMove(&front, origin + QPoint(0, -45)); // -45 / 30 = -1: y + 1
    QCOMPARE(front.Pan(), QPoint(0, 1));
    QTest::mouseMove(&front, origin + QPoint(-29, 29)); // both 0: nothing
    QCOMPARE(front.Pan(), QPoint(0, 1));
    QTest::mouseMove(&front, origin + QPoint(-60, 90)); // x - 2, y - 3 (not below 0)
    QCOMPARE(front.Pan(), QPoint(-2, 0));
    QTest::mouseRelease(&front, Qt::LeftButton, Qt::NoModifier, origin + QPoint(-60, 90));
    QVERIFY(!front.IsDragging());
    const int panCount = int(pans.size());
    QTest::mouseMove(&front, origin + QPoint(300, 0));
    QCOMPARE(pans.size(), panCount); // no drag, no pan
}

void TestVideoWnd::leftButtonHandedOnOnlyUnzoomed()
{
    CParent parent;
    parent.resize(700, 400);
    CVideoMainWnd front(&parent, QRect(10, 20, 640, 360));
    parent.show();
    QSignalSpy sent(&front, &CVideoWnd::NotifyMessage);
    QTest::mousePress(&front, Qt::LeftButton, Qt::NoModifier, QPoint(50, 60));
    QTest::mouseMove(&front, QPoint(55, 61));
    QTest::mouseRelease(&front, Qt::LeftButton, Qt::NoModifier, QPoint(55, 61));
    QCOMPARE(parent.presses, (QList<QPoint>{QPoint(60, 80)})); // in the parent's coordinates
    QVERIFY(parent.moves >= 1);
    QCOMPARE(parent.releases, 1);
    QCOMPARE(Sent(sent, kMsgVideoPause).size(), 0);

    front.SetZoom(1.5f);
    parent.presses.clear();
    parent.releases = 0;
    QTest::mousePress(&front, Qt::LeftButton, Qt::NoModifier, QPoint(50, 60));
    QTest::mouseRelease(&front, Qt::LeftButton, Qt::NoModifier, QPoint(50, 60));
    QVERIFY(parent.presses.isEmpty());
    QCOMPARE(parent.releases, 0);
    QCOMPARE(Sent(sent, kMsgVideoPause).size(), 1);
}

void TestVideoWnd::contextMenu()
{
    CVideoMainWnd front(nullptr, QRect(0, 0, 640, 360));
    front.show();
    QSignalSpy sent(&front, &CVideoWnd::NotifyMessage);
    QSignalSpy commands(&front, &CVideoMainWnd::Command);
    CTDropBox* menu = front.ContextMenu();
    QVERIFY(menu && !menu->isVisible());
    QCOMPARE(menu->windowTitle(), QStringLiteral("ScrContext"));
    QCOMPARE(menu->Items().size(), size_t(4));
    QCOMPARE(menu->Items()[0].command, 1083);
    QCOMPARE(menu->Items()[1].command, 1086);
    QCOMPARE(menu->Items()[2].command, 1087);
    QCOMPARE(menu->Items()[3].command, 1094); // "Export clip..."
    QVERIFY(menu->Items()[3].itemRect.bottom <= menu->height());
    QCOMPARE(menu->Items()[0].text, LangText(QStringLiteral("IDS_STRING_K_030")));
    QCOMPARE(menu->Items()[2].rightText, LangText(QStringLiteral("IDS_STRING_K_037")));
    // The separator after the first entry makes the second one taller.
    QCOMPARE(menu->Items()[1].itemRect.Height(), menu->Items()[0].itemRect.Height() + kMenuSeparatorHeight);
    QCOMPARE(menu->Items()[2].itemRect.Height(), menu->Items()[0].itemRect.Height());

    front.SetContextMenuBlocked(true);
    QTest::mouseClick(&front, Qt::RightButton, Qt::NoModifier, QPoint(200, 100));
    QVERIFY(!menu->isVisible());
    QCOMPARE(Sent(sent, kMsgClosePanels).size(), 0);

    front.SetContextMenuBlocked(false);
    QTest::mouseClick(&front, Qt::RightButton, Qt::NoModifier, QPoint(200, 100));
    QVERIFY(menu->isVisible());
    QCOMPARE(Sent(sent, kMsgClosePanels).size(), 1);
    QCOMPARE(menu->size(), QSize(kContextMenuWidth, kContextMenuHeight));
    QCOMPARE(menu->pos(), front.mapToGlobal(QPoint(200, 100)));
    // Its commands reach the main window.
    emit menu->Command(1086);
    QCOMPARE(commands.size(), 1);
    QCOMPARE(commands.first().first().toInt(), 1086);
    front.HideContextMenu();
    QVERIFY(!menu->isVisible());
}

void TestVideoWnd::overlaysHideAfterAPause()
{
    QScreen* screen = QGuiApplication::primaryScreen();
    const QRect monitor = screen->geometry();
    QWidget caption(nullptr, Qt::Tool | Qt::FramelessWindowHint);
    QWidget controlBox(nullptr, Qt::Tool | Qt::FramelessWindowHint);
    CVideoMainWnd front(nullptr, QRect(0, 0, 640, 360));
    front.SetOverlays(&caption, &controlBox);
    front.SetHideTimeout(40);
    front.show();
    QVERIFY(!front.IsFullScreen());
    QCOMPARE(front.HideTimer(), -1);
    QVERIFY(!caption.isVisible());

    // As wide as its monitor: full screen, the overlays show and hide again.
    front.setGeometry(monitor);
    QVERIFY(front.IsFullScreen());
    QVERIFY(caption.isVisible() && controlBox.isVisible());
    QCOMPARE(caption.geometry(), QRect(monitor.left(), monitor.top(), monitor.width(), kCaptionHeight));
    QCOMPARE(controlBox.geometry(),
             QRect(monitor.left() + (monitor.width() - kControlBoxWidth) / 2,
                   monitor.top() + monitor.height() - kControlBoxHeight, kControlBoxWidth, kControlBoxHeight));
    QCOMPARE(front.HideTimer(), kOverlayHideTimerId);
    QVERIFY(front.IsCursorShown());
    QTRY_VERIFY(!caption.isVisible() && !controlBox.isVisible());
    QVERIFY(!front.IsCursorShown());
    QCOMPARE(front.HideTimer(), -1);
    QCOMPARE(front.cursor().shape(), Qt::BlankCursor);

    // A movement to a new point shows them, and the pointer, again.
    QTest::mouseMove(&front, QPoint(100, 100));
    QVERIFY(caption.isVisible() && controlBox.isVisible());
    QVERIFY(front.IsCursorShown());
    QCOMPARE(front.HideTimer(), kOverlayHideTimerId);
    QTRY_VERIFY(!caption.isVisible());

    // Leaving full screen stops the timer.
    front.setGeometry(QRect(0, 0, 640, 360));
    QVERIFY(!front.IsFullScreen());
    QCOMPARE(front.HideTimer(), -1);
    QTest::mouseMove(&front, QPoint(10, 10));
    QCOMPARE(front.HideTimer(), -1);
    front.HideOverlays();
    QVERIFY(!caption.isVisible() && !controlBox.isVisible());
}

void TestVideoWnd::overlayReportsPassedOn()
{
    CVideoMainWnd front(nullptr, QRect(0, 0, 640, 360));
    QSignalSpy sent(&front, &CVideoWnd::NotifyMessage);
    QSignalSpy commands(&front, &CVideoMainWnd::Command);
    QSignalSpy closes(&front, &CVideoMainWnd::CloseRequested);
    CTraceCapture trace;
    front.OnOverlayCommand(1300);
    QCOMPARE(closes.size(), 1);
    QVERIFY(trace.Contains(QStringLiteral("Kestrav : ID_BTN_CAP_CLOSE")));
    front.OnOverlayCommand(1107);
    QCOMPARE(commands.size(), 1);
    front.OnOverlayCommand(1302); // posted
    QCOMPARE(commands.size(), 1);
    QTRY_COMPARE(commands.size(), 2);
    QCOMPARE(commands.last().first().toInt(), 1302);
    front.OnOverlayMessage(kMsgControlValue, kCodeControlBoxSlider, 40);
    front.OnOverlayMessage(kMsgControlReleased, kCodeControlBoxSlider, 0);
    QCOMPARE(Sent(sent, kMsgControlValue), (QList<QPair<quintptr, qintptr>>{{kCodePositionSlider, 40}}));
    QCOMPARE(Sent(sent, kMsgControlReleased), (QList<QPair<quintptr, qintptr>>{{kCodeControlBoxSlider, 0}}));
}

QTEST_MAIN(TestVideoWnd)
#include "tst_videownd.moc"
