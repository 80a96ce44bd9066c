// The main window's controls: creation at their rectangles, the registry by
// id, and how they follow a size change.
#include "mainwindow/ControlLayout.h"

#include "mainwindow/MainWindowIds.h"
#include "lang/Lang.h"
#include "settings/Settings.h"
#include "skin/RButton.h"
#include "skin/RImageNum.h"
#include "skin/RStaticText.h"
#include "skin/SkinBalloonTip.h" // completes the balloon pointer of the skinned buttons
#include "skin/SkinImage.h"
#include "skin/SkinText.h"
#include "skin/RListCtrl.h"
#include "skin/SkinSlider.h"
#include "windows/CarInfoViewer.h"
#include "windows/GPSViewer.h"
#include "windows/VideoMainWnd.h"
#include "windows/VideoSubWnd.h"

#include <QFontMetrics>
#include <QLabel>

#include <array>

using namespace MainWnd;

namespace {
QString Text(const char* key)
{
    return LangText(QString::fromLatin1(key));
}
} // namespace

CControlLayout::CControlLayout(QWidget* window, const CSkinSurface* background)
    : QObject(window)
    , m_window(window)
    , m_background(background)
{
}

QWidget* CControlLayout::Control(int id) const
{
    return m_controls.value(id);
}

void CControlLayout::EnableRange(int first, int last, bool enable) const
{
    for (int id = first; id <= last; ++id)
        if (QWidget* w = m_controls.value(id))
            w->setEnabled(enable);
}

// ---- Creation ------------------------------------------------------------------------------

void CControlLayout::CreateVideoWnds()
{
    // The areas are framed by the background; the windows fill them.
    m_frontVideo = new CVideoMainWnd(m_window, kFrontVideoArea.ToQRect());
    m_frontVideo->show();
    m_controls.insert(kIdFrontVideo, m_frontVideo);
    m_rearVideo = new CVideoSubWnd(m_window, kRearVideoArea.ToQRect());
    m_rearVideo->show();
    m_controls.insert(kIdRearVideo, m_rearVideo);
}

void CControlLayout::CreateSlider()
{
    const int H = m_window->height();
    auto* position = new CRSliderCtrl(m_window);
    position->SetSliderId(kIdPositionSlider);
    position->setGeometry(SkinRect{0, H - kPositionSliderTopFromBottom, kFrontVideoArea.right + 1,
                                   H - kPositionSliderTopFromBottom + kPositionSliderHeight}
                              .ToQRect());
    const QString point = QString::fromLatin1(kPicProgressPoint);
    position->SetPictures(point, point, point, QString::fromLatin1(kPicProgressTrack),
                          QString::fromLatin1(kPicProgressFilled));
    position->setEnabled(false);
    position->show();
    m_controls.insert(kIdPositionSlider, position);

    auto* gauge = new CRSliderCtrl(m_window);
    gauge->SetSliderId(kIdSpeedGauge);
    gauge->setGeometry(SkinRect{14, H - 42, 149, H - 34}.ToQRect());
    gauge->SetPictures(QString(), QString(), QString(), QString::fromLatin1(kPicGaugeTrack),
                       QString::fromLatin1(kPicGaugeFilled));
    gauge->SetLockMode(2);
    gauge->setEnabled(false);
    gauge->show();
    m_controls.insert(kIdSpeedGauge, gauge);
}

CRButton* CControlLayout::AddButton(int id, const SkinRect& r, const QString& normal, const QString& over,
                                const QString& press, const QString& disabled, const char* balloonKey)
{
    auto* b = new CRButton(m_window, id);
    b->setGeometry(r.ToQRect());
    b->SetImages(normal, over, press, m_background, disabled);
    if (balloonKey)
        b->SetBalloonText(Text(balloonKey));
    connect(b, &CSkinButton::Command, this, &CControlLayout::Command);
    b->show();
    m_controls.insert(id, b);
    return b;
}

void CControlLayout::CreateBtns(bool continuousPlay)
{
    const int W = m_window->width();
    const int H = m_window->height();
    auto set = [](const char* stem, const char* n, const char* o, const char* p, const char* d) {
        const QString s = QString::fromLatin1(stem);
        return std::array<QString, 4>{s + QLatin1String(n), s + QLatin1String(o), s + QLatin1String(p),
                                      d ? s + QLatin1String(d) : QString()};
    };
    struct ButtonDef {
        int id;
        SkinRect rect;
        std::array<QString, 4> pics;
        const char* balloon;
    };
    const ButtonDef defs[] = {
        {kIdClose, {W - 45, 0, W - 16, 36}, set("btn_close", "_nor.png", "_over.png", "_press.png", nullptr), nullptr},
        {kIdMinimise, {W - 103, 0, W - 74, 36}, set("btn_minimum", "_nor.png", "_over.png", "_press.png", nullptr), nullptr},
        {kIdMaximise, {W - 74, 0, W - 45, 36}, set("btn_full", "_nor.png", "_over.png", "_press.png", nullptr), nullptr},
        {kIdFoldUp, {W - 317, 77, W - 290, 104}, set("btn_folding_up", "_nor.png", "_over.png", "_press.png", "_dis.png"), "IDS_STRING_K_058"},
        {kIdFoldDown, {W - 317, 355, W - 290, 382}, set("btn_folding_down", "_nor.png", "_over.png", "_press.png", "_dis.png"), "IDS_STRING_K_064"},
        {kIdExpand, {W - 386, 77, W - 359, 104}, set("btn_expand", "_normal.png", "_over.png", "_press.png", "_dis.png"), "IDS_STRING_K_051"},
        {kIdSwap, {W - 356, 77, W - 329, 104}, set("btn_change", "_normal.png", "_over.png", "_press.png", "_dis.png"), "IDS_STRING_K_052"},
        {kIdMapSearch, {W - 39, 114, W - 39 + 27, 114 + 27}, set("btn_map_movie", "_nor.png", "_over.png", "_press.png", nullptr), "IDS_STRING_K_060"},
        {kIdPrevious, {90, H - 201, 150, H - 141}, set("btn_pre", "_normal.png", "_over.png", "_press.png", "_dim.png"), nullptr},
        {kIdBack10, {161, H - 201, 221, H - 141}, set("btn_sec1", "_normal.png", "_over.png", "_press.png", "_dim.png"), nullptr},
        {kIdPlay, {232, H - 214, 318, H - 128}, set("btn_play", "_normal.png", "_over.png", "_press.png", "_dim.png"), nullptr},
        {kIdPause, {232, H - 214, 318, H - 128}, set("btn_pause", "_normal.png", "_over.png", "_press.png", "_dim.png"), nullptr},
        {kIdStop, {329, H - 214, 415, H - 128}, set("btn_stop", "_normal.png", "_over.png", "_press.png", "_dim.png"), nullptr},
        {kIdForward10, {426, H - 201, 486, H - 141}, set("btn_sec2", "_normal.png", "_over.png", "_press.png", "_dim.png"), nullptr},
        {kIdNext, {497, H - 201, 557, H - 141}, set("btn_next", "_normal.png", "_over.png", "_press.png", "_dim.png"), nullptr},
        {kIdContinuousPlay, {459, H - 230, 495, H - 206},
         {QStringLiteral("btn_connect_off_normal.png"), QStringLiteral("btn_connect_over.png"),
          QStringLiteral("btn_connect_press.png"), QStringLiteral("btn_connect_dis.png")},
         "IDS_STRING_K_081"},
        {kIdZoomMenu, {495, H - 230, 531, H - 206}, set("btn_size", "_normal.png", "_over.png", "_press.png", "_dis.png"), "IDS_STRING_K_053"},
        {kIdSpeedPanel, {531, H - 230, 567, H - 206}, set("btn_setting", "_normal.png", "_over.png", "_press.png", "_dis.png"), "IDS_STRING_K_054"},
        {kIdSave, {567, H - 230, 603, H - 206}, set("btn_save", "_normal.png", "_over.png", "_press.png", "_dis.png"), "IDS_STRING_K_055"},
        {kIdVolume, {603, H - 230, 639, H - 206}, set("btn_volume", "_normal.png", "_over.png", "_press.png", "_dis.png"), "IDS_STRING_K_057"},
    };
    for (const ButtonDef& s : defs)
        AddButton(s.id, s.rect, s.pics[0], s.pics[1], s.pics[2], s.pics[3], s.balloon);
    Control(kIdMapSearch)->hide();
    Control(kIdPause)->hide();
    auto* volume = static_cast<CRButton*>(Control(kIdVolume));
    volume->SetIconImages(QString::fromLatin1(kPicVolumeIcons[0]), QString::fromLatin1(kPicVolumeIcons[1]),
                          QString::fromLatin1(kPicVolumeIcons[2]), QString::fromLatin1(kPicVolumeIcons[3]),
                          QString::fromLatin1(kPicVolumeIcons[4]), QString::fromLatin1(kPicVolumeIcons[5]),
                          QString::fromLatin1(kPicVolumeIcons[6]), kVolumeIconX, kVolumeIconY);
    auto* continuous = static_cast<CRButton*>(Control(kIdContinuousPlay));
    continuous->SetSelectImage(QStringLiteral("btn_connect_on_normal.png"));
    continuous->SetCheck(continuousPlay);

    // The navigation-product button at (10, 6), at its picture's size.
    SkinRect orvia;
    CSkinImage::GetInstance()->GetImageSize(QStringLiteral("bi_orvia.png"), &orvia);
    AddButton(kIdNavigationProduct, {10, 6, 10 + orvia.Width(), 6 + orvia.Height()}, QStringLiteral("bi_orvia.png"),
              QStringLiteral("bi_orvia_over.png"), QStringLiteral("bi_orvia_press.png"), QString());

    // File and Settings: caption width + margin, positions from the tables.
    const QFont captionFont = MakeSkinFont(LangFontValue(QString::fromLatin1(kMenuButtonFontKey)), QFont::Normal,
                                           LangFaceName());
    const QFontMetrics fm(captionFont);
    const int fileX = LangMenuValue(QStringLiteral("PO_BTN_FILE_X"));
    const int fileY = LangMenuValue(QStringLiteral("PO_BTN_FILE_Y"));
    const int fileW = fm.horizontalAdvance(Text(kTextFile)) + 27;
    const int fileH = LangMenuValue(QStringLiteral("SIZE_BTN_FILE_HEIGHT"));
    const int setX = fileX + fileW + LangMenuValue(QStringLiteral("PO_BTN_SETTING_X"));
    const int setY = LangMenuValue(QStringLiteral("PO_BTN_SETTING_Y"));
    const int setW = fm.horizontalAdvance(Text(kTextSettings)) + 35;
    const int setH = LangMenuValue(QStringLiteral("SIZE_BTN_SETTING_HEIGHT"));
    SkinTextStyle style;
    style.normalColor = QColor::fromRgb(kColorMenuButtonText);
    style.disabledColor = QColor::fromRgb(kColorMenuButtonDisabled);
    style.overColor = QColor::fromRgb(kColorWhite);
    style.pressColor = QColor::fromRgb(kColorWhite);
    style.fontHeight = LangFontValue(QString::fromLatin1(kMenuButtonFontKey));
    style.align = 1;
    const struct {
        int id;
        SkinRect r;
        const char* text;
    } menus[] = {{kIdFile, {fileX, fileY, fileX + fileW, fileY + fileH}, kTextFile},
                 {kIdSettings, {setX, setY, setX + setW, setY + setH}, kTextSettings}};
    for (const auto& m : menus) {
        auto* b = new CRButton(m_window, m.id);
        b->setGeometry(m.r.ToQRect());
        style.text = Text(m.text);
        b->SetNinePatchImages(QStringLiteral("btn_menu_nor.png"), QStringLiteral("btn_menu_over.png"),
                              QStringLiteral("btn_menu_press.png"), m_background, &style,
                              QStringLiteral("btn_menu_dis.png"));
        connect(b, &CSkinButton::Command, this, &CControlLayout::Command);
        b->show();
        m_controls.insert(m.id, b);
    }

    // The category buttons above the list: four tabs with a selected look,
    // two rows of sub-categories and the column titles.
    SkinTextStyle tabStyle = style;
    tabStyle.fontHeight = LangFontValue(QString::fromLatin1(kListButtonFontKey));
    const struct {
        int id;
        SkinRect r;
        const char* stem;
        const char* text;
        bool tab;
    } categories[] = {
        {kIdListNormal, {W - 323, 423, W - 242, 450}, "list_menu01", "IDS_STRING_K_038", true},
        {kIdListParking, {W - 242, 423, W - 162, 450}, "list_menu02", "IDS_STRING_K_039", true},
        {kIdListManual, {W - 162, 423, W - 81, 450}, "list_menu02", "IDS_STRING_K_040", true},
        {kIdListPosition, {W - 82, 423, W, 450}, "list_menu01", "IDS_STRING_K_041", true},
        {kIdListRecNormal, {W - 323, 450, W - 162, 470}, "list_sub_menu01", "IDS_STRING_K_042", false},
        {kIdListNorShock, {W - 162, 450, W, 470}, "list_sub_menu02", "IDS_STRING_K_043", false},
        {kIdListParkMotion, {W - 323, 450, W - 162, 470}, "list_sub_menu01", "IDS_STRING_K_044", false},
        {kIdListParkShock, {W - 162, 450, W, 470}, "list_sub_menu02", "IDS_STRING_K_045", false},
        {kIdListSizeTitle, {W - 99, 450, W, 470}, "list_sub_menu02", "IDS_STRING_K_103", false},
        {kIdListNameTitle, {W - 323, 450, W - 99, 470}, "list_sub_menu01", "IDS_STRING_K_102", false},
    };
    for (const auto& c : categories) {
        auto* b = new CRButton(m_window, c.id);
        b->setGeometry(c.r.ToQRect());
        const QString stem = QString::fromLatin1(c.stem);
        tabStyle.text = Text(c.text);
        b->SetNinePatchImages(stem + QStringLiteral("_normal.9.png"), stem + QStringLiteral("_over.9.png"),
                              stem + QStringLiteral("_press.9.png"), m_background, &tabStyle,
                              stem + QStringLiteral("_dis.9.png"));
        if (c.tab)
            b->SetSelectNinePatch(stem + QStringLiteral("_selected.9.png"));
        connect(b, &CSkinButton::Command, this, &CControlLayout::Command);
        b->show();
        m_controls.insert(c.id, b);
    }
    for (int id : {kIdListRecNormal, kIdListNorShock, kIdListParkMotion, kIdListParkShock})
        Control(id)->hide();

    // The unit button follows the stored unit; the map placeholder waits hidden.
    const bool mph = SettingsGetText(QStringLiteral("unit")) == QLatin1String("mph");
    const QString unit = mph ? QStringLiteral("speed_mile") : QStringLiteral("speed_km");
    AddButton(kIdUnit, {104, H - 74, 143, H - 57}, unit + QStringLiteral(".png"), unit + QStringLiteral(".png"),
              unit + QStringLiteral(".png"), unit + QStringLiteral("_dis.png"));
    AddButton(kIdMapPlaceholder, {0, 0, 320, 240}, QString::fromLatin1(kPicMapEmpty), QString::fromLatin1(kPicMapEmpty),
              QString::fromLatin1(kPicMapEmpty), QString())
        ->hide();
}

QLabel* CControlLayout::AddLabel(int id, const SkinRect& r, const QString& text, const QFont& font, QRgb color,
                             Qt::Alignment align)
{
    auto* l = new QLabel(text, m_window);
    l->setGeometry(r.ToQRect());
    l->setFont(font);
    l->setAlignment(align);
    l->setAutoFillBackground(false);
    l->setAttribute(Qt::WA_TransparentForMouseEvents);
    QPalette pal = l->palette();
    pal.setColor(QPalette::WindowText, QColor::fromRgb(color));
    l->setPalette(pal);
    l->show();
    m_controls.insert(id, l);
    return l;
}

CRStaticText* CControlLayout::AddStaticText(int id, const SkinRect& r, const QString& ninePatch, const QFont& font,
                                        int fontHeight, QRgb color, const QString& text, int align)
{
    auto* t = new CRStaticText(m_window);
    t->setGeometry(r.ToQRect());
    SkinTextStyle style;
    style.text = text;
    style.normalColor = QColor::fromRgb(color);
    style.disabledColor = QColor::fromRgb(color);
    style.overColor = QColor::fromRgb(kColorWhite);
    style.pressColor = QColor::fromRgb(kColorWhite);
    style.fontHeight = fontHeight;
    style.align = align;
    t->SetImage(ninePatch, font, m_background, style);
    t->show();
    m_controls.insert(id, t);
    return t;
}

void CControlLayout::CreateStatics(const QString& appVersion)
{
    const int W = m_window->width();
    const int H = m_window->height();
    const QString face = LangFaceName();
    const QString tahoma = QString::fromLatin1(kTimeFace);
    auto keyHeight = [](const char* key) { return LangFontValue(QString::fromLatin1(key)); };
    m_labelFont = MakeSkinFont(keyHeight(kLabelFontKey), QFont::Normal, face);
    m_statusFont = MakeSkinFont(keyHeight(kStatusFontKey), QFont::Normal, face);
    m_timeFont = MakeSkinFont(keyHeight(kTimeFontKey), QFont::Normal, tahoma);
    m_titleFont = MakeSkinFont(keyHeight(kTitleFontKey), QFont::Normal, tahoma);
    const int timeHeight = keyHeight(kTimeFontKey);
    const int statusHeight = keyHeight(kStatusFontKey);
    const int titleHeight = keyHeight(kTitleFontKey);

    AddLabel(kIdLabelFront, {7, 83, 68, 133}, Text(kTextFront), m_labelFont, kColorLabel);
    AddLabel(kIdLabelRear, {W - 288, 83, W - 223, 133}, Text(kTextRear), m_labelFont, kColorLabel);
    AddLabel(kIdLabelMap, {W - 288, 360, W - 248, 375}, Text(kTextMap), m_labelFont, kColorLabel);
    AddLabel(kIdLabelPlayList, {W - 315, 397, W - 115, 447}, Text(kTextPlayList), m_labelFont, kColorLabel);
    AddLabel(kIdCurrentTime, {13, H - 228, 75, H - 213}, QStringLiteral("00:00:00 /"), m_timeFont, kColorCurrentTime);
    AddLabel(kIdDuration, {77, H - 228, 142, H - 213}, QStringLiteral("00:00:00"), m_timeFont, kColorDuration);
    AddLabel(kIdVersion, {W - 114, H - 16, W - 23, H}, QString::fromLatin1(kVersionFormat).arg(appVersion),
             m_timeFont, kColorVersion, Qt::AlignRight | Qt::AlignTop);

    AddStaticText(kIdAccelX, {163, H - 109, 213, H - 96}, QString(), m_timeFont, timeHeight, kColorAccelX, QStringLiteral("X : 0000"), 1);
    AddStaticText(kIdAccelY, {163, H - 81, 213, H - 68}, QString(), m_timeFont, timeHeight, kColorAccelY, QStringLiteral("Y : 0000"), 1);
    AddStaticText(kIdAccelZ, {163, H - 53, 213, H - 40}, QString(), m_timeFont, timeHeight, kColorAccelZ, QStringLiteral("Z : 0000"), 1);

    // The analysis progress: the message, and the percent just after its text.
    const QString analysing = Text(kTextAnalysing);
    const int w = QFontMetrics(m_statusFont).horizontalAdvance(analysing);
    auto* message = AddStaticText(kIdAnalysisMessage, {300, H - 16, 800, H}, QString(), m_statusFont,
                                  statusHeight, kColorAnalysisMessage, analysing, 0);
    auto* percent = AddStaticText(kIdAnalysisPercent, {310 + w, H - 16, 340 + w, H}, QString(), m_statusFont,
                                  statusHeight, kColorAnalysisPercent, QStringLiteral("0%"), 1);
    message->hide();
    percent->hide();

    AddStaticText(kIdMainTitle, {76, 79, 283, 101}, QString::fromLatin1(kPicTextBox), m_titleFont, titleHeight,
                  kColorTitleText, QStringLiteral(" "), 0);
    AddStaticText(kIdSecondTitle, {W - 215, 79, W - 8, 101}, QString::fromLatin1(kPicTextBox), m_titleFont,
                  titleHeight, kColorTitleText, QStringLiteral(" "), 0);

    auto* number = new CRImageNum(m_window);
    number->setGeometry(SkinRect{27, H - 98, 99, H - 55}.ToQRect());
    number->SetBackground(m_background);
    number->SetValue(0);
    number->show();
    m_controls.insert(kIdSpeedNumber, number);

    // The telemetry panels copy the background under them once they are
    // placed (the window hands it to them, and again after each new one).
    auto* graph = new CGPSViewer(m_window);
    graph->setGeometry(SkinRect{220, H - 115, 474, H - 37}.ToQRect());
    graph->show();
    m_controls.insert(kIdGraphPanel, graph);

    AddStaticText(kIdCarInfoCaption, {495, H - 115, 624, H - 95}, QString(), m_statusFont, kCarInfoCaptionFontHeight, kColorCaptionInactive,
                  Text(kTextCarInfoCaption), 0);

    auto* carInfo = new CCarInfoViewer(m_window);
    carInfo->setGeometry(SkinRect{487, H - 89, 634, H - 38}.ToQRect());
    carInfo->show();
    m_controls.insert(kIdCarInfoPanel, carInfo);
}

void CControlLayout::CreateListCtrl()
{
    const int W = m_window->width();
    m_list = new CRListCtrl(m_window);
    m_list->setGeometry(SkinRect{W - kPlayListLeftFromRight, kPlayListTop, W - kPlayListRightFromRight,
                                 kPlayListBottom}
                            .ToQRect());
    m_list->show();
    m_controls.insert(kIdPlayList, m_list);
}

void CControlLayout::PlaceVideo(const SkinRect& front, const SkinRect& rear, int sliderTop)
{
    if (m_frontVideo)
        m_frontVideo->setGeometry(front.ToQRect());
    if (m_rearVideo)
        m_rearVideo->setGeometry(rear.ToQRect());
    if (QWidget* slider = Control(kIdPositionSlider))
        slider->setGeometry(0, sliderTop, front.Width() + kPositionSliderExtraWidth, kPositionSliderHeight);
}
// ---- Size changes ------------------------------------------------------------------------

void CControlLayout::ArrangeControls(int dx, int dy)
{
    auto shift = [this](int id, int mx, int my) {
        if (QWidget* w = Control(id))
            w->move(w->pos() + QPoint(mx, my));
    };
    auto range = [&](int first, int last, int mx, int my) {
        for (int id = first; id <= last; ++id)
            shift(id, mx, my);
    };
    range(kIdClose, kIdMaximise, dx, 0);
    range(kIdFoldUp, kIdMapSearch, dx, 0);
    range(kIdLabelRear, kIdSecondTitle, dx, 0);
    shift(kIdMapBrowser, dx, 0);
    range(1251, 1260, dx, 0);
    shift(kIdMapPlaceholder, dx, 0);
    range(kIdCurrentTime, kIdAccelZ, 0, dy);
    shift(kIdSpeedGauge, 0, dy);
    shift(kIdUnit, 0, dy);
    range(kIdPlay, kIdForward10, dx / 2, dy);
    shift(kIdAnalysisMessage, dx / 2, dy);
    shift(kIdAnalysisPercent, dx / 2, dy);
    range(kIdZoomMenu, kIdContinuousPlay, dx, dy);
    shift(kIdVersion, dx, dy);
    if (QWidget* list = Control(kIdPlayList)) {
        const QRect g = list->geometry();
        list->setGeometry(g.x() + dx, g.y(), g.width(), g.height() + dy);
    }
    if (QWidget* graph = Control(kIdGraphPanel)) {
        const QRect g = graph->geometry();
        graph->setGeometry(g.x(), g.y() + dy, g.width() + dx, g.height());
    }
    shift(kIdCarInfoCaption, dx, dy);
    shift(kIdCarInfoPanel, dx, dy);
}
