#pragma once

#include "skin/SkinDropWindow.h"
#include "skin/SkinRect.h"
#include "skin/SkinSurface.h"

#include <QColor>
#include <QFont>
#include <QPointer>
#include <QString>

#include <vector>

// The drop-down menu: a layered window listing entries, each a text with an
// optional right-hand label (a key name), check mark and sub-menu. Owners
// (the main window's menus, the play list's context menu) fill it once and
// show it at a point; a sub-menu is another box of the same owner.
//
// Entries are 20 pixels high, one pixel apart, inside the background
// picture's content box (its right edge 3 pixels in); an entry after which
// a separator is recorded is taller by the separator's height.
//
// Pointer: the entry under the pointer is hovered (drawn over the hover
// picture, or the held picture while the left button is down); hovering an
// entry with a sub-menu opens it beside the entry (without activation) and
// leaving it for another entry closes it. A left press on an entry without
// sub-menu posts (queued) Command(LOWORD(command)) - disabled entries too,
// they only look disabled - and closes this box and the boxes it is a
// sub-menu of.
//
// Closing: Escape; a press outside the box and its open sub-menus; losing
// the activation, except while one of its sub-menus is open (the sub-menu
// took it). A sub-menu that closes on losing the activation closes the
// boxes above it unless the activation went to one of them. Hiding a box
// hides its open sub-menus. GUI thread only.
class CTDropBox : public CSkinDropWindow
{
    Q_OBJECT

public:
    struct MenuItem {
        QString text;
        QString rightText;
        SkinRect itemRect; // client coordinates
        int command = 0;
        bool isChecked = false;
        bool disabled = false;
        QPointer<CTDropBox> subMenu; // not owned; null once it is destroyed
    };

    explicit CTDropBox(QWidget* owner);

    // Background stretched to the window (its content box places the
    // entries); held and hover pictures stretched to an entry (20 high).
    // Drawn again whenever the window is resized.
    void SetImages(const QString& background, const QString& held, const QString& hover);
    // Check marks and sub-menu arrows, normal and hovered; loaded once (a
    // second call changes nothing).
    void SetCheckIcons(const QString& normal, const QString& hovered);
    void SetArrowIcons(const QString& normal, const QString& hovered);
    // Reserve 20 pixels left of the texts for check marks / 16 right of
    // them for arrows.
    void SetCheckColumn(bool on);
    void SetArrowColumn(bool on);
    void SetTextColors(const QColor& normal, const QColor& hover);
    // Appends an entry below the previous ones; `subMenu` (not owned) opens
    // beside it instead of a command being posted.
    void AddItem(const QString& text, const QString& rightText, int command, CTDropBox* subMenu = nullptr);
    // Draws the separator picture at width x height (once: later calls keep
    // the first picture) and records a position for it; an entry added when
    // `afterCount` entries exist is taller by the separator's height.
    void AddSeparator(const QString& picture, int width, int height, int x, int y, int afterCount);
    // Change the first entry with `command`; unknown commands change nothing.
    void SetItemTexts(int command, const QString& text, const QString& rightText);
    void SetItemCheck(int command, bool checked);
    void SetItemDisabled(int command, bool disabled);
    // Drops the font (made again from "TEXTSIZE_TDROPBOX" at the next paint).
    void ResetFont();
    // No hovered entry, button not held; recomposed at the next paint.
    void ResetState();
    // A command reaching the box from something it holds: posted on to the
    // owner when it fits the low word (wParam below 0x10000).
    void RelayCommand(quintptr wParam);

    const std::vector<MenuItem>& Items() const { return m_items; }
    int HoverIndex() const { return m_hoverIndex; }
    bool IsButtonHeld() const { return m_buttonHeld; }
    SkinRect ContentRect() const { return m_contentRect; }
    // The box this one is a sub-menu of (null for a top box).
    CTDropBox* ParentBox() const { return m_parentBox; }
    QColor NormalTextColor() const { return m_normalTextColor; }
    QColor HoverTextColor() const { return m_hoverTextColor; }
    QColor DisabledTextColor() const { return m_disabledTextColor; }
    // The index of the entry containing `pos` (client coordinates), or -1.
    int ItemAt(QPoint pos) const;

    bool OwnsWindow(const QWidget* window) const override;
    // Presses in the boxes above leave a sub-menu to them (their hover
    // decides).
    bool KeepsOpenOnPressIn(const QWidget* window) const override;

signals:
    // A chosen entry's command, posted (queued) to the owner.
    void Command(int id);

protected:
    void Compose(QImage& picture) override;
    void OnDeactivated(QWidget* newActive) override;

    void resizeEvent(QResizeEvent* event) override;
    void hideEvent(QHideEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void leaveEvent(QEvent* event) override;

private:
    void DrawPictures();
    void LayoutItems();
    void OpenSubMenu(int index);
    void Post(int command);
    void CloseChain();
    bool AnySubMenuVisible() const;

    std::vector<MenuItem> m_items;
    struct Separator {
        int x, y, afterCount;
    };
    std::vector<Separator> m_separators;
    CSkinSurface m_separatorSurface;
    CSkinSurface m_checkSurface, m_checkHoverSurface;
    CSkinSurface m_arrowSurface, m_arrowHoverSurface;
    CSkinSurface m_backgroundSurface, m_heldSurface, m_hoverSurface;
    QString m_backgroundName, m_heldName, m_hoverName;
    QSize m_drawnSize; // window size the pictures were drawn at
    SkinRect m_contentRect;
    bool m_checkColumn = false;
    bool m_arrowColumn = false;
    int m_hoverIndex = -1;
    bool m_buttonHeld = false;
    QFont m_font;
    bool m_hasFont = false;
    QColor m_normalTextColor = QColor(0, 0, 0);
    QColor m_hoverTextColor;
    QColor m_disabledTextColor;
    QPointer<CTDropBox> m_parentBox;
};
