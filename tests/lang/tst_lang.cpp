// Language tables built into the viewer and their look-ups (Qt Core; the
// fonts are tested by tst_langfonts).
#include "lang/Lang.h"
#include "lang/LangConstants.h"

#include <QSet>

#include <algorithm>
#include <QTest>

namespace {

const char* const kLanguages[] = {"english", "korean", "spanish", "chinesesimplified"};

// [font] and [menu] figures per language: English, Korean, Spanish, Simplified Chinese.
struct NumberRow {
    const char* section;
    const char* key;
    int value[4];
};
const NumberRow kNumbers[] = {
    {"font", "DEFAULT_UI_CHARSET", {1, 129, 1, 134}},
    {"font", "DEFAULT_UI_CODEPAGE", {409, 949, 1252, 936}},
    {"font", "TEXT_WIDTH_1", {8, 13, 8, 13}},
    {"font", "TEXT_WIDTH_2", {8, 13, 8, 13}},
    {"font", "TEXT_WIDTH_3", {7, 12, 7, 12}},
    {"font", "TEXT_WIDTH_4", {7, 12, 7, 12}},
    {"font", "TEXTSIZE_BBINFO_1", {13, 12, 13, 12}},
    {"font", "TEXTSIZE_BBINFO_2", {13, 12, 13, 12}},
    {"font", "TEXTSIZE_BBINFO_3", {13, 13, 13, 13}},
    {"font", "TEXTSIZE_FULLSCR", {14, 14, 14, 14}},
    {"font", "TEXTSIZE_MOVARA_1", {15, 13, 15, 13}},
    {"font", "TEXTSIZE_MOVARA_2", {14, 14, 14, 14}},
    {"font", "TEXTSIZE_MOVARA_3", {13, 12, 13, 12}},
    {"font", "TEXTSIZE_MOVARA_4", {13, 13, 13, 13}},
    {"font", "TEXTSIZE_MOVARA_BTN", {14, 13, 14, 13}},
    {"font", "TEXTSIZE_MOVARA_LIST_BTN", {13, 12, 13, 12}},
    {"font", "TEXTSIZE_SPLASH", {14, 14, 14, 14}},
    {"font", "TEXTSIZE_TBALOON_SPD", {11, 11, 11, 11}},
    {"font", "TEXTSIZE_TBALOON_NUM", {11, 11, 11, 11}},
    {"font", "TEXTSIZE_TBALOON", {13, 13, 13, 13}},
    {"font", "TEXTSIZE_TBUTTON", {14, 13, 14, 13}},
    {"font", "TEXT_WIDTH_TBALOON", {8, 12, 8, 12}},
    {"font", "TEXTSIZE_TDROPBOX", {15, 13, 15, 13}},
    {"font", "TEXTSIZE_TDROPBRISPD", {12, 12, 12, 12}},
    {"font", "TEXTSIZE_UPDATE", {12, 12, 12, 12}},
    {"menu", "PO_BTN_FILE_X", {6, 6, 6, 6}},
    {"menu", "PO_BTN_FILE_Y", {42, 42, 42, 42}},
    {"menu", "SIZE_BTN_FILE_WIDTH", {80, 80, 90, 80}},
    {"menu", "SIZE_BTN_FILE_HEIGHT", {27, 27, 27, 27}},
    {"menu", "PO_BTN_SETTING_X", {14, 14, 14, 14}},
    {"menu", "PO_BTN_SETTING_Y", {42, 42, 42, 42}},
    {"menu", "SIZE_BTN_SETTING_WIDTH", {150, 80, 120, 80}},
    {"menu", "SIZE_BTN_SETTING_HEIGHT", {27, 27, 27, 27}},
    {"menu", "SIZE_BOX_FILE_WIDTH", {256, 256, 256, 256}},
    {"menu", "SIZE_BOX_FILE_HEIGHT", {76, 76, 76, 76}},
    {"menu", "SIZE_BOX_SETTING_WIDTH", {226, 226, 226, 226}},
    {"menu", "SIZE_BOX_SETTING_HEIGHT", {97, 83, 97, 97}},
    {"menu", "SIZE_BOX_SETTING_LANG_WIDTH", {234, 234, 234, 234}},
    {"menu", "SIZE_BOX_SETTING_LANG_HEIGHT", {120, 120, 120, 120}},
    {"menu", "SIZE_BOX_SETTING_UNIT_WIDTH", {100, 100, 100, 100}},
    {"menu", "SIZE_BOX_SETTING_UNIT_HEIGHT", {55, 55, 55, 55}},
    {"menu", "SIZE_STATIC_FRONT_WIDTH", {61, 61, 61, 61}},
    {"menu", "SIZE_STATIC_REAR_WIDTH", {61, 61, 61, 61}},
};

QString Key(int n)
{
    return QStringLiteral("IDS_STRING_K_%1").arg(n, 3, 10, QLatin1Char('0'));
}

} // namespace

class TestLang : public QObject
{
    Q_OBJECT
private slots:
    void koreanTable();
    void englishTable();
    void namesIgnoreCase();
    void missingLanguageUnloadsTable();
    void figures_data();
    void figures();
    void faceNames_data();
    void faceNames();
    void textKeys_data();
    void textKeys();
    void listedTexts_data();
    void listedTexts();
    void resourcesMatchTheirSources_data();
    void resourcesMatchTheirSources();
};

void TestLang::koreanTable()
{
    QVERIFY(SelectLanguage(QStringLiteral("korean")));
    QCOMPARE(CurrentLanguage(), QStringLiteral("korean"));
    QCOMPARE(LangText(QStringLiteral("IDS_STRING_K_001")), QStringLiteral("파일"));
    QCOMPARE(LangText(QStringLiteral("IDS_STRING_K_105")), QStringLiteral("영상 없음"));
    QCOMPARE(LangFontValue(QStringLiteral("DEFAULT_UI_CHARSET")), 129);
    QCOMPARE(LangMenuValue(QStringLiteral("SIZE_BOX_SETTING_HEIGHT")), 83);
    QCOMPARE(LangFaceName(), QStringLiteral("dotum"));
    QCOMPARE(g_langTable.CodePage(), 0);
    // The fallback is English.
    QCOMPARE(g_langTable.Fallback().GetString(QString(), QStringLiteral("IDS_STRING_K_001")), QStringLiteral("File"));
    // Unknown keys, and numbers from texts.
    QCOMPARE(LangText(QStringLiteral("IDS_STRING_K_999")), QString(""));
    QCOMPARE(LangFontValue(QStringLiteral("NO_SUCH_KEY")), 0);
    QCOMPARE(LangFontValue(QStringLiteral("DEFAULT_UI_FACENAME")), 0);
    QCOMPARE(LangMenuValue(QStringLiteral("TEXTSIZE_SPLASH")), 0); // a [font] key
}

void TestLang::englishTable()
{
    QVERIFY(SelectLanguage(QStringLiteral("english")));
    QCOMPARE(CurrentLanguage(), QStringLiteral("english"));
    QCOMPARE(LangText(QStringLiteral("IDS_STRING_K_001")), QStringLiteral("File"));
    QCOMPARE(LangText(QStringLiteral("IDS_STRING_K_105")), QString(""));
    QCOMPARE(LangFontValue(QStringLiteral("DEFAULT_UI_CHARSET")), 1);
    QCOMPARE(LangMenuValue(QStringLiteral("SIZE_BOX_SETTING_HEIGHT")), 97);
    QCOMPARE(LangFaceName(), QStringLiteral("Verdana"));
    // Selecting again replaces the earlier language completely.
    QVERIFY(SelectLanguage(QStringLiteral("korean")));
    QVERIFY(SelectLanguage(QStringLiteral("english")));
    QCOMPARE(LangText(QStringLiteral("IDS_STRING_K_106")), QString(""));
}

void TestLang::namesIgnoreCase()
{
    QVERIFY(SelectLanguage(QStringLiteral("KoReAn")));
    QCOMPARE(CurrentLanguage(), QStringLiteral("KoReAn"));
    QCOMPARE(LangText(QStringLiteral("ids_string_k_003")), QStringLiteral("설정"));
    QVERIFY(SelectLanguage(QStringLiteral("CHINESESIMPLIFIED")));
    QCOMPARE(LangFaceName(), QStringLiteral("simsun"));
}

void TestLang::missingLanguageUnloadsTable()
{
    QVERIFY(SelectLanguage(QStringLiteral("korean")));
    QVERIFY(!SelectLanguage(QStringLiteral("french")));
    QCOMPARE(CurrentLanguage(), QStringLiteral("korean"));
    QVERIFY(!g_langTable.IsLoaded());
    QCOMPARE(LangText(QStringLiteral("IDS_STRING_K_001")), QStringLiteral("Error Loading"));
    QCOMPARE(LangFaceName(), QStringLiteral("Error Loading"));
    QCOMPARE(LangFontValue(QStringLiteral("DEFAULT_UI_CHARSET")), 0);
    QCOMPARE(LangMenuValue(QStringLiteral("PO_BTN_FILE_Y")), 0);
    QVERIFY(!SelectLanguage(QStringLiteral("../LANGUAGE/KOREAN")));
    QCOMPARE(CurrentLanguage(), QStringLiteral("korean"));
    // No name: English alone.
    QVERIFY(SelectLanguage(QString()));
    QCOMPARE(CurrentLanguage(), QString());
    QCOMPARE(LangText(QStringLiteral("IDS_STRING_K_001")), QStringLiteral("File"));
    // Start-up's rule: Korean, else English.
    QVERIFY(SelectLanguage(QStringLiteral("korean")) || SelectLanguage(QStringLiteral("english")));
    QCOMPARE(LangText(QStringLiteral("IDS_STRING_K_001")), QStringLiteral("파일"));
}

void TestLang::figures_data()
{
    QTest::addColumn<QString>("language");
    QTest::addColumn<QString>("section");
    QTest::addColumn<QString>("key");
    QTest::addColumn<int>("expected");
    for (int l = 0; l < 4; ++l) {
        for (const NumberRow& row : kNumbers) {
            QTest::addRow("%s %s", kLanguages[l], row.key)
                << QString::fromLatin1(kLanguages[l]) << QString::fromLatin1(row.section)
                << QString::fromLatin1(row.key) << row.value[l];
        }
    }
}

void TestLang::figures()
{
    QFETCH(QString, language);
    QFETCH(QString, section);
    QFETCH(QString, key);
    QFETCH(int, expected);
    QVERIFY(SelectLanguage(language));
    const int value = section == QLatin1String("font") ? LangFontValue(key) : LangMenuValue(key);
    QCOMPARE(value, expected);
    // The language's own table holds the figure (not only the English fallback).
    QCOMPARE(g_langTable.Primary().GetString(section, key), QString::number(expected));
}

void TestLang::faceNames_data()
{
    QTest::addColumn<QString>("language");
    QTest::addColumn<QString>("face");
    QTest::newRow("english") << "english" << "Verdana";
    QTest::newRow("korean") << "korean" << "dotum";
    QTest::newRow("spanish") << "spanish" << "Verdana";
    QTest::newRow("chinese") << "chinesesimplified" << "simsun";
}

void TestLang::faceNames()
{
    QFETCH(QString, language);
    QFETCH(QString, face);
    QVERIFY(SelectLanguage(language));
    QCOMPARE(LangFaceName(), face);
    // Each table carries exactly the [font] and [menu] keys, nothing else.
    QSet<QString> fontKeys{QStringLiteral("DEFAULT_UI_FACENAME")};
    QSet<QString> menuKeys;
    for (const NumberRow& row : kNumbers)
        (QLatin1String(row.section) == QLatin1String("font") ? fontKeys : menuKeys).insert(QString::fromLatin1(row.key));
    const QStringList font = g_langTable.Primary().Keys(QStringLiteral("font"));
    const QStringList menu = g_langTable.Primary().Keys(QStringLiteral("menu"));
    QCOMPARE(QSet<QString>(font.begin(), font.end()), fontKeys);
    QCOMPARE(QSet<QString>(menu.begin(), menu.end()), menuKeys);
    QCOMPARE(g_langTable.Primary().SectionNames(), QStringList({"font", "menu", "text"}));
    QCOMPARE(g_langTable.Primary().DefaultSectionName(), QStringLiteral("text"));
}

void TestLang::textKeys_data()
{
    QTest::addColumn<QString>("language");
    for (const char* l : kLanguages)
        QTest::newRow(l) << QString::fromLatin1(l);
}

void TestLang::textKeys()
{
    QFETCH(QString, language);
    QVERIFY(SelectLanguage(language));
    const CIniDocument& table = g_langTable.Primary();
    const int last = language == QLatin1String("korean") ? 107 : 104;
    // The viewer's own keys 001-107; keys from 108 on belong to later dialogs.
    const QStringList keys = table.Keys(QString());
    QCOMPARE(std::count_if(keys.begin(), keys.end(), [](const QString& k) { return k.mid(13).toInt() <= 107; }),
             qsizetype(last));
    for (int n = 1; n <= 107; ++n) {
        QString value;
        const bool has = table.GetString(QString(), Key(n), value);
        QVERIFY2(has == (n <= last), qPrintable(Key(n)));
        if (has)
            QVERIFY2(!value.isEmpty(), qPrintable(Key(n)));
    }
    // The file operations' texts 201 to 205.
    const int fileTexts = 5;
    for (int n = 201; n < 201 + fileTexts; ++n) {
        QString value;
        QVERIFY2(table.GetString(QString(), Key(n), value) && !value.isEmpty(), qPrintable(Key(n)));
    }
    // The search result is a format with one integer placeholder.
    const QString format = LangText(Key(79));
    QCOMPARE(format.count(QLatin1Char('%')), 1);
    QVERIFY(format.contains(QLatin1String("%d")));
}

void TestLang::listedTexts_data()
{
    QTest::addColumn<QString>("language");
    QTest::addColumn<int>("key");
    QTest::addColumn<QString>("text");

    QTest::newRow("ko 001") << "korean" << 1 << "파일";
    QTest::newRow("ko 008") << "korean" << 8 << "다른이름으로 저장";
    QTest::newRow("ko 037") << "korean" << 37 << "Alt+ Enter";
    QTest::newRow("ko 079") << "korean" << 79 << "해당 위치에서 %d개의 녹화 파일이 검색되었습니다.";
    QTest::newRow("ko 087") << "korean" << 87 << "  녹화된 영상에 기록된 위치 좌표를 불러오는  중 입니다. 잠시 후 다시 실행하여 주십시오.  경우에 따라 수 분 이상 소요될 수 있습니다.";
    QTest::newRow("ko 094") << "korean" << 94 << "중국어 간체(Simplified Chinese)";
    QTest::newRow("ko 106") << "korean" << 106 << "전,후방 동시 재생을 원하시면 설정 메뉴에서 전,후방 동시 재생을 선택해 주세요.";
    QTest::newRow("ko 107") << "korean" << 107 << "※ 동시 재생 시, PC 환경에 따라 재생이 원활하지 않을 수 있습니다.";
    QTest::newRow("en 022") << "english" << 22 << "Continuous ";
    QTest::newRow("en 030") << "english" << 30 << "Play(Puase)";
    QTest::newRow("en 052") << "english" << 52 << "Toggle Front / Rear ";
    QTest::newRow("en 050") << "english" << 50 << "?";
    QTest::newRow("en 079") << "english" << 79 << " %d of recorded file has been found";
    QTest::newRow("en 086") << "english" << 86 << "This video encoded in unsupported format ";
    QTest::newRow("en 100") << "english" << 100 << "русский язык";
    QTest::newRow("en 101") << "english" << 101 << "e_차량 연결 정보";
    QTest::newRow("en 104") << "english" << 104 << "전,후방 동시 재생";
    QTest::newRow("es 001") << "spanish" << 1 << "Archivo";
    QTest::newRow("zh 001") << "chinesesimplified" << 1 << "文件";
}

void TestLang::listedTexts()
{
    QFETCH(QString, language);
    QFETCH(int, key);
    QFETCH(QString, text);
    QVERIFY(SelectLanguage(language));
    QCOMPARE(LangText(Key(key)), text);
}

void TestLang::resourcesMatchTheirSources_data()
{
    textKeys_data();
}

void TestLang::resourcesMatchTheirSources()
{
    // The built-in table is the UTF-16LE form of the readable source table.
    QFETCH(QString, language);
    InitLanguageResources();
    QByteArray bytes;
    QVERIFY(CIniTable::FindResource(QStringLiteral("LANGUAGE"), language, bytes));
    QVERIFY(bytes.startsWith("\xFF\xFE"));
    QCOMPARE(bytes.size() % 2, 0);
    CIniDocument built;
    QVERIFY(built.LoadBuffer(bytes));

    const QString sourceDir = qEnvironmentVariable("KESTRAV_SOURCE_DIR");
    QVERIFY(!sourceDir.isEmpty());
    CIniDocument source;
    QVERIFY(source.LoadFile(sourceDir + QStringLiteral("/viewer/lang/tables/") + language + QStringLiteral(".ini")));
    QVERIFY(!source.IsEmpty());
    QCOMPARE(built.Serialize(), source.Serialize());
}

QTEST_GUILESS_MAIN(TestLang)
#include "tst_lang.moc"
