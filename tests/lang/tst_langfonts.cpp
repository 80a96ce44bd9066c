// Korean text on screen: the tables' face names resolve to installed fonts,
// and the Korean texts draw real glyphs (Qt Gui and Widgets).
#include "lang/Lang.h"
#include "lang/LangFonts.h"

#include <QFontInfo>
#include <QImage>
#include <QLabel>
#include <QRawFont>
#include <QTest>

namespace {

QString Key(int n)
{
    return QStringLiteral("IDS_STRING_K_%1").arg(n, 3, 10, QLatin1Char('0'));
}

// Ink pixels of a rendering (anything darker than the background).
int InkPixels(const QImage& image)
{
    int ink = 0;
    const QRgb background = image.pixel(0, 0);
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
            ink += image.pixel(x, y) != background;
    return ink;
}

QImage Render(const QFont& font, const QString& text)
{
    QLabel label(text);
    label.setFont(font);
    label.setAutoFillBackground(true);
    label.setPalette(QPalette(Qt::black, Qt::white));
    label.setAlignment(Qt::AlignLeft | Qt::AlignVCenter);
    label.resize(240, 40);
    return label.grab().toImage().convertToFormat(QImage::Format_RGB32);
}

} // namespace

class TestLangFonts : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase();
    void faceNamesResolveToInstalledFonts_data();
    void faceNamesResolveToInstalledFonts();
    void koreanDrawsGlyphs();
};

void TestLangFonts::initTestCase()
{
    InstallLanguageFontSubstitutions();
}

void TestLangFonts::faceNamesResolveToInstalledFonts_data()
{
    QTest::addColumn<QString>("face");
    QTest::addColumn<QString>("family");
    QTest::newRow("dotum") << "dotum" << "NanumGothic";
    QTest::newRow("Dotum") << "Dotum" << "NanumGothic";
    QTest::newRow("Verdana") << "Verdana" << "DejaVu Sans";
    QTest::newRow("tahoma") << "tahoma" << "DejaVu Sans";
    // Whichever substitute is installed.
    QTest::newRow("simsun") << "simsun" << QString();
}

void TestLangFonts::faceNamesResolveToInstalledFonts()
{
    QFETCH(QString, face);
    QFETCH(QString, family);
    const QString resolved = QFontInfo(QFont(face)).family();
    if (!family.isEmpty()) {
        QCOMPARE(resolved, family);
    } else {
        QVERIFY2(QFont::substitutes(face).contains(resolved, Qt::CaseInsensitive), qPrintable(resolved));
    }
}

void TestLangFonts::koreanDrawsGlyphs()
{
    QVERIFY(SelectLanguage(QStringLiteral("korean")));
    QFont font(LangFaceName());
    font.setPixelSize(LangFontValue(QStringLiteral("TEXTSIZE_MOVARA_2")));
    QVERIFY(font.pixelSize() > 0);

    // The font the face name resolves to has the glyphs of the Korean texts.
    const QRawFont raw = QRawFont::fromFont(font);
    QVERIFY(raw.isValid());
    for (const int key : {1, 3, 105}) {
        for (const QChar c : LangText(Key(key))) {
            if (!c.isSpace())
                QVERIFY2(raw.supportsCharacter(c), qPrintable(LangText(Key(key))));
        }
    }

    // On screen: two different Korean words draw differently, while two
    // different characters that no font has draw the same (empty boxes).
    const QImage file = Render(font, LangText(Key(1)));     // 파일
    const QImage settings = Render(font, LangText(Key(3))); // 설정
    const QImage boxesA = Render(font, QString(QChar(0x0378)) + QChar(0x0379));
    const QImage boxesB = Render(font, QString(QChar(0x0379)) + QChar(0x0378));
    QVERIFY(!file.isNull());
    QCOMPARE(boxesA, boxesB);
    QVERIFY(InkPixels(file) > 20);
    QVERIFY(InkPixels(settings) > 20);
    QVERIFY(file != settings);
    QVERIFY(file != boxesA);
    QVERIFY(settings != boxesA);

    // Hangul in a Latin face (the English table's texts) falls through to
    // the Hangul font as well.
    QFont latin(QStringLiteral("Verdana"));
    latin.setPixelSize(14);
    const QImage vehicle = Render(latin, QStringLiteral("차량"));
    const QImage vehicleBoxes = Render(latin, QString(QChar(0x0378)) + QChar(0x0379));
    QVERIFY(vehicle != vehicleBoxes);
    QVERIFY(vehicle != Render(latin, QStringLiteral("연결")));
}

QTEST_MAIN(TestLangFonts)
#include "tst_langfonts.moc"
