#pragma once

#include "skin/SkinRect.h"
#include "skin/SkinSurface.h"

#include <QFont>
#include <QImage>
#include <QString>

// One recording of the play list, in insertion order.
struct ListItem {
    int tag = 0;       // kept for the owner
    QString name;      // shown; the owner identifies the recording by it
    QString extra;     // kept for the owner, not shown
    QString sizeText;  // "%0.2fmb" of the file size
    int pairRole = 0;  // 0 no partner; 1 front whose rear follows; 2 rear whose front precedes
    int nowPlaying = 0;
    int focused = 0;
};

// One visible row of the play list (307 x 20): a copy of the item it shows
// (itemIndex -1 and an empty item for a row below the last item), its
// press state (0, or 2 while the left button is down on it) and parity
// (1 for rows 0, 2, 4 ... on screen). It draws its column pictures once,
// at Layout, and composes its picture only when something it shows changed.
// Not a window: the list paints the rows' pictures and routes the pointer.
// GUI thread only.
class CListRow
{
public:
    CListRow(const SkinRect& rowRect, int parityFlag);
    CListRow(const CListRow&) = delete;
    CListRow& operator=(const CListRow&) = delete;

    // Draws the column backgrounds and the markers (through the image
    // service) and takes the name and size text boxes from the first
    // background's content box.
    void Layout();

    void SetItem(const ListItem& item, int itemIndex);
    const ListItem& Item() const { return m_item; }
    int ItemIndex() const { return m_itemIndex; }
    // Whether the row shows an item (a name, or an index).
    bool ShowsItem() const { return !m_item.name.isEmpty() || m_itemIndex != -1; }

    void SetPressState(int state);
    int PressState() const { return m_pressState; }
    void SetFocusMark(bool focused);
    void SetPlayingMark(bool playing);

    const SkinRect& RowRect() const { return m_rowRect; }
    const SkinRect& NameRect() const { return m_nameRect; }
    const SkinRect& SizeRect() const { return m_sizeRect; }
    int ParityFlag() const { return m_parityFlag; }

    // The row's picture, composed anew when it is out of date.
    const QImage& Composed();
    // The text colour the row's texts are drawn in now.
    QColor TextColor() const;

private:
    enum Pair { EvenPair = 0, OddPair = 1, OverPair = 2, PressPair = 3 };
    Pair BackgroundPair() const;

    ListItem m_item;
    SkinRect m_rowRect;
    SkinRect m_nameRect;
    SkinRect m_sizeRect;
    int m_parityFlag;
    int m_pressState = 0;
    int m_itemIndex = -1;
    QFont m_font;
    CSkinSurface m_composeSurface;
    CSkinSurface m_nameBackgrounds[4]; // even, odd, over, press
    CSkinSurface m_sizeBackgrounds[4];
    CSkinSurface m_playingIcon;
    CSkinSurface m_frontLinkIcon;
    CSkinSurface m_rearLinkIcon;
    bool m_dirty = true;
};
