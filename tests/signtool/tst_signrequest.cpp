#include "signrequest.h"

#include <QTest>

// Message bodies from other programs and brokers: what each key does to the
// board's last request, and what is refused whole.
class TestSignRequest : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void readsOverTheLastRequest_data();
    void readsOverTheLastRequest();
    void writtenRequestReadsBack();
};

namespace {

const SignRequest Last {{QStringLiteral("4"), QStringLiteral("50"), 2}, QStringLiteral("OLD")};

} // namespace

void TestSignRequest::readsOverTheLastRequest_data()
{
    QTest::addColumn<QByteArray>("body");
    QTest::addColumn<bool>("read");
    QTest::addColumn<QString>("board");
    QTest::addColumn<QString>("bright");
    QTest::addColumn<int>("present");
    QTest::addColumn<QString>("message");

    QTest::newRow("plain text is the message alone") << QByteArray(" HELLO {x}") << true << "4" << "50" << 2
                                                     << " HELLO {x}";
    QTest::newRow("plain UTF-8") << QByteArray("caf\xc3\xa9") << true << "4" << "50" << 2 << "caf\u00e9";
    QTest::newRow("every key") << QByteArray(R"({"board":"7","brightness":5,"presentation":"FAST","message":"Hi"})")
                               << true << "7" << "5" << 5 << "Hi";
    QTest::newRow("brightness alone keeps the rest") << QByteArray(R"( {"brightness":"09"})") << true << "4" << "09"
                                                     << 2 << "OLD";
    QTest::newRow("fraction kept for the field check") << QByteArray(R"({"brightness":5.5})") << true << "4"
                                                       << "5.5" << 2 << "OLD";
    QTest::newRow("presentation by index") << QByteArray(R"({"presentation":0})") << true << "4" << "50" << 0
                                           << "OLD";
    QTest::newRow("empty object resends") << QByteArray("{}") << true << "4" << "50" << 2 << "OLD";
    QTest::newRow("presentation 6") << QByteArray(R"({"presentation":6})") << false << "" << "" << 0 << "";
    QTest::newRow("presentation 1.5") << QByteArray(R"({"presentation":1.5})") << false << "" << "" << 0 << "";
    QTest::newRow("presentation unknown") << QByteArray(R"({"presentation":"up"})") << false << "" << "" << 0 << "";
    QTest::newRow("message a number") << QByteArray(R"({"message":5})") << false << "" << "" << 0 << "";
    QTest::newRow("brightness null") << QByteArray(R"({"brightness":null})") << false << "" << "" << 0 << "";
    QTest::newRow("unknown key") << QByteArray(R"({"mesage":"typo"})") << false << "" << "" << 0 << "";
    QTest::newRow("cut short") << QByteArray(R"({"message":)") << false << "" << "" << 0 << "";
    QTest::newRow("trailing garbage") << QByteArray(R"({"message":"a"} x)") << false << "" << "" << 0 << "";
}

void TestSignRequest::readsOverTheLastRequest()
{
    QFETCH(QByteArray, body);
    QFETCH(bool, read);

    const SignRequestReading reading = ReadMessageBody(body, Last);

    QCOMPARE(reading.request.has_value(), read);
    QCOMPARE(reading.refusal.isEmpty(), read);
    if (!read)
        return;
    QTEST(reading.request->fields.boardNum, "board");
    QTEST(reading.request->fields.bright, "bright");
    QTEST(int(reading.request->fields.present), "present");
    QTEST(reading.request->message, "message");
}

void TestSignRequest::writtenRequestReadsBack()
{
    const SignRequest sent {{QStringLiteral(" 12"), QStringLiteral("7"), 5}, QStringLiteral("{\"quoted\"}\n")};

    const SignRequestReading reading = ReadSignRequest(WriteSignRequest(sent), {});

    QVERIFY(reading.request);
    QCOMPARE(reading.request->fields.boardNum, sent.fields.boardNum);
    QCOMPARE(reading.request->fields.bright, sent.fields.bright);
    QCOMPARE(reading.request->fields.present, sent.fields.present);
    QCOMPARE(reading.request->message, sent.message);
    QVERIFY(!WriteSignRequest(sent).contains('\n'));  // one request, one line
}

QTEST_GUILESS_MAIN(TestSignRequest)
#include "tst_signrequest.moc"
