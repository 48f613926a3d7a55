#include "formlayout.h"
#include "longtextlineedit.h"

#include <QImage>
#include <QTest>

namespace {

// The field's font, and a width far below its text's.
template<typename Edit>
void Prepare(Edit &edit, const QString &text)
{
    edit.setFont(LucidaConsoleFont(9.75));
    edit.setMaxLength(text.size());
    edit.resize(300, 30);
    edit.setText(text);
}

} // namespace

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
    // Each cursor position is painted in turn, so that the scrolling each
    // paint leaves is what the next one starts from.
    QTest::addColumn<QList<int>>("cursors");
    QTest::addColumn<int>("selectionStart");
    QTest::addColumn<bool>("focused");

    constexpr int Length = 3 * LongTextLineEdit::LongTextLength;
    QString mixed;
    for (int i = 0; i < Length; ++i)
        mixed.append(QChar(u'A' + i % 26));
    QTest::newRow("cursor at the start") << mixed << QList<int>{0} << -1 << false;
    QTest::newRow("cursor at the end") << mixed << QList<int>{Length} << -1 << false;
    QTest::newRow("back from the end to the middle") << mixed << QList<int>{Length, Length / 2} << -1 << false;
    QTest::newRow("on from the start to the middle") << mixed << QList<int>{0, Length / 2} << -1 << false;
    QTest::newRow("selection out of view on the left")
        << mixed << QList<int>{Length / 2} << Length / 2 - 500 << false;
    QTest::newRow("selection inside the view") << mixed << QList<int>{Length / 2} << Length / 2 - 5 << false;
    QTest::newRow("short text") << QString(300, u'x') << QList<int>{150} << 100 << false;
    QTest::newRow("right-to-left text")
        << QString(Length, QChar(0x05D0)) + mixed << QList<int>{Length / 2} << -1 << false;
    QTest::newRow("cursor shown") << mixed << QList<int>{Length, Length / 2} << -1 << true;
}

// The same pixels as a plain QLineEdit, and a click in it lands where it
// would land there.
void TestLongTextLineEdit::paintsAsQLineEdit()
{
    QFETCH(QString, text);
    QFETCH(QList<int>, cursors);
    QFETCH(int, selectionStart);
    QFETCH(bool, focused);

    QLineEdit plain;
    LongTextLineEdit longText;
    Prepare(plain, text);
    Prepare(longText, text);
    for (const int cursor : cursors) {
        QList<QImage> painted;
        // Each focused in turn; moving the cursor starts its blink shown.
        for (QLineEdit *edit : {&plain, static_cast<QLineEdit *>(&longText)}) {
            if (focused) {
                edit->show();
                edit->activateWindow();
                edit->setFocus();
                QVERIFY(QTest::qWaitForWindowActive(edit));
            }
            if (selectionStart >= 0)
                edit->setSelection(selectionStart, cursor - selectionStart);
            else
                edit->setCursorPosition(cursor);
            painted.append(edit->grab().toImage());
        }
        QCOMPARE(painted.at(1), painted.at(0));
    }
    for (const int x : {3, 150, 297}) {
        const QPoint click(x, 15);
        QCOMPARE(longText.cursorPositionAt(click), plain.cursorPositionAt(click));
    }
}

QTEST_MAIN(TestLongTextLineEdit)
#include "tst_longtextlineedit.moc"
