#include "fieldtext.h"
#include "filesizelimit.h"
#include "placement.h"
#include "settings.h"
#include "settingsstore.h"

#include <QDir>
#include <QFile>
#include <QSettings>
#include <QTemporaryDir>
#include <QTest>

#include <cerrno>
#include <cstring>
#include <optional>

namespace {

const QString Section = QStringLiteral("Settings");
const QStringList AllKeys = {
    QStringLiteral("MainLeft"),     QStringLiteral("MainTop"),    QStringLiteral("CurMsgText"),
    QStringLiteral("BoardNumText"), QStringLiteral("BrightText"), QStringLiteral("PresentIndex"),
};
constexpr int PresentCount = 6;

// A window whose every value equals its key's comparison default, so that
// saving it into an empty store writes nothing.
WindowSnapshot DefaultWindow()
{
    WindowSnapshot window;
    window.left = -500;
    window.top = -500;
    window.fields = {QString(), QStringLiteral("0"), QStringLiteral("99"), 0};
    return window;
}

QByteArray ReadFile(const QString &path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return {};
    return file.readAll();
}

bool WriteFile(const QString &path, const QByteArray &bytes)
{
    QFile file(path);
    return file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size();
}

// The raw value of a key as a fresh reader of the file sees it; nullopt when
// the key is absent.
std::optional<QString> StoredValue(const QString &path, const QString &key)
{
    const QSettings reader(path, QSettings::IniFormat);
    const QString keyPath = Section + QLatin1Char('/') + key;
    if (!reader.contains(keyPath))
        return std::nullopt;
    return reader.value(keyPath).toString();
}

} // namespace

class TestSettings : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void initTestCase();
    void init();

    void userStoreLivesInTheConfigFolder();
    void textsRoundTripExactly_data();
    void textsRoundTripExactly();
    void handWrittenTextIsTakenAsWritten_data();
    void handWrittenTextIsTakenAsWritten();

    void firstRunGivesDefaults();
    void restoresStoredValues();
    void unusablePositionFallsBack_data();
    void unusablePositionFallsBack();
    void unusableIndexFallsBack_data();
    void unusableIndexFallsBack();

    void savesOnlyWhatChanged_data();
    void savesOnlyWhatChanged();
    void firstRunAtDefaultsCreatesNoFile();
    void unchangedSaveLeavesFileUntouched();
    void minimizedWindowKeepsOldPosition();
    void overlongTextFallsBackToDefault_data();
    void overlongTextFallsBackToDefault();
    void failedFlushSaysWhy_data();
    void failedFlushSaysWhy();
    void damagedStoreIsRewritten_data();
    void damagedStoreIsRewritten();

private:
    QTemporaryDir m_configHome;
    std::optional<QTemporaryDir> m_dir;
    QString m_path;
};

void TestSettings::initTestCase()
{
    // Before any store is opened: the user's store of this process then lives
    // in a throw-away folder, never in the real one.
    QVERIFY(m_configHome.isValid());
    qputenv("HOME", QFile::encodeName(m_configHome.path()));
    qputenv("XDG_CONFIG_HOME", QFile::encodeName(m_configHome.filePath(QStringLiteral("config"))));
}

void TestSettings::init()
{
    m_dir.emplace();
    QVERIFY(m_dir->isValid());
    m_path = m_dir->filePath(QStringLiteral("settings.conf"));
}

void TestSettings::userStoreLivesInTheConfigFolder()
{
    const QString expected = m_configHome.filePath(QStringLiteral("config/VantorMsgBoard.conf"));
    {
        SettingsStore store;
        store.SaveSetting(Section, QStringLiteral("BrightText"), QStringLiteral("42"));
        QVERIFY(store.Flush());
    }
    QVERIFY2(QFile::exists(expected), qPrintable(expected));
    QCOMPARE(StoredValue(expected, QStringLiteral("BrightText")), QStringLiteral("42"));

    const SettingsStore reopened;
    QCOMPARE(reopened.GetSetting(Section, QStringLiteral("BrightText"), QString()),
             QStringLiteral("42"));
}

void TestSettings::textsRoundTripExactly_data()
{
    QTest::addColumn<QString>("text");

    QTest::newRow("empty") << QString();
    QTest::newRow("commas") << QStringLiteral("one, two,three");
    QTest::newRow("a single comma") << QStringLiteral(",");
    QTest::newRow("double quotes") << QStringLiteral("say \"hi\" \"");
    QTest::newRow("equals signs") << QStringLiteral("a=b==c");
    QTest::newRow("spaces around") << QStringLiteral("  padded  ");
    QTest::newRow("only spaces") << QStringLiteral("   ");
    QTest::newRow("backslashes") << QStringLiteral("C:\\temp\\n\\\\x");
    QTest::newRow("latin-1") << QStringLiteral("Grüße, café ½");
    QTest::newRow("beyond latin-1") << QStringLiteral("€ Ω 東京 \U0001F600");
    QTest::newRow("comment characters") << QStringLiteral("; not # a comment");
    QTest::newRow("section look-alike") << QStringLiteral("[Settings]");
    QTest::newRow("variant look-alike") << QStringLiteral("@Variant(\\0\\0\\0\\x7f)");
    QTest::newRow("at signs") << QStringLiteral("@@x");
    QTest::newRow("tab") << QStringLiteral("a\tb");
}

void TestSettings::textsRoundTripExactly()
{
    QFETCH(QString, text);

    {
        SettingsStore writer(m_path);
        writer.SaveSetting(Section, QStringLiteral("CurMsgText"), text);
        QVERIFY(writer.Flush());
    }
    const SettingsStore reader(m_path);
    const QString read =
        reader.GetSetting(Section, QStringLiteral("CurMsgText"), QStringLiteral("<absent>"));
    QCOMPARE(read, text);
}

void TestSettings::handWrittenTextIsTakenAsWritten_data()
{
    QTest::addColumn<QByteArray>("file");
    QTest::addColumn<QString>("text");

    QTest::newRow("comma and space") << QByteArray("[Settings]\nCurMsgText=hello, world\n")
                                     << "hello, world";
    QTest::newRow("spaces kept inside, dropped outside")
        << QByteArray("[Settings]\r\nCurMsgText = \ta ,  b \r\n") << "a ,  b";
    QTest::newRow("a comma alone") << QByteArray("[Settings]\nCurMsgText=,") << ",";
    QTest::newRow("the key of another section passed over")
        << QByteArray("[Other]\nCurMsgText=x, y\n[Settings]\nBrightText=5\nCurMsgText=y,,z\n")
        << "y,,z";
    QTest::newRow("quoted items are the library's to read")
        << QByteArray("[Settings]\nCurMsgText=\"a\", \"b\"\n") << "a, b";
}

void TestSettings::handWrittenTextIsTakenAsWritten()
{
    QFETCH(QByteArray, file);
    QFETCH(QString, text);
    QVERIFY(WriteFile(m_path, file));

    QCOMPARE(RestoreFields(SettingsStore(m_path), PresentCount).curMsgText, text);
}

void TestSettings::firstRunGivesDefaults()
{
    const SettingsStore store(m_path);

    const StoredPosition position = RestorePosition(store);
    QCOMPARE(position.left, -401.0f);
    QCOMPARE(position.top, -401.0f);
    const QSizeF screen(28800, 16200);
    const QPointF placed = PlaceWindow(position.left, position.top, QSizeF(10290, 2070), screen);
    QCOMPARE(placed, QPointF(9255, 7065));

    const FieldValues fields = RestoreFields(store, PresentCount);
    QCOMPARE(fields.curMsgText, QString());
    QCOMPARE(fields.boardNumText, QStringLiteral("0"));
    QCOMPARE(fields.brightText, QStringLiteral("99"));
    QCOMPARE(fields.presentIndex, std::int16_t(0));
}

void TestSettings::restoresStoredValues()
{
    QVERIFY(WriteFile(m_path, "[Settings]\n"
                              "MainLeft=-400\n"
                              "MainTop=1215\n"
                              "CurMsgText=\"  Sale Today, 50% off  \"\n"
                              "BoardNumText=\" 007\"\n"
                              "BrightText=abc\n"
                              "PresentIndex=3\n"));
    const SettingsStore store(m_path);

    const StoredPosition position = RestorePosition(store);
    QCOMPARE(position.left, -400.0f);
    QCOMPARE(position.top, 1215.0f);

    // Texts come back as stored: not trimmed, not checked.
    const FieldValues fields = RestoreFields(store, PresentCount);
    QCOMPARE(fields.curMsgText, QStringLiteral("  Sale Today, 50% off  "));
    QCOMPARE(fields.boardNumText, QStringLiteral(" 007"));
    QCOMPARE(fields.brightText, QStringLiteral("abc"));
    QCOMPARE(fields.presentIndex, std::int16_t(3));
}

void TestSettings::unusablePositionFallsBack_data()
{
    QTest::addColumn<QByteArray>("stored");
    QTest::addColumn<float>("expected");

    QTest::newRow("letters") << QByteArray("abc") << -401.0f;
    QTest::newRow("empty") << QByteArray("") << -401.0f;
    QTest::newRow("too large for single precision") << QByteArray("1e99") << -401.0f;
    QTest::newRow("infinity") << QByteArray("inf") << -401.0f;
    QTest::newRow("not a number") << QByteArray("nan") << -401.0f;
    QTest::newRow("number then letters") << QByteArray("12abc") << -401.0f;
    QTest::newRow("fraction is a number") << QByteArray("3.5") << 3.5f;
    QTest::newRow("exponent is a number") << QByteArray("1e3") << 1000.0f;
    QTest::newRow("negative") << QByteArray("-1234") << -1234.0f;
}

void TestSettings::unusablePositionFallsBack()
{
    QFETCH(QByteArray, stored);
    QFETCH(float, expected);

    QVERIFY(WriteFile(m_path, "[Settings]\nMainLeft=" + stored + "\nMainTop=" + stored
                                  + "\nBoardNumText=12\n"));
    const SettingsStore store(m_path);

    const StoredPosition position = RestorePosition(store);
    QCOMPARE(position.left, expected);
    QCOMPARE(position.top, expected);
    // The load goes on with the fields.
    QCOMPARE(RestoreFields(store, PresentCount).boardNumText, QStringLiteral("12"));
}

void TestSettings::unusableIndexFallsBack_data()
{
    QTest::addColumn<QByteArray>("stored");
    QTest::addColumn<int>("expected");

    QTest::newRow("fourth entry") << QByteArray("3") << 3;
    QTest::newRow("last entry") << QByteArray("5") << 5;
    QTest::newRow("nothing selected") << QByteArray("-1") << -1;
    QTest::newRow("one past the list") << QByteArray("6") << 0;
    QTest::newRow("far past the list") << QByteArray("7") << 0;
    QTest::newRow("below -1") << QByteArray("-2") << 0;
    QTest::newRow("letters") << QByteArray("abc") << 0;
    QTest::newRow("empty") << QByteArray("") << 0;
    QTest::newRow("fraction") << QByteArray("3.5") << 0;
    QTest::newRow("beyond 16 bits") << QByteArray("65539") << 0;
    QTest::newRow("exponent") << QByteArray("1e99") << 0;
}

void TestSettings::unusableIndexFallsBack()
{
    QFETCH(QByteArray, stored);
    QFETCH(int, expected);

    QVERIFY(WriteFile(m_path, "[Settings]\nBrightText=50\nPresentIndex=" + stored + "\n"));
    const SettingsStore store(m_path);

    const FieldValues fields = RestoreFields(store, PresentCount);
    QCOMPARE(int(fields.presentIndex), expected);
    QCOMPARE(fields.brightText, QStringLiteral("50"));
}

// Each row starts from a store holding at most the one key under test and a
// window at the comparison defaults but for that key's value; after the save
// the key holds `expected` (or is still absent) and no other key exists.
void TestSettings::savesOnlyWhatChanged_data()
{
    QTest::addColumn<QString>("key");
    QTest::addColumn<QString>("stored"); // null: absent
    QTest::addColumn<QString>("current");
    QTest::addColumn<QString>("expected"); // null: still absent

    const QString absent;
    const QString empty = QStringLiteral("");

    QTest::newRow("left at -500, key absent") << "MainLeft" << absent << "-500" << absent;
    QTest::newRow("left at -501, key absent") << "MainLeft" << absent << "-501" << "-501";
    QTest::newRow("left at -401, key absent") << "MainLeft" << absent << "-401" << "-401";
    QTest::newRow("left unchanged") << "MainLeft" << "1200" << "1200" << "1200";
    QTest::newRow("left moved") << "MainLeft" << "1200" << "1215" << "1215";
    QTest::newRow("left compared as a number") << "MainLeft" << "1200.0" << "1200" << "1200.0";
    QTest::newRow("left stored as letters is replaced") << "MainLeft" << "abc" << "-500" << "-500";
    QTest::newRow("top at -500, key absent") << "MainTop" << absent << "-500" << absent;
    QTest::newRow("top moved") << "MainTop" << "0" << "-15" << "-15";

    QTest::newRow("message empty, key absent") << "CurMsgText" << absent << empty << absent;
    QTest::newRow("message typed, key absent") << "CurMsgText" << absent << "Hello" << "Hello";
    QTest::newRow("message case differs") << "CurMsgText" << "Hello" << "hello" << "hello";
    QTest::newRow("message trailing space") << "CurMsgText" << "Hello" << "Hello " << "Hello ";
    QTest::newRow("message cleared") << "CurMsgText" << "Hello" << empty << empty;
    QTest::newRow("message unchanged with spaces")
        << "CurMsgText" << "  A, B  " << "  A, B  " << "  A, B  ";

    QTest::newRow("board number 0, key absent") << "BoardNumText" << absent << "0" << absent;
    QTest::newRow("board number 00, key absent") << "BoardNumText" << absent << "00" << "00";
    QTest::newRow("board number rejected text") << "BoardNumText" << absent << " 1x " << " 1x ";
    QTest::newRow("board number back to 0") << "BoardNumText" << "12" << "0" << "0";

    QTest::newRow("brightness 99, key absent") << "BrightText" << absent << "99" << absent;
    QTest::newRow("brightness 099, key absent") << "BrightText" << absent << "099" << "099";
    QTest::newRow("brightness unchanged") << "BrightText" << "75" << "75" << "75";

    QTest::newRow("index 0, key absent") << "PresentIndex" << absent << "0" << absent;
    QTest::newRow("index 3, key absent") << "PresentIndex" << absent << "3" << "3";
    QTest::newRow("index none selected") << "PresentIndex" << "3" << "-1" << "-1";
    QTest::newRow("index compared as a number") << "PresentIndex" << "03" << "3" << "03";
    QTest::newRow("index stored as letters is replaced") << "PresentIndex" << "abc" << "0" << "0";
}

void TestSettings::savesOnlyWhatChanged()
{
    QFETCH(QString, key);
    QFETCH(QString, stored);
    QFETCH(QString, current);
    QFETCH(QString, expected);

    if (!stored.isNull()) {
        SettingsStore seed(m_path);
        seed.SaveSetting(Section, key, stored);
        QVERIFY(seed.Flush());
    }

    WindowSnapshot window = DefaultWindow();
    if (key == QLatin1String("MainLeft"))
        window.left = current.toInt();
    else if (key == QLatin1String("MainTop"))
        window.top = current.toInt();
    else if (key == QLatin1String("CurMsgText"))
        window.fields.curMsgText = current;
    else if (key == QLatin1String("BoardNumText"))
        window.fields.boardNumText = current;
    else if (key == QLatin1String("BrightText"))
        window.fields.brightText = current;
    else
        window.fields.presentIndex = static_cast<std::int16_t>(current.toShort());

    {
        SettingsStore store(m_path);
        StoreChangedSettings(store, window);
        QVERIFY(store.Flush());
    }

    for (const QString &each : AllKeys) {
        const std::optional<QString> value = StoredValue(m_path, each);
        if (each != key) {
            QVERIFY2(!value, qPrintable(each + QLatin1String(" was written")));
        } else if (expected.isNull()) {
            QVERIFY2(!value, qPrintable(each + QLatin1String(" was written")));
        } else {
            QVERIFY2(value, qPrintable(each + QLatin1String(" is missing")));
            QCOMPARE(*value, expected);
        }
    }
}

void TestSettings::firstRunAtDefaultsCreatesNoFile()
{
    {
        SettingsStore store(m_path);
        StoreChangedSettings(store, DefaultWindow());
        QVERIFY(store.Flush());
    }
    QVERIFY(!QFile::exists(m_path));
}

void TestSettings::unchangedSaveLeavesFileUntouched()
{
    // A comment and loose spacing: any rewrite of the file would lose both.
    const QByteArray original = "; kept by hand\n"
                                "[Settings]\n"
                                "MainLeft = 1200\n"
                                "MainTop=300\n"
                                "CurMsgText=\"  Hello, World  \"\n"
                                "BoardNumText=7\n"
                                "BrightText=50\n"
                                "PresentIndex=2\n";
    QVERIFY(WriteFile(m_path, original));

    WindowSnapshot window;
    window.left = 1200;
    window.top = 300;
    window.fields = {QStringLiteral("  Hello, World  "), QStringLiteral("7"),
                     QStringLiteral("50"), 2};
    {
        SettingsStore store(m_path);
        StoreChangedSettings(store, window);
        QVERIFY(store.Flush());
    }
    QCOMPARE(ReadFile(m_path), original);

    // One change does reach the file.
    window.fields.brightText = QStringLiteral("51");
    {
        SettingsStore store(m_path);
        StoreChangedSettings(store, window);
        QVERIFY(store.Flush());
    }
    QVERIFY(ReadFile(m_path) != original);
    QCOMPARE(StoredValue(m_path, QStringLiteral("BrightText")), QStringLiteral("51"));
    QCOMPARE(StoredValue(m_path, QStringLiteral("CurMsgText")), QStringLiteral("  Hello, World  "));
}

void TestSettings::minimizedWindowKeepsOldPosition()
{
    QVERIFY(WriteFile(m_path, "[Settings]\nMainLeft=1200\nMainTop=300\n"));

    WindowSnapshot window = DefaultWindow();
    window.minimized = true;
    window.left = -32000;
    window.top = -32000;
    window.fields.boardNumText = QStringLiteral("12");
    window.fields.presentIndex = 4;
    {
        SettingsStore store(m_path);
        StoreChangedSettings(store, window);
        QVERIFY(store.Flush());
    }
    QCOMPARE(StoredValue(m_path, QStringLiteral("MainLeft")), QStringLiteral("1200"));
    QCOMPARE(StoredValue(m_path, QStringLiteral("MainTop")), QStringLiteral("300"));
    QCOMPARE(StoredValue(m_path, QStringLiteral("BoardNumText")), QStringLiteral("12"));
    QCOMPARE(StoredValue(m_path, QStringLiteral("PresentIndex")), QStringLiteral("4"));
}

void TestSettings::overlongTextFallsBackToDefault_data()
{
    QTest::addColumn<QString>("key");
    QTest::addColumn<int>("length");
    QTest::addColumn<QString>("expected"); // "stored" for the text as stored

    QTest::newRow("message at the bound") << "CurMsgText" << FieldTextLimit << "stored";
    QTest::newRow("message one past") << "CurMsgText" << FieldTextLimit + 1 << "";
    QTest::newRow("board number one past") << "BoardNumText" << FieldTextLimit + 1 << "0";
    QTest::newRow("brightness far past") << "BrightText" << 4 * FieldTextLimit << "99";
    QTest::newRow("board number past 32767") << "BoardNumText" << 40000 << "stored";
}

void TestSettings::overlongTextFallsBackToDefault()
{
    QFETCH(QString, key);
    QFETCH(int, length);
    QFETCH(QString, expected);

    const QString stored(length, u'7');
    {
        QSettings writer(m_path, QSettings::IniFormat);
        writer.setValue(Section + u'/' + key, stored);
    }
    const FieldValues fields = RestoreFields(SettingsStore(m_path), PresentCount);
    const QString restored = key == "CurMsgText" ? fields.curMsgText
        : key == "BoardNumText"                  ? fields.boardNumText
                                                 : fields.brightText;
    QCOMPARE(restored.size(), expected == "stored" ? length : expected.size());
    QCOMPARE(restored, expected == "stored" ? stored : expected);
}

void TestSettings::failedFlushSaysWhy_data()
{
    QTest::addColumn<QString>("cause");
    QTest::addColumn<int>("error");

    // Permission bits do not stop root, so each cause is one that does.
    QTest::newRow("file size limit reached") << "size limit" << EFBIG;
    QTest::newRow("file size limit below a store that is there") << "size limit, store there" << EFBIG;
    QTest::newRow("folder not writable") << "read-only folder" << EACCES;
    QTest::newRow("folder is a regular file") << "file as folder" << ENOTDIR;
    QTest::newRow("a folder in the file's place") << "folder as file" << EISDIR;
}

void TestSettings::failedFlushSaysWhy()
{
    QFETCH(QString, cause);
    QFETCH(int, error);

    QString path = m_path;
    if (cause == "read-only folder") {
        // The kernel's own folder refuses new files even to root.
        path = QStringLiteral("/sys/VantorMsgBoard-test.conf");
    } else if (cause == "size limit, store there") {
        QVERIFY(WriteFile(path, "[Settings]\nBrightText=" + QByteArray(150, '7') + '\n'));
    } else if (cause == "folder as file") {
        QVERIFY(QDir(m_dir->path()).mkdir(QStringLiteral("settings.conf")));
    } else if (cause == "file as folder") {
        QVERIFY(WriteFile(m_dir->filePath("plain"), "not a folder"));
        path = m_dir->filePath("plain/settings.conf");
    }

    SettingsStore store(path);
    store.SaveSetting(Section, QStringLiteral("CurMsgText"), QString(200, u'm'));
    bool flushed = true;
    if (cause.startsWith("size limit")) {
        const FileSizeLimit fullDisk(16);
        QVERIFY(fullDisk.IsApplied());
        flushed = store.Flush();
    } else {
        flushed = store.Flush();
    }

    QVERIFY(!flushed);
    QCOMPARE(store.FilePath(), path);
    QCOMPARE(store.WriteError(), QString::fromLocal8Bit(std::strerror(error)));
    // The probe leaves nothing behind.
    QCOMPARE(QDir(m_dir->path()).entryList(QDir::Files | QDir::Hidden | QDir::Dirs | QDir::NoDotAndDotDot),
             cause == "file as folder"   ? QStringList{"plain"}
                 : cause == "folder as file" || cause == "size limit, store there" ? QStringList{"settings.conf"}
                                             : QStringList{});
}

void TestSettings::damagedStoreIsRewritten_data()
{
    QTest::addColumn<bool>("diskFull");
    QTest::newRow("room to write") << false;
    QTest::newRow("disk full") << true;
}

void TestSettings::damagedStoreIsRewritten()
{
    QFETCH(bool, diskFull);
    // A byte that is no UTF-8 leaves the store's reader with a format error.
    QVERIFY(WriteFile(m_path, "\xb1"));

    SettingsStore store(m_path);
    store.SaveSetting(Section, QStringLiteral("CurMsgText"), QString(200, u'm'));
    bool flushed = false;
    if (diskFull) {
        const FileSizeLimit fullDisk(16);
        QVERIFY(fullDisk.IsApplied());
        flushed = store.Flush();
    } else {
        flushed = store.Flush();
    }

    // The damage read earlier is no failure of this write; a full disk is.
    QCOMPARE(flushed, !diskFull);
    QCOMPARE(store.WriteError().isEmpty(), !diskFull);
    if (!diskFull)
        QCOMPARE(StoredValue(m_path, QStringLiteral("CurMsgText")), QString(200, u'm'));
}

QTEST_GUILESS_MAIN(TestSettings)
#include "tst_settings.moc"
