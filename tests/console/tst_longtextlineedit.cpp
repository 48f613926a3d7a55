#include "formlayout.h"
#include "longtextlineedit.h"

#include <QTest>

class TestLongTextLineEdit : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void paintsAsQLineEdit_data();
    void paintsAsQLineEdit();
};

void TestLongTextLineEdit::paintsAsQLineEdit_data()
{
    QTest::addColumn<QString>("text");
    // Painted at each in turn: a paint scrolls on from where the last one left.
    QTest::addColumn<QList<int>>("cursors");
    // How many characters before the cursor are selected.
    QTest::addColumn<int>("selected");
    QTest::addColumn<bool>("focused");

    constexpr int Length = 3 * LongTextLineEdit::LongTextLength;
    QString text;
    for (int i = 0; i < Length; ++i)
        text.append(QChar(u'A' + i % 26));
    QTest::newRow("to the end, back to the middle") << text << QList<int>{Length, Length / 2} << 0 << false;
    QTest::newRow("selected from out of view") << text << QList<int>{Length / 2} << 500 << false;
    QTest::newRow("cursor shown") << text << QList<int>{0, Length / 2} << 0 << true;
    QTest::newRow("right to left")
        << QString(Length, QChar(0x05D0)) + text << QList<int>{Length / 2} << 0 << false;
}

// The pixels of a plain QLineEdit, and a click lands where it lands there.
void TestLongTextLineEdit::paintsAsQLineEdit()
{
    QFETCH(QString, text);
    QFETCH(QList<int>, cursors);
    QFETCH(int, selected);
    QFETCH(bool, focused);

    QLineEdit plain;
    LongTextLineEdit longText;
    const QList<QLineEdit *> edits{&plain, &longText};
    for (QLineEdit *edit : edits) {
        edit->setFont(LucidaConsoleFont(9.75));
        edit->setMaxLength(text.size());
        edit->resize(300, 30);
        edit->setText(text);
    }
    for (const int cursor : cursors) {
        QList<QImage> painted;
        for (QLineEdit *edit : edits) {
            // Focused in turn; the cursor's move starts its blink shown.
            if (focused) {
                edit->show();
                edit->activateWindow();
                edit->setFocus();
                QVERIFY(QTest::qWaitForWindowActive(edit));
            }
            edit->setSelection(cursor - selected, selected);
            painted.append(edit->grab().toImage());
        }
        QCOMPARE(painted.at(1), painted.at(0));
    }
    QCOMPARE(longText.cursorPositionAt({150, 15}), plain.cursorPositionAt({150, 15}));
}

QTEST_MAIN(TestLongTextLineEdit)
#include "tst_longtextlineedit.moc"
