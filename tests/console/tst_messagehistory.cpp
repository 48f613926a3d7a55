#include "historycombo.h"
#include "messagehistory.h"
#include "recordingmessageboxes.h"

#include <QTemporaryDir>
#include <QTest>

namespace {

QStringList Numbered(int count)
{
    QStringList messages;
    for (int i = 1; i <= count; ++i)
        messages.append(QString("Message %1").arg(i));
    return messages;
}

} // namespace

class TestMessageHistory : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void updateMessageList_data();
    void updateMessageList();
    void handlerIgnoresItsOwnClick();
    void handlerDoesNothingWhileBusy();
    void fileGoesThroughTheList();
};

void TestMessageHistory::updateMessageList_data()
{
    QTest::addColumn<QStringList>("history");
    QTest::addColumn<QString>("text");
    QTest::addColumn<QStringList>("expected");
    QTest::addColumn<bool>("changed");

    const QStringList abcde{"A", "B", "C", "D", "E"};

    QTest::newRow("empty text changes nothing") << abcde << "" << abcde << false;
    QTest::newRow("first message") << QStringList{} << "A" << QStringList{"A"} << true;
    QTest::newRow("spaces only is a message")
        << QStringList{"A"} << "   " << QStringList{"   ", "A"} << true;
    QTest::newRow("case differs from entry 0")
        << QStringList{"Hello", "X"} << "hello" << QStringList{"hello", "Hello", "X"}
        << true;
    QTest::newRow("trailing space differs from entry 0")
        << QStringList{"A"} << "A " << QStringList{"A ", "A"} << true;
    QTest::newRow("equals entry 0: nothing changes") << abcde << "A" << abcde << false;
    QTest::newRow("further down moves to the top")
        << abcde << "D" << QStringList{"D", "A", "B", "C", "E"} << true;
    QTest::newRow("last entry moves to the top")
        << abcde << "E" << QStringList{"E", "A", "B", "C", "D"} << true;
    QTest::newRow("every copy further down goes")
        << QStringList{"A", "X", "B", "X", "X"} << "X" << QStringList{"X", "A", "B"}
        << true;
    QTest::newRow("equals entry 0, copies below go")
        << QStringList{"X", "A", "X"} << "X" << QStringList{"X", "A"} << true;
    QTest::newRow("equals entry 0, the copy right under it goes")
        << QStringList{"X", "X", "A"} << "X" << QStringList{"X", "A"} << true;
    QTest::newRow("new message on 20 entries makes 21")
        << Numbered(20) << "New" << QStringList{"New"} + Numbered(20) << true;
}

void TestMessageHistory::updateMessageList()
{
    QFETCH(QStringList, history);
    QFETCH(QString, text);
    QFETCH(QStringList, expected);
    QFETCH(bool, changed);

    HistoryCombo curMsg;
    curMsg.addItems(history);
    curMsg.SetText(text);
    const int indexBefore = curMsg.ListIndex();
    QCOMPARE(UpdateMessageList(curMsg), changed);

    QCOMPARE(curMsg.Entries(), expected);
    QCOMPARE(curMsg.Text(), text);
    QCOMPARE(curMsg.ListIndex(), text.isEmpty() ? indexBefore : 0);
}

void TestMessageHistory::handlerIgnoresItsOwnClick()
{
    // Wired as the main window wires CurMsg_Click.
    HistoryCombo curMsg;
    ReentryGuard eventBusy;
    QList<bool> busyAtClick;
    connect(&curMsg, &HistoryCombo::Click, &curMsg, [&] {
        busyAtClick.append(eventBusy.IsSet());
        (void)RunHistoryHandler(curMsg, eventBusy);
    });
    curMsg.addItems({"A", "B", "C"});
    curMsg.SetText("C");

    const bool dirty = RunHistoryHandler(curMsg, eventBusy);

    QCOMPARE(busyAtClick, QList<bool>{true});
    QCOMPARE(eventBusy.IsSet(), false);
    QCOMPARE(curMsg.Entries(), (QStringList{"C", "A", "B"}));
    QVERIFY(dirty);

    // The operator picking "B" runs the handler through Click.
    curMsg.SetListIndex(2);
    QCOMPARE(busyAtClick, (QList<bool>{true, false, true}));
    QCOMPARE(curMsg.Entries(), (QStringList{"B", "C", "A"}));
    QCOMPARE(curMsg.ListIndex(), 0);
    QVERIFY(!eventBusy.IsSet());
}

void TestMessageHistory::handlerDoesNothingWhileBusy()
{
    HistoryCombo curMsg;
    curMsg.addItems({"A"});
    curMsg.SetText("New");
    ReentryGuard eventBusy;
    bool changed = true;

    eventBusy.Run([&] { changed = RunHistoryHandler(curMsg, eventBusy); });

    QCOMPARE(curMsg.Entries(), QStringList{"A"});
    QVERIFY(!changed);
    QCOMPARE(curMsg.Text(), QString("New"));
}

// The list file's own rules are tested without a window; here, that the
// list takes its entries after those it holds, and gives them all back.
void TestMessageHistory::fileGoesThroughTheList()
{
    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    const QString path = MessageListFilePath(dir.path());
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly) && file.write("A\r\nMessage 2\r\nB\r\n") > 0);
    file.close();
    HistoryCombo curMsg;
    curMsg.addItems(Numbered(19));
    curMsg.SetText("typed");

    QCOMPARE(LoadMessageList(curMsg, path).msgListDirty, false);

    QCOMPARE(curMsg.Entries(), Numbered(19) + QStringList {"A"});
    QCOMPARE(curMsg.Text(), QString("typed"));

    RecordingMessageBoxes boxes;
    QCOMPARE(SaveMessageList(curMsg, true, boxes, path).msgListDirty, false);
    QVERIFY(file.open(QIODevice::ReadOnly));
    QCOMPARE(file.readAll().count("\r\n"), 20);
}

QTEST_MAIN(TestMessageHistory)
#include "tst_messagehistory.moc"
