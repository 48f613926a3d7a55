#include "fieldcheck.h"
#include "recordingmessageboxes.h"

#include <QTest>

namespace {
const QString Advice = QStringLiteral("Please enter a decimal number between 0 and 99");
}

class TestFieldCheck : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void verdict_data();
    void verdict();
    void rejectionBox_data();
    void rejectionBox();
    void busyHandlerDoesNothing_data();
    void busyHandlerDoesNothing();
    void nestedCheckDuringBoxIsIgnored();
};

// Both fields share every rule but the empty default and the message, so
// each row runs against both handlers.
void TestFieldCheck::verdict_data()
{
    QTest::addColumn<QString>("typed");
    // The field's text afterwards when accepted; ignored when rejected.
    QTest::addColumn<QString>("boardNumAccepted");
    QTest::addColumn<QString>("brightAccepted");
    QTest::addColumn<bool>("accepted");

    const QString keep;
    QTest::newRow("plain number") << QStringLiteral("42") << QStringLiteral("42")
                                  << QStringLiteral("42") << true;
    QTest::newRow("spaces around") << QStringLiteral(" 7 ") << QStringLiteral("7")
                                   << QStringLiteral("7") << true;
    QTest::newRow("empty") << QString() << QStringLiteral("0") << QStringLiteral("99") << true;
    QTest::newRow("all spaces") << QStringLiteral("   ") << QStringLiteral("0")
                                << QStringLiteral("99") << true;
    QTest::newRow("leading zeros kept") << QStringLiteral("007") << QStringLiteral("007")
                                        << QStringLiteral("007") << true;
    QTest::newRow("smallest") << QStringLiteral("0") << QStringLiteral("0")
                              << QStringLiteral("0") << true;
    QTest::newRow("largest") << QStringLiteral("99") << QStringLiteral("99")
                             << QStringLiteral("99") << true;
    QTest::newRow("32,766 zeros") << QString(32766, QLatin1Char('0'))
                                  << QString(32766, QLatin1Char('0'))
                                  << QString(32766, QLatin1Char('0')) << true;
    QTest::newRow("32,766 zeros inside spaces")
        << QStringLiteral("  ") + QString(32766, QLatin1Char('0')) + QStringLiteral("  ")
        << QString(32766, QLatin1Char('0')) << QString(32766, QLatin1Char('0')) << true;

    QTest::newRow("one too many") << QStringLiteral("100") << keep << keep << false;
    QTest::newRow("minus sign") << QStringLiteral("-1") << keep << keep << false;
    QTest::newRow("plus sign") << QStringLiteral("+5") << keep << keep << false;
    QTest::newRow("space inside") << QStringLiteral("1 2") << keep << keep << false;
    QTest::newRow("letter after") << QStringLiteral("12a") << keep << keep << false;
    QTest::newRow("tab after") << QStringLiteral("5\t") << keep << keep << false;
    QTest::newRow("tab alone") << QStringLiteral("\t") << keep << keep << false;
    QTest::newRow("no-break space") << QStringLiteral("\u00a05") << keep << keep << false;
    QTest::newRow("beyond 16 bits") << QStringLiteral("32768") << keep << keep << false;
    QTest::newRow("letters") << QStringLiteral("abc") << keep << keep << false;
    QTest::newRow("decimal point") << QStringLiteral("5.0") << keep << keep << false;
    QTest::newRow("arabic-indic digit") << QStringLiteral("\u0663") << keep << keep << false;
    QTest::newRow("32,767 zeros") << QString(32767, QLatin1Char('0')) << keep << keep << false;
    QTest::newRow("spaces around a rejected text") << QStringLiteral(" 1x ") << keep << keep
                                                   << false;
}

void TestFieldCheck::verdict()
{
    QFETCH(QString, typed);
    QFETCH(QString, boardNumAccepted);
    QFETCH(QString, brightAccepted);
    QFETCH(bool, accepted);

    const struct
    {
        DecimalField field;
        QString expected;
    } cases[] = {{DecimalField::BoardNum, boardNumAccepted},
                 {DecimalField::Bright, brightAccepted}};

    for (const auto &[field, expected] : cases) {
        RecordingMessageBoxes boxes;
        QString text = typed;
        bool eventBusy = false;
        // Passed in true: a check that accepts must leave it alone, and one
        // that rejects sets it anyway.
        bool cancelWasSet = true;
        bool cancelWasClear = false;

        ValidateDecimalField(field, text, eventBusy, cancelWasSet, boxes);
        QCOMPARE(text, accepted ? expected : typed);
        QVERIFY(cancelWasSet);
        QVERIFY(!eventBusy);

        text = typed;
        ValidateDecimalField(field, text, eventBusy, cancelWasClear, boxes);
        QCOMPARE(cancelWasClear, !accepted);
        QCOMPARE(boxes.shown.size(), accepted ? 0 : 2);
        QVERIFY(!eventBusy);
    }
}

void TestFieldCheck::rejectionBox_data()
{
    QTest::addColumn<bool>("boardNum");
    QTest::addColumn<QString>("firstLine");

    QTest::newRow("board number") << true << QStringLiteral("INVALID BOARD NUMBER");
    QTest::newRow("brightness") << false << QStringLiteral("INVALID BRIGHTNESS");
}

void TestFieldCheck::rejectionBox()
{
    QFETCH(bool, boardNum);
    QFETCH(QString, firstLine);

    RecordingMessageBoxes boxes;
    QString text = QStringLiteral("abc");
    bool eventBusy = false;
    bool cancel = false;
    bool busyWhileShown = false;
    boxes.onShow = [&] { busyWhileShown = eventBusy; };

    if (boardNum)
        BoardNum_Validate(text, eventBusy, cancel, boxes);
    else
        Bright_Validate(text, eventBusy, cancel, boxes);

    QCOMPARE(boxes.shown.size(), 1);
    const RecordingMessageBoxes::Shown &box = boxes.shown.constFirst();
    QCOMPARE(box.text, firstLine + QChar(13) + Advice);
    QCOMPARE(box.title, QStringLiteral("VantorMsgBoard"));
    QCOMPARE(box.icon, MessageIcon::None);
    QVERIFY(cancel);
    QVERIFY2(busyWhileShown, "other handlers must stay out while the box is up");
    QVERIFY(!eventBusy);
}

void TestFieldCheck::busyHandlerDoesNothing_data()
{
    QTest::addColumn<QString>("typed");
    QTest::addColumn<bool>("cancel");

    QTest::newRow("would be rejected, cancel clear") << QStringLiteral("abc") << false;
    QTest::newRow("would be rejected, cancel set") << QStringLiteral("abc") << true;
    QTest::newRow("would be trimmed") << QStringLiteral(" 7 ") << false;
    QTest::newRow("would get the default") << QString() << false;
}

void TestFieldCheck::busyHandlerDoesNothing()
{
    QFETCH(QString, typed);
    QFETCH(bool, cancel);

    for (const DecimalField field : {DecimalField::BoardNum, DecimalField::Bright}) {
        RecordingMessageBoxes boxes;
        QString text = typed;
        bool eventBusy = true;
        bool cancelFlag = cancel;

        ValidateDecimalField(field, text, eventBusy, cancelFlag, boxes);

        QCOMPARE(text, typed);
        QCOMPARE(cancelFlag, cancel);
        QVERIFY(boxes.shown.isEmpty());
        QVERIFY2(eventBusy, "the running handler still owns the flag");
    }
}

// While the board number's box is up, focus moves to the brightness field
// and raises its check: that check must not show a second box or change its
// field, and the flag must be clear once both are done.
void TestFieldCheck::nestedCheckDuringBoxIsIgnored()
{
    RecordingMessageBoxes boxes;
    QString boardNum = QStringLiteral("abc");
    QString bright = QStringLiteral("xyz");
    bool eventBusy = false;
    bool boardCancel = false;
    bool brightCancel = false;
    boxes.onShow = [&] {
        if (boxes.shown.size() == 1)
            Bright_Validate(bright, eventBusy, brightCancel, boxes);
    };

    BoardNum_Validate(boardNum, eventBusy, boardCancel, boxes);

    QCOMPARE(boxes.shown.size(), 1);
    QVERIFY(boxes.shown.constFirst().text.startsWith(QLatin1String("INVALID BOARD NUMBER")));
    QCOMPARE(bright, QStringLiteral("xyz"));
    QVERIFY(boardCancel);
    QVERIFY(!brightCancel);
    QVERIFY(!eventBusy);

    Bright_Validate(bright, eventBusy, brightCancel, boxes);
    QCOMPARE(boxes.shown.size(), 2);
    QVERIFY(brightCancel);
}

QTEST_GUILESS_MAIN(TestFieldCheck)
#include "tst_fieldcheck.moc"
