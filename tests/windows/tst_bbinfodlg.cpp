// The device information dialog: its rows, values and separator lines for
// the demo card's record and for records with zero, empty, damaged or
// missing fields; the capacity's format under any locale; and its runs
// through the platform façade, which never block.
#include "catalogue/MemoryCard.h"
#include "lang/Lang.h"
#include "platform/Platform.h"
#include "support/CommaLocale.h"
#include "windows/BbInfoDlg.h"
#include "windows/WindowsIds.h"
#include "writers/DemoCard.h"

#include <QLabel>
#include <QPushButton>
#include <QResource>
#include <QSignalSpy>
#include <QtTest>

using namespace WindowsIds;

namespace {
QByteArray Blank()
{
    return QByteArray(kDeviceRecordSize, '\0');
}
void Put(QByteArray& record, int offset, const QByteArray& bytes)
{
    record.replace(offset, bytes.size(), bytes);
}
void PutVersion(QByteArray& record, int b224, int b225, int b226, int b227)
{
    record[kDeviceVersionOffset] = char(b224);
    record[kDeviceVersionOffset + 1] = char(b225);
    record[kDeviceVersionOffset + 2] = char(b226);
    record[kDeviceVersionOffset + 3] = char(b227);
}
QByteArray Full(int b224, int b225, int b226, int b227, const QByteArray& micom)
{
    QByteArray r = Blank();
    Put(r, kDeviceModelOffset, "ARX550");
    Put(r, kDeviceFirmwareOffset, "1.00.02");
    PutVersion(r, b224, b225, b226, b227);
    Put(r, kDeviceInfoOffset, micom);
    return r;
}
int RowY(int row)
{
    return 26 + 33 * row;
}
QString L(const char* key)
{
    return LangText(QString::fromLatin1(key));
}
bool Near(QRgb a, QRgb b, int tolerance)
{
    return std::abs(qRed(a) - qRed(b)) <= tolerance && std::abs(qGreen(a) - qGreen(b)) <= tolerance
           && std::abs(qBlue(a) - qBlue(b)) <= tolerance;
}
// The pixel of `box` farthest from white: in a field holding text, its ink.
QRgb Ink(const QImage& img, const QRect& box)
{
    QRgb best = 0xFFFFFFFF;
    int distance = -1;
    for (int y = box.top(); y <= box.bottom(); ++y)
        for (int x = box.left(); x <= box.right(); ++x) {
            const QRgb p = img.pixel(x, y);
            const int d = 765 - qRed(p) - qGreen(p) - qBlue(p);
            if (d > distance) {
                distance = d;
                best = p;
            }
        }
    return best;
}
} // namespace

class TestBbInfoDlg : public QObject
{
    Q_OBJECT

private:
    CRecordingPlatform m_platform;

private slots:
    void initTestCase()
    {
        CPlatform::Install(&m_platform);
        QVERIFY(SelectLanguage(QStringLiteral("english")));
    }
    void cleanupTestCase()
    {
        CPlatform::Install(nullptr);
    }
    void init()
    {
        m_platform.Clear();
        m_platform.modalInspector = nullptr;
        m_platform.modalDialogAnswers.clear();
    }

    void demoCardRecord()
    {
        // The demo card's record: every row, in order, with the separator
        // lines between them.
        CBbInfoDlg dlg;
        dlg.Prepare(DemoDeviceRecord("CMV550View(V2)"), 29.7265f);
        QCOMPARE(dlg.size(), QSize(386, 245));
        QCOMPARE(dlg.windowTitle(), QStringLiteral("Black Box information"));
        QCOMPARE(dlg.Rows(), 5);
        const struct {
            int label, value;
            const char* key;
            QString text;
        } rows[] = {
            {1009, 1015, "IDS_STRING_K_071", QStringLiteral("CMV550View")},
            {1010, 1016, "IDS_STRING_K_073", QStringLiteral("2.03.11")},
            {1012, 1017, "IDS_STRING_K_074", QStringLiteral("29.73 GB")},
            {1013, 1018, "IDS_STRING_K_075", QStringLiteral("24.05.13.01")},
            {1014, 1019, "IDS_STRING_K_090", QStringLiteral("MCU 1.0.7")},
        };
        for (int row = 0; row < 5; ++row) {
            const auto& r = rows[row];
            QCOMPARE(dlg.FieldText(r.label), L(r.key));
            QCOMPARE(dlg.FieldText(r.value), r.text);
            QCOMPARE(dlg.Field(r.value)->text(), r.text); // short enough to show whole
            QVERIFY(dlg.IsFieldShown(r.label));
            QVERIFY(dlg.IsFieldShown(r.value));
            QCOMPARE(dlg.Field(r.label)->geometry(), QRect(15, RowY(row), r.label == 1012 ? 280 : 200, 15));
            QCOMPARE(dlg.Field(r.value)->geometry(), QRect(386 - 115, RowY(row), 100, 15));
        }
        QVERIFY(!dlg.IsFieldShown(1020));
        QVERIFY(!dlg.IsFieldShown(1021));
        QCOMPARE(dlg.OkButton()->pos(), QPoint(386 - 85, 245 - 35));
        QCOMPARE(dlg.OkButton()->text(), QStringLiteral("확인"));
        const QList<QLine> lines = dlg.SeparatorLines();
        QCOMPARE(lines.size(), 4);
        for (int i = 0; i < 4; ++i)
            QCOMPARE(lines[i], QLine(10, 46 + 33 * i, 375, 46 + 33 * i));

        // Painted: lines in their colour on white, values in orange.
        const QImage shown = dlg.grab().toImage();
        for (int i = 0; i < 4; ++i) {
            QCOMPARE(shown.pixel(100, 46 + 33 * i) | 0xFF000000u, kBbInfoLineColor);
            QCOMPARE(shown.pixel(100, 47 + 33 * i) | 0xFF000000u, kBbInfoBackground);
        }
        QCOMPARE(shown.pixel(9, 46) | 0xFF000000u, kBbInfoBackground);
        QCOMPARE(shown.pixel(376, 46) | 0xFF000000u, kBbInfoBackground);
        QCOMPARE(shown.pixel(100, 46 + 33 * 4) | 0xFF000000u, kBbInfoBackground); // no line below the last row
        const QRgb value = Ink(shown, dlg.Field(1015)->geometry());
        QVERIFY2(Near(value, kBbInfoValueColor, 40), qPrintable(QString::number(value, 16)));
        const QRgb label = Ink(shown, dlg.Field(1009)->geometry());
        QVERIFY2(qRed(label) < 90 && qGreen(label) < 90 && qBlue(label) < 90, qPrintable(QString::number(label, 16)));
    }

    void rowsByRecord_data()
    {
        QTest::addColumn<QByteArray>("record");
        QTest::addColumn<int>("rows");
        QTest::addColumn<QString>("safeDriving"); // null: row hidden
        QTest::addColumn<QString>("micom");       // null: row without label or value
        QTest::addColumn<int>("micomRow");
        QTest::newRow("version 1 2 3 4") << Full(1, 2, 3, 4, "M1.2") << 5 << "04.03.02.01" << "M1.2" << 4;
        QTest::newRow("one version byte") << Full(0, 0, 0, 7, "M1.2") << 5 << "07.00.00.00" << "M1.2" << 4;
        QTest::newRow("bytes above 99") << Full(255, 0, 100, 0, "M") << 5 << "00.100.00.255" << "M" << 4;
        QTest::newRow("zero version") << Full(0, 0, 0, 0, "M1.2") << 4 << QString() << "M1.2" << 3;
        QTest::newRow("empty MICOM") << Full(1, 2, 3, 4, "") << 4 << "04.03.02.01" << QString() << 4;
        QTest::newRow("zero version, empty MICOM") << Full(0, 0, 0, 0, "") << 3 << QString() << QString() << 3;
        QTest::newRow("blank MICOM") << Full(1, 2, 3, 4, " \t ") << 4 << "04.03.02.01" << QString() << 4;
    }
    void rowsByRecord()
    {
        QFETCH(QByteArray, record);
        QFETCH(int, rows);
        QFETCH(QString, safeDriving);
        QFETCH(QString, micom);
        QFETCH(int, micomRow);
        CBbInfoDlg dlg;
        dlg.Prepare(record, 7.5f);
        QCOMPARE(dlg.Rows(), rows);
        QCOMPARE(dlg.SeparatorLines().size(), rows - 1);
        QCOMPARE(dlg.FieldText(1015), QStringLiteral("ARX550"));
        QCOMPARE(dlg.FieldText(1017), QStringLiteral("7.50 GB"));
        QCOMPARE(dlg.IsFieldShown(1013), !safeDriving.isNull());
        QCOMPARE(dlg.IsFieldShown(1018), !safeDriving.isNull());
        if (!safeDriving.isNull()) {
            QCOMPARE(dlg.FieldText(1018), safeDriving);
            QCOMPARE(dlg.Field(1018)->y(), RowY(3));
        }
        QCOMPARE(dlg.FieldText(1014), micom.isNull() ? QString() : L("IDS_STRING_K_090"));
        QCOMPARE(dlg.FieldText(1019), micom.isNull() ? QString() : micom);
        QCOMPARE(dlg.Field(1014)->y(), RowY(micomRow));
        QCOMPARE(dlg.Field(1019)->y(), RowY(micomRow));
    }

    void withoutCard()
    {
        // No record: the labels only, the safe-driving and MICOM labels in
        // rows 3 and 4, two separator lines.
        CBbInfoDlg dlg;
        dlg.Prepare(QByteArray(), 29.7f);
        QCOMPARE(dlg.Rows(), 3);
        QCOMPARE(dlg.SeparatorLines().size(), 2);
        for (int id = 1015; id <= 1020; ++id)
            QVERIFY2(!dlg.IsFieldShown(id), qPrintable(QString::number(id)));
        for (int id : {1009, 1010, 1012, 1013, 1014})
            QVERIFY(dlg.IsFieldShown(id));
        QCOMPARE(dlg.FieldText(1013), L("IDS_STRING_K_075"));
        QCOMPARE(dlg.FieldText(1014), L("IDS_STRING_K_090"));
        QCOMPARE(dlg.Field(1013)->y(), RowY(3));
        QCOMPARE(dlg.Field(1014)->y(), RowY(4));
        const QImage shown = dlg.grab().toImage();
        QCOMPARE(shown.pixel(200, 79) | 0xFF000000u, kBbInfoLineColor);
        QCOMPARE(shown.pixel(200, 112) | 0xFF000000u, kBbInfoBackground);
    }

    void damagedRecordShowsNoGarbage()
    {
        QByteArray r = Blank();
        // The model fills its whole room without a terminating zero and
        // holds control characters and bytes that decode to nothing.
        QByteArray model = "Gx\x07\x1b\xff\xfeY";
        model += QByteArray(32 - model.size(), 'M');
        Put(r, kDeviceModelOffset, model);
        Put(r, kDeviceFirmwareOffset, "\t 1.0\n");
        PutVersion(r, 9, 0, 0, 0);
        // The last text runs to the record's end without a zero.
        Put(r, kDeviceInfoOffset, QByteArray(kDeviceRecordSize - kDeviceInfoOffset, 'Z'));
        CBbInfoDlg dlg;
        dlg.Prepare(r, 0.0f);
        QCOMPARE(dlg.FieldText(1015), QStringLiteral("GxY") + QString(25, QLatin1Char('M')));
        QCOMPARE(dlg.FieldText(1016), QStringLiteral("1.0"));
        QCOMPARE(dlg.FieldText(1017), QStringLiteral("0.00 GB"));
        QCOMPARE(dlg.FieldText(1018), QStringLiteral("00.00.00.09"));
        QCOMPARE(dlg.FieldText(1019), QString(kDeviceRecordSize - kDeviceInfoOffset, QLatin1Char('Z')));
        for (int id = 1015; id <= 1019; ++id) {
            const QString shown = dlg.Field(id)->text();
            for (QChar c : shown)
                QVERIFY2(c.isPrint() && c != QChar::ReplacementCharacter, qPrintable(QString::number(id)));
            // Too long for the field: shortened to fit, the whole text as tool tip.
            QVERIFY(dlg.Field(id)->fontMetrics().horizontalAdvance(shown) <= kBbInfoValueWidth);
        }
        QVERIFY(dlg.Field(1019)->text().endsWith(QChar(0x2026)));
        QCOMPARE(dlg.Field(1019)->toolTip(), dlg.FieldText(1019));
        QVERIFY(dlg.Field(1016)->toolTip().isEmpty());
    }

    void shortRecord()
    {
        // A record shorter than its layout: what it holds, nothing beyond.
        QByteArray r(60, '\0');
        Put(r, kDeviceModelOffset, "BT33(X)");
        Put(r, kDeviceFirmwareOffset, "0.9.1");
        CBbInfoDlg dlg;
        dlg.Prepare(r, 3.0f);
        QCOMPARE(dlg.FieldText(1015), QStringLiteral("BT33"));
        QCOMPARE(dlg.FieldText(1016), QStringLiteral("0.9.1"));
        QCOMPARE(dlg.Rows(), 3);
        QVERIFY(!dlg.IsFieldShown(1018));
        QCOMPARE(dlg.FieldText(1014), QString());
        QCOMPARE(CBbInfoDlg::RecordText(r, 56, 20), QString());
        QCOMPARE(CBbInfoDlg::RecordText(r, 600, 20), QString());
        QCOMPARE(CBbInfoDlg::RecordText(r, -1, 20), QString());
    }

    void capacityFormat_data()
    {
        QTest::addColumn<float>("gb");
        QTest::addColumn<QString>("text");
        QTest::newRow("29.7265") << 29.7265f << "29.73 GB";
        QTest::newRow("0") << 0.0f << "0.00 GB";
        QTest::newRow("119.08") << 119.08f << "119.08 GB";
    }
    void capacityFormat()
    {
        QFETCH(float, gb);
        QFETCH(QString, text);
        QCOMPARE(CBbInfoDlg::CapacityText(gb), text);
        CCommaDecimalLocale comma;
        QVERIFY2(comma.IsActive(), qPrintable(comma.Reason()));
        QCOMPARE(CBbInfoDlg::CapacityText(gb), text);
    }

    void runsThroughTheFacade()
    {
        CBbInfoDlg dlg;
        int rowsSeen = -1;
        QString modelSeen;
        m_platform.modalInspector = [&](QObject* dialog) {
            auto* d = qobject_cast<CBbInfoDlg*>(dialog);
            QVERIFY(d);
            rowsSeen = d->Rows();
            modelSeen = d->FieldText(1015);
        };
        QSignalSpy finished(&dlg, &QDialog::finished);
        QCOMPARE(dlg.DoModal(DemoDeviceRecord("ARX330"), 14.5f), int(CPlatform::IDOK));
        QCOMPARE(rowsSeen, 5);
        QCOMPARE(modelSeen, QStringLiteral("ARX330"));
        QCOMPARE(finished.size(), 1); // the recorder ended it
        QVERIFY(!dlg.isVisible());
        const auto calls = m_platform.CallsOf(QStringLiteral("RunModalDialog"));
        QCOMPARE(calls.size(), 1);
        QCOMPARE(calls[0].text, QStringLiteral("Black Box information"));
        QCOMPARE(calls[0].caption, QStringLiteral("CBbInfoDlg"));

        // Each run reads its record afresh: the card is gone now.
        m_platform.modalDialogAnswers = {CPlatform::IDCANCEL};
        QCOMPARE(dlg.DoModal(QByteArray(), 0.0f), int(CPlatform::IDCANCEL));
        QCOMPARE(rowsSeen, 3);
        QCOMPARE(modelSeen, QString());
        QVERIFY(!dlg.IsFieldShown(1015));
        // And back: the MICOM label emptied by an earlier record comes back.
        dlg.DoModal(Full(0, 0, 0, 0, ""), 1.0f);
        QCOMPARE(dlg.FieldText(1014), QString());
        dlg.DoModal(Full(1, 0, 0, 0, "X"), 1.0f);
        QCOMPARE(dlg.FieldText(1014), L("IDS_STRING_K_090"));
        QVERIFY(dlg.IsFieldShown(1013));
        QVERIFY(dlg.IsFieldShown(1015));
        QCOMPARE(m_platform.CallsOf(QStringLiteral("RunModalDialog")).size(), 4);
    }

    void okButtonEndsTheDialog()
    {
        CBbInfoDlg dlg;
        dlg.Prepare(QByteArray(), 0.0f);
        QSignalSpy finished(&dlg, &QDialog::finished);
        dlg.OkButton()->click();
        QCOMPARE(finished.size(), 1);
        QCOMPARE(finished[0][0].toInt(), int(CPlatform::IDOK));
        QVERIFY(dlg.OkButton()->isDefault());
    }

    void koreanTexts()
    {
        QVERIFY(SelectLanguage(QStringLiteral("korean")));
        CBbInfoDlg dlg;
        dlg.Prepare(DemoDeviceRecord("ARX550"), 1.0f);
        QCOMPARE(dlg.windowTitle(), QStringLiteral("블랙박스 정보"));
        QCOMPARE(dlg.FieldText(1009), QStringLiteral("모델명"));
        QVERIFY(SelectLanguage(QStringLiteral("english")));
    }
};

QTEST_MAIN(TestBbInfoDlg)
#include "tst_bbinfodlg.moc"
