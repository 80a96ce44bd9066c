#include "skin/ListRow.h"

#include "skin/SkinBlit.h"
#include "skin/SkinConstants.h"
#include "skin/SkinImage.h"
#include "skin/SkinText.h"

#include <QPainter>

using namespace SkinConst;

namespace {
QString Name(const char* name)
{
    return QString::fromLatin1(name);
}

void DrawStretched(CSkinSurface& surface, int w, int h, const char* name, SkinRect* content = nullptr)
{
    surface.Release();
    if (surface.Create(w, h))
        CSkinImage::GetInstance()->DrawNinePatch(surface, Name(name), content);
}
} // namespace

CListRow::CListRow(const SkinRect& rowRect, int parityFlag)
    : m_rowRect(rowRect)
    , m_parityFlag(parityFlag)
{
}

void CListRow::Layout()
{
    m_nameRect = SkinRect{0, 0, kListNameWidth, kListRowHeight};
    m_sizeRect = SkinRect{0, 0, kListSizeWidth, kListRowHeight};
    for (int i = 0; i < 4; ++i) {
        DrawStretched(m_nameBackgrounds[i], kListNameWidth, kListRowHeight, kListRowPictures[i],
                      i == 0 ? &m_nameRect : nullptr);
        DrawStretched(m_sizeBackgrounds[i], kListSizeWidth, kListRowHeight, kListRowPictures[i],
                      i == 0 ? &m_sizeRect : nullptr);
    }
    m_sizeRect.left += kListNameWidth;
    m_sizeRect.right += kListNameWidth;
    DrawStretched(m_playingIcon, kListPlayingIconAt[2], kListPlayingIconAt[3], kListPlayingIcon);
    DrawStretched(m_frontLinkIcon, kListLinkIconAt[2], kListLinkIconAt[3], kListFrontLinkIcon);
    DrawStretched(m_rearLinkIcon, kListLinkIconAt[2], kListLinkIconAt[3], kListRearLinkIcon);
    m_font = MakeSkinFont(kListRowFontHeight, QFont::Normal, LanguageFaceName());
    m_dirty = true;
}

void CListRow::SetItem(const ListItem& item, int itemIndex)
{
    m_item = item;
    m_itemIndex = itemIndex;
    m_dirty = true;
}

void CListRow::SetPressState(int state)
{
    if (m_pressState != state) {
        m_pressState = state;
        m_dirty = true;
    }
}

void CListRow::SetFocusMark(bool focused)
{
    if (bool(m_item.focused) != focused) {
        m_item.focused = focused ? 1 : 0;
        m_dirty = true;
    }
}

void CListRow::SetPlayingMark(bool playing)
{
    if (bool(m_item.nowPlaying) != playing) {
        m_item.nowPlaying = playing ? 1 : 0;
        m_dirty = true;
    }
}

CListRow::Pair CListRow::BackgroundPair() const
{
    if (m_item.focused && m_pressState != 2)
        return OverPair;
    if (m_pressState == 2)
        return PressPair;
    return m_parityFlag == 1 ? EvenPair : OddPair;
}

QColor CListRow::TextColor() const
{
    if (m_item.focused)
        return QColor::fromRgba(kListTextFocused);
    if (m_item.nowPlaying)
        return QColor::fromRgba(kListTextPlaying);
    if (m_pressState == 0)
        return QColor::fromRgba(kListTextNormal);
    return QColor::fromRgba(kListTextPressed);
}

const QImage& CListRow::Composed()
{
    if (!m_composeSurface.IsCreated()) {
        m_composeSurface.Create(kListRowWidth, kListRowHeight);
        m_dirty = true;
    }
    if (!m_dirty)
        return m_composeSurface.GetImage();
    m_dirty = false;
    QImage& img = m_composeSurface.GetImage();
    img.fill(Qt::transparent);
    const Pair pair = BackgroundPair();
    SkinBlit::Copy(img, 0, 0, kListNameWidth, kListRowHeight, m_nameBackgrounds[pair].GetImage(), 0, 0);
    SkinBlit::Copy(img, kListNameWidth, 0, kListSizeWidth, kListRowHeight, m_sizeBackgrounds[pair].GetImage(), 0, 0);
    if (!ShowsItem())
        return img;
    if (m_item.nowPlaying)
        SkinBlit::AlphaBlend(img, kListPlayingIconAt[0], kListPlayingIconAt[1], kListPlayingIconAt[2],
                             kListPlayingIconAt[3], m_playingIcon.GetImage(), 0, 0);
    const CSkinSurface* link = m_item.pairRole == 1 ? &m_frontLinkIcon : m_item.pairRole == 2 ? &m_rearLinkIcon : nullptr;
    if (link)
        SkinBlit::AlphaBlend(img, kListLinkIconAt[0], kListLinkIconAt[1], kListLinkIconAt[2], kListLinkIconAt[3],
                             link->GetImage(), 0, 0);
    QPainter p(&img);
    p.setFont(m_font);
    p.setPen(TextColor());
    // Each text is cut at the edge of its box.
    const int flags = Qt::AlignLeft | Qt::AlignVCenter | Qt::TextSingleLine;
    p.drawText(m_nameRect.ToQRect(), flags, m_item.name);
    p.drawText(m_sizeRect.ToQRect(), flags, m_item.sizeText);
    return img;
}
