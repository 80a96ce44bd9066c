// Draws every skin picture into OUTDIR/PNG and writes OUTDIR/NvImageDll.qrc,
// which maps each picture to /PNG/<UPPER-CASE NAME>. Fails (exit code 1) when
// the picture list and the artwork disagree or a picture has the wrong size.
#include "skinart/SkinArt.h"

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
    QStringList problems;
    const std::vector<SkinArtPicture> pictures = AllSkinPictures(&problems);
    for (const QString& problem : problems)
        std::fprintf(stderr, "skin artwork: %s\n", qPrintable(problem));
    if (!problems.isEmpty())
        return 1;

    const QString outDir = QString::fromLocal8Bit(argv[1]);
    QDir(outDir + QStringLiteral("/PNG")).removeRecursively();
    QDir().mkpath(outDir + QStringLiteral("/PNG"));
    QFile qrc(outDir + QStringLiteral("/NvImageDll.qrc"));
    if (!qrc.open(QIODevice::WriteOnly | QIODevice::Truncate | QIODevice::Text)) {
        std::fprintf(stderr, "cannot write %s\n", qPrintable(qrc.fileName()));
        return 1;
    }
    QTextStream qrcText(&qrc);
    qrcText << "<!DOCTYPE RCC><RCC version=\"1.0\">\n<qresource prefix=\"/PNG\">\n";
    for (const SkinArtPicture& pic : pictures) {
        // Stored unpremultiplied, so that transparent pixels keep their colour.
        const QImage img = pic.draw(pic.def).convertToFormat(QImage::Format_ARGB32);
        if (img.size() != SkinPictureFileSize(pic.def)) {
            std::fprintf(stderr, "%s: drawn at %dx%d, listed as %dx%d\n", qPrintable(pic.def.name), img.width(),
                         img.height(), SkinPictureFileSize(pic.def).width(), SkinPictureFileSize(pic.def).height());
            return 1;
        }
        const QString file = QStringLiteral("PNG/") + pic.def.name;
        if (!img.save(outDir + QLatin1Char('/') + file, "PNG")) {
            std::fprintf(stderr, "cannot write %s\n", qPrintable(pic.def.name));
            return 1;
        }
        qrcText << "  <file alias=\"" << pic.def.name.toUpper() << "\">" << file << "</file>\n";
    }
    qrcText << "</qresource>\n</RCC>\n";
    return 0;
}
