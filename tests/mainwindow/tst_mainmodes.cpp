// The main window's modes and picture actions over the stand-in transport:
// maximise and restore, the expanded front picture with its full-screen
// caption and control box, the right column, the front/rear swap with its
// labels and titles, the zoom steps, the map search and the navigation
// product's page.
#include "CardFixture.h"
#include "FakeTransport.h"
#include "WindowTestEnvironment.h"
#include "catalogue/CatalogueIds.h"
#include "catalogue/MemoryCard.h"
#include "lang/Lang.h"
#include "mainwindow/MainWindowIds.h"
#include "mainwindow/MovaraDlg.h"
#include "mainwindow/TelemetryPresenter.h"
#include "mainwindow/WindowModes.h"
#include "map/RecordingMapBridge.h"
#include "platform/Platform.h"
#include "settings/Settings.h"
#include "skin/RButton.h"
#include "skin/RListCtrl.h"
#include "skin/RScrollBar.h"
#include "skin/RStaticText.h"
#include "skin/SkinBalloonTip.h"
#include "skin/SkinImage.h"
#include "skin/TButton.h"
#include "support/TraceCapture.h"
#include "telemetry/TextData.h"
#include "windows/FullScrCaption.h"
#include "windows/FullScrControlBox.h"
#include "windows/VideoMainWnd.h"
#include "windows/VideoSubWnd.h"
#include "windows/WindowsIds.h"

#include <QApplication>
#include <QDialog>
#include <QElapsedTimer>
#include <QLabel>
#include <QRegularExpression>
#include <QResource>
#include <QScreen>
#include <QTemporaryDir>
#include <QTest>
#include <QThread>
#include <QTimer>

#include <atomic>
#include <memory>

using namespace MainWnd;

namespace {
// Four continuous recordings and one parking impact; three of them (0, 2
// and the parking one) were driven inside the search area below.
const QStringList kCard = {
    QStringLiteral("상시녹화/REC_2024_05_10_08_00_00_F.AVI"),
    QStringLiteral("상시녹화/REC_2024_05_10_08_01_00_F.AVI"),
    QStringLiteral("상시녹화/REC_2024_05_10_08_02_00_F.AVI"),
    QStringLiteral("상시녹화/REC_2024_05_10_08_03_00_F.AVI"),
    QStringLiteral("주차충격/REC_2024_05_10_09_00_00_F.AVI"),
};
// A front/rear pair, and a rear recording whose front is missing.
const QStringList kDualCard = {
    QStringLiteral("상시녹화/REC_2024_05_10_08_00_00_F.MP4"),
    QStringLiteral("상시녹화/REC_2024_05_10_08_00_00_R.MP4"),
    QStringLiteral("상시녹화/REC_2024_05_10_08_05_00_R.MP4"),
};
// The map's visible area (west, north, east, south in degrees) around the
// fixes of the three: 37°30' N, 127°00' E in degrees-and-minutes.
const QString kExtent = QStringLiteral("126.9, 37.6, 127.1, 37.4");
const QString kExtentElsewhere = QStringLiteral("-74.1,40.8,-73.9,40.6");

QString Name(const QStringList& card, int i)
{
    return QFileInfo(card[i]).fileName();
}

QString Lang(const char* key)
{
    return LangText(QString::fromLatin1(key));
}
} // namespace

class TestMainModes : public QObject
{
    Q_OBJECT

private:
    CRecordingPlatform m_platform;
    QTemporaryDir m_dir;
    std::unique_ptr<CFakeTransport> m_fake;
    std::unique_ptr<CMovaraDlg> m_dlg;
    CRecordingMapBridge m_bridge;
    std::atomic<bool> m_hold{false};

    // A window over the stand-in on a card with `files` of `model`; waits
    // for the analysis unless it is held.
    CMovaraDlg& Open(const QStringList& files = kCard, const QByteArray& model = "ARX330")
    {
        static int n = 0;
        m_dlg.reset();
        m_fake.reset();
        const QString root = m_dir.filePath(QStringLiteral("card%1").arg(++n));
        if (!WriteCard(root, model, files))
            qFatal("cannot write the card");
        qputenv("KESTRAV_CARD_ROOTS", root.toLocal8Bit());
        m_fake = std::make_unique<CFakeTransport>();
        CMovaraDlgOptions o;
        o.showSplash = false;
        o.probeConnectivity = [] { return false; };
        o.extract = [this](const QString& path, CTextData& t) {
            QElapsedTimer held;
            held.start();
            while (m_hold && held.elapsed() < 20000)
                QThread::msleep(5);
            const bool inside = path.contains(QLatin1String("08_00_00")) || path.contains(QLatin1String("08_02_00"))
                                || path.contains(QLatin1String("09_00_00"));
            CGPSData fix;
            fix.latitude = inside ? 3730.0 : 3500.0;
            fix.longitude = 12700.0;
            t.gpsList.push_back(fix);
            t.gsensorList.push_back(CGSensorData(1, 2, 3));
        };
        o.checkH264 = [](const QString&) { return 1; };
        o.isMp4Recording = [](const QString& path) { return path.endsWith(QLatin1String(".MP4")); };
        o.transport = m_fake.get();
        m_dlg = std::make_unique<CMovaraDlg>(o);
        m_dlg->OnInitDialog();
        m_dlg->Presenter().SetMap(&m_bridge, nullptr);
        if (!m_hold && !QTest::qWaitFor([this] { return !m_dlg->IsAnalysisRunning(); }, 10000))
            qFatal("the analysis does not end");
        return *m_dlg;
    }
    CWindowModes& Modes() { return m_dlg->Modes(); }
    CRListCtrl& List() { return *m_dlg->List(); }
    void PlayItem(const QStringList& card, int i)
    {
        List().SetFocusedByName(Name(card, i));
        List().PlayFocused();
        QCOMPARE(m_fake->GetState(), STATE_PLAY);
    }
    QString LabelText(int id) const { return qobject_cast<QLabel*>(m_dlg->Control(id))->text(); }
    QString TitleText(int id) const { return qobject_cast<CRStaticText*>(m_dlg->Control(id))->Text(); }
    QString Balloon(int id) const { return qobject_cast<CSkinButton*>(m_dlg->Control(id))->BalloonText(); }
    QStringList MessageTexts() const
    {
        QStringList out;
        for (const auto& c : m_platform.CallsOf(QStringLiteral("MessageBox")))
            out << c.text;
        return out;
    }
    // What the map page was asked (scripts whose answer is read).
    QStringList Questions() const
    {
        QStringList out;
        for (const auto& call : m_bridge.Calls())
            if (call.kind == CRecordingMapBridge::CallKind::GetValue)
                out << call.script;
        return out;
    }
    QRect Monitor() const { return CWindowModes::NearestScreen(*m_dlg)->geometry(); }
    // The work area, or the window's minimum size on a smaller screen.
    QRect Maximised() const
    {
        const QRect area = CWindowModes::NearestScreen(*m_dlg)->availableGeometry();
        return QRect(area.topLeft(), area.size().expandedTo(m_dlg->minimumSize()));
    }
    // What the front window shows for a transport zoom: its own zoom at 1.5
    // and 2.0, 1.0 otherwise.
    static float FrontZoom(float zoom) { return zoom == 1.5f || zoom == 2.0f ? zoom : 1.0f; }

private slots:
    void initTestCase()
    {
        QVERIFY(m_dir.isValid());
        StartWindowTests(m_platform, QStringLiteral("english"), m_dir.path());
    }
    void init()
    {
        ForgetCard();
        m_platform.Clear();
        m_bridge = CRecordingMapBridge();
        m_hold = false;
    }
    void cleanup()
    {
        m_hold = false;
        m_dlg.reset();
        m_fake.reset();
    }
    void cleanupTestCase()
    {
        FinishWindowTests();
    }

    void maximiseAndRestoreSwapTheButtonLook();
    void expandedModeAndBack_data();
    void expandedModeAndBack();
    void expandedModeKeepsTheModalRun();
    void expandedModeEndsWhenTheCardGoes();
    void overlaysFollowTheMouseAndPassCommandsOn();
    void rightColumn();
    void swapLabelsTitlesAndZoomReset();
    void frontRearLabels_data();
    void frontRearLabels();
    void zoomSteps_data();
    void zoomSteps();
    void mapSearch_data();
    void mapSearch();
    void mapSearchWhileTheAnalysisRuns();
    void mapSearchStopsARecordingOfTheCategoryItEmpties();
    void navigationProductPage();
};

void TestMainModes::maximiseAndRestoreSwapTheButtonLook()
{
    Open();
    auto* button = qobject_cast<CRButton*>(m_dlg->Control(kIdMaximise));
    const QImage normalLook = button->ComposedImage();
    const QRect normal = m_dlg->geometry();
    Modes().ToggleMaximise();
    QCOMPARE(Modes().WindowMode(), kModeMaximised);
    QCOMPARE(m_dlg->geometry(), Maximised());
    const QImage restoreLook = button->ComposedImage();
    QVERIFY(restoreLook != normalLook);
    // The restore look is the "_2" pictures.
    CRButton reference(m_dlg.get(), 0);
    reference.setGeometry(button->geometry());
    reference.SetImages(QString::fromLatin1(kPicRestore[0]), QString::fromLatin1(kPicRestore[1]),
                        QString::fromLatin1(kPicRestore[2]), &m_dlg->WindowBackground());
    QCOMPARE(reference.ComposedImage(), restoreLook);
    // The controls followed the new size: the close button keeps its
    // distance from the right edge.
    QCOMPARE(m_dlg->Control(kIdClose)->geometry().right(), m_dlg->width() - 16 - 1);
    Modes().ToggleMaximise();
    QCOMPARE(Modes().WindowMode(), kModeNormal);
    QCOMPARE(m_dlg->geometry(), normal);
    QCOMPARE(button->ComposedImage(), normalLook);
    // The enlarged viewer (1087) toggles the same way.
    Modes().FullWindow();
    QCOMPARE(Modes().WindowMode(), kModeMaximised);
    Modes().FullWindow();
    QCOMPARE(Modes().WindowMode(), kModeNormal);
    QCOMPARE(m_dlg->geometry(), normal);
}

void TestMainModes::expandedModeAndBack_data()
{
    QTest::addColumn<int>("startMode");
    QTest::addColumn<QString>("leaveBy");
    QTest::addColumn<int>("endMode");
    QTest::newRow("normal, back to normal") << kModeNormal << "toggle" << kModeNormal;
    QTest::newRow("maximised, back to maximised") << kModeMaximised << "toggle" << kModeMaximised;
    QTest::newRow("normal, the enlarged viewer ends maximised") << kModeNormal << "full window" << kModeMaximised;
    QTest::newRow("maximised, Ctrl+Enter on the picture") << kModeMaximised << "key" << kModeMaximised;
}

void TestMainModes::expandedModeAndBack()
{
    QFETCH(int, startMode);
    QFETCH(QString, leaveBy);
    QFETCH(int, endMode);
    Open();
    QVERIFY(QTest::qWaitForWindowExposed(m_dlg.get()));
    PlayItem(kCard, 1);
    if (startMode == kModeMaximised)
        Modes().ToggleMaximise();
    const QRect windowBefore = m_dlg->geometry();
    CVideoMainWnd* front = m_dlg->FrontVideo();
    const QRect frontBefore = front->geometry();
    m_fake->calls.clear();
    CTraceCapture trace;

    Modes().ToggleExpand();
    QCOMPARE(Modes().WindowMode(), kModeExpanded);
    QCOMPARE(Modes().SavedWindowMode(), startMode);
    QVERIFY(trace.Contains(QStringLiteral("BTN CLICK : ID_BTN_EXPAND")));
    QVERIFY(front->isWindow());
    QVERIFY(front->isVisible());
    QCOMPARE(front->geometry(), Monitor());
    QVERIFY(!m_dlg->isVisible());
    QVERIFY(front->IsFullScreen());
    QCOMPARE(m_fake->calls.filter(QStringLiteral("ResetSize")), QStringList{QStringLiteral("ResetSize(0)")});
    QCOMPARE(front->CaptionTitle(), m_dlg->currentTitle);
    QCOMPARE(Modes().Caption()->Title(), Name(kCard, 1).toUpper());

    m_fake->calls.clear();
    if (leaveBy == QLatin1String("full window"))
        Modes().FullWindow();
    else if (leaveBy == QLatin1String("key")) // the keys typed on the picture reach the window's accelerators
        QTest::keyClick(front, Qt::Key_Return, Qt::ControlModifier);
    else
        Modes().ToggleExpand();
    QCOMPARE(Modes().WindowMode(), endMode);
    QVERIFY(!front->isWindow());
    QCOMPARE(front->parentWidget(), m_dlg.get());
    QVERIFY(m_dlg->isVisible());
    QVERIFY(front->isVisible());
    QVERIFY(!Modes().Caption()->isVisible());
    QVERIFY(!Modes().ControlBox()->isVisible());
    // The transport learns the picture's new size before it fits the picture into it.
    const int sized = int(m_fake->calls.indexOf(QRegularExpression(QStringLiteral("SetTargetSize\\(0,.*"))));
    QVERIFY(sized >= 0);
    QVERIFY(m_fake->calls.indexOf(QStringLiteral("ResetSize(1)")) > sized);
    if (endMode == startMode) {
        QCOMPARE(m_dlg->geometry(), windowBefore);
        QCOMPARE(front->geometry(), frontBefore);
    } else {
        QCOMPARE(m_dlg->geometry(), Maximised());
        QCOMPARE(front->geometry(), m_dlg->frontVideoArea.ToQRect());
    }
}

// The main window runs modally; hiding it for the expanded mode must not
// end that run, and closing it from the expanded mode must.
void TestMainModes::expandedModeKeepsTheModalRun()
{
    Open();
    int step = 0;
    QTimer::singleShot(0, m_dlg.get(), [this, &step] {
        Modes().ToggleExpand();
        step = 1;
        QTimer::singleShot(0, m_dlg.get(), [this, &step] {
            Modes().ToggleExpand();
            step = 2;
            QTimer::singleShot(0, m_dlg.get(), [this, &step] {
                Modes().ToggleExpand();
                step = 3;
                m_dlg->close(); // closing while expanded
            });
        });
    });
    m_dlg->exec();
    QCOMPARE(step, 3);
    QCOMPARE(Modes().WindowMode(), kModeNormal);
    QVERIFY(!m_dlg->FrontVideo()->isWindow());
    QCOMPARE(m_dlg->FrontVideo()->parentWidget(), m_dlg.get());
}

void TestMainModes::expandedModeEndsWhenTheCardGoes()
{
    Open();
    PlayItem(kCard, 0);
    Modes().ToggleExpand();
    QCOMPARE(m_dlg->FrontVideo()->windowTitle(), QString::fromLatin1(kTitle));
    qputenv("KESTRAV_CARD_ROOTS", m_dir.filePath(QStringLiteral("nowhere")).toLocal8Bit());
    m_dlg->OnDeviceChange();
    QCOMPARE(Modes().WindowMode(), kModeNormal);
    QVERIFY(m_dlg->isVisible());
    QCOMPARE(m_dlg->FrontVideo()->parentWidget(), m_dlg.get());
    QCOMPARE(m_fake->GetState(), STATE_STOP);
}

void TestMainModes::overlaysFollowTheMouseAndPassCommandsOn()
{
    Open();
    PlayItem(kCard, 0);
    m_fake->SetPositionUnits(3725LL * Engine::kUnitsPerSecond / 100); // 37 s
    m_dlg->UpdatePlayPosition();
    CVideoMainWnd* front = m_dlg->FrontVideo();
    front->SetHideTimeout(100);
    Modes().ToggleExpand();
    CFullScrCaption* caption = Modes().Caption();
    CFullScrControlBox* box = Modes().ControlBox();
    QVERIFY(caption && box);
    QVERIFY(caption->isVisible());
    QVERIFY(box->isVisible());
    QCOMPARE(caption->geometry(), CFullScrCaption::Placement(Monitor()));
    QCOMPARE(box->geometry(), CFullScrControlBox::Placement(Monitor()));
    // The box took over what playback shows.
    QVERIFY(box->IsPlaying());
    QCOMPARE(box->CurrentTime(), 37);
    QCOMPARE(box->TotalTime(), 60);
    QVERIFY(box->IsSliderEnabled());
    // Hidden after the timeout, shown again by a movement.
    QTRY_VERIFY(!caption->isVisible());
    QVERIFY(!box->isVisible());
    QVERIFY(!front->IsCursorShown());
    QTest::mouseMove(front, QPoint(300, 300));
    QTRY_VERIFY(caption->isVisible());
    QVERIFY(box->isVisible());
    QVERIFY(front->IsCursorShown());
    QTRY_VERIFY(!box->isVisible());
    QTest::mouseMove(front, QPoint(310, 305));
    QTRY_VERIFY(box->isVisible());
    // Playback keeps the box in step.
    m_dlg->VideoPause();
    QVERIFY(!box->IsPlaying());
    // A box command goes through the front window to the main window: stop.
    emit box->Command(kIdStop);
    QCOMPARE(m_fake->GetState(), STATE_STOP);
    QCOMPARE(box->CurrentTime(), 0);
    QCOMPARE(box->SliderValue(), 0.0f);
    QVERIFY(!box->IsSliderEnabled());
    // The caption's minimise hides the overlays.
    QVERIFY(box->isVisible());
    emit caption->Command(WindowsIds::kCmdCaptionMinimise);
    QVERIFY(!box->isVisible());
    QVERIFY(!caption->isVisible());
    Modes().ToggleExpand();
    QCOMPARE(Modes().WindowMode(), kModeNormal);
}

void TestMainModes::rightColumn()
{
    Open();
    const int W = m_dlg->width();
    const QRect foldUp = m_dlg->Control(kIdFoldUp)->geometry();
    const QRect foldDown = m_dlg->Control(kIdFoldDown)->geometry();
    const QRect mapLabel = m_dlg->Control(kIdLabelMap)->geometry();
    QCOMPARE(Balloon(kIdFoldUp), Lang("IDS_STRING_K_058"));
    QCOMPARE(Balloon(kIdFoldDown), Lang("IDS_STRING_K_064"));

    Modes().ShowRearOrMap(false);
    QCOMPARE(m_dlg->rearShown, 0);
    QVERIFY(!m_dlg->RearVideo()->isVisible());
    QVERIFY(m_dlg->Control(kIdMapSearch)->isVisible());
    QCOMPARE(m_dlg->Control(kIdFoldDown)->geometry(), QRect(W - 317, 77, 27, 27));
    QCOMPARE(m_dlg->Control(kIdFoldUp)->geometry(), QRect(W - 317, 114, 27, 27));
    QCOMPARE(m_dlg->Control(kIdLabelMap)->geometry(), QRect(W - 288, 120, 40, 15));
    QCOMPARE(m_dlg->mapArea, (SkinRect{W - 322, 146, W - 2, 386}));
    QCOMPARE(Balloon(kIdFoldUp), Lang("IDS_STRING_K_059"));
    QCOMPARE(Balloon(kIdFoldDown), Lang("IDS_STRING_K_063"));

    // Back: the rear-picture layout as created, with its first balloons.
    Modes().ShowRearOrMap(true);
    QCOMPARE(m_dlg->rearShown, 1);
    QVERIFY(m_dlg->RearVideo()->isVisible());
    QVERIFY(!m_dlg->Control(kIdMapSearch)->isVisible());
    QCOMPARE(m_dlg->Control(kIdFoldUp)->geometry(), foldUp);
    QCOMPARE(m_dlg->Control(kIdFoldDown)->geometry(), foldDown);
    QCOMPARE(m_dlg->Control(kIdLabelMap)->geometry(), mapLabel);
    QCOMPARE(Balloon(kIdFoldUp), Lang("IDS_STRING_K_058"));
    QCOMPARE(Balloon(kIdFoldDown), Lang("IDS_STRING_K_064"));

    // With the pictures swapped the balloons name the front picture.
    PlayItem(kCard, 0);
    Modes().SetReverse(true);
    QCOMPARE(Balloon(kIdFoldUp), Lang("IDS_STRING_K_083"));
    Modes().ShowRearOrMap(false);
    QCOMPARE(Balloon(kIdFoldDown), Lang("IDS_STRING_K_084"));
    Modes().SetReverse(false);
    QCOMPARE(Balloon(kIdFoldDown), Lang("IDS_STRING_K_063"));
}

void TestMainModes::swapLabelsTitlesAndZoomReset()
{
    Open();
    PlayItem(kCard, 0);
    auto* main = qobject_cast<CRStaticText*>(m_dlg->Control(kIdMainTitle));
    auto* second = qobject_cast<CRStaticText*>(m_dlg->Control(kIdSecondTitle));
    main->SetText(QStringLiteral("FRONT.AVI"));
    second->SetText(QStringLiteral("REAR.AVI"));
    m_fake->SetVideoViewSize(1.5f);
    m_fake->calls.clear();

    Modes().SetReverse(true);
    QCOMPARE(m_fake->calls, (QStringList{QStringLiteral("SetVideoViewSize(1)"), QStringLiteral("SetReverseMode(1)")}));
    QCOMPARE(LabelText(kIdLabelFront), Lang(kTextRear));
    QCOMPARE(LabelText(kIdLabelRear), Lang(kTextFront));
    Modes().SwapTitles();
    QCOMPARE(TitleText(kIdMainTitle), QStringLiteral("REAR.AVI"));
    QCOMPARE(TitleText(kIdSecondTitle), QStringLiteral("FRONT.AVI"));
    QCOMPARE(m_dlg->currentTitle, QStringLiteral("REAR.AVI"));

    // The same again changes nothing but the zoom check.
    m_fake->calls.clear();
    Modes().SetReverse(true);
    QVERIFY(m_fake->calls.isEmpty());

    Modes().SetReverse(false);
    QCOMPARE(LabelText(kIdLabelFront), Lang(kTextFront));
    QCOMPARE(LabelText(kIdLabelRear), Lang(kTextRear));
    // A one-picture play of a front/rear card leaves the second title empty.
    m_dlg->dualStreamMode = 1;
    m_dlg->singlePlay = 1;
    Modes().SwapTitles();
    QCOMPARE(TitleText(kIdMainTitle), QStringLiteral("FRONT.AVI"));
    QCOMPARE(TitleText(kIdSecondTitle), QString());
}

void TestMainModes::frontRearLabels_data()
{
    QTest::addColumn<int>("dual");
    QTest::addColumn<int>("single");
    QTest::addColumn<int>("item");
    QTest::addColumn<bool>("reverse");
    QTest::addColumn<QString>("left");
    QTest::addColumn<QString>("right");
    QTest::addColumn<bool>("secondTitle");
    const QString front = Lang(kTextFront);
    const QString rear = Lang(kTextRear);
    const QString none = Lang(kTextNoVideo);
    QTest::newRow("one camera") << 0 << 0 << 0 << false << front << rear << true;
    QTest::newRow("one camera, swapped") << 0 << 0 << 0 << true << rear << front << true;
    QTest::newRow("pair, both") << 1 << 0 << 0 << false << front << rear << true;
    QTest::newRow("pair, both, swapped") << 1 << 0 << 0 << true << rear << front << true;
    QTest::newRow("pair, front only") << 1 << 1 << 0 << false << front << none << false;
    QTest::newRow("rear without partner") << 1 << 0 << 2 << false << rear << none << false;
}

void TestMainModes::frontRearLabels()
{
    QFETCH(int, dual);
    QFETCH(int, single);
    QFETCH(int, item);
    QFETCH(bool, reverse);
    QFETCH(QString, left);
    QFETCH(QString, right);
    QFETCH(bool, secondTitle);
    Open(kDualCard, dual ? "CMV550View" : "ARX330");
    QCOMPARE(m_dlg->dualStreamMode, dual);
    m_dlg->singlePlay = single;
    PlayItem(kDualCard, item);
    m_fake->SetReverseMode(reverse);
    m_dlg->UpdateFrontRearLabels();
    QCOMPARE(LabelText(kIdLabelFront), left);
    QCOMPARE(LabelText(kIdLabelRear), right);
    if (dual)
        QCOMPARE(m_dlg->Control(kIdSecondTitle)->isVisible(), secondTitle);
    // The "no video" text gets room once (playing did it already): 65
    // pixels become 565.
    const int width = right == Lang(kTextNoVideo) ? 565 : 65;
    QCOMPARE(m_dlg->Control(kIdLabelRear)->width(), width);
    m_dlg->UpdateFrontRearLabels();
    QCOMPARE(m_dlg->Control(kIdLabelRear)->width(), width);
}

void TestMainModes::zoomSteps_data()
{
    QTest::addColumn<float>("from");
    QTest::addColumn<int>("direction");
    QTest::addColumn<float>("to");
    QTest::newRow("0.5 up") << 0.5f << 1 << 1.0f;
    QTest::newRow("1.0 up") << 1.0f << 1 << 1.5f;
    QTest::newRow("1.5 up") << 1.5f << 1 << 2.0f;
    QTest::newRow("2.0 up: the top") << 2.0f << 1 << 2.0f;
    QTest::newRow("2.0 down") << 2.0f << -1 << 1.5f;
    QTest::newRow("1.5 down") << 1.5f << -1 << 1.0f;
    QTest::newRow("1.0 down") << 1.0f << -1 << 0.5f;
    QTest::newRow("0.5 down: the bottom") << 0.5f << -1 << 0.5f;
    QTest::newRow("between steps") << 1.25f << 1 << 1.25f;
}

void TestMainModes::zoomSteps()
{
    QFETCH(float, from);
    QFETCH(int, direction);
    QFETCH(float, to);
    QCOMPARE(CWindowModes::NextZoom(from, direction), to);
    Open();
    // Stopped: nothing.
    Modes().ZoomStep(direction);
    QVERIFY(m_fake->calls.filter(QStringLiteral("SetVideoViewSize")).isEmpty());
    PlayItem(kCard, 0);
    m_fake->SetVideoViewSize(from);
    CVideoMainWnd* front = m_dlg->FrontVideo();
    QTRY_COMPARE(front->Zoom(), FrontZoom(from));
    m_fake->calls.clear();
    Modes().ZoomStep(direction);
    QCOMPARE(m_fake->GetVideoViewSize(), to);
    QCOMPARE(m_fake->calls.filter(QStringLiteral("SetVideoViewSize")).size(), to != from ? 1 : 0);
    // The front window follows the transport's report, with its bars above 1.0.
    QTRY_COMPARE(front->Zoom(), FrontZoom(to));
    QCOMPARE(front->VerticalBar()->isVisible(), FrontZoom(to) > 1.0f);
}

void TestMainModes::mapSearch_data()
{
    QTest::addColumn<int>("trackDrawn");
    QTest::addColumn<QString>("extent");
    QTest::addColumn<QString>("message");
    QTest::addColumn<int>("found");
    QTest::newRow("without a track") << 0 << kExtent << Lang(kTextNothingFound) << 0;
    QTest::newRow("nothing in the area") << 1 << kExtentElsewhere << Lang(kTextNothingFound) << 0;
    QTest::newRow("three in the area") << 1 << kExtent
                                       << Lang(kTextFoundCount).replace(QLatin1String("%d"), QStringLiteral("3")) << 3;
    QTest::newRow("no answer from the page") << 1 << QString() << QString() << -1;
    QTest::newRow("a short answer") << 1 << QStringLiteral("126.9, 37.6, 127.1") << QString() << -1;
    QTest::newRow("not numbers") << 1 << QStringLiteral("a,b,c,d") << QString() << -1;
}

void TestMainModes::mapSearch()
{
    QFETCH(int, trackDrawn);
    QFETCH(QString, extent);
    QFETCH(QString, message);
    QFETCH(int, found);
    Open();
    CCatalogue& catalogue = m_dlg->Catalogue();
    CategoryMap& results = catalogue[Catalogue::kSearchResult];
    // An earlier search left one recording in the category.
    results.emplace(Name(kCard, 3).toUpper(), catalogue[Catalogue::kContinuous].at(Name(kCard, 3).toUpper()));
    m_dlg->Control(kIdListPosition)->setEnabled(true);
    PlayItem(kCard, 1);
    m_dlg->trackDrawn = trackDrawn;
    m_bridge.SetValue(extent);
    CTraceCapture trace;

    Modes().MapSearch();
    QVERIFY(trace.Contains(QStringLiteral("BTN CLICK : ID_BTN_MAPSEARCH")));
    QCOMPARE(m_fake->GetState(), STATE_PAUSE);
    QCOMPARE(Questions(), trackDrawn ? QStringList{QString::fromLatin1(kScriptGetExtent)} : QStringList());
    const QStringList boxes = MessageTexts();
    QCOMPARE(boxes, message.isEmpty() ? QStringList() : QStringList{message});
    for (const auto& c : m_platform.CallsOf(QStringLiteral("MessageBox")))
        QCOMPARE(c.caption, Lang(kTextSearchCaption));
    if (found < 0) {
        // The page's answer could not be used: the earlier result stays.
        QCOMPARE(int(results.size()), 1);
        QVERIFY(m_dlg->Control(kIdListPosition)->isEnabled());
        QCOMPARE(m_dlg->listCategory, Catalogue::kContinuous);
        return;
    }
    QCOMPARE(int(results.size()), found);
    QCOMPARE(m_dlg->Control(kIdListPosition)->isEnabled(), found > 0);
    if (found > 0) {
        QVERIFY(results.count(Name(kCard, 0).toUpper()));
        QVERIFY(results.count(Name(kCard, 2).toUpper()));
        QVERIFY(results.count(Name(kCard, 4).toUpper()));
        // The list shows the location category.
        QCOMPARE(m_dlg->listCategory, Catalogue::kSearchResult);
        QCOMPARE(List().GetItemCount(), 3);
        // A second search while it shows them shows the new result.
        m_bridge.SetValue(kExtentElsewhere);
        Modes().MapSearch();
        QCOMPARE(int(results.size()), 0);
        QCOMPARE(List().GetItemCount(), 0);
        QVERIFY(!m_dlg->Control(kIdListPosition)->isEnabled());
    } else {
        QCOMPARE(m_dlg->listCategory, Catalogue::kContinuous);
    }
}

void TestMainModes::mapSearchWhileTheAnalysisRuns()
{
    m_hold = true;
    Open();
    QVERIFY(m_dlg->IsAnalysisRunning());
    // Playing (a recording opened now would wait for the held extraction).
    m_fake->ForceState(STATE_PLAY);
    m_dlg->trackDrawn = 1;
    m_bridge.SetValue(kExtent);
    CTraceCapture trace;
    Modes().MapSearch();
    QCOMPARE(MessageTexts(), QStringList{Lang(kTextAnalysisNotFinished)});
    QVERIFY(!trace.Contains(QStringLiteral("BTN CLICK : ID_BTN_MAPSEARCH")));
    QVERIFY(Questions().isEmpty());
    QCOMPARE(m_fake->GetState(), STATE_PLAY);
    QVERIFY(!m_fake->calls.contains(QStringLiteral("Pause")));
    m_hold = false;
    QTRY_VERIFY_WITH_TIMEOUT(!m_dlg->IsAnalysisRunning(), 10000);
}

// A search that empties the location category while one of its recordings
// is open closes that recording first: its telemetry goes with the entry.
void TestMainModes::mapSearchStopsARecordingOfTheCategoryItEmpties()
{
    Open();
    m_dlg->trackDrawn = 1;
    m_bridge.SetValue(kExtent);
    Modes().MapSearch();
    QCOMPARE(m_dlg->listCategory, Catalogue::kSearchResult);
    PlayItem(kCard, 2);
    QVERIFY(m_dlg->currentTextData);
    m_dlg->trackDrawn = 0;
    Modes().MapSearch();
    QCOMPARE(m_fake->GetState(), STATE_STOP);
    QVERIFY(!m_dlg->currentTextData);
    QVERIFY(m_dlg->Catalogue()[Catalogue::kSearchResult].empty());
    m_dlg->UpdatePlayPosition(); // nothing left that points into the category
}

void TestMainModes::navigationProductPage()
{
    Open();
    CTraceCapture trace;
    m_dlg->OnCommand(kCmdNavigationProduct);
    QCOMPARE(trace.Lines().count(QStringLiteral("BTN CLICK : ID_BTN_ORVIA")), 1);
    const auto calls = m_platform.CallsOf(QStringLiteral("ShellOpen"));
    QCOMPARE(calls.size(), 1);
    QCOMPARE(calls[0].text, QString::fromLatin1(kNavigationProductUrl));
    QVERIFY(QUrl(calls[0].text).scheme() == QLatin1String("https"));
}

QTEST_MAIN(TestMainModes)
#include "tst_mainmodes.moc"
