#pragma once

#include "skin/ListRow.h"
#include "skin/SkinSurface.h"

#include <QPointer>
#include <QWidget>

#include <memory>
#include <mutex>
#include <vector>

class CRScrollBar;
class CTDropBox;

// The play list: a child window showing one 20-pixel row per recording of a
// category (name, size in megabytes, a now-playing marker, a link marker
// for front/rear pairs), scrolled by its own vertical CRScrollBar along the
// right edge, with a two-entry context menu (a CTDropBox: play, delete).
// While in empty mode it shows a hint panel instead of rows.
//
// Two cursors: the playing item and the focused item (-1: none). The list
// keeps one row view per visible row and copies item data into them on
// refresh, so thousands of items cost only their ListItem records.
//
// Threads: AddItem may be called from any thread (the background analysis
// adds recordings while the list is shown); every other operation, the
// painting and the pointer belong to the GUI thread. `lock` guards the
// items and the cursors; painting reads only the rows' copies. Signals are
// emitted after the lock is released, so a receiver may call back into the
// list or wait for a thread that is adding items.
//
// Reports, sent (direct) to the parent that connects:
//   Command(1100)  the playing item changed (SelectNext, SelectPrev, PlayFocused);
//   Command(1112)  a double-clicked row became the playing item;
//   NotifyMessage(0x5F5, 0, 0)  right button released over the list (before the menu shows).
// The context menu's entries post (queued) MenuCommand(1088) "play" and
// MenuCommand(1089) "delete", emitted while a menu owner is set (the main
// window). Wheel turns are left to the parent, which passes them to
// ScrollByWheel. The list handles no keys.
class CRListCtrl : public QWidget
{
    Q_OBJECT

public:
    explicit CRListCtrl(QWidget* parent);
    ~CRListCtrl() override;

    // Appends an item (shown at the next refresh). Any thread.
    void AddItem(const QString& name, int tag, const QString& extra, qint64 fileSize, int pairRole);
    // Empties the list: no items, top index 0, both cursors -1.
    void DeleteAllItems();
    // Fills the rows from the items starting at the top index, updates the
    // scroll bar and repaints.
    void Refresh();
    // Clamped to 0 .. count - rows; refreshes.
    void SetTopIndex(int index);
    int GetTopIndex() const;
    // The hint panel instead of the rows.
    void SetEmptyMode(bool empty);
    bool IsEmptyMode() const { return m_emptyMode; }

    // Moves the playing cursor one item on (back), wrapping to item 0 at the
    // end; in dual play (includeRear false) rear partners are stepped over.
    // True (and Command(1100)) when the playing item changed.
    bool SelectNext(bool includeRear);
    bool SelectPrev(bool includeRear);
    // Moves the focus cursor one item, wrapping; sends nothing. Without a
    // focused item the focus goes to the first (last) item.
    void FocusNext();
    void FocusPrev();
    // The focused item becomes the playing item; Command(1100).
    void PlayFocused();
    // Marks the item of that name among the rows shown (an item scrolled out
    // of sight is not found); an empty name clears the cursor.
    void SetPlayingByName(const QString& name);
    void SetFocusedByName(const QString& name);
    // "" when the cursor is -1.
    QString GetPlayingName() const;
    QString GetFocusedName() const;
    // The playing item's partner (front or rear of a pair), else its own
    // name ("" when nothing plays).
    QString GetPartnerName() const;
    bool IsPlayingRear() const;
    bool IsPlayingSingle() const;
    // Index of the first item of that name (case-sensitive), -1 if none.
    int FindItem(const QString& name) const;
    // Exactly +120 scrolls up one row, -120 down one row, only while the
    // scroll bar shows; anything else does nothing.
    void ScrollByWheel(int delta);
    // The context menu's texts in the current language.
    void RebuildContextMenu();
    // The object the context menu's commands are for (MenuCommand is
    // emitted only while one is set).
    void SetMenuOwner(QObject* owner) { m_menuOwner = owner; }

    // Inspection.
    int GetItemCount() const;
    ListItem GetItem(int index) const; // a copy; empty item out of range
    int GetPlayingIndex() const;
    int GetFocusIndex() const;
    int GetRowCount() const { return int(m_rows.size()); }
    const CListRow* GetRow(int row) const;
    CRScrollBar* ScrollBar() const { return m_scrollBar; }
    CTDropBox* ContextMenu() const { return m_contextMenu; }
    // The list as painted.
    QImage ComposedImage();

    // "%0.2fmb" of the size in megabytes (1048576 bytes), any 64-bit size.
    static QString SizeText(qint64 fileSize);
    // Height of a hint line for a language name: 36 for "english" and
    // "french", else 18.
    static int HintLineHeight(const QString& language);

signals:
    void Command(int id);
    void NotifyMessage(unsigned message, quintptr wParam, qintptr lParam);
    void MenuCommand(int id);

protected:
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;
    void wheelEvent(QWheelEvent* event) override;

private:
    using Lock = std::unique_lock<std::recursive_mutex>;

    // Makes the row views for the current size (after a resize: the rows,
    // the scroll bar's place, the hint background) and refreshes.
    void EnsureRows();
    void RefreshLocked();
    void SetTopIndexLocked(int index);
    void SyncRowMarks();
    void InvalidateRows();
    void OnScrollMessage(unsigned message, quintptr wParam, qintptr lParam);
    int RowAt(QPoint pos) const;
    void FocusRowLocked(int row);
    bool MouseIgnored() const;
    int RowsShown() const { return int(m_rows.size()); }
    void PaintHint(QPainter& painter);
    void MarkByName(const QString& name, bool playing);

    std::vector<ListItem> m_items;
    mutable std::recursive_mutex m_lock;
    std::vector<std::unique_ptr<CListRow>> m_rows;
    int m_topIndex = 0;
    CRScrollBar* m_scrollBar = nullptr;
    bool m_thumbDriven = false;
    bool m_emptyMode = false;
    QRect m_clientRect;
    bool m_layoutDone = false;
    CSkinSurface m_hintBackground;
    CSkinSurface m_hintSurface;
    int m_playingIndex = -1;
    int m_focusIndex = -1;
    CTDropBox* m_contextMenu = nullptr;
    QPointer<QObject> m_menuOwner;
};
