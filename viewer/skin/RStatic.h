#pragma once

#include "skin/SkinSurface.h"

#include <QLabel>

// A plain static label that owns one surface for its owner's use; it adds
// no drawing of its own.
class CRStatic : public QLabel
{
    Q_OBJECT

public:
    explicit CRStatic(QWidget* parent) : QLabel(parent) {}
    CSkinSurface& Surface() { return m_surface; }

private:
    CSkinSurface m_surface;
};
