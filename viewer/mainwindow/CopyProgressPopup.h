#pragma once

#include "skin/SkinSurface.h"

#include <QFont>
#include <QWidget>

class CRButton;

// The progress of a copy being saved: a small skinned panel over the front
// picture with a title, the percentage, a bar and a cancel button. The
// cancel button reports CancelRequested; the owner decides.
//
// Thread: GUI thread. Ownership: a child of the main window. Failure: a
// missing picture leaves its part undrawn.
class CCopyProgressPopup : public QWidget
{
    Q_OBJECT

public:
    static constexpr int kWidth = 300;
    static constexpr int kHeight = 86;

    explicit CCopyProgressPopup(QWidget* parent);

    // Shows `done` of `total` bytes (0 of 0 shows 0 %).
    void SetProgress(qint64 done, qint64 total);
    int Percent() const { return m_percent; }
    QString TitleText() const;
    CRButton* CancelButton() const { return m_cancel; }
    // Centred on `area` (parent's client coordinates), raised and shown.
    void ShowOver(const QRect& area);

signals:
    void CancelRequested();

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    CSkinSurface m_background;
    CSkinSurface m_track;
    CSkinSurface m_filled;
    CRButton* m_cancel = nullptr;
    QFont m_font;
    int m_percent = 0;
};
