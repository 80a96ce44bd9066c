#include "mainwindow/TelemetryPresenter.h"

#include "catalogue/MemoryCard.h"
#include "mainwindow/MainWindowIds.h"
#include "skin/RStaticText.h"
#include "skin/SkinText.h"

using namespace MainWnd;

void CTelemetryPresenter::SetVehicleCaption(CRStaticText* caption, const QFont& font)
{
    m_caption = caption;
    m_font = font;
    m_applied = false;
}

void CTelemetryPresenter::UpdateVehicleCaption(const QByteArray& deviceRecord, const CSkinSurface& background)
{
    if (!m_caption)
        return;
    const bool lit =
        !deviceRecord.isEmpty() && DeviceModelName(deviceRecord) == QLatin1String(kModelWithVehicleSignals);
    const QRgb color = lit ? kColorCaptionActive : kColorCaptionInactive;
    if (m_applied && color == m_captionColor)
        return;
    m_applied = true;
    m_captionColor = color;
    SkinTextStyle style;
    style.text = m_caption->Text();
    style.normalColor = QColor::fromRgb(color);
    style.disabledColor = style.normalColor;
    style.overColor = style.normalColor;
    style.pressColor = style.normalColor;
    style.fontHeight = kCarInfoCaptionFontHeight;
    style.align = 0;
    m_caption->SetImage(QString(), m_font, &background, style);
}
