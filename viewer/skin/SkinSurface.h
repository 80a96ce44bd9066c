#pragma once

#include <QImage>

// An off-screen drawing surface: one ARGB32 premultiplied image of a fixed
// size. Every skinned control composes its pictures on such surfaces and
// keeps them between paints. GUI thread only.
//
// A freshly created surface is fully transparent (0,0,0,0); callers that need
// a background paint one first.
class CSkinSurface
{
public:
    CSkinSurface() = default;
    CSkinSurface(const CSkinSurface&) = delete;
    CSkinSurface& operator=(const CSkinSurface&) = delete;

    // Creates the image. Does nothing and returns false when the surface
    // already exists; returns false for a width or height below 1 (the
    // surface then stays uncreated).
    bool Create(int width, int height);
    // Drops the image; the surface can be created again afterwards.
    void Release();
    bool IsCreated() const { return !m_image.isNull(); }

    // The image painted on (null while not created).
    QImage& GetImage() { return m_image; }
    const QImage& GetImage() const { return m_image; }
    int GetWidth() const { return m_width; }
    int GetHeight() const { return m_height; }

private:
    QImage m_image;
    int m_width = 0;
    int m_height = 0;
};
