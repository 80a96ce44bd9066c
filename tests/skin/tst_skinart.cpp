// The image library as built: every listed picture is there at its size with
// sound marker borders, and every picture name the viewer's code asks for is
// in the list.
#include "platform/Platform.h"
#include "skin/SkinImage.h"
#include "skinart/SkinPictureList.h"

#include <QDirIterator>
#include <QRegularExpression>
#include <QResource>
#include <QSet>
#include <QtTest>

namespace {
bool IsBlack(QRgb p) { return (p & 0x00FFFFFFu) == 0; }
bool IsWhite(QRgb p) { return (p & 0x00FFFFFFu) == 0x00FFFFFFu; }

QImage LoadStored(const QString& name)
{
    QImage img(QStringLiteral(":/PNG/") + name.toUpper(), "png");
    return img.convertToFormat(QImage::Format_ARGB32);
}

// Positions of the black pixels of a line of pixels.
QList<int> BlackAt(const QList<QRgb>& line)
{
    QList<int> out;
    for (int i = 0; i < line.size(); ++i)
        if (IsBlack(line[i]))
            out.append(i);
    return out;
}
QList<QRgb> Row(const QImage& img, int y)
{
    QList<QRgb> line;
    for (int x = 0; x < img.width(); ++x)
        line.append(img.pixel(x, y));
    return line;
}
QList<QRgb> Column(const QImage& img, int x)
{
    QList<QRgb> line;
    for (int y = 0; y < img.height(); ++y)
        line.append(img.pixel(x, y));
    return line;
}

// A content marker line: no black at all, or one run that starts after the
// first pixel and is closed by a white pixel before the end.
QString CheckContentLine(const QList<QRgb>& line)
{
    const QList<int> black = BlackAt(line);
    if (black.isEmpty())
        return QString();
    const int first = black.first(), last = black.last();
    if (last - first + 1 != black.size())
        return QStringLiteral("content run has gaps");
    if (first < 1)
        return QStringLiteral("content run starts at the first pixel");
    if (last + 1 >= line.size() || !IsWhite(line[last + 1]))
        return QStringLiteral("content run is not closed by a white pixel");
    return QString();
}
} // namespace

class TestSkinArt : public QObject
{
    Q_OBJECT

private:
    CRecordingPlatform m_platform;

private slots:
    void initTestCase()
    {
        const QString library = qEnvironmentVariable("KESTRAV_BIN_DIR") + QStringLiteral("/NvImageDll.rcc");
        QVERIFY2(QResource::registerResource(library), qPrintable(library));
        CPlatform::Install(&m_platform);
    }
    void cleanupTestCase()
    {
        CSkinImage::DestroyInstance();
        CPlatform::Install(nullptr);
    }

    void listAndLibraryAgree()
    {
        QSet<QString> listed;
        for (const SkinPictureDef& def : SkinPictureList()) {
            QVERIFY2(!listed.contains(def.name.toUpper()), qPrintable(def.name));
            listed.insert(def.name.toUpper());
            const QImage img = LoadStored(def.name);
            QVERIFY2(!img.isNull(), qPrintable(def.name));
            QCOMPARE(img.size(), SkinPictureFileSize(def));
        }
        const QStringList stored = QDir(QStringLiteral(":/PNG")).entryList(QDir::Files);
        QCOMPARE(QSet<QString>(stored.begin(), stored.end()), listed);
        // The ranges the viewer formats: digits 00-09 and volume levels 01-05.
        for (int d = 0; d <= 9; ++d)
            QVERIFY(FindSkinPicture(QStringLiteral("num_speed_%1.png").arg(d, 2, 10, QLatin1Char('0'))));
        for (int v = 1; v <= 5; ++v)
            QVERIFY(FindSkinPicture(QStringLiteral("ic_volume_0%1.png").arg(v)));
    }

    void markerBorders()
    {
        for (const SkinPictureDef& def : SkinPictureList()) {
            const QImage img = LoadStored(def.name);
            const int w = img.width(), h = img.height();
            const QByteArray name = def.name.toUtf8();
            switch (def.kind) {
            case SkinPictureKind::Plain:
                break;
            case SkinPictureKind::PlainInNinePatch:
                // Passed through the stretch without markers: nothing black in
                // the first row and column, which the stretch drops.
                QVERIFY2(BlackAt(Row(img, 0)).isEmpty() && BlackAt(Column(img, 0)).isEmpty(), name);
                break;
            case SkinPictureKind::ThreeSliceV: {
                const QList<int> marks = BlackAt(Column(img, 0));
                QVERIFY2(marks.size() == 1 && marks[0] >= 1 && marks[0] <= h - 2, name);
                break;
            }
            case SkinPictureKind::ThreeSliceH: {
                const QList<int> marks = BlackAt(Row(img, 0));
                QVERIFY2(marks.size() == 1 && marks[0] >= 1 && marks[0] <= w - 2, name);
                break;
            }
            case SkinPictureKind::NinePatch: {
                const QList<int> xs = BlackAt(Row(img, 0));
                const QList<int> ys = BlackAt(Column(img, 0));
                // At most two stretch markers per axis, never in a corner.
                QVERIFY2(xs.size() <= 2 && ys.size() <= 2 && (!xs.isEmpty() || !ys.isEmpty()), name);
                QVERIFY2(xs.isEmpty() || (xs.first() >= 1 && xs.last() <= w - 2), name);
                QVERIFY2(ys.isEmpty() || (ys.first() >= 1 && ys.last() <= h - 2), name);
                // Stretch markers and border pixels are fully opaque black or
                // transparent (never a visible colour).
                for (const QRgb p : Row(img, 0) + Column(img, 0))
                    QVERIFY2((IsBlack(p) && qAlpha(p) == 255) || qAlpha(p) == 0, name);
                const QString right = CheckContentLine(Column(img, w - 1));
                const QString bottom = CheckContentLine(Row(img, h - 1));
                QVERIFY2(right.isEmpty(), name + " right: " + right.toUtf8());
                QVERIFY2(bottom.isEmpty(), name + " bottom: " + bottom.toUtf8());
                break;
            }
            }
        }
    }

    void everyPictureDraws()
    {
        CSkinImage* skin = CSkinImage::GetInstance();
        for (const SkinPictureDef& def : SkinPictureList()) {
            CSkinSurface natural, used;
            natural.Create(def.size.width(), def.size.height());
            used.Create(def.used.width(), def.used.height());
            if (def.kind == SkinPictureKind::Plain) {
                skin->DrawImage(natural, def.name);
            } else if (def.kind == SkinPictureKind::ThreeSliceV) {
                CSkinSurface top, middle, bottom;
                skin->LoadVerticalThreeSlice(def.name, top, middle, bottom);
                QVERIFY2(top.IsCreated() && middle.IsCreated() && bottom.IsCreated(), qPrintable(def.name));
            } else if (def.kind == SkinPictureKind::ThreeSliceH) {
                CSkinSurface left, middle, right;
                skin->LoadHorizontalThreeSlice(def.name, left, middle, right);
                QVERIFY2(left.IsCreated() && middle.IsCreated() && right.IsCreated(), qPrintable(def.name));
            } else {
                skin->DrawNinePatch(natural, def.name);
                skin->DrawNinePatch(used, def.name);
                // The picture covers its target: no stray transparent stripes
                // from the stretch (the corners may be rounded).
                const QImage& img = used.GetImage();
                if (qAlpha(LoadStored(def.name).pixel(def.size.width() / 2 + 1, def.size.height() / 2 + 1)) == 255)
                    QVERIFY2(qAlpha(img.pixel(img.width() / 2, img.height() / 2)) == 255, qPrintable(def.name));
            }
        }
        QVERIFY(m_platform.Calls().isEmpty());
    }

    void codeAsksOnlyForListedPictures()
    {
        const QString root = qEnvironmentVariable("KESTRAV_SOURCE_DIR");
        QVERIFY(QDir(root).exists(QStringLiteral("viewer")));
        static const QRegularExpression literal(QStringLiteral("\"([A-Za-z0-9_%.]+\\.png)\""));
        static const QRegularExpression format(QStringLiteral("%[0-9]*[dx]|%[0-9]+"));
        int asked = 0;
        for (const QString& folder : {QStringLiteral("viewer"), QStringLiteral("tools"), QStringLiteral("launcher")}) {
            QDirIterator it(root + QLatin1Char('/') + folder, {QStringLiteral("*.cpp"), QStringLiteral("*.h")},
                            QDir::Files, QDirIterator::Subdirectories);
            while (it.hasNext()) {
                QFile file(it.next());
                QVERIFY(file.open(QIODevice::ReadOnly));
                const QString text = QString::fromUtf8(file.readAll());
                for (auto match = literal.globalMatch(text); match.hasNext();) {
                    const QString name = match.next().captured(1);
                    if (name.startsWith(QLatin1Char('.')) || name.startsWith(QLatin1Char('_')))
                        continue; // a suffix joined to a stem elsewhere, not a picture name
                    ++asked;
                    if (!name.contains(QLatin1Char('%'))) {
                        QVERIFY2(FindSkinPicture(name), qPrintable(it.filePath() + ": " + name));
                        continue;
                    }
                    // A formatted name must match some listed picture.
                    QStringList pieces;
                    for (const QString& piece : name.split(format))
                        pieces.append(QRegularExpression::escape(piece));
                    const QString pattern = pieces.join(QStringLiteral(".+"));
                    const QRegularExpression re(QStringLiteral("^") + pattern + QStringLiteral("$"),
                                                QRegularExpression::CaseInsensitiveOption);
                    bool found = false;
                    for (const SkinPictureDef& def : SkinPictureList())
                        found |= re.match(def.name).hasMatch();
                    QVERIFY2(found, qPrintable(it.filePath() + ": " + name));
                }
            }
        }
        QVERIFY(asked > 0);
    }
};

QTEST_MAIN(TestSkinArt)
#include "tst_skinart.moc"
