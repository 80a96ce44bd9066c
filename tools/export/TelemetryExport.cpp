#include "TelemetryExport.h"

#include "catalogue/MemoryCard.h"
#include "catalogue/RecordingAnalyzer.h"

#include <QFileInfo>
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
    const auto analyzer = GetAnalyzer();
    for (const QString& input : inputs) {
        const QFileInfo info(input);
        if (info.isFile()) {
            paths << info.absoluteFilePath();
            continue;
        }
        if (!info.isDir()) {
            missing << input;
            continue;
        }
        CCatalogue catalogue;
        const QString root = info.absoluteFilePath() + QLatin1Char('/');
        QFile setup(root + kSetupFileName);
        if (setup.open(QIODevice::ReadOnly)) {
            QByteArray record = setup.read(kDeviceRecordSize);
            record.append(QByteArray(kDeviceRecordSize - record.size(), '\0'));
            QString model = DeviceModelName(record);
            model = model.left(model.indexOf(QLatin1Char('(')) < 0 ? model.size() : model.indexOf(QLatin1Char('(')));
            ScanCard(root, model, catalogue);
        } else {
            analyzer->ScanFolder(info.absoluteFilePath(), catalogue[0]);
        }
        for (const CategoryMap& map : catalogue)
            for (const auto& [key, entry] : map)
                paths << entry.path;
    }
    return paths;
}

} // namespace Export
