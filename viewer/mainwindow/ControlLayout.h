#pragma once

#include "skin/SkinRect.h"

#include <QFont>
#include <QMap>
#include <QObject>
#include <QRgb>
#include <QString>

class CRButton;
class CRListCtrl;
class CRSliderCtrl;
class CRStaticText;
class CSkinSurface;
class CVideoMainWnd;
class CVideoSubWnd;
class QLabel;
class QWidget;

// The main window's controls: each created at its rectangle for the
// window's size at the time (ids, rectangles, pictures and colours from
// MainWindowIds.h and the language tables), found by id, enabled by id
// ranges, and moved or stretched along when the window's size changes.
//
// Thread: GUI thread. Ownership: the controls are children of `window`
// (which owns them and outlives this object, its parent); `background` is
// the window background the controls copy the part under them from when
// their pictures are set: it belongs to the caller and must outlive the
// creation steps. Failure: a picture that fails to load is reported by the
// image service; the control is created without it.
class CControlLayout : public QObject
{
    Q_OBJECT

public:
    CControlLayout(QWidget* window, const CSkinSurface* background);

    // The creation steps, each adding its controls (the window runs them in
    // its creation order). CreateBtns checks the continuous-play button when
    // `continuousPlay` is set; CreateStatics shows `appVersion` in "Ver %1".
    void CreateVideoWnds();
    void CreateSlider();
    void CreateBtns(bool continuousPlay);
    void CreateStatics(const QString& appVersion);
    void CreateListCtrl();

    // A control by its id (null when it does not exist).
    QWidget* Control(int id) const;
    // Registers a control the window made itself (the map browser), so that
    // it is found by id and follows size changes.
    void AddControl(int id, QWidget* control) { m_controls.insert(id, control); }
    CRListCtrl* List() const { return m_list; }
    CVideoMainWnd* FrontVideo() const { return m_frontVideo; }
    CVideoSubWnd* RearVideo() const { return m_rearVideo; }
    void EnableRange(int first, int last, bool enable) const;
    // The font of the status texts (analysis progress, vehicle-signal caption).
    const QFont& StatusFont() const { return m_statusFont; }

    // The window grew by (dx, dy) (negative: shrank): controls anchored to
    // the right or the bottom move, the list and the graph stretch.
    void ArrangeControls(int dx, int dy);
    // The video windows to their areas; the position slider below the front
    // area (as wide as it, plus 3), at `sliderTop`.
    void PlaceVideo(const SkinRect& front, const SkinRect& rear, int sliderTop);

signals:
    // A control's command (a skinned button's is posted by the button).
    void Command(int id);

private:
    CRButton* AddButton(int id, const SkinRect& r, const QString& normal, const QString& over, const QString& press,
                        const QString& disabled, const char* balloonKey = nullptr);
    QLabel* AddLabel(int id, const SkinRect& r, const QString& text, const QFont& font, QRgb color,
                     Qt::Alignment align = Qt::AlignLeft | Qt::AlignTop);
    CRStaticText* AddStaticText(int id, const SkinRect& r, const QString& ninePatch, const QFont& font, int fontHeight,
                                QRgb color, const QString& text, int align);

    QWidget* m_window;
    const CSkinSurface* m_background;
    QMap<int, QWidget*> m_controls;
    CRListCtrl* m_list = nullptr;
    CVideoMainWnd* m_frontVideo = nullptr;
    CVideoSubWnd* m_rearVideo = nullptr;
    QFont m_labelFont;
    QFont m_statusFont;
    QFont m_timeFont;
    QFont m_titleFont;
};
