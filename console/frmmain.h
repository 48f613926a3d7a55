#pragma once

// The window, its controls, MSComm1, EventBusy and MsgListDirty keep their
// historical names: keep them as they are. The window's other members are m_.

// The console's one working window.
//
// frmMain holds the four operator fields, the three buttons, the port status
// label and the serial-port control. Its handlers hand the real work to the
// window-free pieces beside it: the field checks (fieldcheck.h), the message
// history and its file (messagehistory.h, messagelistfile.h), the stored
// settings and placement (settings.h, placement.h), and, for Send, the sign
// command string and the port (signlink). Data flows one way on Send: field
// texts -> checks -> BuildSignCommand() -> SerialControl::Output().

#include "reentryguard.h"

#include <QPointF>
#include <QString>
#include <QWidget>

#include <functional>
#include <memory>
#include <optional>

class DeliveryQueue;
class HandOverServer;
class HistoryCombo;
class LoadedForms;
class MessageBoxes;
class MnuHelp;
class PortStatusLabel;
class QCloseEvent;
class QComboBox;
class QLabel;
class QLineEdit;
class QPushButton;
class SerialControl;
class SettingsStore;

// What the window is given when it is loaded. The store, the boxes and the
// form list outlive the window; the serial-port control is the window's own
// and goes with it.
struct MainWindowContext
{
    // The program's command-line argument, naming the port.
    QString commandLineArgument;
    SettingsStore *settings = nullptr;
    MessageBoxes *boxes = nullptr;
    std::unique_ptr<SerialControl> port;
    // Holds the message list file and the help file.
    QString programFolder;
    LoadedForms *forms = nullptr;
    // Shows the About window modal over the given owner; returns when it is closed.
    std::function<void(QWidget *owner)> showAbout;
};

class frmMain final : public QWidget
{
    Q_OBJECT

public:
    explicit frmMain(MainWindowContext context, QWidget *parent = nullptr);
    ~frmMain() override;

    // The load sequence: position, history, fields, port. Run once, right
    // after construction, while the window is still hidden.
    void Form_Load();

protected:
    // Every way of closing the window (Exit, Escape, the close box, the
    // window manager) arrives here and unloads it.
    void closeEvent(QCloseEvent *event) override;

private:
    void LayOutControls();
    void SetToolTips();
    void SetTabOrder();
    void ConnectEvents();

    void Form_Unload();
    void SaveSettings();

    void CurMsg_Validate(bool &cancel);
    void CurMsg_Click();
    void BoardNum_Validate(bool &cancel);
    void Bright_Validate(bool &cancel);
    void Send_Click();
    void Exit_Click();
    void Help_Click();
    void mnuHelpTopics_Click();
    void mnuHelpWeb_Click();
    void MnuHelpAbout_Click();
    void ReportWriteFailure(const QString &description);
    void CommUse_Click();
    // Makes the console's port name `target` and opens it; false when it
    // could not be opened (the operator has been told).
    bool UsePort(int port, const QString &target);
    // Lets other programs of this user send through the open port.
    void ShareThePort(int port);

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
    QLabel *const Label5;
    QLabel *const CommUse;
    MnuHelp *const mnuHelp;
    PortStatusLabel *const m_portStatus;

    MainWindowContext m_context;
    SerialControl &MSComm1;
    MessageBoxes &m_boxes;
    // The stored corner Form_Load kept, so that an unmoved window saves it
    // back exactly (placement.h).
    std::optional<QPointF> m_restoredCorner;
    // The port number the argument named, for the write-failure report.
    int m_portNumber = 0;
    // Strings other programs hand over while the port is open (handoverserver.h).
    DeliveryQueue *m_sharedOutput = nullptr;
    HandOverServer *m_handOver = nullptr;

    // Set while one of the four field handlers runs.
    ReentryGuard EventBusy;
    // True while the history differs from the message list file.
    bool MsgListDirty = false;
    bool m_unloaded = false;
};
