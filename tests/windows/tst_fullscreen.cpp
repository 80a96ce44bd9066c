// The full-screen overlays: the caption (buttons laid out for the width,
// brand, model and device pictures by the device record, the title's place,
// commands) and the control box (where its controls lie, commands, the
// position slider's reports, times, play/pause, continuous play, swap
// enabling, volume icon levels). Pictures come from a synthetic image
// library whose pictures each have a colour of their own, so a pixel tells
// which picture was drawn.
#include "catalogue/MemoryCard.h"
#include "lang/Lang.h"
#include "platform/Platform.h"
#include "skin/RButton.h"
#include "skin/SkinBalloonTip.h"
#include "skin/RStaticText.h"
#include "skin/SkinImage.h"
#include "skin/TButton.h"
#include "skin/TSliderCtrl.h"
#include "windows/FullScrCaption.h"
#include "windows/FullScrControlBox.h"
#include "windows/WindowsIds.h"
#include "PeWriter.h"
#include "SkinTestUtil.h"
#include "SyntheticSkin.h"

#include <QBuffer>
#include <QDir>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QtTest>

#include <cmath>

#include <memory>

using namespace WindowsIds;
using namespace SkinTestUtil;

namespace {
QRgb Colour(const QString& picture)
{
    return SyntheticSkin::Colour(picture) | 0xFF000000u;
}
QRgb Colour(const char* picture)
{
    return Colour(QString::fromLatin1(picture));
}
QRgb Pixel(const QImage& img, QPoint p)
{
    return img.pixel(p) | 0xFF000000u;
}

// A device record with the model at 8 and, optionally, the settings
// program's path at 228.
QByteArray Record(const QByteArray& model, const QByteArray& program = QByteArray())
{
    QByteArray r(kDeviceRecordSize, '\0');
    r.replace(kDeviceModelOffset, model.size(), model);
    if (!program.isEmpty())
        r.replace(kDeviceProgramOffset, program.size(), program);
    return r;
}

QByteArray Png(const QImage& img)
{
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    img.save(&buffer, "PNG");
    return bytes;
}

void Click(QWidget* window, QPoint at)
{
    QTest::mouseMove(window->windowHandle(), at);
    QTest::mouseClick(window->windowHandle(), Qt::LeftButton, {}, at);
}

QPoint Centre(const QRect& r)
{
    return r.center();
}
} // namespace

class TestFullScreen : public QObject
{
    Q_OBJECT

private:
    QTemporaryDir m_dir;
    CRecordingPlatform m_platform;
    QWidget* m_front = nullptr; // stands for the front video window (notify window)

    std::unique_ptr<CFullScrControlBox> ShownBox(QPoint at = QPoint(100, 300))
    {
        auto box = std::make_unique<CFullScrControlBox>(m_front);
        box->SetNotifyWindow(m_front);
        box->move(at);
        box->show();
        if (!QTest::qWaitForWindowExposed(box.get()))
            return nullptr;
        return box;
    }

private slots:
    void initTestCase()
    {
        QVERIFY(m_dir.isValid());
        CPlatform::Install(&m_platform);
        QVERIFY(SyntheticSkin::Write(m_dir.filePath(QStringLiteral("skin"))));
        CSkinImage::GetInstance()->SetLibraryRoot(m_dir.filePath(QStringLiteral("skin")) + QLatin1Char('/'));
        QVERIFY(SelectLanguage(QStringLiteral("english")));
        g_deviceRecord.clear();
        g_cardRoot.clear();
        m_front = new QWidget;
        m_front->setGeometry(0, 0, 1000, 700);
        m_front->show();
        QVERIFY(QTest::qWaitForWindowExposed(m_front));
    }
    void cleanupTestCase()
    {
        delete m_front;
        CSkinImage::DestroyInstance();
        CPlatform::Install(nullptr);
    }
    void init()
    {
        m_platform.Clear();
    }
    void cleanup()
    {
        // Every picture the overlays ask for exists: no failure was reported.
        QVERIFY(m_platform.CallsOf(QStringLiteral("MessageBox")).isEmpty());
    }

    // ---- Caption -------------------------------------------------------------------

    void captionButtonsFollowTheWidth_data()
    {
        QTest::addColumn<int>("width");
        QTest::newRow("800") << 800;
        QTest::newRow("1000 (200 wider)") << 1000;
        QTest::newRow("1920") << 1920;
    }
    void captionButtonsFollowTheWidth()
    {
        QFETCH(int, width);
        const CFullScrCaption::Geometry g = CFullScrCaption::Layout(width, false, QSize(96, 26), QSize(), -1);
        QCOMPARE(g.close, QRect(QPoint(width - 45, 0), QPoint(width - 17, 35)));
        QCOMPARE(g.minimise, QRect(QPoint(width - 74, 0), QPoint(width - 46, 35)));
        QCOMPARE(g.reduce, QRect(QPoint(width - 103, 0), QPoint(width - 75, 35)));

        // A caption made at another width and then resized places its buttons there.
        CFullScrCaption caption(m_front);
        caption.setGeometry(CFullScrCaption::Placement(QRect(0, 0, width, 1080)));
        QCOMPARE(caption.geometry(), QRect(0, 0, width, kCaptionHeight));
        caption.show();
        QVERIFY(QTest::qWaitForWindowExposed(&caption));
        QTRY_COMPARE(caption.Button(kCaptionCloseId)->geometry(), g.close);
        QCOMPARE(caption.Button(kCaptionMinimiseId)->geometry(), g.minimise);
        QCOMPARE(caption.Button(kCaptionReduceId)->geometry(), g.reduce);
        // The close button's picture is drawn where it lies.
        const QImage shown = caption.ComposedPicture();
        QCOMPARE(Pixel(shown, Centre(g.close)), Colour(kCaptionClosePictures[0]));
        QCOMPARE(Pixel(shown, Centre(g.reduce)), Colour(kCaptionReducePictures[0]));
    }

    void captionPictures_data()
    {
        QTest::addColumn<bool>("hasRecord");
        QTest::addColumn<QByteArray>("model");
        QTest::addColumn<QString>("modelPicture"); // empty: none
        QTest::addColumn<QRect>("modelRect");
        QTest::addColumn<int>("deviceX");
        // Brand 96 x 26 at (10, 6): models start at x 112, the middle line is y 19.
        QTest::newRow("ARX550") << true << QByteArray("ARX550") << "bi_arx550.png" << QRect(112, 7, 106, 24) << 224;
        QTest::newRow("ARX330") << true << QByteArray("ARX330") << "bi_arx330.png" << QRect(112, 10, 99, 19) << 217;
        QTest::newRow("BT33") << true << QByteArray("BT33") << "bi_bt33.png" << QRect(112, 10, 45, 19) << 163;
        QTest::newRow("CMV550View cut at (") << true << QByteArray("CMV550View(V2)") << "bi_cmv550view.png"
                                             << QRect(112, 10, 105, 19) << 223;
        QTest::newRow("other model, no card picture") << true << QByteArray("DZ55") << QString() << QRect() << 118;
        QTest::newRow("no device record") << false << QByteArray() << QString() << QRect() << -1;
    }
    void captionPictures()
    {
        QFETCH(bool, hasRecord);
        QFETCH(QByteArray, model);
        QFETCH(QString, modelPicture);
        QFETCH(QRect, modelRect);
        QFETCH(int, deviceX);
        CFullScrCaption caption(m_front);
        caption.resize(900, kCaptionHeight);
        caption.SetDevice(hasRecord ? Record(model) : QByteArray(), m_dir.path() + QLatin1Char('/'));
        const CFullScrCaption::Geometry g = caption.CurrentGeometry();
        const QImage shown = caption.ComposedPicture();
        const QRgb background = Colour(kCaptionBackground);
        QCOMPARE(g.pictures, hasRecord);
        QCOMPARE(g.model, modelRect);
        if (!hasRecord) {
            // Nothing but the background where brand and device would be;
            // the title stays at its creation place.
            QCOMPARE(Pixel(shown, QPoint(20, 15)), background);
            QCOMPARE(Pixel(shown, QPoint(130, 10)), background);
            QCOMPARE(caption.TitleStatic()->geometry(), QRect(116, 16, 207, 15));
            return;
        }
        QCOMPARE(g.brandAt, QPoint(10, 6));
        QCOMPARE(Pixel(shown, QPoint(10 + 48, 6 + 13)), Colour(kCaptionBrandPicture));
        if (!modelPicture.isEmpty())
            QCOMPARE(Pixel(shown, Centre(modelRect)), Colour(modelPicture));
        QCOMPARE(g.deviceAt, QPoint(deviceX, 7));
        QCOMPARE(Pixel(shown, QPoint(deviceX + 13, 7 + 12)), Colour(kCaptionDevicePicture));
        QCOMPARE(Pixel(shown, QPoint(deviceX - 3, 7 + 12)), background);
        QCOMPARE(caption.TitleStatic()->geometry(), QRect(deviceX + 36, 16, 207, 15));
    }

    void captionUsesTheCardsModelPicture()
    {
        // A model the viewer has no picture for: the picture inside the
        // card's settings program, centred on the middle line.
        const QString root = m_dir.filePath(QStringLiteral("card")) + QLatin1Char('/');
        QVERIFY(QDir().mkpath(root + QStringLiteral("SETTING")));
        QImage badge(40, 20, QImage::Format_ARGB32);
        badge.fill(qRgba(12, 200, 90, 255));
        CPeWriter writer;
        writer.Add(QStringLiteral("PNG"), QStringLiteral("IDB_BI"), Png(badge));
        QFile program(root + QStringLiteral("SETTING/DZ55_Setup.exe"));
        QVERIFY(program.open(QIODevice::WriteOnly));
        program.write(writer.Build());
        program.close();

        CFullScrCaption caption(m_front);
        caption.resize(900, kCaptionHeight);
        caption.SetDevice(Record("DZ55", "SETTING/DZ55_Setup.exe"), root);
        QVERIFY(caption.HasCardModelPicture());
        const CFullScrCaption::Geometry g = caption.CurrentGeometry();
        QCOMPARE(g.model, QRect(112, 9, 40, 20));
        QCOMPARE(g.deviceAt, QPoint(158, 7));
        const QImage shown = caption.ComposedPicture();
        QCOMPARE(Pixel(shown, QPoint(130, 18)), qRgb(12, 200, 90));
        QCOMPARE(caption.TitleStatic()->geometry().left(), 194);

        // A path that leaves the card is not followed.
        caption.SetDevice(Record("DZ55", "../card/SETTING/DZ55_Setup.exe"), root + QStringLiteral("SETTING/"));
        QVERIFY(!caption.HasCardModelPicture());
        QCOMPARE(caption.CurrentGeometry().model, QRect());
    }

    void captionReadsTheViewersRecordWhenMade()
    {
        g_deviceRecord = Record("BT33");
        CFullScrCaption caption(m_front);
        g_deviceRecord.clear();
        QCOMPARE(caption.ModelName(), QStringLiteral("BT33"));
        QCOMPARE(caption.CurrentGeometry().model, QRect(112, 10, 45, 19));
    }

    void captionTitle()
    {
        CFullScrCaption caption(m_front);
        caption.resize(900, kCaptionHeight);
        caption.SetTitle(QStringLiteral("20240506_081500_F.MP4"));
        QCOMPARE(caption.Title(), QStringLiteral("20240506_081500_F.MP4"));
        QCOMPARE(caption.TitleStatic()->Text(), QStringLiteral("20240506_081500_F.MP4"));
        // The text is drawn in the title colour over the caption's background.
        const QImage shown = caption.ComposedPicture();
        const QRect box = caption.TitleStatic()->geometry();
        const QRgb ink = Strongest(shown, box, Colour(kCaptionBackground));
        QVERIFY2(Near(ink, kCaptionTitleColor, 40), qPrintable(QString::number(ink, 16)));
        QVERIFY(!InkColumns(shown, box, Colour(kCaptionBackground)).isEmpty());
    }

    void captionButtonsSendTheirCommands()
    {
        CFullScrCaption caption(m_front);
        caption.setGeometry(CFullScrCaption::Placement(QRect(0, 0, 1000, 700)));
        caption.show();
        QVERIFY(QTest::qWaitForWindowExposed(&caption));
        QSignalSpy commands(&caption, &CFullScrCaption::Command);
        // Without a notify window nothing is sent.
        Click(&caption, Centre(caption.Button(kCaptionCloseId)->geometry()));
        QTest::qWait(20);
        QCOMPARE(commands.size(), 0);
        caption.SetNotifyWindow(m_front);
        const int ids[] = {kCaptionCloseId, kCaptionMinimiseId, kCaptionReduceId};
        for (int id : ids)
            Click(&caption, Centre(caption.Button(id)->geometry()));
        QTRY_COMPARE(commands.size(), 3);
        for (int i = 0; i < 3; ++i)
            QCOMPARE(commands[i][0].toInt(), ids[i]);
        QCOMPARE(caption.Button(kCaptionReduceId)->BalloonText(), LangText(QLatin1String(kCaptionReduceBalloonKey)));
    }

    // ---- Control box -------------------------------------------------------------

    void controlBoxChildRects_data()
    {
        QTest::addColumn<int>("id");
        QTest::addColumn<QRect>("rect");
        QTest::newRow("previous") << 1103 << QRect(113, 71, 60, 60);
        QTest::newRow("back 10") << 1105 << QRect(184, 71, 60, 60);
        QTest::newRow("play") << 1100 << QRect(255, 58, 86, 86);
        QTest::newRow("pause") << 1101 << QRect(255, 58, 86, 86);
        QTest::newRow("stop") << 1102 << QRect(352, 58, 86, 86);
        QTest::newRow("forward 10") << 1106 << QRect(449, 71, 60, 60);
        QTest::newRow("next") << 1104 << QRect(520, 71, 60, 60);
        QTest::newRow("continuous") << 1111 << QRect(445, 36, 36, 24);
        QTest::newRow("swap") << 1303 << QRect(481, 36, 36, 24);
        QTest::newRow("zoom") << 1107 << QRect(517, 36, 36, 24);
        QTest::newRow("settings") << 1108 << QRect(553, 36, 36, 24);
        QTest::newRow("save") << 1109 << QRect(589, 36, 36, 24);
        QTest::newRow("volume") << 1110 << QRect(625, 36, 36, 24);
        QTest::newRow("slider") << 1204 << QRect(25, 24, 643, 7);
    }
    void controlBoxChildRects()
    {
        QFETCH(int, id);
        QFETCH(QRect, rect);
        QCOMPARE(CFullScrControlBox::ChildRect(id), rect);
        // Shown, the control lies there over the box, and follows it when it moves.
        auto box = ShownBox(QPoint(150, 400));
        QVERIFY(box);
        box->SetPlaying(id == 1101);
        QWidget* child = id == 1204 ? static_cast<QWidget*>(box->Slider()) : box->Button(id);
        QVERIFY(child);
        QTRY_COMPARE(child->geometry(), rect.translated(150, 400));
        QVERIFY(child->isVisible());
        box->move(60, 380);
        QTRY_COMPARE(child->geometry(), rect.translated(60, 380));
        box->hide();
        QVERIFY(!child->isVisible());
    }

    void controlBoxPlacement()
    {
        QCOMPARE(CFullScrControlBox::Placement(QRect(0, 0, 1920, 1080)), QRect(612, 921, 695, 159));
        QCOMPARE(CFullScrControlBox::Placement(QRect(1920, 0, 1280, 1024)), QRect(1920 + 292, 865, 695, 159));
        CFullScrControlBox box(m_front);
        QCOMPARE(box.size(), QSize(695, 159));
        QCOMPARE(box.windowTitle(), QStringLiteral("ScrControl"));
    }

    void controlBoxButtonsSendTheirCommands_data()
    {
        QTest::addColumn<int>("id");
        for (int id : {1103, 1105, 1100, 1101, 1102, 1106, 1104, 1111, 1303, 1107, 1108, 1109, 1110})
            QTest::newRow(qPrintable(QString::number(id))) << id;
    }
    void controlBoxButtonsSendTheirCommands()
    {
        QFETCH(int, id);
        auto box = ShownBox();
        QVERIFY(box);
        box->SetPlaying(id == 1101);
        box->SetSwapEnabled(true);
        CTButton* button = box->Button(id);
        QVERIFY(QTest::qWaitForWindowExposed(button));
        QSignalSpy commands(box.get(), &CFullScrControlBox::Command);
        Click(button, QPoint(button->width() / 2, button->height() / 2));
        QCOMPARE(commands.size(), 1); // sent, not posted
        QCOMPARE(commands[0][0].toInt(), id);
    }

    void sliderReportsWhileDraggedAndOnceAtRelease()
    {
        auto box = ShownBox();
        QVERIFY(box);
        CTSliderCtrl* slider = box->Slider();
        QVERIFY(QTest::qWaitForWindowExposed(slider));
        box->SetSliderValue(0.0f);
        slider->ComposedImage();
        CMessageLog log;
        log.Watch(box.get());
        QWindow* w = slider->windowHandle();
        const QPoint handle = slider->ThumbRect().ToQRect().center();
        QTest::mouseMove(w, handle);
        QTest::mousePress(w, Qt::LeftButton, {}, handle);
        QVERIFY(slider->IsDragging());
        for (int dx : {60, 200, 400})
            QTest::mouseMove(w, handle + QPoint(dx, 0));
        QTRY_COMPARE(log.messages.size(), 3);
        int last = -1;
        for (const Message& m : log.messages) {
            QCOMPARE(m.message, kMsgControlValue);
            QCOMPARE(m.wParam, quintptr(kPositionSliderCode));
            QVERIFY(m.lParam > last && m.lParam <= 100);
            last = int(m.lParam);
        }
        QCOMPARE(last, int(std::floor(box->SliderValue() + 0.5f)));
        QTest::mouseRelease(w, Qt::LeftButton, {}, handle + QPoint(400, 0));
        QCOMPARE(log.messages.size(), 4);
        QCOMPARE(log.messages[3], (Message{kMsgControlReleased, quintptr(kPositionSliderCode), 0}));
        QTest::qWait(20);
        QCOMPARE(log.messages.size(), 4);

        // A click on the track: one value, one release.
        log.messages.clear();
        const QPoint end(slider->width() - 3, 3);
        QTest::mouseMove(w, end);
        QTest::mouseClick(w, Qt::LeftButton, {}, end);
        QTRY_COMPARE(log.messages.size(), 2);
        QCOMPARE(log.messages[0].message, kMsgControlValue);
        QCOMPARE(log.messages[0].lParam, qintptr(100));
        QCOMPARE(log.messages[1].message, kMsgControlReleased);
    }

    void disabledSliderAndNoNotifyWindowReportNothing()
    {
        auto box = ShownBox();
        QVERIFY(box);
        CTSliderCtrl* slider = box->Slider();
        QVERIFY(QTest::qWaitForWindowExposed(slider));
        CMessageLog log;
        log.Watch(box.get());
        const QPoint at(slider->width() / 2, 3);
        box->EnableSlider(false);
        QVERIFY(!box->IsSliderEnabled());
        QTest::mouseMove(slider->windowHandle(), at);
        QTest::mouseClick(slider->windowHandle(), Qt::LeftButton, {}, at);
        box->EnableSlider(true);
        box->SetNotifyWindow(nullptr);
        QTest::mouseClick(slider->windowHandle(), Qt::LeftButton, {}, at);
        QTest::qWait(30);
        QVERIFY(log.messages.isEmpty());
        QVERIFY(qAbs(box->SliderValue() - 50.0f) < 1.0f); // the slider itself still moved
    }

    void timeTexts_data()
    {
        QTest::addColumn<int>("seconds");
        QTest::addColumn<QString>("current");
        QTest::addColumn<QString>("total");
        QTest::newRow("0") << 0 << "00:00:00 /" << "00:00:00";
        QTest::newRow("59") << 59 << "00:00:59 /" << "00:00:59";
        QTest::newRow("3725") << 3725 << "01:02:05 /" << "01:02:05";
        QTest::newRow("99:59:59") << 359999 << "99:59:59 /" << "99:59:59";
        QTest::newRow("negative") << -5 << "00:00:00 /" << "00:00:00";
    }
    void timeTexts()
    {
        QFETCH(int, seconds);
        QFETCH(QString, current);
        QFETCH(QString, total);
        QCOMPARE(CFullScrControlBox::FormatTime(seconds, true), current);
        QCOMPARE(CFullScrControlBox::FormatTime(seconds, false), total);
    }

    void timesAreDrawnInTheirColours()
    {
        CFullScrControlBox box(m_front);
        const QRgb background = Colour(kControlBoxBackground);
        const QRect currentBox(25, 32, 50, 20);
        const QRect totalBox(91, 32, 55, 20);
        box.SetCurrentTime(3725);
        box.SetTotalTime(7384);
        QCOMPARE(box.CurrentTime(), 3725);
        const QImage shown = box.ComposedPicture();
        QVERIFY(Near(Strongest(shown, currentBox, background), kCurrentTimeColor, 30));
        QVERIFY(Near(Strongest(shown, totalBox.adjusted(8, 0, 0, 0), background), kTotalTimeColor, 30));
        // The text starts at the box's left edge.
        const int firstInk = InkColumns(shown, QRect(15, 32, 25, 20), background).value(0);
        QVERIFY2(firstInk >= 25 && firstInk <= 27, qPrintable(QString::number(firstInk)));
        // A new time set while the box is hidden shows when it appears.
        box.SetCurrentTime(0);
        const QImage later = box.ComposedPicture();
        QVERIFY(later != shown);
        box.ResetTimes();
        QCOMPARE(box.TotalTime(), 0);
        QCOMPARE(box.SliderValue(), 0.0f);
    }

    void playingShowsPause()
    {
        auto box = ShownBox();
        QVERIFY(box);
        const QPoint middle = CFullScrControlBox::ChildRect(1100).center();
        QVERIFY(box->Button(1100)->isVisible());
        QVERIFY(!box->Button(1101)->isVisible());
        QCOMPARE(Pixel(box->ComposedPicture(), middle), Colour("btn_play_normal.png"));
        box->SetPlaying(true);
        QVERIFY(!box->Button(1100)->isVisible());
        QVERIFY(box->Button(1101)->isVisible());
        QCOMPARE(Pixel(box->ComposedPicture(), middle), Colour("btn_pause_normal.png"));
        // Hidden and shown again, the box keeps the paused/playing choice.
        box->hide();
        box->SetPlaying(false);
        QVERIFY(!box->Button(1100)->isVisible());
        box->show();
        QVERIFY(box->Button(1100)->isVisible());
        QVERIFY(!box->Button(1101)->isVisible());
    }

    void continuousPlayLook()
    {
        auto box = ShownBox();
        QVERIFY(box);
        CTButton* button = box->Button(1111);
        const QPoint middle = CFullScrControlBox::ChildRect(1111).center();
        QCOMPARE(Pixel(box->ComposedPicture(), middle), Colour("btn_connect_off_normal.png"));
        box->SetContinuousPlay(true);
        QVERIFY(box->IsContinuousPlay());
        QCOMPARE(Pixel(box->ComposedPicture(), middle), Colour(kContinuousSelectedPicture));
        // A click still reports and keeps the selected look (the owner decides).
        QSignalSpy commands(box.get(), &CFullScrControlBox::Command);
        QVERIFY(QTest::qWaitForWindowExposed(button));
        Click(button, QPoint(18, 12));
        QCOMPARE(commands.size(), 1);
        QCOMPARE(button->GetState(), int(CSkinButton::StateSelected));
        box->SetContinuousPlay(false);
        QVERIFY(!box->IsContinuousPlay());
        QCOMPARE(Pixel(box->ComposedPicture(), middle), Colour("btn_connect_off_normal.png"));
    }

    void swapEnabling()
    {
        auto box = ShownBox();
        QVERIFY(box);
        CTButton* swap = box->Button(1303);
        const QPoint middle = CFullScrControlBox::ChildRect(1303).center();
        box->SetSwapEnabled(false);
        QVERIFY(!swap->isEnabled());
        QCOMPARE(Pixel(box->ComposedPicture(), middle), Colour(kSwapDisabledPicture));
        QSignalSpy commands(box.get(), &CFullScrControlBox::Command);
        QVERIFY(QTest::qWaitForWindowExposed(swap));
        Click(swap, QPoint(18, 12));
        QCOMPARE(commands.size(), 0);
        box->SetSwapEnabled(true);
        QVERIFY(swap->isEnabled());
        QCOMPARE(Pixel(box->ComposedPicture(), middle), Colour("btn_change_normal_2.png"));
        // The flag is applied again whenever the box is shown.
        box->hide();
        box->SetSwapEnabled(false);
        box->show();
        QVERIFY(!swap->isEnabled());
    }

    void volumeIconLevels_data()
    {
        QTest::addColumn<int>("volume");
        QTest::addColumn<int>("level");
        QTest::newRow("0") << 0 << 0;
        QTest::newRow("1") << 1 << 1;
        QTest::newRow("19") << 19 << 1;
        QTest::newRow("20") << 20 << 2;
        QTest::newRow("59") << 59 << 3;
        QTest::newRow("79") << 79 << 4;
        QTest::newRow("80") << 80 << 5;
        QTest::newRow("100") << 100 << 5;
    }
    void volumeIconLevels()
    {
        QFETCH(int, volume);
        QFETCH(int, level);
        QCOMPARE(CFullScrControlBox::VolumeIconLevel(volume), level);
        CFullScrControlBox box(m_front);
        box.SetVolume(100 - volume); // another level first, unless both are 5
        box.SetVolume(volume);
        QCOMPARE(box.GetVolumeIconLevel(), level);
        // The icon is drawn at (18, 4) of the volume button.
        const QPoint icon = CFullScrControlBox::ChildRect(1110).topLeft() + QPoint(18 + 7, 4 + 8);
        QCOMPARE(Pixel(box.ComposedPicture(), icon), Colour(kVolumeIcons[level]));
        box.SetVolumeIconLevel(6); // not a level: ignored
        QCOMPARE(box.GetVolumeIconLevel(), level);
    }

    void balloonTexts()
    {
        CFullScrControlBox box(m_front);
        QCOMPARE(box.Button(1111)->BalloonText(), LangText(QStringLiteral("IDS_STRING_K_081")));
        QCOMPARE(box.Button(1110)->BalloonText(), LangText(QStringLiteral("IDS_STRING_K_057")));
        QVERIFY(box.Button(1100)->BalloonText().isEmpty());
        QVERIFY(SelectLanguage(QStringLiteral("korean")));
        box.ReloadTexts();
        QCOMPARE(box.Button(1303)->BalloonText(), LangText(QStringLiteral("IDS_STRING_K_052")));
        QVERIFY(SelectLanguage(QStringLiteral("english")));
        box.ReloadTexts();
        QCOMPARE(box.Button(1303)->BalloonText(), QStringLiteral("Toggle Front / Rear "));
    }
};

QTEST_MAIN(TestFullScreen)
#include "tst_fullscreen.moc"
