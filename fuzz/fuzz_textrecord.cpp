// Text record decoding, every kind: each line of the input is one record.
// Its first byte picks the way in: a plain record (gsensor, gsensori, GPRMC,
// GNRMC, CAR or anything else), a split record (GPS text, then G-sensor text
// after a tab), an RMC sentence straight into CGPSData, the decimal
// conversion, or a list of MP4 text packets (DecodeTextPackets).

#include "FuzzTarget.h"

#include "telemetry/Mp4Text.h"
#include "telemetry/TextData.h"

#include <QList>


namespace {
void DecodeLine(const QByteArray& line, CTextData& text)
{
    if (line.isEmpty())
        return;
    const QByteArray rest = line.mid(1);
    switch (static_cast<unsigned char>(line[0]) % 5) {
    case 0:
        text.AddTextRecord(QString::fromLocal8Bit(rest));
        break;
    case 1: {
        const qsizetype tab = rest.indexOf('\t');
        text.AddSplitRecord(QString::fromLocal8Bit(rest.left(tab < 0 ? rest.size() : tab)),
                            QString::fromLocal8Bit(tab < 0 ? QByteArray() : rest.mid(tab + 1)));
        break;
    }
    case 2: {
        const CGPSData fix(rest);
        FUZZ_CHECK(fix.valid == 0 || fix.valid == 1);
        CGPSData::ToDecimalDegrees(fix.latitude);
        CGPSData::ToDecimalDegrees(fix.longitude);
        break;
    }
    case 3:
        DecimalToLong(QString::fromLatin1(rest));
        break;
    default: {
        // Packets separated by '|', decoded as the MP4 branch does.
        QList<QByteArray> packets;
        for (const QByteArray& p : rest.split('|'))
            packets.append(p);
        Telemetry::DecodeTextPackets(packets, text);
        break;
    }
    }
}
} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const QByteArray bytes(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size));
    CTextData text;
    for (const QByteArray& line : bytes.split('\n'))
        DecodeLine(line, text);
    // A plain record straight from the whole input too.
    text.AddTextRecord(QString::fromLocal8Bit(bytes));
    for (const CGPSData& fix : text.gpsList)
        FUZZ_CHECK(fix.valid == 0 || fix.valid == 1);
    for (const CCarInfoData& car : text.carInfoList)
        FUZZ_CHECK(car.active == ((car.brake != 0 || car.left != 0 || car.right != 0) ? 1 : 0));
    return 0;
}
