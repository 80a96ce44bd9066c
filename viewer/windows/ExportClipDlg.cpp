#include "windows/ExportClipDlg.h"

#include "evidence/ClipSpan.h"
#include "lang/Lang.h"
#include "platform/Platform.h"
#include "settings/Settings.h"
#include "settings/SettingsConstants.h"
#include "skin/RButton.h"
#include "skin/SkinBalloonTip.h"
#include "skin/SkinImage.h"
#include "skin/SkinText.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDeadlineTimer>
#include <QDir>
#include <QFileInfo>
#include <QLabel>
#include <QLineEdit>
#include <QPainter>
#include <QPointer>
#include <QStandardPaths>
#include <QThread>

#include <atomic>

using namespace ExportClipIds;
using ClipLayout = CClipOptions::Layout;

namespace {
QString Text(const char* key)
{
    return LangText(QString::fromLatin1(key));
}

QString Css(QRgb c)
{
    return QColor::fromRgba(c).name(QColor::HexRgb);
}

// The position slider's pictures as a progress bar: the track stretched over
// the whole width, the bar over the part done.
class CProgressStrip : public QWidget
{
public:
    using QWidget::QWidget;
    void SetPercent(int percent)
    {
        if (percent == m_percent)
            return;
        m_percent = percent;
        update();
    }

protected:
    void resizeEvent(QResizeEvent*) override
    {
        m_track.Release();
        m_bar.Release();
    }
    void paintEvent(QPaintEvent*) override
    {
        if (!m_track.IsCreated() && width() > 0 && height() > 0) {
            m_track.Create(width(), height());
            m_track.GetImage().fill(Qt::transparent);
            CSkinImage::GetInstance()->DrawNinePatch(m_track, QString::fromLatin1(kProgressTrackPicture));
            m_bar.Create(width(), height());
            m_bar.GetImage().fill(Qt::transparent);
            CSkinImage::GetInstance()->DrawNinePatch(m_bar, QString::fromLatin1(kProgressBarPicture));
        }
        QPainter p(this);
        if (m_track.IsCreated())
            p.drawImage(0, 0, m_track.GetImage());
        const int done = width() * m_percent / 100;
        if (m_bar.IsCreated() && done > 0)
            p.drawImage(QRect(0, 0, done, height()), m_bar.GetImage(), QRect(0, 0, done, height()));
    }

private:
    CSkinSurface m_track;
    CSkinSurface m_bar;
    int m_percent = 0;
};
} // namespace

// What the worker thread and the dialog share; the worker keeps it alive
// even when the dialog goes first.
struct CExportClipDlg::Shared {
    std::atomic_bool cancel{false};
    CClipOptions options;
};

CExportClipDlg::CExportClipDlg(QWidget* parent)
    : QDialog(parent, Qt::Dialog | Qt::WindowTitleHint | Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint
                          | Qt::MSWindowsFixedSizeDialogHint)
{
    setModal(true);
    setFixedSize(kWidth, kHeight);
    m_folder = DefaultFolder();
    BuildSkin();

    m_title = MakeLabel(QString(), true);
    m_fromLabel = MakeLabel(QString());
    m_toLabel = MakeLabel(QString());
    m_layoutLabel = MakeLabel(QString());
    m_saveLabel = MakeLabel(QString());
    m_folderText = MakeLabel(QString());
    m_status = MakeLabel(QString());
    const QString field = QStringLiteral("background:%1; color:%2; border:1px solid #3d3e46; padding:1px 4px;")
                              .arg(Css(kFieldBackground), Css(kTextColor));
    m_from = new QLineEdit(this);
    m_to = new QLineEdit(this);
    for (QLineEdit* e : {m_from, m_to}) {
        e->setStyleSheet(field);
        e->setAlignment(Qt::AlignCenter);
        connect(e, &QLineEdit::textChanged, this, [this] {
            double a = 0, b = 0;
            m_export->setEnabled(!IsRunning() && Span(&a, &b));
            if (!IsRunning())
                m_status->clear();
        });
    }
    m_layout = new QComboBox(this);
    m_layout->setStyleSheet(QStringLiteral("QComboBox{%1} QComboBox QAbstractItemView{%1 selection-background-color:#3a3c43;}")
                                .arg(field));
    m_overlay = new QCheckBox(this);
    m_overlay->setStyleSheet(QStringLiteral("color:%1;").arg(Css(kTextColor)));
    m_overlay->setChecked(true);
    m_folderText->setTextInteractionFlags(Qt::TextSelectableByMouse);
    m_progress = new CProgressStrip(this);
    m_browse = MakeButton(kIdBrowse, kBrowseKey);
    m_export = MakeButton(kIdExport, kExportKey);
    m_cancel = MakeButton(kIdCancel, kCloseKey);
    LayoutFields();
}

CExportClipDlg::~CExportClipDlg()
{
    if (m_thread) {
        m_shared->cancel = true;
        // The exporter looks at the flag between frames: it stops at once.
        if (!m_thread->wait(QDeadlineTimer(30000)))
            m_thread->setParent(nullptr); // let it end on its own; it owns what it uses
    }
}

QString CExportClipDlg::DefaultFolder()
{
    QString folder = QStandardPaths::writableLocation(QStandardPaths::MoviesLocation);
    if (folder.isEmpty())
        folder = QDir::homePath();
    return folder;
}

QLabel* CExportClipDlg::MakeLabel(const QString& text, bool title)
{
    auto* label = new QLabel(text, this);
    label->setAttribute(Qt::WA_TranslucentBackground);
    label->setTextFormat(Qt::PlainText);
    QPalette pal = label->palette();
    pal.setColor(QPalette::WindowText, QColor::fromRgba(title ? kTitleColor : kTextColor));
    label->setPalette(pal);
    return label;
}

CRButton* CExportClipDlg::MakeButton(int id, const char* key)
{
    auto* b = new CRButton(this, id);
    b->setObjectName(QString::number(id));
    b->setProperty("textKey", QString::fromLatin1(key));
    connect(b, &CSkinButton::Command, this, &CExportClipDlg::OnCommand);
    return b;
}

void CExportClipDlg::BuildSkin()
{
    m_background.Release();
    m_background.Create(width(), height());
    m_background.GetImage().fill(QColor::fromRgba(kBackgroundColor));
    CSkinSurface band;
    band.Create(width(), kTitleBandHeight);
    band.GetImage().fill(Qt::transparent);
    CSkinImage::GetInstance()->DrawNinePatch(band, QString::fromLatin1(kTitleBandPicture));
    QPainter p(&m_background.GetImage());
    p.drawImage(0, 0, band.GetImage());
}

void CExportClipDlg::LayoutFields()
{
    const int m = 18, row = 34, labelW = 110, fieldH = 24;
    const int fieldX = m + labelW, fieldW = width() - fieldX - m;
    m_title->setGeometry(m, 10, width() - 2 * m, 26);
    int y = 46;
    m_fromLabel->setGeometry(m, y, labelW, fieldH);
    m_from->setGeometry(fieldX, y, 90, fieldH);
    m_toLabel->setGeometry(fieldX + 104, y, 50, fieldH);
    m_to->setGeometry(fieldX + 154, y, 90, fieldH);
    y += row;
    m_layoutLabel->setGeometry(m, y, labelW, fieldH);
    m_layout->setGeometry(fieldX, y, fieldW, fieldH);
    y += row;
    m_overlay->setGeometry(fieldX, y, fieldW, fieldH);
    y += row;
    m_saveLabel->setGeometry(m, y, labelW, fieldH);
    m_folderText->setGeometry(fieldX, y, fieldW - 96, fieldH);
    m_browse->setGeometry(width() - m - 88, y - 1, 88, 27);
    y += row + 6;
    m_progress->setGeometry(m, y, width() - 2 * m, 7);
    y += 14;
    m_status->setGeometry(m, y, width() - 2 * m, fieldH);
    m_export->setGeometry(width() - m - 2 * 100 - 8, height() - 27 - 14, 100, 27);
    m_cancel->setGeometry(width() - m - 100, height() - 27 - 14, 100, 27);
    // The menu-button pictures are drawn over plates in the background, so
    // that the buttons read as buttons before the pointer is over them.
    if (m_background.IsCreated()) {
        QPainter p(&m_background.GetImage());
        p.setRenderHint(QPainter::Antialiasing);
        p.setPen(QColor::fromRgba(kButtonPlateBorder));
        p.setBrush(QColor::fromRgba(kFieldBackground));
        for (QWidget* b : std::initializer_list<QWidget*>{m_browse, m_export, m_cancel})
            p.drawRoundedRect(QRectF(b->geometry()).adjusted(0.5, 0.5, -0.5, -0.5), 3, 3);
    }
}

void CExportClipDlg::Prepare(const QString& recording, double duration, double position, bool hasRear, bool mph)
{
    m_recording = recording;
    m_duration = duration;
    m_hasRear = hasRear;
    m_mph = mph;
    m_fileName.clear();
    m_result = CClipResult();
    m_percent = 0;
    static_cast<CProgressStrip*>(m_progress)->SetPercent(0);
    setWindowTitle(Text(kTitleKey));
    m_title->setText(Text(kTitleKey) + QStringLiteral(" - ") + QFileInfo(recording).fileName());
    m_fromLabel->setText(Text(kFromKey));
    m_toLabel->setText(Text(kToKey));
    m_layoutLabel->setText(Text(kLayoutKey));
    m_overlay->setText(Text(kOverlayKey));
    m_saveLabel->setText(Text(kSaveToKey));
    const QFont font = MakeLanguageFont(kTextSizeKey, kTextSizeDefault);
    for (QWidget* w : std::initializer_list<QWidget*>{m_fromLabel, m_toLabel, m_layoutLabel, m_saveLabel, m_folderText,
                                                      m_status, m_from, m_to, m_layout, m_overlay})
        w->setFont(font);
    m_title->setFont(MakeLanguageFont(kTextSizeKey, kTextSizeDefault, QFont::Bold));

    m_layout->clear();
    const struct {
        ClipLayout layout;
        const char* key;
    } layouts[] = {{ClipLayout::Pip, kLayoutPipKey},     {ClipLayout::SideBySide, kLayoutSideBySideKey},
                   {ClipLayout::Front, kLayoutFrontKey}, {ClipLayout::Rear, kLayoutRearKey},
                   {ClipLayout::AsRecorded, kLayoutAsRecordedKey}};
    for (const auto& l : layouts) {
        const bool needsRear =
            l.layout == ClipLayout::Pip || l.layout == ClipLayout::SideBySide || l.layout == ClipLayout::Rear;
        if (needsRear && !hasRear)
            continue;
        m_layout->addItem(Text(l.key), int(l.layout));
    }
    m_layout->setCurrentIndex(0);
    m_overlay->setChecked(true);

    double from = 0, to = 0;
    ClipSpan::DefaultSpan(position, duration, kDefaultSpanSeconds, &from, &to);
    SetSpan(from, to);
    SetOutputFolder(m_folder);
    SetRunning(false);
    m_status->clear();
}

int CExportClipDlg::Open(const QString& recording, double position, QWidget* parent)
{
    QString error;
    const CClipExporter::Sources sources = CClipExporter::FindSources(recording, &error);
    const long duration = sources.Valid() ? CClipExporter::DurationSeconds(sources.frontPath) : 0;
    if (!sources.Valid() || duration <= 0) {
        if (error.isEmpty())
            error = QDir::toNativeSeparators(recording);
        CPlatform::Instance().MessageBox(parent, Text(kFailedKey) + QLatin1Char('\n') + error, Text(kTitleKey),
                                         CPlatform::MB_OK | CPlatform::MB_ICONERROR);
        return CPlatform::IDCANCEL;
    }
    const bool mph = SettingsGetText(QString(Settings::kUnitKey)) == QLatin1String(Settings::kUnitMph);
    CExportClipDlg dlg(parent);
    return dlg.DoModal(recording, double(duration), position, sources.HasRear(), mph);
}

int CExportClipDlg::DoModal(const QString& recording, double duration, double position, bool hasRear, bool mph)
{
    Prepare(recording, duration, position, hasRear, mph);
    return CPlatform::Instance().RunModalDialog(this);
}

bool CExportClipDlg::Span(double* from, double* to) const
{
    double a = 0, b = 0;
    if (!ClipSpan::ParseTime(m_from->text(), &a) || !ClipSpan::ParseTime(m_to->text(), &b))
        return false;
    if (!(a < b) || (m_duration > 0 && a >= m_duration))
        return false;
    if (m_duration > 0)
        b = std::min(b, m_duration);
    *from = a;
    *to = b;
    return true;
}

void CExportClipDlg::SetSpan(double from, double to)
{
    m_from->setText(ClipSpan::FormatTime(from));
    m_to->setText(ClipSpan::FormatTime(to));
}

CClipOptions::Layout CExportClipDlg::Layout() const
{
    return CClipOptions::Layout(m_layout->currentData().toInt());
}

void CExportClipDlg::SetLayout(CClipOptions::Layout layout)
{
    const int i = m_layout->findData(int(layout));
    if (i >= 0)
        m_layout->setCurrentIndex(i);
}

bool CExportClipDlg::IsLayoutOffered(CClipOptions::Layout layout) const
{
    return m_layout->findData(int(layout)) >= 0;
}

bool CExportClipDlg::Overlay() const
{
    return m_overlay->isChecked();
}

void CExportClipDlg::SetOverlay(bool on)
{
    m_overlay->setChecked(on);
}

void CExportClipDlg::SetOutputFolder(const QString& folder)
{
    m_folder = folder;
    const QFontMetrics fm(m_folderText->font());
    m_folderText->setText(fm.elidedText(QDir::toNativeSeparators(folder), Qt::ElideMiddle, m_folderText->width()));
    m_folderText->setToolTip(QDir::toNativeSeparators(folder));
}

QString CExportClipDlg::OutputPath() const
{
    if (!m_fileName.isEmpty())
        return QDir(m_folder).filePath(m_fileName);
    double from = 0, to = 0;
    if (!Span(&from, &to))
        return QString();
    return QDir(m_folder).filePath(ClipSpan::OutputName(m_recording, from, to));
}

QString CExportClipDlg::StatusText() const
{
    return m_status->text();
}

void CExportClipDlg::Browse()
{
    const QString chosen = CPlatform::Instance().GetSaveFileName(this, Text(kTitleKey), OutputPath(),
                                                                 QStringLiteral("MP4 (*.mp4)"));
    if (chosen.isEmpty())
        return;
    QFileInfo info(chosen);
    QString name = info.fileName();
    if (!name.endsWith(QLatin1String(".mp4"), Qt::CaseInsensitive))
        name += QStringLiteral(".mp4");
    m_fileName = name;
    SetOutputFolder(info.absolutePath());
}

void CExportClipDlg::OnCommand(int id)
{
    switch (id) {
    case kIdBrowse:
        Browse();
        break;
    case kIdExport:
        StartExport();
        break;
    case kIdCancel:
        if (IsRunning())
            CancelExport();
        else
            reject();
        break;
    default:
        break;
    }
}

void CExportClipDlg::SetRunning(bool running)
{
    for (QWidget* w : std::initializer_list<QWidget*>{m_from, m_to, m_layout, m_overlay, m_browse})
        w->setEnabled(!running);
    double a = 0, b = 0;
    m_export->setEnabled(!running && Span(&a, &b));
    // The buttons keep their captions in their pictures' style: set them anew.
    SkinTextStyle style;
    style.normalColor = QColor::fromRgba(kButtonTextColor);
    style.disabledColor = QColor::fromRgba(kButtonDisabledColor);
    style.overColor = Qt::white;
    style.pressColor = Qt::white;
    style.fontHeight = kTextSizeDefault;
    style.align = 1;
    for (CRButton* b : {m_browse, m_export, m_cancel}) {
        const char* key = b == m_cancel ? (running ? kCancelKey : kCloseKey) : nullptr;
        style.text = key ? Text(key) : Text(b->property("textKey").toString().toLatin1().constData());
        b->SetNinePatchImages(QString::fromLatin1(kButtonPictures[0]), QString::fromLatin1(kButtonPictures[1]),
                              QString::fromLatin1(kButtonPictures[2]), &m_background, &style,
                              QString::fromLatin1(kButtonPictures[3]));
        b->Redraw();
    }
}

void CExportClipDlg::StartExport()
{
    if (IsRunning())
        return;
    double from = 0, to = 0;
    if (!Span(&from, &to)) {
        m_status->setStyleSheet(QStringLiteral("color:%1;").arg(Css(kErrorColor)));
        m_status->setText(Text(kBadSpanKey));
        return;
    }
    m_shared = std::make_shared<Shared>();
    CClipOptions& o = m_shared->options;
    o.recording = m_recording;
    o.fromSec = from;
    o.toSec = to;
    o.layout = Layout();
    o.overlay = Overlay();
    o.mph = m_mph;
    o.outputPath = OutputPath();
    m_cancelled = false;
    m_percent = 0;
    static_cast<CProgressStrip*>(m_progress)->SetPercent(0);
    m_status->setStyleSheet(QString());
    OnProgress(0);
    const std::shared_ptr<Shared> shared = m_shared;
    const QPointer<CExportClipDlg> self(this);
    m_thread = QThread::create([shared, self] {
        CClipExporter exporter;
        const CClipResult result = exporter.Run(
            shared->options,
            [self](int percent) {
                QMetaObject::invokeMethod(self.data(), [self, percent] {
                    if (self)
                        self->OnProgress(percent);
                }, Qt::QueuedConnection);
            },
            &shared->cancel);
        QMetaObject::invokeMethod(self.data(), [self, result] {
            if (self)
                self->OnFinished(result);
        }, Qt::QueuedConnection);
    });
    m_thread->setObjectName(QStringLiteral("ClipExport"));
    connect(m_thread, &QThread::finished, m_thread, &QObject::deleteLater);
    SetRunning(true);
    m_thread->start(QThread::LowPriority);
}

void CExportClipDlg::CancelExport()
{
    if (!IsRunning())
        return;
    m_cancelled = true;
    m_shared->cancel = true;
}

void CExportClipDlg::OnProgress(int percent)
{
    if (!IsRunning() && percent != 0)
        return;
    m_percent = percent;
    static_cast<CProgressStrip*>(m_progress)->SetPercent(percent);
    m_status->setText(Text(kProgressKey).replace(QLatin1String("%d"), QString::number(percent)).replace(QLatin1String("%%"), QLatin1String("%")));
}

void CExportClipDlg::OnFinished(const CClipResult& result)
{
    if (m_thread) {
        m_thread->wait(QDeadlineTimer(5000)); // it has only its return left
        m_thread = nullptr;
    }
    m_result = result;
    SetRunning(false);
    const QString caption = Text(kTitleKey);
    if (result.ok) {
        m_percent = 100;
        static_cast<CProgressStrip*>(m_progress)->SetPercent(100);
        m_status->setText(Text(kSavedKey));
        emit ExportEnded(true);
        CPlatform::Instance().MessageBox(this, Text(kSavedKey) + QLatin1Char('\n') + QDir::toNativeSeparators(result.outputPath),
                                         caption, CPlatform::MB_OK | CPlatform::MB_ICONINFORMATION);
        done(CPlatform::IDOK);
        return;
    }
    m_percent = 0;
    static_cast<CProgressStrip*>(m_progress)->SetPercent(0);
    if (result.cancelled || m_cancelled) {
        m_status->setText(Text(kCancelledKey));
        emit ExportEnded(false);
        if (m_closeWhenDone)
            done(CPlatform::IDCANCEL);
        return;
    }
    m_status->setStyleSheet(QStringLiteral("color:%1;").arg(Css(kErrorColor)));
    m_status->setText(Text(kFailedKey));
    emit ExportEnded(false);
    CPlatform::Instance().MessageBox(this, Text(kFailedKey) + QLatin1Char('\n') + result.error, caption,
                                     CPlatform::MB_OK | CPlatform::MB_ICONERROR);
    if (m_closeWhenDone)
        done(CPlatform::IDCANCEL);
}

void CExportClipDlg::reject()
{
    if (!IsRunning()) {
        QDialog::reject();
        return;
    }
    const int answer = CPlatform::Instance().MessageBox(this, Text(kAskCancelKey), Text(kTitleKey),
                                                        CPlatform::MB_YESNO | CPlatform::MB_ICONQUESTION);
    if (answer != CPlatform::IDYES)
        return;
    m_closeWhenDone = true;
    CancelExport();
}

void CExportClipDlg::paintEvent(QPaintEvent*)
{
    QPainter p(this);
    if (m_background.IsCreated())
        p.drawImage(0, 0, m_background.GetImage());
}

void CExportClipDlg::resizeEvent(QResizeEvent* event)
{
    QDialog::resizeEvent(event);
    if (m_background.GetImage().size() != size()) {
        BuildSkin();
        LayoutFields();
    }
}
