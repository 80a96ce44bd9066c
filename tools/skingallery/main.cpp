// Skin gallery: the skin at work and at rest. A mock-up of the main window
// built from the real pictures and controls, the drop-down menus, panels and
// balloons, the play list in its states (in English and with the Korean
// table the viewer runs with), the full-screen caption and control box over
// the demo card's picture, the device information dialog for several
// records, every control in every state, and every picture of the image
// library (stretched pictures at the sizes the viewer uses).
//
//   kestrav_skingallery                    opens the gallery window
//   kestrav_skingallery --screenshot FILE  saves it as a PNG and quits
#include "PeWriter.h"
#include "skin/SkinBalloonTip.h"
#include "skin/RButton.h"
#include "skin/RImageNum.h"
#include "skin/RListCtrl.h"
#include "skin/RScrollBar.h"
#include "skin/RStaticText.h"
#include "skin/SkinBlit.h"
#include "skin/SkinImage.h"
#include "skinart/SkinPictureList.h"
#include "skin/SkinSlider.h"
#include "skin/SkinText.h"
#include "skin/TBalloon.h"
#include "skin/TButton.h"
#include "skin/TDropBox.h"
#include "skin/TDropBriSpd.h"
#include "skin/TDropVol.h"
#include "skin/TSliderCtrl.h"
#include "lang/Lang.h"
#include "lang/LangFonts.h"
#include "windows/CarInfoViewer.h"
#include "windows/GPSViewer.h"
#include "windows/BbInfoDlg.h"
#include "windows/FullScrCaption.h"
#include "windows/FullScrControlBox.h"
#include "windows/WindowsIds.h"
#include "writers/DemoCard.h"
#include "support/TestPictureReader.h"

#include <QApplication>
#include <QBuffer>
#include <QCommandLineParser>
#include <QMouseEvent>
#include <QPainter>
#include <QPainterPath>
#include <QResource>
#include <QScrollArea>
#include <QTemporaryDir>

#include <cmath>
#include <functional>
#include <memory>

namespace {
const QColor kPage(19, 21, 25);
const QColor kHeading(218, 228, 236);
const QColor kNote(120, 138, 156);
const QColor kAccent(63, 168, 235);
constexpr int kCanvasWidth = 1900;

CSkinImage* Skin() { return CSkinImage::GetInstance(); }

// A surface with one picture drawn plain or stretched.
QImage Picture(const QString& name, QSize size = QSize())
{
    CSkinSurface s;
    if (size.isEmpty()) {
        SkinRect r;
        Skin()->GetImageSize(name, &r);
        size = QSize(r.Width(), r.Height());
    }
    if (!s.Create(size.width(), size.height()))
        return QImage();
    if (name.endsWith(QLatin1String(".9.png")) || name.startsWith(QLatin1String("btn_menu")))
        Skin()->DrawNinePatch(s, name);
    else
        Skin()->DrawImage(s, name);
    return s.GetImage();
}

void Blend(QImage& target, const QImage& picture, QPoint at)
{
    SkinBlit::AlphaBlend(target, at.x(), at.y(), picture.width(), picture.height(), picture, 0, 0);
}

void Text(QPainter& p, const QRect& box, const QString& text, const QColor& colour, int cell, int flags = Qt::AlignLeft | Qt::AlignVCenter,
          int weight = QFont::Normal)
{
    p.save();
    p.setFont(MakeSkinFont(cell, weight));
    p.setPen(colour);
    p.drawText(box, flags, text);
    p.restore();
}

// Puts a button into a state the way the pointer would.
void DriveState(CSkinButton* button, int state)
{
    const QPointF centre(button->width() / 2.0, button->height() / 2.0);
    const QPointF global = button->mapToGlobal(centre);
    if (state == CSkinButton::StateOver || state == CSkinButton::StatePressed) {
        QMouseEvent move(QEvent::MouseMove, centre, global, Qt::NoButton, Qt::NoButton, Qt::NoModifier);
        QCoreApplication::sendEvent(button, &move);
    }
    if (state == CSkinButton::StatePressed) {
        QMouseEvent press(QEvent::MouseButtonPress, centre, global, Qt::LeftButton, Qt::LeftButton, Qt::NoModifier);
        QCoreApplication::sendEvent(button, &press);
    }
    if (state == CSkinButton::StateSelected)
        button->SetCheck(true);
    if (state == CSkinButton::StateDisabled)
        button->setEnabled(false);
}

SkinTextStyle Caption(const QString& text, int height, QColor normal = QColor(140, 169, 188))
{
    SkinTextStyle s;
    s.text = text;
    s.normalColor = normal;
    s.disabledColor = QColor(64, 68, 71);
    s.overColor = Qt::white;
    s.pressColor = Qt::white;
    s.fontHeight = height;
    s.align = 1;
    return s;
}

void FillList(CRListCtrl* list, int count, int firstPairs, const QString& prefix = QString());

// ------------------------------------------------------------------------
// The main window at its initial size, composed as the viewer composes it.
class CMockMainWindow : public QWidget
{
public:
    static constexpr int W = 965, H = 711;

    explicit CMockMainWindow(QWidget* parent) : QWidget(parent)
    {
        resize(W, H);
        BuildBackground();
        CreateControls();
    }

    const CSkinSurface& Background() const { return m_background; }

protected:
    void paintEvent(QPaintEvent*) override
    {
        QPainter p(this);
        p.drawImage(0, 0, m_background.GetImage());
        // Plain statics (their colours as the window gives them).
        Text(p, QRect(7, 83, 61, 17), QStringLiteral("Front"), QColor(218, 228, 236), 15);
        Text(p, QRect(W - 288, 83, 65, 17), QStringLiteral("Rear"), QColor(218, 228, 236), 15);
        Text(p, QRect(W - 288, 360, 40, 15), QStringLiteral("Map"), QColor(218, 228, 236), 15);
        Text(p, QRect(W - 315, 397, 200, 17), QStringLiteral("Play List"), QColor(218, 228, 236), 15);
        Text(p, QRect(13, H - 228, 70, 15), QStringLiteral("00:01:23 /"), QColor(63, 168, 235), 14);
        Text(p, QRect(77, H - 228, 70, 15), QStringLiteral("00:04:10"), QColor(162, 172, 185), 14);
        Text(p, QRect(W - 114, H - 16, 91, 16), QStringLiteral("Ver 1.0.0.00"), QColor(182, 199, 215), 13,
             Qt::AlignRight | Qt::AlignVCenter);
    }

private:
    void BuildBackground()
    {
        m_background.Create(W, H);
        QImage& bg = m_background.GetImage();
        bg.fill(Qt::white);
        Blend(bg, Picture("bg.9.png", QSize(W, H)), QPoint(0, 0));
        Blend(bg, Picture("gps_bg.9.png", QSize(W - 496, 92)), QPoint(8, H - 122));
        const QImage car = Picture("carinfo_bg.9.png", QSize(W - 818, 92));
        SkinBlit::AlphaBlend(bg, W - 478, H - 122, 147, 92, car, 0, 0);
        // The pictures in their areas: front idle picture, rear idle picture.
        QPainter p(&bg);
        p.drawImage(QRect(2, 109, 640, 360), Picture("view_front.png"));
        const QImage title = Picture("view_title.png");
        p.drawImage(QPoint(2 + 320 - 83, 109 + 180 - 22), title);
        p.drawImage(QRect(643, 109, 320, 240), Picture("view_rear.png"));
        // Area frames.
        p.setPen(Qt::black);
        p.drawLine(0, 108, 0, 469);
        p.drawLine(0, 469, 642, 469);
        p.drawLine(642, 108, 642, 469);
        p.drawLine(1, 108, 1, 469);
        p.drawLine(642, 108, 963, 108);
        p.drawLine(963, 108, 963, 350);
        p.end();
        Blend(bg, Picture("bg_title.9.png", QSize(W - 323, 37)), QPoint(1, 71));
        const QImage right = Picture("bg_title_right.9.png", QSize(322, 37));
        for (int y : {71, 349, 386})
            Blend(bg, right, QPoint(W - 323, y));
        // Title badges: brand button width 96 -> model badge at 121, device icon after it.
        Blend(bg, Picture("bi_cmv550view.png"), QPoint(121, 19 - 9));
        Blend(bg, Picture("ic_blackbox.png"), QPoint(121 + 6 + 105, 19 - 12));
        Blend(bg, Picture("ic_expand.png"), QPoint(W - 18, H - 18));
        // Position slider at 40 %, speed gauge at 87 km/h, acceleration graph.
        QPainter q(&bg);
        q.drawImage(QPoint(0, H - 242), Picture("progress_bg.9.png", QSize(643, 7)));
        q.drawImage(QPoint(0, H - 242), Picture("progress_bar.9.png", QSize(257, 7)));
        q.drawImage(QPoint(253, H - 242), Picture("progress_point.png"));
        q.drawImage(QPoint(14, H - 42), Picture("speed_gauge_no.png"));
        q.drawImage(QPoint(14, H - 42), Picture("speed_gauge_full.png").copy(0, 0, 135 * 87 / 200, 8));
    }

    CRButton* Button(int id, QRect r, const char* n, const char* o, const char* pr, const char* dis = "")
    {
        auto* b = new CRButton(this, id);
        b->setGeometry(r);
        b->SetImages(n, o, pr, &m_background, dis);
        return b;
    }

    void CreateControls()
    {
        Button(1001, QRect(W - 45, 0, 29, 36), "btn_close_nor.png", "btn_close_over.png", "btn_close_press.png");
        Button(1002, QRect(W - 103, 0, 29, 36), "btn_minimum_nor.png", "btn_minimum_over.png", "btn_minimum_press.png");
        Button(1003, QRect(W - 74, 0, 29, 36), "btn_full_nor.png", "btn_full_over.png", "btn_full_press.png");
        Button(1306, QRect(10, 6, 96, 26), "bi_orvia.png", "bi_orvia_over.png", "bi_orvia_press.png");
        const QFont menuFont = MakeSkinFont(14);
        const int fileWidth = QFontMetrics(menuFont).horizontalAdvance(QStringLiteral("File")) + 27;
        const int settingsWidth = QFontMetrics(menuFont).horizontalAdvance(QStringLiteral("Settings")) + 35;
        auto* file = new CRButton(this, 1004);
        file->setGeometry(6, 42, fileWidth, 27);
        SkinTextStyle fileStyle = Caption(QStringLiteral("File"), 14);
        file->SetNinePatchImages("btn_menu_nor.png", "btn_menu_over.png", "btn_menu_press.png", &m_background, &fileStyle,
                                 "btn_menu_dis.png");
        auto* settings = new CRButton(this, 1006);
        settings->setGeometry(6 + fileWidth + 14, 42, settingsWidth, 27);
        SkinTextStyle settingsStyle = Caption(QStringLiteral("Settings"), 14);
        settings->SetNinePatchImages("btn_menu_nor.png", "btn_menu_over.png", "btn_menu_press.png", &m_background,
                                     &settingsStyle, "btn_menu_dis.png");
        DriveState(settings, CSkinButton::StateOver);

        Button(1300, QRect(W - 317, 77, 27, 27), "btn_folding_up_nor.png", "btn_folding_up_over.png", "btn_folding_up_press.png", "btn_folding_up_dis.png");
        Button(1301, QRect(W - 317, 355, 27, 27), "btn_folding_down_nor.png", "btn_folding_down_over.png", "btn_folding_down_press.png", "btn_folding_down_dis.png");
        Button(1302, QRect(W - 386, 77, 27, 27), "btn_expand_normal.png", "btn_expand_over.png", "btn_expand_press.png", "btn_expand_dis.png");
        Button(1303, QRect(W - 356, 77, 27, 27), "btn_change_normal.png", "btn_change_over.png", "btn_change_press.png", "btn_change_dis.png");

        Button(1103, QRect(90, H - 201, 60, 60), "btn_pre_normal.png", "btn_pre_over.png", "btn_pre_press.png", "btn_pre_dim.png");
        Button(1105, QRect(161, H - 201, 60, 60), "btn_sec1_normal.png", "btn_sec1_over.png", "btn_sec1_press.png", "btn_sec1_dim.png");
        Button(1101, QRect(232, H - 214, 86, 86), "btn_pause_normal.png", "btn_pause_over.png", "btn_pause_press.png", "btn_pause_dim.png");
        Button(1102, QRect(329, H - 214, 86, 86), "btn_stop_normal.png", "btn_stop_over.png", "btn_stop_press.png", "btn_stop_dim.png");
        Button(1106, QRect(426, H - 201, 60, 60), "btn_sec2_normal.png", "btn_sec2_over.png", "btn_sec2_press.png", "btn_sec2_dim.png");
        Button(1104, QRect(497, H - 201, 60, 60), "btn_next_normal.png", "btn_next_over.png", "btn_next_press.png", "btn_next_dim.png");
        CRButton* connect = Button(1111, QRect(459, H - 230, 36, 24), "btn_connect_off_normal.png", "btn_connect_over.png", "btn_connect_press.png", "btn_connect_dis.png");
        connect->SetSelectImage("btn_connect_on_normal.png");
        connect->SetCheck(true);
        Button(1107, QRect(495, H - 230, 36, 24), "btn_size_normal.png", "btn_size_over.png", "btn_size_press.png", "btn_size_dis.png");
        Button(1108, QRect(531, H - 230, 36, 24), "btn_setting_normal.png", "btn_setting_over.png", "btn_setting_press.png", "btn_setting_dis.png");
        Button(1109, QRect(567, H - 230, 36, 24), "btn_save_normal.png", "btn_save_over.png", "btn_save_press.png", "btn_save_dis.png");
        CRButton* volume = Button(1110, QRect(603, H - 230, 36, 24), "btn_volume_normal.png", "btn_volume_over.png", "btn_volume_press.png", "btn_volume_dis.png");
        volume->SetIconImages("ic_volume_mute.png", "ic_volume_01.png", "ic_volume_02.png", "ic_volume_03.png",
                              "ic_volume_04.png", "ic_volume_05.png", "ic_volume_mute.png", 18, 4);
        volume->SetIconIndex(3);
        Button(1307, QRect(104, H - 74, 39, 17), "speed_km.png", "speed_km.png", "speed_km.png", "speed_km_dis.png");

        auto* speed = new CRImageNum(this);
        speed->setGeometry(27, H - 98, 72, 43);
        speed->SetBackground(&m_background);
        speed->SetValue(87);

        const QFont time = MakeSkinFont(14, QFont::Normal, QStringLiteral("DejaVu Sans"));
        auto axis = [&](int y, const QString& text, QColor c) {
            auto* label = new CRStaticText(this);
            label->setGeometry(163, y, 50, 13);
            SkinTextStyle style;
            style.text = text;
            style.normalColor = c;
            style.align = 1;
            label->SetImage(QString(), MakeSkinFont(13), &m_background, style);
        };
        axis(H - 109, QStringLiteral("X : 0.25"), QColor(107, 237, 61));
        axis(H - 81, QStringLiteral("Y :-0.06"), QColor(243, 55, 46));
        axis(H - 53, QStringLiteral("Z : 1.02"), QColor(83, 187, 253));
        auto title = [&](QRect r, const QString& text) {
            auto* label = new CRStaticText(this);
            label->setGeometry(r);
            SkinTextStyle style;
            style.text = text;
            style.normalColor = QColor(63, 168, 235);
            label->SetImage("bg_text.9.png", MakeSkinFont(13), &m_background, style);
        };
        title(QRect(76, 79, 207, 22), QStringLiteral("20240312_082522_F.AVI"));
        title(QRect(W - 215, 79, 207, 22), QStringLiteral("20240312_082522_R.AVI"));
        auto* vehicle = new CRStaticText(this);
        vehicle->setGeometry(495, H - 115, 129, 20);
        SkinTextStyle vehicleStyle;
        vehicleStyle.text = QStringLiteral("Vehicle signals");
        vehicleStyle.normalColor = QColor(93, 108, 129);
        vehicle->SetImage(QString(), MakeSkinFont(12), &m_background, vehicleStyle);

        auto tab = [&](int id, QRect r, const char* set, const QString& text, bool selected, bool main) {
            auto* b = new CRButton(this, id);
            b->setGeometry(r);
            SkinTextStyle style = Caption(text, 13, QColor(163, 183, 203));
            const QString stem = QString::fromLatin1(set);
            b->SetNinePatchImages(stem + "_normal.9.png", stem + "_over.9.png", stem + "_press.9.png", &m_background, &style,
                                  stem + "_dis.9.png");
            if (main)
                b->SetSelectNinePatch(stem + "_selected.9.png");
            if (selected)
                b->SetCheck(true);
        };
        tab(1251, QRect(W - 323, 423, 81, 27), "list_menu01", QStringLiteral("Continuous"), true, true);
        tab(1252, QRect(W - 242, 423, 80, 27), "list_menu02", QStringLiteral("Parking"), false, true);
        tab(1253, QRect(W - 162, 423, 81, 27), "list_menu02", QStringLiteral("Manual"), false, true);
        tab(1254, QRect(W - 82, 423, 82, 27), "list_menu01", QStringLiteral("Location"), false, true);
        tab(1255, QRect(W - 323, 450, 161, 20), "list_sub_menu01", QStringLiteral("Continuous recording"), false, false);
        tab(1256, QRect(W - 162, 450, 162, 20), "list_sub_menu02", QStringLiteral("Event recording"), false, false);

        // The play list with pairs, the playing recording and the focus.
        auto* list = new CRListCtrl(this);
        list->setGeometry(W - 323, 470, 322, 220);
        FillList(list, 30, 8);
        list->SetTopIndex(0);
        list->SetPlayingByName(QStringLiteral("20240312_082522_F.AVI"));
        list->SetFocusedByName(QStringLiteral("20240312_083522_F.AVI"));

        // The telemetry panels: the acceleration graph with the playing
        // position at 40 %, and the signals with the left turn and the brake on.
        auto* graph = new CGPSViewer(this);
        graph->setGeometry(GraphPlace());
        graph->CaptureBackground(m_background);
        graph->DrawGraph(DriveSeries(121));
        graph->SetPositionLine(40);
        auto* signals_ = new CCarInfoViewer(this);
        signals_->setGeometry(CarInfoPlace());
        signals_->CaptureBackground(m_background);
        signals_->SetStatus(1, 1, 0, 1);
    }

public:
    static QRect GraphPlace() { return QRect(220, H - 115, 254, 78); }
    static QRect CarInfoPlace() { return QRect(487, H - 89, 147, 51); }

    // An acceleration series that looks like a drive: X sways, Y pulls and
    // brakes, Z stays near 1 g (128) with the road's bumps.
    static std::vector<CGSensorData> DriveSeries(int n)
    {
        std::vector<CGSensorData> out;
        for (int k = 0; k < n; ++k) {
            const double t = n > 1 ? double(k) / (n - 1) : 0.0;
            out.emplace_back(int(60 * std::sin(t * 7) * (1 - t * 0.5)), int(35 * std::sin(t * 12 + 1) - (t > 0.8 ? 90 * (t - 0.8) / 0.2 : 0)),
                             int(128 + 30 * std::sin(t * 19)));
        }
        return out;
    }

    CSkinSurface m_background;
};

// ------------------------------------------------------------------------
// The drop-down windows, composed as they show (without showing them).

// Hovers entry `index` of a box (or presses it) the way the pointer would.
void PointAtEntry(CTDropBox* box, int index, bool press = false)
{
    const SkinRect r = box->Items()[size_t(index)].itemRect;
    const QPointF c((r.left + r.right) / 2.0, (r.top + r.bottom) / 2.0);
    QMouseEvent move(QEvent::MouseMove, c, box->mapToGlobal(c), Qt::NoButton, Qt::NoButton, Qt::NoModifier);
    QCoreApplication::sendEvent(box, &move);
    if (press) {
        QMouseEvent down(QEvent::MouseButtonPress, c, box->mapToGlobal(c), Qt::LeftButton, Qt::LeftButton, Qt::NoModifier);
        QCoreApplication::sendEvent(box, &down);
    }
}

CTDropBox* MakeBox(QWidget* owner, const char* background, QSize size, QColor normal = Qt::black)
{
    auto* box = new CTDropBox(owner);
    box->resize(size);
    box->SetImages(QString::fromLatin1(background), "list_bg_press.9.png", "list_bg_over.9.png");
    box->SetTextColors(normal, Qt::white);
    return box;
}

QString Text(const char* key)
{
    return LangText(QString::fromLatin1(key));
}

// The speed panel with its slider and button where the panel places them.
QImage SpeedPanelImage(QWidget* owner, float speed, bool resetHovered)
{
    auto* panel = new CTDropBriSpd(owner);
    panel->resize(151, 97);
    panel->SetSpeed(speed);
    QImage img = panel->LayeredImage().copy();
    CTSliderCtrl* slider = panel->SpeedSlider();
    slider->resize(75, 11);
    slider->SetValue(float(CTDropBriSpd::SpeedIndex(speed)));
    CTButton* reset = panel->ResetButton();
    if (resetHovered)
        DriveState(reset, CSkinButton::StateOver);
    QPainter p(&img);
    p.drawImage(QPoint(58, 39), slider->ComposedImage());
    p.drawImage(QPoint(31, 60), reset->LayeredImage());
    return img;
}

QImage VolumePanelImage(QWidget* owner, int volume)
{
    auto* panel = new CTDropVol(owner);
    panel->resize(43, 116);
    panel->SetVolume(volume);
    QImage img = panel->LayeredImage().copy();
    CTSliderCtrl* slider = panel->VolumeSlider();
    slider->resize(11, 75);
    slider->SetValue(float(100 - volume));
    QPainter p(&img);
    p.drawImage(QPoint(16, 13), slider->ComposedImage());
    return img;
}

// Recordings as a card holds them: front/rear pairs and single fronts.
void FillList(CRListCtrl* list, int count, int firstPairs, const QString& prefix)
{
    int minute = 15;
    for (int i = 0; i < count;) {
        const QString stem = prefix + QStringLiteral("20240312_%1%2%3")
                                          .arg(8 + minute / 60, 2, 10, QLatin1Char('0'))
                                          .arg(minute % 60, 2, 10, QLatin1Char('0'))
                                          .arg(22);
        const qint64 front = 58LL * 1048576 + qint64(i * 7919 % 900) * 1048576 / 1000;
        if (i < firstPairs && i + 1 < count) {
            list->AddItem(stem + QStringLiteral("_F.AVI"), 0, QString(), front, 1);
            list->AddItem(stem + QStringLiteral("_R.AVI"), 0, QString(), front / 2, 2);
            i += 2;
        } else {
            list->AddItem(stem + QStringLiteral("_F.AVI"), 0, QString(), i == count - 1 ? 5368709120LL + 123456789 : front, 0);
            ++i;
        }
        minute += 10;
    }
    list->Refresh();
}

// ------------------------------------------------------------------------
class CGallery : public QWidget
{
public:
    CGallery()
    {
        m_brandDir.reset(new QTemporaryDir);
        int y = 16;
        y = Heading(y, QStringLiteral("Kestrav skin"), QStringLiteral("The main window at 965 x 711, composed from the image library with the skinned controls"));
        m_main = new CMockMainWindow(this);
        m_main->move(20, y);
        BuildOverlays(QPoint(1010, y));
        y += CMockMainWindow::H + 50;
        y = Heading(y, QStringLiteral("Device information (CBbInfoDlg)"), QStringLiteral("the demo card  ·  with the Korean table  ·  a record without safe-driving version and with a long MICOM text  ·  no memory card"));
        y = BuildDeviceDialogs(y);
        y = Heading(y + 10, QStringLiteral("Play list"), QStringLiteral("rows, pairs, playing, focus, a held row, the hint of an empty category, the context menu  ·  English and the Korean table"));
        y = BuildListSection(y);
        y = Heading(y + 10, QStringLiteral("Controls in every state"), QStringLiteral("normal  ·  over  ·  pressed  ·  selected  ·  disabled"));
        y = BuildStates(y);
        y = Heading(y + 10, QStringLiteral("Telemetry panels"),
                    QStringLiteral("vehicle signals: off  ·  all on  ·  brake only      acceleration graph: cleared  ·  series with the position at 40 %  ·  one sample  ·  cleared after playing"));
        y = BuildPanels(y);
        y = Heading(y + 10, QStringLiteral("Scroll bars and sliders"), QStringLiteral("normal  ·  thumb hovered  ·  thumb dragged  ·  nothing to scroll / locked / disabled"));
        y = BuildValueControls(y);
        y = Heading(y + 10, QStringLiteral("Image library"), QStringLiteral("%1 pictures; stretched ones at the sizes the viewer uses").arg(SkinPictureList().size()));
        y = BuildPictures(y);
        setFixedSize(kCanvasWidth, y + 20);
    }

protected:
    void paintEvent(QPaintEvent*) override
    {
        QPainter p(this);
        p.fillRect(rect(), kPage);
        for (const auto& [pos, text, note] : m_headings) {
            Text(p, QRect(pos, QSize(900, 26)), text, kHeading, 22, Qt::AlignLeft | Qt::AlignVCenter, QFont::Bold);
            p.fillRect(QRect(pos + QPoint(0, 28), QSize(40, 2)), kAccent);
            Text(p, QRect(pos + QPoint(0, 32), QSize(1500, 16)), note, kNote, 14);
        }
        for (const Placed& item : m_placed) {
            if (item.frame)
                p.fillRect(QRect(item.at - QPoint(6, 6), item.image.size() + QSize(12, 12)), QColor(29, 33, 38));
            p.drawImage(item.at, item.image);
            if (!item.label.isEmpty())
                Text(p, QRect(item.at + QPoint(-4, item.image.height() + 6), QSize(std::max(item.image.width() + 8, 120), 14)),
                     item.label, kNote, 12);
        }
    }

private:
    struct Placed {
        QPoint at;
        QImage image;
        QString label;
        bool frame = false;
    };

    int Heading(int y, const QString& text, const QString& note)
    {
        m_headings.push_back({QPoint(20, y), text, note});
        return y + 60;
    }

    void Place(QPoint at, const QImage& image, const QString& label = QString(), bool frame = false)
    {
        m_placed.push_back({at, image, label, frame});
    }

    void BuildOverlays(QPoint origin)
    {
        // Full-screen view: caption and control box over the front picture.
        const QSize screen(870, 420);
        QImage video(screen, QImage::Format_ARGB32_Premultiplied);
        {
            QPainter p(&video);
            // The demo card's front picture, as the full-screen view shows it.
            TestPictureParams frame;
            frame.size = screen;
            frame.frameNumber = 83 * 30;
            frame.seconds = 83.0;
            frame.clockStart = QDateTime(QDate(2024, 5, 6), QTime(8, 15, 22), Qt::UTC);
            p.drawImage(0, 0, RenderTestPicture(frame));
            // The real overlays over the picture, composed as they show: the
            // caption for the demo card's camera, the control box playing.
            CFullScrCaption caption(this);
            caption.resize(screen.width(), WindowsIds::kCaptionHeight);
            caption.SetDevice(DemoDeviceRecord("CMV550View(V2)"), QString());
            caption.SetTitle(QStringLiteral("20240506_081522_F.MP4"));
            p.drawImage(0, 0, caption.ComposedPicture());
            CFullScrControlBox box(this);
            box.SetCurrentTime(83);
            box.SetTotalTime(250);
            box.SetSliderValue(33.0f);
            box.SetPlaying(true);
            box.SetContinuousPlay(true);
            box.SetSwapEnabled(true);
            box.SetVolume(70);
            const QRect at = CFullScrControlBox::Placement(QRect(QPoint(0, 0), screen));
            p.drawImage(at.topLeft() - QPoint(0, 8), box.ComposedPicture());
        }
        Place(origin, video, QStringLiteral("Full screen: CFullScrCaption and CFullScrControlBox over the picture"));

        // Drop-down menus and panels, composed as they show.
        const int y = origin.y() + screen.height() + 34;
        CTDropBox* file = MakeBox(this, "bg_rightclick.9.png", QSize(256, 76));
        file->AddItem(Text("IDS_STRING_K_004"), Text("IDS_STRING_K_005"), 1051);
        file->AddItem(Text("IDS_STRING_K_008"), Text("IDS_STRING_K_009"), 1053);
        file->AddItem(Text("IDS_STRING_K_010"), Text("IDS_STRING_K_011"), 1054);
        PointAtEntry(file, 1);
        Place(QPoint(origin.x(), y), file->LayeredImage(), QStringLiteral("File menu (CTDropBox), entry hovered"));

        CTDropBox* picture = MakeBox(this, "bg_rightclick.9.png", QSize(256, 78));
        picture->AddItem(Text("IDS_STRING_K_030"), Text("IDS_STRING_K_031"), 1083);
        picture->AddSeparator(QStringLiteral("line.9.png"), 241, 2, 7, 25, 1);
        picture->AddItem(Text("IDS_STRING_K_034"), Text("IDS_STRING_K_035"), 1086);
        picture->AddItem(Text("IDS_STRING_K_036"), Text("IDS_STRING_K_037"), 1087);
        PointAtEntry(picture, 2, true);
        Place(QPoint(origin.x(), y + 110), picture->LayeredImage(), QStringLiteral("Picture menu: separator, entry held"));

        // Settings with a check mark, a disabled entry and an open sub-menu.
        CTDropBox* languages = MakeBox(this, "bg_rightclick.9.png", QSize(170, 97));
        languages->SetCheckColumn(true);
        languages->SetCheckIcons("ic_checkbox_normal.png", "ic_checkbox_over.png");
        for (int k = 0; k < 4; ++k)
            languages->AddItem(Text(QStringLiteral("IDS_STRING_K_%1").arg(91 + k, 3, 10, QLatin1Char('0')).toLatin1().constData()), QString(), 1062 + k);
        languages->SetItemCheck(1063, true);
        CTDropBox* settings = MakeBox(this, "bg_rightclick.9.png", QSize(226, 97));
        settings->SetCheckColumn(true);
        settings->SetArrowColumn(true);
        settings->SetCheckIcons("ic_checkbox_normal.png", "ic_checkbox_over.png");
        settings->SetArrowIcons("ic_tri_right_normal.png", "ic_tri_right_over.png");
        settings->AddItem(Text("IDS_STRING_K_015"), QString(), 1060);
        settings->AddItem(Text("IDS_STRING_K_016"), QString(), 1061);
        settings->AddItem(Text("IDS_STRING_K_017"), QString(), 0, languages);
        settings->AddItem(Text("IDS_STRING_K_104"), QString(), 1071);
        settings->SetItemCheck(1071, true);
        settings->SetItemDisabled(1061, true);
        PointAtEntry(settings, 2);
        PointAtEntry(languages, 1);
        {
            const SkinRect entry = settings->Items()[2].itemRect;
            QImage both(226 + 170 - 3, 97 + 60, QImage::Format_ARGB32_Premultiplied);
            both.fill(Qt::transparent);
            QPainter p(&both);
            p.drawImage(QPoint(entry.right, entry.top - 3), languages->LayeredImage());
            p.drawImage(QPoint(0, 0), settings->LayeredImage()); // the box above its sub-menu
            p.end();
            Place(QPoint(origin.x() + 276, y), both, QStringLiteral("Settings: check marks, disabled entry, sub-menu open"));
        }
        languages->hide();
        settings->hide();

        CTDropBox* zoom = MakeBox(this, "play_setting_bg.9.png", QSize(72, 123), QColor(178, 193, 222));
        zoom->AddItem(Text("IDS_STRING_K_065"), QString(), 1074);
        for (int z = 0; z < 4; ++z)
            zoom->AddItem(QStringLiteral("x %1").arg(QString::number(0.5 * (z + 1), 'f', 1)), QString(), 1075 + z);
        PointAtEntry(zoom, 3);
        Place(QPoint(origin.x() + 690, y), zoom->LayeredImage(), QStringLiteral("Zoom menu"));

        Place(QPoint(origin.x() + 276, y + 175), SpeedPanelImage(this, 2.0f, true), QStringLiteral("Play speed (CTDropBriSpd)"));
        Place(QPoint(origin.x() + 460, y + 175), VolumePanelImage(this, 70), QStringLiteral("Volume (CTDropVol)"));
        // Balloons: a button's text, a slider's number and speed code.
        int bx = origin.x() + 560;
        auto balloon = [&](const std::function<void(CTBalloon&)>& set, const QString& label) {
            CTBalloon b(nullptr);
            set(b);
            Place(QPoint(bx, y + 175), b.LayeredImage(), label);
            bx += std::max(b.width(), 40) + 24;
        };
        balloon([](CTBalloon& b) { b.SetText(Text("IDS_STRING_K_052")); }, QStringLiteral("CTBalloon"));
        balloon([](CTBalloon& b) { b.SetNumberText(7); }, QStringLiteral("7"));
        balloon([](CTBalloon& b) { b.SetNumberText(42); }, QStringLiteral("42"));
        balloon([](CTBalloon& b) { b.SetNumberText(100); }, QStringLiteral("100"));
        balloon([](CTBalloon& b) { b.SetSpeedText(4); }, QStringLiteral("speed 4"));
    }

    // The device dialog as it shows for several records, under a plain
    // title bar standing for the window frame.
    int BuildDeviceDialogs(int y)
    {
        QByteArray other = DemoDeviceRecord("DZ55");
        std::fill(other.begin() + 224, other.begin() + 228, '\0');
        const QByteArray longMicom = "MICOM 3.11.2-build.20240506-rc2";
        other.replace(356, longMicom.size(), longMicom);
        struct Case {
            const char* language;
            QByteArray record;
            float gb;
            QString label;
        };
        const Case cases[] = {
            {"english", DemoDeviceRecord("CMV550View(V2)"), 29.7265f, QStringLiteral("demo card, 29.7265 GB")},
            {"korean", DemoDeviceRecord("ARX550"), 59.48f, QStringLiteral("Korean table")},
            {"english", other, 119.08f, QStringLiteral("no safe-driving version, long MICOM text")},
            {"english", QByteArray(), 0.0f, QStringLiteral("no memory card")},
        };
        int x = 20;
        for (const Case& c : cases) {
            SelectLanguage(QString::fromLatin1(c.language));
            CBbInfoDlg dlg;
            dlg.Prepare(c.record, c.gb);
            const QImage client = dlg.grab().toImage();
            QImage framed(client.width() + 2, client.height() + 31, QImage::Format_ARGB32_Premultiplied);
            framed.fill(QColor(74, 84, 96));
            QPainter p(&framed);
            p.fillRect(QRect(1, 1, client.width(), 29), QColor(226, 231, 237));
            Text(p, QRect(10, 1, client.width() - 40, 29), dlg.windowTitle(), QColor(32, 36, 40), 13);
            Text(p, QRect(client.width() - 24, 1, 20, 29), QStringLiteral("✕"), QColor(32, 36, 40), 13);
            p.drawImage(1, 30, client);
            p.end();
            Place(QPoint(x, y), framed, c.label);
            x += framed.width() + 40;
        }
        SelectLanguage(QStringLiteral("english"));
        return y + 245 + 31 + 36;
    }

    // The play list in its states, grabbed as painted, in English and with
    // the Korean table (the language is chosen while each is built).
    int BuildListSection(int y)
    {
        const QColor panel(23, 26, 30);
        auto framed = [&](const QImage& picture) {
            QImage block(picture.size() + QSize(2, 2), QImage::Format_ARGB32_Premultiplied);
            block.fill(panel);
            QPainter p(&block);
            p.drawImage(1, 1, picture);
            return block;
        };
        auto makeList = [&](int height) {
            auto* list = new CRListCtrl(this);
            list->hide();
            list->resize(322, height);
            return list;
        };
        int x = 20;
        int rowBottom = y;
        for (const char* language : {"english", "korean"}) {
            SelectLanguage(QString::fromLatin1(language));
            const bool korean = QLatin1String(language) == QLatin1String("korean");
            const QString tag = korean ? QStringLiteral(" (Korean table)") : QString();
            // Pairs, the playing recording, the focus.
            CRListCtrl* list = makeList(220);
            FillList(list, 30, 8, korean ? QStringLiteral("상시_") : QString());
            list->SetTopIndex(2);
            list->SetPlayingByName(list->GetItem(4).name);
            list->SetFocusedByName(list->GetItem(7).name);
            Place(QPoint(x, y), framed(list->grab().toImage()), QStringLiteral("pairs, playing, focused") + tag);
            x += 340;
            // Scrolled to the end, a row held down, the context menu open.
            CRListCtrl* held = makeList(220);
            FillList(held, 30, 8, korean ? QStringLiteral("주차_") : QString());
            held->SetTopIndex(30);
            held->SetPlayingByName(held->GetItem(27).name);
            const QPointF at(120, 20 * 6 + 10);
            QMouseEvent down(QEvent::MouseButtonPress, at, held->mapToGlobal(at), Qt::LeftButton, Qt::LeftButton, Qt::NoModifier);
            QCoreApplication::sendEvent(held, &down);
            QImage withMenu = held->grab().toImage();
            CTDropBox* menu = held->ContextMenu();
            PointAtEntry(menu, 0);
            {
                QImage canvas(withMenu.width() + 150, withMenu.height(), QImage::Format_ARGB32_Premultiplied);
                canvas.fill(kPage);
                QPainter p(&canvas);
                p.drawImage(0, 0, withMenu);
                p.drawImage(QPoint(int(at.x()) + 40, int(at.y()) + 4), menu->LayeredImage());
                withMenu = canvas;
            }
            Place(QPoint(x, y), withMenu, QStringLiteral("last rows, a row held, context menu") + tag);
            x += 500;
            // An empty category: the hint.
            CRListCtrl* empty = makeList(220);
            empty->Refresh();
            empty->SetEmptyMode(true);
            Place(QPoint(x, y), framed(empty->grab().toImage()), QStringLiteral("empty category: hint") + tag);
            x = 20;
            y += 220 + 40;
            rowBottom = y;
        }
        SelectLanguage(QStringLiteral("english"));
        return rowBottom;
    }

    // Each panel at its place over the main window's skin, grabbed in a state.
    int BuildPanels(int y)
    {
        QWidget host;
        host.resize(CMockMainWindow::W, CMockMainWindow::H);
        const CSkinSurface& skin = m_main->Background();
        int x = 20;
        auto signalsIn = [&](int brake, int left, int right, const QString& label) {
            auto* panel = new CCarInfoViewer(&host);
            panel->setGeometry(CMockMainWindow::CarInfoPlace());
            panel->CaptureBackground(skin);
            if (brake >= 0)
                panel->SetStatus(brake, left, right, 1);
            const QImage shot = panel->grab().toImage();
            Place(QPoint(x + 6, y + 6), shot.scaled(shot.size() * 2), label, true);
            x += shot.width() * 2 + 30;
        };
        signalsIn(-1, 0, 0, QStringLiteral("off (as captured)"));
        signalsIn(1, 1, 1, QStringLiteral("all on"));
        signalsIn(1, 2, -1, QStringLiteral("brake on; 2 and -1 show off"));
        auto graphIn = [&](const std::function<void(CGPSViewer*)>& state, const QString& label) {
            auto* panel = new CGPSViewer(&host);
            panel->setGeometry(CMockMainWindow::GraphPlace());
            panel->CaptureBackground(skin);
            state(panel);
            const QImage shot = panel->grab().toImage();
            Place(QPoint(x + 6, y + 6), shot.scaled(shot.size() * 2), label, true);
            x += shot.width() * 2 + 30;
        };
        x += 10;
        graphIn([](CGPSViewer*) {}, QStringLiteral("cleared"));
        x = 20;
        y += 2 * 78 + 50;
        graphIn([](CGPSViewer* g) {
            g->DrawGraph(CMockMainWindow::DriveSeries(121));
            g->SetPositionLine(40);
        }, QStringLiteral("121 samples, position 40 %"));
        graphIn([](CGPSViewer* g) {
            g->DrawGraph(CMockMainWindow::DriveSeries(1));
            g->SetPositionLine(75);
        }, QStringLiteral("one sample (held across), position 75 %"));
        graphIn([](CGPSViewer* g) {
            g->DrawGraph(CMockMainWindow::DriveSeries(3600));
            g->SetPositionLine(90);
            g->ClearGraph();
        }, QStringLiteral("cleared after a one-hour series"));
        return y + 2 * 78 + 50;
    }

    int BuildStates(int y)
    {
        // Each row: one button family on a panel, one instance per state.
        struct Family {
            QString label;
            QString stem;
            QStringList suffixes; // normal, over, press, disabled
            QSize size;
            QString selected{};   // selected picture, when the family has one
            bool ninePatch = false;
            QString caption{};
        };
        const QList<Family> families = {
            {"Play", "btn_play", {"_normal.png", "_over.png", "_press.png", "_dim.png"}, {86, 86}},
            {"Previous", "btn_pre", {"_normal.png", "_over.png", "_press.png", "_dim.png"}, {60, 60}},
            {"Back 10 s", "btn_sec1", {"_normal.png", "_over.png", "_press.png", "_dim.png"}, {60, 60}},
            {"Continuous play", "btn_connect", {"_off_normal.png", "_over.png", "_press.png", "_dis.png"}, {36, 24}, "btn_connect_on_normal.png"},
            {"Zoom", "btn_size", {"_normal.png", "_over.png", "_press.png", "_dis.png"}, {36, 24}},
            {"Swap", "btn_change", {"_normal.png", "_over.png", "_press.png", "_dis.png"}, {27, 27}},
            {"Map search", "btn_map_movie", {"_nor.png", "_over.png", "_press.png", ""}, {27, 27}},
            {"Close", "btn_close", {"_nor.png", "_over.png", "_press.png", ""}, {29, 36}},
            {"Category tab", "list_menu01", {"_normal.9.png", "_over.9.png", "_press.9.png", "_dis.9.png"}, {81, 27}, "list_menu01_selected.9.png", true, "Continuous"},
            {"Sub tab", "list_sub_menu02", {"_normal.9.png", "_over.9.png", "_press.9.png", "_dis.9.png"}, {86, 20}, "", true, "Event"},
            {"Menu button", "btn_menu", {"_nor.png", "_over.png", "_press.png", "_dis.png"}, {57, 27}, "", true, "File"},
        };
        const int columns = 5;
        const int cell = 94;
        int x = 20;
        int rowTop = y;
        int rowHeight = 0;
        for (const Family& f : families) {
            const int blockWidth = cell * columns + 130;
            if (x + blockWidth > kCanvasWidth) {
                x = 20;
                rowTop += rowHeight + 24;
                rowHeight = 0;
            }
            const int h = std::max(f.size.height() + 20, 46);
            auto* panel = new QWidget(this);
            panel->setGeometry(x, rowTop, blockWidth, h);
            CSkinSurface background;
            background.Create(blockWidth, h);
            background.GetImage().fill(QColor(31, 35, 40));
            {
                QPainter p(&background.GetImage());
                Text(p, QRect(12, 0, 120, h), f.label, QColor(182, 199, 215), 13);
            }
            m_panelBackgrounds.push_back(std::make_unique<CSkinSurface>());
            m_panelBackgrounds.back()->Create(blockWidth, h);
            m_panelBackgrounds.back()->GetImage() = background.GetImage().copy();
            Place(QPoint(x, rowTop), background.GetImage());
            for (int s = 0; s < columns; ++s) {
                const bool isSelected = s == 3;
                const bool isDisabled = s == 4;
                if ((isSelected && f.selected.isEmpty()) || (isDisabled && f.suffixes[3].isEmpty()))
                    continue;
                auto* b = new CRButton(panel, 0);
                b->setGeometry(130 + s * cell + (cell - f.size.width()) / 2 - 10, (h - f.size.height()) / 2, f.size.width(),
                               f.size.height());
                const QString n = f.stem + f.suffixes[0], o = f.stem + f.suffixes[1], pr = f.stem + f.suffixes[2];
                const QString d = f.suffixes[3].isEmpty() ? QString() : f.stem + f.suffixes[3];
                if (f.ninePatch) {
                    SkinTextStyle style = Caption(f.caption, 13, QColor(163, 183, 203));
                    b->SetNinePatchImages(n, o, pr, m_panelBackgrounds.back().get(), &style, d);
                    if (!f.selected.isEmpty())
                        b->SetSelectNinePatch(f.selected);
                } else {
                    b->SetImages(n, o, pr, m_panelBackgrounds.back().get(), d);
                    if (!f.selected.isEmpty())
                        b->SetSelectImage(f.selected);
                }
                DriveState(b, s == 0 ? 0 : s == 1 ? 1 : s == 2 ? 2 : s == 3 ? 3 : 4);
            }
            x += blockWidth + 20;
            rowHeight = std::max(rowHeight, h);
        }
        // Layered buttons (CTButton): their whole picture with its alpha, over a picture.
        {
            const int blockWidth = cell * columns + 130;
            if (x + blockWidth > kCanvasWidth) {
                x = 20;
                rowTop += rowHeight + 24;
                rowHeight = 0;
            }
            const int h = 106;
            QImage block(blockWidth, h, QImage::Format_ARGB32_Premultiplied);
            block.fill(QColor(31, 35, 40));
            QPainter p(&block);
            p.drawImage(QRect(130, 0, blockWidth - 130, h), Picture("view_front.png"), QRect(200, 120, blockWidth - 130, h));
            Text(p, QRect(12, 0, 120, h), QStringLiteral("Layered button"), QColor(182, 199, 215), 13);
            for (int s = 0; s < 3; ++s) {
                auto* play = new CTButton(this);
                play->setGeometry(0, 0, 60, 60);
                play->SetImages("btn_next_normal.png", "btn_next_over.png", "btn_next_press.png", "btn_next_dim.png");
                DriveState(play, s);
                p.drawImage(QPoint(130 + s * cell + (cell - 60) / 2 - 10, 6), play->LayeredImage());
                auto* reset = new CTButton(this);
                reset->setGeometry(0, 0, 90, 21);
                SkinTextStyle style = Caption(QStringLiteral("Initialize"), 11);
                reset->SetNinePatchImages("setting_btn_nor.9.png", "setting_btn_nor.9.png", "setting_btn_nor.9.png", &style);
                DriveState(reset, s);
                p.drawImage(QPoint(130 + s * cell + (cell - 90) / 2 - 10, 76), reset->LayeredImage());
            }
            p.end();
            Place(QPoint(x, rowTop), block);
            rowHeight = std::max(rowHeight, h);
        }
        y = rowTop + rowHeight + 30;
        // Number display and labels.
        int nx = 20;
        for (int value : {0, 7, 87, 120, 999, -1}) {
            auto* n = new CRImageNum(this);
            n->setGeometry(nx, y, 72, 43);
            if (value < 0)
                n->setEnabled(false);
            else
                n->SetValue(value);
            Place(QPoint(nx, y), QImage(), value < 0 ? QStringLiteral("CRImageNum disabled") : QStringLiteral("CRImageNum %1").arg(value));
            m_placed.back().image = QImage(72, 43, QImage::Format_ARGB32_Premultiplied);
            m_placed.back().image.fill(QColor(23, 26, 30));
            nx += 130;
        }
        for (int unit = 0; unit < 4; ++unit) {
            const char* names[] = {"speed_km.png", "speed_km_dis.png", "speed_mile.png", "speed_mile_dis.png"};
            Place(QPoint(nx + unit * 60, y + 13), Picture(names[unit]), unit == 0 ? QStringLiteral("units") : QString());
        }
        nx += 260;
        for (int level = 0; level < 6; ++level) {
            auto* v = new CRButton(this, 0);
            v->setGeometry(nx + level * 50, y + 10, 36, 24);
            v->SetImages("btn_volume_normal.png", "btn_volume_over.png", "btn_volume_press.png", nullptr, "btn_volume_dis.png");
            v->SetIconImages("ic_volume_mute.png", "ic_volume_01.png", "ic_volume_02.png", "ic_volume_03.png",
                             "ic_volume_04.png", "ic_volume_05.png", "ic_volume_mute.png", 18, 4);
            v->SetIconIndex(level);
        }
        Place(QPoint(nx, y + 40), QImage(1, 1, QImage::Format_ARGB32_Premultiplied), QStringLiteral("volume levels 0-5"));
        m_placed.back().image.fill(Qt::transparent);
        nx += 320;
        // The brand picture of a card's settings program, read from its resources.
        {
            QImage brand(64, 22, QImage::Format_ARGB32_Premultiplied);
            brand.fill(Qt::transparent);
            QPainter p(&brand);
            p.setRenderHint(QPainter::Antialiasing);
            p.setPen(Qt::NoPen);
            p.setBrush(QColor(63, 168, 235));
            p.drawRoundedRect(QRectF(0.5, 2.5, 63, 17), 4, 4);
            Text(p, QRect(0, 2, 64, 18), QStringLiteral("DZ55"), Qt::white, 15, Qt::AlignCenter, QFont::Bold);
            p.end();
            QByteArray png;
            QBuffer buffer(&png);
            buffer.open(QIODevice::WriteOnly);
            brand.save(&buffer, "PNG");
            CPeWriter writer;
            writer.Add(QStringLiteral("PNG"), QStringLiteral("IDB_BI"), png);
            const QString path = m_brandDir->filePath(QStringLiteral("Setup.exe"));
            QFile file(path);
            if (file.open(QIODevice::WriteOnly))
                file.write(writer.Build());
            file.close();
            CSkinSurface loaded;
            Skin()->LoadBrandImage(loaded, path);
            Place(QPoint(nx, y + 10), loaded.GetImage(), QStringLiteral("brand picture (IDB_BI)"), true);
            nx += 170;
        }
        for (int i = 0; i < 3; ++i) {
            const char* sig[] = {"ic_turnsignal_left_on.png", "ic_brake_on.png", "ic_turnsignal_right_on.png"};
            Place(QPoint(nx + i * 80, y), Picture(sig[i]), i == 0 ? QStringLiteral("vehicle signals") : QString(), true);
        }
        return y + 90;
    }

    // Sends a pointer move (and a press) to a control at a point of its own.
    static void Point(QWidget* w, QPoint at, bool press)
    {
        const QPointF global = w->mapToGlobal(QPointF(at));
        QMouseEvent move(QEvent::MouseMove, QPointF(at), global, Qt::NoButton, Qt::NoButton, Qt::NoModifier);
        QCoreApplication::sendEvent(w, &move);
        if (press) {
            QMouseEvent down(QEvent::MouseButtonPress, QPointF(at), global, Qt::LeftButton, Qt::LeftButton, Qt::NoModifier);
            QCoreApplication::sendEvent(w, &down);
        }
    }

    int BuildValueControls(int y)
    {
        const QColor panel(31, 35, 40);
        auto onPanel = [&](const QImage& picture, QSize size) {
            QImage block(size, QImage::Format_ARGB32_Premultiplied);
            block.fill(panel);
            QPainter p(&block);
            p.drawImage((size.width() - picture.width()) / 2, (size.height() - picture.height()) / 2, picture);
            return block;
        };
        int x = 20;
        // Vertical bars: 2000 rows, 200 shown, at 30 %; hovered; dragged; nothing to scroll.
        const char* vLabels[] = {"CRScrollBar", "thumb over", "dragging", "(1, 1, 0)"};
        for (int s = 0; s < 4; ++s) {
            auto* bar = new CRScrollBar(this);
            bar->hide();
            bar->resize(15, 180);
            if (s == 3)
                bar->SetInfo(1, 1, 0);
            else
                bar->SetInfo(2000, 400, 30);
            const SkinRect t = bar->ThumbRect();
            if (s == 1 || s == 2)
                Point(bar, QPoint(7, t.top + 5), s == 2);
            Place(QPoint(x, y), onPanel(bar->grab().toImage(), QSize(60, 190)), QString::fromLatin1(vLabels[s]));
            x += 100;
        }
        // Horizontal bars.
        int hy = y;
        const char* hLabels[] = {"CRScrollBar_Hor", "thumb over", "dragging", "(1, 1, 0)"};
        for (int s = 0; s < 4; ++s) {
            auto* bar = new CRScrollBar_Hor(this);
            bar->hide();
            bar->resize(240, 15);
            if (s == 3)
                bar->SetInfo(1, 1, 0);
            else
                bar->SetInfo(1000, 250, 60);
            const SkinRect t = bar->ThumbRect();
            if (s == 1 || s == 2)
                Point(bar, QPoint(t.left + 5, 7), s == 2);
            Place(QPoint(x, hy), onPanel(bar->grab().toImage(), QSize(260, 25)), QString::fromLatin1(hLabels[s]));
            hy += 48;
        }
        x += 300;
        // Position slider and speed gauge (child sliders).
        int sy = y;
        const char* sLabels[] = {"CRSliderCtrl 0", "40, handle over", "75, handle pressed", "disabled 20"};
        const float values[] = {0.0f, 40.0f, 75.0f, 20.0f};
        for (int s = 0; s < 4; ++s) {
            auto* slider = new CRSliderCtrl(this);
            slider->hide();
            slider->resize(320, 7);
            slider->SetPictures("progress_point.png", "progress_point.png", "progress_point.png", "progress_bg.9.png",
                                "progress_bar.9.png");
            slider->SetValue(values[s]);
            slider->grab();
            const SkinRect t = slider->ThumbRect();
            if (s == 1 || s == 2)
                Point(slider, QPoint(t.left + 3, 3), s == 2);
            if (s == 3)
                slider->setEnabled(false);
            Place(QPoint(x, sy), onPanel(slider->grab().toImage(), QSize(340, 25)), QString::fromLatin1(sLabels[s]));
            sy += 48;
        }
        {
            auto* gauge = new CRSliderCtrl(this);
            gauge->hide();
            gauge->resize(135, 8);
            gauge->SetPictures(QString(), QString(), QString(), "speed_gauge_no.png", "speed_gauge_full.png");
            gauge->SetLockMode(2);
            gauge->SetValue(62.0f);
            Place(QPoint(x, sy), onPanel(gauge->grab().toImage(), QSize(160, 25)), QStringLiteral("speed gauge, lock mode 2"));
        }
        x += 370;
        // Layered sliders of the panels: speed (0-6), brightness, volume (vertical).
        int ty = y;
        const char* tLabels[] = {"CTSliderCtrl 3 of 6", "brightness 70, over", "pressed"};
        for (int s = 0; s < 3; ++s) {
            CTSliderCtrl slider(this);
            slider.resize(75, 11);
            slider.SetPictures("volume_handler_press.png", "volume_handler_over.png", "volume_handler_nor.png",
                               "volume_scroll_bg.9.png", "volume_scroll.9.png");
            slider.SetRange(s == 0 ? 6.0f : 100.0f);
            slider.SetValue(s == 0 ? 3.0f : 70.0f);
            slider.ComposedImage();
            const SkinRect t = slider.ThumbRect();
            if (s > 0)
                Point(&slider, QPoint(t.left + 5, 5), s == 2);
            Place(QPoint(x, ty), onPanel(slider.ComposedImage(), QSize(100, 25)), QString::fromLatin1(tLabels[s]));
            ty += 48;
        }
        {
            CTSliderCtrl volume(this);
            volume.resize(11, 75);
            volume.SetHorizontal(false);
            volume.SetPictures("volume_handler_press.png", "volume_handler_over.png", "volume_handler_nor.png",
                               "volume_scroll_bg.9.png", "volume_scroll.9.png");
            volume.SetValue(100.0f - 30.0f);
            Place(QPoint(x + 150, y), onPanel(volume.ComposedImage(), QSize(40, 95)), QStringLiteral("volume 30 (vertical)"));
        }
        return y + 230;
    }

    int BuildPictures(int y)
    {
        int x = 20, rowHeight = 0;
        for (const SkinPictureDef& def : SkinPictureList()) {
            const QSize show = def.kind == SkinPictureKind::Plain ? def.size : def.used;
            CSkinSurface surface;
            surface.Create(show.width(), show.height());
            if (def.kind == SkinPictureKind::Plain) {
                Skin()->DrawImage(surface, def.name);
            } else if (def.kind == SkinPictureKind::ThreeSliceV) {
                CSkinSurface top, mid, bottom;
                Skin()->LoadVerticalThreeSlice(def.name, top, mid, bottom);
                QPainter p(&surface.GetImage());
                const int middle = show.height() - top.GetHeight() - (bottom.GetHeight() - 2);
                p.drawImage(0, 0, top.GetImage());
                p.drawImage(QRect(0, top.GetHeight(), mid.GetWidth(), middle), mid.GetImage());
                p.drawImage(0, top.GetHeight() + middle, bottom.GetImage());
            } else if (def.kind == SkinPictureKind::ThreeSliceH) {
                CSkinSurface left, mid, right;
                Skin()->LoadHorizontalThreeSlice(def.name, left, mid, right);
                QPainter p(&surface.GetImage());
                const int middle = show.width() - left.GetWidth() - (right.GetWidth() - 2);
                p.drawImage(0, 0, left.GetImage());
                p.drawImage(QRect(left.GetWidth(), 0, middle, mid.GetHeight()), mid.GetImage());
                p.drawImage(left.GetWidth() + middle, 0, right.GetImage());
            } else {
                Skin()->DrawNinePatch(surface, def.name);
            }
            QImage shown = surface.GetImage();
            QString label = def.name;
            if (shown.width() > 900) {
                shown = shown.scaled(shown.size() / 2, Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
                label += QStringLiteral("  (%1 x %2, half size)").arg(show.width()).arg(show.height());
            }
            const int cellWidth = std::max(shown.width() + 12, 150);
            const int cellHeight = shown.height() + 36;
            if (x + cellWidth > kCanvasWidth - 10) {
                x = 20;
                y += rowHeight;
                rowHeight = 0;
            }
            Place(QPoint(x + 6, y + 6), shown, label, true);
            x += cellWidth + 6;
            rowHeight = std::max(rowHeight, cellHeight);
        }
        return y + rowHeight;
    }

    std::unique_ptr<QTemporaryDir> m_brandDir;
    CMockMainWindow* m_main = nullptr;
    std::vector<std::tuple<QPoint, QString, QString>> m_headings;
    std::vector<Placed> m_placed;
    std::vector<std::unique_ptr<CSkinSurface>> m_panelBackgrounds;
};
} // namespace

int main(int argc, char* argv[])
{
    QApplication app(argc, argv);
    QCommandLineParser parser;
    parser.addHelpOption();
    QCommandLineOption shot(QStringLiteral("screenshot"), QStringLiteral("Save the gallery to <file> and quit."),
                            QStringLiteral("file"));
    parser.addOption(shot);
    parser.process(app);

    InstallLanguageFontSubstitutions();
    SelectLanguage(QStringLiteral("english"));
    const QString library = QCoreApplication::applicationDirPath() + QStringLiteral("/NvImageDll.rcc");
    if (!QResource::registerResource(library)) {
        qWarning("cannot open the image library %s", qPrintable(library));
        return 1;
    }
    CGallery gallery;
    if (parser.isSet(shot)) {
        gallery.grab().save(parser.value(shot));
        return 0;
    }
    QScrollArea area;
    area.setWidget(&gallery);
    area.resize(1600, 1000);
    area.setWindowTitle(QStringLiteral("Kestrav skin gallery"));
    area.show();
    return QApplication::exec();
}
