// kestrav-fuzz-seeds <folder>: writes the seed corpus of every fuzz target
// into <folder>/<target>/, made by the system's own writers (recordings, the
// device record, the settings document, program images). Run at build time;
// deterministic, so the corpus only changes with the writers.

#include "PeWriter.h"
#include "settings/IniDocument.h"
#include "writers/AviWriter.h"
#include "writers/DemoCard.h"
#include "writers/MediaWriters.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>

#include <cstdio>

namespace {
QString g_out;
bool g_ok = true;

void Put(const char* target, const QString& name, const QByteArray& bytes)
{
    const QString folder = g_out + QLatin1Char('/') + QLatin1String(target);
    QDir().mkpath(folder);
    QFile f(folder + QLatin1Char('/') + name);
    if (!f.open(QIODevice::WriteOnly | QIODevice::Truncate) || f.write(bytes) != bytes.size()) {
        std::fprintf(stderr, "cannot write %s\n", qPrintable(f.fileName()));
        g_ok = false;
    }
}

QByteArray ReadBack(const QString& path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

const QByteArray kRmc("GPRMC,123519.000,A,4807.038,N,01131.000,E,022.4,084.4,230394");

QList<QByteArray> Records()
{
    return {"gsensor,12,-40,128", "gsensori,1,256,300,-20,256", kRmc,
            "GNRMC,000000.000,V,0000.0000,S,00000.0000,W,0,0,010100", "CAR,1,0,1", "CAR,0,0,0", "other,1"};
}

void AviSeeds()
{
    auto build = [](bool index, bool junk, int damage) {
        CAviWriter w;
        w.totalFrames = 3;
        w.width = 64;
        w.height = 32;
        w.junkBetweenLists = junk;
        w.writeIndex = index;
        w.AddStream(CAviWriter::VideoStream(damage == 3 ? "h264" : "H264", 64, 32, 30, 3));
        w.AddStream(CAviWriter::TextStream());
        int n = 0;
        for (const QByteArray& record : Records()) {
            w.AddChunk("00dc", QByteArray(24, char(n)));
            CAviWriter::Chunk text;
            text.id = "01tx";
            text.payload = CAviWriter::TextPayload(record, n % 2 ? 64 : 0);
            if (damage == 1 && n == 2)
                text.declaredSize = 4000; // beyond the largest text chunk
            if (damage == 2 && n == 3)
                text.indexOffsetOverride = 0x7FFFFFF0; // beyond the file
            w.AddChunk(text);
            ++n;
        }
        w.AddChunk("01tx", CAviWriter::SplitPayload(kRmc, "12,-3,130"));
        return w.Build();
    };
    Put("avitext", "plain.avi", build(true, false, 0));
    Put("avitext", "junk.avi", build(true, true, 0));
    Put("avitext", "noindex.avi", build(false, false, 0));
    Put("avitext", "oversize.avi", build(true, false, 1));
    Put("avitext", "faroffset.avi", build(true, false, 2));
    Put("avitext", "lowercase.avi", build(true, false, 3));
}

void Mp4Seeds(const QString& scratch)
{
    QList<QByteArray> packets;
    for (const QByteArray& r : Records())
        packets << Mp4TextPacket(r, packets.size() % 2 == 1);
    struct Variant {
        const char* name;
        bool video;
        bool faststart;
        bool textFirst;
    };
    for (const Variant& v : {Variant{"textonly.mp4", false, false, false}, Variant{"video.mp4", true, false, false},
                             Variant{"faststart.mp4", true, true, true}}) {
        Mp4Options o;
        o.durationSec = 0.2;
        o.fps = 10;
        o.size = QSize(32, 32);
        o.videoKbps = 20;
        o.video = v.video;
        o.faststart = v.faststart;
        o.textTracksFirst = v.textFirst;
        o.textTracks = {packets};
        const QString path = scratch + QLatin1Char('/') + QLatin1String(v.name);
        QString error;
        if (!WriteTestMp4(path, o, &error)) {
            std::fprintf(stderr, "%s: %s\n", v.name, qPrintable(error));
            g_ok = false;
            continue;
        }
        Put("mp4text", QLatin1String(v.name), ReadBack(path));
    }
}

void TextSeeds()
{
    QByteArray lines;
    for (const QByteArray& r : Records())
        lines += '\0' + r + '\n';
    lines += '\1' + kRmc + "\t12,-3,130\n";
    lines += '\2' + kRmc + '\n';
    lines += "\3  -2147483649\n";
    lines += '\4' + Mp4TextPacket("CAR,1,1,1", true) + '|' + Mp4TextPacket("gsensor,1,2,3") + "|ab\n";
    Put("textrecord", "kinds.txt", lines);
    Put("textrecord", "rmc.txt", '\2' + kRmc);
}

void IniSeeds()
{
    CIniDocument doc;
    doc.SetString(QStringLiteral("TEXT"), QStringLiteral("IDS_OK"), QStringLiteral("확인"));
    doc.SetString(QStringLiteral("Setting"), QStringLiteral("Language"), QStringLiteral("ENG"));
    doc.SetInt(QStringLiteral("Setting"), QStringLiteral("Volume"), 7);
    doc.SetString(QStringLiteral("Setting"), QStringLiteral("Hex"), QStringLiteral("0x1F"));
    Put("inidocument", "utf16.ini", doc.Serialize());
    Put("inidocument", "local8.ini",
        "; comment\r\n[Setting]\r\nLanguage = \"KOR\"\r\nVolume=  -3\r\n[text]\nIDS_X='quoted' ; tail\n=no key\n[broken\n");
}

void PeSeeds()
{
    const QByteArray png("\x89PNG\r\n\x1a\n\0\0\0\rIHDR", 16);
    for (bool plus : {false, true}) {
        CPeWriter w;
        w.SetPe32Plus(plus);
        w.Add(QStringLiteral("PNG"), QStringLiteral("IDB_BI"), png);
        w.Add(QStringLiteral("PNG"), QStringLiteral("OTHER"), QByteArray(40, 'x'));
        w.Add(QStringLiteral("BITMAP"), QStringLiteral("#1"), QByteArray(8, 'b'));
        Put("peresource", plus ? QStringLiteral("pe32plus.dll") : QStringLiteral("pe32.dll"), w.Build());
    }
}

void DeviceSeeds()
{
    for (const QByteArray& model : {QByteArray("CMV550View(V2)"), QByteArray("ARX550"), QByteArray("DZ55")}) {
        QByteArray record = DemoDeviceRecord(model);
        Put("devicerecord", QString::fromLatin1(model).remove(QLatin1Char('(')).remove(QLatin1Char(')')), record);
    }
    QByteArray withProgram = DemoDeviceRecord("ARX550");
    const QByteArray program("SETTING\\Setup.exe");
    withProgram.replace(228, program.size(), program);
    Put("devicerecord", QStringLiteral("program"), withProgram);
    Put("devicerecord", QStringLiteral("short"), withProgram.left(100));
}

void MountSeeds()
{
    Put("mountinfo", "mountinfo.txt",
        "22 1 8:1 / / rw,relatime shared:1 - ext4 /dev/sda1 rw\n"
        "30 22 0:25 / /proc rw,nosuid - proc proc rw\n"
        "41 22 8:17 / /media/user/CARD\\040ONE rw,nosuid shared:30 - vfat /dev/sdb1 rw,uid=1000\n"
        "42 22 179:0 / /mnt/sd rw - exfat /dev/mmcblk0p1 rw\n"
        "43 22 0:50 / /run/media/user/FUSE rw - fuse.sshfs host: rw\n"
        "44 22 8:16 / /mnt/whole rw - vfat /dev/sdb rw\n"
        "45 22 8:0 / /home rw - ext4 /dev/sda rw\n");
}

void NameSeeds()
{
    Put("cardnames", "names.txt",
        "REC_2024_05_21_13_45_30_F.mp4\nREC_2024_05_21_13_45_30_R.MP4\nEVT_2014_01_02_03_04_05_F.avi\n"
        "_2024_1_2_3_4_5_X.x\n상시녹화\n상시충격\nREC_2024_05_21_13_45_30_F\n");
}
} // namespace

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    if (argc != 2) {
        std::fprintf(stderr, "usage: kestrav-fuzz-seeds <folder>\n");
        return 2;
    }
    g_out = QString::fromLocal8Bit(argv[1]);
    const QString scratch = g_out + QStringLiteral("/.scratch");
    QDir().mkpath(scratch);
    AviSeeds();
    Mp4Seeds(scratch);
    TextSeeds();
    IniSeeds();
    PeSeeds();
    DeviceSeeds();
    MountSeeds();
    NameSeeds();
    QDir(scratch).removeRecursively();
    return g_ok ? 0 : 1;
}
