#include "catalogue/RecordingAnalyzer.h"

#include "telemetry/AviText.h"
#include "catalogue/Connectivity.h"
#include "telemetry/Extract.h"
#include "telemetry/Mp4Text.h"
#include "base/TraceLog.h"

#include <QDir>
#include <QFileInfo>

#include <cerrno>
#include <cstdio>
#include <cstring>

#include <sys/stat.h>

std::recursive_mutex g_analysisLock;

namespace {

constexpr int kMaxScanDepth = 64;

bool HasRecordingExtension(const QString& name)
{
    const QString ext = name.right(4);
    return ext.compare(QLatin1String(".avi"), Qt::CaseInsensitive) == 0
        || ext.compare(QLatin1String(".mp4"), Qt::CaseInsensitive) == 0;
}

std::mutex g_analyzerMutex;
std::weak_ptr<CRecordingAnalyzer> g_analyzer;

} // namespace

std::shared_ptr<CRecordingAnalyzer> GetAnalyzer()
{
    std::lock_guard<std::mutex> lock(g_analyzerMutex);
    std::shared_ptr<CRecordingAnalyzer> a = g_analyzer.lock();
    if (!a) {
        a = std::make_shared<CRecordingAnalyzer>();
        g_analyzer = a;
    }
    return a;
}

int Catalogue::CategoryOfFolder(const QString& folderName)
{
    if (folderName == kFolderContinuous)
        return kContinuous;
    if (folderName == kFolderContinuousImpact)
        return kContinuousImpact;
    if (folderName == kFolderManual)
        return kManual;
    if (folderName == kFolderParkingMotion)
        return kParkingMotion;
    if (folderName == kFolderParkingImpact)
        return kParkingImpact;
    return kContinuous;
}

QString CRecordingAnalyzer::PartnerFileName(const QString& fileName, bool* isFront)
{
    const qsizetype underscore = fileName.indexOf(QLatin1Char('_'));
    if (underscore < 0)
        return QString();
    const QByteArray prefix = fileName.left(underscore).toLocal8Bit();
    const QByteArray rest = fileName.mid(underscore + 1).toLocal8Bit();
    int year = 0, month = 0, day = 0, hour = 0, minute = 0, second = 0;
    char channel = 0;
    char ext[256] = {};
    if (std::sscanf(rest.constData(), "%4d_%02d_%02d_%02d_%02d_%02d_%c.%255s", &year, &month, &day, &hour, &minute,
                    &second, &channel, ext) != 8)
        return QString();
    const bool front = channel == 'F';
    if (isFront)
        *isFront = front;
    char partner[512];
    std::snprintf(partner, sizeof partner, "%s_%4d_%02d_%02d_%02d_%02d_%02d_%c.%s", prefix.constData(), year, month,
                  day, hour, minute, second, front ? 'R' : 'F', ext);
    return QString::fromLocal8Bit(partner);
}

void CRecordingAnalyzer::ScanFolder(const QString& folder, CategoryMap& map) const
{
    for (const QString& path : ListRecordingFiles(folder))
        AnalysisFile(path, QFileInfo(path).fileName(), map, 0, 0);
}

QStringList CRecordingAnalyzer::ListRecordingFiles(const QString& folder) const
{
    QStringList files;
    QStringList visited;
    ListInto(folder, files, visited, 0);
    return files;
}

void CRecordingAnalyzer::ListInto(const QString& folder, QStringList& files, QStringList& visited, int depth) const
{
    const QString canonical = QFileInfo(folder).canonicalFilePath();
    if (canonical.isEmpty() || visited.contains(canonical) || depth > kMaxScanDepth)
        return;
    visited << canonical;

    const QDir dir(folder);
    const QDir::Filters filters = QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot;
    const QFileInfoList entries = dir.entryInfoList(filters, QDir::Unsorted);
    for (const QFileInfo& info : entries) {
        if (info.isDir() || info.size() == 0 || !HasRecordingExtension(info.fileName()))
            continue;
        files << info.filePath();
    }
    for (const QFileInfo& info : entries) {
        if (info.isDir())
            ListInto(info.filePath(), files, visited, depth + 1);
    }
}

int CRecordingAnalyzer::AnalysisFile(const QString& path, const QString& fileName, CategoryMap& map, int extractNow,
                                     int expectedRole) const
{
    struct stat st {};
    if (::stat(QFile::encodeName(path).constData(), &st) != 0) {
        TraceLogF("AnalysisFile: File Open Error cause (%d) %s", errno, path.toLocal8Bit().constData());
        return 0;
    }

    RecordingEntry entry;
    entry.path = path;
    entry.fileSize = quint64(st.st_size);
    QString partnerPath;
    int nextRole = Catalogue::kRoleNone;

    if (fileName.right(4).compare(QLatin1String(".mp4"), Qt::CaseInsensitive) == 0) {
        bool front = false;
        const QString partnerName = PartnerFileName(fileName, &front);
        if (!partnerName.isEmpty()) {
            const QString candidate = QFileInfo(path).dir().filePath(partnerName);
            if (QFileInfo::exists(candidate)) {
                partnerPath = candidate;
                if (!front) {
                    entry.channelRole = Catalogue::kRoleRear;
                    if (expectedRole == 0)
                        nextRole = Catalogue::kRoleFront;
                } else {
                    entry.channelRole = Catalogue::kRoleFront;
                    if (expectedRole == 0)
                        nextRole = Catalogue::kRoleRear;
                }
            }
        }
    }

    if (extractNow != 0) {
        std::lock_guard<std::recursive_mutex> lock(g_analysisLock);
        const QByteArray name = path.toLocal8Bit();
        TraceLogF("AnalysisFile: >>> ExtractText Start  [%s]", name.constData());
        try {
            ExtractText(path, entry.textData);
            TraceLogF("AnalysisFile: <<< ExtractText Completed [%s]", name.constData());
        } catch (...) {
            TraceLogF("AnalysisFile: ExtractText Execption has occured  [%s]", name.constData());
        }
    }

    const auto [it, added] = map.emplace(fileName.toUpper(), std::move(entry));
    if (partnerPath.isEmpty()) {
        if (!added && (expectedRole == Catalogue::kRoleFront || expectedRole == Catalogue::kRoleRear))
            it->second.channelRole = expectedRole;
    } else if (added && nextRole != 0) {
        const QString key = it->first;
        if (AnalysisFile(partnerPath, QFileInfo(partnerPath).fileName(), map, extractNow, nextRole) == 0)
            map[key].channelRole = Catalogue::kRoleNone;
    }
    return 1;
}

void CRecordingAnalyzer::ExtractText(const QString& path, CTextData& textData) const
{
    Telemetry::ExtractText(path, textData);
}

bool CRecordingAnalyzer::IsMp4Recording(const QString& path) const
{
    return Telemetry::IsMp4Recording(path);
}

int CRecordingAnalyzer::CheckH264(const QString& path) const
{
    return Telemetry::CheckH264(path);
}

void CRecordingAnalyzer::SearchByArea(double latMin, double latMax, double lonMin, double lonMax,
                                      const CategoryMap& sourceMap, CategoryMap& resultMap,
                                      QStringList& resultNames) const
{
    for (const auto& [key, entry] : sourceMap) {
        for (const CGPSData& fix : entry.textData.gpsList) {
            if (latMin < fix.latitude && fix.latitude < latMax && lonMin < fix.longitude && fix.longitude < lonMax) {
                resultNames << key;
                resultMap.emplace(key, entry);
                break;
            }
        }
    }
}

bool CRecordingAnalyzer::IsInternetConnected() const
{
    return ProbeConnectivity();
}
