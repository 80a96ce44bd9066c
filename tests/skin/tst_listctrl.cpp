// The play list: sizes, rows and top index, the scroll bar's messages and
// the wheel rule, both cursors in single and dual play, look-ups by name,
// the pointer (press, double click, right click and the context menu), the
// hint panel by language, what each row looks like, and items added from
// another thread. Pictures come from a synthetic image library whose
// pictures each have a colour of their own.
#include "platform/Platform.h"
#include "skin/SkinBalloonTip.h" // completes the buttons' balloon type
#include "skin/RListCtrl.h"
#include "skin/RScrollBar.h"
#include "skin/SkinConstants.h"
#include "skin/SkinImage.h"
#include "skin/TDropBox.h"
#include "lang/Lang.h"
#include "SkinTestUtil.h"
#include "SyntheticSkin.h"
#include "support/TraceCapture.h"

#include <QScreen>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QWheelEvent>
#include <QtTest>

#include <atomic>
#include <memory>
#include <thread>

using namespace SkinConst;
using namespace SkinTestUtil;

namespace {
QRgb Colour(const char* picture)
{
    return SyntheticSkin::Colour(QString::fromLatin1(picture));
}

QRgb Opaque(QRgb c)
{
    return c | 0xFF000000u;
}

QString ItemName(int i)
{
    return QString::asprintf("REC_%03d_F.AVI", i);
}

} // namespace

class TestListCtrl : public QObject
{
    Q_OBJECT

private:
    QTemporaryDir m_dir;
    CRecordingPlatform m_platform;
    QWidget* m_host = nullptr;

    // A list of 322 x `height` at (10, 10) of the host: rows of 307 and the
    // 15-pixel scroll bar.
    std::unique_ptr<CRListCtrl> MakeList(int height = 200)
    {
        auto list = std::make_unique<CRListCtrl>(m_host);
        list->setGeometry(10, 10, 322, height);
        list->show();
        return list;
    }
    static void Fill(CRListCtrl* list, const QList<int>& roles)
    {
        for (int i = 0; i < roles.size(); ++i)
            list->AddItem(ItemName(i), 0, QString(), qint64(i + 1) * 1048576, roles[i]);
        list->Refresh();
    }
    static QList<int> Singles(int count)
    {
        return QList<int>(count, 0);
    }
    // Puts a cursor on item `index` (through the rows shown), then scrolls to `top`.
    static void SetCursor(CRListCtrl* list, int index, bool playing, int top = 0)
    {
        if (index >= 0) {
            list->SetTopIndex(index);
            if (playing)
                list->SetPlayingByName(ItemName(index));
            else
                list->SetFocusedByName(ItemName(index));
        }
        list->SetTopIndex(top);
    }
    // Every item's marks agree with the cursors, and so do the rows shown.
    static void VerifyMarks(CRListCtrl* list)
    {
        const int playing = list->GetPlayingIndex(), focus = list->GetFocusIndex();
        for (int i = 0; i < list->GetItemCount(); ++i) {
            const ListItem item = list->GetItem(i);
            QCOMPARE(item.nowPlaying, i == playing ? 1 : 0);
            QCOMPARE(item.focused, i == focus ? 1 : 0);
        }
        for (int r = 0; r < list->GetRowCount(); ++r) {
            const CListRow* row = list->GetRow(r);
            const int index = row->ItemIndex();
            if (index < 0)
                continue;
            QCOMPARE(index, list->GetTopIndex() + r);
            QCOMPARE(row->Item().nowPlaying, index == playing ? 1 : 0);
            QCOMPARE(row->Item().focused, index == focus ? 1 : 0);
        }
    }
    QPoint RowPoint(CRListCtrl* list, int row, int x = 100) const
    {
        return list->mapTo(m_host, QPoint(x, row * 20 + 10));
    }
    QWindow* Window() const { return m_host->windowHandle(); }

private slots:
    void initTestCase()
    {
        QVERIFY(m_dir.isValid());
        CPlatform::Install(&m_platform);
        QVERIFY(SyntheticSkin::Write(m_dir.path()));
        CSkinImage::GetInstance()->SetLibraryRoot(m_dir.path() + QLatin1Char('/'));
        QVERIFY(SelectLanguage(QStringLiteral("english")));
        m_host = new QWidget;
        m_host->setGeometry(30, 30, 420, 300);
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
        QTest::mouseMove(Window(), QPoint(415, 295));
    }
    void cleanup()
    {
        QVERIFY(m_platform.Calls().isEmpty()); // every picture was found
    }

    // ---- Items --------------------------------------------------------------------

    void sizeText_data()
    {
        QTest::addColumn<qint64>("bytes");
        QTest::addColumn<QString>("text");
        QTest::newRow("0 bytes") << qint64(0) << "0.00mb";
        QTest::newRow("1.5 MB") << qint64(1572864) << "1.50mb";
        QTest::newRow("just under 1 MB") << qint64(1048575) << "1.00mb";
        QTest::newRow("4 GB - 1") << qint64(4294967295LL) << "4096.00mb";
        QTest::newRow("4 GB") << qint64(4294967296LL) << "4096.00mb";
        QTest::newRow("5 GB (decimal)") << qint64(5000000000LL) << "4768.37mb";
        QTest::newRow("1 TB (decimal), to the hundredth") << qint64(1000000000000LL) << "953674.32mb";
    }
    void sizeText()
    {
        QFETCH(qint64, bytes);
        QFETCH(QString, text);
        QCOMPARE(CRListCtrl::SizeText(bytes), text);
        CRListCtrl list(m_host);
        list.AddItem(QStringLiteral("A.AVI"), 0, QStringLiteral("extra"), bytes, 0);
        QCOMPARE(list.GetItem(0).sizeText, text);
        QCOMPARE(list.GetItem(0).extra, QStringLiteral("extra"));
    }

    // ---- Rows, top index, scroll bar ------------------------------------------------

    void rowsAndTopIndex()
    {
        CTraceCapture traces;
        auto list = MakeList(200);
        QTRY_VERIFY(traces.Contains(QStringLiteral("Kestrav : CRListCtrl::OnSize[200]")));
        QCOMPARE(list->GetRowCount(), 10);
        QCOMPARE(list->ScrollBar()->geometry(), QRect(307, 0, 15, 200));
        Fill(list.get(), Singles(25));
        QVERIFY(!list->ScrollBar()->isHidden());
        QCOMPARE(list->ScrollBar()->ContentSize(), 500);
        QCOMPARE(list->ScrollBar()->ViewSize(), 200);
        QCOMPARE(list->ScrollBar()->Percent(), 0);

        list->SetTopIndex(30); // beyond the end: 15-24 shown
        QCOMPARE(list->GetTopIndex(), 15);
        for (int r = 0; r < 10; ++r) {
            QCOMPARE(list->GetRow(r)->ItemIndex(), 15 + r);
            QCOMPARE(list->GetRow(r)->Item().name, ItemName(15 + r));
        }
        QCOMPARE(list->ScrollBar()->Percent(), 100);
        list->SetTopIndex(3);
        QCOMPARE(list->ScrollBar()->Percent(), 20); // 3 * 100 / 15
        list->SetTopIndex(-4);
        QCOMPARE(list->GetTopIndex(), 0);

        // Fewer items than rows: top 0, the rows below empty, nothing to scroll.
        list->DeleteAllItems();
        Fill(list.get(), Singles(4));
        list->SetTopIndex(2);
        QCOMPARE(list->GetTopIndex(), 0);
        QCOMPARE(list->GetRow(3)->ItemIndex(), 3);
        QCOMPARE(list->GetRow(4)->ItemIndex(), -1);
        QVERIFY(!list->GetRow(4)->ShowsItem());
        QCOMPARE(list->ScrollBar()->ViewSize(), 1);

        // A resize makes the rows again.
        traces.Clear();
        list->resize(322, 170);
        QTRY_VERIFY(traces.Contains(QStringLiteral("Kestrav : CRListCtrl::OnSize[170]")));
        QCOMPARE(list->GetRowCount(), 8);
        QCOMPARE(list->ScrollBar()->geometry(), QRect(307, 0, 15, 170));
    }

    void arrowsAndThumb()
    {
        auto list = MakeList(200);
        Fill(list.get(), Singles(25));
        CRScrollBar* bar = list->ScrollBar();
        QVERIFY(QTest::qWaitForWindowExposed(m_host));
        // Down arrow (button 1262) twice, up arrow (1261) once.
        const QPoint down = bar->mapTo(m_host, QPoint(8, 200 - 6));
        const QPoint up = bar->mapTo(m_host, QPoint(8, 6));
        for (int i = 0; i < 2; ++i) {
            QTest::mouseMove(Window(), down);
            QTest::mouseClick(Window(), Qt::LeftButton, {}, down);
        }
        QTRY_COMPARE(list->GetTopIndex(), 2);
        QTest::mouseMove(Window(), up);
        QTest::mouseClick(Window(), Qt::LeftButton, {}, up);
        QTRY_COMPARE(list->GetTopIndex(), 1);

        // The thumb dragged to the end asks for count - rows + 1, clamped.
        list->SetTopIndex(0);
        const SkinRect thumb = bar->ThumbRect();
        const QPoint grip = bar->mapTo(m_host, QPoint(7, thumb.top + 3));
        QTest::mouseMove(Window(), grip);
        QTest::mousePress(Window(), Qt::LeftButton, {}, grip);
        QTest::mouseMove(Window(), grip + QPoint(0, 250));
        QTest::mouseRelease(Window(), Qt::LeftButton, {}, grip + QPoint(0, 250));
        QCOMPARE(list->GetTopIndex(), 15);
        QCOMPARE(list->GetRow(9)->ItemIndex(), 24);
        // The thumb stays where it was dragged (the bar is not set again).
        QCOMPARE(bar->ThumbRect().bottom, 200 - 13);
    }

    void wheel_data()
    {
        QTest::addColumn<int>("delta");
        QTest::addColumn<int>("top");
        QTest::newRow("+120: up one row") << 120 << 4;
        QTest::newRow("-120: down one row") << -120 << 6;
        QTest::newRow("240: nothing") << 240 << 5;
        QTest::newRow("-240: nothing") << -240 << 5;
        QTest::newRow("60: nothing") << 60 << 5;
    }
    void wheel()
    {
        QFETCH(int, delta);
        QFETCH(int, top);
        auto list = MakeList(200);
        Fill(list.get(), Singles(25));
        list->SetTopIndex(5);
        list->ScrollByWheel(delta);
        QCOMPARE(list->GetTopIndex(), top);
        // Only while the scroll bar shows.
        list->ScrollBar()->hide();
        list->ScrollByWheel(-120);
        QCOMPARE(list->GetTopIndex(), top);
    }

    void wheelTurnsAreLeftToTheParent()
    {
        auto list = MakeList(200);
        Fill(list.get(), Singles(25));
        // Left unaccepted, a wheel turn from the window system goes on to the
        // parent, which passes it to ScrollByWheel.
        QWheelEvent turn(QPointF(50, 50), list->mapToGlobal(QPointF(50, 50)), QPoint(), QPoint(0, -120),
                         Qt::NoButton, Qt::NoModifier, Qt::NoScrollPhase, false);
        QApplication::sendEvent(list.get(), &turn);
        QVERIFY(!turn.isAccepted());
        QCOMPARE(list->GetTopIndex(), 0);
    }

    // ---- Cursors --------------------------------------------------------------------

    void selectNext_data()
    {
        QTest::addColumn<QList<int>>("roles");
        QTest::addColumn<bool>("includeRear");
        QTest::addColumn<int>("playing");
        QTest::addColumn<int>("focus");
        QTest::addColumn<bool>("moved");
        QTest::addColumn<int>("newPlaying");
        QTest::addColumn<int>("newFocus");
        using L = QList<int>;
        QTest::newRow("single play: next") << L{0, 0, 0} << true << 0 << -1 << true << 1 << -1;
        QTest::newRow("single play: a rear partner like any item") << L{1, 2, 0} << true << 0 << -1 << true << 1 << -1;
        QTest::newRow("dual play: steps over the rear partner") << L{1, 2, 0} << false << 0 << -1 << true << 2 << -1;
        QTest::newRow("dual play: from a rear to the next front") << L{1, 2, 1, 2} << false << 1 << -1 << true << 2 << -1;
        QTest::newRow("dual play: partner last wraps to 0") << L{0, 1, 2} << false << 1 << -1 << true << 0 << 0;
        QTest::newRow("single play: partner last is selected") << L{0, 1, 2} << true << 1 << -1 << true << 2 << -1;
        QTest::newRow("wrap at the end") << L{0, 0, 0} << true << 2 << -1 << true << 0 << 0;
        QTest::newRow("wrap moves the focus to 0") << L{0, 0, 0} << true << 2 << 1 << true << 0 << 0;
        QTest::newRow("one item") << L{0} << true << 0 << -1 << false << 0 << -1;
        QTest::newRow("no cursor") << L{0, 0} << true << -1 << -1 << false << -1 << -1;
        QTest::newRow("focus without playing") << L{0, 0, 0} << true << -1 << 1 << true << 2 << 1;
        QTest::newRow("empty list") << L{} << true << -1 << -1 << false << -1 << -1;
    }
    void selectNext()
    {
        QFETCH(QList<int>, roles);
        QFETCH(bool, includeRear);
        QFETCH(int, playing);
        QFETCH(int, focus);
        QFETCH(bool, moved);
        QFETCH(int, newPlaying);
        QFETCH(int, newFocus);
        auto list = MakeList(200);
        Fill(list.get(), roles);
        SetCursor(list.get(), playing, true);
        SetCursor(list.get(), focus, false);
        QSignalSpy commands(list.get(), &CRListCtrl::Command);
        CTraceCapture traces;
        QCOMPARE(list->SelectNext(includeRear), moved);
        QCOMPARE(list->GetPlayingIndex(), newPlaying);
        QCOMPARE(list->GetFocusIndex(), newFocus);
        QCOMPARE(commands.count(), moved ? 1 : 0);
        if (moved)
            QCOMPARE(commands.at(0).at(0).toInt(), 1100);
        VerifyMarks(list.get());
        if (roles.size() > 1 && playing < 0)
            QVERIFY(traces.Contains(focus < 0 ? QStringLiteral("Select Next Item() m_nSelectedItem = -1\n")
                                              : QStringLiteral("Select Next Item() lose focus. re-set select item no.\n")));
    }

    void selectPrev_data()
    {
        QTest::addColumn<QList<int>>("roles");
        QTest::addColumn<bool>("includeRear");
        QTest::addColumn<int>("playing");
        QTest::addColumn<bool>("moved");
        QTest::addColumn<int>("newPlaying");
        using L = QList<int>;
        QTest::newRow("previous") << L{0, 0, 0} << true << 2 << true << 1;
        QTest::newRow("item 0 stays, nothing sent") << L{0, 0, 0} << true << 0 << false << 0;
        QTest::newRow("dual play: to the front partner") << L{1, 2, 1, 2} << false << 2 << true << 0;
        QTest::newRow("single play: the rear partner") << L{1, 2, 1, 2} << true << 2 << true << 1;
        QTest::newRow("nothing playing") << L{0, 0} << true << -1 << false << -1;
        QTest::newRow("a rear with nothing before it stays") << L{2, 0} << false << 1 << false << 1;
    }
    void selectPrev()
    {
        QFETCH(QList<int>, roles);
        QFETCH(bool, includeRear);
        QFETCH(int, playing);
        QFETCH(bool, moved);
        QFETCH(int, newPlaying);
        auto list = MakeList(200);
        Fill(list.get(), roles);
        SetCursor(list.get(), playing, true);
        QSignalSpy commands(list.get(), &CRListCtrl::Command);
        QCOMPARE(list->SelectPrev(includeRear), moved);
        QCOMPARE(list->GetPlayingIndex(), newPlaying);
        QCOMPARE(commands.count(), moved ? 1 : 0);
        VerifyMarks(list.get());
    }

    void playingCursorScrolls()
    {
        auto list = MakeList(200);
        Fill(list.get(), Singles(25));
        SetCursor(list.get(), 9, true, 0); // the last row shown
        QVERIFY(list->SelectNext(true));
        QCOMPARE(list->GetPlayingIndex(), 10);
        QCOMPARE(list->GetTopIndex(), 1); // one row down
        SetCursor(list.get(), 10, true, 10); // the first row shown
        QVERIFY(list->SelectPrev(true));
        QCOMPARE(list->GetPlayingIndex(), 9);
        QCOMPARE(list->GetTopIndex(), 9); // one row up
        SetCursor(list.get(), 24, true, 15);
        QVERIFY(list->SelectNext(true)); // wraps: back to the top
        QCOMPARE(list->GetPlayingIndex(), 0);
        QCOMPARE(list->GetTopIndex(), 0);
        QCOMPARE(list->GetRow(0)->Item().nowPlaying, 1);
        QCOMPARE(list->GetRow(0)->Item().focused, 1);
        VerifyMarks(list.get());
    }

    void focus_data()
    {
        QTest::addColumn<int>("count");
        QTest::addColumn<bool>("next");
        QTest::addColumn<int>("focus");
        QTest::addColumn<int>("top");
        QTest::addColumn<int>("newFocus");
        QTest::addColumn<int>("newTop");
        QTest::newRow("next") << 25 << true << 3 << 0 << 4 << 0;
        QTest::newRow("next, leaving the rows: one row down") << 25 << true << 9 << 0 << 10 << 1;
        QTest::newRow("next wraps to 0") << 25 << true << 24 << 15 << 0 << 0;
        QTest::newRow("prev") << 25 << false << 5 << 0 << 4 << 0;
        QTest::newRow("prev, leaving the rows: one row up") << 25 << false << 5 << 5 << 4 << 4;
        QTest::newRow("prev on 0 wraps to the last") << 25 << false << 0 << 0 << 24 << 15;
        QTest::newRow("next without focus: the first") << 25 << true << -1 << 7 << 0 << 0;
        QTest::newRow("prev without focus: the last") << 25 << false << -1 << 0 << 24 << 15;
        QTest::newRow("one item keeps its focus") << 1 << true << 0 << 0 << 0 << 0;
        QTest::newRow("empty") << 0 << false << -1 << 0 << -1 << 0;
    }
    void focus()
    {
        QFETCH(int, count);
        QFETCH(bool, next);
        QFETCH(int, focus);
        QFETCH(int, top);
        QFETCH(int, newFocus);
        QFETCH(int, newTop);
        auto list = MakeList(200);
        Fill(list.get(), Singles(count));
        SetCursor(list.get(), focus, false, top);
        QSignalSpy commands(list.get(), &CRListCtrl::Command);
        if (next)
            list->FocusNext();
        else
            list->FocusPrev();
        QCOMPARE(list->GetFocusIndex(), newFocus);
        QCOMPARE(list->GetTopIndex(), newTop);
        QCOMPARE(commands.count(), 0); // focus moves send nothing
        VerifyMarks(list.get());
    }

    void playFocused()
    {
        auto list = MakeList(200);
        Fill(list.get(), Singles(6));
        QSignalSpy commands(list.get(), &CRListCtrl::Command);
        list->PlayFocused(); // no focus: nothing
        QCOMPARE(commands.count(), 0);
        QCOMPARE(list->GetPlayingIndex(), -1);
        SetCursor(list.get(), 1, true);
        SetCursor(list.get(), 4, false);
        list->PlayFocused();
        QCOMPARE(list->GetPlayingIndex(), 4);
        QCOMPARE(commands.count(), 1);
        QCOMPARE(commands.at(0).at(0).toInt(), 1100);
        VerifyMarks(list.get());
    }

    void notificationsLeaveTheListFree()
    {
        // A receiver may wait for a thread that adds items: the list holds
        // no lock while it notifies.
        auto list = MakeList(200);
        Fill(list.get(), Singles(3));
        SetCursor(list.get(), 0, true);
        auto added = std::make_shared<std::atomic<bool>>(false);
        CRListCtrl* raw = list.get();
        connect(list.get(), &CRListCtrl::Command, this, [raw, added] {
            std::thread adder([raw, added] {
                raw->AddItem(QStringLiteral("LATE.AVI"), 0, QString(), 1, 0);
                *added = true;
            });
            adder.detach();
            for (int i = 0; i < 500 && !*added; ++i)
                QThread::msleep(2);
        });
        QVERIFY(list->SelectNext(true));
        QVERIFY(*added);
        QCOMPARE(list->GetItemCount(), 4);
    }

    // ---- Names ----------------------------------------------------------------------

    void partner_data()
    {
        QTest::addColumn<QList<int>>("roles");
        QTest::addColumn<int>("playing");
        QTest::addColumn<int>("partner"); // index, -1 for ""
        QTest::addColumn<bool>("rear");
        QTest::addColumn<bool>("single");
        using L = QList<int>;
        QTest::newRow("front: its rear follows") << L{1, 2, 0} << 0 << 1 << false << false;
        QTest::newRow("rear: its front precedes") << L{1, 2, 0} << 1 << 0 << true << false;
        QTest::newRow("single: itself") << L{1, 2, 0} << 2 << 2 << false << true;
        QTest::newRow("rear first in the list: itself") << L{2, 0} << 0 << 0 << true << false;
        QTest::newRow("front last in the list: itself") << L{0, 1} << 1 << 1 << false << false;
        QTest::newRow("front before a front: itself") << L{1, 1, 2} << 0 << 0 << false << false;
        QTest::newRow("nothing playing") << L{0, 0} << -1 << -1 << false << false;
    }
    void partner()
    {
        QFETCH(QList<int>, roles);
        QFETCH(int, playing);
        QFETCH(int, partner);
        QFETCH(bool, rear);
        QFETCH(bool, single);
        auto list = MakeList(200);
        Fill(list.get(), roles);
        SetCursor(list.get(), playing, true);
        QCOMPARE(list->GetPartnerName(), partner < 0 ? QString() : ItemName(partner));
        QCOMPARE(list->GetPlayingName(), playing < 0 ? QString() : ItemName(playing));
        QCOMPARE(list->IsPlayingRear(), rear);
        QCOMPARE(list->IsPlayingSingle(), single);
    }

    void lookUpsByName()
    {
        auto list = MakeList(200);
        Fill(list.get(), Singles(25));
        QCOMPARE(list->GetPlayingName(), QString());
        QCOMPARE(list->GetFocusedName(), QString());
        QCOMPARE(list->FindItem(ItemName(17)), 17);
        QCOMPARE(list->FindItem(ItemName(17).toLower()), -1); // case-sensitive
        QCOMPARE(list->FindItem(QStringLiteral("NONE.AVI")), -1);
        // Only the rows shown are searched when marking by name.
        list->SetPlayingByName(ItemName(17));
        QCOMPARE(list->GetPlayingIndex(), -1);
        list->SetTopIndex(10);
        list->SetPlayingByName(ItemName(17));
        QCOMPARE(list->GetPlayingIndex(), 17);
        list->SetFocusedByName(ItemName(12));
        QCOMPARE(list->GetFocusedName(), ItemName(12));
        VerifyMarks(list.get());
        list->SetPlayingByName(QString()); // clears the cursor
        QCOMPARE(list->GetPlayingIndex(), -1);
        QCOMPARE(list->GetPlayingName(), QString());
        VerifyMarks(list.get());
    }

    void unicodeNames()
    {
        auto list = MakeList(200);
        const QString hangul = QStringLiteral("서울_주행_20240312_F.AVI");
        const QString emoji = QStringLiteral("🚗💨_충격_R.AVI");
        QString longName;
        while (longName.size() < 255)
            longName += QStringLiteral("가a");
        longName.truncate(255);
        const QString combining = QStringLiteral("e\u0301te\u0301_F.AVI");
        const QStringList names{hangul, emoji, longName, combining, QStringLiteral("SHORT.AVI")};
        for (const QString& n : names)
            list->AddItem(n, 0, QString(), 0, 0);
        list->Refresh();
        for (int i = 0; i < names.size(); ++i) {
            QCOMPARE(list->FindItem(names[i]), i);
            QCOMPARE(list->GetItem(i).name, names[i]);
            QCOMPARE(list->GetItem(i).sizeText, QStringLiteral("0.00mb"));
        }
        list->SetPlayingByName(emoji);
        QCOMPARE(list->GetPlayingName(), emoji);
        list->SetFocusedByName(longName);
        QCOMPARE(list->GetFocusedName(), longName);
        const QImage img = list->ComposedImage();
        // The long name stays in its column: the size column past its first
        // pixels looks as in a row with a short name (same size text).
        list->SetFocusedByName(QString());
        const QImage plain = list->ComposedImage();
        QCOMPARE(plain.copy(228, 2 * 20, 307 - 228, 20), plain.copy(228, 4 * 20, 307 - 228, 20));
        QVERIFY(!img.isNull());
    }

    // ---- Pointer ----------------------------------------------------------------------

    void pressFocusesARow()
    {
        auto list = MakeList(200);
        Fill(list.get(), Singles(6));
        QSignalSpy commands(list.get(), &CRListCtrl::Command);
        QTest::mouseMove(Window(), RowPoint(list.get(), 2));
        QTest::mousePress(Window(), Qt::LeftButton, {}, RowPoint(list.get(), 2));
        QCOMPARE(list->GetFocusIndex(), 2);
        QCOMPARE(list->GetRow(2)->PressState(), 2);
        QCOMPARE(list->GetRow(1)->PressState(), 0);
        QTest::mouseRelease(Window(), Qt::LeftButton, {}, RowPoint(list.get(), 2));
        QCOMPARE(list->GetRow(2)->PressState(), 0);
        QCOMPARE(list->GetFocusIndex(), 2);
        // A press below the last item: only the press look; the focus stays.
        QTest::mousePress(Window(), Qt::LeftButton, {}, RowPoint(list.get(), 8));
        QCOMPARE(list->GetRow(8)->PressState(), 2);
        QCOMPARE(list->GetFocusIndex(), 2);
        QTest::mouseRelease(Window(), Qt::LeftButton, {}, RowPoint(list.get(), 8));
        QCOMPARE(commands.count(), 0);
        VerifyMarks(list.get());
    }

    void doubleClickPlays()
    {
        auto list = MakeList(200);
        Fill(list.get(), Singles(6));
        QSignalSpy commands(list.get(), &CRListCtrl::Command);
        QTest::mouseDClick(Window(), Qt::LeftButton, {}, RowPoint(list.get(), 3));
        QCOMPARE(list->GetPlayingIndex(), 3);
        QCOMPARE(commands.count(), 1);
        QCOMPARE(commands.at(0).at(0).toInt(), 1112);
        // Below the last item: nothing.
        QTest::mouseDClick(Window(), Qt::LeftButton, {}, RowPoint(list.get(), 8));
        QCOMPARE(commands.count(), 1);
        QCOMPARE(list->GetPlayingIndex(), 3);
        VerifyMarks(list.get());
    }

    void rightClickOpensTheMenu()
    {
        auto list = MakeList(200);
        Fill(list.get(), Singles(6));
        CTDropBox* menu = list->ContextMenu();
        QCOMPARE(menu->windowTitle(), QStringLiteral("ListContext"));
        QCOMPARE(menu->size(), QSize(256, 76));
        QCOMPARE(menu->Items().size(), size_t(3));
        QCOMPARE(menu->Items()[0].text, QStringLiteral("Play"));
        QCOMPARE(menu->Items()[0].rightText, QStringLiteral("Enter"));
        QCOMPARE(menu->Items()[0].command, 1088);
        QCOMPARE(menu->Items()[1].text, QStringLiteral("Delete"));
        QCOMPARE(menu->Items()[1].rightText, QStringLiteral("Delete"));
        QCOMPARE(menu->Items()[1].command, 1089);
        QCOMPARE(menu->Items()[2].command, 1093); // "Export clip..."
        QVERIFY(menu->Items()[2].itemRect.bottom <= menu->height());
        QCOMPARE(menu->NormalTextColor(), QColor(0, 0, 0));
        QCOMPARE(menu->HoverTextColor(), QColor(255, 255, 255));

        CMessageLog log;
        log.Watch(list.get());
        bool menuShownBefore = true;
        connect(list.get(), &CRListCtrl::NotifyMessage, this, [&] { menuShownBefore = menu->isVisible(); });
        CTraceCapture traces;
        const QPoint at = RowPoint(list.get(), 4, 60);
        QTest::mouseClick(Window(), Qt::RightButton, {}, at);
        QCOMPARE(log.messages.size(), 1);
        QCOMPARE(log.messages.first(), (Message{0x5F5, 0, 0}));
        QVERIFY(!menuShownBefore); // sent before the menu shows
        QVERIFY(menu->isVisible());
        QCOMPARE(menu->pos(), m_host->mapToGlobal(at));
        QCOMPARE(list->GetFocusIndex(), 4);
        QVERIFY(traces.Contains(QStringLiteral("Kestrav : CRListCtrl::OnRButtonUp")));

        // "Delete" posts 1089 to the owner and closes the menu.
        QSignalSpy menuCommands(list.get(), &CRListCtrl::MenuCommand);
        list->SetMenuOwner(m_host);
        const SkinRect entry = menu->Items()[1].itemRect;
        const QPoint centre((entry.left + entry.right) / 2, (entry.top + entry.bottom) / 2);
        QTest::mouseMove(menu->windowHandle(), centre);
        QTest::mouseClick(menu->windowHandle(), Qt::LeftButton, {}, centre);
        QTRY_COMPARE(menuCommands.count(), 1);
        QCOMPARE(menuCommands.at(0).at(0).toInt(), 1089);
        QVERIFY(!menu->isVisible());
        QCOMPARE(log.messages.size(), 1);
    }

    void menuCommandsNeedAnOwner()
    {
        auto list = MakeList(200);
        Fill(list.get(), Singles(3));
        QSignalSpy menuCommands(list.get(), &CRListCtrl::MenuCommand);
        QSignalSpy posted(list->ContextMenu(), &CTDropBox::Command);
        list->ContextMenu()->RelayCommand(1088);
        QTRY_COMPARE(posted.count(), 1);
        QCOMPARE(menuCommands.count(), 0);
    }

    void emptiedWhileTheMenuIsOpen()
    {
        auto list = MakeList(200);
        list->SetMenuOwner(m_host);
        Fill(list.get(), Singles(6));
        QTest::mouseClick(Window(), Qt::RightButton, {}, RowPoint(list.get(), 2));
        CTDropBox* menu = list->ContextMenu();
        QVERIFY(menu->isVisible());
        QCOMPARE(list->GetFocusedName(), ItemName(2));
        list->DeleteAllItems();
        QSignalSpy menuCommands(list.get(), &CRListCtrl::MenuCommand);
        const SkinRect entry = menu->Items()[0].itemRect;
        const QPoint centre((entry.left + entry.right) / 2, (entry.top + entry.bottom) / 2);
        QTest::mouseMove(menu->windowHandle(), centre);
        QTest::mouseClick(menu->windowHandle(), Qt::LeftButton, {}, centre);
        QTRY_COMPARE(menuCommands.count(), 1);
        QCOMPARE(menuCommands.at(0).at(0).toInt(), 1088);
        QCOMPARE(list->GetFocusedName(), QString()); // the owner finds nothing to play
        QCOMPARE(list->GetPlayingName(), QString());
        QVERIFY(!list->ComposedImage().isNull());
    }

    void emptiedWhileTheThumbIsDragged()
    {
        auto list = MakeList(200);
        Fill(list.get(), Singles(40));
        CRScrollBar* bar = list->ScrollBar();
        const QPoint grip = bar->mapTo(m_host, QPoint(7, bar->ThumbRect().top + 2));
        QTest::mouseMove(Window(), grip);
        QTest::mousePress(Window(), Qt::LeftButton, {}, grip);
        QTest::mouseMove(Window(), grip + QPoint(0, 40));
        QVERIFY(list->GetTopIndex() > 0);
        list->DeleteAllItems();
        QCOMPARE(list->GetTopIndex(), 0);
        QCOMPARE(bar->ViewSize(), 1);
        QTest::mouseMove(Window(), grip + QPoint(0, 90));
        QTest::mouseRelease(Window(), Qt::LeftButton, {}, grip + QPoint(0, 90));
        QCOMPARE(list->GetTopIndex(), 0);
        QCOMPARE(list->GetItemCount(), 0);
        Fill(list.get(), Singles(12)); // and it fills again
        QCOMPARE(list->GetRow(9)->ItemIndex(), 9);
    }

    void mouseIgnoredWhenEmpty_data()
    {
        QTest::addColumn<bool>("emptyMode");
        QTest::addColumn<int>("count");
        QTest::newRow("empty mode") << true << 5;
        QTest::newRow("no items") << false << 0;
    }
    void mouseIgnoredWhenEmpty()
    {
        QFETCH(bool, emptyMode);
        QFETCH(int, count);
        auto list = MakeList(200);
        Fill(list.get(), Singles(count));
        list->SetEmptyMode(emptyMode);
        QSignalSpy commands(list.get(), &CRListCtrl::Command);
        QSignalSpy messages(list.get(), &CRListCtrl::NotifyMessage);
        QTest::mousePress(Window(), Qt::LeftButton, {}, RowPoint(list.get(), 1));
        QTest::mouseRelease(Window(), Qt::LeftButton, {}, RowPoint(list.get(), 1));
        QTest::mouseDClick(Window(), Qt::LeftButton, {}, RowPoint(list.get(), 1));
        QTest::mouseClick(Window(), Qt::RightButton, {}, RowPoint(list.get(), 1));
        QCOMPARE(list->GetFocusIndex(), -1);
        QCOMPARE(list->GetPlayingIndex(), -1);
        QCOMPARE(commands.count(), 0);
        QCOMPARE(messages.count(), 0);
        QVERIFY(!list->ContextMenu()->isVisible());
    }

    void contextMenuNearTheScreenEdge()
    {
        // A list at the bottom-right of the screen: the menu stays on screen.
        QWidget corner;
        const QRect area = m_host->screen()->availableGeometry();
        corner.setGeometry(area.right() - 330, area.bottom() - 120, 330, 120);
        corner.show();
        QVERIFY(QTest::qWaitForWindowExposed(&corner));
        CRListCtrl list(&corner);
        list.setGeometry(0, 0, 322, 100);
        list.show();
        Fill(&list, Singles(5));
        const QPoint at = list.mapTo(&corner, QPoint(300, 90));
        QTest::mouseClick(corner.windowHandle(), Qt::RightButton, {}, at);
        QVERIFY(list.ContextMenu()->isVisible());
        QVERIFY(area.contains(list.ContextMenu()->frameGeometry()));
        list.ContextMenu()->hide();
    }

    // ---- Painting ----------------------------------------------------------------------

    void hintLineHeight_data()
    {
        QTest::addColumn<QString>("language");
        QTest::addColumn<int>("height");
        QTest::newRow("english") << "english" << 36;
        QTest::newRow("french") << "french" << 36;
        QTest::newRow("korean") << "korean" << 18;
        QTest::newRow("spanish") << "spanish" << 18;
        QTest::newRow("exactly: English") << "English" << 18;
        QTest::newRow("none") << "" << 18;
    }
    void hintLineHeight()
    {
        QFETCH(QString, language);
        QFETCH(int, height);
        QCOMPARE(CRListCtrl::HintLineHeight(language), height);
    }

    void hintPanel_data()
    {
        QTest::addColumn<QString>("language");
        QTest::addColumn<int>("line");
        QTest::newRow("english") << "english" << 36;
        QTest::newRow("korean") << "korean" << 18;
    }
    void hintPanel()
    {
        QFETCH(QString, language);
        QFETCH(int, line);
        QVERIFY(SelectLanguage(language));
        auto list = MakeList(200);
        list->SetEmptyMode(true);
        QVERIFY(list->IsEmptyMode());
        const QImage img = list->ComposedImage();
        QVERIFY(QTest::currentTestFailed() || SelectLanguage(QStringLiteral("english")));
        const QRgb bg = Colour("bg_list02.9.png");
        const QRect area(0, 0, 307, 200);
        const int top = (200 - 4 * line) / 2;
        const QList<int> rows = InkRows(img, area, bg);
        QVERIFY(!rows.isEmpty());
        QVERIFY2(rows.first() >= top && rows.first() < top + line, qPrintable(QString::number(rows.first())));
        QVERIFY(rows.last() < top + 4 * line);
        QVERIFY(InkRows(img, QRect(0, top + 3 * line, 307, line), bg).size() > 0); // the fourth line
        QVERIFY(Near(Strongest(img, area, bg), qRgb(182, 199, 215), 40));
        // Centred: as much room left as right.
        const QList<int> columns = InkColumns(img, QRect(0, top, 307, line), bg);
        QVERIFY(qAbs(columns.first() - (306 - columns.last())) <= 3);
    }

    void rowLooks()
    {
        auto list = MakeList(200);
        Fill(list.get(), QList<int>{1, 2, 0, 0, 0, 0});
        SetCursor(list.get(), 2, true);
        SetCursor(list.get(), 3, false);
        QImage img = list->grab().toImage().convertToFormat(QImage::Format_ARGB32);
        auto at = [&](int row, int x, int y) { return Opaque(img.pixel(x, row * 20 + y)); };
        // Backgrounds: parity 1 on rows 0, 2, 4 ...; the focused row; both columns.
        QCOMPARE(at(0, 2, 2), Opaque(Colour("bg_list01.9.png")));
        QCOMPARE(at(0, 224 + 2, 2), Opaque(Colour("bg_list01.9.png")));
        QCOMPARE(at(1, 2, 2), Opaque(Colour("bg_list02.9.png")));
        QCOMPARE(at(3, 2, 2), Opaque(Colour("bg_list_over.9.png")));
        QCOMPARE(at(3, 224 + 2, 2), Opaque(Colour("bg_list_over.9.png")));
        QCOMPARE(at(7, 2, 2), Opaque(Colour("bg_list02.9.png"))); // an empty row
        // Markers: link icons at (11, 0), the now-playing icon at (6, 8).
        QCOMPARE(at(0, 11 + 3, 5), Opaque(Colour("ic_front_link.png")));
        QCOMPARE(at(1, 11 + 3, 5), Opaque(Colour("ic_rear_link.png")));
        QCOMPARE(at(2, 6 + 1, 8 + 3), Opaque(Colour("ic_nowplaying.png")));
        QCOMPARE(at(3, 6 + 1, 8 + 3), Opaque(Colour("bg_list_over.9.png")));
        // Text colours: playing blue, focused white, others grey-blue.
        const SkinRect name = list->GetRow(0)->NameRect();
        auto ink = [&](int row, QRgb bg) {
            return Strongest(img, QRect(name.left + 20, row * 20, 150, 20), bg);
        };
        QVERIFY(Near(ink(2, Colour("bg_list01.9.png")), qRgb(63, 168, 235)));
        QVERIFY(Near(ink(3, Colour("bg_list_over.9.png")), qRgb(255, 255, 255)));
        QVERIFY(Near(ink(5, Colour("bg_list02.9.png")), qRgb(163, 183, 203)));
        QVERIFY(InkColumns(img, QRect(0, 7 * 20 + 1, 307, 18), Colour("bg_list02.9.png")).isEmpty());
        // The size column shows the size text.
        QVERIFY(!InkColumns(img, QRect(230, 5 * 20, 70, 20), Colour("bg_list02.9.png")).isEmpty());

        // Held down: the press pictures (and the row takes the focus).
        QTest::mousePress(Window(), Qt::LeftButton, {}, RowPoint(list.get(), 4));
        img = list->grab().toImage().convertToFormat(QImage::Format_ARGB32);
        QCOMPARE(at(4, 2, 2), Opaque(Colour("bg_list_press.9.png")));
        QCOMPARE(at(3, 2, 2), Opaque(Colour("bg_list02.9.png")));
        QVERIFY(Near(ink(4, Colour("bg_list_press.9.png")), qRgb(255, 255, 255)));
        QTest::mouseRelease(Window(), Qt::LeftButton, {}, RowPoint(list.get(), 4));
        img = list->grab().toImage().convertToFormat(QImage::Format_ARGB32);
        QCOMPARE(at(4, 2, 2), Opaque(Colour("bg_list_over.9.png")));
    }

    // ---- Threads ----------------------------------------------------------------------

    void itemsAddedFromAnotherThread()
    {
        auto list = MakeList(200);
        std::atomic<bool> done{false};
        constexpr int kCount = 3000;
        std::thread adder([&] {
            for (int i = 0; i < kCount; ++i)
                list->AddItem(ItemName(i), i, QString(), qint64(i) << 20, i % 3 == 1 ? 1 : (i % 3 == 2 ? 2 : 0));
            done = true;
        });
        int step = 0;
        while (!done) {
            list->Refresh();
            list->SetTopIndex(step++ % 50);
            list->FocusNext();
            list->ComposedImage();
        }
        adder.join();
        list->Refresh();
        QCOMPARE(list->GetItemCount(), kCount);
        for (int i : {0, 1, 1500, kCount - 1})
            QCOMPARE(list->GetItem(i).name, ItemName(i));
        list->SetTopIndex(kCount);
        QCOMPARE(list->GetTopIndex(), kCount - 10);
        QCOMPARE(list->GetRow(9)->Item().name, ItemName(kCount - 1));
    }
};

QTEST_MAIN(TestListCtrl)
#include "tst_listctrl.moc"
