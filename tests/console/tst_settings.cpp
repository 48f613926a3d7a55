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

// Saves the window into the store at `path`, as shut-down does.
[[nodiscard]] bool SaveWindow(const QString &path, const WindowSnapshot &window)
{
    SettingsStore store(path);
    StoreChangedSettings(store, window);
    return store.Flush();
}

// Flushes the store, under a file size limit of a few bytes (a full disk)
// when `diskFull` is set.
[[nodiscard]] bool Flush(SettingsStore &store, bool diskFull)
{
    if (!diskFull)
        return store.Flush();
    const FileSizeLimit fullDisk(16);
    return fullDisk.IsApplied() && store.Flush();
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

    void restoresWhatWasStored_data();
    void restoresWhatWasStored();

    void savesOnlyWhatChanged_data();
    void savesOnlyWhatChanged();
    void unchangedSaveLeavesFileUntouched();
    void minimizedWindowKeepsOldPosition();
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
    QTest::newRow("a byte that is no UTF-8")
        << QByteArray("[Settings]\nCurMsgText=a, b\xf1\n") << QStringLiteral("a, b\uFFFD");
}

void TestSettings::handWrittenTextIsTakenAsWritten()
{
    QFETCH(QByteArray, file);
    QFETCH(QString, text);
    QVERIFY(WriteFile(m_path, file));

    QCOMPARE(RestoreFields(SettingsStore(m_path), PresentCount).curMsgText, text);
    // Saved after the window moved, the file is rewritten; the text stays.
    {
        SettingsStore store(m_path);
        WindowSnapshot window;
        window.fields = RestoreFields(store, PresentCount);
        window.left = 15;
        window.top = 30;
        StoreChangedSettings(store, window);
        QVERIFY(store.Flush());
    }
    QCOMPARE(RestoreFields(SettingsStore(m_path), PresentCount).curMsgText, text);
}

void TestSettings::restoresWhatWasStored_data()
{
    QTest::addColumn<QByteArray>("file");  // null: no file yet
    QTest::addColumn<float>("left");
    QTest::addColumn<float>("top");
    QTest::addColumn<QString>("curMsgText");
    QTest::addColumn<QString>("boardNumText");
    QTest::addColumn<QString>("brightText");
    QTest::addColumn<int>("presentIndex");

    QTest::newRow("first run: defaults") << QByteArray() << -401.0f << -401.0f << "" << "0" << "99" << 0;
    // Texts come back as stored: not trimmed, not checked.
    QTest::newRow("every value as stored")
        << QByteArray("[Settings]\nMainLeft=-400\nMainTop=1215\nCurMsgText=\"  Sale Today, 50% off  \"\n"
                      "BoardNumText=\" 007\"\nBrightText=abc\nPresentIndex=3\n")
        << -400.0f << 1215.0f << "  Sale Today, 50% off  " << " 007" << "abc" << 3;

    // An unusable position falls back, and the load goes on with the fields.
    const QList<std::pair<const char *, float>> positions = {
        {"abc", -401.0f}, {"", -401.0f},   {"1e99", -401.0f}, {"inf", -401.0f},     {"nan", -401.0f},
        {"12abc", -401.0f}, {"3.5", 3.5f}, {"1e3", 1000.0f},  {"-1234", -1234.0f},
    };
    for (const auto &[stored, expected] : positions) {
        QTest::addRow("position \"%s\"", stored)
            << "[Settings]\nMainLeft=" + QByteArray(stored) + "\nMainTop=" + stored + "\nBoardNumText=12\n"
            << expected << expected << "" << "12" << "99" << 0;
    }
    // Six presentations: -1 (none) to 5; anything else is the first.
    const QList<std::pair<const char *, int>> indexes = {
        {"3", 3}, {"5", 5}, {"-1", -1}, {"6", 0},   {"7", 0},     {"-2", 0},
        {"abc", 0}, {"", 0}, {"3.5", 0}, {"65539", 0}, {"1e99", 0},
    };
    for (const auto &[stored, expected] : indexes) {
        QTest::addRow("presentation \"%s\"", stored)
            << "[Settings]\nBrightText=50\nPresentIndex=" + QByteArray(stored) + '\n' << -401.0f << -401.0f
            << "" << "0" << "50" << expected;
    }
    // A text longer than its field holds falls back to the default.
    const auto stored = [](const char *key, int length) {
        return "[Settings]\n" + QByteArray(key) + '=' + QByteArray(length, '7') + '\n';
    };
    const QString longest(FieldTextLimit, u'7');
    QTest::newRow("message at the bound")
        << stored("CurMsgText", FieldTextLimit) << -401.0f << -401.0f << longest << "0" << "99" << 0;
    QTest::newRow("message one past")
        << stored("CurMsgText", FieldTextLimit + 1) << -401.0f << -401.0f << "" << "0" << "99" << 0;
    QTest::newRow("board number one past")
        << stored("BoardNumText", FieldTextLimit + 1) << -401.0f << -401.0f << "" << "0" << "99" << 0;
    QTest::newRow("brightness far past")
        << stored("BrightText", 4 * FieldTextLimit) << -401.0f << -401.0f << "" << "0" << "99" << 0;
    QTest::newRow("board number past 32767")
        << stored("BoardNumText", 40000) << -401.0f << -401.0f << "" << QString(40000, u'7') << "99" << 0;
}

void TestSettings::restoresWhatWasStored()
{
    QFETCH(QByteArray, file);
    QFETCH(float, left);
    QFETCH(float, top);
    QFETCH(QString, curMsgText);
    QFETCH(QString, boardNumText);
    QFETCH(QString, brightText);
    QFETCH(int, presentIndex);
    if (!file.isNull())
        QVERIFY(WriteFile(m_path, file));
    const SettingsStore store(m_path);

    const StoredPosition position = RestorePosition(store);
    QCOMPARE(position.left, left);
    QCOMPARE(position.top, top);
    const FieldValues fields = RestoreFields(store, PresentCount);
    QCOMPARE(fields.curMsgText, curMsgText);
    QCOMPARE(fields.boardNumText, boardNumText);
    QCOMPARE(fields.brightText, brightText);
    QCOMPARE(int(fields.presentIndex), presentIndex);
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

    QVERIFY(SaveWindow(m_path, window));

    // A first run at the defaults creates no file at all.
    if (stored.isNull() && expected.isNull())
        QVERIFY(!QFile::exists(m_path));
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
    QVERIFY(SaveWindow(m_path, window));
    QCOMPARE(ReadFile(m_path), original);

    // One change does reach the file.
    window.fields.brightText = QStringLiteral("51");
    QVERIFY(SaveWindow(m_path, window));
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
    QVERIFY(SaveWindow(m_path, window));
    QCOMPARE(StoredValue(m_path, QStringLiteral("MainLeft")), QStringLiteral("1200"));
    QCOMPARE(StoredValue(m_path, QStringLiteral("MainTop")), QStringLiteral("300"));
    QCOMPARE(StoredValue(m_path, QStringLiteral("BoardNumText")), QStringLiteral("12"));
    QCOMPARE(StoredValue(m_path, QStringLiteral("PresentIndex")), QStringLiteral("4"));
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

    QVERIFY(!Flush(store, cause.startsWith("size limit")));
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

    // The damage read earlier is no failure of this write; a full disk is.
    QCOMPARE(Flush(store, diskFull), !diskFull);
    QCOMPARE(store.WriteError().isEmpty(), !diskFull);
    if (!diskFull)
        QCOMPARE(StoredValue(m_path, QStringLiteral("CurMsgText")), QString(200, u'm'));
}

QTEST_GUILESS_MAIN(TestSettings)
#include "tst_settings.moc"
