// Scroll bars and sliders: thumb and value computations, the messages they
// send while clicked and dragged (driven through the window system's event
// path with QTest), disabled state, and where the thumb is painted.
#include "platform/Platform.h"
#include "skin/RButton.h"
#include "skin/RScrollBar.h"
#include "skin/SkinBalloonTip.h"
#include "skin/TBalloon.h"
#include "skin/SkinConstants.h"
#include "skin/SkinImage.h"
#include "skin/SkinSlider.h"
#include "skin/TSliderCtrl.h"
#include "support/TraceCapture.h"

#include <QSignalSpy>
#include <QTemporaryDir>
#include <QWheelEvent>
#include <QtTest>

#include <memory>

using namespace SkinConst;

namespace {
const QRgb kTrack = qRgb(30, 30, 30);
const QRgb kThumb[3] = {qRgb(200, 0, 0), qRgb(0, 200, 0), qRgb(0, 0, 200)}; // normal, over, press
const QRgb kArrow[4] = {qRgb(100, 0, 0), qRgb(0, 100, 0), qRgb(0, 0, 100), qRgb(90, 90, 90)};
const QRgb kFill = qRgb(250, 250, 0);
const QRgb kMarker = qRgb(0, 0, 0);
const QRgb kBorder = qRgba(255, 255, 255, 0);

QImage Solid(QSize size, QRgb colour)
{
    QImage img(size, QImage::Format_ARGB32);
    img.fill(colour);
    return img;
}

// A picture of `content` inside a one-pixel border with one marker at
// `marker` (border coordinates).
QImage Framed(QSize content, QRgb colour, QPoint marker)
{
    QImage img(content + QSize(2, 2), QImage::Format_ARGB32);
    img.fill(kBorder);
    for (int y = 1; y <= content.height(); ++y)
        for (int x = 1; x <= content.width(); ++x)
            img.setPixel(x, y, colour);
    img.setPixel(marker, kMarker);
    return img;
}

// Collects the messages a control emits, in order.
struct Message {
    unsigned message;
    quintptr wParam;
    qintptr lParam;
};

class CMessageLog : public QObject
{
public:
    QList<Message> messages;
    template <class T> void Watch(T* control)
    {
        connect(control, &T::NotifyMessage, this,
                [this](unsigned m, quintptr w, qintptr l) { messages.append({m, w, l}); });
    }
};

// Records wheel events reaching a widget.
class CWheelLog : public QObject
{
public:
    int count = 0;
    QPoint lastPos;

protected:
    bool eventFilter(QObject*, QEvent* e) override
    {
        if (e->type() == QEvent::Wheel) {
            ++count;
            lastPos = static_cast<QWheelEvent*>(e)->position().toPoint();
            e->accept();
            return true;
        }
        return false;
    }
};

QRgb Opaque(QRgb c)
{
    return c | 0xFF000000u;
}
} // namespace

class TestSkinSlider : public QObject
{
    Q_OBJECT

private:
    QTemporaryDir m_dir;
    CRecordingPlatform m_platform;
    QWidget* m_host = nullptr;

    void Save(const char* name, const QImage& img)
    {
        QVERIFY(img.save(m_dir.filePath(QString::fromLatin1(name).toUpper()), "PNG"));
    }
    QWindow* Window() { return m_host->windowHandle(); }

    // A vertical bar of 15 x 226 at (50, 40), or a horizontal one of 226 x 15.
    std::unique_ptr<CSkinScrollBar> MakeBar(bool vertical)
    {
        std::unique_ptr<CSkinScrollBar> bar;
        if (vertical) {
            bar = std::make_unique<CRScrollBar>(m_host);
            bar->setGeometry(50, 40, 15, 226);
        } else {
            bar = std::make_unique<CRScrollBar_Hor>(m_host);
            bar->setGeometry(40, 50, 226, 15);
        }
        bar->SetNotifyWindow(m_host);
        bar->show();
        return bar;
    }
    // A point of the bar, given along and across it, in the host's coordinates.
    static QPoint BarPoint(CSkinScrollBar* bar, bool vertical, int along, int across = 7)
    {
        return bar->mapTo(bar->parentWidget(), vertical ? QPoint(across, along) : QPoint(along, across));
    }
    static void ConfigureSlider(CSkinSlider* slider)
    {
        slider->SetPictures("hp.png", "ho.png", "hn.png", "track.png", "fill.png");
        slider->SetSliderId(1200);
    }

private slots:
    void initTestCase()
    {
        QVERIFY(m_dir.isValid());
        CPlatform::Install(&m_platform);
        CSkinImage::GetInstance()->SetLibraryRoot(m_dir.path() + QLatin1Char('/'));
        // Scroll bar pictures: a track with one stretch row (column), 13 x 13
        // arrows by state, and thumbs whose content is 11 x 16 (16 x 11) with
        // the stretch marker beside content row (column) 7.
        Save("scroll_bg.9.png", Framed(QSize(15, 24), kTrack, QPoint(0, 12)));
        Save("scroll_bg_hor.9.png", Framed(QSize(24, 15), kTrack, QPoint(12, 0)));
        for (int s = 0; s < 4; ++s) {
            for (const char* const* set : {kScrollUpPictures, kScrollDownPictures, kScrollLeftPictures, kScrollRightPictures})
                Save(set[s], Solid(QSize(13, 13), kArrow[s]));
        }
        for (int s = 0; s < 3; ++s) {
            Save(kScrollThumbPictures[s], Framed(QSize(11, 16), kThumb[s], QPoint(0, 8)));
            Save(kScrollThumbPicturesHor[s], Framed(QSize(16, 11), kThumb[s], QPoint(8, 0)));
        }
        // Slider pictures: 10 x 10 handles (a margin of 5), plain track and fill.
        Save("hn.png", Solid(QSize(10, 10), kThumb[0]));
        Save("ho.png", Solid(QSize(10, 10), kThumb[1]));
        Save("hp.png", Solid(QSize(10, 10), kThumb[2]));
        Save("track.png", Solid(QSize(400, 400), kTrack));
        Save("fill.png", Solid(QSize(400, 400), kFill));

        // The balloon's picture: stretch markers in the middle, content box
        // over the whole content.
        QImage info = Framed(QSize(32, 27), qRgb(240, 240, 240), QPoint(16, 0));
        info.setPixel(0, 14, kMarker);
        for (int y = 1; y <= 27; ++y)
            info.setPixel(33, y, kMarker);
        for (int x = 1; x <= 32; ++x)
            info.setPixel(x, 28, kMarker);
        Save(kBalloonPicture, info);

        m_host = new QWidget;
        m_host->resize(400, 320);
        m_host->show();
        QVERIFY(QTest::qWaitForWindowExposed(m_host));
    }
    void cleanupTestCase()
    {
        delete m_host;
        CSkinImage::DestroyInstance();
        CPlatform::Install(nullptr);
    }
    void init()
    {
        m_platform.Clear();
        QTest::mouseMove(Window(), QPoint(395, 315)); // park the pointer away from every control
    }
    void cleanup()
    {
        // Every picture the controls ask for exists: no failure was reported.
        QVERIFY(m_platform.Calls().isEmpty());
    }

    // ---- Scroll bar computations --------------------------------------------

    void thumbSpan_data()
    {
        QTest::addColumn<int>("length");
        QTest::addColumn<int>("content");
        QTest::addColumn<int>("view");
        QTest::addColumn<int>("percent");
        QTest::addColumn<int>("start");
        QTest::addColumn<int>("end");
        QTest::newRow("middle") << 226 << 2000 << 200 << 50 << 103 << 123;
        QTest::newRow("top") << 226 << 2000 << 200 << 0 << 13 << 33;
        QTest::newRow("bottom") << 226 << 2000 << 200 << 100 << 193 << 213;
        QTest::newRow("beyond the end is pulled back") << 226 << 2000 << 200 << 150 << 193 << 213;
        QTest::newRow("integer thumb length") << 226 << 3000 << 200 << 0 << 13 << 26;
        QTest::newRow("nothing to scroll") << 226 << 1 << 1 << 0 << 13 << 213;
        QTest::newRow("content 0 fills the track") << 226 << 0 << 200 << 40 << 13 << 213;
        QTest::newRow("large sizes do not overflow") << 1026 << 2000000000 << 1000000000 << 100 << 513 << 1013;
    }
    void thumbSpan()
    {
        QFETCH(int, length);
        QFETCH(int, content);
        QFETCH(int, view);
        QFETCH(int, percent);
        QFETCH(int, start);
        QFETCH(int, end);
        const auto span = CSkinScrollBar::ThumbSpan(length, content, view, percent);
        QCOMPARE(span.first, start);
        QCOMPARE(span.second, end);
    }

    void percentAt_data()
    {
        QTest::addColumn<int>("length");
        QTest::addColumn<int>("thumb");
        QTest::addColumn<int>("start");
        QTest::addColumn<int>("percent");
        QTest::newRow("top") << 226 << 20 << 13 << 0;
        QTest::newRow("middle") << 226 << 20 << 103 << 50;
        QTest::newRow("bottom") << 226 << 20 << 193 << 100;
        QTest::newRow("truncated") << 226 << 20 << 14 << 0;
        QTest::newRow("thumb fills the track") << 226 << 200 << 13 << 0;
        QTest::newRow("thumb longer than the track") << 226 << 300 << 13 << 0;
    }
    void percentAt()
    {
        QFETCH(int, length);
        QFETCH(int, thumb);
        QFETCH(int, start);
        QFETCH(int, percent);
        QCOMPARE(CSkinScrollBar::PercentAt(length, thumb, start), percent);
    }

    // ---- Scroll bar painting and arrows ---------------------------------------

    void thumbPainted_data()
    {
        QTest::addColumn<bool>("vertical");
        QTest::addColumn<int>("percent");
        QTest::addColumn<int>("start");
        for (bool vertical : {true, false}) {
            const char* o = vertical ? "vertical" : "horizontal";
            QTest::addRow("%s 0", o) << vertical << 0 << 13;
            QTest::addRow("%s 50", o) << vertical << 50 << 103;
            QTest::addRow("%s 100", o) << vertical << 100 << 193;
        }
    }
    void thumbPainted()
    {
        QFETCH(bool, vertical);
        QFETCH(int, percent);
        QFETCH(int, start);
        auto bar = MakeBar(vertical);
        bar->SetInfo(2000, 200, percent);
        const QImage img = bar->grab().toImage();
        auto at = [&](int along, int across = 7) {
            return Opaque(vertical ? img.pixel(across, along) : img.pixel(along, across));
        };
        // The 20-pixel thumb: top slice, stretched middle and bottom slice.
        QCOMPARE(at(start), kThumb[0]);
        QCOMPARE(at(start + 10), kThumb[0]);
        QCOMPARE(at(start + 19), kThumb[0]);
        // The arrows border the track's ends.
        QCOMPARE(at(start - 1), start > 13 ? kTrack : kArrow[0]);
        QCOMPARE(at(start + 20), start + 20 < 213 ? kTrack : kArrow[0]);
        // Across the bar it covers 2..12.
        QCOMPARE(at(start + 5, 2), kThumb[0]);
        QCOMPARE(at(start + 5, 12), kThumb[0]);
        QCOMPARE(at(start + 5, 13), kTrack);
        QVERIFY(bar->NearButton()->isEnabled());
        QVERIFY(bar->FarButton()->isEnabled());
    }

    void nothingToScroll()
    {
        auto bar = MakeBar(true);
        bar->SetInfo(1, 1, 0);
        const QImage img = bar->grab().toImage();
        for (int y = 13; y < 213; y += 20)
            QCOMPARE(Opaque(img.pixel(7, y)), kTrack);
        QVERIFY(!bar->NearButton()->isEnabled());
        QVERIFY(!bar->FarButton()->isEnabled());
        QCOMPARE(bar->NearButton()->GetState(), int(CSkinButton::StateDisabled));
        // Scrollable again: the arrows come back.
        bar->SetInfo(2000, 200, 0);
        QVERIFY(bar->NearButton()->isEnabled());
        QCOMPARE(bar->FarButton()->GetState(), int(CSkinButton::StateNormal));
    }

    void arrowsPlacedAndReport_data()
    {
        QTest::addColumn<bool>("vertical");
        QTest::addColumn<QPoint>("nearAt");
        QTest::addColumn<QPoint>("farAt");
        QTest::addColumn<uint>("nearMessage");
        QTest::addColumn<uint>("farMessage");
        QTest::newRow("vertical") << true << QPoint(1, 0) << QPoint(1, 213) << uint(kMsgScrollUp)
                                  << uint(kMsgScrollDown);
        QTest::newRow("horizontal") << false << QPoint(0, 1) << QPoint(213, 1) << uint(kMsgScrollLeft)
                                    << uint(kMsgScrollRight);
    }
    void arrowsPlacedAndReport()
    {
        QFETCH(bool, vertical);
        QFETCH(QPoint, nearAt);
        QFETCH(QPoint, farAt);
        QFETCH(uint, nearMessage);
        QFETCH(uint, farMessage);
        auto bar = MakeBar(vertical);
        bar->SetInfo(2000, 200, 0);
        QCOMPARE(bar->NearButton()->geometry(), QRect(nearAt, QSize(13, 13)));
        QCOMPARE(bar->FarButton()->geometry(), QRect(farAt, QSize(13, 13)));
        QCOMPARE(bar->NearButton()->ControlId(), vertical ? kScrollUpId : kScrollLeftId);
        QCOMPARE(bar->FarButton()->ControlId(), vertical ? kScrollDownId : kScrollRightId);
        CMessageLog log;
        log.Watch(bar.get());
        for (CRButton* arrow : {bar->NearButton(), bar->FarButton()}) {
            const QPoint p = arrow->mapTo(m_host, QPoint(6, 6));
            QTest::mouseMove(Window(), p);
            QTest::mouseClick(Window(), Qt::LeftButton, {}, p);
        }
        QTRY_COMPARE(log.messages.size(), 2);
        QCOMPARE(log.messages[0].message, nearMessage);
        QCOMPARE(log.messages[1].message, farMessage);
        QCOMPARE(log.messages[0].wParam, quintptr(0));
        QCOMPARE(log.messages[0].lParam, qintptr(0));
        // The far arrow follows the bar's end when it is resized.
        if (vertical)
            bar->resize(15, 300);
        else
            bar->resize(300, 15);
        QCOMPARE(bar->FarButton()->geometry().topLeft(), vertical ? QPoint(1, 287) : QPoint(287, 1));
        // Without a notify window nothing is reported.
        bar->SetNotifyWindow(nullptr);
        const QPoint p = bar->NearButton()->mapTo(m_host, QPoint(6, 6));
        QTest::mouseMove(Window(), p);
        QTest::mouseClick(Window(), Qt::LeftButton, {}, p);
        QTest::qWait(20);
        QCOMPARE(log.messages.size(), 2);
    }

    // ---- Scroll bar thumb drag -----------------------------------------------

    void thumbDrag_data()
    {
        QTest::addColumn<bool>("vertical");
        QTest::addColumn<uint>("message");
        QTest::newRow("vertical") << true << uint(kMsgScrollPercent);
        QTest::newRow("horizontal") << false << uint(kMsgScrollPercentHor);
    }
    void thumbDrag()
    {
        QFETCH(bool, vertical);
        QFETCH(uint, message);
        auto bar = MakeBar(vertical);
        bar->SetInfo(2000, 200, 0); // thumb 13..33
        CMessageLog log;
        log.Watch(bar.get());
        // A press on the track outside the thumb does nothing.
        QTest::mouseMove(Window(), BarPoint(bar.get(), vertical, 100));
        QTest::mouseClick(Window(), Qt::LeftButton, {}, BarPoint(bar.get(), vertical, 100));
        QVERIFY(!bar->IsDragging());
        QCOMPARE(bar->GetThumbState(), int(CSkinScrollBar::ThumbNormal));

        QTest::mouseMove(Window(), BarPoint(bar.get(), vertical, 20));
        QCOMPARE(bar->GetThumbState(), int(CSkinScrollBar::ThumbOver));
        QTest::mousePress(Window(), Qt::LeftButton, {}, BarPoint(bar.get(), vertical, 20));
        QCOMPARE(bar->GetThumbState(), int(CSkinScrollBar::ThumbPressed));
        QVERIFY(bar->IsDragging());
        QVERIFY(log.messages.isEmpty());
        // Sent at once (not queued), with the per cent in wParam.
        QTest::mouseMove(Window(), BarPoint(bar.get(), vertical, 110));
        QCOMPARE(log.messages.size(), 1);
        QCOMPARE(log.messages[0].message, message);
        QCOMPARE(log.messages[0].wParam, quintptr(50));
        QCOMPARE(bar->ThumbRect(), vertical ? (SkinRect{2, 103, 13, 123}) : (SkinRect{103, 2, 123, 13}));
        // Movement across the bar only: the same per cent, not sent again.
        QTest::mouseMove(Window(), BarPoint(bar.get(), vertical, 110, 3));
        QCOMPARE(log.messages.size(), 1);
        // Far past the end (outside the bar): the thumb stops at the end, 100.
        QTest::mouseMove(Window(), BarPoint(bar.get(), vertical, 260, 40));
        QCOMPARE(log.messages.size(), 2);
        QCOMPARE(log.messages[1].wParam, quintptr(100));
        QCOMPARE(vertical ? bar->ThumbRect().bottom : bar->ThumbRect().right, 213);
        // Far before the start: 0.
        QTest::mouseMove(Window(), BarPoint(bar.get(), vertical, -30, 40));
        QCOMPARE(log.messages.size(), 3);
        QCOMPARE(log.messages[2].wParam, quintptr(0));
        QCOMPARE(vertical ? bar->ThumbRect().top : bar->ThumbRect().left, 13);
        // The pressed thumb is painted with the pressed picture.
        const QImage img = bar->grab().toImage();
        QCOMPARE(Opaque(vertical ? img.pixel(7, 20) : img.pixel(20, 7)), kThumb[2]);
        QTest::mouseRelease(Window(), Qt::LeftButton, {}, BarPoint(bar.get(), vertical, -30, 40));
        QVERIFY(!bar->IsDragging());
        QVERIFY(bar->GetThumbState() != int(CSkinScrollBar::ThumbPressed));
        // Moves after the release report nothing.
        QTest::mouseMove(Window(), BarPoint(bar.get(), vertical, 150));
        QCOMPARE(log.messages.size(), 3);
    }

    void secondDragReportsTheSameEnd()
    {
        // The owner moves the content between two drags (arrow steps): a drag
        // to the end reports 100 again, whatever was reported last.
        auto bar = MakeBar(true);
        auto other = MakeBar(true);
        other->move(200, 40);
        CMessageLog log;
        log.Watch(bar.get());
        auto dragToEnd = [&](CSkinScrollBar* b, int from) {
            QTest::mouseMove(Window(), BarPoint(b, true, from));
            QTest::mousePress(Window(), Qt::LeftButton, {}, BarPoint(b, true, from));
            QTest::mouseMove(Window(), BarPoint(b, true, 260, 7));
            QTest::mouseRelease(Window(), Qt::LeftButton, {}, BarPoint(b, true, 260, 7));
        };
        bar->SetInfo(2000, 200, 0);
        dragToEnd(bar.get(), 20);
        QCOMPARE(log.messages.size(), 1);
        QCOMPARE(log.messages[0].wParam, quintptr(100));
        bar->SetInfo(2000, 200, 90); // three arrow steps up
        dragToEnd(bar.get(), bar->ThumbRect().top + 5);
        QCOMPARE(log.messages.size(), 2);
        QCOMPARE(log.messages[1].wParam, quintptr(100));
        // Another bar's drag to the same per cent is reported as well.
        CMessageLog otherLog;
        otherLog.Watch(other.get());
        other->SetInfo(2000, 200, 0);
        dragToEnd(other.get(), 20);
        QCOMPARE(otherLog.messages.size(), 1);
        QCOMPARE(otherLog.messages[0].wParam, quintptr(100));
    }

    void fullLengthThumbDrag()
    {
        // A thumb as long as the track has nowhere to go: moves report nothing
        // (no division by zero).
        auto bar = MakeBar(true);
        bar->SetInfo(200, 200, 0);
        CMessageLog log;
        log.Watch(bar.get());
        QTest::mouseMove(Window(), BarPoint(bar.get(), true, 100));
        QTest::mousePress(Window(), Qt::LeftButton, {}, BarPoint(bar.get(), true, 100));
        QVERIFY(bar->IsDragging());
        QTest::mouseMove(Window(), BarPoint(bar.get(), true, 100, 3));
        QTest::mouseMove(Window(), BarPoint(bar.get(), true, 150, 3));
        QTest::mouseRelease(Window(), Qt::LeftButton, {}, BarPoint(bar.get(), true, 150, 3));
        QVERIFY(log.messages.isEmpty());
        QCOMPARE(bar->ThumbRect(), (SkinRect{2, 13, 13, 213}));
    }

    void disabledBarIgnoresTheMouse()
    {
        auto bar = MakeBar(true);
        bar->SetInfo(2000, 200, 0);
        bar->setEnabled(false);
        CMessageLog log;
        log.Watch(bar.get());
        QTest::mouseMove(Window(), BarPoint(bar.get(), true, 20));
        QTest::mousePress(Window(), Qt::LeftButton, {}, BarPoint(bar.get(), true, 20));
        QTest::mouseMove(Window(), BarPoint(bar.get(), true, 110));
        QTest::mouseRelease(Window(), Qt::LeftButton, {}, BarPoint(bar.get(), true, 110));
        const QPoint arrow = bar->NearButton()->mapTo(m_host, QPoint(6, 6));
        QTest::mouseMove(Window(), arrow);
        QTest::mouseClick(Window(), Qt::LeftButton, {}, arrow);
        QTest::qWait(20);
        QVERIFY(!bar->IsDragging());
        QCOMPARE(bar->ThumbRect().top, 13);
        QVERIFY(log.messages.isEmpty());
        // The arrows show their disabled pictures.
        QCOMPARE(Opaque(bar->NearButton()->grab().toImage().pixel(6, 6)), kArrow[3]);
    }

    void toolWindowBarTracesActivation()
    {
        // Shown as a tool window of its own (the zoomed picture's bars), the
        // bar traces its activation; as a child it does not.
        CTraceCapture traces;
        CRScrollBar bar(m_host, Qt::Tool);
        bar.setGeometry(500, 100, 15, 226);
        bar.show();
        bar.activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(&bar));
        QTRY_VERIFY(traces.Contains(QString::fromLatin1(kTraceScrollActive)));
        m_host->activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(m_host));
        QTRY_VERIFY(traces.Contains(QString::fromLatin1(kTraceScrollInactive)));
        traces.Clear();
        auto child = MakeBar(true);
        bar.activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(&bar));
        m_host->activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(m_host));
        QTRY_COMPARE(traces.LinesStartingWith(QStringLiteral("CRScrollBar")).size(), 2);
        QTest::qWait(20);
        QCOMPARE(traces.Lines(), QStringList({QString::fromLatin1(kTraceScrollActive),
                                              QString::fromLatin1(kTraceScrollInactive)})); // the tool window's only
    }

    void wheelGoesToTheParent()
    {
        auto bar = MakeBar(true);
        bar->SetInfo(2000, 200, 0);
        auto slider = std::make_unique<CRSliderCtrl>(m_host);
        slider->setGeometry(50, 280, 110, 10);
        ConfigureSlider(slider.get());
        slider->show();
        // Left unaccepted, a wheel turn from the window system goes on to the
        // parent.
        QWheelEvent turn(QPointF(7, 100), QPointF(), QPoint(), QPoint(0, 120), Qt::NoButton, Qt::NoModifier,
                         Qt::NoScrollPhase, false);
        QApplication::sendEvent(bar.get(), &turn);
        QVERIFY(!turn.isAccepted());
        QWheelEvent turn2(QPointF(5, 5), QPointF(), QPoint(), QPoint(0, -120), Qt::NoButton, Qt::NoModifier,
                          Qt::NoScrollPhase, false);
        QApplication::sendEvent(slider.get(), &turn2);
        QVERIFY(!turn2.isAccepted());
        QCOMPARE(slider->GetValue(), 0.0f);
    }

    // ---- Slider computations -------------------------------------------------

    void clickValue_data()
    {
        QTest::addColumn<int>("pos");
        QTest::addColumn<int>("margin");
        QTest::addColumn<int>("track");
        QTest::addColumn<float>("maximum");
        QTest::addColumn<float>("value");
        QTest::newRow("start of track") << 5 << 5 << 100 << 100.0f << 1.0f;
        QTest::newRow("middle") << 54 << 5 << 100 << 100.0f << 50.0f;
        QTest::newRow("before the track (clamped later)") << 0 << 5 << 100 << 100.0f << -4.0f;
        QTest::newRow("past the track (clamped later)") << 109 << 5 << 100 << 100.0f << 105.0f;
        QTest::newRow("maximum 6") << 49 << 0 << 100 << 6.0f << 3.0f;
        QTest::newRow("no track") << 10 << 5 << 0 << 100.0f << 0.0f;
        QTest::newRow("range 0") << 50 << 5 << 100 << 0.0f << 0.0f;
    }
    void clickValue()
    {
        QFETCH(int, pos);
        QFETCH(int, margin);
        QFETCH(int, track);
        QFETCH(float, maximum);
        QFETCH(float, value);
        QCOMPARE(CSkinSlider::ClickValue(pos, margin, track, maximum), value);
    }

    void reportedValue_data()
    {
        QTest::addColumn<float>("value");
        QTest::addColumn<float>("maximum");
        QTest::addColumn<bool>("horizontal");
        QTest::addColumn<int>("reported");
        QTest::newRow("rounds half up") << 2.5f << 6.0f << true << 3;
        QTest::newRow("rounds down") << 2.49f << 6.0f << true << 2;
        QTest::newRow("max 6 bottom") << 0.0f << 6.0f << true << 0;
        QTest::newRow("max 6 top") << 6.0f << 6.0f << true << 6;
        QTest::newRow("vertical top reports maximum") << 0.0f << 100.0f << false << 100;
        QTest::newRow("vertical bottom reports 0") << 100.0f << 100.0f << false << 0;
        QTest::newRow("vertical volume 30") << 70.0f << 100.0f << false << 30;
        QTest::newRow("vertical rounds the value first") << 69.6f << 100.0f << false << 30;
    }
    void reportedValue()
    {
        QFETCH(float, value);
        QFETCH(float, maximum);
        QFETCH(bool, horizontal);
        QFETCH(int, reported);
        QCOMPARE(CSkinSlider::ReportedValue(value, maximum, horizontal), reported);
    }

    void filledLength_data()
    {
        QTest::addColumn<float>("value");
        QTest::addColumn<int>("track");
        QTest::addColumn<float>("maximum");
        QTest::addColumn<int>("filled");
        QTest::newRow("empty") << 0.0f << 643 << 100.0f << 0;
        QTest::newRow("full") << 100.0f << 643 << 100.0f << 643;
        QTest::newRow("rounded value") << 49.5f << 643 << 100.0f << 321;
        QTest::newRow("speed index 3 of 6") << 3.0f << 65 << 6.0f << 32;
        QTest::newRow("range 0") << 0.0f << 643 << 0.0f << 0;
        QTest::newRow("no track") << 50.0f << -4 << 100.0f << 0;
    }
    void filledLength()
    {
        QFETCH(float, value);
        QFETCH(int, track);
        QFETCH(float, maximum);
        QFETCH(int, filled);
        QCOMPARE(CSkinSlider::FilledLength(value, track, maximum), filled);
    }

    void valueClampedToRange()
    {
        CRSliderCtrl slider(m_host);
        slider.resize(110, 10);
        ConfigureSlider(&slider);
        QCOMPARE(slider.GetMaximum(), 100.0f);
        slider.SetValue(150.0f);
        QCOMPARE(slider.GetValue(), 100.0f);
        slider.SetValue(-3.0f);
        QCOMPARE(slider.GetValue(), 0.0f);
        slider.SetValue(80.0f);
        slider.SetRange(6.0f); // a value beyond the new range is pulled in
        QCOMPARE(slider.GetValue(), 6.0f);
        slider.SetRange(0.0f); // one position: nothing to fill, nothing to divide by
        QCOMPARE(slider.GetValue(), 0.0f);
        const QImage img = slider.ComposedImage();
        QCOMPARE(Opaque(img.pixel(5, 5)), kThumb[0]);
        QCOMPARE(slider.ThumbRect(), (SkinRect{0, 0, 10, 10}));
    }

    // ---- Slider mouse --------------------------------------------------------

    void clickOnTrack_data()
    {
        QTest::addColumn<bool>("layered");
        QTest::newRow("CRSliderCtrl sends") << false;
        QTest::newRow("CTSliderCtrl posts") << true;
    }
    void clickOnTrack()
    {
        QFETCH(bool, layered);
        std::unique_ptr<CSkinSlider> slider;
        QWindow* window = Window();
        QPoint origin(50, 280);
        if (layered) {
            slider = std::make_unique<CTSliderCtrl>(m_host);
            slider->setGeometry(100, 100, 110, 10);
            origin = QPoint();
        } else {
            slider = std::make_unique<CRSliderCtrl>(m_host);
            slider->setGeometry(QRect(origin, QSize(110, 10)));
        }
        ConfigureSlider(slider.get());
        slider->show();
        if (layered) {
            QVERIFY(QTest::qWaitForWindowExposed(slider.get()));
            window = slider->windowHandle();
        }
        CMessageLog log;
        log.Watch(slider.get());
        const QPoint at = origin + QPoint(54, 5);
        QTest::mouseMove(window, at);
        QTest::mousePress(window, Qt::LeftButton, {}, at);
        QCOMPARE(slider->GetValue(), 50.0f);
        QTRY_COMPARE(log.messages.size(), 1);
        QCOMPARE(log.messages[0].message, kMsgSliderValue);
        QCOMPARE(log.messages[0].wParam, quintptr(1200));
        QCOMPARE(log.messages[0].lParam, qintptr(50));
        QVERIFY(!slider->IsDragging());
        // Moves before the release change nothing (the press was not on the handle).
        QTest::mouseMove(window, at + QPoint(20, 0));
        QCOMPARE(slider->GetValue(), 50.0f);
        // The release sends 0x591 once, at once.
        QTest::mouseRelease(window, Qt::LeftButton, {}, at + QPoint(20, 0));
        QCOMPARE(log.messages.size(), 2);
        QCOMPARE(log.messages[1].message, kMsgSliderReleased);
        QCOMPARE(log.messages[1].wParam, quintptr(1200));
        QCOMPARE(log.messages[1].lParam, qintptr(0));
        QTest::qWait(20);
        QCOMPARE(log.messages.size(), 2);
        // Clicks on the track's ends are clamped to the range.
        QTest::mouseClick(window, Qt::LeftButton, {}, origin + QPoint(109, 5));
        QCOMPARE(slider->GetValue(), 100.0f);
        QTest::mouseClick(window, Qt::LeftButton, {}, origin + QPoint(0, 5));
        QCOMPARE(slider->GetValue(), 0.0f);
        QTRY_COMPARE(log.messages.size(), 6);
        QCOMPARE(log.messages[2].lParam, qintptr(100));
        QCOMPARE(log.messages[4].lParam, qintptr(0));
    }

    void clickSentOrPosted_data()
    {
        QTest::addColumn<bool>("layered");
        QTest::newRow("CRSliderCtrl sends") << false;
        QTest::newRow("CTSliderCtrl posts") << true;
    }
    void clickSentOrPosted()
    {
        // A click on the track is reported before the press returns by the
        // child slider and through the event loop by the layered one.
        QFETCH(bool, layered);
        std::unique_ptr<CSkinSlider> slider;
        if (layered)
            slider = std::make_unique<CTSliderCtrl>(m_host);
        else
            slider = std::make_unique<CRSliderCtrl>(m_host);
        slider->setGeometry(50, 280, 110, 10);
        ConfigureSlider(slider.get());
        CMessageLog log;
        log.Watch(slider.get());
        QMouseEvent press(QEvent::MouseButtonPress, QPointF(54, 5), QPointF(54, 5), Qt::LeftButton, Qt::LeftButton,
                          Qt::NoModifier);
        QApplication::sendEvent(slider.get(), &press);
        QCOMPARE(log.messages.size(), layered ? 0 : 1);
        QTRY_COMPARE(log.messages.size(), 1);
        QCOMPARE(log.messages[0].lParam, qintptr(50));
        QMouseEvent release(QEvent::MouseButtonRelease, QPointF(54, 5), QPointF(54, 5), Qt::LeftButton,
                            Qt::NoButton, Qt::NoModifier);
        QApplication::sendEvent(slider.get(), &release);
        QCOMPARE(log.messages.size(), 2); // the release is always sent
        QCOMPARE(log.messages[1].message, kMsgSliderReleased);
    }

    void dragHandle()
    {
        auto slider = std::make_unique<CRSliderCtrl>(m_host);
        slider->setGeometry(50, 280, 110, 10);
        ConfigureSlider(slider.get());
        slider->SetValue(20.0f); // handle over 20..30
        slider->show();
        QCOMPARE(slider->Margin(), 5);
        slider->grab();
        QCOMPARE(slider->ThumbRect(), (SkinRect{20, 0, 30, 10}));
        CMessageLog log;
        log.Watch(slider.get());
        const QPoint o(50, 280);
        QTest::mouseMove(Window(), o + QPoint(25, 5));
        QCOMPARE(slider->GetThumbState(), int(CSkinSlider::ThumbOver));
        QTest::mousePress(Window(), Qt::LeftButton, {}, o + QPoint(25, 5));
        QVERIFY(slider->IsDragging());
        QCOMPARE(slider->GetThumbState(), int(CSkinSlider::ThumbPressed));
        QCOMPARE(slider->GetValue(), 20.0f); // a press on the handle reports nothing
        QTest::qWait(10);
        QVERIFY(log.messages.isEmpty());
        QTest::mouseMove(Window(), o + QPoint(45, 5));
        QCOMPARE(slider->GetValue(), 40.0f);
        // Past the end (outside the slider): clamped to the maximum.
        QTest::mouseMove(Window(), o + QPoint(300, 30));
        QCOMPARE(slider->GetValue(), 100.0f);
        // Back by 10 pixels: the value follows the pointer's movement.
        QTest::mouseMove(Window(), o + QPoint(290, 30));
        QCOMPARE(slider->GetValue(), 90.0f);
        // Drag moves are posted.
        QTRY_COMPARE(log.messages.size(), 3);
        QCOMPARE(log.messages[0].lParam, qintptr(40));
        QCOMPARE(log.messages[1].lParam, qintptr(100));
        QCOMPARE(log.messages[2].lParam, qintptr(90));
        for (const Message& m : log.messages)
            QCOMPARE(m.message, kMsgSliderValue);
        QTest::mouseRelease(Window(), Qt::LeftButton, {}, o + QPoint(290, 30));
        QCOMPARE(log.messages.size(), 4);
        QCOMPARE(log.messages[3].message, kMsgSliderReleased);
        QVERIFY(!slider->IsDragging());
        QCOMPARE(slider->GetThumbState(), int(CSkinSlider::ThumbNormal));
    }

    void verticalSlider()
    {
        auto slider = std::make_unique<CRSliderCtrl>(m_host);
        slider->setGeometry(300, 100, 10, 110);
        slider->SetHorizontal(false);
        ConfigureSlider(slider.get());
        slider->SetValue(70.0f); // a volume of 30
        slider->show();
        QCOMPARE(slider->ReportedValue(), 30);
        slider->grab();
        QCOMPARE(slider->ThumbRect(), (SkinRect{0, 70, 10, 80}));
        CMessageLog log;
        log.Watch(slider.get());
        // The top end is the maximum.
        QTest::mouseMove(Window(), QPoint(305, 100));
        QTest::mouseClick(Window(), Qt::LeftButton, {}, QPoint(305, 100));
        QCOMPARE(slider->GetValue(), 0.0f);
        QCOMPARE(log.messages.size(), 2);
        QCOMPARE(log.messages[0].lParam, qintptr(100));
        // Dragging the handle down lowers the reported value.
        QTest::mouseMove(Window(), QPoint(305, 105));
        QTest::mousePress(Window(), Qt::LeftButton, {}, QPoint(305, 105));
        QTest::mouseMove(Window(), QPoint(305, 130));
        QTest::mouseRelease(Window(), Qt::LeftButton, {}, QPoint(305, 130));
        QCOMPARE(slider->GetValue(), 25.0f);
        QTRY_COMPARE(log.messages.size(), 4);
        QCOMPARE(log.messages[2].lParam, qintptr(75));
    }

    void lockedAndDisabledIgnoreTheMouse_data()
    {
        QTest::addColumn<int>("lockMode");
        QTest::addColumn<bool>("enabled");
        QTest::newRow("lock mode 1") << 1 << true;
        QTest::newRow("lock mode 2") << 2 << true;
        QTest::newRow("disabled") << 0 << false;
    }
    void lockedAndDisabledIgnoreTheMouse()
    {
        QFETCH(int, lockMode);
        QFETCH(bool, enabled);
        auto slider = std::make_unique<CRSliderCtrl>(m_host);
        slider->setGeometry(50, 280, 110, 10);
        ConfigureSlider(slider.get());
        slider->SetValue(20.0f);
        slider->SetLockMode(lockMode);
        slider->setEnabled(enabled);
        slider->show();
        CMessageLog log;
        log.Watch(slider.get());
        const QPoint o(50, 280);
        QTest::mouseMove(Window(), o + QPoint(25, 5));
        QTest::mousePress(Window(), Qt::LeftButton, {}, o + QPoint(25, 5));
        QTest::mouseMove(Window(), o + QPoint(60, 5));
        QTest::mouseRelease(Window(), Qt::LeftButton, {}, o + QPoint(60, 5));
        QTest::mouseClick(Window(), Qt::LeftButton, {}, o + QPoint(80, 5));
        QTest::qWait(20);
        QVERIFY(log.messages.isEmpty());
        QCOMPARE(slider->GetValue(), 20.0f);
        // Lock mode 2 hides the handle; the filled part still shows the value.
        const QImage img = slider->grab().toImage();
        QCOMPARE(Opaque(img.pixel(22, 5)), lockMode == 2 ? kFill : kThumb[0]);
        QCOMPARE(Opaque(img.pixel(10, 5)), kFill);
        QCOMPARE(Opaque(img.pixel(60, 5)), kTrack);
    }

    void handlePainted_data()
    {
        QTest::addColumn<float>("value");
        QTest::addColumn<int>("handleLeft");
        QTest::newRow("0") << 0.0f << 0;
        QTest::newRow("37.4 rounds down") << 37.4f << 37;
        QTest::newRow("50") << 50.0f << 50;
        QTest::newRow("100") << 100.0f << 100;
    }
    void handlePainted()
    {
        QFETCH(float, value);
        QFETCH(int, handleLeft);
        CRSliderCtrl slider(m_host);
        slider.setGeometry(50, 280, 110, 10);
        ConfigureSlider(&slider);
        slider.SetValue(value);
        const QImage img = slider.grab().toImage();
        QCOMPARE(Opaque(img.pixel(handleLeft, 5)), kThumb[0]);
        QCOMPARE(Opaque(img.pixel(handleLeft + 9, 5)), kThumb[0]);
        if (handleLeft > 0) // the filled part runs up to the handle
            QCOMPARE(Opaque(img.pixel(handleLeft - 1, 5)), kFill);
        if (handleLeft + 10 < 110) // the track beyond it
            QCOMPARE(Opaque(img.pixel(handleLeft + 10, 5)), kTrack);
    }

    // ---- CTSliderCtrl balloon and wheel ----------------------------------------

    void balloonFollowsTheHandle()
    {
        CTSliderCtrl slider(m_host);
        slider.setGeometry(100, 150, 75, 11);
        slider.SetPictures("hp.png", "ho.png", "hn.png", "track.png", "fill.png");
        slider.SetSliderId(1202);
        slider.SetRange(6.0f);
        slider.SetBalloonMode(kBalloonSpeed);
        slider.SetValue(3.0f);
        slider.show();
        QVERIFY(QTest::qWaitForWindowExposed(&slider));
        slider.grab();
        const SkinRect handle = slider.ThumbRect(); // T = 65: 3 * 65 / 6 = 32
        QCOMPARE(handle.left, 32);
        QWindow* window = slider.windowHandle();
        QVERIFY(!slider.Balloon() || !slider.Balloon()->isVisible());
        QTest::mouseMove(window, QPoint(handle.left + 3, 5));
        QVERIFY(slider.Balloon() && slider.Balloon()->isVisible());
        CTBalloon* balloon = slider.Balloon();
        QCOMPARE(balloon->Text(), QStringLiteral("x1.0"));
        // Above the handle, a third of its width to the left.
        const QPoint handleTop = slider.mapToGlobal(QPoint(handle.left, handle.top));
        QCOMPARE(balloon->geometry().bottom() + 1, handleTop.y());
        QCOMPARE(balloon->x(), handleTop.x() - balloon->width() / 3);
        // Dragging updates the text with the reported value.
        QTest::mousePress(window, Qt::LeftButton, {}, QPoint(handle.left + 3, 5));
        QTest::mouseMove(window, QPoint(handle.left + 3 + 22, 5)); // +2.03
        QCOMPARE(slider.ReportedValue(), 5);
        QCOMPARE(balloon->Text(), QStringLiteral("x3.0"));
        QVERIFY(balloon->isVisible());
        QTest::mouseRelease(window, Qt::LeftButton, {}, QPoint(handle.left + 3 + 22, 5));
        // Off the handle with no drag: hidden.
        QTest::mouseMove(window, QPoint(2, 5));
        QVERIFY(!balloon->isVisible());
        slider.hide();
    }

    void layeredSliderHandsWheelToOwner()
    {
        CTSliderCtrl slider(m_host);
        slider.setGeometry(100, 150, 75, 11);
        slider.SetPictures("hp.png", "ho.png", "hn.png", "track.png", "fill.png");
        CWheelLog log;
        m_host->installEventFilter(&log);
        const QPointF global = m_host->mapToGlobal(QPointF(30, 60));
        QWheelEvent turn(slider.mapFromGlobal(global), global, QPoint(), QPoint(0, 120), Qt::NoButton, Qt::NoModifier,
                         Qt::NoScrollPhase, false);
        QApplication::sendEvent(&slider, &turn);
        QCOMPARE(log.count, 1);
        QCOMPARE(log.lastPos, QPoint(30, 60)); // in the owner's coordinates
        m_host->removeEventFilter(&log);
    }
};

QTEST_MAIN(TestSkinSlider)
#include "tst_skinslider.moc"
