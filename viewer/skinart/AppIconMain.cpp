// kestrav_appicon_gen OUTDIR ID
// Draws the application icon into the icon theme's layout:
//   OUTDIR/hicolor/<N>x<N>/apps/ID.png for every size of AppIconSizes(),
//   OUTDIR/hicolor/scalable/apps/ID.svg,
// and writes OUTDIR/appicon.qrc, which embeds the PNGs as
// :/kestrav/icons/<N>.png for the viewer's window icon. Exit code 1 on failure.
#include "skinart/AppIcon.h"

#include <QDir>
#include <QFile>
#include <QGuiApplication>
#include <QPainter>
#include <QSvgGenerator>
#include <QTextStream>

#include <cstdio>

int main(int argc, char* argv[])
{
    QGuiApplication app(argc, argv);
    if (argc != 3) {
        std::fprintf(stderr, "usage: kestrav_appicon_gen OUTDIR ID\n");
        return 2;
    }
    const QString outDir = QString::fromLocal8Bit(argv[1]);
    const QString id = QString::fromLocal8Bit(argv[2]);
    QDir(outDir + QStringLiteral("/hicolor")).removeRecursively();

    QFile qrc(outDir + QStringLiteral("/appicon.qrc"));
    if (!QDir().mkpath(outDir) || !qrc.open(QIODevice::WriteOnly | QIODevice::Truncate | QIODevice::Text)) {
        std::fprintf(stderr, "cannot write %s\n", qPrintable(qrc.fileName()));
        return 1;
    }
    QTextStream qrcText(&qrc);
    qrcText << "<!DOCTYPE RCC><RCC version=\"1.0\">\n<qresource prefix=\"/kestrav/icons\">\n";
    for (int size : AppIconSizes()) {
        const QString folder = QStringLiteral("hicolor/%1x%1/apps").arg(size);
        const QString file = folder + QLatin1Char('/') + id + QStringLiteral(".png");
        if (!QDir().mkpath(outDir + QLatin1Char('/') + folder)
            || !AppIconImage(size).convertToFormat(QImage::Format_ARGB32).save(outDir + QLatin1Char('/') + file, "PNG")) {
            std::fprintf(stderr, "cannot write %s\n", qPrintable(file));
            return 1;
        }
        qrcText << "  <file alias=\"" << size << ".png\">" << file << "</file>\n";
    }
    qrcText << "</qresource>\n</RCC>\n";

    const QString scalable = outDir + QStringLiteral("/hicolor/scalable/apps");
    QDir().mkpath(scalable);
    QSvgGenerator svg;
    svg.setFileName(scalable + QLatin1Char('/') + id + QStringLiteral(".svg"));
    svg.setSize(QSize(256, 256));
    svg.setViewBox(QRect(0, 0, 256, 256));
    svg.setTitle(QStringLiteral("Kestrav"));
    svg.setDescription(QStringLiteral("Kestrav application icon"));
    QPainter painter;
    if (!painter.begin(&svg)) {
        std::fprintf(stderr, "cannot write %s\n", qPrintable(svg.fileName()));
        return 1;
    }
    PaintAppIcon(painter, 256);
    painter.end();
    return 0;
}
