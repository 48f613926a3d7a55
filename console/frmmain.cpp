#include "frmmain.h"

#include "appinfo.h"
#include "commport.h"
#include "deliveryqueue.h"
#include "dialogkeys.h"
#include "fieldcheck.h"
#include "fieldtext.h"
#include "singlelinefield.h"
#include "focusvalidation.h"
#include "formlayout.h"
#include "handoverserver.h"
#include "helpmenu.h"
#include "historycombo.h"
#include "loadedforms.h"
#include "messageboxes.h"
#include "messagehistory.h"
#include "messagelistfile.h"
#include "placement.h"
#include "portchoices.h"
#include "portchooser.h"
#include "portstatuslabel.h"
#include "savefailure.h"
#include "serialcontrol.h"
#include "settings.h"
#include "settingsstore.h"
#include "signcommand.h"

#include <QCloseEvent>
#include <QComboBox>
#include <QCoreApplication>
#include <QGuiApplication>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QScreen>
#include <QShortcut>

namespace {

// The presentations, in the order of their index on the sign line.
const QStringList &PresentationNames()
{
    static const QStringList names{
        QStringLiteral("Left Justify"),          QStringLiteral("Right Justify"),
        QStringLiteral("Center"),                QStringLiteral("Slow crawl from Right"),
        QStringLiteral("Medium crawl from Right"), QStringLiteral("Fast crawl from Right"),
    };
    return names;
}

// The designed text of the message field: 80 characters that fill its width.
const QString MessageRuler = QStringLiteral("AAAAAAAAAAAAAAAAAAAABBBBBBBBBBBBBBBBBBBB"
                                            "CCCCCCCCCCCCCCCCCCCCDDDDDDDDDDDDDDDDDDDD");

QPushButton *NewButton(QWidget *parent, const char *name, const QString &caption)
{
    auto *button = new QPushButton(caption, parent);
    button->setObjectName(QLatin1StringView(name));
    // Enter and Escape are the window's (DialogKeys); a focused button
    // takes Enter for itself there, not through Qt's auto-default.
    button->setAutoDefault(false);
    return button;
}

template<typename Widget>
Widget *NewField(QWidget *parent, const char *name, const QString &accessibleName)
{
    auto *field = new Widget(parent);
    field->setObjectName(QLatin1StringView(name));
    // The label beside a field is not tied to it, so the field carries the
    // label's text for a screen reader.
    field->setAccessibleName(accessibleName);
    return field;
}

// A label of designed size that still shows its whole text where the
// stand-in font runs taller or wider than the designed one.
void PlaceLabel(QLabel *label, const QRect &designed)
{
    label->setGeometry(QRect(designed.topLeft(), designed.size().expandedTo(label->sizeHint())));
}

// The field takes the verdict's text; a rejection cancels the leaving of it,
// an acceptance leaves the Cancel flag as it was.
void TakeVerdict(QLineEdit &field, const FieldVerdict &verdict, bool &cancel)
{
    if (verdict.text != field.text())
        field.setText(verdict.text);
    if (verdict.cancel)
        cancel = true;
}

QSizeF PrimaryScreenTwips()
{
    const QScreen *const screen = QGuiApplication::primaryScreen();
    return screen ? QSizeF(screen->size()) * TwipsPerPixel : QSizeF();
}

} // namespace

frmMain::frmMain(MainWindowContext context, QWidget *parent)
    : QWidget(parent)
    , Label1(NewLabel(this, "Label1", QStringLiteral("Current Message")))
    , CurMsg(NewField<HistoryCombo>(this, "CurMsg", QStringLiteral("Current Message")))
    , Label2(NewLabel(this, "Label2", QStringLiteral("Message Board Number")))
    , BoardNum(NewField<QLineEdit>(this, "BoardNum", QStringLiteral("Message Board Number")))
    , Label3(NewLabel(this, "Label3", QStringLiteral("Brightness")))
    , Bright(NewField<QLineEdit>(this, "Bright", QStringLiteral("Brightness")))
    , Label4(NewLabel(this, "Label4", QStringLiteral("Presentation")))
    , Present(NewField<QComboBox>(this, "Present", QStringLiteral("Presentation")))
    , Help(NewButton(this, "Help", QStringLiteral("HELP")))
    , Exit(NewButton(this, "Exit", QStringLiteral("EXIT")))
    , Send(NewButton(this, "Send", QStringLiteral("SEND")))
    , Label5(NewLabel(this, "Label5", QStringLiteral("%")))
    , CommUse(NewLabel(this, "CommUse", QStringLiteral("Using ")))
    , mnuHelp(new MnuHelp(this))
    , m_portStatus(new PortStatusLabel(CommUse))
    , m_context(std::move(context))
    , MSComm1(*m_context.port)
    , m_boxes(*m_context.boxes)
{
    setObjectName(QStringLiteral("frmMain"));
    setWindowTitle(QStringLiteral("Vantor Message Board"));
    setFont(DialogFont());

    MakeSingleLineField(*BoardNum);
    MakeSingleLineField(*Bright);
    CurMsg->setFont(LucidaConsoleFont(9.75));
    CurMsg->SetText(MessageRuler);
    BoardNum->setText(QStringLiteral("0"));
    Bright->setText(QStringLiteral("75"));
    Present->addItems(PresentationNames());
    CommUse->setAlignment(Qt::AlignCenter);

    SetToolTips();
    LayOutControls();
    SetTabOrder();
    ConnectEvents();
}

// The port goes with the window, after Form_Unload has saved everything.
frmMain::~frmMain() = default;

void frmMain::LayOutControls()
{
    // Sizable, though nothing follows a change of size.
    resize(TwipsSize(10170, 1575));

    PlaceLabel(Label1, TwipsRect(240, 180, 4320, 225));
    CurMsg->setGeometry(TwipsRect(240, 390, 9780, 315));
    PlaceAutoSizeLabel(Label2, 240, 870);
    BoardNum->setGeometry(TwipsRect(240, 1110, 1320, 330));
    PlaceAutoSizeLabel(Label3, 2100, 870);
    Bright->setGeometry(TwipsRect(2085, 1110, 375, 330));
    PlaceLabel(Label4, TwipsRect(3045, 870, 1170, 225));
    Present->setGeometry(TwipsRect(3045, 1080, 2220, 315));
    Help->setGeometry(TwipsRect(5430, 960, 1320, 480));
    Exit->setGeometry(TwipsRect(7057, 960, 1320, 480));
    Send->setGeometry(TwipsRect(8685, 960, 1320, 480));
    PlaceLabel(Label5, TwipsRect(2460, 1170, 210, 165));
    PlaceAutoSizeLabel(CommUse, 9060, 105);
}

void frmMain::SetToolTips()
{
    CurMsg->setToolTip(QStringLiteral("The message to show. Characters outside Windows-1252 are sent as "
                                      "\"?\". Enter sends; the list holds the messages sent before."));
    BoardNum->setToolTip(QStringLiteral("The sign's board number, 0 to 99. Enter sends."));
    Bright->setToolTip(QStringLiteral("Brightness in percent, 0 to 99; empty means 99. Enter sends."));
    Present->setToolTip(QStringLiteral("How the sign shows the message."));
    Help->setToolTip(QStringLiteral("Help Topics (F1), the maker's web page, About."));
    Exit->setToolTip(QStringLiteral("Save the fields and close (Escape)."));
    Send->setToolTip(QStringLiteral("Send the message to the sign (Enter)."));
}

void frmMain::SetTabOrder()
{
    // Labels take no focus; the status label comes last by taking none.
    for (QLabel *label : {Label1, Label2, Label3, Label4, Label5, CommUse})
        label->setFocusPolicy(Qt::NoFocus);
    QWidget::setTabOrder(CurMsg, BoardNum);
    QWidget::setTabOrder(BoardNum, Bright);
    QWidget::setTabOrder(Bright, Present);
    QWidget::setTabOrder(Present, Help);
    QWidget::setTabOrder(Help, Exit);
    QWidget::setTabOrder(Exit, Send);
}

void frmMain::ConnectEvents()
{
    auto *const validation = new FocusValidation(this);
    validation->AddField(CurMsg, [this](bool &cancel) { CurMsg_Validate(cancel); });
    validation->AddField(BoardNum, [this](bool &cancel) { BoardNum_Validate(cancel); });
    validation->AddField(Bright, [this](bool &cancel) { Bright_Validate(cancel); });
    validation->SetCausesValidation(Help, false);

    new DialogKeys(this, Send, Exit);

    connect(CurMsg, &HistoryCombo::Click, this, &frmMain::CurMsg_Click);
    connect(Send, &QPushButton::clicked, this, &frmMain::Send_Click);
    connect(Exit, &QPushButton::clicked, this, &frmMain::Exit_Click);
    connect(Help, &QPushButton::clicked, this, &frmMain::Help_Click);
    connect(mnuHelp, &MnuHelp::TopicsChosen, this, &frmMain::mnuHelpTopics_Click);
    connect(mnuHelp, &MnuHelp::WebChosen, this, &frmMain::mnuHelpWeb_Click);
    connect(mnuHelp, &MnuHelp::AboutChosen, this, &frmMain::MnuHelpAbout_Click);
    connect(m_portStatus, &PortStatusLabel::ChooseRequested, this, &frmMain::CommUse_Click);
    connect(new QShortcut(QKeySequence::HelpContents, this), &QShortcut::activated, this,
            &frmMain::mnuHelpTopics_Click);
}

void frmMain::Form_Load()
{
    SettingsStore &settings = *m_context.settings;

    const StoredPosition stored = RestorePosition(settings);
    const QPointF storedCorner(stored.left, stored.top);
    const QPointF corner = PlaceWindow(stored.left, stored.top,
                                       QSizeF(frameGeometry().size()) * TwipsPerPixel,
                                       PrimaryScreenTwips());
    move(PixelCorner(corner));
    // A centred window saves where it stands.
    if (corner == storedCorner)
        m_restoredCorner = storedCorner;

    MsgListDirty = LoadMessageList(*CurMsg, MessageListFilePath(AppInfo::DataFolder(m_context.programFolder)))
                       .msgListDirty;

    // Set by the program: no Validate event follows.
    const FieldValues fields = RestoreFields(settings, Present->count());
    CurMsg->SetText(fields.curMsgText);
    BoardNum->setText(fields.boardNumText);
    Bright->setText(fields.brightText);
    Present->setCurrentIndex(fields.presentIndex);

    const CommPortOutcome outcome = OpenCommPort(m_context.commandLineArgument, MSComm1, m_boxes);
    m_portNumber = outcome.port;
    m_portStatus->ShowInUse(outcome.statusSuffix);
    if (!outcome.open)
        Send->setEnabled(false);
    else
        ShareThePort(outcome.port);
    // Queued bytes go out after Send returns; a device that stops taking
    // them or goes away meanwhile is noticed while the operator may be
    // typing, so it goes to the status label, where it takes no keys.
    MSComm1.SetFailureHandler([this](const QString &description) {
        m_portStatus->ShowTrouble(m_portNumber, description);
        if (m_sharedOutput)
            m_sharedOutput->PortFailed(description);
    });
}

void frmMain::ShareThePort(int port)
{
    if (!m_sharedOutput)
        m_sharedOutput = new DeliveryQueue(MSComm1, this);
    // A port pointed elsewhere is shared under its new device's name.
    delete m_handOver;
    m_handOver = new HandOverServer(*m_sharedOutput, port, this);
    (void)m_handOver->Listen();  // unshared, the port works for this window all the same
    connect(m_handOver, &HandOverServer::StringArrived, m_portStatus, &PortStatusLabel::NoteHandedOver);
}

void frmMain::closeEvent(QCloseEvent *event)
{
    // A window manager may ask again while the first unload is under way.
    if (!m_unloaded) {
        m_unloaded = true;
        Form_Unload();
    }
    event->accept();
}

void frmMain::Form_Unload()
{
    if (LoadedForms *const forms = m_context.forms) {
        for (int i = forms->Count() - 1; i >= 1; --i)
            forms->Unload(forms->At(i));
    }
    SaveSettings();
}

void frmMain::SaveSettings()
{
    const QPoint corner = TwipsCorner(pos(), m_restoredCorner);
    WindowSnapshot snapshot;
    snapshot.left = corner.x();
    snapshot.top = corner.y();
    snapshot.minimized = isMinimized();
    snapshot.fields = {CurMsg->Text(), BoardNum->text(), Bright->text(),
                       static_cast<std::int16_t>(Present->currentIndex())};
    StoreChangedSettings(*m_context.settings, snapshot);
    // A store that cannot be written is reported and does not stop the
    // shut-down; the history below is still saved.
    if (!m_context.settings->Flush()) {
        ReportSaveFailure(m_boxes, "Unable to write to settings file",
                          m_context.settings->FilePath(), m_context.settings->WriteError());
    }

    MsgListDirty = SaveMessageList(*CurMsg, MsgListDirty, m_boxes,
                                   MessageListFilePath(AppInfo::DataFolder(m_context.programFolder,
                                                                           AppInfo::DataFolderUse::Write)))
                       .msgListDirty;
}

void frmMain::CurMsg_Validate(bool & /*cancel*/)
{
    MsgListDirty |= RunHistoryHandler(*CurMsg, EventBusy);
}

void frmMain::CurMsg_Click()
{
    MsgListDirty |= RunHistoryHandler(*CurMsg, EventBusy);
}

void frmMain::BoardNum_Validate(bool &cancel)
{
    TakeVerdict(*BoardNum, ::BoardNum_Validate(BoardNum->text(), EventBusy, m_boxes), cancel);
}

void frmMain::Bright_Validate(bool &cancel)
{
    TakeVerdict(*Bright, ::Bright_Validate(Bright->text(), EventBusy, m_boxes), cancel);
}

void frmMain::Send_Click()
{
    // Each check gets a Cancel of its own, and none is looked at: a rejected
    // field has been reported and is sent as it stands.
    bool cancel = false;
    CurMsg_Validate(cancel);
    cancel = false;
    BoardNum_Validate(cancel);
    cancel = false;
    Bright_Validate(cancel);

    const QString command = BuildSignCommand(BoardNum->text(),
                                             static_cast<std::int16_t>(Present->currentIndex()),
                                             Bright->text(), CurMsg->Text());
    const PortStatus written = MSComm1.Output(command);
    // A device that went away after the port was opened must not look like
    // a sign that got its message. Send stays enabled: the port is opened
    // again at the next Send, once the device is back.
    if (!written.ok) {
        ReportWriteFailure(written.description);
        m_portStatus->ShowTrouble(m_portNumber, written.description);
    } else if (m_portStatus->ShowsTrouble()) {
        m_portStatus->ShowInUse(QStringLiteral("COM") + QString::number(m_portNumber));
    }
}

void frmMain::CommUse_Click()
{
    // Without a recognised argument the console's port is the default one.
    const int port = m_portNumber > 0 ? m_portNumber : 1;
    auto *chooser = new PortChooser(
        port, [] { return PortChoices(ListPorts(), QCoreApplication::applicationPid()); },
        [this, port](const QString &target) { return UsePort(port, target); }, m_boxes, this);
    chooser->setAttribute(Qt::WA_DeleteOnClose);
    chooser->open();
}

bool frmMain::UsePort(int port, const QString &target)
{
    const CommPortOutcome outcome = RepointCommPort(port, target, MSComm1, m_boxes);
    m_portNumber = outcome.port;
    m_portStatus->ShowInUse(outcome.statusSuffix);
    Send->setEnabled(outcome.open);
    if (outcome.open)
        ShareThePort(outcome.port);
    return outcome.open;
}

void frmMain::ReportWriteFailure(const QString &description)
{
    m_boxes.MsgBox(WriteFailureMessage(m_portNumber, description), MessageIcon::Stop,
                   QString::fromUtf8(AppInfo::Title));
}

void frmMain::Exit_Click()
{
    close();
}

void frmMain::Help_Click()
{
    mnuHelp->PopupAtPointer();
}

void frmMain::mnuHelpTopics_Click()
{
    ShowHelpTopics(this, m_boxes, HelpTopicsFiles::ForProgramIn(m_context.programFolder));
}

void frmMain::mnuHelpWeb_Click()
{
    ShowMakerWebPage(m_boxes);
}

void frmMain::MnuHelpAbout_Click()
{
    if (m_context.showAbout)
        m_context.showAbout(this);
}
