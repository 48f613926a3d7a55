// Where the program keeps its user's files: beside itself in a folder the
// user can write to, in the user's data folder otherwise.

#include "appinfo.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>
#include <QTest>

#include <memory>

#include <unistd.h>

class TestAppInfo : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void init();
    void cleanup();
    void dataFolder_data();
    void dataFolder();

private:
    // A fresh one for every row: what one row makes must not show in the next.
    std::unique_ptr<QTemporaryDir> m_root;
    QByteArray m_savedHome;
    QByteArray m_savedDataHome;
    bool m_hadDataHome = false;
};

void TestAppInfo::init()
{
    m_root = std::make_unique<QTemporaryDir>();
    QVERIFY(m_root->isValid());
    m_savedHome = qgetenv("HOME");
    m_hadDataHome = qEnvironmentVariableIsSet("XDG_DATA_HOME");
    m_savedDataHome = qgetenv("XDG_DATA_HOME");
    QVERIFY(QDir(m_root->path()).mkpath(QStringLiteral("home")));
    QVERIFY(QDir(m_root->path()).mkpath(QStringLiteral("program")));
    qputenv("HOME", QFile::encodeName(m_root->filePath(QStringLiteral("home"))));
}

void TestAppInfo::cleanup()
{
    // Give the folder back so that it can be removed.
    QFile::setPermissions(m_root->filePath(QStringLiteral("program")),
                          QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    m_root.reset();
    qputenv("HOME", m_savedHome);
    if (m_hadDataHome)
        qputenv("XDG_DATA_HOME", m_savedDataHome);
    else
        qunsetenv("XDG_DATA_HOME");
}

void TestAppInfo::dataFolder_data()
{
    // program: "writable", "read-only" or "missing"; dataHome: the
    // XDG_DATA_HOME under the temporary root, "" when unset; expected:
    // "program" or the folder under the root; made: whether it exists after.
    QTest::addColumn<QString>("program");
    QTest::addColumn<QString>("dataHome");
    QTest::addColumn<bool>("forWriting");
    QTest::addColumn<QString>("expected");
    QTest::addColumn<bool>("made");

    QTest::newRow("writable program folder, read") << "writable" << "data" << false << "program" << true;
    QTest::newRow("writable program folder, write: no user folder made")
        << "writable" << "data" << true << "program" << true;
    QTest::newRow("read-only program folder, read: nothing made")
        << "read-only" << "data" << false << "data/VantorMsgBoard" << false;
    QTest::newRow("read-only program folder, write: user folder made")
        << "read-only" << "data" << true << "data/VantorMsgBoard" << true;
    QTest::newRow("read-only, deeper data home made whole")
        << "read-only" << "a/b/share" << true << "a/b/share/VantorMsgBoard" << true;
    QTest::newRow("read-only, XDG_DATA_HOME unset")
        << "read-only" << "" << true << "home/.local/share/VantorMsgBoard" << true;
    QTest::newRow("program folder gone") << "missing" << "data" << false << "data/VantorMsgBoard" << false;
}

void TestAppInfo::dataFolder()
{
    QFETCH(QString, program);
    QFETCH(QString, dataHome);
    QFETCH(bool, forWriting);
    QFETCH(QString, expected);
    QFETCH(bool, made);

    QString programFolder = m_root->filePath(QStringLiteral("program"));
    if (program == "read-only") {
        if (::geteuid() == 0)
            QSKIP("root writes to a read-only folder; the package test runs this as another user");
        QVERIFY(QFile::setPermissions(programFolder, QFile::ReadOwner | QFile::ExeOwner));
    } else if (program == "missing") {
        programFolder = m_root->filePath(QStringLiteral("gone"));
    }
    if (dataHome.isEmpty())
        qunsetenv("XDG_DATA_HOME");
    else
        qputenv("XDG_DATA_HOME", QFile::encodeName(m_root->filePath(dataHome)));

    const QString folder = AppInfo::DataFolder(
        programFolder, forWriting ? AppInfo::DataFolderUse::Write : AppInfo::DataFolderUse::Read);

    const QString expectedFolder = expected == "program" ? programFolder : m_root->filePath(expected);
    QCOMPARE(folder, expectedFolder);
    QCOMPARE(QFileInfo(folder).isDir(), made);
    // Beside a writable program nothing is made for the user.
    if (expected == "program")
        QVERIFY(!QFileInfo::exists(m_root->filePath(dataHome + "/VantorMsgBoard")));
}

QTEST_GUILESS_MAIN(TestAppInfo)
#include "tst_appinfo.moc"
