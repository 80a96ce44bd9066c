#pragma once

#include "skin/SkinLayeredWindow.h"
#include "skin/SkinSurface.h"

#include <QByteArray>
#include <QFont>
#include <QPointer>
#include <QRect>
#include <QString>

class CRButton;
class CRStaticText;

// The full-screen caption: a frameless, translucent, topmost tool window
// ("ScrCaption") along the top edge of the monitor the front video window
// fills. It shows the camera's brand, model and device pictures (only when
// a device record is known), the recording's title and three buttons:
// reduce (1302), minimise (1301) and close (1300), which keep their distance
// from the right edge whatever the caption's width.
//
// Its owner (the front video window) creates it hidden, places it with
// Placement() and shows and hides it; the caption never takes the keyboard
// focus. A click on a button is sent (direct) to the notify window as
// Command(id); nothing is emitted while no notify window is set.
//
// The picture (background, brand, model, device) is composed once and kept
// until the width, the device or Refresh() changes it. GUI thread only.
class CFullScrCaption : public CSkinLayeredWindow
{
    Q_OBJECT

public:
    // Where everything lies for a caption `width` pixels wide, in caption
    // coordinates (right and bottom of the rectangles exclusive, as QRect
    // built from (left, top, width, height)).
    struct Geometry {
        QRect close, minimise, reduce;
        QRect title;
        bool pictures = false; // brand, model and device pictures drawn
        QPoint brandAt;
        QRect model;           // empty: no model picture
        QPoint deviceAt;
    };

    // Reads the device record and card root the viewer holds
    // (g_deviceRecord, g_cardRoot) as they are now; SetDevice() changes them.
    explicit CFullScrCaption(QWidget* owner);
    ~CFullScrCaption() override;

    // Receiver of Command(); null stops the notifications.
    void SetNotifyWindow(QObject* window) { m_notifyWindow = window; }
    QObject* NotifyWindow() const { return m_notifyWindow; }

    // The device record (empty: no card) and the card's root folder (ending
    // in '/'): which model picture to show, and where the card's own model
    // picture is (in its settings program). Recomposes.
    void SetDevice(const QByteArray& record, const QString& cardRoot);
    // The recording's title.
    void SetTitle(const QString& text);
    QString Title() const;
    // Recomposes and repaints at once (after the owner moved the caption).
    void Refresh();
    // Re-reads the title font and the reduce button's balloon text after a
    // language change.
    void ReloadTexts();

    // The layout for a caption `width` wide. `hasRecord`: a device record is
    // known; `brand`: the brand picture's size; `model`: the model picture's
    // size (empty: none); `modelRaise`: how far above the middle line the
    // model picture starts, or -1 to centre it on that line.
    static Geometry Layout(int width, bool hasRecord, QSize brand, QSize model, int modelRaise);
    // The layout the caption uses now.
    Geometry CurrentGeometry() const;
    // The caption's rectangle over `area` (the monitor the front window
    // fills): its top-left corner, area width x 37.
    static QRect Placement(const QRect& area);
    // The model picture a model name selects ("bi_arx550.png" ...), and how
    // far above the middle line it starts; null / -1 for another model.
    static const char* ModelPicture(const QString& model);
    static int ModelRaise(const QString& model);

    CRButton* Button(int id) const;
    CRStaticText* TitleStatic() const { return m_title; }
    QString ModelName() const { return m_model; }
    bool HasCardModelPicture() const { return m_cardModelSurface.IsCreated(); }
    // The whole caption as shown: its picture with the buttons and the
    // title over it.
    QImage ComposedPicture();

signals:
    void Command(int id);

protected:
    void Compose(QImage& picture) override;
    void resizeEvent(QResizeEvent* event) override;

private:
    void LoadDevicePictures();
    void ApplyLayout();
    void SetTitleImage();
    void OnButton(int id);
    const CSkinSurface* ModelSurface() const;

    CSkinSurface m_backgroundSurface;
    CSkinSurface m_brandSurface;
    CSkinSurface m_modelSurfaces[4];
    CSkinSurface m_cardModelSurface;
    CSkinSurface m_deviceSurface;
    CRButton* m_reduce = nullptr;
    CRButton* m_close = nullptr;
    CRButton* m_minimise = nullptr;
    CRStaticText* m_title = nullptr;
    bool m_buttonsLoaded = false;
    QFont m_titleFont;
    QString m_titleText;
    QByteArray m_record;
    QString m_cardRoot;
    QString m_model;
    QPointer<QObject> m_notifyWindow;
};
