#include "TelemetryExport.h"

#include "catalogue/MemoryCard.h"
#include "catalogue/RecordingAnalyzer.h"

#include <QDir>
#include <QFileInfo>
#include <QSet>
#include <QXmlStreamWriter>

#include <charconv>

namespace Export {

QByteArray ShortestDouble(double v)
{
    char buf[64];
    const auto result = std::to_chars(buf, buf + sizeof buf, v);
    return QByteArray(buf, int(result.ptr - buf));
}

QByteArray ToGpx(const QString& name, const CTextData& data)
{
    QByteArray out;
    QXmlStreamWriter xml(&out);
    xml.setAutoFormatting(true);
    xml.writeStartDocument();
    xml.writeStartElement(QStringLiteral("gpx"));
    xml.writeDefaultNamespace(QStringLiteral("http://www.topografix.com/GPX/1/1"));
    xml.writeNamespace(QStringLiteral("http://www.garmin.com/xmlschemas/TrackPointExtension/v2"), QStringLiteral("gpxtpx"));
    xml.writeAttribute(QStringLiteral("version"), QStringLiteral("1.1"));
    xml.writeAttribute(QStringLiteral("creator"), QStringLiteral("Kestrav"));
    xml.writeStartElement(QStringLiteral("trk"));
    xml.writeTextElement(QStringLiteral("name"), name);
    xml.writeStartElement(QStringLiteral("trkseg"));
    for (const CGPSData& fix : data.gpsList) {
        if (fix.valid != 1)
            continue; // no position
        xml.writeStartElement(QStringLiteral("trkpt"));
        xml.writeAttribute(QStringLiteral("lat"), QString::fromLatin1(ShortestDouble(CGPSData::ToDecimalDegrees(fix.latitude))));
        xml.writeAttribute(QStringLiteral("lon"), QString::fromLatin1(ShortestDouble(CGPSData::ToDecimalDegrees(fix.longitude))));
        xml.writeTextElement(QStringLiteral("time"), QString::asprintf("%04d-%02d-%02dT%02d:%02d:%02dZ", 2000 + fix.year, fix.month,
                                                                      fix.day, fix.hour, fix.minute, fix.second));
        xml.writeStartElement(QStringLiteral("extensions"));
        xml.writeStartElement(QStringLiteral("gpxtpx:TrackPointExtension"));
        xml.writeTextElement(QStringLiteral("gpxtpx:speed"), QString::fromLatin1(ShortestDouble(fix.speed / 3.6)));
        xml.writeTextElement(QStringLiteral("gpxtpx:course"), QString::fromLatin1(ShortestDouble(fix.course)));
        xml.writeEndElement();
        xml.writeEndElement();
        xml.writeEndElement();
    }
    xml.writeEndDocument();
    return out;
}

QByteArray GpsCsv(const CTextData& data)
{
    QByteArray out("index,year,month,day,hour,minute,second,valid,latitude,longitude,speed,course\n");
    int i = 0;
    for (const CGPSData& g : data.gpsList) {
        out += QByteArray::number(i++) + ',' + QByteArray::number(g.year) + ',' + QByteArray::number(g.month) + ','
            + QByteArray::number(g.day) + ',' + QByteArray::number(g.hour) + ',' + QByteArray::number(g.minute) + ','
            + QByteArray::number(g.second) + ',' + QByteArray::number(g.valid) + ',' + ShortestDouble(g.latitude) + ','
            + ShortestDouble(g.longitude) + ',' + ShortestDouble(g.speed) + ',' + ShortestDouble(g.course) + '\n';
    }
    return out;
}

QByteArray GSensorCsv(const CTextData& data)
{
    QByteArray out("index,x,y,z\n");
    int i = 0;
    for (const CGSensorData& g : data.gsensorList)
        out += QByteArray::number(i++) + ',' + QByteArray::number(g.x) + ',' + QByteArray::number(g.y) + ','
            + QByteArray::number(g.z) + '\n';
    return out;
}

QByteArray CarCsv(const CTextData& data)
{
    QByteArray out("index,brake,left,right,active\n");
    int i = 0;
    for (const CCarInfoData& c : data.carInfoList)
        out += QByteArray::number(i++) + ',' + QByteArray::number(c.brake) + ',' + QByteArray::number(c.left) + ','
            + QByteArray::number(c.right) + ',' + QByteArray::number(c.active) + '\n';
    return out;
}

QStringList CollectRecordings(const QStringList& inputs, QStringList& missing)
{
    QStringList paths;
    QSet<QString> seen;
    auto add = [&](const QString& path) {
        const QFileInfo info(path);
        const QString key = info.canonicalFilePath().isEmpty() ? info.absoluteFilePath() : info.canonicalFilePath();
        if (!seen.contains(key)) {
            seen.insert(key);
            paths << info.absoluteFilePath();
        }
    };
    const auto analyzer = GetAnalyzer();
    for (const QString& input : inputs) {
        const QFileInfo info(input);
        if (info.isFile()) {
            add(input);
            continue;
        }
        if (!info.isDir()) {
            missing << input;
            continue;
        }
        const QString root = info.absoluteFilePath() + QLatin1Char('/');
        const QByteArray record = ReadDeviceRecord(root);
        QStringList files;
        if (!record.isEmpty()) {
            for (const CCardFolder& folder : CardCategoryFolders(DeviceModelName(record)))
                files << analyzer->ListRecordingFiles(root + folder.name);
        } else {
            files = analyzer->ListRecordingFiles(info.absoluteFilePath());
        }
        for (const QString& f : files)
            add(f);
    }
    return paths;
}

QStringList OutputNames(const QStringList& recordings)
{
    QStringList names;
    QSet<QString> taken;
    for (const QString& path : recordings) {
        const QFileInfo info(path);
        QString name = info.fileName();
        if (taken.contains(name.toCaseFolded())) {
            const QString base = name + QLatin1Char('~') + info.dir().dirName();
            name = base;
            for (int n = 2; taken.contains(name.toCaseFolded()); ++n)
                name = base + QLatin1Char('~') + QString::number(n);
        }
        taken.insert(name.toCaseFolded());
        names << name;
    }
    return names;
}

} // namespace Export
