#include "skin/TDropBox.h"

#include "skin/SkinBlit.h"
#include "skin/SkinConstants.h"
#include "skin/SkinImage.h"
#include "skin/SkinText.h"

#include <QMouseEvent>

#include <algorithm>

using namespace SkinConst;

namespace {
// Draws a picture stretched when it is a nine-patch, else plain.
void DrawPicture(CSkinSurface& target, const QString& name)
{
    if (name.endsWith(QLatin1String(".9.png"), Qt::CaseInsensitive))
        CSkinImage::GetInstance()->DrawNinePatch(target, name);
    else
        CSkinImage::GetInstance()->DrawImage(target, name);
}

void Blend(QImage& target, const CSkinSurface& surface, int x, int y, int maxWidth = -1, int maxHeight = -1)
{
    if (!surface.IsCreated())
        return;
    const int w = maxWidth < 0 ? surface.GetWidth() : std::min(surface.GetWidth(), maxWidth);
    const int h = maxHeight < 0 ? surface.GetHeight() : std::min(surface.GetHeight(), maxHeight);
    SkinBlit::AlphaBlend(target, x, y, w, h, surface.GetImage(), 0, 0);
}

void BlendText(QImage& target, const QImage& text, int x, int y, int right)
{
    if (text.isNull())
        return;
    // Texts stay inside their entry.
    SkinBlit::AlphaBlend(target, x, y, std::min(text.width(), right - x), text.height(), text, 0, 0);
}
} // namespace

CTDropBox::CTDropBox(QWidget* owner)
    : CSkinDropWindow(owner)
    , m_hoverTextColor(QColor::fromRgba(kDropBoxHoverTextDefault))
    , m_disabledTextColor(QColor::fromRgba(kDropBoxDisabledText))
{
}

void CTDropBox::SetImages(const QString& background, const QString& held, const QString& hover)
{
    m_backgroundName = background;
    m_heldName = held;
    m_hoverName = hover;
    DrawPictures();
}

void CTDropBox::DrawPictures()
{
    m_drawnSize = size();
    m_backgroundSurface.Release();
    m_heldSurface.Release();
    m_hoverSurface.Release();
    if (!m_backgroundName.isEmpty() && m_backgroundSurface.Create(width(), height())) {
        m_contentRect = SkinRect{0, 0, width(), height()};
        CSkinImage::GetInstance()->DrawNinePatch(m_backgroundSurface, m_backgroundName, &m_contentRect);
        m_contentRect.right -= kDropBoxContentTrim;
    }
    const int w = m_contentRect.Width();
    if (!m_heldName.isEmpty() && m_heldSurface.Create(w, kDropBoxItemHeight))
        CSkinImage::GetInstance()->DrawNinePatch(m_heldSurface, m_heldName);
    if (!m_hoverName.isEmpty() && m_hoverSurface.Create(w, kDropBoxItemHeight))
        CSkinImage::GetInstance()->DrawNinePatch(m_hoverSurface, m_hoverName);
    LayoutItems();
    Invalidate();
}

void CTDropBox::resizeEvent(QResizeEvent* event)
{
    CSkinDropWindow::resizeEvent(event);
    if (!m_backgroundName.isEmpty() && m_drawnSize != size())
        DrawPictures();
}

void CTDropBox::SetCheckIcons(const QString& normal, const QString& hovered)
{
    if (m_checkSurface.IsCreated() || m_checkHoverSurface.IsCreated())
        return;
    CSkinImage::GetInstance()->LoadImage(m_checkSurface, normal);
    CSkinImage::GetInstance()->LoadImage(m_checkHoverSurface, hovered);
}

void CTDropBox::SetArrowIcons(const QString& normal, const QString& hovered)
{
    if (m_arrowSurface.IsCreated() || m_arrowHoverSurface.IsCreated())
        return;
    CSkinImage::GetInstance()->LoadImage(m_arrowSurface, normal);
    CSkinImage::GetInstance()->LoadImage(m_arrowHoverSurface, hovered);
}

void CTDropBox::SetCheckColumn(bool on)
{
    m_checkColumn = on;
    Invalidate();
}

void CTDropBox::SetArrowColumn(bool on)
{
    m_arrowColumn = on;
    Invalidate();
}

void CTDropBox::SetTextColors(const QColor& normal, const QColor& hover)
{
    m_normalTextColor = normal;
    m_hoverTextColor = hover;
    Invalidate();
}

void CTDropBox::LayoutItems()
{
    const int separatorHeight = m_separatorSurface.IsCreated() ? m_separatorSurface.GetHeight() : 0;
    for (size_t i = 0; i < m_items.size(); ++i) {
        const bool separated = std::any_of(m_separators.begin(), m_separators.end(),
                                           [i](const Separator& s) { return s.afterCount == int(i); });
        const int s = separated ? separatorHeight : 0;
        SkinRect& r = m_items[i].itemRect;
        if (i == 0) {
            r = SkinRect{m_contentRect.left, m_contentRect.top, m_contentRect.right,
                         m_contentRect.top + kDropBoxItemHeight + s};
        } else {
            const SkinRect& prev = m_items[i - 1].itemRect;
            r = SkinRect{prev.left, prev.bottom + kDropBoxItemGap, prev.right,
                         prev.bottom + kDropBoxItemGap + kDropBoxItemHeight + s};
        }
    }
}

void CTDropBox::AddItem(const QString& text, const QString& rightText, int command, CTDropBox* subMenu)
{
    MenuItem item;
    item.text = text;
    item.rightText = rightText;
    item.command = command;
    item.subMenu = subMenu;
    if (subMenu && subMenu != this)
        subMenu->m_parentBox = this;
    m_items.push_back(item);
    LayoutItems();
    Invalidate();
}

void CTDropBox::AddSeparator(const QString& picture, int width, int height, int x, int y, int afterCount)
{
    if (!m_separatorSurface.IsCreated() && m_separatorSurface.Create(width, height))
        DrawPicture(m_separatorSurface, picture);
    m_separators.push_back({x, y, afterCount});
    LayoutItems();
    Invalidate();
}

void CTDropBox::SetItemTexts(int command, const QString& text, const QString& rightText)
{
    for (MenuItem& item : m_items) {
        if (item.command == command) {
            item.text = text;
            item.rightText = rightText;
            Invalidate();
            return;
        }
    }
}

void CTDropBox::SetItemCheck(int command, bool checked)
{
    for (MenuItem& item : m_items) {
        if (item.command == command) {
            if (item.isChecked != checked) {
                item.isChecked = checked;
                Invalidate();
            }
            return;
        }
    }
}

void CTDropBox::SetItemDisabled(int command, bool disabled)
{
    for (MenuItem& item : m_items) {
        if (item.command == command) {
            if (item.disabled != disabled) {
                item.disabled = disabled;
                Invalidate();
            }
            return;
        }
    }
}

void CTDropBox::ResetFont()
{
    m_hasFont = false;
    Invalidate();
}

void CTDropBox::ResetState()
{
    m_hoverIndex = -1;
    m_buttonHeld = false;
    Invalidate();
}

void CTDropBox::RelayCommand(quintptr wParam)
{
    if (wParam < kCommandLimit)
        Post(int(wParam));
}

int CTDropBox::ItemAt(QPoint pos) const
{
    for (size_t i = 0; i < m_items.size(); ++i)
        if (m_items[i].itemRect.ToQRect().contains(pos))
            return int(i);
    return -1;
}

bool CTDropBox::AnySubMenuVisible() const
{
    return std::any_of(m_items.begin(), m_items.end(),
                       [](const MenuItem& item) { return item.subMenu && item.subMenu->isVisible(); });
}

bool CTDropBox::OwnsWindow(const QWidget* window) const
{
    if (CSkinDropWindow::OwnsWindow(window))
        return true;
    for (const MenuItem& item : m_items)
        if (item.subMenu && item.subMenu != this && item.subMenu->isVisible() && item.subMenu->OwnsWindow(window))
            return true;
    return false;
}

bool CTDropBox::KeepsOpenOnPressIn(const QWidget* window) const
{
    for (const CTDropBox* p = m_parentBox; p; p = p->m_parentBox)
        if (p == window)
            return true;
    return OwnsWindow(window);
}

void CTDropBox::Compose(QImage& picture)
{
    // A hidden window hears of a resize only when shown: catch up here.
    if (!m_backgroundName.isEmpty() && m_drawnSize != size())
        DrawPictures();
    if (m_backgroundSurface.IsCreated())
        SkinBlit::Copy(picture, 0, 0, width(), height(), m_backgroundSurface.GetImage(), 0, 0);
    for (const Separator& s : m_separators)
        Blend(picture, m_separatorSurface, s.x, s.y);
    if (!m_hasFont) {
        m_font = MakeLanguageFont(kDropBoxFontKey, kDropBoxFontDefault);
        m_hasFont = true;
    }
    for (size_t i = 0; i < m_items.size(); ++i) {
        const MenuItem& item = m_items[i];
        const SkinRect& r = item.itemRect;
        const SkinRect inner{r.left + kDropBoxInset, r.top + kDropBoxInset, r.right - kDropBoxInset, r.bottom};
        const bool hovered = int(i) == m_hoverIndex;
        QColor colour = item.disabled ? m_disabledTextColor : m_normalTextColor;
        if (hovered) {
            colour = item.disabled ? m_disabledTextColor : m_hoverTextColor;
            Blend(picture, m_buttonHeld ? m_heldSurface : m_hoverSurface, r.left, r.top, r.Width(), r.Height());
        }
        if (m_checkColumn && item.isChecked)
            Blend(picture, hovered ? m_checkHoverSurface : m_checkSurface, inner.left, inner.top - kDropBoxCheckRaise);
        if (!item.text.isEmpty())
            BlendText(picture, SkinAlphaText::Render(item.text, m_font, colour),
                      inner.left + (m_checkColumn ? kDropBoxCheckColumn : 0), inner.top, r.right);
        if (!item.rightText.isEmpty()) {
            const QImage right = SkinAlphaText::Render(item.rightText, m_font, colour);
            if (!right.isNull())
                BlendText(picture, right, inner.right - right.width() - (m_arrowColumn ? kDropBoxArrowColumn : 0),
                          inner.top, r.right);
        }
        if (item.subMenu)
            Blend(picture, hovered ? m_arrowHoverSurface : m_arrowSurface, inner.right - kDropBoxArrowRight,
                  inner.top + kDropBoxArrowDrop);
    }
}

void CTDropBox::OpenSubMenu(int index)
{
    CTDropBox* sub = m_items[size_t(index)].subMenu;
    if (!sub || sub == this)
        return;
    sub->ResetState();
    const SkinRect& r = m_items[size_t(index)].itemRect;
    sub->ShowPassive(mapToGlobal(QPoint(r.right, r.top - kSubMenuRaise)));
    RaiseWindow(this); // the box stays above its sub-menu
}

void CTDropBox::Post(int command)
{
    const int id = command & 0xFFFF;
    QMetaObject::invokeMethod(this, [this, id] { emit Command(id); }, Qt::QueuedConnection);
}

void CTDropBox::CloseChain()
{
    hide();
    for (CTDropBox* p = m_parentBox; p; p = p->m_parentBox)
        p->hide();
}

void CTDropBox::OnDeactivated(QWidget* newActive)
{
    // A sub-menu that took the activation keeps its box open.
    if (AnySubMenuVisible())
        return;
    if (newActive && CSkinDropWindow::OwnsWindow(newActive))
        return;
    hide();
    // Closed by losing the activation: the boxes above go too, unless the
    // activation went to one of them.
    for (CTDropBox* p = m_parentBox; p; p = p->m_parentBox) {
        if (p == newActive)
            break;
        p->hide();
    }
}

void CTDropBox::hideEvent(QHideEvent* event)
{
    const bool wasActive = isActiveWindow();
    for (const MenuItem& item : m_items)
        if (item.subMenu && item.subMenu != this && item.subMenu->isVisible())
            item.subMenu->hide();
    m_hoverIndex = -1;
    m_buttonHeld = false;
    Invalidate();
    CSkinDropWindow::hideEvent(event);
    // A sub-menu that had the keyboard hands it back to its box.
    if (wasActive && m_parentBox && m_parentBox->isVisible())
        m_parentBox->activateWindow();
}

void CTDropBox::mouseMoveEvent(QMouseEvent* event)
{
    event->accept();
    const int index = ItemAt(event->position().toPoint());
    if (index < 0 || index == m_hoverIndex)
        return;
    const int previous = m_hoverIndex;
    m_hoverIndex = index;
    CTDropBox* previousSub = previous >= 0 ? m_items[size_t(previous)].subMenu : nullptr;
    CTDropBox* sub = m_items[size_t(index)].subMenu;
    if (previousSub && previousSub != sub && previousSub != this && previousSub->isVisible())
        previousSub->hide();
    if (sub && !sub->isVisible())
        OpenSubMenu(index);
    Redraw();
}

void CTDropBox::mousePressEvent(QMouseEvent* event)
{
    event->accept();
    if (event->button() != Qt::LeftButton)
        return;
    m_buttonHeld = true;
    const int index = ItemAt(event->position().toPoint());
    if (index >= 0) {
        const MenuItem& item = m_items[size_t(index)];
        if (!item.subMenu) {
            // Disabled entries only look disabled: they post too.
            Post(item.command);
            CloseChain();
            return;
        }
        // Its sub-menu was closed meanwhile: open it again beside the entry.
        if (!item.subMenu->isVisible())
            OpenSubMenu(index);
    }
    Redraw();
}

void CTDropBox::mouseReleaseEvent(QMouseEvent* event)
{
    event->accept();
    if (event->button() != Qt::LeftButton)
        return;
    m_buttonHeld = false;
    Redraw();
}

void CTDropBox::leaveEvent(QEvent*)
{
    Redraw(); // the hover mark stays on the last entry
}
