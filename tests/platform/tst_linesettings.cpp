#include "linesettings.h"

#include <QTest>

class TestLineSettings : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void readsValidSettings_data();
    void readsValidSettings();
    void refusesMalformedSettings_data();
    void refusesMalformedSettings();
};

void TestLineSettings::readsValidSettings_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<int>("baud");
    QTest::addColumn<QSerialPort::Parity>("parity");
    QTest::addColumn<QSerialPort::DataBits>("dataBits");
    QTest::addColumn<QSerialPort::StopBits>("stopBits");

    QTest::newRow("the sign's") << "9600,N,8,1" << 9600 << QSerialPort::NoParity
                                << QSerialPort::Data8 << QSerialPort::OneStop;
    QTest::newRow("lower-case even, two stop bits") << "19200,e,7,2" << 19200
        << QSerialPort::EvenParity << QSerialPort::Data7 << QSerialPort::TwoStop;
    QTest::newRow("odd, five bits, one and a half stop") << "300,O,5,1.5" << 300
        << QSerialPort::OddParity << QSerialPort::Data5 << QSerialPort::OneAndHalfStop;
    QTest::newRow("mark, six bits") << "110,M,6,1" << 110
        << QSerialPort::MarkParity << QSerialPort::Data6 << QSerialPort::OneStop;
    QTest::newRow("space parity, custom rate, spaced fields") << " 250000 , s , 8 , 1 " << 250000
        << QSerialPort::SpaceParity << QSerialPort::Data8 << QSerialPort::OneStop;
}

void TestLineSettings::readsValidSettings()
{
    QFETCH(QString, text);
    QFETCH(int, baud);
    QFETCH(QSerialPort::Parity, parity);
    QFETCH(QSerialPort::DataBits, dataBits);
    QFETCH(QSerialPort::StopBits, stopBits);

    const ParsedLineSettings parsed = ParseLineSettings(text);

    QVERIFY2(parsed.ok(), qPrintable(parsed.problem));
    QCOMPARE(parsed.settings.baudRate, baud);
    QCOMPARE(parsed.settings.parity, parity);
    QCOMPARE(parsed.settings.dataBits, dataBits);
    QCOMPARE(parsed.settings.stopBits, stopBits);
}

void TestLineSettings::refusesMalformedSettings_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("complaint");

    QTest::newRow("empty") << "" << "four fields";
    QTest::newRow("three fields") << "9600,N,8" << "four fields";
    QTest::newRow("five fields") << "9600,N,8,1,1" << "four fields";
    QTest::newRow("zero speed") << "0,N,8,1" << "speed";
    QTest::newRow("negative speed") << "-9600,N,8,1" << "speed";
    QTest::newRow("signed speed") << "+9600,N,8,1" << "speed";
    QTest::newRow("letter O in speed") << "96O0,N,8,1" << "speed";
    QTest::newRow("speed beyond 32 bits") << "99999999999,N,8,1" << "speed";
    QTest::newRow("unknown parity") << "9600,X,8,1" << "parity";
    QTest::newRow("parity spelt out") << "9600,None,8,1" << "parity";
    QTest::newRow("missing parity") << "9600,,8,1" << "parity";
    QTest::newRow("four data bits") << "9600,N,4,1" << "data bits";
    QTest::newRow("nine data bits") << "9600,N,9,1" << "data bits";
    QTest::newRow("three stop bits") << "9600,N,8,3" << "stop bits";
    QTest::newRow("stop bits 1.0") << "9600,N,8,1.0" << "stop bits";
    QTest::newRow("semicolons") << "9600;N;8;1" << "four fields";
}

void TestLineSettings::refusesMalformedSettings()
{
    QFETCH(QString, text);
    QFETCH(QString, complaint);

    const ParsedLineSettings parsed = ParseLineSettings(text);

    QVERIFY(!parsed.ok());
    QVERIFY2(parsed.problem.contains(QLatin1Char('"') + text + QLatin1Char('"')), qPrintable(parsed.problem));
    QVERIFY2(parsed.problem.contains(complaint), qPrintable(parsed.problem));
}

QTEST_GUILESS_MAIN(TestLineSettings)
#include "tst_linesettings.moc"
