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
        const FieldVerdict verdict = ValidateDecimalField(field, typed, boxes);
        QCOMPARE(verdict.text, accepted ? expected : typed);
        QCOMPARE(verdict.cancel, !accepted);
        QCOMPARE(boxes.shown.size(), accepted ? 0 : 1);
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
    const QString text = QStringLiteral("abc");
    ReentryGuard eventBusy;
    bool busyWhileShown = false;
    boxes.onShow = [&] { busyWhileShown = eventBusy.IsSet(); };

    const FieldVerdict verdict = boardNum ? BoardNum_Validate(text, eventBusy, boxes)
                                          : Bright_Validate(text, eventBusy, boxes);

    QCOMPARE(boxes.shown.size(), 1);
    const RecordingMessageBoxes::Shown &box = boxes.shown.constFirst();
    QCOMPARE(box.text, firstLine + QChar(13) + Advice);
    QCOMPARE(box.title, QStringLiteral("VantorMsgBoard"));
    QCOMPARE(box.icon, MessageIcon::None);
    QVERIFY(verdict.cancel);
    QVERIFY2(busyWhileShown, "other handlers must stay out while the box is up");
    QVERIFY(!eventBusy.IsSet());
}

void TestFieldCheck::busyHandlerDoesNothing_data()
{
    QTest::addColumn<QString>("typed");

    QTest::newRow("would be rejected") << QStringLiteral("abc");
    QTest::newRow("would be trimmed") << QStringLiteral(" 7 ");
    QTest::newRow("would get the default") << QString();
}

void TestFieldCheck::busyHandlerDoesNothing()
{
    QFETCH(QString, typed);

    for (const auto handler : {&BoardNum_Validate, &Bright_Validate}) {
        RecordingMessageBoxes boxes;
        ReentryGuard eventBusy;
        FieldVerdict verdict;
        eventBusy.Run([&] { verdict = handler(typed, eventBusy, boxes); });

        QCOMPARE(verdict.text, typed);
        QVERIFY(!verdict.cancel);
        QVERIFY(boxes.shown.isEmpty());
    }
}

// While the board number's box is up, focus moves to the brightness field
// and raises its check: that check must not show a second box or change its
// field, and the flag must be clear once both are done.
void TestFieldCheck::nestedCheckDuringBoxIsIgnored()
{
    RecordingMessageBoxes boxes;
    const QString bright = QStringLiteral("xyz");
    ReentryGuard eventBusy;
    FieldVerdict nested;
    boxes.onShow = [&] {
        if (boxes.shown.size() == 1)
            nested = Bright_Validate(bright, eventBusy, boxes);
    };

    const FieldVerdict boardNum = BoardNum_Validate(QStringLiteral("abc"), eventBusy, boxes);

    QCOMPARE(boxes.shown.size(), 1);
    QVERIFY(boxes.shown.constFirst().text.startsWith(QLatin1String("INVALID BOARD NUMBER")));
    QCOMPARE(nested.text, bright);
    QVERIFY(boardNum.cancel);
    QVERIFY(!nested.cancel);
    QVERIFY(!eventBusy.IsSet());

    QVERIFY(Bright_Validate(bright, eventBusy, boxes).cancel);
    QCOMPARE(boxes.shown.size(), 2);
}

QTEST_GUILESS_MAIN(TestFieldCheck)
#include "tst_fieldcheck.moc"
