// Skinned buttons, the number display, labels and the alpha text renderer,
// driven through the window system's event path with QTest.
#include "platform/Platform.h"
#include "skin/RButton.h"
#include "skin/RImageNum.h"
#include "skin/RStaticText.h"
#include "skin/SkinBalloonTip.h"
#include "skin/SkinImage.h"
#include "skin/SkinText.h"
#include "skin/TButton.h"

#include <QDialog>
#include <QMouseEvent>
#include <QSlider>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QtTest>

Q_DECLARE_METATYPE(SkinRect)

char* toString(const SkinRect& r)
{
    return QTest::toString(QStringLiteral("{%1, %2, %3, %4}").arg(r.left).arg(r.top).arg(r.right).arg(r.bottom));
}

namespace {
const QRgb kNormal = qRgb(200, 0, 0);
const QRgb kOver = qRgb(0, 200, 0);
const QRgb kPress = qRgb(0, 0, 200);
const QRgb kSelected = qRgb(200, 200, 0);
const QRgb kDisabled = qRgb(90, 90, 90);
const QRgb kBackground = qRgb(10, 20, 30);

QImage Solid(QSize size, QRgb colour)
{
    QImage img(size, QImage::Format_ARGB32);
    img.fill(colour);
    return img;
}

// Records every mouse event a widget receives (for the label's pass-through).
class CMouseLog : public QObject
{
public:
    struct Entry {
        QEvent::Type type;
        QPoint pos;
    };
    QList<Entry> entries;

protected:
    bool eventFilter(QObject*, QEvent* e) override
    {
        if (e->type() == QEvent::MouseMove || e->type() == QEvent::MouseButtonPress
            || e->type() == QEvent::MouseButtonRelease)
            entries.append({e->type(), static_cast<QMouseEvent*>(e)->position().toPoint()});
        return false;
    }
};

// A plain widget that takes the press for itself and so holds the mouse
// until the release, as a control does while it drags something.
class CMouseHolder : public QWidget
{
public:
    using QWidget::QWidget;
    int released = 0;

protected:
    void mousePressEvent(QMouseEvent* e) override
    {
        e->accept();
    }
    void mouseReleaseEvent(QMouseEvent* e) override
    {
        e->accept();
        ++released;
    }
};
} // namespace

class TestSkinControls : public QObject
{
    Q_OBJECT

private:
    QTemporaryDir m_dir;
    CRecordingPlatform m_platform;
    QWidget* m_host = nullptr;
    CSkinSurface m_hostBackground;

    void Save(const QString& name, const QImage& img) { QVERIFY(img.save(m_dir.filePath(name.toUpper()), "PNG")); }
    QWindow* Window() { return m_host->windowHandle(); }
    QPoint At(QWidget* w, QPoint local = QPoint(5, 5)) { return w->mapTo(m_host, local); }

    CRButton* MakeButton(bool disabledPicture = true)
    {
        auto* button = new CRButton(m_host, 1234);
        button->setGeometry(20, 10, 40, 20);
        button->SetImages("n.png", "o.png", "p.png", &m_hostBackground, disabledPicture ? "d.png" : QString());
        button->show();
        return button;
    }
    static QRgb Centre(QWidget* w) { return w->grab().toImage().pixel(w->width() / 2, w->height() / 2) | 0xFF000000u; }

private slots:
    void initTestCase()
    {
        QVERIFY(m_dir.isValid());
        CPlatform::Install(&m_platform);
        CSkinImage::GetInstance()->SetLibraryRoot(m_dir.path() + QLatin1Char('/'));
        const QSize size(40, 20);
        Save("n.png", Solid(size, kNormal));
        Save("o.png", Solid(size, kOver));
        Save("p.png", Solid(size, kPress));
        Save("s.png", Solid(size, kSelected));
        Save("d.png", Solid(size, kDisabled));
        Save("clear.png", Solid(size, qRgba(0, 0, 0, 0)));
        // Digits: 4 x 6, each in its own colour; entry 10 is the disabled one.
        for (int i = 0; i <= 10; ++i) {
            const QString name = i == 10 ? QStringLiteral("num_speed_dis.png")
                                         : QStringLiteral("num_speed_%1.png").arg(i, 2, 10, QLatin1Char('0'));
            Save(name, Solid(QSize(4, 6), qRgb(20 * i + 10, 100, 255 - 20 * i)));
        }
        // A nine-patch whose content box runs over rows 1..30 and columns 1..60.
        QImage frame(62, 32, QImage::Format_ARGB32);
        frame.fill(qRgba(255, 255, 255, 0));
        for (int y = 1; y < 31; ++y)
            for (int x = 1; x < 61; ++x)
                frame.setPixel(x, y, qRgb(40, 40, 40));
        frame.setPixel(30, 0, qRgb(0, 0, 0));
        frame.setPixel(0, 15, qRgb(0, 0, 0));
        for (int y = 1; y <= 30; ++y)
            frame.setPixel(61, y, qRgb(0, 0, 0));
        for (int x = 1; x <= 60; ++x)
            frame.setPixel(x, 31, qRgb(0, 0, 0));
        Save("frame.9.png", frame);

        m_host = new QWidget;
        m_host->resize(300, 200);
        m_hostBackground.Create(300, 200);
        m_hostBackground.GetImage().fill(kBackground);
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
        QTest::mouseMove(Window(), QPoint(290, 190)); // park the pointer away from every control
    }

    void clickPostsCommandOnRelease()
    {
        std::unique_ptr<CRButton> button(MakeButton());
        QSignalSpy commands(button.get(), &CSkinButton::Command);
        QCOMPARE(Centre(button.get()), kNormal);
        QTest::mouseMove(Window(), At(button.get()));
        QCOMPARE(button->GetState(), int(CSkinButton::StateOver));
        QCOMPARE(Centre(button.get()), kOver);
        QTest::mousePress(Window(), Qt::LeftButton, {}, At(button.get()));
        QCOMPARE(button->GetState(), int(CSkinButton::StatePressed));
        QCOMPARE(Centre(button.get()), kPress);
        QTest::mouseRelease(Window(), Qt::LeftButton, {}, At(button.get()));
        QCOMPARE(button->GetState(), int(CSkinButton::StateOver));
        // Posted: delivered by the event loop, once, with the control id.
        QTRY_COMPARE(commands.size(), 1);
        QCOMPARE(commands[0][0].toInt(), 1234);
        QTest::mouseMove(Window(), QPoint(150, 150));
        QCOMPARE(button->GetState(), int(CSkinButton::StateNormal));
        QVERIFY(m_platform.Calls().isEmpty());
    }

    void pressLeaveReleasePostsNothing()
    {
        std::unique_ptr<CRButton> button(MakeButton());
        QSignalSpy commands(button.get(), &CSkinButton::Command);
        QTest::mouseMove(Window(), At(button.get()));
        QTest::mousePress(Window(), Qt::LeftButton, {}, At(button.get()));
        QTest::mouseMove(Window(), QPoint(150, 150));
        QCOMPARE(button->GetState(), int(CSkinButton::StateNormal)); // the pointer left it
        QTest::mouseRelease(Window(), Qt::LeftButton, {}, QPoint(150, 150));
        QTest::qWait(20);
        QCOMPARE(commands.size(), 0);
        // Coming back shows the hover picture again.
        QTest::mouseMove(Window(), At(button.get()));
        QCOMPARE(button->GetState(), int(CSkinButton::StateOver));
    }

    // A release over a button ends a gesture that began elsewhere (a slider
    // drag, a widget holding the mouse, a press on the window itself): it is
    // no click, and the button's look follows the pointer afterwards.
    void releaseAfterAPressElsewhereIsNoClick_data()
    {
        QTest::addColumn<QString>("pressedOn");
        QTest::newRow("slider drag") << "slider";
        QTest::newRow("widget holding the mouse") << "grabber";
        QTest::newRow("the window itself") << "window";
    }
    void releaseAfterAPressElsewhereIsNoClick()
    {
        QFETCH(QString, pressedOn);
        std::unique_ptr<CRButton> button(MakeButton());
        QSlider slider(Qt::Horizontal, m_host);
        slider.setGeometry(20, 120, 200, 20);
        CMouseHolder holder(m_host);
        holder.setGeometry(20, 150, 60, 30);
        slider.show();
        holder.show();
        QPoint from(150, 100); // nothing but the window there
        if (pressedOn == QLatin1String("slider"))
            from = slider.geometry().center();
        else if (pressedOn == QLatin1String("grabber"))
            from = holder.geometry().center();
        const int sliderValue = slider.value();
        QSignalSpy commands(button.get(), &CSkinButton::Command);

        QTest::mouseMove(Window(), from);
        QTest::mousePress(Window(), Qt::LeftButton, {}, from);
        QTest::mouseMove(Window(), At(button.get()));
        QTest::mouseRelease(Window(), Qt::LeftButton, {}, At(button.get()));
        QCoreApplication::sendPostedEvents(); // a posted command would arrive now
        QCOMPARE(commands.size(), 0);
        if (pressedOn == QLatin1String("slider"))
            QVERIFY(slider.value() != sliderValue); // the drag went to the slider
        if (pressedOn == QLatin1String("grabber"))
            QCOMPARE(holder.released, 1);
        // The look follows the pointer: over it now, normal once away, over
        // again when back...
        QCOMPARE(button->GetState(), int(CSkinButton::StateOver));
        QTest::mouseMove(Window(), QPoint(150, 100));
        QCOMPARE(button->GetState(), int(CSkinButton::StateNormal));
        QCOMPARE(Centre(button.get()), kNormal);
        QTest::mouseMove(Window(), At(button.get()));
        QCOMPARE(button->GetState(), int(CSkinButton::StateOver));
        QTest::mouseMove(Window(), QPoint(150, 100));
        QCOMPARE(button->GetState(), int(CSkinButton::StateNormal));
        // ...and a click on the button itself still counts.
        QTest::mouseMove(Window(), At(button.get()));
        QTest::mousePress(Window(), Qt::LeftButton, {}, At(button.get()));
        QTest::mouseRelease(Window(), Qt::LeftButton, {}, At(button.get()));
        QTRY_COMPARE(commands.size(), 1);
    }

    // While a modal dialog is open, the window it blocks takes no click:
    // neither a release that ends over one of its buttons after a press on
    // the dialog, nor a press held on one of its buttons when the dialog
    // opened. Buttons of the dialog itself still work.
    void modalDialogBlocksTheWindowsButtons()
    {
        std::unique_ptr<CRButton> button(MakeButton());
        QSignalSpy commands(button.get(), &CSkinButton::Command);
        // Held down when the dialog opens.
        QTest::mouseMove(Window(), At(button.get()));
        QTest::mousePress(Window(), Qt::LeftButton, {}, At(button.get()));
        QCOMPARE(button->GetState(), int(CSkinButton::StatePressed));

        QDialog dialog;
        dialog.setWindowModality(Qt::ApplicationModal);
        dialog.setGeometry(m_host->geometry().right() + 100, m_host->geometry().bottom() + 100, 120, 80);
        auto* inner = new CRButton(&dialog, 77);
        inner->setGeometry(60, 40, 40, 20);
        inner->SetImages("n.png", "o.png", "p.png", nullptr);
        dialog.show();
        QVERIFY(QTest::qWaitForWindowExposed(&dialog));
        QCOMPARE(QApplication::activeModalWidget(), &dialog);
        QWindow* dialogWindow = dialog.windowHandle();

        QTest::mouseRelease(Window(), Qt::LeftButton, {}, At(button.get()));
        QCoreApplication::sendPostedEvents();
        QCOMPARE(commands.size(), 0);
        QCOMPARE(button->GetState(), int(CSkinButton::StateNormal)); // not left pressed

        // Pressed on the dialog, released over the blocked window's button.
        const QPoint overButton = dialog.mapFromGlobal(button->mapToGlobal(QPoint(5, 5)));
        QVERIFY(!dialog.rect().contains(overButton));
        QCOMPARE(QApplication::widgetAt(button->mapToGlobal(QPoint(5, 5))), button.get());
        QTest::mouseMove(dialogWindow, QPoint(10, 10));
        QTest::mousePress(dialogWindow, Qt::LeftButton, {}, QPoint(10, 10));
        QTest::mouseMove(dialogWindow, overButton);
        QTest::mouseRelease(dialogWindow, Qt::LeftButton, {}, overButton);
        QCoreApplication::sendPostedEvents();
        QCOMPARE(commands.size(), 0);
        QVERIFY(button->GetState() != CSkinButton::StateOver && button->GetState() != CSkinButton::StatePressed);

        // The dialog's own button works.
        QSignalSpy innerCommands(inner, &CSkinButton::Command);
        QTest::mouseMove(dialogWindow, QPoint(70, 50));
        QTest::mousePress(dialogWindow, Qt::LeftButton, {}, QPoint(70, 50));
        QTest::mouseRelease(dialogWindow, Qt::LeftButton, {}, QPoint(70, 50));
        QTRY_COMPARE(innerCommands.size(), 1);
        QCOMPARE(innerCommands[0][0].toInt(), 77);

        // Once the dialog is gone, the window's button clicks again.
        dialog.close();
        QVERIFY(!QApplication::activeModalWidget());
        QTest::mouseMove(Window(), At(button.get()));
        QTest::mousePress(Window(), Qt::LeftButton, {}, At(button.get()));
        QTest::mouseRelease(Window(), Qt::LeftButton, {}, At(button.get()));
        QTRY_COMPARE(commands.size(), 1);
    }

    void selectedStateSurvivesClick_data()
    {
        QTest::addColumn<bool>("selectedPicture");
        QTest::addColumn<int>("afterClick");
        QTest::newRow("with selected picture") << true << int(CSkinButton::StateSelected);
        QTest::newRow("without selected picture") << false << int(CSkinButton::StateOver);
    }
    void selectedStateSurvivesClick()
    {
        QFETCH(bool, selectedPicture);
        QFETCH(int, afterClick);
        std::unique_ptr<CRButton> button(MakeButton());
        if (selectedPicture)
            button->SetSelectImage("s.png");
        QSignalSpy commands(button.get(), &CSkinButton::Command);
        button->SetCheck(true);
        QCOMPARE(button->GetState(), int(CSkinButton::StateSelected));
        if (selectedPicture)
            QCOMPARE(Centre(button.get()), kSelected);
        QTest::mouseMove(Window(), At(button.get()));
        QCOMPARE(button->GetState(), int(CSkinButton::StateSelected)); // hovering keeps it
        QTest::mousePress(Window(), Qt::LeftButton, {}, At(button.get()));
        QTest::mouseRelease(Window(), Qt::LeftButton, {}, At(button.get()));
        QCOMPARE(button->GetState(), afterClick);
        QTRY_COMPARE(commands.size(), 1);
        // Leaving keeps a checked button as it is.
        QTest::mouseMove(Window(), QPoint(150, 150));
        QCOMPARE(button->GetState(), afterClick);
        QVERIFY(button->IsChecked());
    }

    void disabling_data()
    {
        QTest::addColumn<bool>("disabledPicture");
        QTest::addColumn<bool>("checked");
        QTest::addColumn<int>("whileDisabled");
        QTest::newRow("picture") << true << false << int(CSkinButton::StateDisabled);
        QTest::newRow("no picture, normal") << false << false << int(CSkinButton::StateNormal);
        QTest::newRow("no picture, selected") << false << true << int(CSkinButton::StateSelected);
    }
    void disabling()
    {
        QFETCH(bool, disabledPicture);
        QFETCH(bool, checked);
        QFETCH(int, whileDisabled);
        std::unique_ptr<CRButton> button(MakeButton(disabledPicture));
        button->SetSelectImage("s.png");
        button->SetCheck(checked);
        button->setEnabled(false);
        QCOMPARE(button->GetState(), whileDisabled);
        if (disabledPicture)
            QCOMPARE(Centre(button.get()), kDisabled);
        // SetCheck is ignored only in the disabled state.
        button->SetCheck(!checked);
        QCOMPARE(button->IsChecked(), disabledPicture ? checked : !checked);
        button->setEnabled(true);
        if (disabledPicture)
            QCOMPARE(button->GetState(), int(CSkinButton::StateNormal));
    }

    void backgroundShowsThroughTransparentPictures()
    {
        auto* button = new CRButton(m_host, 1);
        std::unique_ptr<CRButton> owner(button);
        button->setGeometry(100, 50, 40, 20);
        m_hostBackground.GetImage().setPixel(120, 60, qRgb(1, 2, 3));
        button->SetImages("clear.png", "clear.png", "clear.png", &m_hostBackground);
        const QImage composed = button->ComposedImage();
        QCOMPARE(composed.pixel(20, 10), qRgb(1, 2, 3));
        QCOMPARE(composed.pixel(0, 0), kBackground);
        // Background mode 1 copies from (1, 0) of the parent's background.
        m_hostBackground.GetImage().setPixel(1, 0, qRgb(7, 7, 7));
        button->SetImages("clear.png", "clear.png", "clear.png", &m_hostBackground, QString(), 1);
        button->Redraw();
        QCOMPARE(button->ComposedImage().pixel(0, 0), qRgb(7, 7, 7));
        m_hostBackground.GetImage().fill(kBackground);
    }

    void iconsAndDisabledIcon()
    {
        std::unique_ptr<CRButton> button(MakeButton());
        Save("i0.png", Solid(QSize(4, 4), qRgb(1, 100, 1)));
        Save("i1.png", Solid(QSize(4, 4), qRgb(2, 100, 2)));
        Save("i6.png", Solid(QSize(4, 4), qRgb(6, 100, 6)));
        button->SetIconImages("i0.png", "i1.png", "", "", "", "", "i6.png", 30, 2);
        button->SetIconIndex(1);
        QCOMPARE(button->GetIconIndex(), 1);
        QCOMPARE(button->ComposedImage().pixel(31, 3), qRgb(2, 100, 2));
        button->setEnabled(false);
        QCOMPARE(button->ComposedImage().pixel(31, 3), qRgb(6, 100, 6));
        QCOMPARE(button->ComposedImage().pixel(10, 10), kDisabled);
    }

    void captionCentring()
    {
        auto* button = new CRButton(m_host, 5);
        std::unique_ptr<CRButton> owner(button);
        button->setGeometry(0, 100, 60, 30);
        SkinTextStyle style;
        style.text = QStringLiteral("II");
        style.normalColor = QColor(255, 255, 255);
        style.fontHeight = 12;
        style.align = 1;
        button->SetNinePatchImages("frame.9.png", "frame.9.png", "frame.9.png", nullptr, &style);
        // Content rows 1..30, columns 1..60, grown by the one-column stretch.
        QCOMPARE(button->TextRect(), (SkinRect{1, 1, 62, 31}));
        // Box from y = 1 to 31 and a 12-pixel font: the caption box starts at 1 + 9.
        QCOMPARE(button->CaptionBox().top, 10);
        // The caption is painted inside that box, centred across.
        const QImage shot = button->grab().toImage();
        int top = -1, left = 1000, right = -1;
        for (int y = 0; y < shot.height(); ++y)
            for (int x = 0; x < shot.width(); ++x)
                if (qRed(shot.pixel(x, y)) > 90) {
                    if (top < 0)
                        top = y;
                    left = qMin(left, x);
                    right = qMax(right, x);
                }
        QVERIFY2(top >= 10, qPrintable(QString::number(top)));
        QVERIFY(qAbs((left + right + 1) / 2.0 - 31.5) <= 1.5); // centre of the box 1..62
    }

    void missingPicturesAreReported()
    {
        auto* button = new CRButton(m_host, 1);
        std::unique_ptr<CRButton> owner(button);
        button->setGeometry(0, 0, 10, 10);
        button->SetImages("gone1.png", "gone2.png", "p.png", nullptr, "gone3.png");
        const auto calls = m_platform.CallsOf("MessageBox");
        QCOMPARE(calls.size(), 3);
        QCOMPARE(calls[0].text, QStringLiteral("Error : Fail to load normal image [GONE1.PNG]\n"));
        button->Redraw();
        QVERIFY(!button->ComposedImage().isNull()); // still paints
    }

    void tbuttonSendsAndComposesLayered()
    {
        CTButton button(m_host);
        button.setGeometry(400, 400, 40, 20);
        button.SetCommandId(1080);
        SkinTextStyle style;
        style.text = QStringLiteral("W");
        style.normalColor = QColor(0, 0, 255);
        style.overColor = QColor(0, 0, 255);
        style.pressColor = QColor(0, 0, 255);
        style.fontHeight = 11;
        style.align = 1;
        Save("half.9.png", [] {
            // Left half opaque dark red, right half transparent; content box everywhere.
            QImage img(42, 22, QImage::Format_ARGB32);
            img.fill(qRgba(255, 255, 255, 0));
            for (int y = 1; y < 21; ++y)
                for (int x = 1; x < 21; ++x)
                    img.setPixel(x, y, qRgb(100, 0, 0));
            img.setPixel(5, 0, qRgb(0, 0, 0));
            for (int y = 1; y <= 20; ++y)
                img.setPixel(41, y, qRgb(0, 0, 0));
            for (int x = 1; x <= 40; ++x)
                img.setPixel(x, 21, qRgb(0, 0, 0));
            return img;
        }());
        button.SetNinePatchImages("half.9.png", "half.9.png", "half.9.png", &style);
        button.show();
        QVERIFY(QTest::qWaitForWindowExposed(&button));
        QVERIFY(button.isWindow());
        const QImage layered = button.LayeredImage();
        QCOMPARE(qAlpha(layered.pixel(38, 1)), 0); // transparent where the picture is
        // The caption's colour is added onto the picture without changing its alpha.
        bool added = false;
        for (int y = 0; y < 20; ++y)
            for (int x = 0; x < 20; ++x) {
                const QRgb px = layered.pixel(x, y);
                QCOMPARE(qAlpha(px), 255);
                QCOMPARE(qRed(px), 100);
                added |= qBlue(px) > 0;
            }
        QVERIFY(added);

        QSignalSpy commands(&button, &CSkinButton::Command);
        QTest::mouseMove(button.windowHandle(), QPoint(10, 10));
        QTest::mousePress(button.windowHandle(), Qt::LeftButton, {}, QPoint(10, 10));
        QTest::mouseRelease(button.windowHandle(), Qt::LeftButton, {}, QPoint(10, 10));
        QCOMPARE(commands.size(), 1); // sent, not posted
        QCOMPARE(commands[0][0].toInt(), 1080);

        button.SetMouseActivate(false);
        QVERIFY(button.windowFlags().testFlag(Qt::WindowDoesNotAcceptFocus));
        QVERIFY(button.isVisible());
        // The balloon goes below-right of the button, without offsets, and
        // is not moved again while it shows.
        button.SetBalloonText(QStringLiteral("Initialize"));
        QTest::mouseMove(button.windowHandle(), QPoint(12, 10));
        const QPoint corner = button.mapToGlobal(QPoint(0, 0));
        QCOMPARE(button.Balloon()->pos(), corner + QPoint(8, 20 + 8));
        button.move(button.pos() + QPoint(30, 0));
        QTest::mouseMove(button.windowHandle(), QPoint(14, 10));
        QCOMPARE(button.Balloon()->pos(), corner + QPoint(8, 20 + 8));
    }

    void balloonPlacement()
    {
        std::unique_ptr<CRButton> button(MakeButton());
        button->SetBalloonText(QStringLiteral("Swap pictures"));
        button->SetBalloonOffset(-25, 3);
        CSkinBalloonTip* balloon = button->Balloon();
        QVERIFY(balloon);
        QCOMPARE(balloon->height(), 27);
        QVERIFY(balloon->width() > 25);
        QVERIFY(!balloon->isVisible());
        QTest::mouseMove(Window(), At(button.get()));
        QVERIFY(balloon->isVisible());
        const QPoint corner = button->mapToGlobal(QPoint(0, 0));
        QCOMPARE(balloon->pos(), QPoint(corner.x() + 3 + 8, corner.y() + 20 - 25 + 8));
        QTest::mouseMove(Window(), QPoint(150, 150));
        QVERIFY(!balloon->isVisible());
    }

    void imageNumValues_data()
    {
        QTest::addColumn<QList<int>>("values");
        QTest::addColumn<QList<int>>("digits");
        QTest::newRow("7 shows 007") << QList<int>{7} << QList<int>{0, 0, 7};
        QTest::newRow("999") << QList<int>{999} << QList<int>{9, 9, 9};
        QTest::newRow("1000 ignored") << QList<int>{305, 1000} << QList<int>{3, 0, 5};
        QTest::newRow("-1 ignored") << QList<int>{42, -1} << QList<int>{0, 4, 2};
    }
    void imageNumValues()
    {
        QFETCH(QList<int>, values);
        QFETCH(QList<int>, digits);
        CRImageNum number(m_host);
        number.setGeometry(10, 150, 12, 6);
        number.SetBackground(&m_hostBackground);
        for (int v : values)
            number.SetValue(v);
        const QImage img = number.ComposedImage();
        for (int i = 0; i < 3; ++i)
            QCOMPARE(img.pixel(i * 4 + 1, 2), qRgb(20 * digits[i] + 10, 100, 255 - 20 * digits[i]));
        number.setEnabled(false);
        const QImage off = number.ComposedImage();
        for (int i = 0; i < 3; ++i)
            QCOMPARE(off.pixel(i * 4 + 1, 2), qRgb(210, 100, 55));
    }

    void alphaTextPlacement_data()
    {
        QTest::addColumn<int>("rule");
        QTest::addColumn<int>("align");
        QTest::addColumn<SkinRect>("box");
        QTest::addColumn<QSize>("size");
        QTest::addColumn<QPoint>("expected");
        using R = SkinAlphaText::VerticalRule;
        // Spare 11 x 7: halves rounded up (6, 4) for the standard rule.
        QTest::newRow("round up, centred") << int(R::RoundUpClamp) << 1 << SkinRect{10, 20, 41, 37} << QSize(20, 10) << QPoint(16, 24);
        QTest::newRow("round up, left") << int(R::RoundUpClamp) << 0 << SkinRect{10, 20, 41, 37} << QSize(20, 10) << QPoint(10, 24);
        QTest::newRow("round up, even spare") << int(R::RoundUpClamp) << 1 << SkinRect{0, 0, 30, 30} << QSize(20, 10) << QPoint(5, 10);
        QTest::newRow("round up, text too big") << int(R::RoundUpClamp) << 1 << SkinRect{5, 5, 10, 10} << QSize(20, 10) << QPoint(5, 5);
        QTest::newRow("static text, minus two") << int(R::TruncateMinusTwo) << 0 << SkinRect{10, 20, 41, 37} << QSize(20, 10) << QPoint(10, 21);
        QTest::newRow("static text, not clamped") << int(R::TruncateMinusTwo) << 0 << SkinRect{0, 0, 30, 6} << QSize(20, 10) << QPoint(0, -4);
        QTest::newRow("balloon, truncated") << int(R::TruncateClamp) << 1 << SkinRect{10, 20, 41, 37} << QSize(20, 10) << QPoint(16, 23);
        QTest::newRow("balloon, clamped") << int(R::TruncateClamp) << 1 << SkinRect{0, 0, 30, 6} << QSize(20, 10) << QPoint(5, 0);
    }
    void alphaTextPlacement()
    {
        QFETCH(int, rule);
        QFETCH(int, align);
        QFETCH(SkinRect, box);
        QFETCH(QSize, size);
        QFETCH(QPoint, expected);
        QCOMPARE(SkinAlphaText::Place(box, size, align, SkinAlphaText::VerticalRule(rule)), expected);
    }

    void alphaTextRendering()
    {
        const QFont font = MakeSkinFont(20);
        QVERIFY(SkinAlphaText::Render(QString(), font, Qt::white).isNull());
        const QImage text = SkinAlphaText::Render(QStringLiteral("I"), font, QColor(255, 128, 0));
        QVERIFY(!text.isNull());
        // Premultiplied, alpha = coverage; a fully covered pixel carries the colour scaled by 255/256.
        bool full = false;
        for (int y = 0; y < text.height(); ++y)
            for (int x = 0; x < text.width(); ++x) {
                const QRgb px = text.pixel(x, y);
                QVERIFY(qRed(px) <= qAlpha(px) && qGreen(px) <= qAlpha(px));
                if (qAlpha(px) == 255) {
                    full = true;
                    QCOMPARE(qRed(px), 254);
                    QCOMPARE(qGreen(px), 127);
                }
            }
        QVERIFY(full);
        const QImage additive = SkinAlphaText::Render(QStringLiteral("I"), font, QColor(255, 128, 0),
                                                      SkinAlphaText::AlphaMode::Zero);
        for (int y = 0; y < additive.height(); ++y)
            for (int x = 0; x < additive.width(); ++x)
                QCOMPARE(qAlpha(additive.pixel(x, y)), 0);
    }

    void staticTextDrawsAboveCentreAndPassesMouse()
    {
        auto* label = new CRStaticText(m_host);
        std::unique_ptr<CRStaticText> owner(label);
        label->setGeometry(50, 120, 60, 30);
        SkinTextStyle style;
        style.text = QStringLiteral("T");
        style.normalColor = QColor(255, 255, 255);
        const QFont font = MakeSkinFont(13);
        label->SetImage(QString(), font, &m_hostBackground, style);
        QCOMPARE(label->TextBox(), (SkinRect{0, 0, 60, 30}));
        const QImage rendered = SkinAlphaText::Render(style.text, font, Qt::white);
        auto inkTop = [](const QImage& img, int threshold) {
            for (int y = 0; y < img.height(); ++y)
                for (int x = 0; x < img.width(); ++x)
                    if (qRed(img.pixel(x, y)) > threshold)
                        return y;
            return -1;
        };
        const int expectedTop = (30 - rendered.height()) / 2 - 2 + inkTop(rendered, 128);
        QCOMPARE(inkTop(label->ComposedImage(), 128), expectedTop);

        label->SetImage("frame.9.png", font, &m_hostBackground, style);
        QCOMPARE(label->TextBox(), (SkinRect{1, 1, 62, 31}));

        CMouseLog log;
        m_host->installEventFilter(&log);
        m_host->setMouseTracking(true); // a parent that follows the pointer, as the main window does
        label->show();
        QTest::mouseMove(Window(), label->mapTo(m_host, QPoint(7, 8)));
        QTest::mousePress(Window(), Qt::LeftButton, {}, label->mapTo(m_host, QPoint(7, 8)));
        QTest::mouseRelease(Window(), Qt::LeftButton, {}, label->mapTo(m_host, QPoint(7, 8)));
        m_host->removeEventFilter(&log);
        m_host->setMouseTracking(false);
        // Each event reaches the parent once, in the label's own coordinates.
        QList<QEvent::Type> types;
        for (const auto& e : log.entries) {
            QCOMPARE(e.pos, QPoint(7, 8));
            types.append(e.type);
        }
        QCOMPARE(types, (QList<QEvent::Type>{QEvent::MouseMove, QEvent::MouseButtonPress, QEvent::MouseButtonRelease}));
    }
};

QTEST_MAIN(TestSkinControls)
#include "tst_skincontrols.moc"
