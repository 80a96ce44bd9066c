#pragma once

#include <QFont>
#include <QImage>
#include <QString>
#include <QVector>
#include <QWidget>

// A read-only view of one category of the catalogue where the play list will
// stand: one 20-pixel row per recording with its name and its size in
// megabytes, alternating the list's row pictures, scrolled with the wheel.
// Its operations follow the play list's (AddItem, DeleteAllItems, Refresh,
// SetEmptyMode, SetFocusedByName) so that the owner's code stays the same
// when the full list replaces it. GUI thread only.
class CCatalogueView : public QWidget
{
    Q_OBJECT

public:
    static constexpr int kRowHeight = 20;

    explicit CCatalogueView(QWidget* parent);

    // Appends a row (shown after the next Refresh).
    void AddItem(const QString& name, int tag, const QString& extra, quint64 fileSize, int pairRole);
    void DeleteAllItems();
    void Refresh();
    void SetEmptyMode(bool empty);
    bool IsEmptyMode() const { return m_emptyMode; }
    void SetFocusedByName(const QString& name);
    QString GetFocusedName() const;
    int ItemCount() const { return int(m_items.size()); }
    QString ItemName(int index) const;
    // "%0.2fmb" of the size in bytes / 1048576, in single precision.
    static QString SizeText(quint64 fileSize);
    int TopIndex() const { return m_topIndex; }
    void SetTopIndex(int index);
    // Three rows per wheel notch (120 units), up for positive values.
    void WheelScroll(int angleDelta);

protected:
    void paintEvent(QPaintEvent* event) override;
    void wheelEvent(QWheelEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;

private:
    struct Item {
        QString name;
        QString extra;
        QString sizeText;
        int pairRole = 0;
    };
    int VisibleRows() const;
    void RebuildRowPictures();

    QVector<Item> m_items;
    int m_topIndex = 0;
    int m_focusIndex = -1;
    bool m_emptyMode = false;
    QFont m_font;
    QImage m_rowEven; // row pictures at the view's width
    QImage m_rowOdd;
};
