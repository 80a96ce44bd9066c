#include "windows/FullScrCaption.h"

#include "catalogue/MemoryCard.h"
#include "lang/Lang.h"
#include "skin/RButton.h"
#include "skin/RStaticText.h"
#include "skin/SkinBalloonTip.h" // completes the button's balloon type
#include "skin/SkinBlit.h"
#include "skin/SkinImage.h"
#include "skin/SkinText.h"
#include "windows/WindowsIds.h"

#include <QFileInfo>
#include <QResizeEvent>

using namespace WindowsIds;

namespace {
QString Name(const char* name)
{
    return QString::fromLatin1(name);
}

QRect FromRight(int width, const int (&r)[4])
{
    return QRect(QPoint(width - r[0], r[1]), QPoint(width - r[2] - 1, r[3] - 1));
}

// The model name as the record holds it, cut at its first "(".
QString CutModel(const QString& model)
{
    const qsizetype paren = model.indexOf(QLatin1Char('('));
    return paren >= 0 ? model.left(paren) : model;
}

int ModelIndex(const QString& model)
{
    for (int i = 0; i < 4; ++i)
        if (model == QLatin1String(kCaptionModelPictures[i].model))
            return i;
    return -1;
}

QSize SizeOf(const CSkinSurface& s)
{
    return s.IsCreated() ? QSize(s.GetWidth(), s.GetHeight()) : QSize();
}

void BlendSurface(QImage& target, const CSkinSurface& s, QPoint at)
{
    if (s.IsCreated())
        SkinBlit::AlphaBlend(target, at.x(), at.y(), s.GetWidth(), s.GetHeight(), s.GetImage(), 0, 0);
}
} // namespace

CFullScrCaption::CFullScrCaption(QWidget* owner)
    : CSkinLayeredWindow(owner, Qt::Tool | Qt::WindowDoesNotAcceptFocus)
{
    setWindowTitle(Name(kCaptionTitle));
    setAttribute(Qt::WA_ShowWithoutActivating);
    resize(owner ? std::max(owner->width(), 1) : 640, kCaptionHeight);

    CSkinImage* skin = CSkinImage::GetInstance();
    skin->LoadImage(m_brandSurface, Name(kCaptionBrandPicture));
    for (int i = 0; i < 4; ++i)
        skin->LoadImage(m_modelSurfaces[i], Name(kCaptionModelPictures[i].picture));
    skin->LoadImage(m_deviceSurface, Name(kCaptionDevicePicture));

    m_reduce = new CRButton(this, kCaptionReduceId);
    m_close = new CRButton(this, kCaptionCloseId);
    m_minimise = new CRButton(this, kCaptionMinimiseId);
    for (CRButton* b : {m_reduce, m_close, m_minimise})
        connect(b, &CSkinButton::Command, this, &CFullScrCaption::OnButton);
    m_reduce->SetBalloonOffset(kCaptionReduceBalloonDy, kCaptionReduceBalloonDx);
    m_reduce->SetBalloonText(LangText(Name(kCaptionReduceBalloonKey)));

    m_title = new CRStaticText(this);
    m_title->setObjectName(QString::number(kCaptionTitleId));
    m_titleFont = MakeLanguageFont(kCaptionTitleFontKey, kCaptionTitleFontDefault);
    m_titleFont.setStyleStrategy(QFont::PreferAntialias);

    m_record = g_deviceRecord;
    m_cardRoot = g_cardRoot;
    LoadDevicePictures();
    ApplyLayout();
}

CFullScrCaption::~CFullScrCaption() = default;

QRect CFullScrCaption::Placement(const QRect& area)
{
    return QRect(area.topLeft(), QSize(area.width(), kCaptionHeight));
}

const char* CFullScrCaption::ModelPicture(const QString& model)
{
    const int i = ModelIndex(model);
    return i >= 0 ? kCaptionModelPictures[i].picture : nullptr;
}

int CFullScrCaption::ModelRaise(const QString& model)
{
    const int i = ModelIndex(model);
    return i >= 0 ? kCaptionModelPictures[i].raise : -1;
}

CFullScrCaption::Geometry CFullScrCaption::Layout(int width, bool hasRecord, QSize brand, QSize model, int modelRaise)
{
    Geometry g;
    g.close = FromRight(width, kCaptionCloseFromRight);
    g.minimise = FromRight(width, kCaptionMinimiseFromRight);
    g.reduce = FromRight(width, kCaptionReduceFromRight);
    int titleLeft = brand.width() + kCaptionTitleFromBrand;
    if (hasRecord) {
        g.pictures = true;
        g.brandAt = QPoint(kCaptionBrandAt[0], kCaptionBrandAt[1]);
        const int x = brand.width() + kCaptionBrandGap;
        const int middle = kCaptionBrandAt[1] + brand.height() / 2;
        int x2 = x + kCaptionPictureGap;
        if (!model.isEmpty()) {
            const int top = modelRaise >= 0 ? middle - modelRaise : middle - model.height() / 2;
            g.model = QRect(QPoint(x, top), model);
            x2 = x + kCaptionPictureGap + model.width();
        }
        g.deviceAt = QPoint(x2, middle - kCaptionDeviceRaise);
        titleLeft = x2 + kCaptionTitleGap;
    }
    g.title = QRect(titleLeft, kCaptionTitleTop, kCaptionTitleWidth, kCaptionTitleBottom - kCaptionTitleTop);
    return g;
}

const CSkinSurface* CFullScrCaption::ModelSurface() const
{
    const int i = ModelIndex(m_model);
    if (i >= 0)
        return &m_modelSurfaces[i];
    return m_cardModelSurface.IsCreated() ? &m_cardModelSurface : nullptr;
}

CFullScrCaption::Geometry CFullScrCaption::CurrentGeometry() const
{
    const CSkinSurface* model = ModelSurface();
    return Layout(width(), !m_record.isEmpty(), SizeOf(m_brandSurface), model ? SizeOf(*model) : QSize(),
                  ModelRaise(m_model));
}

void CFullScrCaption::LoadDevicePictures()
{
    m_cardModelSurface.Release();
    m_model.clear();
    if (m_record.isEmpty())
        return;
    m_model = CutModel(DeviceModelName(m_record));
    // The card's own model picture lives in its settings program; a path
    // that would leave the card is not followed.
    const QString program = SettingsProgramPath(m_cardRoot, m_record);
    if (!program.isEmpty() && QFileInfo(program).isFile())
        CSkinImage::GetInstance()->LoadBrandImage(m_cardModelSurface, program);
}

void CFullScrCaption::SetDevice(const QByteArray& record, const QString& cardRoot)
{
    m_record = record;
    m_cardRoot = cardRoot;
    LoadDevicePictures();
    ApplyLayout();
}

void CFullScrCaption::SetTitle(const QString& text)
{
    m_titleText = text;
    m_title->SetText(text);
}

QString CFullScrCaption::Title() const
{
    return m_titleText;
}

void CFullScrCaption::Refresh()
{
    ApplyLayout();
    Redraw();
}

void CFullScrCaption::ReloadTexts()
{
    m_titleFont = MakeLanguageFont(kCaptionTitleFontKey, kCaptionTitleFontDefault);
    m_titleFont.setStyleStrategy(QFont::PreferAntialias);
    m_reduce->SetBalloonText(LangText(Name(kCaptionReduceBalloonKey)));
    SetTitleImage();
}

void CFullScrCaption::SetTitleImage()
{
    SkinTextStyle style;
    style.text = m_titleText;
    style.normalColor = QColor::fromRgba(kCaptionTitleColor);
    style.disabledColor = style.normalColor;
    style.overColor = Qt::white;
    style.pressColor = Qt::white;
    style.fontHeight = kCaptionTitleStyleHeight;
    style.align = 0;
    // No copy of the caption's background under the title or the buttons:
    // the caption is translucent, and they are drawn over its picture.
    m_title->SetImage(QString(), m_titleFont, nullptr, style);
}

void CFullScrCaption::ApplyLayout()
{
    // The background at the caption's size.
    m_backgroundSurface.Release();
    if (m_backgroundSurface.Create(width(), height()))
        CSkinImage::GetInstance()->DrawNinePatch(m_backgroundSurface, Name(kCaptionBackground));

    const Geometry g = CurrentGeometry();
    struct Placed {
        CRButton* button;
        QRect rect;
        const char* const* pictures;
    };
    const Placed buttons[] = {{m_close, g.close, kCaptionClosePictures},
                              {m_minimise, g.minimise, kCaptionMinimisePictures},
                              {m_reduce, g.reduce, kCaptionReducePictures}};
    for (const Placed& p : buttons) {
        p.button->setGeometry(p.rect);
        if (!m_buttonsLoaded)
            p.button->SetImages(Name(p.pictures[0]), Name(p.pictures[1]), Name(p.pictures[2]), nullptr);
    }
    m_title->setGeometry(g.title); // before its text box is taken from its size
    if (!m_buttonsLoaded) {
        m_buttonsLoaded = true;
        SetTitleImage();
    }
    Invalidate();
}

void CFullScrCaption::resizeEvent(QResizeEvent* event)
{
    CSkinLayeredWindow::resizeEvent(event);
    if (event->size() != event->oldSize())
        ApplyLayout();
}

void CFullScrCaption::Compose(QImage& picture)
{
    if (m_backgroundSurface.GetWidth() != width() || m_backgroundSurface.GetHeight() != height())
        ApplyLayout();
    if (m_backgroundSurface.IsCreated())
        SkinBlit::Copy(picture, 0, 0, width(), height(), m_backgroundSurface.GetImage(), 0, 0);
    const Geometry g = CurrentGeometry();
    if (!g.pictures)
        return;
    BlendSurface(picture, m_brandSurface, g.brandAt);
    if (const CSkinSurface* model = ModelSurface(); model && !g.model.isEmpty())
        BlendSurface(picture, *model, g.model.topLeft());
    BlendSurface(picture, m_deviceSurface, g.deviceAt);
}

CRButton* CFullScrCaption::Button(int id) const
{
    switch (id) {
    case kCaptionCloseId: return m_close;
    case kCaptionMinimiseId: return m_minimise;
    case kCaptionReduceId: return m_reduce;
    default: return nullptr;
    }
}

QImage CFullScrCaption::ComposedPicture()
{
    QImage picture = LayeredImage();
    if (picture.isNull())
        return picture;
    picture = picture.copy();
    for (CRButton* b : {m_reduce, m_minimise, m_close}) {
        if (b->isHidden())
            continue;
        const QImage img = b->ComposedImage();
        SkinBlit::AlphaBlend(picture, b->x(), b->y(), img.width(), img.height(), img, 0, 0);
    }
    if (!m_title->isHidden()) {
        const QImage img = m_title->ComposedImage();
        SkinBlit::AlphaBlend(picture, m_title->x(), m_title->y(), img.width(), img.height(), img, 0, 0);
    }
    return picture;
}

void CFullScrCaption::OnButton(int id)
{
    if (m_notifyWindow)
        emit Command(id);
}
