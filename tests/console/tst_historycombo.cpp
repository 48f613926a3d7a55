#include "messagefieldwindow.h"

#include <QAbstractItemView>
#include <QClipboard>
#include <QGuiApplication>
#include <QPainter>
#include <QSignalSpy>
#include <QStyledItemDelegate>
#include <QTest>

class TestHistoryCombo : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void listChangesKeepText_data();
    void listChangesKeepText();
    void typedTextIsNotMatchedAgainstList_data();
    void typedTextIsNotMatchedAgainstList();
    void setListIndexClicksBeforeReturning();
    void operatorPickRaisesClick_data();
    void operatorPickRaisesClick();
    void pasteLeavesCursorAfterInsertedText_data();
    void pasteLeavesCursorAfterInsertedText();
    void longEntryRowShowsWhatTheWholeEntryWould();
};

void TestHistoryCombo::listChangesKeepText_data()
{
    QTest::addColumn<QStringList>("entries");
    QTest::addColumn<int>("selected");
    QTest::addColumn<QString>("text");
    QTest::addColumn<bool>("insert");
    QTest::addColumn<int>("index");
    QTest::addColumn<QStringList>("expected");

    const QStringList none;
    QTest::newRow("first entry into an empty list")
        << none << -1 << "typed" << true << -1 << QStringList{"Hello"};
    QTest::newRow("first entry, empty text stays empty")
        << none << -1 << "" << true << 0 << QStringList{"Hello"};
    QTest::newRow("insert above the selected entry")
        << QStringList{"A", "B"} << 0 << "A" << true << 0 << QStringList{"Hello", "A", "B"};
    QTest::newRow("append")
        << QStringList{"A"} << 0 << "typed" << true << -1 << QStringList{"A", "Hello"};
    QTest::newRow("remove the selected entry")
        << QStringList{"A", "B"} << 1 << "B" << false << 1 << QStringList{"A"};
    QTest::newRow("remove the selected entry after typing")
        << QStringList{"A", "B"} << 0 << "typed" << false << 0 << QStringList{"B"};
    QTest::newRow("remove the only entry")
        << QStringList{"A"} << 0 << "A" << false << 0 << QStringList{};
}

void TestHistoryCombo::listChangesKeepText()
{
    QFETCH(QStringList, entries);
    QFETCH(int, selected);
    QFETCH(QString, text);
    QFETCH(bool, insert);
    QFETCH(int, index);
    QFETCH(QStringList, expected);

    MessageFieldWindow window;
    window.curMsg->addItems(entries);
    if (selected >= 0)
        window.curMsg->SetListIndex(selected);
    window.curMsg->SetText(text);
    window.curMsg->lineEdit()->setCursorPosition(1);
    const int cursor = window.curMsg->lineEdit()->cursorPosition();
    QSignalSpy clicks(window.curMsg, &HistoryCombo::Click);

    if (insert)
        window.curMsg->AddItem("Hello", index);
    else
        window.curMsg->RemoveItem(index);

    QCOMPARE(window.curMsg->Text(), text);
    QCOMPARE(window.curMsg->lineEdit()->cursorPosition(), cursor);
    QCOMPARE(window.curMsg->Entries(), expected);
    QCOMPARE(clicks.count(), 0);
}

void TestHistoryCombo::typedTextIsNotMatchedAgainstList_data()
{
    QTest::addColumn<QString>("typed");
    QTest::addColumn<bool>("byFocus");

    // Entry 0 "Hello" is current, entry 1 "World" is not.
    QTest::newRow("other case, Enter") << "HELLO" << false;
    QTest::newRow("other case, focus leaves") << "HELLO" << true;
    QTest::newRow("prefix, Enter") << "Hel" << false;
    QTest::newRow("another entry exactly, Enter") << "World" << false;
    QTest::newRow("another entry exactly, focus leaves") << "World" << true;
}

void TestHistoryCombo::typedTextIsNotMatchedAgainstList()
{
    QFETCH(QString, typed);
    QFETCH(bool, byFocus);

    MessageFieldWindow window;
    window.curMsg->addItems({"Hello", "World"});
    QVERIFY(window.Show());
    window.curMsg->SetText({});
    window.curMsg->setFocus();
    QSignalSpy clicks(window.curMsg, &HistoryCombo::Click);

    QTest::keyClicks(window.curMsg, typed);
    if (byFocus)
        window.edit->setFocus();
    else
        QTest::keyClick(window.curMsg, Qt::Key_Return);

    QCOMPARE(window.curMsg->Text(), typed);
    QCOMPARE(window.curMsg->Entries(), (QStringList{"Hello", "World"}));
    QCOMPARE(window.curMsg->ListIndex(), -1);
    QCOMPARE(clicks.count(), 0);
}

void TestHistoryCombo::setListIndexClicksBeforeReturning()
{
    MessageFieldWindow window;
    window.curMsg->addItems({"A", "B", "C"});
    window.curMsg->SetText("typed");

    QStringList textAtClick;
    QList<int> indexAtClick;
    connect(window.curMsg, &HistoryCombo::Click, window.curMsg, [&] {
        textAtClick.append(window.curMsg->Text());
        indexAtClick.append(window.curMsg->ListIndex());
    });

    window.curMsg->SetListIndex(2);
    QCOMPARE(textAtClick, QStringList{"C"});
    QCOMPARE(indexAtClick, QList<int>{2});

    // Typing over the selected entry deselects it; selecting it again brings
    // its text back although the index is current already.
    window.curMsg->SetText("typed over");
    QCOMPARE(window.curMsg->ListIndex(), -1);
    window.curMsg->SetListIndex(2);
    QCOMPARE(textAtClick, (QStringList{"C", "C"}));
    QCOMPARE(window.curMsg->Text(), QString("C"));
    QCOMPARE(window.curMsg->Entries(), (QStringList{"A", "B", "C"}));
}

void TestHistoryCombo::operatorPickRaisesClick_data()
{
    QTest::addColumn<bool>("byArrowKey");
    QTest::addColumn<int>("pick");
    QTest::addColumn<QString>("expected");

    // Entry 0 is current and the text has been typed over.
    QTest::newRow("another entry from the list") << false << 2 << "C";
    QTest::newRow("the current entry from the list") << false << 0 << "A";
    QTest::newRow("arrow down") << true << 1 << "B";
}

void TestHistoryCombo::operatorPickRaisesClick()
{
    QFETCH(bool, byArrowKey);
    QFETCH(int, pick);
    QFETCH(QString, expected);

    MessageFieldWindow window;
    window.curMsg->addItems({"A", "B", "C"});
    QVERIFY(window.Show());
    window.curMsg->SetListIndex(0);
    window.curMsg->SetText("typed");
    window.curMsg->setFocus();

    QStringList textAtClick;
    connect(window.curMsg, &HistoryCombo::Click, window.curMsg,
            [&] { textAtClick.append(window.curMsg->Text()); });

    if (byArrowKey) {
        QTest::keyClick(window.curMsg, Qt::Key_Down);
    } else {
        window.curMsg->showPopup();
        QAbstractItemView *const list = window.curMsg->view();
        QTRY_VERIFY(list->isVisible());
        const QRect entry = list->visualRect(list->model()->index(pick, 0));
        QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, entry.center());
    }

    QTRY_COMPARE(textAtClick, QStringList{expected});
    QCOMPARE(window.curMsg->ListIndex(), pick);
}

void TestHistoryCombo::pasteLeavesCursorAfterInsertedText_data()
{
    QTest::addColumn<QString>("pasted");
    QTest::addColumn<QString>("expected");
    QTest::addColumn<int>("cursor");

    // Pasted between "X" and "Y".
    QTest::newRow("CR LF pairs") << "a\r\nb\r\nc" << "Xa b cY" << 6;
    QTest::newRow("CR alone") << "a\rb" << "Xa bY" << 4;
    QTest::newRow("pair at the end") << "ab\r\n" << "Xab Y" << 4;
    QTest::newRow("no break") << "ab" << "XabY" << 3;
}

void TestHistoryCombo::pasteLeavesCursorAfterInsertedText()
{
    QFETCH(QString, pasted);
    QFETCH(QString, expected);
    QFETCH(int, cursor);

    MessageFieldWindow window;
    QVERIFY(window.Show());
    window.curMsg->setFocus();
    window.curMsg->SetText("XY");
    window.curMsg->lineEdit()->setCursorPosition(1);
    QGuiApplication::clipboard()->setText(pasted);

    QTest::keyClick(window.curMsg, Qt::Key_V, Qt::ControlModifier);

    QCOMPARE(window.curMsg->Text(), expected);
    QCOMPARE(window.curMsg->lineEdit()->cursorPosition(), cursor);
}

void TestHistoryCombo::longEntryRowShowsWhatTheWholeEntryWould()
{
    MessageFieldWindow window;
    window.curMsg->AddItem(QString(5000, u'x'));
    QAbstractItemView *const list = window.curMsg->view();

    QStyleOptionViewItem row;
    row.initFrom(list);
    row.rect = QRect(0, 0, 200, 20);
    row.textElideMode = Qt::ElideRight;
    const auto paint = [&](const QAbstractItemDelegate &delegate) {
        QImage image(row.rect.size(), QImage::Format_ARGB32);
        image.fill(Qt::white);
        QPainter painter(&image);
        delegate.paint(&painter, row, list->model()->index(0, 0));
        return image;
    };
    QCOMPARE(paint(*list->itemDelegate()), paint(QStyledItemDelegate()));
}

QTEST_MAIN(TestHistoryCombo)
#include "tst_historycombo.moc"
