#include "windows/VideoSubWnd.h"

#include "lang/Lang.h"
#include "skin/SkinImage.h"
#include "skin/SkinText.h"
#include "windows/WindowsIds.h"

#include <QPainter>

using namespace WindowsIds;

CVideoSubWnd::CVideoSubWnd(QWidget* parent, const QRect& rect)
    : CVideoWnd(parent, 0)
{
    setGeometry(rect);
    setWindowTitle(QString::fromLatin1(kVideoWindowTitle));
    if (m_background.Create(width(), height()))
        CSkinImage::GetInstance()->DrawImage(m_background, QString::fromLatin1(kPicViewRear));
}

void CVideoSubWnd::ComposeNotice()
{
    m_notice.Release();
    if (!m_notice.Create(width(), height()))
        return;
    CSkinImage::GetInstance()->DrawNinePatch(m_notice, QString::fromLatin1(kPicRearNotice));
    QPainter p(&m_notice.GetImage());
    p.setFont(MakeSkinFont(kRearNoticeFontHeight, QFont::Normal, LanguageFaceName()));
    p.setPen(QColor::fromRgb(kRearNoticeColor));
    const int t = (height() - kRearNoticeBlock) / 2;
    const int left = kRearNoticeLeftInset;
    const int right = width() - kRearNoticeRightInset;
    const int flags = Qt::AlignHCenter | Qt::AlignTop | Qt::TextWordWrap;
    p.drawText(QRect(QPoint(left, t), QPoint(right - 1, t + kRearNoticeLineHeight - 1)), flags,
               LangText(QString::fromLatin1(kTextRearNotice1)));
    p.drawText(QRect(QPoint(left, t + kRearNoticeSecondTop),
                     QPoint(right - 1, t + kRearNoticeSecondTop + kRearNoticeLineHeight - 1)),
               flags, LangText(QString::fromLatin1(kTextRearNotice2)));
}

void CVideoSubWnd::PaintSkin(QPainter& painter)
{
    painter.fillRect(rect(), Qt::black);
    if (ShowsNotice()) {
        ComposeNotice();
        painter.drawImage(rect(), m_notice.GetImage());
        return;
    }
    if (m_background.IsCreated())
        painter.drawImage(rect(), m_background.GetImage());
}
