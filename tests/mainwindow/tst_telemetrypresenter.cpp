// The telemetry presenter on its own: the vehicle-signal caption is lit for
// the model that sends vehicle signals and dim otherwise, and is redrawn only
// when its colour changes.
#include "catalogue/MemoryCard.h"
#include "mainwindow/MainWindowIds.h"
#include "mainwindow/TelemetryPresenter.h"
#include "skin/RStaticText.h"
#include "skin/SkinSurface.h"
#include "skin/SkinText.h"

#include <QTest>

using namespace MainWnd;

namespace {
QByteArray Record(const QByteArray& model)
{
    if (model.isEmpty())
        return QByteArray();
    QByteArray record(kDeviceRecordSize, '\0');
    record.replace(kDeviceModelOffset, model.size(), model);
    return record;
}

// The brightest pixel of the caption: its glyphs' colour over the black background.
QRgb TextColour(CRStaticText& label)
{
    const QImage img = label.ComposedImage();
    QRgb best = 0;
    for (int y = 0; y < img.height(); ++y)
        for (int x = 0; x < img.width(); ++x) {
            const QRgb p = img.pixel(x, y);
            if (qRed(p) + qGreen(p) + qBlue(p) > qRed(best) + qGreen(best) + qBlue(best))
                best = p;
        }
    return best;
}

bool Near(QRgb a, QRgb b)
{
    return qAbs(qRed(a) - qRed(b)) <= 3 && qAbs(qGreen(a) - qGreen(b)) <= 3 && qAbs(qBlue(a) - qBlue(b)) <= 3;
}
} // namespace

class TestTelemetryPresenter : public QObject
{
    Q_OBJECT

private slots:
    void vehicleCaption_data()
    {
        QTest::addColumn<QByteArray>("model");
        QTest::addColumn<bool>("lit");
        QTest::newRow("sends signals") << QByteArray("CMV550View") << true;
        QTest::newRow("other model") << QByteArray("ARX330") << false;
        QTest::newRow("no card") << QByteArray() << false;
    }
    void vehicleCaption()
    {
        QFETCH(QByteArray, model);
        QFETCH(bool, lit);
        QWidget window;
        window.resize(200, 40);
        CSkinSurface background;
        QVERIFY(background.Create(200, 40));
        background.GetImage().fill(Qt::black);
        CRStaticText caption(&window);
        caption.setGeometry(10, 10, 150, 20);
        const QFont font = MakeSkinFont(kCarInfoCaptionFontHeight, QFont::Bold);
        SkinTextStyle style;
        style.text = QStringLiteral("WWWW HHHH");
        style.normalColor = QColor(Qt::white); // neither colour: the first update always applies
        style.fontHeight = kCarInfoCaptionFontHeight;
        caption.SetImage(QString(), font, &background, style);

        CTelemetryPresenter presenter;
        presenter.SetVehicleCaption(&caption, font);
        presenter.UpdateVehicleCaption(Record(model), background);
        const QRgb expected = lit ? kColorCaptionActive : kColorCaptionInactive;
        QCOMPARE(presenter.VehicleCaptionColor(), expected);
        QVERIFY2(Near(TextColour(caption), expected), qPrintable(QString::number(TextColour(caption), 16)));
        QCOMPARE(caption.Text(), QStringLiteral("WWWW HHHH"));

        // The same colour again redraws nothing; the other model switches it.
        const qint64 key = caption.ComposedImage().cacheKey();
        presenter.UpdateVehicleCaption(Record(model), background);
        QCOMPARE(caption.ComposedImage().cacheKey(), key);
        presenter.UpdateVehicleCaption(Record(lit ? "BT33" : "CMV550View"), background);
        const QRgb other = lit ? kColorCaptionInactive : kColorCaptionActive;
        QCOMPARE(presenter.VehicleCaptionColor(), other);
        QVERIFY(Near(TextColour(caption), other));
    }
};

QTEST_MAIN(TestTelemetryPresenter)
#include "tst_telemetrypresenter.moc"
