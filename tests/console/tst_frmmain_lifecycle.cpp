#define QTEST_QPA_MOUSE_HANDLING

#include "mainwindowfixture.h"

#include <QApplication>
#include <QCloseEvent>
#include <QComboBox>
#include <QDir>
#include <QGuiApplication>
#include <QLabel>
#include <QPushButton>
#include <QScreen>
#include <QWindow>

#include <functional>

namespace {

// Another loaded window that notes when it is unloaded and what the settings
// store held at that moment.
class OtherForm final : public QWidget
{
public:
    OtherForm(QString name, QStringList &unloads, std::function<QString()> storedBoardNum)
        : m_name(std::move(name))
        , m_unloads(unloads)
        , m_storedBoardNum(std::move(storedBoardNum))
    {
    }

protected:
    void closeEvent(QCloseEvent *event) override
    {
        m_unloads.append(m_name + QLatin1Char(':') + m_storedBoardNum());
        event->accept();
    }

private:
    const QString m_name;
    QStringList &m_unloads;
    const std::function<QString()> m_storedBoardNum;
};

} // namespace

class TestFrmMainLifecycle : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void loadRestoresInOrder();
    void firstRunUsesDefaultsAndStoresOnlyChanges();
    void garbageSettingsFallBack();
    void everyExitPathSaves_data();
    void everyExitPathSaves();
    void otherWindowsUnloadNewestFirstBeforeSaving();
    void unusablePortStillSaves();
    void minimizedCloseKeepsThePosition();
    void portHeldThroughTheSaveAndReleasedWithTheWindow();
};

void TestFrmMainLifecycle::loadRestoresInOrder()
{
    MainWindowFixture fixture;
    fixture.WriteMessageList("Older\r\nOldest\r\n");
    fixture.StoreSetting("MainLeft", "1500");
    fixture.StoreSetting("MainTop", "-300");
    fixture.StoreSetting("CurMsgText", " typed ");
    fixture.StoreSetting("BoardNumText", "12x");
    fixture.StoreSetting("BrightText", "5");
    fixture.StoreSetting("PresentIndex", "3");

    // A port that cannot be used is reported last: by then the window has
    // its place, its history and its fields.
    QPoint placeAtBox;
    QStringList historyAtBox;
    QString boardNumAtBox;
    fixture.boxes.onShow = [&] {
        placeAtBox = fixture.window->pos();
        historyAtBox = MainWindowControls(*fixture.window).CurMsg->Entries();
        boardNumAtBox = MainWindowControls(*fixture.window).BoardNum->text();
    };
    frmMain &window = fixture.Load("LPT1");
    const MainWindowControls ui(window);

    QCOMPARE(fixture.boxes.shown.size(), 1);
    QCOMPARE(placeAtBox, QPoint(100, -20));
    QCOMPARE(historyAtBox, (QStringList{"Older", "Oldest"}));
    QCOMPARE(boardNumAtBox, QStringLiteral("12x"));

    // The restored text is not taken into the history.
    QCOMPARE(ui.CurMsg->Text(), QStringLiteral(" typed "));
    QCOMPARE(ui.CurMsg->Entries(), (QStringList{"Older", "Oldest"}));
    QCOMPARE(ui.Bright->text(), QStringLiteral("5"));
    QCOMPARE(ui.Present->currentText(), QStringLiteral("Slow crawl from Right"));
    QCOMPARE(ui.CommUse->text(), QStringLiteral("Using NONE"));
}

void TestFrmMainLifecycle::firstRunUsesDefaultsAndStoresOnlyChanges()
{
    MainWindowFixture fixture;
    QVERIFY(fixture.LoadAndShow());
    frmMain &window = *fixture.window;
    const MainWindowControls ui(window);

    QCOMPARE(ui.CurMsg->Text(), QString());
    QCOMPARE(ui.BoardNum->text(), QStringLiteral("0"));
    QCOMPARE(ui.Bright->text(), QStringLiteral("99"));
    QCOMPARE(ui.Present->currentIndex(), 0);
    QVERIFY(ui.Send->isEnabled());

    // Centred on the primary screen.
    const QSize screen = QGuiApplication::primaryScreen()->size();
    // Measured at load, while hidden, when no frame is known yet.
    const QSize extent = window.size();
    QVERIFY(qAbs(window.pos().x() - (screen.width() - extent.width()) / 2) <= 1);
    QVERIFY(qAbs(window.pos().y() - (screen.height() - extent.height()) / 2) <= 1);

    ui.Bright->setText("50");
    window.close();

    QCOMPARE(fixture.StoredSetting("BrightText"), QStringLiteral("50"));
    QCOMPARE(fixture.StoredSetting("BoardNumText"), QStringLiteral("<absent>"));
    QCOMPARE(fixture.StoredSetting("CurMsgText"), QStringLiteral("<absent>"));
    QCOMPARE(fixture.StoredSetting("PresentIndex"), QStringLiteral("<absent>"));
    QCOMPARE(fixture.StoredSetting("MainLeft"), QString::number(window.pos().x() * 15));
    // An unchanged, empty history writes no file.
    QVERIFY(!QFile::exists(fixture.MessageListPath()));
}

void TestFrmMainLifecycle::garbageSettingsFallBack()
{
    MainWindowFixture fixture;
    QVERIFY(fixture.portLinked);
    fixture.StoreSetting("MainLeft", "left");
    fixture.StoreSetting("MainTop", "200");
    fixture.StoreSetting("PresentIndex", "9");
    frmMain &window = fixture.Load();
    const MainWindowControls ui(window);

    // A position that is no number opens the window centred, both ways.
    const QSize screen = QGuiApplication::primaryScreen()->size();
    QVERIFY(qAbs(window.pos().x() - (screen.width() - window.width()) / 2) <= 1);
    QVERIFY(qAbs(window.pos().y() - (screen.height() - window.height()) / 2) <= 1);
    QCOMPARE(ui.Present->currentIndex(), 0);
    QVERIFY(fixture.boxes.shown.isEmpty());

    window.close();
    QCOMPARE(fixture.StoredSetting("PresentIndex"), QStringLiteral("0"));
    QCOMPARE(fixture.StoredSetting("MainLeft"), QString::number(window.pos().x() * 15));
}

void TestFrmMainLifecycle::everyExitPathSaves_data()
{
    QTest::addColumn<QString>("path");
    QTest::newRow("EXIT button") << "exit";
    QTest::newRow("Escape") << "escape";
    QTest::newRow("close box") << "closebox";
    QTest::newRow("window manager") << "manager";
}

void TestFrmMainLifecycle::everyExitPathSaves()
{
    QFETCH(QString, path);
    MainWindowFixture fixture;
    QVERIFY(fixture.LoadAndShow());
    frmMain &window = *fixture.window;
    const MainWindowControls ui(window);

    ui.CurMsg->SetText("Bye");
    ui.BoardNum->setText("42");
    ui.BoardNum->setFocus();

    if (path == "exit")
        QTest::mouseClick(ui.Exit, Qt::LeftButton);
    else if (path == "escape")
        QTest::keyClick(ui.BoardNum, Qt::Key_Escape);
    else if (path == "closebox")
        window.close();
    else
        window.windowHandle()->close();

    QVERIFY(!window.isVisible());
    QCOMPARE(fixture.StoredSetting("BoardNumText"), QStringLiteral("42"));
    QCOMPARE(fixture.StoredSetting("CurMsgText"), QStringLiteral("Bye"));
    QVERIFY(fixture.boxes.shown.isEmpty());
    // A second close request saves nothing twice and changes nothing.
    fixture.StoreSetting("BoardNumText", "sentinel");
    window.close();
    QCOMPARE(fixture.StoredSetting("BoardNumText"), QStringLiteral("sentinel"));
}

void TestFrmMainLifecycle::otherWindowsUnloadNewestFirstBeforeSaving()
{
    MainWindowFixture fixture;
    QVERIFY(fixture.LoadAndShow());
    frmMain &window = *fixture.window;
    const MainWindowControls ui(window);

    QStringList unloads;
    const auto stored = [&fixture] { return fixture.StoredSetting("BoardNumText"); };
    OtherForm older("older", unloads, stored);
    OtherForm newer("newer", unloads, stored);
    fixture.forms.Load(&older);
    fixture.forms.Load(&newer);
    older.show();
    newer.show();

    ui.BoardNum->setText("8");
    window.close();

    QCOMPARE(unloads, (QStringList{"newer:<absent>", "older:<absent>"}));
    QCOMPARE(fixture.StoredSetting("BoardNumText"), QStringLiteral("8"));
    // The main window leaves the list only as it is destroyed.
    QCOMPARE(fixture.forms.Count(), 1);
    QCOMPARE(fixture.forms.At(0), &window);
}

void TestFrmMainLifecycle::unusablePortStillSaves()
{
    MainWindowFixture fixture;
    // A port entry whose device is missing.
    QVERIFY(fixture.configHome.linkPort(9, fixture.folder.filePath("unplugged")));
    QVERIFY(fixture.LoadAndShow("COM9"));
    frmMain &window = *fixture.window;
    const MainWindowControls ui(window);

    QCOMPARE(fixture.boxes.shown.size(), 1);
    QCOMPARE(fixture.boxes.shown[0].icon, MessageIcon::Stop);
    QCOMPARE(ui.CommUse->text(), QStringLiteral("Using NONE"));
    QVERIFY(!ui.Send->isEnabled());

    // Enter finds no Send to press; the rest of the window works on.
    ui.CurMsg->SetText("Kept");
    ui.CurMsg->setFocus();
    QTest::keyClick(ui.CurMsg->lineEdit(), Qt::Key_Return);
    QTest::mouseClick(ui.Bright, Qt::LeftButton);
    QCOMPARE(ui.CurMsg->Entries(), QStringList{"Kept"});
    QCOMPARE(fixture.boxes.shown.size(), 1);

    window.close();
    QCOMPARE(fixture.StoredSetting("CurMsgText"), QStringLiteral("Kept"));
    QCOMPARE(fixture.ReadMessageList(), QByteArray("Kept\r\n"));
}

void TestFrmMainLifecycle::minimizedCloseKeepsThePosition()
{
    MainWindowFixture fixture;
    fixture.StoreSetting("MainLeft", "1500");
    fixture.StoreSetting("MainTop", "300");
    QVERIFY(fixture.LoadAndShow());
    frmMain &window = *fixture.window;
    const MainWindowControls ui(window);

    window.move(200, 100);
    ui.Bright->setText("40");
    window.showMinimized();
    QVERIFY(window.isMinimized());
    window.close();

    QCOMPARE(fixture.StoredSetting("MainLeft"), QStringLiteral("1500"));
    QCOMPARE(fixture.StoredSetting("MainTop"), QStringLiteral("300"));
    QCOMPARE(fixture.StoredSetting("BrightText"), QStringLiteral("40"));
}

void TestFrmMainLifecycle::portHeldThroughTheSaveAndReleasedWithTheWindow()
{
    MainWindowFixture fixture;
    QVERIFY(fixture.LoadAndShow());
    frmMain &window = *fixture.window;
    const MainWindowControls ui(window);

    // A history that cannot be written: its box comes up inside the save.
    QVERIFY(QDir(fixture.folder.path()).mkdir("VantorMsgBoard-MsgList.txt"));
    ui.CurMsg->SetText("Unsaved");
    ui.CurMsg->setFocus();
    QTest::keyClick(ui.CurMsg->lineEdit(), Qt::Key_Return);
    QCOMPARE(fixture.Received(), QByteArray("\r0C0\r0B99\r0AUnsaved\r0D"));

    bool openDuringSave = false;
    fixture.boxes.onShow = [&] { openDuringSave = fixture.port->IsOpen(); };
    window.close();
    QCOMPARE(fixture.boxes.shown.size(), 1);
    QVERIFY(fixture.boxes.shown[0].text.startsWith("Unable to "));
    QVERIFY(openDuringSave);

    // Still held after the save, by this program alone, until the window
    // goes.
    PortControl other;
    QVERIFY(other.SetCommPort(MainWindowFixture::SignPort).ok);
    QVERIFY(!other.Open().ok);
    fixture.window.reset();
    QVERIFY(other.Open().ok);
}

QTEST_MAIN(TestFrmMainLifecycle)
#include "tst_frmmain_lifecycle.moc"
