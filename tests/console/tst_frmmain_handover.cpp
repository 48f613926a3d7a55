#include "mainwindowfixture.h"
#include "signcommand.h"
#include "windows1252.h"

#include <QLabel>
#include <QProcess>

// The console holding its port all day: a script's `vantor-sign send` goes
// out through it, and the operator's fields stay as they were.
class TestFrmMainHandOver : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void scriptSendsThroughTheConsole();
};

void TestFrmMainHandOver::scriptSendsThroughTheConsole()
{
    QTemporaryDir runtime;
    qputenv("XDG_RUNTIME_DIR", runtime.path().toLocal8Bit());
    MainWindowFixture fixture;
    QVERIFY(fixture.portLinked);
    frmMain &window = fixture.Load();
    const MainWindowControls ui(window);
    ui.BoardNum->setText(QStringLiteral("5"));

    QProcess script;
    script.start(QStringLiteral(VANTOR_SIGN_EXECUTABLE),
                 {"send", "--port", QStringLiteral("COM%1").arg(MainWindowFixture::SignPort), "--board", "9", "FROM CRON"});
    // The console answers from its event loop, which must run meanwhile.
    QVERIFY(QTest::qWaitFor([&] { return script.state() == QProcess::NotRunning; }, 10000));

    QCOMPARE(script.exitCode(), 0);
    QCOMPARE(fixture.Received(), ToWindows1252(BuildSignCommand("9", 0, "99", "FROM CRON")));
    QCOMPARE(ui.BoardNum->text(), QStringLiteral("5"));
    QVERIFY(!ui.CommUse->toolTip().isEmpty());
    QVERIFY(fixture.boxes.shown.isEmpty());
}

QTEST_MAIN(TestFrmMainHandOver)
#include "tst_frmmain_handover.moc"
