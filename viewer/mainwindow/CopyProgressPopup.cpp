#include "mainwindow/CopyProgressPopup.h"

#include "mainwindow/MainWindowIds.h"
#include "lang/Lang.h"
#include "skin/RButton.h"
#include "skin/SkinBalloonTip.h" // completes the balloon pointer of the skinned buttons
#include "skin/SkinImage.h"
#include "skin/SkinText.h"

#include <QPainter>

using namespace MainWnd;

namespace {
constexpr const char* kPicPopupBackground = "play_setting_bg.9.png";
constexpr const char* kPicButton = "setting_btn_nor.9.png";
constexpr QRgb kTitleColour = 0xFFB2C1DE;  // as the panels' titles
constexpr QRgb kButtonColour = 0xFF8CA9BC; // as the panels' button captions
constexpr int kMargin = 14;
constexpr int kTitleTop = 12;
constexpr int kBarTop = 36;
constexpr int kBarHeight = 7;
constexpr int kButtonWidth = 90;
constexpr int kButtonHeight = 21;
constexpr int kButtonTop = 54;
} // namespace

CCopyProgressPopup::CCopyProgressPopup(QWidget* parent)
    : QWidget(parent)
{
    resize(kWidth, kHeight);
    m_font = MakeLanguageFont(kStatusFontKey, 13);
    if (m_background.Create(kWidth, kHeight))
        CSkinImage::GetInstance()->DrawNinePatch(m_background, QString::fromLatin1(kPicPopupBackground));
    const int barWidth = kWidth - 2 * kMargin;
    if (m_track.Create(barWidth, kBarHeight))
        CSkinImage::GetInstance()->DrawNinePatch(m_track, QString::fromLatin1(kPicProgressTrack));
    if (m_filled.Create(barWidth, kBarHeight))
        CSkinImage::GetInstance()->DrawNinePatch(m_filled, QString::fromLatin1(kPicProgressFilled));

    m_cancel = new CRButton(this, 0);
    m_cancel->setGeometry((kWidth - kButtonWidth) / 2, kButtonTop, kButtonWidth, kButtonHeight);
    SkinTextStyle style;
    style.text = LangText(QString::fromLatin1(kTextCancel));
    style.normalColor = QColor::fromRgba(kButtonColour);
    style.disabledColor = QColor::fromRgba(kButtonColour);
    style.overColor = Qt::white;
    style.pressColor = Qt::white;
    style.fontHeight = 11;
    style.align = 1;
    const QString picture = QString::fromLatin1(kPicButton);
    m_cancel->SetNinePatchImages(picture, picture, picture, &m_background, &style);
    connect(m_cancel, &CSkinButton::Command, this, &CCopyProgressPopup::CancelRequested);
    hide();
}

QString CCopyProgressPopup::TitleText() const
{
    return QStringLiteral("%1 %2%").arg(LangText(QString::fromLatin1(kTextSaving))).arg(m_percent);
}

void CCopyProgressPopup::SetProgress(qint64 done, qint64 total)
{
    const int percent = total > 0 ? int(qBound(qint64(0), done * 100 / total, qint64(100))) : 0;
    if (percent == m_percent)
        return;
    m_percent = percent;
    update();
}

void CCopyProgressPopup::ShowOver(const QRect& area)
{
    move(area.center() - QPoint(kWidth / 2, kHeight / 2));
    show();
    raise();
}

void CCopyProgressPopup::paintEvent(QPaintEvent*)
{
    QPainter p(this);
    if (m_background.IsCreated())
        p.drawImage(0, 0, m_background.GetImage());
    p.setFont(m_font);
    p.setPen(QColor::fromRgba(kTitleColour));
    p.drawText(QRect(kMargin, kTitleTop, kWidth - 2 * kMargin, kBarTop - kTitleTop), Qt::AlignLeft | Qt::AlignTop,
               TitleText());
    if (m_track.IsCreated())
        p.drawImage(kMargin, kBarTop, m_track.GetImage());
    if (m_filled.IsCreated() && m_percent > 0) {
        const int w = m_filled.GetWidth() * m_percent / 100;
        p.drawImage(QPoint(kMargin, kBarTop), m_filled.GetImage(), QRect(0, 0, w, kBarHeight));
    }
}
