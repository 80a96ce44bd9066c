#pragma once

#include "skin/TBalloon.h"

// The balloon a skinned button shows its balloon text in: a CTBalloon owned
// by the button (SetText sizes it to the text; the button places it).
class CSkinBalloonTip : public CTBalloon
{
    Q_OBJECT

public:
    explicit CSkinBalloonTip(QWidget* owner) : CTBalloon(owner) {}
};
