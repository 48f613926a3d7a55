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

#include <optional>

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

    void init();
    void cleanup();

private:
    // A window loaded and shown for each test, with the controls it names.
    std::optional<MainWindowFixture> fixture;
    std::optional<MainWindowControls> ui;
    frmMain *window = nullptr;
};

void TestFrmMainEvents::init()
{
    fixture.emplace();
    QVERIFY(fixture->LoadAndShow());
    window = fixture->window.get();
    ui.emplace(*window);
}

void TestFrmMainEvents::cleanup()
{
    ui.reset();
    window = nullptr;
    fixture.reset();
}

void TestFrmMainEvents::designedLayout()
{
    QCOMPARE(window->size(), TwipsSize(10170, 1575));
    const QList<std::pair<QWidget *, QRect>> placed{
        {ui->CurMsg, TwipsRect(240, 390, 9780, 315)},
        {ui->BoardNum, TwipsRect(240, 1110, 1320, 330)},
        {ui->Bright, TwipsRect(2085, 1110, 375, 330)},
        {ui->Present, TwipsRect(3045, 1080, 2220, 315)},
        {ui->Help, TwipsRect(5430, 960, 1320, 480)},
        {ui->Exit, TwipsRect(7057, 960, 1320, 480)},
        {ui->Send, TwipsRect(8685, 960, 1320, 480)},
    };
    for (const auto &[control, rect] : placed)
        QCOMPARE(control->geometry(), rect);

    // Every label shows its whole text, and no two labels run into each
    // other, whatever fonts stand in for the designed ones.
    VerifyNoLabelClipped(window);
    const QList<QLabel *> labels = window->findChildren<QLabel *>();
    for (const QLabel *a : labels) {
        for (const QLabel *b : labels)
            QVERIFY2(a == b || !a->geometry().intersects(b->geometry()),
                     qPrintable(a->objectName() + " and " + b->objectName()));
    }

    // 80 characters of the monospaced message font fit the field.
    QVERIFY(QFontInfo(ui->CurMsg->font()).fixedPitch());
    const QFontMetrics metrics(ui->CurMsg->font());
    QVERIFY(metrics.horizontalAdvance(QString(80, u'W'))
            <= ui->CurMsg->lineEdit()->contentsRect().width());

    QCOMPARE(ui->Present->count(), 6);
    QCOMPARE(ui->Present->itemText(5), QStringLiteral("Fast crawl from Right"));
}

void TestFrmMainEvents::fieldsInTabOrderWithSpokenNames()
{
    // Tab walks the controls in their designed order and wraps round; the
    // labels are never stopped at.
    const QList<QWidget *> order{ui->CurMsg, ui->BoardNum, ui->Bright, ui->Present,
                                 ui->Help,   ui->Exit,     ui->Send,   ui->CurMsg};
    ui->CurMsg->setFocus();
    for (qsizetype i = 1; i < order.size(); ++i) {
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
        QVERIFY2(order[i]->hasFocus(), qPrintable(QString::number(i)));
    }
    QVERIFY(fixture->boxes.shown.isEmpty());

    // A screen reader names each field after its label.
    const QList<std::pair<QWidget *, QLabel *>> fields{{ui->CurMsg, ui->Label1},
                                                       {ui->BoardNum, ui->Label2},
                                                       {ui->Bright, ui->Label3},
                                                       {ui->Present, ui->Label4}};
    for (const auto &[field, label] : fields) {
        QCOMPARE(field->accessibleName(), label->text());
        QVERIFY(!label->text().contains('&'));
    }
    QCOMPARE(window->windowTitle(), QStringLiteral("Vantor Message Board"));
}

void TestFrmMainEvents::rejectedBoardNumberHoldsTheFocus()
{
    ui->BoardNum->setText("abc");
    Click(ui->BoardNum);
    QCOMPARE(QApplication::focusWidget(), ui->BoardNum);
    QVERIFY(fixture->boxes.shown.isEmpty());

    // Another field: the check runs, and the focus stays.
    Click(ui->Bright);
    QCOMPARE(fixture->boxes.shown.size(), 1);
    QVERIFY(fixture->boxes.shown[0].text.startsWith(BoardNumMessageStart));
    QCOMPARE(fixture->boxes.shown[0].icon, MessageIcon::None);
    QCOMPARE(QApplication::focusWidget(), ui->BoardNum);
    QCOMPARE(ui->BoardNum->text(), QStringLiteral("abc"));

    // Tab is refused the same way.
    QTest::keyClick(ui->BoardNum, Qt::Key_Tab);
    QCOMPARE(fixture->boxes.shown.size(), 2);
    QCOMPARE(QApplication::focusWidget(), ui->BoardNum);

    // A wheel turn over the presentation list would focus it and change it.
    const int presentation = ui->Present->currentIndex();
    TurnWheelOver(ui->Present);
    QCOMPARE(fixture->boxes.shown.size(), 3);
    QCOMPARE(QApplication::focusWidget(), ui->BoardNum);
    QCOMPARE(ui->Present->currentIndex(), presentation);

    // EXIT causes the check too; its click is then not delivered.
    Click(ui->Exit);
    QCOMPARE(fixture->boxes.shown.size(), 4);
    QVERIFY(window->isVisible());
    QCOMPARE(QApplication::focusWidget(), ui->BoardNum);

    // HELP causes none: its menu comes up with no message.
    QMenu *popped = nullptr;
    QTimer::singleShot(0, window, [&popped] {
        popped = qobject_cast<QMenu *>(QApplication::activePopupWidget());
        if (popped)
            popped->close();
    });
    Click(ui->Help);
    QTRY_VERIFY(popped);
    QCOMPARE(popped, ui->mnuHelp);
    QCOMPARE(fixture->boxes.shown.size(), 4);

    // Nothing of it reached the sign.
    QCOMPARE(fixture->Received(), QByteArray());
}

void TestFrmMainEvents::enterSendsRejectedFieldsAsTyped()
{
    ui->CurMsg->SetText("HELLO");
    ui->BoardNum->setText("abc");
    ui->Bright->setText("x");
    ui->Present->setCurrentIndex(4);
    // Nothing goes out while the operator reads a message.
    QList<QByteArray> sentWhileShown;
    fixture->boxes.onShow = [&] { sentWhileShown.append(fixture->pty->drainMaster(20)); };
    ui->CurMsg->setFocus();
    QTest::keyClick(ui->CurMsg->lineEdit(), Qt::Key_Return);

    // The board number is checked before the brightness.
    QCOMPARE(fixture->boxes.shown.size(), 2);
    QVERIFY(fixture->boxes.shown[0].text.startsWith(BoardNumMessageStart));
    QVERIFY(fixture->boxes.shown[1].text.startsWith("INVALID BRIGHTNESS\r"));
    QCOMPARE(sentWhileShown, (QList<QByteArray>{{}, {}}));
    QCOMPARE(fixture->Received(), QByteArray("\rabcC4\rabcB0x\rabcAHELLO\rabcD"));
    // The message sent heads the history and is selected.
    QCOMPARE(ui->CurMsg->Entries(), QStringList{"HELLO"});
    QCOMPARE(ui->CurMsg->ListIndex(), 0);
}

void TestFrmMainEvents::sendTrimsAndDefaultsAcceptedFields()
{
    ui->CurMsg->SetText("  Café 5€  ");
    ui->BoardNum->setText(" 7 ");
    ui->Bright->setText("");
    ui->Present->setCurrentIndex(2);
    Click(ui->Send);

    QVERIFY(fixture->boxes.shown.isEmpty());
    QCOMPARE(ui->BoardNum->text(), QStringLiteral("7"));
    QCOMPARE(ui->Bright->text(), QStringLiteral("99"));
    // One byte per character in Windows-1252, the message trimmed.
    QCOMPARE(fixture->Received(), QByteArray("\r7C2\r7B99\r7ACaf\xE9 5\x80\r7D"));

    // Unchanged fields: the same string again, nothing else changed.
    QTest::keyClick(ui->Send, Qt::Key_Return);
    QCOMPARE(fixture->Received(), QByteArray("\r7C2\r7B99\r7ACaf\xE9 5\x80\r7D"));
    QCOMPARE(ui->CurMsg->Entries(), QStringList{"  Café 5€  "});
}

void TestFrmMainEvents::emptyMessageLeavesHistoryAlone()
{
    ui->CurMsg->AddItem("First");
    ui->CurMsg->AddItem("Second");

    ui->CurMsg->SetText("");
    Click(ui->Send);

    QCOMPARE(fixture->Received(), QByteArray("\r0C0\r0B99\r0A\r0D"));
    QCOMPARE(ui->CurMsg->Entries(), (QStringList{"First", "Second"}));

    // Nothing changed, so no file is written at exit.
    window->close();
    QVERIFY(!QFile::exists(fixture->MessageListPath()));
}

void TestFrmMainEvents::pickingAnOlderEntryMovesItToTheTop()
{
    for (const char *entry : {"A", "B", "C"})
        ui->CurMsg->AddItem(entry);

    ui->CurMsg->setFocus();
    ui->CurMsg->showPopup();
    QAbstractItemView *const list = ui->CurMsg->view();
    QTRY_VERIFY(list->isVisible());
    const QRect entryC = list->visualRect(list->model()->index(2, 0));
    QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, entryC.center());

    QTRY_COMPARE(ui->CurMsg->Entries(), (QStringList{"C", "A", "B"}));
    QCOMPARE(ui->CurMsg->ListIndex(), 0);
    QCOMPARE(ui->CurMsg->Text(), QStringLiteral("C"));

    // Leaving the field checks it again: C is already on top, nothing moves.
    Click(ui->BoardNum);
    QCOMPARE(ui->CurMsg->Entries(), (QStringList{"C", "A", "B"}));
    QVERIFY(fixture->boxes.shown.isEmpty());

    window->close();
    QCOMPARE(fixture->ReadMessageList(), QByteArray("C\r\nA\r\nB\r\n"));
}

void TestFrmMainEvents::failedWriteIsReported()
{
    QCOMPARE(ui->CommUse->text(), QStringLiteral("Using COM3"));

    fixture->UnplugSign();
    ui->CurMsg->SetText("lost");
    Click(ui->Send);

    QCOMPARE(fixture->boxes.shown.size(), 1);
    const RecordingMessageBoxes::Shown &box = fixture->boxes.shown[0];
    QCOMPARE(box.title, QStringLiteral("VantorMsgBoard"));
    QCOMPARE(box.icon, MessageIcon::Stop);
    QVERIFY2(box.text.startsWith("Comm Port \"COM3\" cannot be written to\r"), qPrintable(box.text));
    QVERIFY(box.text.size() > box.text.indexOf('\r') + 1); // the system's reason follows
    QVERIFY(ui->Send->isEnabled());
    QVERIFY(window->isVisible());

    // Replugged behind the same link: the next Send opens the port again and arrives.
    fixture->pty = std::make_unique<PtyPair>();
    QVERIFY(fixture->configHome.linkPort(3, fixture->pty->slavePath()));
    ui->CurMsg->SetText("back");
    Click(ui->Send);
    QCOMPARE(fixture->boxes.shown.size(), 1);
    QVERIFY(fixture->Received().endsWith("Aback\r0D"));
    QCOMPARE(ui->CommUse->text(), QStringLiteral("Using COM3"));
}

void TestFrmMainEvents::helpMenuCommands()
{
    const QList<QAction *> items = ui->mnuHelp->actions();
    QCOMPARE(items.size(), 5);
    QCOMPARE(items[1]->isSeparator(), true);
    QCOMPARE(items[3]->isSeparator(), true);

    // About opens over this window.
    NamedChild<QAction>(*ui->mnuHelp, "MnuHelpAbout")->trigger();
    QCOMPARE(fixture->aboutOwners, QList<QWidget *>{window});

    // Escape closes the menu and runs nothing.
    QTimer::singleShot(0, window, [] {
        if (QWidget *popup = QApplication::activePopupWidget())
            QTest::keyClick(popup, Qt::Key_Escape);
    });
    Click(ui->Help);
    QVERIFY(!QApplication::activePopupWidget());
    QCOMPARE(fixture->aboutOwners.size(), 1);
    QVERIFY(fixture->boxes.shown.isEmpty());
    QVERIFY(window->isVisible());
}

QTEST_MAIN(TestFrmMainEvents)
#include "tst_frmmain_events.moc"
