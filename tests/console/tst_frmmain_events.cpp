// Clicks and keys go through the window as real ones do, so that the
// focus-leaving checks see them before the focus moves.
#define QTEST_QPA_MOUSE_HANDLING

#include "mainwindowfixture.h"

#include "helpmenu.h"
#include "labelchecks.h"
#include "twips.h"

#include <QAbstractItemView>
#include <QApplication>
#include <QComboBox>
#include <QFontInfo>
#include <QFontMetrics>
#include <QLabel>
#include <QMenu>
#include <QPushButton>
#include <QTimer>
#include <QWheelEvent>
#include <QWindow>

namespace {

const QString BoardNumMessageStart = QStringLiteral("INVALID BOARD NUMBER\r");

void Click(QWidget *widget)
{
    QTest::mouseClick(widget, Qt::LeftButton, {}, widget->rect().center());
}

// One notch down, delivered to the window as the platform delivers it.
void TurnWheelOver(QWidget *widget)
{
    QWidget *const window = widget->window();
    const QPointF local = widget->mapTo(window, widget->rect().center());
    QWheelEvent wheel(local, window->mapToGlobal(local), QPoint(), QPoint(0, -120), Qt::NoButton,
                      Qt::NoModifier, Qt::NoScrollPhase, false);
    QCoreApplication::sendEvent(window->windowHandle(), &wheel);
}

} // namespace

class TestFrmMainEvents : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void designedLayout();
    void fieldsInTabOrderWithSpokenNames();
    void rejectedBoardNumberHoldsTheFocus();
    void enterSendsRejectedFieldsAsTyped();
    void sendTrimsAndDefaultsAcceptedFields();
    void emptyMessageLeavesHistoryAlone();
    void pickingAnOlderEntryMovesItToTheTop();
    void failedWriteIsReported();
    void helpMenuCommands();
};

void TestFrmMainEvents::designedLayout()
{
    MainWindowFixture fixture;
    QVERIFY(fixture.LoadAndShow());
    frmMain &window = *fixture.window;

    QCOMPARE(window.size(), TwipsSize(10170, 1575));
    const QList<std::pair<QWidget *, QRect>> placed{
        {window.CurMsg, TwipsRect(240, 390, 9780, 315)},
        {window.BoardNum, TwipsRect(240, 1110, 1320, 330)},
        {window.Bright, TwipsRect(2085, 1110, 375, 330)},
        {window.Present, TwipsRect(3045, 1080, 2220, 315)},
        {window.Help, TwipsRect(5430, 960, 1320, 480)},
        {window.Exit, TwipsRect(7057, 960, 1320, 480)},
        {window.Send, TwipsRect(8685, 960, 1320, 480)},
    };
    for (const auto &[control, rect] : placed)
        QCOMPARE(control->geometry(), rect);

    // Every label shows its whole text, and no two labels run into each
    // other, whatever fonts stand in for the designed ones.
    VerifyNoLabelClipped(&window);
    const QList<QLabel *> labels = window.findChildren<QLabel *>();
    for (const QLabel *a : labels) {
        for (const QLabel *b : labels)
            QVERIFY2(a == b || !a->geometry().intersects(b->geometry()),
                     qPrintable(a->objectName() + " and " + b->objectName()));
    }

    // 80 characters of the monospaced message font fit the field.
    QVERIFY(QFontInfo(window.CurMsg->font()).fixedPitch());
    const QFontMetrics metrics(window.CurMsg->font());
    QVERIFY(metrics.horizontalAdvance(QString(80, u'W'))
            <= window.CurMsg->lineEdit()->contentsRect().width());

    QCOMPARE(window.Present->count(), 6);
    QCOMPARE(window.Present->itemText(5), QStringLiteral("Fast crawl from Right"));
}

void TestFrmMainEvents::fieldsInTabOrderWithSpokenNames()
{
    MainWindowFixture fixture;
    QVERIFY(fixture.LoadAndShow());
    frmMain &window = *fixture.window;

    // Tab walks the controls in their designed order and wraps round; the
    // labels are never stopped at.
    const QList<QWidget *> order{window.CurMsg, window.BoardNum, window.Bright, window.Present,
                                 window.Help,   window.Exit,     window.Send,   window.CurMsg};
    window.CurMsg->setFocus();
    for (qsizetype i = 1; i < order.size(); ++i) {
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
        QVERIFY2(order[i]->hasFocus(), qPrintable(QString::number(i)));
    }
    QVERIFY(fixture.boxes.shown.isEmpty());

    // A screen reader names each field after its label.
    const QList<std::pair<QWidget *, QLabel *>> fields{{window.CurMsg, window.Label1},
                                                       {window.BoardNum, window.Label2},
                                                       {window.Bright, window.Label3},
                                                       {window.Present, window.Label4}};
    for (const auto &[field, label] : fields) {
        QCOMPARE(field->accessibleName(), label->text());
        QVERIFY(!label->text().contains('&'));
    }
    QCOMPARE(window.windowTitle(), QStringLiteral("Vantor Message Board"));
}

void TestFrmMainEvents::rejectedBoardNumberHoldsTheFocus()
{
    MainWindowFixture fixture;
    QVERIFY(fixture.LoadAndShow());
    frmMain &window = *fixture.window;

    window.BoardNum->setText("abc");
    Click(window.BoardNum);
    QCOMPARE(QApplication::focusWidget(), window.BoardNum);
    QVERIFY(fixture.boxes.shown.isEmpty());

    // Another field: the check runs, and the focus stays.
    Click(window.Bright);
    QCOMPARE(fixture.boxes.shown.size(), 1);
    QVERIFY(fixture.boxes.shown[0].text.startsWith(BoardNumMessageStart));
    QCOMPARE(fixture.boxes.shown[0].icon, MessageIcon::None);
    QCOMPARE(QApplication::focusWidget(), window.BoardNum);
    QCOMPARE(window.BoardNum->text(), QStringLiteral("abc"));

    // Tab is refused the same way.
    QTest::keyClick(window.BoardNum, Qt::Key_Tab);
    QCOMPARE(fixture.boxes.shown.size(), 2);
    QCOMPARE(QApplication::focusWidget(), window.BoardNum);

    // A wheel turn over the presentation list would focus it and change it.
    const int presentation = window.Present->currentIndex();
    TurnWheelOver(window.Present);
    QCOMPARE(fixture.boxes.shown.size(), 3);
    QCOMPARE(QApplication::focusWidget(), window.BoardNum);
    QCOMPARE(window.Present->currentIndex(), presentation);

    // EXIT causes the check too; its click is then not delivered.
    Click(window.Exit);
    QCOMPARE(fixture.boxes.shown.size(), 4);
    QVERIFY(window.isVisible());
    QCOMPARE(QApplication::focusWidget(), window.BoardNum);

    // HELP causes none: its menu comes up with no message.
    QMenu *popped = nullptr;
    QTimer::singleShot(0, &window, [&popped] {
        popped = qobject_cast<QMenu *>(QApplication::activePopupWidget());
        if (popped)
            popped->close();
    });
    Click(window.Help);
    QTRY_VERIFY(popped);
    QCOMPARE(popped, window.mnuHelp);
    QCOMPARE(fixture.boxes.shown.size(), 4);

    // Nothing of it reached the sign.
    QCOMPARE(fixture.Received(), QByteArray());
}

void TestFrmMainEvents::enterSendsRejectedFieldsAsTyped()
{
    MainWindowFixture fixture;
    QVERIFY(fixture.LoadAndShow());
    frmMain &window = *fixture.window;

    window.CurMsg->SetText("HELLO");
    window.BoardNum->setText("abc");
    window.Bright->setText("x");
    window.Present->setCurrentIndex(4);
    // Nothing goes out while the operator reads a message.
    QList<QByteArray> sentWhileShown;
    fixture.boxes.onShow = [&] { sentWhileShown.append(fixture.pty->drainMaster(20)); };
    window.CurMsg->setFocus();
    QTest::keyClick(window.CurMsg->lineEdit(), Qt::Key_Return);

    // The board number is checked before the brightness.
    QCOMPARE(fixture.boxes.shown.size(), 2);
    QVERIFY(fixture.boxes.shown[0].text.startsWith(BoardNumMessageStart));
    QVERIFY(fixture.boxes.shown[1].text.startsWith("INVALID BRIGHTNESS\r"));
    QCOMPARE(sentWhileShown, (QList<QByteArray>{{}, {}}));
    QCOMPARE(fixture.Received(), QByteArray("\rabcC4\rabcB0x\rabcAHELLO\rabcD"));
    // The message sent heads the history and is selected.
    QCOMPARE(window.CurMsg->Entries(), QStringList{"HELLO"});
    QCOMPARE(window.CurMsg->ListIndex(), 0);
}

void TestFrmMainEvents::sendTrimsAndDefaultsAcceptedFields()
{
    MainWindowFixture fixture;
    QVERIFY(fixture.LoadAndShow());
    frmMain &window = *fixture.window;

    window.CurMsg->SetText("  Café 5€  ");
    window.BoardNum->setText(" 7 ");
    window.Bright->setText("");
    window.Present->setCurrentIndex(2);
    Click(window.Send);

    QVERIFY(fixture.boxes.shown.isEmpty());
    QCOMPARE(window.BoardNum->text(), QStringLiteral("7"));
    QCOMPARE(window.Bright->text(), QStringLiteral("99"));
    // One byte per character in Windows-1252, the message trimmed.
    QCOMPARE(fixture.Received(), QByteArray("\r7C2\r7B99\r7ACaf\xE9 5\x80\r7D"));

    // Unchanged fields: the same string again, nothing else changed.
    QTest::keyClick(window.Send, Qt::Key_Return);
    QCOMPARE(fixture.Received(), QByteArray("\r7C2\r7B99\r7ACaf\xE9 5\x80\r7D"));
    QCOMPARE(window.CurMsg->Entries(), QStringList{"  Café 5€  "});
}

void TestFrmMainEvents::emptyMessageLeavesHistoryAlone()
{
    MainWindowFixture fixture;
    fixture.WriteMessageList("First\r\nSecond\r\n");
    QVERIFY(fixture.LoadAndShow());
    frmMain &window = *fixture.window;

    window.CurMsg->SetText("");
    Click(window.Send);

    QCOMPARE(fixture.Received(), QByteArray("\r0C0\r0B99\r0A\r0D"));
    QCOMPARE(window.CurMsg->Entries(), (QStringList{"First", "Second"}));

    // Nothing changed, so the file is not rewritten at exit.
    QVERIFY(QFile::remove(fixture.MessageListPath()));
    window.close();
    QVERIFY(!QFile::exists(fixture.MessageListPath()));
}

void TestFrmMainEvents::pickingAnOlderEntryMovesItToTheTop()
{
    MainWindowFixture fixture;
    fixture.WriteMessageList("A\r\nB\r\nC\r\n");
    QVERIFY(fixture.LoadAndShow());
    frmMain &window = *fixture.window;

    window.CurMsg->setFocus();
    window.CurMsg->showPopup();
    QAbstractItemView *const list = window.CurMsg->view();
    QTRY_VERIFY(list->isVisible());
    const QRect entryC = list->visualRect(list->model()->index(2, 0));
    QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, entryC.center());

    QTRY_COMPARE(window.CurMsg->Entries(), (QStringList{"C", "A", "B"}));
    QCOMPARE(window.CurMsg->ListIndex(), 0);
    QCOMPARE(window.CurMsg->Text(), QStringLiteral("C"));

    // Leaving the field checks it again: C is already on top, nothing moves.
    Click(window.BoardNum);
    QCOMPARE(window.CurMsg->Entries(), (QStringList{"C", "A", "B"}));
    QVERIFY(fixture.boxes.shown.isEmpty());

    window.close();
    QCOMPARE(fixture.ReadMessageList(), QByteArray("C\r\nA\r\nB\r\n"));
}

void TestFrmMainEvents::failedWriteIsReported()
{
    MainWindowFixture fixture;
    QVERIFY(fixture.LoadAndShow());
    frmMain &window = *fixture.window;
    QCOMPARE(window.CommUse->text(), QStringLiteral("Using COM3"));

    fixture.UnplugSign();
    window.CurMsg->SetText("lost");
    Click(window.Send);

    QCOMPARE(fixture.boxes.shown.size(), 1);
    const RecordingMessageBoxes::Shown &box = fixture.boxes.shown[0];
    QCOMPARE(box.title, QStringLiteral("VantorMsgBoard"));
    QCOMPARE(box.icon, MessageIcon::Stop);
    QVERIFY2(box.text.startsWith("Comm Port \"COM3\" cannot be written to\r"), qPrintable(box.text));
    QVERIFY(box.text.size() > box.text.indexOf('\r') + 1); // the system's reason follows
    QVERIFY(window.Send->isEnabled());
    QVERIFY(window.isVisible());

    // Replugged behind the same link: the next Send opens the port again and arrives.
    fixture.pty = std::make_unique<PtyPair>();
    QVERIFY(fixture.configHome.linkPort(3, fixture.pty->slavePath()));
    window.CurMsg->SetText("back");
    Click(window.Send);
    QCOMPARE(fixture.boxes.shown.size(), 1);
    QVERIFY(fixture.Received().endsWith("Aback\r0D"));
    QCOMPARE(window.CommUse->text(), QStringLiteral("Using COM3"));
}

void TestFrmMainEvents::helpMenuCommands()
{
    MainWindowFixture fixture;
    QVERIFY(fixture.LoadAndShow());
    frmMain &window = *fixture.window;

    const QList<QAction *> items = window.mnuHelp->actions();
    QCOMPARE(items.size(), 5);
    QCOMPARE(items[1]->isSeparator(), true);
    QCOMPARE(items[3]->isSeparator(), true);

    // About opens over this window.
    window.mnuHelp->MnuHelpAbout->trigger();
    QCOMPARE(fixture.aboutOwners, QList<QWidget *>{&window});

    // Escape closes the menu and runs nothing.
    QTimer::singleShot(0, &window, [] {
        if (QWidget *popup = QApplication::activePopupWidget())
            QTest::keyClick(popup, Qt::Key_Escape);
    });
    Click(window.Help);
    QVERIFY(!QApplication::activePopupWidget());
    QCOMPARE(fixture.aboutOwners.size(), 1);
    QVERIFY(fixture.boxes.shown.isEmpty());
    QVERIFY(window.isVisible());
}

QTEST_MAIN(TestFrmMainEvents)
#include "tst_frmmain_events.moc"
