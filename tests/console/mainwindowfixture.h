#pragma once

// A main window as start-up loads it, on the offscreen platform: its port is
// a real pseudo-terminal reached through the port naming of a temporary
// config home, its settings and message list file live in a temporary
// folder, and its message boxes are recorded instead of shown.

#include "frmmain.h"
#include "historycombo.h"
#include "helpmenu.h"
#include "loadedforms.h"
#include "namedchild.h"
#include "ptypair.h"
#include "portcontrol.h"
#include "recordingmessageboxes.h"
#include "settingsstore.h"

#include <QComboBox>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSettings>
#include <QTemporaryDir>
#include <QTest>

#include <memory>

// The window's controls, found by the names the window gives them.
struct MainWindowControls
{
    explicit MainWindowControls(const frmMain &window)
        : Label1(NamedChild<QLabel>(window, "Label1"))
        , CurMsg(NamedChild<HistoryCombo>(window, "CurMsg"))
        , Label2(NamedChild<QLabel>(window, "Label2"))
        , BoardNum(NamedChild<QLineEdit>(window, "BoardNum"))
        , Label3(NamedChild<QLabel>(window, "Label3"))
        , Bright(NamedChild<QLineEdit>(window, "Bright"))
        , Label4(NamedChild<QLabel>(window, "Label4"))
        , Present(NamedChild<QComboBox>(window, "Present"))
        , Help(NamedChild<QPushButton>(window, "Help"))
        , Exit(NamedChild<QPushButton>(window, "Exit"))
        , Send(NamedChild<QPushButton>(window, "Send"))
        , CommUse(NamedChild<QLabel>(window, "CommUse"))
        , mnuHelp(NamedChild<MnuHelp>(window, "mnuHelp"))
    {
    }

    QLabel *const Label1;
    HistoryCombo *const CurMsg;
    QLabel *const Label2;
    QLineEdit *const BoardNum;
    QLabel *const Label3;
    QLineEdit *const Bright;
    QLabel *const Label4;
    QComboBox *const Present;
    QPushButton *const Help;
    QPushButton *const Exit;
    QPushButton *const Send;
    QLabel *const CommUse;
    MnuHelp *const mnuHelp;
};

class MainWindowFixture
{
public:
    static constexpr int SignPort = 3;

    MainWindowFixture()
        : pty(std::make_unique<PtyPair>())
    {
        portLinked = pty->isValid() && configHome.linkPort(SignPort, pty->slavePath());
    }

    [[nodiscard]] QString SettingsPath() const { return folder.filePath("settings.conf"); }
    [[nodiscard]] QString MessageListPath() const
    {
        return folder.filePath("VantorMsgBoard-MsgList.txt");
    }

    void WriteMessageList(const QByteArray &bytes) const
    {
        QFile file(MessageListPath());
        QVERIFY(file.open(QIODevice::WriteOnly));
        QCOMPARE(file.write(bytes), bytes.size());
    }
    [[nodiscard]] QByteArray ReadMessageList() const
    {
        QFile file(MessageListPath());
        return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
    }

    void StoreSetting(const QString &key, const QString &value) const
    {
        QSettings stored(SettingsPath(), QSettings::IniFormat);
        stored.setValue("Settings/" + key, value);
    }
    // The stored value, or "<absent>" when the key was never written.
    [[nodiscard]] QString StoredSetting(const QString &key) const
    {
        const QSettings stored(SettingsPath(), QSettings::IniFormat);
        return stored.value("Settings/" + key, QStringLiteral("<absent>")).toString();
    }

    // Loads the window hidden, as start-up does; the caller shows it.
    frmMain &Load(const QString &argument = QStringLiteral("COM3"),
                  std::unique_ptr<SerialControl> control = std::make_unique<PortControl>())
    {
        settings = std::make_unique<SettingsStore>(SettingsPath());
        MainWindowContext context;
        context.commandLineArgument = argument;
        context.settings = settings.get();
        context.boxes = &boxes;
        context.port = std::move(control);
        port = context.port.get();
        context.programFolder = folder.path();
        context.forms = &forms;
        context.showAbout = [this](QWidget *owner) { aboutOwners.append(owner); };
        window = std::make_unique<frmMain>(std::move(context));
        forms.Load(window.get());
        window->Form_Load();
        return *window;
    }

    // False when the window could not be shown, or the sign's port could not
    // be set up for it.
    [[nodiscard]] bool LoadAndShow(const QString &argument = QStringLiteral("COM3"),
                                   std::unique_ptr<SerialControl> control = std::make_unique<PortControl>())
    {
        if (!portLinked)
            return false;
        Load(argument, std::move(control)).show();
        window->activateWindow();
        return QTest::qWaitForWindowActive(window.get());
    }

    // Everything the sign has been sent so far.
    [[nodiscard]] QByteArray Received() { return pty->drainMaster(); }

    // The far end of the line goes away, as an unplugged adapter does.
    void UnplugSign() { pty.reset(); }

    TempConfigHome configHome;
    QTemporaryDir folder;
    std::unique_ptr<PtyPair> pty;
    bool portLinked = false;
    RecordingMessageBoxes boxes;
    LoadedForms forms;
    std::unique_ptr<SettingsStore> settings;
    QList<QWidget *> aboutOwners;
    // The window's own port, valid while the window lives.
    SerialControl *port = nullptr;
    std::unique_ptr<frmMain> window;
};
