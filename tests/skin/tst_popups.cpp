// The layered popups: the balloon's sizes and texts, the drop-down box
// (layout, hover and held looks, check and arrow columns, commands posted,
// sub-menus and every way it closes), the speed panel and the volume panel
// (their children, values, wheel, reset and reports). Pictures come from a
// synthetic image library whose pictures each have a colour of their own.
#include "platform/Platform.h"
#include "skin/SkinBalloonTip.h"
#include "skin/SkinConstants.h"
#include "skin/SkinImage.h"
#include "skin/SkinText.h"
#include "skin/TBalloon.h"
#include "skin/TButton.h"
#include "skin/TDropBox.h"
#include "skin/TDropBriSpd.h"
#include "skin/TDropVol.h"
#include "skin/TSliderCtrl.h"
#include "lang/Lang.h"
#include "SkinTestUtil.h"
#include "SyntheticSkin.h"

#include <QScreen>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QWheelEvent>
#include <QtTest>

#include <memory>

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

QPoint Centre(const SkinRect& r)
{
    return QPoint((r.left + r.right) / 2, (r.top + r.bottom) / 2);
}

void Wheel(QWidget* target, QPoint pos, int delta)
{
    const QPointF global = target->mapToGlobal(QPointF(pos));
    QWheelEvent turn(QPointF(pos), global, QPoint(), QPoint(0, delta), Qt::NoButton, Qt::NoModifier,
                     Qt::NoScrollPhase, false);
    QApplication::sendEvent(target, &turn);
}

// Moves the pointer onto a point of a window (its own coordinates) and clicks.
void ClickWindow(QWidget* w, QPoint at)
{
    QTest::mouseMove(w->windowHandle(), at);
    QTest::mouseClick(w->windowHandle(), Qt::LeftButton, {}, at);
}
} // namespace

class TestPopups : public QObject
{
    Q_OBJECT

private:
    QTemporaryDir m_dir;
    CRecordingPlatform m_platform;
    QWidget* m_host = nullptr;

    std::unique_ptr<CTDropBox> MakeBox(QSize size = QSize(256, 76))
    {
        auto box = std::make_unique<CTDropBox>(m_host);
        box->resize(size);
        box->SetImages("bg_rightclick.9.png", "list_bg_press.9.png", "list_bg_over.9.png");
        box->SetTextColors(Qt::black, Qt::white);
        return box;
    }
    // A File-like menu with three entries.
    std::unique_ptr<CTDropBox> FileMenu()
    {
        auto box = MakeBox();
        box->AddItem(QStringLiteral("Open"), QStringLiteral("Ctrl + O"), 1051);
        box->AddItem(QStringLiteral("Save As"), QStringLiteral("Ctrl + Shift + S"), 1053);
        box->AddItem(QStringLiteral("Exit"), QStringLiteral("Ctrl + Q"), 1054);
        return box;
    }
    static void ShowBox(CTDropBox* box, QPoint at = QPoint(120, 120))
    {
        box->ShowAt(at);
        QVERIFY(QTest::qWaitForWindowExposed(box));
    }
    static void HoverEntry(CTDropBox* box, int index)
    {
        QTest::mouseMove(box->windowHandle(), Centre(box->Items()[size_t(index)].itemRect));
    }

private slots:
    void initTestCase()
    {
        QVERIFY(m_dir.isValid());
        CPlatform::Install(&m_platform);
        QVERIFY(SyntheticSkin::Write(m_dir.path()));
        CSkinImage::GetInstance()->SetLibraryRoot(m_dir.path() + QLatin1Char('/'));
        QVERIFY(SelectLanguage(QStringLiteral("english")));
        m_host = new QWidget;
        m_host->setGeometry(20, 20, 500, 400);
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
    }
    void cleanup()
    {
        // Every picture the popups ask for exists: no failure was reported.
        QVERIFY(m_platform.Calls().isEmpty());
    }

    // ---- Balloon -------------------------------------------------------------------

    void numberWidths_data()
    {
        QTest::addColumn<int>("number");
        QTest::addColumn<int>("width");
        QTest::newRow("0") << 0 << 26;
        QTest::newRow("9") << 9 << 26;
        QTest::newRow("10") << 10 << 33;
        QTest::newRow("99") << 99 << 33;
        QTest::newRow("100") << 100 << 40;
        QTest::newRow("12345") << 12345 << 40;
        QTest::newRow("-5 takes two places") << -5 << 33;
    }
    void numberWidths()
    {
        QFETCH(int, number);
        QFETCH(int, width);
        CTBalloon balloon(m_host);
        balloon.SetNumberText(number);
        QCOMPARE(balloon.size(), QSize(width, 27));
        QCOMPARE(balloon.Text(), QString::number(number));
    }

    void numberWidthChangeHidesUntilPlaced()
    {
        CTBalloon balloon(m_host);
        balloon.SetNumberText(5);
        balloon.move(200, 200);
        balloon.show();
        balloon.SetNumberText(7); // same width: stays
        QVERIFY(balloon.isVisible());
        QCOMPARE(balloon.pos(), QPoint(200, 200));
        balloon.SetNumberText(12); // wider: hidden until its owner places it again
        QVERIFY(!balloon.isVisible());
        QCOMPARE(balloon.width(), 33);
        QCOMPARE(balloon.pos(), QPoint(200, 200));
    }

    void speedText_data()
    {
        QTest::addColumn<int>("code");
        QTest::addColumn<QString>("text");
        const char* texts[] = {"x0.2", "x0.5", "x0.7", "x1.0", "x2.0", "x3.0", "x4.0"};
        for (int code = 0; code < 7; ++code)
            QTest::addRow("%d", code) << code << QString::fromLatin1(texts[code]);
        QTest::newRow("7 keeps the text") << 7 << "x2.0";
        QTest::newRow("-1 keeps the text") << -1 << "x2.0";
    }
    void speedText()
    {
        QFETCH(int, code);
        QFETCH(QString, text);
        CTBalloon balloon(m_host);
        balloon.SetSpeedText(4); // "x2.0"
        balloon.SetSpeedText(code);
        QCOMPARE(balloon.Text(), text);
        QCOMPARE(balloon.size(), QSize(45, 27));
    }

    void freeTextSizeAndPicture()
    {
        CTBalloon balloon(m_host);
        balloon.move(150, 90);
        const QString text = QStringLiteral("Toggle Front / Rear");
        balloon.SetText(text);
        const QFont font = MakeLanguageFont(kBalloonFontKey, kBalloonFontDefault);
        QCOMPARE(balloon.size(), QSize(QFontMetrics(font).size(0, text).width() + 25, 27));
        QCOMPARE(balloon.pos(), QPoint(150, 90)); // the owner places it
        QVERIFY(balloon.testAttribute(Qt::WA_TransparentForMouseEvents));
        const QImage img = balloon.LayeredImage();
        const QRgb bg = Colour(kBalloonPicture);
        QCOMPARE(Opaque(img.pixel(1, 1)), Opaque(bg));
        // The text in black, centred in the picture's content box.
        QVERIFY(Near(Strongest(img, img.rect(), bg), qRgb(0, 0, 0), 40));
        const QList<int> ink = InkColumns(img, img.rect(), bg);
        QVERIFY(!ink.isEmpty());
        const SkinRect box = balloon.TextBox();
        QVERIFY(qAbs((ink.first() - box.left) - (box.right - 1 - ink.last())) <= 2);
    }

    void buttonBalloonIsABalloon()
    {
        // The buttons' balloon is the same window class.
        CSkinBalloonTip tip(m_host);
        CTBalloon* balloon = &tip;
        balloon->SetText(QStringLiteral("Volume"));
        QCOMPARE(balloon->height(), 27);
        QCOMPARE(balloon->windowTitle(), QStringLiteral("Balloon"));
    }

    // ---- Drop-down box: layout and looks ----------------------------------------------

    void boxLayout()
    {
        auto box = MakeBox(QSize(256, 78));
        box->AddItem(QStringLiteral("Play(Puase)"), QStringLiteral("Space"), 1083);
        box->AddSeparator(QStringLiteral("line.9.png"), 241, 2, 7, 25, 1);
        box->AddItem(QStringLiteral("Full screen"), QStringLiteral("Ctrl + Enter"), 1086);
        box->AddItem(QStringLiteral("Enlarge viewer"), QStringLiteral("Alt + Enter"), 1087);

        // The content box of the background as stretched, its right edge 3 in.
        CSkinSurface probe;
        probe.Create(256, 78);
        SkinRect content;
        CSkinImage::GetInstance()->DrawNinePatch(probe, QStringLiteral("bg_rightclick.9.png"), &content);
        const SkinRect c = box->ContentRect();
        QCOMPARE(c.left, content.left);
        QCOMPARE(c.top, content.top);
        QCOMPARE(c.right, content.right - 3);

        const auto& items = box->Items();
        QCOMPARE(items.size(), size_t(3));
        QCOMPARE(items[0].itemRect, (SkinRect{c.left, c.top, c.right, c.top + 20}));
        // The entry after the separator is taller by its height.
        QCOMPARE(items[1].itemRect, (SkinRect{c.left, c.top + 21, c.right, c.top + 21 + 22}));
        QCOMPARE(items[2].itemRect, (SkinRect{c.left, c.top + 44, c.right, c.top + 64}));
        const QImage img = box->LayeredImage();
        QCOMPARE(Opaque(img.pixel(7 + 100, 25)), Opaque(Colour("line.9.png")));
        QCOMPARE(Opaque(img.pixel(c.left + 1, c.top + 1)), Opaque(Colour("bg_rightclick.9.png")));
    }

    void hoverAndHeldLooks()
    {
        auto box = FileMenu();
        auto sub = MakeBox(QSize(120, 50));
        sub->AddItem(QStringLiteral("x 1.0"), QString(), 1076);
        box->AddItem(QStringLiteral("More"), QString(), 0, sub.get());
        box->SetItemDisabled(1054, true);
        ShowBox(box.get());
        const QRgb bg = Colour("bg_rightclick.9.png");
        const QRgb over = Colour("list_bg_over.9.png");
        const QRgb held = Colour("list_bg_press.9.png");
        auto entryPixel = [&](int i) {
            const SkinRect r = box->Items()[size_t(i)].itemRect;
            return Opaque(box->LayeredImage().pixel(r.left + 1, r.top + 1));
        };
        auto textColour = [&](int i, QRgb background) {
            const SkinRect r = box->Items()[size_t(i)].itemRect;
            return Strongest(box->LayeredImage(), QRect(r.left + 5, r.top + 5, 60, 15), background);
        };
        QCOMPARE(box->HoverIndex(), -1);
        QCOMPARE(entryPixel(0), Opaque(bg));
        QVERIFY(Near(textColour(0, bg), qRgb(0, 0, 0)));
        QVERIFY(Near(textColour(2, bg), qRgb(131, 137, 145)));

        HoverEntry(box.get(), 1);
        QCOMPARE(box->HoverIndex(), 1);
        QCOMPARE(entryPixel(1), Opaque(over));
        QCOMPARE(entryPixel(0), Opaque(bg));
        QVERIFY(Near(textColour(1, over), qRgb(255, 255, 255)));
        // A hovered disabled entry keeps the disabled colour.
        HoverEntry(box.get(), 2);
        QVERIFY(Near(textColour(2, over), qRgb(131, 137, 145)));
        // Leaving the box keeps the mark on the last entry.
        QTest::mouseMove(m_host->windowHandle(), QPoint(5, 5));
        QCOMPARE(box->HoverIndex(), 2);

        // The held picture while the left button is down (an entry with a
        // sub-menu, which posts nothing).
        HoverEntry(box.get(), 3);
        const QPoint at = Centre(box->Items()[3].itemRect);
        QTest::mousePress(box->windowHandle(), Qt::LeftButton, {}, at);
        QVERIFY(box->IsButtonHeld());
        QCOMPARE(entryPixel(3), Opaque(held));
        QTest::mouseRelease(box->windowHandle(), Qt::LeftButton, {}, at);
        QVERIFY(!box->IsButtonHeld());
        QCOMPARE(entryPixel(3), Opaque(over));
        box->hide();
    }

    void checkAndArrowColumns()
    {
        auto box = MakeBox(QSize(226, 83));
        auto sub = MakeBox(QSize(120, 50));
        sub->AddItem(QStringLiteral("Korean"), QString(), 1062);
        box->SetCheckColumn(true);
        box->SetArrowColumn(true);
        box->SetCheckIcons(QStringLiteral("ic_checkbox_normal.png"), QStringLiteral("ic_checkbox_over.png"));
        box->SetCheckIcons(QStringLiteral("ic_tri_right_normal.png"), QStringLiteral("ic_tri_right_over.png")); // ignored
        box->SetArrowIcons(QStringLiteral("ic_tri_right_normal.png"), QStringLiteral("ic_tri_right_over.png"));
        box->AddItem(QStringLiteral("Language"), QString(), 1059, sub.get());
        box->AddItem(QStringLiteral("Kestrav information"), QStringLiteral("F1"), 1061);
        box->AddItem(QStringLiteral("Front and rear"), QString(), 1071);
        box->SetItemCheck(1071, true);
        box->SetItemCheck(4242, true); // no such entry: nothing
        const QRgb bg = Colour("bg_rightclick.9.png");
        auto inner = [&](int i) {
            const SkinRect r = box->Items()[size_t(i)].itemRect;
            return SkinRect{r.left + 5, r.top + 5, r.right - 5, r.bottom};
        };
        QImage img = box->LayeredImage();
        // Check mark at (inner.left, inner.top - 3), 16 x 16.
        const SkinRect c = inner(2);
        QCOMPARE(Opaque(img.pixel(c.left + 8, c.top - 3 + 8)), Opaque(Colour("ic_checkbox_normal.png")));
        QCOMPARE(Opaque(img.pixel(inner(1).left + 8, inner(1).top - 3 + 8)), Opaque(bg)); // not checked
        // Sub-menu arrow at (inner.right - 8, inner.top + 2), 5 x 9.
        const SkinRect a = inner(0);
        QCOMPARE(Opaque(img.pixel(a.right - 8 + 2, a.top + 2 + 4)), Opaque(Colour("ic_tri_right_normal.png")));
        // Texts start 20 pixels in (checked or not); right texts end 16
        // pixels before the inner right edge.
        const SkinRect b = inner(1);
        const QList<int> ink = InkColumns(img, QRect(b.left, b.top, 60, 14), bg);
        QVERIFY(!ink.isEmpty());
        QVERIFY(ink.first() >= b.left + 20);
        QVERIFY(ink.first() <= b.left + 22);
        const QList<int> rightInk = InkColumns(img, QRect(b.right - 60, b.top, 60, 14), bg);
        QVERIFY(!rightInk.isEmpty());
        QVERIFY(rightInk.last() < b.right - 16);
        QVERIFY(rightInk.last() >= b.right - 16 - 3);
        // Hovered: the hovered variants.
        ShowBox(box.get());
        HoverEntry(box.get(), 2);
        img = box->LayeredImage();
        QCOMPARE(Opaque(img.pixel(c.left + 8, c.top - 3 + 8)), Opaque(Colour("ic_checkbox_over.png")));
        HoverEntry(box.get(), 0);
        img = box->LayeredImage();
        QCOMPARE(Opaque(img.pixel(a.right - 8 + 2, a.top + 2 + 4)), Opaque(Colour("ic_tri_right_over.png")));
        box->hide();
    }

    // ---- Drop-down box: commands and closing ----------------------------------------------

    void entryPostsItsCommand_data()
    {
        QTest::addColumn<bool>("disabled");
        QTest::newRow("enabled") << false;
        QTest::newRow("disabled entries post too") << true;
    }
    void entryPostsItsCommand()
    {
        QFETCH(bool, disabled);
        auto box = FileMenu();
        box->SetItemDisabled(1053, disabled);
        QSignalSpy commands(box.get(), &CTDropBox::Command);
        ShowBox(box.get());
        const QPoint at = Centre(box->Items()[1].itemRect);
        QMouseEvent press(QEvent::MouseButtonPress, QPointF(at), box->mapToGlobal(QPointF(at)), Qt::LeftButton,
                          Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(box.get(), &press);
        QCOMPARE(commands.count(), 0); // posted, not sent
        QTRY_COMPARE(commands.count(), 1);
        QCOMPARE(commands.at(0).at(0).toInt(), 1053);
        QVERIFY(!box->isVisible()); // a chosen entry closes the box
    }

    void relayedCommands()
    {
        auto box = FileMenu();
        QSignalSpy commands(box.get(), &CTDropBox::Command);
        box->RelayCommand(1090);
        box->RelayCommand(0x10000); // beyond the low word: not a command
        QTRY_COMPARE(commands.count(), 1);
        QCOMPARE(commands.at(0).at(0).toInt(), 1090);
    }

    void subMenuFollowsTheHover()
    {
        auto box = MakeBox(QSize(226, 83));
        auto sub = MakeBox(QSize(120, 50));
        sub->AddItem(QStringLiteral("English"), QString(), 1063);
        box->AddItem(QStringLiteral("Kestrav setting"), QString(), 1060);
        box->AddItem(QStringLiteral("Language"), QString(), 1059, sub.get());
        box->AddItem(QStringLiteral("Kestrav information"), QString(), 1061);
        QCOMPARE(sub->ParentBox(), box.get());
        ShowBox(box.get());
        HoverEntry(box.get(), 1);
        QVERIFY(sub->isVisible());
        const SkinRect r = box->Items()[1].itemRect;
        QCOMPARE(sub->pos(), box->mapToGlobal(QPoint(r.right, r.top - 3)));
        QVERIFY(box->isVisible());
        // To an entry without sub-menu: the sub-menu closes.
        HoverEntry(box.get(), 2);
        QVERIFY(!sub->isVisible());
        HoverEntry(box.get(), 1);
        QVERIFY(sub->isVisible());
        // Closed meanwhile, a press on its entry opens it again beside the
        // entry (not at the screen's corner).
        sub->hide();
        QTest::mousePress(box->windowHandle(), Qt::LeftButton, {}, Centre(r));
        QVERIFY(sub->isVisible());
        QCOMPARE(sub->pos(), box->mapToGlobal(QPoint(r.right, r.top - 3)));
        QTest::mouseRelease(box->windowHandle(), Qt::LeftButton, {}, Centre(r));
        // Choosing in the sub-menu closes both.
        QSignalSpy commands(sub.get(), &CTDropBox::Command);
        ClickWindow(sub.get(), Centre(sub->Items()[0].itemRect));
        QTRY_COMPARE(commands.count(), 1);
        QCOMPARE(commands.at(0).at(0).toInt(), 1063);
        QVERIFY(!sub->isVisible());
        QVERIFY(!box->isVisible());
    }

    void closeRules_data()
    {
        QTest::addColumn<QString>("how");
        QTest::addColumn<bool>("closes");
        QTest::newRow("escape") << "escape" << true;
        QTest::newRow("press outside") << "outside" << true;
        QTest::newRow("press inside, between entries") << "inside" << false;
        QTest::newRow("another window activated") << "deactivate" << true;
        QTest::newRow("hover only") << "hover" << false;
    }
    void closeRules()
    {
        QFETCH(QString, how);
        QFETCH(bool, closes);
        auto box = FileMenu();
        QSignalSpy commands(box.get(), &CTDropBox::Command);
        ShowBox(box.get());
        QTRY_VERIFY(box->isActiveWindow()); // shown by its owner, it takes the activation
        if (how == QLatin1String("escape")) {
            QTest::keyClick(box.get(), Qt::Key_Escape);
        } else if (how == QLatin1String("outside")) {
            QTest::mouseClick(m_host->windowHandle(), Qt::LeftButton, {}, QPoint(10, 10));
        } else if (how == QLatin1String("inside")) {
            const SkinRect r = box->Items()[0].itemRect;
            QTest::mouseClick(box->windowHandle(), Qt::LeftButton, {}, QPoint(r.left + 10, r.bottom)); // the gap
        } else if (how == QLatin1String("deactivate")) {
            m_host->activateWindow();
            QTRY_VERIFY(m_host->isActiveWindow());
        } else {
            HoverEntry(box.get(), 2);
        }
        if (closes)
            QTRY_VERIFY(!box->isVisible());
        else
            QVERIFY(box->isVisible());
        QCoreApplication::processEvents();
        QCOMPARE(commands.count(), 0); // closing is not choosing
        box->hide();
    }

    void openSubMenuKeepsItsBoxOnDeactivation()
    {
        auto box = MakeBox(QSize(226, 83));
        auto sub = MakeBox(QSize(120, 50));
        sub->AddItem(QStringLiteral("English"), QString(), 1063);
        box->AddItem(QStringLiteral("Language"), QString(), 1059, sub.get());
        box->AddItem(QStringLiteral("Exit"), QString(), 1054);
        ShowBox(box.get());
        QTRY_VERIFY(box->isActiveWindow());
        HoverEntry(box.get(), 0);
        QVERIFY(sub->isVisible());
        // The sub-menu takes the activation (a click on it): the box stays.
        sub->activateWindow();
        QTRY_VERIFY(sub->isActiveWindow());
        QVERIFY(box->isVisible());
        // Then another window: the sub-menu closes, and the box with it.
        m_host->activateWindow();
        QTRY_VERIFY(!sub->isVisible());
        QTRY_VERIFY(!box->isVisible());
    }

    void openedNearTheScreenEdgeStaysOnScreen_data()
    {
        QTest::addColumn<QPoint>("offset"); // from the screen's bottom-right corner
        QTest::newRow("bottom-right corner") << QPoint(-5, -5);
        QTest::newRow("right edge") << QPoint(-40, -300);
        QTest::newRow("beyond the top-left") << QPoint(-100000, -100000);
    }
    void openedNearTheScreenEdgeStaysOnScreen()
    {
        QFETCH(QPoint, offset);
        auto box = FileMenu();
        const QRect area = m_host->screen()->availableGeometry();
        QPoint at = area.bottomRight() + offset;
        if (offset.x() < -10000)
            at = area.topLeft() + QPoint(-50, -50);
        box->ShowAt(at);
        QVERIFY(area.contains(box->frameGeometry()));
        box->hide();
    }

    // ---- Speed panel ------------------------------------------------------------------------

    void speedIndex_data()
    {
        QTest::addColumn<float>("speed");
        QTest::addColumn<int>("index");
        QTest::newRow("0.2") << 0.2f << 0;
        QTest::newRow("0.7") << 0.7f << 2;
        QTest::newRow("1.0") << 1.0f << 3;
        QTest::newRow("3.0") << 3.0f << 5;
        QTest::newRow("4.0 is not among the first six") << 4.0f << 6;
        QTest::newRow("1.5 is not in the table") << 1.5f << 6;
        QTest::newRow("0") << 0.0f << 6;
    }
    void speedIndex()
    {
        QFETCH(float, speed);
        QFETCH(int, index);
        QCOMPARE(CTDropBriSpd::SpeedIndex(speed), index);
        CTDropBriSpd panel(m_host);
        panel.resize(151, 97);
        panel.SetSpeed(speed);
        panel.ShowAt(QPoint(200, 150));
        QCOMPARE(panel.SpeedSlider()->GetValue(), float(index));
        panel.hide();
    }

    void speedPanelLayout()
    {
        CTDropBriSpd panel(m_host);
        panel.resize(151, 97);
        panel.ShowAt(QPoint(200, 150));
        QVERIFY(QTest::qWaitForWindowExposed(&panel));
        const QPoint origin = panel.mapToGlobal(QPoint(0, 0));
        QCOMPARE(panel.SpeedSlider()->geometry(), QRect(origin + QPoint(58, 39), QSize(75, 11)));
        QCOMPARE(panel.BrightnessSlider()->geometry(), QRect(origin + QPoint(58, 39), QSize(75, 11)));
        QCOMPARE(panel.ResetButton()->geometry(), QRect(origin + QPoint(31, 60), QSize(90, 21)));
        QVERIFY(panel.SpeedSlider()->isVisible());
        QVERIFY(!panel.BrightnessSlider()->isVisible()); // kept, never shown
        QVERIFY(panel.ResetButton()->isVisible());
        QCOMPARE(panel.SpeedSlider()->windowTitle(), QStringLiteral("ScrSpd"));
        QCOMPARE(panel.BrightnessSlider()->windowTitle(), QStringLiteral("ScrBri"));
        QCOMPARE(panel.ResetButton()->windowTitle(), QStringLiteral("ScrInit"));
        QCOMPARE(panel.ResetButton()->Text(), QStringLiteral("Initialize"));
        QCOMPARE(panel.SpeedSlider()->GetMaximum(), 6.0f);
        QCOMPARE(panel.SpeedSlider()->BalloonMode(), kBalloonSpeed);
        QCOMPARE(panel.BrightnessSlider()->GetValue(), 50.0f);

        const QImage img = panel.LayeredImage();
        QCOMPARE(Opaque(img.pixel(1, 90)), Opaque(Colour("play_setting_bg2.9.png")));
        QCOMPARE(Opaque(img.pixel(8, 55)), Opaque(Colour("contents_area.9.png"))); // copied at (6, 3), 139 x 55
        QCOMPARE(Opaque(img.pixel(5, 55)), Opaque(Colour("play_setting_bg2.9.png")));
        QCOMPARE(Opaque(img.pixel(20, 17)), Opaque(Colour("ic_speed.png")));       // at (10, 7)
        QCOMPARE(Opaque(img.pixel(14, 38)), Opaque(Colour("bg_text_small.9.png"))); // at (13, 37), 37 x 15
        QVERIFY(Near(Strongest(img, QRect(35, 7, 105, 21), Colour("contents_area.9.png")), qRgb(178, 193, 222)));
        QVERIFY(Near(Strongest(img, QRect(13, 37, 37, 15), Colour("bg_text_small.9.png")), qRgb(139, 162, 191)));
        QCOMPARE(panel.SpeedText(), QStringLiteral("x1.0"));

        // Moving the panel takes its children along; hiding it hides them.
        panel.move(panel.pos() + QPoint(30, 10));
        QCOMPARE(panel.SpeedSlider()->pos(), panel.mapToGlobal(QPoint(58, 39)));
        panel.hide();
        QVERIFY(!panel.SpeedSlider()->isVisible());
        QVERIFY(!panel.ResetButton()->isVisible());
    }

    void speedPanelReset()
    {
        CTDropBriSpd panel(m_host);
        panel.resize(151, 97);
        panel.SetSpeed(2.0f);
        panel.SetBrightness(80);
        CMessageLog log;
        log.Watch(&panel);
        QSignalSpy commands(&panel, &CTDropBriSpd::Command);
        panel.ShowAt(QPoint(200, 150));
        QVERIFY(QTest::qWaitForWindowExposed(panel.ResetButton()));
        QCOMPARE(panel.SpeedText(), QStringLiteral("x2.0"));
        ClickWindow(panel.ResetButton(), QPoint(45, 10));
        QCOMPARE(commands.count(), 1); // sent
        QCOMPARE(commands.at(0).at(0).toInt(), 1080);
        QCOMPARE(panel.Speed(), 1.0f);
        QCOMPARE(panel.Brightness(), 50);
        QCOMPARE(panel.SpeedText(), QStringLiteral("x1.0"));
        QCOMPARE(panel.SpeedSlider()->GetValue(), 3.0f);
        QVERIFY(log.messages.isEmpty()); // a reset sends only the command
        QVERIFY(panel.isVisible());      // the button belongs to the panel
        // The value field shows what a panel at 1.0 shows.
        CTDropBriSpd fresh(m_host);
        fresh.resize(151, 97);
        QCOMPARE(panel.LayeredImage().copy(13, 37, 37, 15), fresh.LayeredImage().copy(13, 37, 37, 15));
        panel.hide();
    }

    void speedSliderReportsThroughThePanel()
    {
        CTDropBriSpd panel(m_host);
        panel.resize(151, 97);
        CMessageLog log;
        log.Watch(&panel);
        panel.ShowAt(QPoint(200, 150));
        QVERIFY(QTest::qWaitForWindowExposed(panel.SpeedSlider()));
        // A click on the track: (60 - 5 + 1) * 6 / 65 = 5.17, reported 5.
        ClickWindow(panel.SpeedSlider(), QPoint(60, 5));
        QTRY_VERIFY(!log.messages.isEmpty());
        QCOMPARE(log.messages.first(), (Message{0x590, 1202, 5}));
        QCOMPARE(panel.Speed(), 3.0f);
        QCOMPARE(panel.SpeedText(), QStringLiteral("x3.0"));
        QVERIFY(panel.isVisible()); // using its slider keeps the panel open
        panel.hide();
    }

    void speedPanelWheel_data()
    {
        QTest::addColumn<QPoint>("at");
        QTest::addColumn<int>("delta");
        QTest::addColumn<int>("sent"); // speed index sent, -1 for nothing
        QTest::newRow("lower part, up") << QPoint(10, 70) << 120 << 4;
        QTest::newRow("lower part, down") << QPoint(10, 60) << -120 << 2;
        QTest::newRow("lower part, 240") << QPoint(10, 70) << 240 << -1;
        QTest::newRow("upper part: the hidden brightness slider") << QPoint(10, 44) << 120 << -1;
    }
    void speedPanelWheel()
    {
        QFETCH(QPoint, at);
        QFETCH(int, delta);
        QFETCH(int, sent);
        CTDropBriSpd panel(m_host);
        panel.resize(151, 97);
        CMessageLog log;
        log.Watch(&panel);
        panel.ShowAt(QPoint(200, 150)); // speed 1.0: index 3
        Wheel(&panel, at, delta);
        if (sent < 0) {
            QVERIFY(log.messages.isEmpty());
            QCOMPARE(panel.SpeedSlider()->GetValue(), 3.0f);
            QCOMPARE(panel.Brightness(), 50);
        } else {
            QCOMPARE(log.messages.size(), 1); // sent at once
            QCOMPARE(log.messages.first(), (Message{0x590, 1202, qintptr(sent)}));
            QCOMPARE(panel.SpeedSlider()->GetValue(), float(sent));
            QCOMPARE(panel.Speed(), kSpeedTable[sent]);
        }
        panel.hide();
    }

    void speedWheelStopsAtTheEnds()
    {
        CTDropBriSpd panel(m_host);
        panel.resize(151, 97);
        panel.SetSpeed(3.0f); // index 5
        CMessageLog log;
        log.Watch(&panel);
        panel.ShowAt(QPoint(200, 150));
        for (int i = 0; i < 3; ++i)
            Wheel(&panel, QPoint(10, 70), 120);
        QCOMPARE(log.messages.size(), 3);
        QCOMPARE(log.messages.last(), (Message{0x590, 1202, 6}));
        QCOMPARE(panel.SpeedSlider()->GetValue(), 6.0f);
        panel.hide();
    }

    // ---- Volume panel -----------------------------------------------------------------------

    void volumePanel()
    {
        CTDropVol panel(m_host);
        panel.resize(43, 116);
        panel.SetVolume(30);
        CMessageLog log;
        log.Watch(&panel);
        panel.ShowAt(QPoint(300, 100));
        QVERIFY(QTest::qWaitForWindowExposed(&panel));
        CTSliderCtrl* slider = panel.VolumeSlider();
        QCOMPARE(slider->windowTitle(), QStringLiteral("SldVol"));
        QVERIFY(!slider->IsHorizontal());
        QCOMPARE(slider->geometry(), QRect(panel.mapToGlobal(QPoint(16, 13)), QSize(11, 75)));
        QCOMPARE(slider->GetValue(), 70.0f); // runs downward
        QCOMPARE(Opaque(panel.LayeredImage().pixel(3, 100)), Opaque(Colour("play_setting_bg.9.png")));

        Wheel(&panel, QPoint(20, 50), 120); // up: louder
        QCOMPARE(log.messages.size(), 1);
        QCOMPARE(log.messages.last(), (Message{0x590, 1203, 31}));
        QCOMPARE(slider->GetValue(), 69.0f);
        QCOMPARE(panel.Volume(), 31);
        Wheel(&panel, QPoint(20, 50), -120);
        QCOMPARE(log.messages.last(), (Message{0x590, 1203, 30}));
        Wheel(&panel, QPoint(20, 50), 240);
        QCOMPARE(log.messages.size(), 2);
        // Turns over the slider reach the panel too.
        Wheel(slider, QPoint(5, 30), 120);
        QCOMPARE(log.messages.size(), 3);
        QCOMPARE(log.messages.last(), (Message{0x590, 1203, 31}));
        panel.hide();
        QVERIFY(!slider->isVisible());
    }

    void volumeWheelStopsAtTheTop()
    {
        CTDropVol panel(m_host);
        panel.resize(43, 116);
        panel.SetVolume(100);
        CMessageLog log;
        log.Watch(&panel);
        panel.ShowAt(QPoint(300, 100));
        Wheel(&panel, QPoint(20, 50), 120);
        QCOMPARE(log.messages.last(), (Message{0x590, 1203, 100}));
        QCOMPARE(panel.VolumeSlider()->GetValue(), 0.0f);
        panel.hide();
    }

    void volumeSliderReportsThroughThePanel()
    {
        CTDropVol panel(m_host);
        panel.resize(43, 116);
        panel.SetVolume(50);
        CMessageLog log;
        log.Watch(&panel);
        panel.ShowAt(QPoint(300, 100));
        QVERIFY(QTest::qWaitForWindowExposed(panel.VolumeSlider()));
        // Near the top of the track: loud.
        ClickWindow(panel.VolumeSlider(), QPoint(5, 8));
        QTRY_VERIFY(!log.messages.isEmpty());
        const Message m = log.messages.first();
        QCOMPARE(m.message, 0x590u);
        QCOMPARE(m.wParam, quintptr(1203));
        QVERIFY(m.lParam > 90);
        QCOMPARE(panel.Volume(), int(m.lParam));
        QVERIFY(panel.isVisible());
        panel.hide();
    }
};

QTEST_MAIN(TestPopups)
#include "tst_popups.moc"
