#include "fieldtext.h"
#include "messagefieldwindow.h"

#include <QClipboard>
#include <QGuiApplication>
#include <QInputMethodEvent>

class TestFieldText : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void lineBreaksBecomeSpaces_data();
    void lineBreaksBecomeSpaces();
    void lengthBoundHoldsEveryWayIn_data();
    void lengthBoundHoldsEveryWayIn();
    void overlongTextIsRefusedWhole_data();
    void overlongTextIsRefusedWhole();
};

void TestFieldText::lineBreaksBecomeSpaces_data()
{
    QTest::addColumn<QString>("field");
    QTest::addColumn<QString>("way");
    QTest::addColumn<QString>("input");
    QTest::addColumn<QString>("expected");

    const QList<std::pair<QString, QString>> breaks = {
        {"1\r2", "1 2"},   {"1\r\n2", "1 2"},   {"1\n2", "1 2"},     {"\r\n7\r", " 7 "},
        {"12", "12"},      {"a\n\rb", "a  b"}, {"\r\n\r\n", "  "}, {"end\r", "end "},
    };
    const QList<std::pair<QString, QStringList>> ways = {
        {"board number", {"setText", "paste", "input method"}},
        {"message", {"setText", "paste", "input method", "SetText", "AddItem then SetListIndex"}},
    };
    for (const auto &[field, fieldWays] : ways) {
        for (const QString &way : fieldWays) {
            for (const auto &[input, expected] : breaks) {
                QString name = input;
                name.replace("\r", "<CR>").replace("\n", "<LF>");
                QTest::addRow("%s, %s: %s", qPrintable(field), qPrintable(way), qPrintable(name))
                    << field << way << input << expected;
            }
        }
    }
}

void TestFieldText::lineBreaksBecomeSpaces()
{
    QFETCH(QString, field);
    QFETCH(QString, way);
    QFETCH(QString, input);
    QFETCH(QString, expected);

    MessageFieldWindow fields;
    QVERIFY(fields.Show());
    QLineEdit &line = fields.Line(field);
    line.setFocus();
    line.clear();

    if (way == "setText") {
        line.setText(input);
    } else if (way == "paste") {
        QGuiApplication::clipboard()->setText(input);
        QCOMPARE(QGuiApplication::clipboard()->text(), input);
        QTest::keyClick(&line, Qt::Key_V, Qt::ControlModifier);
    } else if (way == "input method") {
        QInputMethodEvent commit;
        commit.setCommitString(input);
        QCoreApplication::sendEvent(&line, &commit);
    } else if (way == "SetText") {
        fields.curMsg->SetText(input);
    } else {
        fields.curMsg->AddItem(input);
        QCOMPARE(fields.curMsg->List(0), expected);
        fields.curMsg->SetListIndex(0);
    }
    QCOMPARE(line.text(), expected);
}

void TestFieldText::lengthBoundHoldsEveryWayIn_data()
{
    QTest::addColumn<QString>("field");
    QTest::addColumn<QString>("way");
    QTest::addColumn<int>("before");  // characters in the field first
    QTest::addColumn<int>("added");   // characters typed or pasted at its end
    QTest::addColumn<int>("expected");

    for (const QString field : {"board number", "message"}) {
        const QByteArray f = field.toUtf8();
        QTest::addRow("%s: typing up to the bound", f.constData())
            << field << "type" << FieldTextLimit - 1 << 1 << FieldTextLimit;
        QTest::addRow("%s: typing past the bound", f.constData())
            << field << "type" << FieldTextLimit << 1 << FieldTextLimit;
        QTest::addRow("%s: pasting past the bound", f.constData())
            << field << "paste" << FieldTextLimit - 2 << 5 << FieldTextLimit;
        // Qt's own default bound for a line edit, now well inside the field.
        QTest::addRow("%s: past 32767", f.constData())
            << field << "paste" << 32767 << 3 << 32770;
    }
}

void TestFieldText::lengthBoundHoldsEveryWayIn()
{
    QFETCH(QString, field);
    QFETCH(QString, way);
    QFETCH(int, before);
    QFETCH(int, added);
    QFETCH(int, expected);

    MessageFieldWindow fields;
    QVERIFY(fields.Show());
    QLineEdit &line = fields.Line(field);
    line.setFocus();
    line.setText(QString(before, u'a'));
    QCOMPARE(line.text().size(), before);
    line.end(false);

    if (way == "type") {
        for (int i = 0; i < added; ++i)
            QTest::keyClick(&line, Qt::Key_B);
    } else {
        QGuiApplication::clipboard()->setText(QString(added, u'b'));
        QTest::keyClick(&line, Qt::Key_V, Qt::ControlModifier);
    }
    QCOMPARE(line.text().size(), expected);
}

void TestFieldText::overlongTextIsRefusedWhole_data()
{
    QTest::addColumn<QString>("way");
    QTest::addColumn<int>("length");
    QTest::addColumn<bool>("taken");

    for (const QString way : {"SetText", "AddItem"}) {
        const QByteArray w = way.toUtf8();
        QTest::addRow("%s: at the bound", w.constData()) << way << FieldTextLimit << true;
        QTest::addRow("%s: one past", w.constData()) << way << FieldTextLimit + 1 << false;
        QTest::addRow("%s: far past", w.constData()) << way << 3 * FieldTextLimit << false;
    }
}

void TestFieldText::overlongTextIsRefusedWhole()
{
    QFETCH(QString, way);
    QFETCH(int, length);
    QFETCH(bool, taken);

    HistoryCombo curMsg;
    curMsg.SetText("before");
    curMsg.AddItem("entry");
    const QString text(length, u'x');

    if (way == "SetText") {
        QCOMPARE(curMsg.SetText(text), taken);
        QCOMPARE(curMsg.Text(), taken ? text : QStringLiteral("before"));
    } else {
        QCOMPARE(curMsg.AddItem(text, 0), taken);
        QCOMPARE(curMsg.ListCount(), taken ? 2 : 1);
        // Picked, the entry comes into the text whole.
        curMsg.SetListIndex(0);
        QCOMPARE(curMsg.Text(), taken ? text : QStringLiteral("entry"));
    }
}

QTEST_MAIN(TestFieldText)
#include "tst_fieldtext.moc"
