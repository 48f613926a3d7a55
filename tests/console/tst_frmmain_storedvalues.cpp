// What the main window makes of values kept between runs that it did not
// write itself, or that it cannot write back: texts with line breaks or too
// long for a field, positions that are no whole pixel, a store that cannot be
// written at exit.

#include "fieldtext.h"
#include "filesizelimit.h"
#include "mainwindowfixture.h"

#include <QPushButton>

#include <cerrno>
#include <cstring>

class TestFrmMainStoredValues : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void unmovedWindowSavesItsPositionBack_data();
    void unmovedWindowSavesItsPositionBack();
    void storedTextsBecomeSingleLineFields_data();
    void storedTextsBecomeSingleLineFields();
    void overlongStoredValuesAreSkipped();
    void settingsThatCannotBeWrittenAreReported();
};

void TestFrmMainStoredValues::unmovedWindowSavesItsPositionBack_data()
{
    QTest::addColumn<QString>("left");
    QTest::addColumn<QString>("top");

    QTest::newRow("top-left limit") << "-400" << "-400";
    QTest::newRow("odd negative twips") << "-389" << "-1";
    QTest::newRow("odd twips on screen") << "1001" << "13";
    QTest::newRow("whole pixels") << "1500" << "900";
}

void TestFrmMainStoredValues::unmovedWindowSavesItsPositionBack()
{
    QFETCH(QString, left);
    QFETCH(QString, top);

    MainWindowFixture fixture;
    fixture.StoreSetting("MainLeft", left);
    fixture.StoreSetting("MainTop", top);
    QVERIFY(fixture.LoadAndShow());
    fixture.window->close();

    QCOMPARE(fixture.StoredSetting("MainLeft"), left);
    QCOMPARE(fixture.StoredSetting("MainTop"), top);

    // And the next start puts the window where the first one stood.
    const QPoint first = fixture.window->pos();
    fixture.window.reset();
    QVERIFY(fixture.LoadAndShow());
    QCOMPARE(fixture.window->pos(), first);
}

void TestFrmMainStoredValues::storedTextsBecomeSingleLineFields_data()
{
    QTest::addColumn<QString>("key");
    QTest::addColumn<QString>("stored");
    QTest::addColumn<QString>("shown");

    QTest::newRow("board number with CR") << "BoardNumText" << "1\r2" << "1 2";
    QTest::newRow("board number with CR LF") << "BoardNumText" << "1\r\n2" << "1 2";
    QTest::newRow("brightness with LF") << "BrightText" << "5\n0" << "5 0";
    QTest::newRow("brightness with CR LF") << "BrightText" << "5\r\n0" << "5 0";
}

void TestFrmMainStoredValues::storedTextsBecomeSingleLineFields()
{
    QFETCH(QString, key);
    QFETCH(QString, stored);
    QFETCH(QString, shown);

    MainWindowFixture fixture;
    fixture.StoreSetting(key, stored);
    QVERIFY(fixture.LoadAndShow());
    frmMain &window = *fixture.window;
    const MainWindowControls ui(window);
    QLineEdit *const field = key == "BoardNumText" ? ui.BoardNum : ui.Bright;
    QCOMPARE(field->text(), shown);

    // The check rejects the text and Send goes on with it: the string still
    // holds its four records, each led by its one CR.
    ui.Send->click();
    QCOMPARE(fixture.boxes.shown.size(), 1);
    const QByteArray sent = fixture.Received();
    QCOMPARE(sent.count('\r'), 4);
    QVERIFY(!sent.contains('\n'));

    window.close();
    QCOMPARE(fixture.StoredSetting(key), shown);
}

void TestFrmMainStoredValues::overlongStoredValuesAreSkipped()
{
    MainWindowFixture fixture;
    const QByteArray longLine(FieldTextLimit + 1, 'L');
    fixture.WriteMessageList("First\r\n" + longLine + "\r\nLast\r\n");
    fixture.StoreSetting("CurMsgText", QString(FieldTextLimit + 1, u'M'));
    fixture.StoreSetting("BoardNumText", QString(FieldTextLimit + 1, u'7'));
    QVERIFY(fixture.LoadAndShow());
    frmMain &window = *fixture.window;
    const MainWindowControls ui(window);

    QCOMPARE(ui.CurMsg->Entries(), (QStringList{"First", "Last"}));
    QCOMPARE(ui.CurMsg->Text(), QString());
    QCOMPARE(ui.BoardNum->text(), QStringLiteral("0"));

    // The fields as they stand replace what could not be shown; the
    // unchanged history leaves the file alone.
    window.close();
    QCOMPARE(fixture.StoredSetting("CurMsgText"), QString());
    QCOMPARE(fixture.StoredSetting("BoardNumText"), QStringLiteral("0"));
    QCOMPARE(fixture.ReadMessageList(), "First\r\n" + longLine + "\r\nLast\r\n");
}

void TestFrmMainStoredValues::settingsThatCannotBeWrittenAreReported()
{
    MainWindowFixture fixture;
    QVERIFY(fixture.LoadAndShow());
    frmMain &window = *fixture.window;
    const MainWindowControls ui(window);
    ui.Bright->setText("42");

    {
        const FileSizeLimit fullDisk(16);
        QVERIFY(fullDisk.IsApplied());
        window.close();
    }

    // Reported once, in the message list file's words, and the exit went on.
    QCOMPARE(fixture.boxes.shown.size(), 1);
    const QChar cr(u'\r');
    QCOMPARE(fixture.boxes.shown[0].text, QStringLiteral("Unable to write to settings file") + cr + u'"'
                                              + fixture.SettingsPath() + u'"' + cr
                                              + QString::fromLocal8Bit(std::strerror(EFBIG)));
    QCOMPARE(fixture.boxes.shown[0].icon, MessageIcon::None);
    QCOMPARE(fixture.boxes.shown[0].title, QStringLiteral("VantorMsgBoard"));
    QVERIFY(!window.isVisible());
}

QTEST_MAIN(TestFrmMainStoredValues)
#include "tst_frmmain_storedvalues.moc"
