#include "portnaming.h"
#include "ptypair.h"

#include <QTest>

#include <optional>

namespace {

// Sets or unsets an environment variable for one test and puts it back.
class ScopedEnvironment
{
public:
    ScopedEnvironment(const char *name, const std::optional<QByteArray> &value)
        : m_name(name), m_hadValue(qEnvironmentVariableIsSet(name)), m_previous(qgetenv(name))
    {
        if (value)
            qputenv(name, *value);
        else
            qunsetenv(name);
    }
    ~ScopedEnvironment()
    {
        if (m_hadValue)
            qputenv(m_name, m_previous);
        else
            qunsetenv(m_name);
    }
    ScopedEnvironment(const ScopedEnvironment &) = delete;
    ScopedEnvironment &operator=(const ScopedEnvironment &) = delete;

private:
    const char *const m_name;
    const bool m_hadValue;
    const QByteArray m_previous;
};

} // namespace

class TestPortNaming : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void findsTheLinksFolder_data();
    void findsTheLinksFolder();
    void namesTheDevice_data();
    void namesTheDevice();
};

void TestPortNaming::findsTheLinksFolder_data()
{
    QTest::addColumn<std::optional<QByteArray>>("configHome");
    QTest::addColumn<QString>("linkPath");

    const QString fallback = QStringLiteral("/home/operator/.config/VantorMsgBoard/ports/com3");
    QTest::newRow("absolute config home") << std::optional<QByteArray>("/srv/conf")
                                          << "/srv/conf/VantorMsgBoard/ports/com3";
    QTest::newRow("unset") << std::optional<QByteArray>() << fallback;
    QTest::newRow("empty") << std::optional<QByteArray>("") << fallback;
    QTest::newRow("relative") << std::optional<QByteArray>("conf") << fallback;
}

void TestPortNaming::findsTheLinksFolder()
{
    QFETCH(std::optional<QByteArray>, configHome);
    QFETCH(QString, linkPath);
    const ScopedEnvironment home("HOME", QByteArray("/home/operator"));
    const ScopedEnvironment config("XDG_CONFIG_HOME", configHome);

    QCOMPARE(PortLinkPath(3), linkPath);
}

void TestPortNaming::namesTheDevice_data()
{
    QTest::addColumn<int>("port");
    QTest::addColumn<QString>("linkTarget");
    QTest::addColumn<QString>("devicePath");

    QTest::newRow("port 1 without a link") << 1 << QString() << "/dev/ttyS0";
    QTest::newRow("port 12 without a link") << 12 << QString() << "/dev/ttyS11";
    QTest::newRow("largest port") << 32767 << QString() << "/dev/ttyS32766";
    QTest::newRow("linked port") << 3 << "/dev/null" << "<link>";
    QTest::newRow("link to nothing still names the link") << 3 << "/dev/vmb-gone" << "<link>";
    QTest::newRow("port 0 names no device") << 0 << QString() << QString();
    QTest::newRow("negative port names no device") << -1 << QString() << QString();
}

void TestPortNaming::namesTheDevice()
{
    QFETCH(int, port);
    QFETCH(QString, linkTarget);
    QFETCH(QString, devicePath);
    const TempConfigHome home;
    // A link for a neighbouring port must not be taken for this one.
    QVERIFY(home.linkPort(port + 1, QStringLiteral("/dev/null")));
    if (!linkTarget.isEmpty())
        QVERIFY(home.linkPort(port, linkTarget));
    if (devicePath == QLatin1String("<link>"))
        devicePath = home.path() + QStringLiteral("/VantorMsgBoard/ports/com%1").arg(port);

    QCOMPARE(PortDevicePath(port), devicePath);
    QCOMPARE(HasPortLink(port), !linkTarget.isEmpty());
}

QTEST_GUILESS_MAIN(TestPortNaming)
#include "tst_portnaming.moc"
