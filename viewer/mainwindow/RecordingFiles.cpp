// The main window's file operations: open, save a copy, delete, the camera's
// settings program and the device information.
#include "mainwindow/RecordingFiles.h"

#include "windows/ExportClipDlg.h"

#include "mainwindow/CardController.h"
#include "mainwindow/CopyProgressPopup.h"
#include "mainwindow/MainWindowIds.h"
#include "mainwindow/MovaraDlg.h"
#include "base/TraceLog.h"
#include "catalogue/MemoryCard.h"
#include "catalogue/RecordingAnalyzer.h"
#include "engine/ITransport.h"
#include "lang/Lang.h"
#include "platform/Platform.h"
#include "skin/RListCtrl.h"
#include "windows/BbInfoDlg.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTimer>

#include <cerrno>
#include <cstring>

#include <unistd.h>

using namespace MainWnd;

namespace {
QString Text(const char* key)
{
    return LangText(QString::fromLatin1(key));
}

bool RemoveFile(const QString& path, int* error)
{
    if (::unlink(QFile::encodeName(path).constData()) == 0 || errno == ENOENT)
        return true;
    if (error)
        *error = errno;
    return false;
}

// The category buttons a file from a folder of `category` makes available:
// the tab and its sub-category; a folder of no category gives the
// continuous tab only.
QList<int> ButtonsOfCategory(int category, bool folderKnown)
{
    using namespace Catalogue;
    if (!folderKnown)
        return {kIdListNormal};
    switch (category) {
    case kContinuous:
        return {kIdListNormal, kIdListRecNormal};
    case kContinuousImpact:
        return {kIdListNormal, kIdListNorShock};
    case kManual:
        return {kIdListManual};
    case kParkingMotion:
        return {kIdListParking, kIdListParkMotion};
    case kParkingImpact:
        return {kIdListParking, kIdListParkShock};
    default:
        return {kIdListNormal};
    }
}
} // namespace

CRecordingFiles::CRecordingFiles(CMovaraDlg& window)
    : QObject(&window)
    , m_window(window)
    , m_copy(new CBackgroundCopy(this))
    , m_popupDelay(new QTimer(this))
    , m_remove(RemoveFile)
    , m_saveFolder(QDir::homePath())
{
    m_popupDelay->setSingleShot(true);
    connect(m_popupDelay, &QTimer::timeout, this, &CRecordingFiles::ShowProgress);
    connect(m_copy, &CBackgroundCopy::Progress, this, &CRecordingFiles::OnCopyProgress);
    connect(m_copy, &CBackgroundCopy::Finished, this, &CRecordingFiles::OnCopyFinished);
}

CRecordingFiles::~CRecordingFiles()
{
    // The copy's thread must not outlive what it reports to.
    m_copy->Cancel();
    m_copy->Wait();
}

void CRecordingFiles::ShowMessage(const char* key, const QString& reason, bool owned)
{
    QString text = Text(key);
    if (!reason.isEmpty())
        text += QStringLiteral("\n") + reason;
    CPlatform::Instance().MessageBox(owned ? &m_window : nullptr, text, QString::fromLatin1(kTitle),
                                     CPlatform::MB_OK | (reason.isEmpty() ? 0u : unsigned(CPlatform::MB_ICONERROR)));
}

// ---- Open ---------------------------------------------------------------------------------

void CRecordingFiles::OpenRecordingFile()
{
    const QString folder = !g_cardRoot.isEmpty() ? g_cardRoot : m_openFolder;
    const QString path = CPlatform::Instance().GetOpenFileName(&m_window, Text(kTextOpen), folder,
                                                               QString::fromLatin1(kOpenFilter));
    if (path.isEmpty())
        return;
    m_openFolder = QFileInfo(path).absolutePath();
    OpenRecordingPath(path);
}

bool CRecordingFiles::OpenRecordingPath(const QString& path)
{
    CRListCtrl* list = m_window.List();
    if (!list)
        return false;
    const QFileInfo info(path);
    const QString name = info.fileName();
    const bool isMp4 = name.right(4).compare(QLatin1String(".mp4"), Qt::CaseInsensitive) == 0;
    const QString folder = info.dir().dirName();
    const int category = Catalogue::CategoryOfFolder(folder);
    using namespace Catalogue;
    const bool folderKnown = folder == kFolderContinuous || folder == kFolderContinuousImpact ||
                             folder == kFolderManual || folder == kFolderParkingMotion ||
                             folder == kFolderParkingImpact;
    const bool noCard = list->IsEmptyMode();

    // The analysis run reads the maps: the file joins while none runs.
    int examined = 0;
    CategoryMap& map = m_window.Catalogue()[size_t(category)];
    m_window.Card().EditCatalogue([&] {
        examined = GetAnalyzer()->AnalysisFile(info.absoluteFilePath(), name, map, 1, 0);
    });
    if (!examined) {
        TraceLogF("Kestrav : the opened file cannot be examined [%s]", path.toLocal8Bit().constData());
        return false;
    }
    for (int id : ButtonsOfCategory(category, folderKnown))
        if (QWidget* b = m_window.Control(id))
            b->setEnabled(true);

    if (category == m_window.listCategory || noCard) {
        const QString playing = list->GetPlayingName();
        m_window.SelectListCategory(category);
        if (!playing.isEmpty())
            list->SetPlayingByName(playing);
    }
    if (noCard) {
        // Out of the no-card state: the file's tab with its second row, and
        // the card state for a file (its stream mode when no card tells the model).
        const int tab = CMovaraDlg::ListGroupButton(category);
        m_window.ShowListGroup(tab);
        if (QWidget* b = m_window.Control(tab))
            b->setEnabled(true);
        m_window.listCategory = category;
        m_window.SetCardState(true, g_deviceRecord.isEmpty() ? isMp4 : false);
    }
    return true;
}

// ---- Save As --------------------------------------------------------------------------------

bool CRecordingFiles::IsCopying() const
{
    return m_copy->IsRunning();
}

void CRecordingFiles::CancelCopy()
{
    m_copy->Cancel();
}

void CRecordingFiles::WaitForCopy()
{
    m_copy->Wait();
}

void CRecordingFiles::SetCopyFaultHook(CFileCopier::FaultHook hook)
{
    m_copy->SetFaultHook(std::move(hook));
}

void CRecordingFiles::SetCopyBufferSize(size_t bytes)
{
    m_copy->SetBufferSize(bytes);
}

void CRecordingFiles::SaveRecordingAs()
{
    const QString title = m_window.currentTitle;
    if (title.isEmpty())
        return;
    if (IsCopying()) {
        TraceLog(QStringLiteral("Kestrav : a copy is being saved; one at a time"));
        ShowProgress();
        return;
    }
    const CategoryMap* map = m_window.currentCategoryMap;
    const auto it = map ? map->find(title) : CategoryMap::const_iterator();
    if (!map || it == map->end()) {
        TraceLogF("Kestrav : SaveRecordingAs: [%s] is not in the shown category", title.toLocal8Bit().constData());
        return;
    }
    const QString source = it->second.path;
    const bool mp4 = m_window.dualStreamMode == 1;
    const QString filter = QString::fromLatin1(mp4 ? kSaveFilterMp4 : kSaveFilterAvi);
    const QString extension = mp4 ? QStringLiteral(".mp4") : QStringLiteral(".avi");
    QString target = CPlatform::Instance().GetSaveFileName(&m_window, Text(kTextSaveAs),
                                                           QDir(m_saveFolder).filePath(title), filter);
    if (target.isEmpty())
        return;
    if (QFileInfo(target).suffix().isEmpty())
        target += extension;
    m_saveFolder = QFileInfo(target).absolutePath();
    if (CFileCopier::IsSameFile(source, target)) {
        TraceLog(QStringLiteral("Kestrav : SaveRecordingAs: the target is the recording itself"));
        ShowMessage(kTextSaveOntoItself, QString(), true);
        return;
    }
    TraceLogF("Kestrav : SaveRecordingAs [%s] -> [%s]", source.toLocal8Bit().constData(),
              target.toLocal8Bit().constData());
    if (!m_copy->Start(source, target))
        return;
    m_copyTarget = target;
    if (m_popup)
        m_popup->SetProgress(0, 0);
    m_popupDelay->start(kCopyProgressDelayMs);
}

void CRecordingFiles::ShowProgress()
{
    if (!IsCopying())
        return;
    if (!m_popup) {
        m_popup = new CCopyProgressPopup(&m_window);
        connect(m_popup, &CCopyProgressPopup::CancelRequested, this, [this] {
            TraceLog(QStringLiteral("Kestrav : the copy is cancelled"));
            CancelCopy();
        });
    }
    m_popup->ShowOver(m_window.frontVideoArea.ToQRect());
}

void CRecordingFiles::OnCopyProgress(qint64 done, qint64 total)
{
    if (m_popup)
        m_popup->SetProgress(done, total);
}

void CRecordingFiles::OnCopyFinished(const CCopyResult& result)
{
    m_popupDelay->stop();
    if (m_popup)
        m_popup->hide();
    const QByteArray target = m_copyTarget.toLocal8Bit();
    switch (result.status) {
    case CCopyResult::Status::Done:
        TraceLogF("Kestrav : saved [%s] (%lld bytes)", target.constData(), static_cast<long long>(result.bytes));
        break;
    case CCopyResult::Status::Cancelled:
        TraceLogF("Kestrav : the copy to [%s] was cancelled", target.constData());
        break;
    case CCopyResult::Status::SameFile:
        ShowMessage(kTextSaveOntoItself, QString(), true);
        break;
    case CCopyResult::Status::Failed:
        TraceLogF("Kestrav : saving [%s] failed at step %d: %s", target.constData(), int(result.step),
                  result.Reason().toLocal8Bit().constData());
        ShowMessage(kTextSaveFailed, result.Reason(), true);
        break;
    }
    emit CopyFinished(result);
}

// ---- Delete ---------------------------------------------------------------------------------

void CRecordingFiles::DeleteFocusedRecording()
{
    CRListCtrl* list = m_window.List();
    if (!list)
        return;
    const QString focused = list->GetFocusedName();
    if (focused.isEmpty()) {
        TraceLog(QStringLiteral("strFocusItem.IsEmpty()\n"));
        return;
    }
    const QString playing = list->GetPlayingName();
    CategoryMap* map = m_window.currentCategoryMap;
    const auto it = map ? map->find(focused) : CategoryMap::iterator();
    if (!map || it == map->end()) {
        TraceLogF("Kestrav : DeleteFocusedRecording: [%s] is not in the shown category",
                  focused.toLocal8Bit().constData());
        return;
    }
    const QString path = it->second.path;
    const int state = m_window.Transport().GetState();
    if ((state == STATE_PLAY || state == STATE_PAUSE) && focused == playing)
        m_window.VideoSTOP();

    int error = 0;
    if (!m_remove(path, &error)) {
        // The file stays: so does its entry.
        TraceLogF("Kestrav : deleting [%s] failed: %s", path.toLocal8Bit().constData(), std::strerror(error));
        ShowMessage(kTextDeleteFailed, QString::fromLocal8Bit(std::strerror(error ? error : EIO)), true);
        return;
    }
    m_window.Card().EditCatalogue([map, &focused] { map->erase(focused); });
    m_window.SelectListCategory(m_window.listCategory);
    list->SetPlayingByName(playing);
}

// ---- Clip export ----------------------------------------------------------------------------

void CRecordingFiles::ExportClip(ExportSource source)
{
    CRListCtrl* list = m_window.List();
    if (!list)
        return;
    const QString playing = list->GetPlayingName();
    const int state = m_window.Transport().GetState();
    const bool active = state == STATE_PLAY || state == STATE_PAUSE;
    const QString name = source == ExportSource::Focused ? list->GetFocusedName() : (active ? playing : QString());
    CategoryMap* map = m_window.currentCategoryMap;
    const auto it = map && !name.isEmpty() ? map->find(name) : CategoryMap::iterator();
    if (name.isEmpty() || !map || it == map->end()) {
        TraceLogF("Kestrav : ExportClip: no recording to export [%s]", name.toLocal8Bit().constData());
        return;
    }
    const QString path = it->second.path;
    const double position = active && name == playing ? double(m_window.Transport().GetPosition()) : 0.0;
    TraceLogF("Kestrav : ExportClip [%s] at %.0f s", path.toLocal8Bit().constData(), position);
    CExportClipDlg::Open(path, position, &m_window);
}

// ---- The card's settings program and the device information --------------------------------

void CRecordingFiles::RunSettingsProgram()
{
    if (g_cardRoot.isEmpty()) {
        ShowMessage(kTextNoSettingsProgram, QString(), false);
        return;
    }
    // Only a program on the card: a path that leaves it counts as none.
    const QString program = SettingsProgramPath(g_cardRoot, g_deviceRecord);
    if (program.isEmpty() || !QFileInfo(program).isFile()) {
        TraceLogF("Kestrav : no settings program on the card [%s]",
                  DeviceRecordText(g_deviceRecord, kDeviceProgramOffset).toLocal8Bit().constData());
        ShowMessage(kTextNoSettingsProgram, QString(), false);
        return;
    }
    if (!CPlatform::Instance().ShellOpen(program))
        TraceLogF("Kestrav : the settings program did not start [%s]", program.toLocal8Bit().constData());
}

void CRecordingFiles::ShowDeviceInformation()
{
    if (!m_infoDlg)
        m_infoDlg = new CBbInfoDlg(&m_window);
    m_infoDlg->DoModal(g_deviceRecord, g_cardSizeGB);
}
