#include "mainwindowfixture.h"
#include "namedchild.h"
#include "portchooser.h"
#include "portnaming.h"
#include "portstatuslabel.h"
#include "scriptedserialcontrol.h"

#include <QApplication>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>

// Choosing the port from the window, and failures noticed between Sends,
// driven through the window as the operator drives it.
class TestPortChooser : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void choosingAPortRelinksItAndSends_data();
    void choosingAPortRelinksItAndSends();
    void busyChoiceKeepsTheDialogOpen();
    void failureBetweenSendsTakesNoKeys();
};

namespace {

constexpr int OtherPort = 5;

PortChooser *OpenChooser(frmMain &window, bool byKeyboard)
{
    if (byKeyboard)
        QTest::keyClick(&window, Qt::Key_O, Qt::ControlModifier);
    else
        QTest::mouseClick(MainWindowControls(window).CommUse, Qt::LeftButton);
    return window.findChild<PortChooser *>();
}

// Makes the entry leading to `device` the current one; false when it is not offered.
bool Select(const PortChooser &chooser, const QString &device)
{
    auto *const choices = NamedChild<QListWidget>(chooser, "choices");
    for (int row = 0; row < choices->count(); ++row) {
        if (choices->item(row)->text().startsWith(device)) {
            choices->setCurrentRow(row);
            return true;
        }
    }
    return false;
}

} // namespace

void TestPortChooser::choosingAPortRelinksItAndSends_data()
{
    QTest::addColumn<bool>("byKeyboard");
    QTest::newRow("mouse") << false;
    QTest::newRow("keyboard") << true;
}

void TestPortChooser::choosingAPortRelinksItAndSends()
{
    QFETCH(bool, byKeyboard);
    MainWindowFixture fixture;
    QVERIFY(fixture.LoadAndShow());
    frmMain &window = *fixture.window;
    const MainWindowControls ui(window);
    PtyPair other;
    QVERIFY(other.isValid());
    // The sign on another port shows up in the open dialog: the ports folder is watched.
    PortChooser *chooser = OpenChooser(window, byKeyboard);
    QVERIFY(chooser);
    QTRY_VERIFY(chooser->isVisible());
    QVERIFY(fixture.configHome.linkPort(OtherPort, other.slavePath()));
    QTRY_VERIFY(Select(*chooser, other.slavePath()));

    if (byKeyboard)
        QTest::keyClick(NamedChild<QListWidget>(*chooser, "choices"), Qt::Key_Return);
    else
        QTest::mouseClick(NamedChild<QPushButton>(*chooser, "use"), Qt::LeftButton);

    QTRY_VERIFY(!window.findChild<PortChooser *>());
    QVERIFY(fixture.boxes.shown.isEmpty());
    QCOMPARE(LinkText(PortLinkPath(MainWindowFixture::SignPort)), other.slavePath());
    QCOMPARE(ui.CommUse->text(), QStringLiteral("Using COM3"));
    ui.CurMsg->SetText("moved");
    QTest::mouseClick(ui.Send, Qt::LeftButton);
    QByteArray arrived;
    QTRY_VERIFY((arrived += other.drainMaster()).endsWith("Amoved\r0D"));
    QVERIFY(fixture.Received().isEmpty());
}

void TestPortChooser::busyChoiceKeepsTheDialogOpen()
{
    MainWindowFixture fixture;
    QVERIFY(fixture.LoadAndShow());
    frmMain &window = *fixture.window;
    const MainWindowControls ui(window);
    PtyPair other;
    QVERIFY(other.isValid() && fixture.configHome.linkPort(OtherPort, other.slavePath()));
    PortControl holder;
    QVERIFY(holder.SetCommPort(OtherPort).ok && holder.Open().ok);

    PortChooser *chooser = OpenChooser(window, false);
    QVERIFY(chooser && Select(*chooser, other.slavePath()));
    QTest::mouseClick(NamedChild<QPushButton>(*chooser, "use"), Qt::LeftButton);

    QCOMPARE(fixture.boxes.shown.size(), 1);
    QVERIFY2(fixture.boxes.shown.first().text.startsWith("Comm Port \"COM3\" cannot be opened\r"),
             qPrintable(fixture.boxes.shown.first().text));
    QVERIFY(chooser->isVisible());
    // Nothing changed on disk: the next start finds the sign it found before.
    QCOMPARE(LinkText(PortLinkPath(MainWindowFixture::SignPort)), fixture.pty->slavePath());
    QCOMPARE(ui.CommUse->text(), QStringLiteral("Using NONE"));
    QVERIFY(!ui.Send->isEnabled());

    // Chosen again once the other program let go, it opens.
    holder.Close();
    QTest::mouseClick(NamedChild<QPushButton>(*chooser, "use"), Qt::LeftButton);
    QTRY_VERIFY(!window.findChild<PortChooser *>());
    QVERIFY(ui.Send->isEnabled());
}

void TestPortChooser::failureBetweenSendsTakesNoKeys()
{
    MainWindowFixture fixture;
    auto scripted = std::make_unique<ScriptedSerialControl>();
    ScriptedSerialControl &port = *scripted;
    QVERIFY(fixture.LoadAndShow(QStringLiteral("COM3"), std::move(scripted)));
    frmMain &window = *fixture.window;
    const MainWindowControls ui(window);
    ui.CurMsg->SetText(QString());
    ui.CurMsg->setFocus();

    QTest::keyClicks(QApplication::focusWidget(), "AFTER ");
    port.failureHandler(QStringLiteral("The serial server 127.0.0.1 port 4001 (raw TCP) closed the connection: "
                                       "gone.\rThe next Send connects again."));
    QTest::keyClicks(QApplication::focusWidget(), "NOON");

    QCOMPARE(ui.CurMsg->Text(), QStringLiteral("AFTER NOON"));
    QVERIFY(fixture.boxes.shown.isEmpty());
    QVERIFY(!QApplication::activeModalWidget());
    QCOMPARE(ui.CommUse->text(),
             QStringLiteral("\u26A0 COM3 lost its server, which closed the connection. The next Send tries again."));
    QVERIFY(ui.CommUse->toolTip().contains("The next Send connects again."));

    // The next Send is the operator's act: a failure then is a box.
    port.outputFailure = QStringLiteral("still gone");
    QTest::mouseClick(ui.Send, Qt::LeftButton);
    QCOMPARE(fixture.boxes.shown.size(), 1);
    QCOMPARE(fixture.boxes.shown.first().text, QStringLiteral("Comm Port \"COM3\" cannot be written to\rstill gone"));

    // A Send that goes through puts the label back.
    port.outputFailure.clear();
    QTest::mouseClick(ui.Send, Qt::LeftButton);
    QCOMPARE(ui.CommUse->text(), QStringLiteral("Using COM3"));
}

QTEST_MAIN(TestPortChooser)
#include "tst_portchooser.moc"
