#include "TelemetryExport.h"

#include "catalogue/MemoryCard.h"
#include "catalogue/RecordingAnalyzer.h"
#include "telemetry/FfmpegLog.h"

#include <QDir>
#include <QFileInfo>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QSet>
#include <QXmlStreamWriter>

#include <charconv>

extern "C" {
#include <libavformat/avformat.h>
}

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

namespace {
QString FixTimeText(const CGPSData& fix)
{
    return QString::asprintf("%04d-%02d-%02dT%02d:%02d:%02dZ", 2000 + fix.year, fix.month, fix.day, fix.hour,
                             fix.minute, fix.second);
}

std::vector<CGPSData> ValidFixes(const CTextData& data)
{
    std::vector<CGPSData> fixes;
    for (const CGPSData& fix : data.gpsList)
        if (fix.valid == 1)
            fixes.push_back(fix);
    return fixes;
}
} // namespace

QByteArray ToKml(const QString& name, const CTextData& data)
{
    const std::vector<CGPSData> fixes = ValidFixes(data);
    QByteArray out;
    QXmlStreamWriter xml(&out);
    xml.setAutoFormatting(true);
    xml.writeStartDocument();
    xml.writeStartElement(QStringLiteral("kml"));
    xml.writeDefaultNamespace(QStringLiteral("http://www.opengis.net/kml/2.2"));
    xml.writeNamespace(QStringLiteral("http://www.google.com/kml/ext/2.2"), QStringLiteral("gx"));
    xml.writeStartElement(QStringLiteral("Document"));
    xml.writeTextElement(QStringLiteral("name"), name);
    // The look of the line, and the arrays the track carries besides its points.
    xml.writeStartElement(QStringLiteral("Style"));
    xml.writeAttribute(QStringLiteral("id"), QStringLiteral("track"));
    xml.writeStartElement(QStringLiteral("LineStyle"));
    xml.writeTextElement(QStringLiteral("color"), QStringLiteral("ff0000ff"));
    xml.writeTextElement(QStringLiteral("width"), QStringLiteral("4"));
    xml.writeEndElement();
    xml.writeEndElement();
    xml.writeStartElement(QStringLiteral("Schema"));
    xml.writeAttribute(QStringLiteral("id"), QStringLiteral("fix"));
    for (const char* field : {"speed_kmh", "course"}) {
        xml.writeStartElement(QStringLiteral("gx:SimpleArrayField"));
        xml.writeAttribute(QStringLiteral("name"), QString::fromLatin1(field));
        xml.writeAttribute(QStringLiteral("type"), QStringLiteral("float"));
        xml.writeEndElement();
    }
    xml.writeEndElement();
    xml.writeStartElement(QStringLiteral("Placemark"));
    xml.writeTextElement(QStringLiteral("name"), name);
    if (!fixes.empty()) {
        xml.writeStartElement(QStringLiteral("TimeSpan"));
        xml.writeTextElement(QStringLiteral("begin"), FixTimeText(fixes.front()));
        xml.writeTextElement(QStringLiteral("end"), FixTimeText(fixes.back()));
        xml.writeEndElement();
    }
    xml.writeTextElement(QStringLiteral("styleUrl"), QStringLiteral("#track"));
    xml.writeStartElement(QStringLiteral("gx:Track"));
    for (const CGPSData& fix : fixes)
        xml.writeTextElement(QStringLiteral("when"), FixTimeText(fix));
    for (const CGPSData& fix : fixes)
        xml.writeTextElement(QStringLiteral("gx:coord"),
                             QString::fromLatin1(ShortestDouble(CGPSData::ToDecimalDegrees(fix.longitude)) + ' '
                                                 + ShortestDouble(CGPSData::ToDecimalDegrees(fix.latitude)) + " 0"));
    xml.writeStartElement(QStringLiteral("ExtendedData"));
    xml.writeStartElement(QStringLiteral("SchemaData"));
    xml.writeAttribute(QStringLiteral("schemaUrl"), QStringLiteral("#fix"));
    xml.writeStartElement(QStringLiteral("gx:SimpleArrayData"));
    xml.writeAttribute(QStringLiteral("name"), QStringLiteral("speed_kmh"));
    for (const CGPSData& fix : fixes)
        xml.writeTextElement(QStringLiteral("gx:value"), QString::fromLatin1(ShortestDouble(fix.speed)));
    xml.writeEndElement();
    xml.writeStartElement(QStringLiteral("gx:SimpleArrayData"));
    xml.writeAttribute(QStringLiteral("name"), QStringLiteral("course"));
    for (const CGPSData& fix : fixes)
        xml.writeTextElement(QStringLiteral("gx:value"), QString::fromLatin1(ShortestDouble(fix.course)));
    xml.writeEndElement();
    xml.writeEndElement(); // SchemaData
    xml.writeEndElement(); // ExtendedData
    xml.writeEndElement(); // gx:Track
    xml.writeEndElement(); // Placemark
    xml.writeEndDocument();
    return out;
}

QByteArray ToGeoJson(const QString& name, const CTextData& data)
{
    const std::vector<CGPSData> fixes = ValidFixes(data);
    QJsonArray coordinates, times, speeds, courses;
    for (const CGPSData& fix : fixes) {
        coordinates.append(QJsonArray{CGPSData::ToDecimalDegrees(fix.longitude), CGPSData::ToDecimalDegrees(fix.latitude)});
        times.append(FixTimeText(fix));
        speeds.append(fix.speed);
        courses.append(fix.course);
    }
    QJsonArray features;
    if (!fixes.empty()) {
        QJsonObject geometry;
        if (fixes.size() == 1) {
            geometry[QStringLiteral("type")] = QStringLiteral("Point");
            geometry[QStringLiteral("coordinates")] = coordinates.first();
        } else {
            geometry[QStringLiteral("type")] = QStringLiteral("LineString");
            geometry[QStringLiteral("coordinates")] = coordinates;
        }
        QJsonObject properties;
        properties[QStringLiteral("name")] = name;
        properties[QStringLiteral("coordTimes")] = times;
        properties[QStringLiteral("speeds_kmh")] = speeds;
        properties[QStringLiteral("courses")] = courses;
        QJsonObject feature;
        feature[QStringLiteral("type")] = QStringLiteral("Feature");
        feature[QStringLiteral("geometry")] = geometry;
        feature[QStringLiteral("properties")] = properties;
        features.append(feature);
    }
    QJsonObject root;
    root[QStringLiteral("type")] = QStringLiteral("FeatureCollection");
    root[QStringLiteral("features")] = features;
    return QJsonDocument(root).toJson(QJsonDocument::Indented);
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

double MediaDurationSeconds(const QString& path)
{
    Telemetry::RouteFfmpegLogToTrace();
    AVFormatContext* fmt = nullptr;
    if (avformat_open_input(&fmt, path.toLocal8Bit().constData(), nullptr, nullptr) < 0)
        return 0.0;
    double seconds = 0.0;
    if (avformat_find_stream_info(fmt, nullptr) >= 0 && fmt->duration != AV_NOPTS_VALUE && fmt->duration > 0)
        seconds = double(fmt->duration) / AV_TIME_BASE;
    avformat_close_input(&fmt);
    return seconds;
}

QStringList RearsWithListedFront(const QStringList& recordings)
{
    QSet<QString> listed;
    for (const QString& r : recordings)
        listed.insert(QFileInfo(r).absoluteFilePath());
    QStringList rears;
    for (const QString& r : recordings) {
        const QFileInfo info(r);
        if (info.suffix().compare(QLatin1String("mp4"), Qt::CaseInsensitive) != 0)
            continue;
        bool isFront = true;
        const QString partner = CRecordingAnalyzer::PartnerFileName(info.fileName(), &isFront);
        if (!partner.isEmpty() && !isFront && listed.contains(info.dir().absoluteFilePath(partner)))
            rears << r;
    }
    return rears;
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
