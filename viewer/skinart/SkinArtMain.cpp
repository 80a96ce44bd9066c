// Draws every skin picture into OUTDIR/PNG and writes OUTDIR/NvImageDll.qrc,
// which maps each picture to /PNG/<UPPER-CASE NAME>.
#include "SkinArt.h"

#include <QDir>
#include <QFile>
#include <QGuiApplication>
#include <QTextStream>

#include <cstdio>

int main(int argc, char* argv[])
{
    QGuiApplication app(argc, argv);
    if (argc != 2) {
        std::fprintf(stderr, "usage: kestrav_skinart_gen OUTDIR\n");
        return 2;
    }
    const QString outDir = QString::fromLocal8Bit(argv[1]);
    QDir().mkpath(outDir + QStringLiteral("/PNG"));
    QFile qrc(outDir + QStringLiteral("/NvImageDll.qrc"));
    if (!qrc.open(QIODevice::WriteOnly | QIODevice::Truncate | QIODevice::Text)) {
        std::fprintf(stderr, "cannot write %s\n", qPrintable(qrc.fileName()));
        return 1;
    }
    QTextStream qrcText(&qrc);
    qrcText << "<!DOCTYPE RCC><RCC version=\"1.0\">\n<qresource prefix=\"/PNG\">\n";
    for (const SkinArtPicture& pic : AllSkinPictures()) {
        const QString file = QStringLiteral("PNG/") + pic.name;
        const QImage img = pic.draw();
        if (img.isNull() || !img.save(outDir + QLatin1Char('/') + file, "PNG")) {
            std::fprintf(stderr, "cannot draw %s\n", qPrintable(pic.name));
            return 1;
        }
        qrcText << "  <file alias=\"" << pic.name.toUpper() << "\">" << file << "</file>\n";
    }
    qrcText << "</qresource>\n</RCC>\n";
    return 0;
}
