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
    QTest::addColumn<bool>("dirtyBefore");
    QTest::addColumn<QStringList>("expected");
    QTest::addColumn<bool>("dirtyAfter");

    const QStringList abcde{"A", "B", "C", "D", "E"};

    QTest::newRow("empty text keeps a clear flag")
        << abcde << "" << false << abcde << false;
    QTest::newRow("empty text keeps a set flag")
        << abcde << "" << true << abcde << true;
    QTest::newRow("first message") << QStringList{} << "A" << false << QStringList{"A"} << true;
    QTest::newRow("spaces only is a message")
        << QStringList{"A"} << "   " << false << QStringList{"   ", "A"} << true;
    QTest::newRow("case differs from entry 0")
        << QStringList{"Hello", "X"} << "hello" << false << QStringList{"hello", "Hello", "X"}
        << true;
    QTest::newRow("trailing space differs from entry 0")
        << QStringList{"A"} << "A " << false << QStringList{"A ", "A"} << true;
    QTest::newRow("equals entry 0: flag stays clear") << abcde << "A" << false << abcde << false;
    QTest::newRow("equals entry 0: flag stays set") << abcde << "A" << true << abcde << true;
    QTest::newRow("further down moves to the top")
        << abcde << "D" << false << QStringList{"D", "A", "B", "C", "E"} << true;
    QTest::newRow("last entry moves to the top")
        << abcde << "E" << false << QStringList{"E", "A", "B", "C", "D"} << true;
    QTest::newRow("every copy further down goes")
        << QStringList{"A", "X", "B", "X", "X"} << "X" << false << QStringList{"X", "A", "B"}
        << true;
    QTest::newRow("equals entry 0, copies below go")
        << QStringList{"X", "A", "X"} << "X" << false << QStringList{"X", "A"} << true;
    QTest::newRow("new message on 20 entries makes 21")
        << Numbered(20) << "New" << false << QStringList{"New"} + Numbered(20) << true;
}

void TestMessageHistory::updateMessageList()
{
    QFETCH(QStringList, history);
    QFETCH(QString, text);
    QFETCH(bool, dirtyBefore);
    QFETCH(QStringList, expected);
    QFETCH(bool, dirtyAfter);

    HistoryCombo curMsg;
    curMsg.addItems(history);
    curMsg.SetText(text);
    const int indexBefore = curMsg.ListIndex();
    bool dirty = dirtyBefore;

    UpdateMessageList(curMsg, dirty);

    QCOMPARE(curMsg.Entries(), expected);
    QCOMPARE(dirty, dirtyAfter);
    QCOMPARE(curMsg.Text(), text);
    QCOMPARE(curMsg.ListIndex(), text.isEmpty() ? indexBefore : 0);
}

void TestMessageHistory::handlerIgnoresItsOwnClick()
{
    // Wired as the main window wires CurMsg_Click.
    HistoryCombo curMsg;
    bool eventBusy = false;
    bool dirty = false;
    QList<bool> busyAtClick;
    connect(&curMsg, &HistoryCombo::Click, &curMsg, [&] {
        busyAtClick.append(eventBusy);
        RunHistoryHandler(curMsg, eventBusy, dirty);
    });
    curMsg.addItems({"A", "B", "C"});
    curMsg.SetText("C");

    RunHistoryHandler(curMsg, eventBusy, dirty);

    QCOMPARE(busyAtClick, QList<bool>{true});
    QCOMPARE(eventBusy, false);
    QCOMPARE(curMsg.Entries(), (QStringList{"C", "A", "B"}));
    QVERIFY(dirty);

    // The operator picking "B" runs the handler through Click.
    curMsg.SetListIndex(2);
    QCOMPARE(busyAtClick, (QList<bool>{true, false, true}));
    QCOMPARE(curMsg.Entries(), (QStringList{"B", "C", "A"}));
    QCOMPARE(curMsg.ListIndex(), 0);
    QCOMPARE(eventBusy, false);
}

void TestMessageHistory::handlerDoesNothingWhileBusy()
{
    HistoryCombo curMsg;
    curMsg.addItems({"A"});
    curMsg.SetText("New");
    bool eventBusy = true;
    bool dirty = false;

    RunHistoryHandler(curMsg, eventBusy, dirty);

    QCOMPARE(curMsg.Entries(), QStringList{"A"});
    QCOMPARE(dirty, false);
    QCOMPARE(eventBusy, true);
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
    bool dirty = true;

    LoadMessageList(curMsg, dirty, path);

    QCOMPARE(curMsg.Entries(), Numbered(19) + QStringList {"A"});
    QCOMPARE(curMsg.Text(), QString("typed"));
    QCOMPARE(dirty, false);

    RecordingMessageBoxes boxes;
    dirty = true;
    SaveMessageList(curMsg, dirty, boxes, path);
    QVERIFY(file.open(QIODevice::ReadOnly));
    QCOMPARE(file.readAll().count("\r\n"), 20);
    QCOMPARE(dirty, false);
}

QTEST_MAIN(TestMessageHistory)
#include "tst_messagehistory.moc"
