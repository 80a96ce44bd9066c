#pragma once

#include "skin/SkinSurface.h"

#include <QWidget>

// A three-digit number drawn with the speed digit pictures over a copy of the
// parent's background, leading zeros included; all three positions show the
// disabled picture while the window is disabled. Accepts 0..999 only; sends
// nothing.
class CRImageNum : public QWidget
{
    Q_OBJECT

public:
    explicit CRImageNum(QWidget* parent);

    // Copies the parent's background (its client coordinates) under the window.
    void SetBackground(const CSkinSurface* parentBackground);
    // 0 <= value < 1000 is shown at once; anything else is ignored.
    void SetValue(int value);
    int Value() const { return m_value; }
    // The picture as painted.
    QImage ComposedImage() const;

protected:
    void paintEvent(QPaintEvent* event) override;
    void changeEvent(QEvent* event) override;

private:
    CSkinSurface m_background;
    CSkinSurface m_digits[11];
    int m_value = 0;
    bool m_enabled = true;
};
