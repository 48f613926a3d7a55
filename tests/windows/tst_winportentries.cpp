// The serial servers stored for ports on Windows are listed with the ports,
// as links are elsewhere.
#include "portlisting.h"
#include "portnaming.h"

#include <QTest>

class TestWinPortEntries : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void storedServersAreListed();
};

void TestWinPortEntries::storedServersAreListed()
{
    QVERIFY(SetPortEntry(7, QStringLiteral("tcp://127.0.0.1:4001")));
    QVERIFY(SetPortEntry(12, QStringLiteral("rfc2217://sign.example:4002")));
    QVERIFY(SetPortEntry(9, QStringLiteral("tcp://127.0.0.1:4009")));
    QVERIFY(SetPortEntry(9, QString()));

    QStringList listed;
    for (const ListedLink &entry : ListPorts().otherLinks)
        listed << QStringLiteral("COM%1 %2").arg(entry.link.port).arg(entry.link.target);
    QCOMPARE(listed, QStringList({QStringLiteral("COM7 tcp://127.0.0.1:4001"),
                                  QStringLiteral("COM12 rfc2217://sign.example:4002")}));

    QVERIFY(SetPortEntry(7, QString()));
    QVERIFY(SetPortEntry(12, QString()));
    QVERIFY(ListPorts().otherLinks.isEmpty());
}

QTEST_GUILESS_MAIN(TestWinPortEntries)
#include "tst_winportentries.moc"
