// INI document and table, the settings file and the machine-wide play type.
#include "settings/IniDocument.h"
#include "settings/IniTable.h"
#include "settings/Registry.h"
#include "settings/Settings.h"
#include "settings/SettingsConstants.h"

#include <QDir>
#include <QFile>
#include <QSettings>
#include <QTemporaryDir>
#include <QTest>

namespace {

QByteArray Utf16Le(const QString& text)
{
    QByteArray out("\xFF\xFE", 2);
    for (const QChar c : text) {
        out.append(char(c.unicode() & 0xFF));
        out.append(char(c.unicode() >> 8));
    }
    return out;
}

bool WriteFile(const QString& path, const QByteArray& bytes)
{
    QFile f(path);
    return f.open(QIODevice::WriteOnly) && f.write(bytes) == bytes.size();
}

QByteArray ReadFile(const QString& path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

} // namespace

class TestSettings : public QObject
{
    Q_OBJECT
private slots:
    void init();
    void cleanup();

    // CIniDocument parsing
    void parseLines_data();
    void parseLines();
    void sectionsIgnoreCase();
    void encodings_data();
    void encodings();
    void shortBuffers();
    void getInt_data();
    void getInt();

    // CIniDocument files
    void loadFileLimits_data();
    void loadFileLimits();
    void loadFileFailuresEmptyTheDocument();
    void saveExactBytes();
    void saveReadsBack();
    void saveToUnwritablePath_data();
    void saveToUnwritablePath();
    void saveFailureKeepsExistingFile();

    // CIniTable
    void neverLoadedTable();
    void tableFallbackAndEscapes();
    void tableLoadFiles();
    void tableReloadForgetsEarlierContent();

    // Settings file
    void settingsFolderFollowsXdg();
    void settingsFirstRunCreatesFile();
    void settingsPersistAcrossLoads();
    void settingsUnreadableFileStaysUntouched_data();
    void settingsUnreadableFileStaysUntouched();

    // Machine-wide play type
    void playType_data();
    void playType();
    void playTypeWithoutWriteRights();
    void regStringRoundTripAndBufferSize();

private:
    QTemporaryDir* m_dir = nullptr;
};

void TestSettings::init()
{
    m_dir = new QTemporaryDir;
    QVERIFY(m_dir->isValid());
    // Neither the real configuration folder nor the real system folder is touched.
    qputenv("XDG_CONFIG_HOME", QFile::encodeName(m_dir->filePath(QStringLiteral("home-config"))));
    const QString system = m_dir->filePath(QStringLiteral("system-config"));
    QSettings::setPath(QSettings::NativeFormat, QSettings::SystemScope, system);
    QSettings::setPath(QSettings::IniFormat, QSettings::SystemScope, system);
}

void TestSettings::cleanup()
{
    delete m_dir;
    m_dir = nullptr;
}

// --- CIniDocument parsing ---------------------------------------------------

void TestSettings::parseLines_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("section");
    QTest::addColumn<QString>("key");
    QTest::addColumn<bool>("found");
    QTest::addColumn<QString>("value");

    const QString install = QStringLiteral("install");
    QTest::newRow("quoted value") << "[text]\nIDS_STRING_K_001=\"File\"\n" << "text" << "IDS_STRING_K_001" << true << "File";
    QTest::newRow("blanks and tab around =") << "[menu]\nPO_BTN_FILE_X   =\t6\n" << "menu" << "PO_BTN_FILE_X" << true << "6";
    QTest::newRow("comment after value") << "[s]\na = b ; comment\n" << "s" << "a" << true << "b";
    QTest::newRow("semicolon inside quotes") << "[s]\na = \"b ; c\" ; tail\n" << "s" << "a" << true << "b ; c";
    QTest::newRow("single quotes") << "[s]\na = '  x  '\n" << "s" << "a" << true << "  x  ";
    QTest::newRow("unterminated quote runs to end") << "[s]\na = \"b ; c\n" << "s" << "a" << true << "b ; c";
    QTest::newRow("unquoted value trimmed") << "[s]\na =    spaced out   \n" << "s" << "a" << true << "spaced out";
    QTest::newRow("= inside value") << "[s]\na = b=c\n" << "s" << "a" << true << "b=c";
    QTest::newRow("empty value") << "[s]\na =\n" << "s" << "a" << true << "";
    QTest::newRow("quoted key") << "[s]\n\"my key\" = v\n" << "s" << "my key" << true << "v";
    QTest::newRow("quoted key holding =") << "[s]\n'a=b' = v\n" << "s" << "a=b" << true << "v";
    QTest::newRow("unterminated quoted key dropped") << "[s]\n\"abc = v\n" << "s" << "\"abc" << false << "";
    QTest::newRow("text between quoted key and = dropped") << "[s]\n\"k\" x = v\n" << "s" << "k" << false << "";
    QTest::newRow("empty quoted key dropped") << "[s]\n\"\" = v\n" << "s" << "" << false << "";
    QTest::newRow("bare line is a key") << "[s]\njustakey\n" << "s" << "justakey" << true << "";
    QTest::newRow("bare line keeps inner blanks") << "[s]\n  two words \n" << "s" << "two words" << true << "";
    QTest::newRow("bare line before any section dropped") << "justakey\n[s]\n" << "s" << "justakey" << false << "";
    QTest::newRow("key line before any section dropped") << "a = b\n[s]\n" << "s" << "a" << false << "";
    QTest::newRow("empty section name drops keys") << "[s]\n[ ]\na = b\n" << "s" << "a" << false << "";
    QTest::newRow("section after empty name works") << "[ ]\na = b\n[s]\na = c\n" << "s" << "a" << true << "c";
    QTest::newRow("comment line") << "[s]\n; a = b\n" << "s" << "; a" << false << "";
    QTest::newRow("section name trimmed") << "[  install  ]\nunit = mph\n" << install << "unit" << true << "mph";
    QTest::newRow("unclosed bracket is a bare line") << "[s]\n[abc\n" << "s" << "[abc" << true << "";
    QTest::newRow("keys ignore case") << "[s]\nUnit = mph\n" << "s" << "UNIT" << true << "mph";
    QTest::newRow("repeated key overwrites") << "[s]\nk = 1\nK = 2\n" << "s" << "k" << true << "2";
    QTest::newRow("carriage returns dropped anywhere") << "[s]\r\nk\r = v\ra\r\r\n" << "s" << "k" << true << "va";
    QTest::newRow("last line without line feed") << "[s]\na = 1\nb = 2" << "s" << "b" << true << "2";
    QTest::newRow("zero character ends the text") << QStringLiteral("[s]\na = 1\n") + QChar(0) + QStringLiteral("\nb = 2\n") << "s" << "b" << false << "";
    QTest::newRow("text before the zero is kept") << QStringLiteral("[s]\na = 1") + QChar(0) + QStringLiteral("xyz\n") << "s" << "a" << true << "1";
    QTest::newRow("null section is TEXT") << "[TeXt]\nk = v\n" << QString() << "k" << true << "v";
    QTest::newRow("no TEXT section, no default") << "[other]\nk = v\n" << QString() << "k" << false << "";
    QTest::newRow("unknown section") << "[s]\nk = v\n" << "t" << "k" << false << "";
    QTest::newRow("backslash-n kept in the document") << "[s]\nk = a\\nb\n" << "s" << "k" << true << "a\\nb";
    QTest::newRow("Hangul key and value") << "[text]\n파일 = \"열기\"\n" << "text" << "파일" << true << "열기";
}

void TestSettings::parseLines()
{
    QFETCH(QString, text);
    QFETCH(QString, section);
    QFETCH(QString, key);
    QFETCH(bool, found);
    QFETCH(QString, value);
    // The same text must parse the same from UTF-16 and from 8-bit bytes.
    for (const QByteArray& bytes : {Utf16Le(text), text.toLocal8Bit()}) {
        CIniDocument doc;
        QVERIFY(doc.LoadBuffer(bytes));
        QString out;
        QCOMPARE(doc.GetString(section, key, out, QStringLiteral("<default>")), found);
        QCOMPARE(out, found ? value : QStringLiteral("<default>"));
    }
}

void TestSettings::sectionsIgnoreCase()
{
    CIniDocument doc;
    QVERIFY(doc.LoadBuffer(Utf16Le(QStringLiteral(
        "[Text]\na = 1\n[other]\nx = y\n[TEXT]\nb = 2\n[text]\nc = 3\n"))));
    QCOMPARE(doc.SectionNames(), QStringList({"Text", "other"}));
    QCOMPARE(doc.DefaultSectionName(), QStringLiteral("Text"));
    QCOMPARE(doc.Keys(QString()), QStringList({"a", "b", "c"}));
    QCOMPARE(doc.GetString(QStringLiteral("tExT"), QStringLiteral("C")), QStringLiteral("3"));

    // Writing with no section creates the default section when it is missing.
    CIniDocument fresh;
    QVERIFY(fresh.SetString(QString(), QStringLiteral("k"), QStringLiteral("v")));
    QCOMPARE(fresh.DefaultSectionName(), QStringLiteral("TEXT"));
    QCOMPARE(fresh.GetString(QStringLiteral("text"), QStringLiteral("K")), QStringLiteral("v"));
}

void TestSettings::encodings_data()
{
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<QString>("value");

    QTest::newRow("UTF-16LE with mark") << Utf16Le(QStringLiteral("[s]\nk = 전방\n")) << "전방";
    QTest::newRow("8-bit without mark") << QByteArray("[s]\nk = caf\xC3\xA9\n") << "café";
    QTest::newRow("8-bit with UTF-8 mark") << QByteArray("\xEF\xBB\xBF[s]\nk = v\n") << "v";
    // An odd byte count: the half character at the end is ignored.
    QTest::newRow("UTF-16 odd byte count") << Utf16Le(QStringLiteral("[s]\nk = ab")) + QByteArray("\x63", 1) << "ab";
    // Big-endian text has no FF FE mark: read as 8-bit, it finds nothing.
    QTest::newRow("UTF-16BE is not UTF-16LE") << QByteArray("\xFE\xFF\0[\0s\0]\0\n\0k\0=\0v", 16) << "<none>";
    // Unpaired surrogates and invalid 8-bit bytes do not stop the parse.
    QTest::newRow("unpaired surrogate") << Utf16Le(QStringLiteral("[s]\nj = ") + QChar(0xD800) + QStringLiteral("\nk = v\n")) << "v";
    QTest::newRow("invalid 8-bit byte") << QByteArray("[s]\nj = \xFF\xFF\nk = v\n") << "v";
}

void TestSettings::encodings()
{
    QFETCH(QByteArray, bytes);
    QFETCH(QString, value);
    CIniDocument doc;
    QVERIFY(doc.LoadBuffer(bytes));
    QCOMPARE(doc.GetString(QStringLiteral("s"), QStringLiteral("k"), QStringLiteral("<none>")), value);
}

void TestSettings::shortBuffers()
{
    CIniDocument doc;
    QVERIFY(!doc.LoadBuffer(nullptr, 10));
    QVERIFY(!doc.LoadBuffer(QByteArray()));
    QVERIFY(!doc.LoadBuffer(QByteArray("\xFF", 1)));
    QVERIFY(doc.LoadBuffer(QByteArray("\xFF\xFE", 2)));
    QVERIFY(doc.IsEmpty());
    QVERIFY(doc.LoadBuffer(QByteArray("\xFF\xFE\x5B", 3))); // mark and half a character
    QVERIFY(doc.IsEmpty());

    // The length bounds the parse even when the bytes beyond it hold text.
    const QByteArray bytes = Utf16Le(QStringLiteral("[s]\nk = 12345"));
    QVERIFY(doc.LoadBuffer(bytes.constData(), bytes.size() - 4));
    QCOMPARE(doc.GetString(QStringLiteral("s"), QStringLiteral("k")), QStringLiteral("123"));

    // LoadBuffer adds to what is there.
    QVERIFY(doc.LoadBuffer(Utf16Le(QStringLiteral("[s]\nj = 1\n"))));
    QCOMPARE(doc.Keys(QStringLiteral("s")), QStringList({"k", "j"}));
}

void TestSettings::getInt_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<int>("radix");
    QTest::addColumn<uint>("expected");

    QTest::newRow("decimal") << "949" << 10 << 949u;
    QTest::newRow("leading blanks and trailing junk") << "  42abc" << 10 << 42u;
    QTest::newRow("not a number") << "abc" << 10 << 0u;
    QTest::newRow("minus wraps") << "-1" << 10 << 0xFFFFFFFFu;
    QTest::newRow("overflow saturates") << "99999999999" << 10 << 0xFFFFFFFFu;
    QTest::newRow("hex with prefix") << "0x1F" << 16 << 31u;
    QTest::newRow("radix 0 hex") << "0x10" << 0 << 16u;
    QTest::newRow("radix 0 octal") << "010" << 0 << 8u;
    QTest::newRow("decimal stops at x") << "0x10" << 10 << 0u;
}

void TestSettings::getInt()
{
    QFETCH(QString, text);
    QFETCH(int, radix);
    QFETCH(uint, expected);
    CIniDocument doc;
    doc.SetString(QStringLiteral("GENERAL"), QStringLiteral("CODEPAGE"), text);
    QCOMPARE(doc.GetInt(QStringLiteral("general"), QStringLiteral("codepage"), 7u, radix), expected);
    QCOMPARE(doc.GetInt(QStringLiteral("general"), QStringLiteral("missing"), 7u, radix), 7u);
}

// --- CIniDocument files -----------------------------------------------------

void TestSettings::loadFileLimits_data()
{
    QTest::addColumn<qint64>("size");
    QTest::addColumn<bool>("loads");

    QTest::newRow("empty file") << qint64(0) << true;
    QTest::newRow("one byte") << qint64(1) << false;
    QTest::newRow("1,000,000 bytes") << qint64(1000000) << true;
    QTest::newRow("1,000,001 bytes") << qint64(1000001) << false;
}

void TestSettings::loadFileLimits()
{
    QFETCH(qint64, size);
    QFETCH(bool, loads);
    // UTF-16 text padded with a comment line up to the size; the last key
    // sits at the very end of the file, without a line feed (an odd size adds
    // one stray byte after it).
    QByteArray bytes;
    if (size >= 100) {
        const QByteArray head = Utf16Le(QStringLiteral("[s]\n"));
        const QByteArray tail = Utf16Le(QStringLiteral("\nlast = end")).mid(2);
        const qint64 fillerChars = (size - head.size() - tail.size()) / 2;
        bytes = head + Utf16Le(QStringLiteral(";") + QString(fillerChars - 1, u'x')).mid(2) + tail;
        if (bytes.size() < size)
            bytes.append('\x01');
    } else {
        bytes = QByteArray(size, 'x');
    }
    QCOMPARE(qint64(bytes.size()), size);
    const QString path = m_dir->filePath(QStringLiteral("doc.ini"));
    QVERIFY(WriteFile(path, bytes));

    CIniDocument doc;
    QCOMPARE(doc.LoadFile(path), loads);
    if (size > 100) {
        QCOMPARE(doc.GetString(QStringLiteral("s"), QStringLiteral("last")),
                 loads ? QStringLiteral("end") : QString());
    }
    if (!loads)
        QVERIFY(doc.IsEmpty());
}

void TestSettings::loadFileFailuresEmptyTheDocument()
{
    CIniDocument doc;
    doc.SetString(QStringLiteral("s"), QStringLiteral("k"), QStringLiteral("v"));
    QVERIFY(!doc.LoadFile(m_dir->filePath(QStringLiteral("missing.ini"))));
    QVERIFY(doc.IsEmpty());

    doc.SetString(QStringLiteral("s"), QStringLiteral("k"), QStringLiteral("v"));
    QVERIFY(!doc.LoadFile(m_dir->path())); // a folder
    QVERIFY(doc.IsEmpty());

    // A successful load replaces the earlier content.
    doc.SetString(QStringLiteral("old"), QStringLiteral("k"), QStringLiteral("v"));
    const QString path = m_dir->filePath(QStringLiteral("doc.ini"));
    QVERIFY(WriteFile(path, Utf16Le(QStringLiteral("[new]\nk = w\n"))));
    QVERIFY(doc.LoadFile(path));
    QCOMPARE(doc.SectionNames(), QStringList({"new"}));
}

void TestSettings::saveExactBytes()
{
    CIniTable table;
    table.LoadEmpty();
    QVERIFY(table.Set(QStringLiteral("install"), QStringLiteral("unit"), QStringLiteral("mph")));
    const QString path = m_dir->filePath(QStringLiteral("kestrav.ini"));
    QVERIFY(table.Save(path));
    QCOMPARE(ReadFile(path), Utf16Le(QStringLiteral("[install]\r\nunit = mph\r\n\r\n")));
}

void TestSettings::saveReadsBack()
{
    CIniDocument doc;
    doc.SetString(QStringLiteral("install"), QStringLiteral("unit"), QStringLiteral("km/h"));
    doc.SetString(QStringLiteral("install"), QStringLiteral("playtype"), QStringLiteral("single"));
    doc.SetString(QStringLiteral("Text"), QStringLiteral("IDS_STRING_K_001"), QStringLiteral("파일"));
    doc.SetString(QStringLiteral("text"), QStringLiteral("multi"), QStringLiteral("one\\ntwo"));
    doc.SetString(QStringLiteral("text"), QStringLiteral("bare"), QString());
    doc.SetInt(QStringLiteral("GENERAL"), QStringLiteral("CODEPAGE"), -949);
    const QString path = m_dir->filePath(QStringLiteral("round.ini"));
    QVERIFY(doc.Save(path));

    CIniDocument back;
    QVERIFY(back.LoadFile(path));
    QCOMPARE(back.Serialize(), doc.Serialize());
    QCOMPARE(back.SectionNames(), QStringList({"install", "Text", "GENERAL"}));
    QCOMPARE(back.GetString(QString(), QStringLiteral("ids_string_k_001")), QStringLiteral("파일"));
    QCOMPARE(back.GetString(QStringLiteral("general"), QStringLiteral("codepage")), QStringLiteral("-949"));
    QString bare;
    QVERIFY(back.GetString(QStringLiteral("text"), QStringLiteral("bare"), bare, QStringLiteral("x")));
    QCOMPARE(bare, QString());
    // No temporary file is left beside the target.
    QCOMPARE(QDir(m_dir->path()).entryList(QDir::Files), QStringList({"round.ini"}));
}

void TestSettings::saveToUnwritablePath_data()
{
    QTest::addColumn<QString>("relative");
    QTest::newRow("missing folder") << "no/such/folder/kestrav.ini";
    QTest::newRow("folder is a file") << "plain.txt/kestrav.ini";
    QTest::newRow("target is a folder") << "folder";
    QTest::newRow("empty path") << "";
}

void TestSettings::saveToUnwritablePath()
{
    QFETCH(QString, relative);
    QVERIFY(WriteFile(m_dir->filePath(QStringLiteral("plain.txt")), "x"));
    QVERIFY(QDir(m_dir->path()).mkdir(QStringLiteral("folder")));
    const QString path = relative.isEmpty() ? QString() : m_dir->filePath(relative);

    CIniDocument doc;
    doc.SetString(QStringLiteral("install"), QStringLiteral("unit"), QStringLiteral("mph"));
    QVERIFY(!doc.Save(path));

    CIniTable table;
    table.LoadEmpty();
    table.Set(QStringLiteral("install"), QStringLiteral("unit"), QStringLiteral("mph"));
    QVERIFY(!table.Save(path)); // the fallback document fails the same way

    // Nothing was created or changed.
    QCOMPARE(QDir(m_dir->path()).entryList(QDir::AllEntries | QDir::NoDotAndDotDot),
             QStringList({"folder", "plain.txt"}));
    QVERIFY(QDir(m_dir->filePath(QStringLiteral("folder"))).isEmpty());
    QCOMPARE(ReadFile(m_dir->filePath(QStringLiteral("plain.txt"))), QByteArray("x"));
}

void TestSettings::saveFailureKeepsExistingFile()
{
    // A save that cannot complete leaves the earlier file whole: the new
    // content goes to a temporary file that replaces the target only at the
    // end. Here the folder is made read-only after the first save; when the
    // process may write anyway (root), the second save simply succeeds.
    const QString folder = m_dir->filePath(QStringLiteral("ro"));
    QVERIFY(QDir().mkpath(folder));
    const QString path = QDir(folder).filePath(QStringLiteral("kestrav.ini"));
    CIniDocument doc;
    doc.SetString(QStringLiteral("install"), QStringLiteral("unit"), QStringLiteral("mph"));
    QVERIFY(doc.Save(path));
    const QByteArray before = ReadFile(path);

    QFile::setPermissions(folder, QFile::ReadOwner | QFile::ExeOwner);
    doc.SetString(QStringLiteral("install"), QStringLiteral("unit"), QStringLiteral("km/h"));
    const bool saved = doc.Save(path);
    QFile::setPermissions(folder, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);

    QCOMPARE(ReadFile(path), saved ? doc.Serialize() : before);
    QCOMPARE(QDir(folder).entryList(QDir::Files), QStringList({"kestrav.ini"}));
}

// --- CIniTable ----------------------------------------------------------------

void TestSettings::neverLoadedTable()
{
    CIniTable table;
    QVERIFY(!table.IsLoaded());
    QCOMPARE(table.Lookup(QStringLiteral("install"), QStringLiteral("unit")), QStringLiteral("Error Loading"));
    QCOMPARE(table.Lookup(QString(), QStringLiteral("IDS_STRING_K_001")), QStringLiteral("Error Loading"));
    QVERIFY(!table.Set(QStringLiteral("install"), QStringLiteral("unit"), QStringLiteral("mph")));
    const QString path = m_dir->filePath(QStringLiteral("kestrav.ini"));
    QVERIFY(!table.Save(path));
    QVERIFY(!QFile::exists(path));

    // A load that finds neither file leaves it so.
    QVERIFY(!table.LoadFiles(m_dir->filePath(QStringLiteral("a.ini")), m_dir->filePath(QStringLiteral("b.ini"))));
    QVERIFY(!table.IsLoaded());
    QVERIFY(!table.LoadFiles(QString(), QString()));
    QCOMPARE(table.Lookup(QStringLiteral("install"), QStringLiteral("unit")), QStringLiteral("Error Loading"));
}

void TestSettings::tableFallbackAndEscapes()
{
    const QString primary = m_dir->filePath(QStringLiteral("primary.ini"));
    const QString fallback = m_dir->filePath(QStringLiteral("fallback.ini"));
    QVERIFY(WriteFile(primary, Utf16Le(QStringLiteral(
        "[text]\nonly = p\nboth = p\nempty =\nlf = \"a\\nb\"\ncr = a\\rb\nesc = a\\\\nb\n"
        "[font]\nsize = 13\n"))));
    QVERIFY(WriteFile(fallback, Utf16Le(QStringLiteral(
        "[TEXT]\nboth = f\nempty = f\nfonly = f\nlf = f\n[font]\nsize = 15\nface = \"Verdana\"\n"))));

    CIniTable table;
    QVERIFY(table.LoadFiles(primary, fallback));
    QVERIFY(table.IsLoaded());
    QCOMPARE(table.CodePage(), 0);
    QCOMPARE(table.Lookup(QString(), QStringLiteral("only")), QStringLiteral("p"));
    QCOMPARE(table.Lookup(QString(), QStringLiteral("BOTH")), QStringLiteral("p"));
    QCOMPARE(table.Lookup(QString(), QStringLiteral("empty")), QStringLiteral("f"));
    QCOMPARE(table.Lookup(QString(), QStringLiteral("fonly")), QStringLiteral("f"));
    QCOMPARE(table.Lookup(QString(), QStringLiteral("neither")), QString(""));
    QVERIFY(!table.Lookup(QString(), QStringLiteral("neither")).isNull());
    QCOMPARE(table.Lookup(QString(), QStringLiteral("lf")), QStringLiteral("a\nb"));
    QCOMPARE(table.Lookup(QString(), QStringLiteral("cr")), QStringLiteral("a\rb"));
    QCOMPARE(table.Lookup(QString(), QStringLiteral("esc")), QStringLiteral("a\\\nb"));
    QCOMPARE(table.Lookup(QStringLiteral("Font"), QStringLiteral("size")), QStringLiteral("13"));
    QCOMPARE(table.Lookup(QStringLiteral("font"), QStringLiteral("face")), QStringLiteral("Verdana"));

    // Writes go to the primary document only; saving writes the primary.
    QVERIFY(table.Set(QStringLiteral("text"), QStringLiteral("fonly"), QStringLiteral("p2")));
    QCOMPARE(table.Lookup(QString(), QStringLiteral("fonly")), QStringLiteral("p2"));
    QCOMPARE(table.Fallback().GetString(QString(), QStringLiteral("fonly")), QStringLiteral("f"));
    const QString saved = m_dir->filePath(QStringLiteral("saved.ini"));
    QVERIFY(table.Save(saved));
    CIniDocument back;
    QVERIFY(back.LoadFile(saved));
    QCOMPARE(back.Serialize(), table.Primary().Serialize());
}

void TestSettings::tableLoadFiles()
{
    const QString good = m_dir->filePath(QStringLiteral("good.ini"));
    QVERIFY(WriteFile(good, Utf16Le(QStringLiteral("[GENERAL]\nCODEPAGE = 949\n[install]\nunit = mph\n"))));
    const QString missing = m_dir->filePath(QStringLiteral("missing.ini"));

    CIniTable table;
    // Either document suffices.
    QVERIFY(table.LoadFiles(missing, good));
    QCOMPARE(table.Lookup(QStringLiteral("install"), QStringLiteral("unit")), QStringLiteral("mph"));
    QCOMPARE(table.CodePage(), 0); // read from the primary only
    QVERIFY(table.LoadFiles(good, QString()));
    QCOMPARE(table.CodePage(), 949);
    // A failed load leaves the table not loaded.
    QVERIFY(!table.LoadFiles(missing, QString()));
    QCOMPARE(table.Lookup(QStringLiteral("install"), QStringLiteral("unit")), QStringLiteral("Error Loading"));
}

void TestSettings::tableReloadForgetsEarlierContent()
{
    const QString first = m_dir->filePath(QStringLiteral("first.ini"));
    const QString second = m_dir->filePath(QStringLiteral("second.ini"));
    QVERIFY(WriteFile(first, Utf16Le(QStringLiteral("[text]\nold = 1\n"))));
    QVERIFY(WriteFile(second, Utf16Le(QStringLiteral("[text]\nnew = 2\n"))));
    CIniTable table;
    QVERIFY(table.LoadFiles(first, first));
    QVERIFY(table.LoadFiles(QString(), second));
    QCOMPARE(table.Lookup(QString(), QStringLiteral("new")), QStringLiteral("2"));
    QCOMPARE(table.Lookup(QString(), QStringLiteral("old")), QString(""));
}

// --- Settings file ------------------------------------------------------------

void TestSettings::settingsFolderFollowsXdg()
{
    QCOMPARE(SettingsFolder(), m_dir->filePath(QStringLiteral("home-config/kestrav")));
    QCOMPARE(SettingsFilePath(SettingsFolder()), m_dir->filePath(QStringLiteral("home-config/kestrav/kestrav.ini")));
}

void TestSettings::settingsFirstRunCreatesFile()
{
    // No file yet: the table is loaded and empty, and the first save creates
    // the folder and the file.
    QVERIFY(!QFile::exists(SettingsFilePath(SettingsFolder())));
    QVERIFY(SettingsLoad());
    QVERIFY(g_settings.IsLoaded());
    QCOMPARE(SettingsGetText(QStringLiteral("unit")), QString(""));
    QVERIFY(SettingsSetText(QStringLiteral("unit"), QStringLiteral("mph")));
    QVERIFY(SettingsSave());
    QCOMPARE(ReadFile(SettingsFilePath(SettingsFolder())),
             Utf16Le(QStringLiteral("[install]\r\nunit = mph\r\n\r\n")));
}

void TestSettings::settingsPersistAcrossLoads()
{
    QVERIFY(SettingsLoad());
    QVERIFY(SettingsSetText(QStringLiteral("unit"), QStringLiteral("mph")));
    QVERIFY(SettingsSave());
    QVERIFY(SettingsSetText(QStringLiteral("playtype"), QStringLiteral("single")));
    QVERIFY(SettingsSave());

    g_settings.LoadEmpty(); // forget everything in memory
    QCOMPARE(SettingsGetText(QStringLiteral("unit")), QString(""));
    QVERIFY(SettingsLoad());
    QCOMPARE(SettingsGetText(QStringLiteral("unit")), QStringLiteral("mph"));
    QCOMPARE(SettingsGetText(QStringLiteral("PLAYTYPE")), QStringLiteral("single"));

    // An explicit folder works the same way.
    const QString other = m_dir->filePath(QStringLiteral("elsewhere"));
    QVERIFY(SettingsSave(other));
    QVERIFY(QFile::exists(QDir(other).filePath(QStringLiteral("kestrav.ini"))));
    // A folder under a plain file cannot be made.
    QVERIFY(WriteFile(m_dir->filePath(QStringLiteral("plain")), "x"));
    QVERIFY(!SettingsSave(m_dir->filePath(QStringLiteral("plain/sub"))));
}

void TestSettings::settingsUnreadableFileStaysUntouched_data()
{
    QTest::addColumn<QByteArray>("content");
    QTest::newRow("1,000,001 bytes") << QByteArray(1000001, 'x');
    QTest::newRow("one byte") << QByteArray("x");
}

void TestSettings::settingsUnreadableFileStaysUntouched()
{
    QFETCH(QByteArray, content);
    QVERIFY(QDir().mkpath(SettingsFolder()));
    const QString path = SettingsFilePath(SettingsFolder());
    QVERIFY(WriteFile(path, content));

    QVERIFY(!SettingsLoad());
    QVERIFY(!g_settings.IsLoaded());
    QCOMPARE(SettingsGetText(QStringLiteral("unit")), QStringLiteral("Error Loading"));
    QVERIFY(!SettingsSetText(QStringLiteral("unit"), QStringLiteral("mph")));
    QVERIFY(!SettingsSave());
    QCOMPARE(ReadFile(path), content);
}

// --- Machine-wide play type ---------------------------------------------------

void TestSettings::playType_data()
{
    QTest::addColumn<bool>("present");
    QTest::addColumn<QString>("stored");
    QTest::addColumn<bool>("single");
    QTest::addColumn<QString>("afterwards");

    QTest::newRow("missing: dual, writes 0") << false << QString() << false << "0";
    QTest::newRow("empty: dual, writes 0") << true << "" << false << "0";
    QTest::newRow("1: single") << true << "1" << true << "1";
    QTest::newRow("0: dual") << true << "0" << false << "0";
    QTest::newRow("2: dual, unchanged") << true << "2" << false << "2";
    QTest::newRow("1 with blank: dual") << true << "1 " << false << "1 ";
}

void TestSettings::playType()
{
    QFETCH(bool, present);
    QFETCH(QString, stored);
    QFETCH(bool, single);
    QFETCH(QString, afterwards);
    const QString subKey(Settings::kNorvaneSubKey);
    const QString name(Settings::kPlayTypeValue);
    if (present)
        QVERIFY(RegWriteString(REG_ROOT_LOCAL_MACHINE, subKey, name, stored));

    QCOMPARE(ReadPlayType() == EPlayType::Single, single);
    QString now;
    QVERIFY(RegReadString(REG_ROOT_LOCAL_MACHINE, subKey, name, now, 260));
    QCOMPARE(now, afterwards);
    // The value lives in the system-scope file of the organisation NORVANE.
    QVERIFY(QFile::exists(m_dir->filePath(QStringLiteral("system-config/NORVANE.conf"))));
}

void TestSettings::playTypeWithoutWriteRights()
{
    // The system folder cannot be created (its parent is a plain file): reads
    // and writes fail quietly and the play type is dual.
    QVERIFY(WriteFile(m_dir->filePath(QStringLiteral("blocker")), "x"));
    QSettings::setPath(QSettings::NativeFormat, QSettings::SystemScope,
                       m_dir->filePath(QStringLiteral("blocker/xdg")));
    const QString subKey(Settings::kNorvaneSubKey);
    QVERIFY(!RegWriteString(REG_ROOT_LOCAL_MACHINE, subKey, QStringLiteral("PLAYTYPE"), QStringLiteral("1")));
    QCOMPARE(ReadPlayType(), EPlayType::Dual);
    QString text = QStringLiteral("stale");
    QVERIFY(!RegReadString(REG_ROOT_LOCAL_MACHINE, subKey, QStringLiteral("PLAYTYPE"), text, 260));
    QVERIFY(text.isEmpty());
    QCOMPARE(ReadFile(m_dir->filePath(QStringLiteral("blocker"))), QByteArray("x"));
}

void TestSettings::regStringRoundTripAndBufferSize()
{
    const QString subKey = QStringLiteral("SOFTWARE\\NORVANE\\Viewer\\");
    QVERIFY(RegWriteString(REG_ROOT_LOCAL_MACHINE, subKey, QStringLiteral("NAME"), QStringLiteral("전방")));
    QString text;
    QVERIFY(RegReadString(REG_ROOT_LOCAL_MACHINE, subKey, QStringLiteral("NAME"), text, 260));
    QCOMPARE(text, QStringLiteral("전방"));
    QVERIFY(QFile::exists(m_dir->filePath(QStringLiteral("system-config/NORVANE/Viewer.conf"))));
    QVERIFY(!RegReadString(REG_ROOT_LOCAL_MACHINE, subKey, QStringLiteral("OTHER"), text, 260));

    // 129 characters and the terminating zero fill 260 bytes; 130 do not fit.
    const QString fits(129, u'a');
    const QString tooLong(130, u'a');
    QVERIFY(RegWriteString(REG_ROOT_LOCAL_MACHINE, subKey, QStringLiteral("FITS"), fits));
    QVERIFY(RegWriteString(REG_ROOT_LOCAL_MACHINE, subKey, QStringLiteral("LONG"), tooLong));
    QVERIFY(RegReadString(REG_ROOT_LOCAL_MACHINE, subKey, QStringLiteral("FITS"), text, 260));
    QCOMPARE(text, fits);
    QVERIFY(!RegReadString(REG_ROOT_LOCAL_MACHINE, subKey, QStringLiteral("LONG"), text, 260));
    QVERIFY(text.isEmpty());
    // A key without an organisation cannot be opened.
    QVERIFY(!RegWriteString(REG_ROOT_LOCAL_MACHINE, QStringLiteral("SOFTWARE\\"), QStringLiteral("X"), QStringLiteral("1")));
}

QTEST_GUILESS_MAIN(TestSettings)
#include "tst_settings.moc"
