#pragma once

#include "skin/SkinConstants.h"
#include "skin/SkinRect.h"
#include "skin/SkinSurface.h"

#include <QString>

#include <vector>

// The image service: turns a picture of the image library into pixels on a
// CSkinSurface - at natural size, stretched as a nine-patch, cut into three
// slices, or measured. One instance per process (GetInstance), used from the
// GUI thread only; not re-entrant. Nothing is cached: every call finds and
// decodes its picture anew and drops it before returning.
//
// Pictures are looked up by name, upper-cased, under the library root
// (":/PNG/" once the image library is registered). A picture that is missing,
// empty or not a PNG is a load failure: DrawImage and DrawNinePatch report it
// with a message box through CPlatform and leave the target unchanged; the
// other operations stay silent and leave their outputs unchanged.
class CSkinImage
{
public:
    static CSkinImage* GetInstance();
    // Deletes the instance (the main window does this when it closes); the
    // next GetInstance() creates a new one.
    static void DestroyInstance();

    // Where pictures are looked up; a folder path ending in '/' or a resource
    // prefix. Default ":/PNG/".
    void SetLibraryRoot(const QString& root) { m_root = root; }
    QString LibraryRoot() const { return m_root; }

    // Composites the whole picture at natural size at (0, 0) of the target.
    // An uncreated target is skipped silently.
    void DrawImage(CSkinSurface& target, const QString& name);
    // Creates `out` at the picture's size unless it exists already, then
    // composites the picture at (0, 0).
    void LoadImage(CSkinSurface& out, const QString& name);
    // Stretches a nine-patch picture to exactly the target's size. When
    // `content` is given it receives the picture's content rectangle grown by
    // the stretch (in the picture's own coordinates, marker border included).
    void DrawNinePatch(CSkinSurface& target, const QString& name, SkinRect* content = nullptr);
    // {0, 0, width, height} of the picture; does nothing for a null output.
    // A picture that cannot be loaded gives an empty rectangle.
    void GetImageSize(const QString& name, SkinRect* out);
    // Cuts a picture with a one-pixel marker border into a top part, one
    // stretchable row and a bottom part (the first black pixel of the left
    // column marks the row). The slices are as wide as the whole picture.
    void LoadVerticalThreeSlice(const QString& name, CSkinSurface& top, CSkinSurface& middle, CSkinSurface& bottom);
    // The same across: left part, one stretchable column, right part.
    void LoadHorizontalThreeSlice(const QString& name, CSkinSurface& left, CSkinSurface& middle, CSkinSurface& right);
    // Reads the PNG resource "IDB_BI" out of a Windows program file (which is
    // never run) into `out`, created at the picture's size. A missing file,
    // resource or undecodable picture leaves `out` unchanged, silently.
    void LoadBrandImage(CSkinSurface& out, const QString& modulePath);

    // Bookkeeping of the last nine-patch drawn (emptied at the start of each).
    const std::vector<int>& XMarkers() const { return m_xMarkers; }
    const std::vector<int>& YMarkers() const { return m_yMarkers; }
    const std::vector<int>& XStretch() const { return m_xStretch; }
    const std::vector<int>& YStretch() const { return m_yStretch; }

private:
    CSkinImage() = default;
    void HorizontalPass(const QImage& src, QImage& dst);
    void VerticalPass(const QImage& src, QImage& dst);
    SkinRect ContentRect(const QImage& raw) const;
    static void ReportFailure(const char* format, const QString& name);

    QString m_root = QString::fromLatin1(SkinConst::kImageLibraryRoot);
    std::vector<int> m_xMarkers;
    std::vector<int> m_yMarkers;
    std::vector<int> m_xStretch;
    std::vector<int> m_yStretch;
};
