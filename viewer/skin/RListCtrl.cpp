#include "skin/RListCtrl.h"

#include "skin/RScrollBar.h"
#include "skin/SkinBlit.h"
#include "skin/SkinConstants.h"
#include "skin/SkinImage.h"
#include "skin/SkinText.h"
#include "skin/TDropBox.h"
#include "base/TraceLog.h"
#include "lang/Lang.h"

#include <QMouseEvent>
#include <QPainter>

#include <algorithm>
#include <climits>

using namespace SkinConst;

namespace {
QString Name(const char* name)
{
    return QString::fromLatin1(name);
}
} // namespace

CRListCtrl::CRListCtrl(QWidget* parent)
    : QWidget(parent)
{
    setFocusPolicy(Qt::NoFocus);

    m_scrollBar = new CRScrollBar(this);
    m_scrollBar->hide();
    m_scrollBar->setGeometry(width() - kListScrollWidth, 0, kListScrollWidth, height());
    m_scrollBar->SetNotifyWindow(this);
    connect(m_scrollBar, &CSkinScrollBar::NotifyMessage, this, &CRListCtrl::OnScrollMessage);

    m_contextMenu = new CTDropBox(this);
    m_contextMenu->setWindowTitle(Name(kListMenuTitle));
    m_contextMenu->resize(kListMenuWidth, kListMenuHeight);
    m_contextMenu->SetImages(Name(kListMenuBackground), Name(kListMenuHeld), Name(kListMenuHover));
    m_contextMenu->SetTextColors(QColor::fromRgba(kListMenuTextNormal), QColor::fromRgba(kListMenuTextHover));
    m_contextMenu->AddItem(LangText(Name(kListMenuPlayKey)), Name(kListMenuPlayShortcut), kListMenuPlay);
    m_contextMenu->AddItem(LangText(Name(kListMenuDeleteKey)), Name(kListMenuDeleteShortcut), kListMenuDelete);
    m_contextMenu->AddItem(LangText(Name(kListMenuExportKey)), QString(), kListMenuExport);
    m_contextMenu->hide();
    connect(m_contextMenu, &CTDropBox::Command, this, [this](int id) {
        if (m_menuOwner)
            emit MenuCommand(id);
    });
}

CRListCtrl::~CRListCtrl() = default;

// ---- Items -------------------------------------------------------------------

QString CRListCtrl::SizeText(qint64 fileSize)
{
    // In double precision: right to the hundredth of a megabyte at any size.
    return QString::asprintf("%0.2fmb", double(fileSize) / kListBytesPerMb);
}

int CRListCtrl::HintLineHeight(const QString& language)
{
    return language == QLatin1String("english") || language == QLatin1String("french") ? kListHintLineWide
                                                                                         : kListHintLine;
}

void CRListCtrl::AddItem(const QString& name, int tag, const QString& extra, qint64 fileSize, int pairRole)
{
    ListItem item;
    item.tag = tag;
    item.name = name;
    item.extra = extra;
    item.sizeText = SizeText(fileSize);
    item.pairRole = pairRole;
    const Lock lock(m_lock);
    m_items.push_back(std::move(item));
}

void CRListCtrl::DeleteAllItems()
{
    const Lock lock(m_lock);
    m_items.clear();
    SetTopIndexLocked(0);
    m_playingIndex = -1;
    m_focusIndex = -1;
}

int CRListCtrl::GetItemCount() const
{
    const Lock lock(m_lock);
    return int(m_items.size());
}

ListItem CRListCtrl::GetItem(int index) const
{
    const Lock lock(m_lock);
    if (index < 0 || index >= int(m_items.size()))
        return ListItem();
    return m_items[size_t(index)];
}

int CRListCtrl::GetPlayingIndex() const
{
    const Lock lock(m_lock);
    return m_playingIndex;
}

int CRListCtrl::GetFocusIndex() const
{
    const Lock lock(m_lock);
    return m_focusIndex;
}

int CRListCtrl::GetTopIndex() const
{
    const Lock lock(m_lock);
    return m_topIndex;
}

const CListRow* CRListCtrl::GetRow(int row) const
{
    return row >= 0 && row < int(m_rows.size()) ? m_rows[size_t(row)].get() : nullptr;
}

int CRListCtrl::FindItem(const QString& name) const
{
    const Lock lock(m_lock);
    for (size_t i = 0; i < m_items.size(); ++i)
        if (m_items[i].name == name)
            return int(i);
    return -1;
}

// ---- Rows, refresh and scrolling -------------------------------------------------

void CRListCtrl::EnsureRows()
{
    if (m_clientRect.size() == size() && m_layoutDone)
        return;
    m_layoutDone = true;
    m_rows.clear();
    m_clientRect = rect();
    TraceLogF(kTraceListSize, m_clientRect.height());
    const int w = m_clientRect.width(), h = m_clientRect.height();
    m_scrollBar->setGeometry(w - kListScrollWidth, 0, kListScrollWidth, h);
    const int rows = h / kListRowHeight;
    m_rows.reserve(size_t(std::max(rows, 0)));
    for (int i = 0; i < rows; ++i) {
        auto row = std::make_unique<CListRow>(SkinRect{0, kListRowHeight * i, kListRowWidth, kListRowHeight * (i + 1)},
                                              i % 2 == 0 ? 1 : 0);
        row->Layout();
        m_rows.push_back(std::move(row));
    }
    m_hintBackground.Release();
    if (m_hintBackground.Create(w - kListScrollWidth, h))
        CSkinImage::GetInstance()->DrawNinePatch(m_hintBackground, Name(kListHintPicture));
    const Lock lock(m_lock);
    RefreshLocked();
}

void CRListCtrl::resizeEvent(QResizeEvent*)
{
    EnsureRows();
}

void CRListCtrl::Refresh()
{
    EnsureRows();
    const Lock lock(m_lock);
    RefreshLocked();
}

void CRListCtrl::RefreshLocked()
{
    EnsureRows();
    const int count = int(m_items.size());
    if (m_topIndex < 0 || m_topIndex >= count)
        m_topIndex = 0;
    for (int j = 0; j < RowsShown(); ++j) {
        const int index = m_topIndex + j;
        if (index < count)
            m_rows[size_t(j)]->SetItem(m_items[size_t(index)], index);
        else
            m_rows[size_t(j)]->SetItem(ListItem(), -1);
    }
    if (!m_thumbDriven) {
        const qint64 content = qint64(count) * kListRowHeight;
        const int view = m_clientRect.height();
        if (content > view) {
            const int spare = count - RowsShown();
            const int percent = spare < 1 ? 0 : int(qint64(m_topIndex) * 100 / spare);
            m_scrollBar->SetInfo(int(std::min<qint64>(content, INT_MAX)), view, percent);
        } else {
            m_scrollBar->SetInfo(1, 1, 0);
        }
        m_scrollBar->show();
        m_scrollBar->update();
    }
    m_thumbDriven = false;
    InvalidateRows();
}

void CRListCtrl::InvalidateRows()
{
    update(QRect(0, 0, width() - kListScrollWidth, height()));
    m_scrollBar->RedrawTrack();
}

void CRListCtrl::SetTopIndex(int index)
{
    EnsureRows();
    const Lock lock(m_lock);
    SetTopIndexLocked(index);
}

void CRListCtrl::SetTopIndexLocked(int index)
{
    EnsureRows();
    const int count = int(m_items.size());
    if (index > count - RowsShown())
        index = count - RowsShown();
    if (index < 0)
        index = 0;
    m_topIndex = index;
    RefreshLocked();
}

void CRListCtrl::SetEmptyMode(bool empty)
{
    m_emptyMode = empty;
    update(QRect(0, 0, width() - kListScrollWidth, height()));
}

void CRListCtrl::ScrollByWheel(int delta)
{
    if (m_scrollBar->isHidden())
        return;
    const Lock lock(m_lock);
    if (delta == kWheelStep)
        SetTopIndexLocked(m_topIndex - 1);
    else if (delta == -kWheelStep)
        SetTopIndexLocked(m_topIndex + 1);
}

void CRListCtrl::OnScrollMessage(unsigned message, quintptr wParam, qintptr)
{
    const Lock lock(m_lock);
    if (message == kMsgScrollUp) {
        SetTopIndexLocked(m_topIndex - 1);
    } else if (message == kMsgScrollDown) {
        SetTopIndexLocked(m_topIndex + 1);
    } else if (message == kMsgScrollPercent) {
        // The thumb stays where it was dragged: the bar is not set again.
        m_thumbDriven = true;
        const qint64 spare = qint64(m_items.size()) - RowsShown() + 1;
        SetTopIndexLocked(int(qint64(wParam) * spare / 100));
    }
}

void CRListCtrl::wheelEvent(QWheelEvent* event)
{
    event->ignore(); // the parent decides, through ScrollByWheel
}

// ---- Cursors ---------------------------------------------------------------------

void CRListCtrl::SyncRowMarks()
{
    const int count = int(m_items.size());
    for (const auto& row : m_rows) {
        const int index = row->ItemIndex();
        if (index < 0 || index >= count)
            continue;
        row->SetFocusMark(m_items[size_t(index)].focused != 0);
        row->SetPlayingMark(m_items[size_t(index)].nowPlaying != 0);
    }
    InvalidateRows();
}

bool CRListCtrl::SelectNext(bool includeRear)
{
    {
        EnsureRows();
        const Lock lock(m_lock);
        const int count = int(m_items.size());
        if (count <= 1)
            return false;
        if (m_playingIndex < 0 || m_playingIndex >= count) {
            if (m_focusIndex < 0 || m_focusIndex >= count) {
                TraceLog(Name(kTraceSelectNextNone));
                return false;
            }
            TraceLog(Name(kTraceSelectNextFocus));
            m_playingIndex = m_focusIndex;
        }
        m_items[size_t(m_playingIndex)].nowPlaying = 0;
        bool atEnd = m_playingIndex + 1 >= count;
        int next = m_playingIndex + 1;
        if (!includeRear && !atEnd && m_items[size_t(next)].pairRole == 2) {
            // Dual play: the rear partner plays with its front; step over it.
            if (m_playingIndex + 2 < count)
                next = m_playingIndex + 2;
            else
                atEnd = true;
        }
        if (atEnd) {
            if (m_focusIndex > 0 && m_focusIndex < count)
                m_items[size_t(m_focusIndex)].focused = 0;
            SetTopIndexLocked(0);
            m_playingIndex = 0;
            m_focusIndex = 0;
            m_items[0].nowPlaying = 1;
            m_items[0].focused = 1;
        } else {
            m_playingIndex = next;
            if (next == m_topIndex + RowsShown())
                SetTopIndexLocked(m_topIndex + 1);
            m_items[size_t(next)].nowPlaying = 1;
        }
        SyncRowMarks();
    }
    emit Command(kListCmdPlayingChanged);
    return true;
}

bool CRListCtrl::SelectPrev(bool includeRear)
{
    {
        EnsureRows();
        const Lock lock(m_lock);
        const int count = int(m_items.size());
        const int current = m_playingIndex;
        if (current <= 0 || current >= count)
            return false; // item 0 stays, nothing playing stays
        int previous = current - 1;
        if (!includeRear && m_items[size_t(previous)].pairRole == 2) {
            // Dual play: to the front partner of the rear before it.
            previous = current - 2;
            if (previous < 0)
                return false;
        }
        m_items[size_t(current)].nowPlaying = 0;
        m_playingIndex = previous;
        if (previous == m_topIndex - 1)
            SetTopIndexLocked(m_topIndex - 1);
        m_items[size_t(previous)].nowPlaying = 1;
        SyncRowMarks();
    }
    emit Command(kListCmdPlayingChanged);
    return true;
}

void CRListCtrl::FocusNext()
{
    EnsureRows();
    const Lock lock(m_lock);
    const int count = int(m_items.size());
    if (count == 0)
        return;
    int target;
    if (m_focusIndex < 0 || m_focusIndex >= count) {
        target = 0; // no focus yet: the first item
        SetTopIndexLocked(0);
    } else if (count == 1) {
        return;
    } else {
        m_items[size_t(m_focusIndex)].focused = 0;
        target = m_focusIndex + 1;
        if (target >= count) {
            target = 0;
            SetTopIndexLocked(0);
        } else if (target == m_topIndex + RowsShown()) {
            SetTopIndexLocked(m_topIndex + 1);
        }
    }
    m_focusIndex = target;
    m_items[size_t(target)].focused = 1;
    SyncRowMarks();
}

void CRListCtrl::FocusPrev()
{
    EnsureRows();
    const Lock lock(m_lock);
    const int count = int(m_items.size());
    if (count == 0)
        return;
    int target;
    if (m_focusIndex < 0 || m_focusIndex >= count) {
        target = count - 1; // no focus yet: the last item
        SetTopIndexLocked(count - 1);
    } else if (count == 1) {
        return;
    } else {
        m_items[size_t(m_focusIndex)].focused = 0;
        target = m_focusIndex - 1;
        if (target < 0) {
            target = count - 1;
            SetTopIndexLocked(count - 1);
        } else if (target == m_topIndex - 1) {
            SetTopIndexLocked(m_topIndex - 1);
        }
    }
    m_focusIndex = target;
    m_items[size_t(target)].focused = 1;
    SyncRowMarks();
}

void CRListCtrl::PlayFocused()
{
    {
        EnsureRows();
        const Lock lock(m_lock);
        const int count = int(m_items.size());
        if (m_focusIndex < 0 || m_focusIndex >= count)
            return;
        if (m_playingIndex >= 0 && m_playingIndex < count)
            m_items[size_t(m_playingIndex)].nowPlaying = 0;
        m_playingIndex = m_focusIndex;
        m_items[size_t(m_playingIndex)].nowPlaying = 1;
        SyncRowMarks();
    }
    emit Command(kListCmdPlayingChanged);
}

void CRListCtrl::MarkByName(const QString& name, bool playing)
{
    EnsureRows();
    const Lock lock(m_lock);
    int& cursor = playing ? m_playingIndex : m_focusIndex;
    auto clearAll = [this, playing] {
        for (ListItem& item : m_items)
            (playing ? item.nowPlaying : item.focused) = 0;
    };
    const int count = int(m_items.size());
    const CListRow* matched = nullptr;
    if (name.isEmpty()) {
        cursor = -1;
        clearAll();
    } else {
        // Only the rows shown are looked at.
        for (const auto& row : m_rows) {
            const int index = row->ItemIndex();
            if (index >= 0 && index < count && row->Item().name == name) {
                matched = row.get();
                clearAll();
                (playing ? m_items[size_t(index)].nowPlaying : m_items[size_t(index)].focused) = 1;
                cursor = index;
                break;
            }
        }
    }
    for (const auto& row : m_rows) {
        if (playing)
            row->SetPlayingMark(row.get() == matched);
        else
            row->SetFocusMark(row.get() == matched);
    }
    InvalidateRows();
}

void CRListCtrl::SetPlayingByName(const QString& name)
{
    MarkByName(name, true);
}

void CRListCtrl::SetFocusedByName(const QString& name)
{
    MarkByName(name, false);
}

QString CRListCtrl::GetPlayingName() const
{
    const Lock lock(m_lock);
    return m_playingIndex >= 0 && m_playingIndex < int(m_items.size()) ? m_items[size_t(m_playingIndex)].name
                                                                      : QString();
}

QString CRListCtrl::GetFocusedName() const
{
    const Lock lock(m_lock);
    return m_focusIndex >= 0 && m_focusIndex < int(m_items.size()) ? m_items[size_t(m_focusIndex)].name : QString();
}

QString CRListCtrl::GetPartnerName() const
{
    const Lock lock(m_lock);
    const int count = int(m_items.size());
    const int i = m_playingIndex;
    if (i < 0 || i >= count)
        return QString();
    const ListItem& item = m_items[size_t(i)];
    if (item.pairRole == 2 && i - 1 >= 0 && m_items[size_t(i - 1)].pairRole == 1)
        return m_items[size_t(i - 1)].name;
    if (item.pairRole == 1 && i + 1 < count && m_items[size_t(i + 1)].pairRole == 2)
        return m_items[size_t(i + 1)].name;
    return item.name;
}

bool CRListCtrl::IsPlayingRear() const
{
    const Lock lock(m_lock);
    return m_playingIndex >= 0 && m_playingIndex < int(m_items.size())
           && m_items[size_t(m_playingIndex)].pairRole == 2;
}

bool CRListCtrl::IsPlayingSingle() const
{
    const Lock lock(m_lock);
    return m_playingIndex >= 0 && m_playingIndex < int(m_items.size())
           && m_items[size_t(m_playingIndex)].pairRole == 0;
}

void CRListCtrl::RebuildContextMenu()
{
    m_contextMenu->SetItemTexts(kListMenuPlay, LangText(Name(kListMenuPlayKey)), Name(kListMenuPlayShortcut));
    m_contextMenu->SetItemTexts(kListMenuDelete, LangText(Name(kListMenuDeleteKey)), Name(kListMenuDeleteShortcut));
    m_contextMenu->SetItemTexts(kListMenuExport, LangText(Name(kListMenuExportKey)), QString());
    m_contextMenu->ResetFont();
}

// ---- Pointer -----------------------------------------------------------------------

bool CRListCtrl::MouseIgnored() const
{
    const Lock lock(m_lock);
    return m_emptyMode || m_items.empty();
}

int CRListCtrl::RowAt(QPoint pos) const
{
    if (pos.y() < 0)
        return -1;
    const int row = pos.y() / kListRowHeight;
    if (row >= int(m_rows.size()) || !m_rows[size_t(row)]->RowRect().ToQRect().contains(pos))
        return -1;
    return row;
}

void CRListCtrl::FocusRowLocked(int row)
{
    for (int j = 0; j < RowsShown(); ++j)
        m_rows[size_t(j)]->SetPressState(j == row ? 2 : 0);
    const int index = m_rows[size_t(row)]->ItemIndex();
    const int count = int(m_items.size());
    // A row below the last item only shows the press.
    if (index >= 0 && index < count) {
        if (m_focusIndex >= 0 && m_focusIndex < count)
            m_items[size_t(m_focusIndex)].focused = 0;
        m_items[size_t(index)].focused = 1;
        m_focusIndex = index;
    }
    SyncRowMarks();
}

void CRListCtrl::mousePressEvent(QMouseEvent* event)
{
    event->accept();
    EnsureRows();
    if (event->button() != Qt::LeftButton || MouseIgnored())
        return;
    const int row = RowAt(event->position().toPoint());
    if (row < 0)
        return;
    const Lock lock(m_lock);
    FocusRowLocked(row);
}

void CRListCtrl::mouseReleaseEvent(QMouseEvent* event)
{
    event->accept();
    EnsureRows();
    if (MouseIgnored())
        return;
    if (event->button() == Qt::LeftButton) {
        for (const auto& row : m_rows)
            row->SetPressState(0);
        InvalidateRows();
        return;
    }
    if (event->button() != Qt::RightButton || !rect().contains(event->position().toPoint()))
        return;
    TraceLog(Name(kTraceListRightButton));
    {
        const Lock lock(m_lock);
        const int row = RowAt(event->position().toPoint());
        if (row >= 0)
            FocusRowLocked(row);
    }
    emit NotifyMessage(kMsgListRightButton, 0, 0);
    m_contextMenu->ShowAt(event->globalPosition().toPoint());
}

void CRListCtrl::mouseDoubleClickEvent(QMouseEvent* event)
{
    event->accept();
    EnsureRows();
    if (event->button() != Qt::LeftButton || MouseIgnored())
        return;
    const int row = RowAt(event->position().toPoint());
    if (row < 0)
        return;
    {
        const Lock lock(m_lock);
        const int index = m_rows[size_t(row)]->ItemIndex();
        const int count = int(m_items.size());
        if (index < 0 || index >= count)
            return;
        if (m_playingIndex >= 0 && m_playingIndex < count)
            m_items[size_t(m_playingIndex)].nowPlaying = 0;
        m_playingIndex = index;
        m_items[size_t(index)].nowPlaying = 1;
        SyncRowMarks();
    }
    emit Command(kListCmdDoubleClicked);
}

// ---- Painting ----------------------------------------------------------------------

void CRListCtrl::PaintHint(QPainter& painter)
{
    const int w = width() - kListScrollWidth, h = height();
    m_hintSurface.Release();
    if (!m_hintSurface.Create(w, h))
        return;
    QImage& img = m_hintSurface.GetImage();
    if (m_hintBackground.IsCreated())
        SkinBlit::Stretch(img, 0, 0, w, h, m_hintBackground.GetImage(), 0, 0, m_hintBackground.GetWidth(),
                          m_hintBackground.GetHeight());
    const QString language = CurrentLanguage();
    const int line = HintLineHeight(language);
    const int top = (h - 4 * line) / 2;
    {
        QPainter p(&img);
        p.setFont(MakeSkinFont(kListHintFontHeight, QFont::Normal, LanguageFaceName()));
        p.setPen(QColor::fromRgba(kListHintColor));
        for (int i = 0; i < 4; ++i) {
            if (i == 3 && language == QLatin1String("french"))
                break;
            p.drawText(QRect(0, top + i * line, w, line),
                       Qt::AlignHCenter | Qt::AlignVCenter | Qt::TextWordWrap | Qt::TextExpandTabs,
                       LangText(Name(kListHintKeys[i])));
        }
    }
    painter.drawImage(0, 0, img);
}

QImage CRListCtrl::ComposedImage()
{
    EnsureRows();
    QImage img(size(), QImage::Format_ARGB32_Premultiplied);
    img.fill(Qt::transparent);
    QPainter p(&img);
    if (m_emptyMode) {
        PaintHint(p);
    } else {
        for (const auto& row : m_rows)
            p.drawImage(row->RowRect().left, row->RowRect().top, row->Composed());
    }
    return img;
}

void CRListCtrl::paintEvent(QPaintEvent*)
{
    EnsureRows();
    QPainter p(this);
    if (m_emptyMode) {
        PaintHint(p);
        return;
    }
    for (const auto& row : m_rows)
        p.drawImage(row->RowRect().left, row->RowRect().top, row->Composed());
}
