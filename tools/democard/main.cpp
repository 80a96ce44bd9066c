// kestrav-democard DIR [--seed N] [--model NAME] | --help | --version
// Writes a demo memory card into DIR (see DemoCard.h).
#include "writers/DemoCard.h"

#include <QCommandLineParser>
#include <QCoreApplication>
#include <QElapsedTimer>

#include <cstdio>

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    QCoreApplication::setApplicationName(QStringLiteral("kestrav-democard"));
    QCoreApplication::setApplicationVersion(QString::fromLatin1(KESTRAV_VERSION));
    QCommandLineParser parser;
    parser.setApplicationDescription(QStringLiteral("Writes a dash-camera memory card with demo recordings."));
    parser.addHelpOption();
    parser.addVersionOption();
    parser.addPositionalArgument(QStringLiteral("DIR"), QStringLiteral("Folder that becomes the card's root."));
    parser.addOption({QStringLiteral("seed"), QStringLiteral("Seed of the card's variations (default 1)."),
                      QStringLiteral("N"), QStringLiteral("1")});
    parser.addOption({QStringLiteral("model"), QStringLiteral("Model name in the device record."),
                      QStringLiteral("NAME"), QStringLiteral("CMV550View(V2)")});
    parser.process(app);
    if (parser.positionalArguments().size() != 1)
        parser.showHelp(2);

    CDemoCardOptions options;
    bool ok = false;
    options.seed = parser.value(QStringLiteral("seed")).toUInt(&ok);
    if (!ok) {
        std::fprintf(stderr, "kestrav-democard: --seed needs a number\n");
        return 2;
    }
    options.model = parser.value(QStringLiteral("model")).toLatin1();

    QElapsedTimer clock;
    clock.start();
    CDemoCardManifest manifest;
    QString error;
    const QString root = parser.positionalArguments().first();
    if (!WriteDemoCard(root, options, &manifest, &error)) {
        std::fprintf(stderr, "kestrav-democard: %s\n", qPrintable(error));
        return 1;
    }
    std::printf("Wrote %d recordings (%.1f MB) into %s in %.1f s\n", int(manifest.recordings.size()),
                double(manifest.totalBytes) / 1048576.0, qPrintable(root), double(clock.elapsed()) / 1000.0);
    return 0;
}
