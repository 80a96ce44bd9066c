#include "mainwindow/CatalogueView.h"

#include "skin/SkinImage.h"
#include "skin/SkinSurface.h"
#include "skin/SkinText.h"

#include <QPainter>
#include <QWheelEvent>

#include <algorithm>

namespace {
constexpr int kSizeColumnWidth = 83;
constexpr int kTextInset = 8;
const QColor kNameColor(218, 228, 236);
const QColor kSizeColor(162, 172, 185);
const QColor kFocusColor(63, 168, 235);
const QColor kEmptyBackground(28, 31, 36);
} // namespace

CCatalogueView::CCatalogueView(QWidget* parent)
    : QWidget(parent)
{
    setAttribute(Qt::WA_OpaquePaintEvent);
    setFocusPolicy(Qt::NoFocus);
    m_font = MakeSkinFont(12);
}

QString CCatalogueView::SizeText(quint64 fileSize)
{
    const float mb = float(fileSize) / float(0x100000);
    return QString::asprintf("%0.2fmb", double(mb));
}

void CCatalogueView::AddItem(const QString& name, int /*tag*/, const QString& extra, quint64 fileSize, int pairRole)
{
    m_items.push_back({name, extra, SizeText(fileSize), pairRole});
}

void CCatalogueView::DeleteAllItems()
{
    m_items.clear();
    m_topIndex = 0;
    m_focusIndex = -1;
    update();
}

void CCatalogueView::Refresh()
{
    SetTopIndex(m_topIndex);
}

void CCatalogueView::SetEmptyMode(bool empty)
{
    m_emptyMode = empty;
    update();
}

void CCatalogueView::SetFocusedByName(const QString& name)
{
    m_focusIndex = -1;
    for (int i = 0; i < m_items.size(); ++i)
        if (m_items[i].name == name)
            m_focusIndex = i;
    update();
}

QString CCatalogueView::GetFocusedName() const
{
    return m_focusIndex >= 0 && m_focusIndex < m_items.size() ? m_items[m_focusIndex].name : QString();
}

QString CCatalogueView::ItemName(int index) const
{
    return index >= 0 && index < m_items.size() ? m_items[index].name : QString();
}

int CCatalogueView::VisibleRows() const
{
    return std::max(1, height() / kRowHeight);
}

void CCatalogueView::SetTopIndex(int index)
{
    const int last = std::max(0, int(m_items.size()) - VisibleRows());
    m_topIndex = std::clamp(index, 0, last);
    update();
}

void CCatalogueView::WheelScroll(int angleDelta)
{
    const int steps = angleDelta / 120;
    if (steps != 0)
        SetTopIndex(m_topIndex - steps * 3);
}

void CCatalogueView::wheelEvent(QWheelEvent* event)
{
    WheelScroll(event->angleDelta().y());
    event->accept();
}

void CCatalogueView::resizeEvent(QResizeEvent*)
{
    RebuildRowPictures();
    SetTopIndex(m_topIndex);
}

void CCatalogueView::RebuildRowPictures()
{
    auto make = [this](const char* name) {
        CSkinSurface s;
        if (!s.Create(std::max(1, width()), kRowHeight))
            return QImage();
        CSkinImage::GetInstance()->DrawNinePatch(s, QString::fromLatin1(name));
        return s.GetImage();
    };
    m_rowEven = make("bg_list01.9.png");
    m_rowOdd = make("bg_list02.9.png");
}

void CCatalogueView::paintEvent(QPaintEvent*)
{
    if (m_rowEven.isNull() || m_rowEven.width() != width())
        RebuildRowPictures();
    QPainter p(this);
    p.fillRect(rect(), kEmptyBackground);
    if (m_emptyMode)
        return;
    p.setFont(m_font);
    const int rows = height() / kRowHeight + 1;
    const int nameWidth = width() - kSizeColumnWidth;
    for (int r = 0; r < rows; ++r) {
        const QRect row(0, r * kRowHeight, width(), kRowHeight);
        const QImage& pic = (r % 2 == 0) ? m_rowEven : m_rowOdd;
        if (!pic.isNull())
            p.drawImage(row.topLeft(), pic);
        const int index = m_topIndex + r;
        if (index >= m_items.size())
            continue;
        const Item& item = m_items[index];
        p.setPen(index == m_focusIndex ? kFocusColor : kNameColor);
        p.drawText(row.adjusted(kTextInset, 0, -(kSizeColumnWidth + 2), 0).intersected(QRect(0, row.top(), nameWidth, kRowHeight)),
                   Qt::AlignLeft | Qt::AlignVCenter | Qt::TextSingleLine, item.name);
        p.setPen(kSizeColor);
        p.drawText(QRect(nameWidth, row.top(), kSizeColumnWidth - kTextInset, kRowHeight),
                   Qt::AlignRight | Qt::AlignVCenter | Qt::TextSingleLine, item.sizeText);
    }
}
