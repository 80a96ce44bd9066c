#pragma once

#include "skin/SkinRect.h"
#include "skin/SkinSurface.h"

#include <QByteArray>
#include <QImage>
#include <QPixmap>
#include <QSize>
#include <QString>

// The main window's skinned background, composed off-screen: the window
// background (the stretched background picture, the GPS and vehicle-signal
// panels, the frames round the video areas, the title bars), and over it
// the grip and the title area's model badge or card brand picture with the
// device icon. The composed picture is kept until the dirty flag is set or
// the size changes; painting it is one copy.
//
// Thread: GUI thread only (the skin image service). Ownership: owns every
// surface and the composed picture; the window background is lent to the
// controls, which copy the part under them. Failure: a picture that fails
// to load leaves its surface empty (the image service reports it once) and
// the rest is composed without it.
class CBackgroundComposer
{
public:
    // What the background shows; the window describes itself at each use.
    struct Scene {
        QSize size;               // client size
        SkinRect frontVideoArea;  // framed
        SkinRect rearVideoArea;   // framed
        bool rearShown = true;    // right column: rear picture (true) or map
        QByteArray deviceRecord;  // the card's; empty: no badge nor device icon
        QSize productButton;      // size of the navigation-product button (its
                                  // picture's size when empty)
    };

    // The pictures that never change: model badges, device icon, grip.
    void LoadPictures();
    // The card's brand picture, from its settings program (the record names
    // it relative to the card root); none when there is no such program.
    void LoadBrandPicture(const QString& cardRoot, const QByteArray& deviceRecord);
    void ReleaseBrandPicture();
    bool HasBrandPicture() const { return m_brandSurface.IsCreated(); }

    // The window background at the scene's size.
    void RebuildBackground(const Scene& scene);
    const CSkinSurface& WindowBackground() const { return m_windowBackground; }
    // The grip and the title area's badge and device icon, onto `target`.
    void DrawTitleBadges(QImage& target, const Scene& scene) const;

    // The next Compose starts again from the window background.
    void SetDirty() { m_dirty = true; }
    bool IsDirty() const { return m_dirty; }
    // The composed picture for the scene: the cached one unless dirty or of
    // another size. Clears the dirty flag.
    const QPixmap& Compose(const Scene& scene);
    // The last composed picture (null before the first Compose).
    const QPixmap& CompositeBitmap() const { return m_compositeBitmap; }
    // How often the window background was rebuilt, and the picture composed
    // (the controls that copy the background, and the caption colour rule,
    // follow each one).
    quint64 BackgroundSerial() const { return m_backgroundSerial; }
    quint64 CompositionSerial() const { return m_compositionSerial; }

    // Releases every surface and the composed picture (the window closes).
    void Release();

private:
    void DrawAreaFrames(const Scene& scene);

    bool m_dirty = true;
    quint64 m_backgroundSerial = 0;
    quint64 m_compositionSerial = 0;
    CSkinSurface m_paintSurface;
    QPixmap m_compositeBitmap;
    CSkinSurface m_windowBackground;
    CSkinSurface m_gpsPanelSurface;
    CSkinSurface m_carInfoPanelSurface;
    CSkinSurface m_titleBarSurface;
    CSkinSurface m_titleBarRightSurface;
    CSkinSurface m_badgeSurfaces[4]; // in the order of MainWnd::kBadges
    CSkinSurface m_brandSurface;
    CSkinSurface m_deviceIconSurface;
    CSkinSurface m_gripSurface;
};
