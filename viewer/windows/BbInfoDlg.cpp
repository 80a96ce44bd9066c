#include "windows/BbInfoDlg.h"

#include "catalogue/MemoryCard.h"
#include "lang/Lang.h"
#include "platform/Platform.h"
#include "skin/SkinText.h"
#include "windows/WindowsIds.h"

#include <QFontMetrics>
#include <QGuiApplication>
#include <QLabel>
#include <QPainter>
#include <QPushButton>
#include <QScreen>

using namespace WindowsIds;

namespace {
QString Name(const char* name)
{
    return QString::fromLatin1(name);
}

// Each text of the record ends where the next field begins.
constexpr int kModelRoom = kDeviceFirmwareOffset - kDeviceModelOffset;
constexpr int kFirmwareRoom = kDeviceVersionOffset - kDeviceFirmwareOffset;
constexpr int kMicomRoom = kDeviceRecordSize - kDeviceInfoOffset;

constexpr int kLabelIds[] = {kBbInfoModelLabel,   kBbInfoFirmwareLabel, kBbInfoCapacityLabel,
                             kBbInfoSafeDrivingLabel, kBbInfoMicomLabel, kBbInfoSpareLabel};
constexpr int kValueIds[] = {kBbInfoModelValue,       kBbInfoFirmwareValue, kBbInfoCapacityValue,
                             kBbInfoSafeDrivingValue, kBbInfoMicomValue,    kBbInfoSpareValue};

QFont FieldFont(const char* sizeKey, int fallback, int weight, const QString& face)
{
    int height = LangFontValue(Name(sizeKey));
    if (height <= 0)
        height = fallback;
    QFont font = MakeSkinFont(height, weight, face);
    font.setStyleStrategy(QFont::PreferAntialias);
    return font;
}
} // namespace

CBbInfoDlg::CBbInfoDlg(QWidget* parent)
    : QDialog(parent, Qt::Dialog | Qt::WindowTitleHint | Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint
                          | Qt::MSWindowsFixedSizeDialogHint)
    , m_rowHeight(kBbInfoRowHeight)
    , m_margin(kBbInfoMargin)
    , m_top(kBbInfoTop)
{
    setModal(true);
    setFixedSize(kBbInfoWidth, kBbInfoHeight);
    QPalette pal = palette();
    pal.setColor(QPalette::Window, QColor::fromRgba(kBbInfoBackground));
    pal.setColor(QPalette::Base, QColor::fromRgba(kBbInfoBackground));
    setPalette(pal);
    setAutoFillBackground(true);

    for (int id : kLabelIds)
        MakeField(id, false);
    for (int id : kValueIds)
        MakeField(id, true);
    // The two spare fields have no role.
    Field(kBbInfoSpareLabel)->hide();
    Field(kBbInfoSpareValue)->hide();

    m_ok = new QPushButton(QString::fromUtf8(kBbInfoOkText), this);
    m_ok->setObjectName(QString::number(kBbInfoOkId));
    m_ok->setDefault(true);
    m_ok->setAutoDefault(true);
    m_ok->resize(kBbInfoOkWidth, kBbInfoOkHeight);
    connect(m_ok, &QPushButton::clicked, this, [this] { done(CPlatform::IDOK); });
}

CBbInfoDlg::~CBbInfoDlg() = default;

QLabel* CBbInfoDlg::MakeField(int id, bool value)
{
    auto* field = new QLabel(this);
    field->setObjectName(QString::number(id));
    field->setAttribute(Qt::WA_TranslucentBackground);
    field->setTextFormat(Qt::PlainText);
    field->setWordWrap(false);
    if (value) {
        field->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
        field->setTextInteractionFlags(Qt::TextSelectableByMouse);
        QPalette pal = field->palette();
        pal.setColor(QPalette::WindowText, QColor::fromRgba(kBbInfoValueColor));
        pal.setColor(QPalette::Text, QColor::fromRgba(kBbInfoValueColor));
        field->setPalette(pal);
    } else {
        field->setAlignment(Qt::AlignLeft | Qt::AlignVCenter);
    }
    m_fields.insert(id, field);
    return field;
}

// ---- Reading the record ---------------------------------------------------------

QString CBbInfoDlg::RecordText(const QByteArray& record, int offset, int room)
{
    if (offset < 0 || room <= 0 || offset >= record.size())
        return QString();
    QByteArray bytes = record.mid(offset, room);
    const qsizetype zero = bytes.indexOf('\0');
    if (zero >= 0)
        bytes.truncate(zero);
    const QList<uint> points = QString::fromLocal8Bit(bytes).toUcs4();
    QList<uint> kept;
    kept.reserve(points.size());
    for (uint c : points) {
        if (c == QChar::ReplacementCharacter)
            continue;
        if (QChar::isSpace(c))
            kept.append(uint(' '));
        else if (QChar::isPrint(c))
            kept.append(c);
    }
    return QString::fromUcs4(reinterpret_cast<const char32_t*>(kept.constData()), kept.size()).trimmed();
}

QString CBbInfoDlg::ModelText(const QByteArray& record)
{
    QString model = RecordText(record, kDeviceModelOffset, kModelRoom);
    const qsizetype paren = model.indexOf(QLatin1Char('('));
    if (paren >= 0)
        model = model.left(paren).trimmed();
    return model;
}

QString CBbInfoDlg::SafeDrivingVersion(const QByteArray& record)
{
    if (record.size() < kDeviceVersionOffset + 4)
        return QString();
    const auto* v = reinterpret_cast<const uchar*>(record.constData() + kDeviceVersionOffset);
    if (v[0] == 0 && v[1] == 0 && v[2] == 0 && v[3] == 0)
        return QString();
    return QString::asprintf(kBbInfoVersionFormat, int(v[3]), int(v[2]), int(v[1]), int(v[0]));
}

QString CBbInfoDlg::CapacityText(float cardSizeGB)
{
    return QString::asprintf(kBbInfoCapacityFormat, double(cardSizeGB));
}

// ---- Preparing and running ------------------------------------------------------

void CBbInfoDlg::SetValue(int id, const QString& text)
{
    QLabel* field = Field(id);
    m_fullTexts.insert(id, text);
    const QFontMetrics metrics(field->font());
    const QString shown = metrics.elidedText(text, Qt::ElideRight, kBbInfoValueWidth);
    field->setText(shown);
    field->setToolTip(shown == text ? QString() : text);
}

QString CBbInfoDlg::FieldText(int id) const
{
    if (m_fullTexts.contains(id))
        return m_fullTexts.value(id);
    const QLabel* field = Field(id);
    return field ? field->text() : QString();
}

bool CBbInfoDlg::IsFieldShown(int id) const
{
    const QLabel* field = Field(id);
    return field && !field->isHidden();
}

void CBbInfoDlg::PlaceField(int id, int row)
{
    const int y = m_top + row * m_rowHeight - kBbInfoFieldRaise;
    QLabel* field = Field(id);
    const bool value = id >= kBbInfoModelValue && id <= kBbInfoSpareValue;
    if (value) {
        field->setGeometry(width() - kBbInfoValueFromRight, y, kBbInfoValueWidth, kBbInfoFieldHeight);
    } else {
        const int w = id == kBbInfoCapacityLabel ? kBbInfoCapacityLabelWidth : kBbInfoLabelWidth;
        field->setGeometry(m_margin + 5, y, w, kBbInfoFieldHeight);
    }
}

void CBbInfoDlg::Prepare(const QByteArray& record, float cardSizeGB)
{
    m_rows = kBbInfoRows;
    setFixedSize(kBbInfoWidth, kBbInfoHeight);
    // Centred over the owner's window (or the screen without one).
    QRect over;
    if (QWidget* owner = parentWidget())
        over = owner->window()->frameGeometry();
    else if (QScreen* screen = QGuiApplication::primaryScreen())
        over = screen->availableGeometry();
    if (over.isValid())
        move(over.center() - QPoint(kBbInfoWidth / 2, kBbInfoHeight / 2));

    m_labelFont = FieldFont(kBbInfoLabelFontKey, kBbInfoLabelFontDefault, QFont::Normal, LanguageFaceName());
    m_valueFont = FieldFont(kBbInfoValueFontKey, kBbInfoValueFontDefault, QFont::Bold, Name(kBbInfoValueFontFace));

    setWindowTitle(LangText(Name(kBbInfoTitleKey)));
    const struct {
        int id;
        const char* key;
    } labels[] = {{kBbInfoModelLabel, kBbInfoModelKey},
                  {kBbInfoFirmwareLabel, kBbInfoFirmwareKey},
                  {kBbInfoCapacityLabel, kBbInfoCapacityKey},
                  {kBbInfoSafeDrivingLabel, kBbInfoSafeDrivingKey},
                  {kBbInfoMicomLabel, kBbInfoMicomKey}};
    for (const auto& l : labels) {
        QLabel* field = Field(l.id);
        field->setFont(m_labelFont);
        field->setText(LangText(Name(l.key)));
        field->show();
    }

    // Every run starts from empty values.
    m_fullTexts.clear();
    for (int id : kValueIds) {
        Field(id)->setFont(m_valueFont);
        SetValue(id, QString());
        Field(id)->setVisible(id != kBbInfoSpareValue);
    }

    const bool hasRecord = !record.isEmpty();
    const QString safeDriving = SafeDrivingVersion(record);
    if (hasRecord) {
        SetValue(kBbInfoModelValue, ModelText(record));
        SetValue(kBbInfoFirmwareValue, RecordText(record, kDeviceFirmwareOffset, kFirmwareRoom));
        SetValue(kBbInfoCapacityValue, CapacityText(cardSizeGB));
        if (!safeDriving.isEmpty())
            SetValue(kBbInfoSafeDrivingValue, safeDriving);
        const QString micom = RecordText(record, kDeviceInfoOffset, kMicomRoom);
        if (micom.isEmpty()) {
            Field(kBbInfoMicomLabel)->setText(QString());
        } else {
            SetValue(kBbInfoMicomValue, micom);
            ++m_rows;
        }
        if (!safeDriving.isEmpty()) {
            ++m_rows;
        } else {
            Field(kBbInfoSafeDrivingLabel)->hide();
            Field(kBbInfoSafeDrivingValue)->hide();
        }
    } else {
        for (int id : kValueIds)
            Field(id)->hide();
    }

    PlaceField(kBbInfoModelLabel, 0);
    PlaceField(kBbInfoModelValue, 0);
    PlaceField(kBbInfoFirmwareLabel, 1);
    PlaceField(kBbInfoFirmwareValue, 1);
    PlaceField(kBbInfoCapacityLabel, 2);
    PlaceField(kBbInfoCapacityValue, 2);
    if (hasRecord && !safeDriving.isEmpty()) {
        PlaceField(kBbInfoSafeDrivingLabel, 3);
        PlaceField(kBbInfoSafeDrivingValue, 3);
        PlaceField(kBbInfoMicomLabel, 4);
        PlaceField(kBbInfoMicomValue, 4);
    } else if (hasRecord) {
        PlaceField(kBbInfoMicomLabel, 3);
        PlaceField(kBbInfoMicomValue, 3);
    } else {
        PlaceField(kBbInfoSafeDrivingLabel, 3);
        PlaceField(kBbInfoMicomLabel, 4);
    }
    m_ok->move(width() - kBbInfoOkFromRight, height() - kBbInfoOkFromBottom);
    update();
}

int CBbInfoDlg::DoModal(const QByteArray& record, float cardSizeGB)
{
    Prepare(record, cardSizeGB);
    return CPlatform::Instance().RunModalDialog(this);
}

// ---- Painting -------------------------------------------------------------------

QList<QLine> CBbInfoDlg::SeparatorLines() const
{
    QList<QLine> lines;
    for (int i = 0; i <= m_rows - 2; ++i) {
        const int y = m_top + i * m_rowHeight;
        lines.append(QLine(m_margin, y, width() - m_margin - 1, y));
    }
    return lines;
}

void CBbInfoDlg::paintEvent(QPaintEvent* event)
{
    QDialog::paintEvent(event);
    QPainter p(this);
    p.setPen(QPen(QColor::fromRgba(kBbInfoLineColor), 1));
    for (const QLine& line : SeparatorLines())
        p.drawLine(line);
}
