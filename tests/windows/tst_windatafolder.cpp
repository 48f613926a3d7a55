// Where the program keeps its user's files on Windows, decided by trying to
// create a file: the runtime's access() says yes to Program Files.

#include "appinfo.h"

#include <QDir>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>

class TestWinDataFolder : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void initTestCase();
    void dataFolder_data();
    void dataFolder();
};

void TestWinDataFolder::initTestCase()
{
    QStandardPaths::setTestModeEnabled(true);
}

void TestWinDataFolder::dataFolder_data()
{
    QTest::addColumn<QString>("program");
    QTest::addColumn<bool>("forWriting");
    QTest::addColumn<bool>("beside");

    QTest::newRow("writable, read") << "writable" << false << true;
    QTest::newRow("writable, write") << "writable" << true << true;
    QTest::newRow("refuses new files, read") << "unwritable" << false << false;
    QTest::newRow("refuses new files, write") << "unwritable" << true << false;
    QTest::newRow("gone") << "missing" << true << false;
}

void TestWinDataFolder::dataFolder()
{
    QFETCH(QString, program);
    QFETCH(bool, forWriting);
    QFETCH(bool, beside);

    const QTemporaryDir root;
    QVERIFY(root.isValid());
    QString programFolder = root.path();
    if (program == QLatin1String("unwritable")) {
        // The runner names a folder that takes no new file whoever asks.
        programFolder = qEnvironmentVariable("VMB_UNWRITABLE_FOLDER");
        QVERIFY2(QFileInfo(programFolder).isDir(), "VMB_UNWRITABLE_FOLDER names no folder");
    } else if (program == QLatin1String("missing")) {
        programFolder = root.filePath(QStringLiteral("gone"));
    }
    const QString userFolder = QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation)
        + QLatin1Char('/') + QLatin1String(AppInfo::Title);
    QDir(userFolder).removeRecursively();

    const QString folder = AppInfo::DataFolder(
        programFolder, forWriting ? AppInfo::DataFolderUse::Write : AppInfo::DataFolderUse::Read);

    QCOMPARE(folder, beside ? programFolder : userFolder);
    QCOMPARE(QFileInfo(userFolder).isDir(), !beside && forWriting);
    // The trial file goes again.
    if (program == QLatin1String("writable"))
        QCOMPARE(QDir(programFolder).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot),
                 QStringList());
}

QTEST_GUILESS_MAIN(TestWinDataFolder)
#include "tst_windatafolder.moc"
