#include "portchooser.h"

#include "appinfo.h"
#include "messageboxes.h"
#include "networkport.h"
#include "portnaming.h"

#include <QDialogButtonBox>
#include <QFileInfo>
#include <QFileSystemWatcher>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QVBoxLayout>

namespace {

constexpr int TargetRole = Qt::UserRole;

QLabel *NewBuddyLabel(const QString &text, QWidget *buddy, QWidget *parent)
{
    auto *label = new QLabel(text, parent);
    label->setBuddy(buddy);
    return label;
}

} // namespace

QStringList PortFoldersToWatch()
{
    // The ports folder may not exist yet; its parent tells when it comes.
    const QString ports = PortLinksFolder();
    return {QStringLiteral("/dev"), QString::fromLatin1(StableNamesFolder), ports,
            QFileInfo(ports).absolutePath()};
}

PortChooser::PortChooser(int port, Lister lister, Chooser chooser, MessageBoxes &boxes, QWidget *parent)
    : QDialog(parent)
    , choices(new QListWidget(this))
    , address(new QLineEdit(this))
    , refresh(new QPushButton(QStringLiteral("&Refresh"), this))
    , use(new QPushButton(QStringLiteral("&Use"), this))
    , m_lister(std::move(lister))
    , m_chooser(std::move(chooser))
    , m_boxes(boxes)
    , m_watcher(new QFileSystemWatcher(this))
{
    setObjectName(QStringLiteral("PortChooser"));
    setWindowTitle(QStringLiteral("Choose port"));
    const QString portName = QStringLiteral("COM") + QString::number(port);

    choices->setObjectName(QStringLiteral("choices"));
    choices->setAccessibleName(QStringLiteral("Ports found"));
    // Each entry runs over two lines; the shading tells one from the next.
    choices->setAlternatingRowColors(true);
    choices->setToolTip(QStringLiteral("Serial devices, serial servers and virtual signs on this "
                                       "computer. Enter uses the one chosen."));
    address->setObjectName(QStringLiteral("address"));
    address->setAccessibleName(QStringLiteral("Serial server address"));
    address->setPlaceholderText(QStringLiteral("tcp://HOST:PORT or rfc2217://HOST:PORT"));
    address->setToolTip(QStringLiteral("A serial server on the network: tcp://HOST:PORT for raw TCP, "
                                       "rfc2217://HOST:PORT when the console sets the line."));
    refresh->setAccessibleName(QStringLiteral("Refresh"));
    refresh->setToolTip(QStringLiteral("Look for devices again."));
    refresh->setAutoDefault(false);
    use->setAccessibleName(QStringLiteral("Use"));
    use->setToolTip(QStringLiteral("Make %1 name the chosen port and open it.").arg(portName));
    use->setDefault(true);

    auto *buttons = new QDialogButtonBox(this);
    buttons->addButton(refresh, QDialogButtonBox::ResetRole);
    buttons->addButton(use, QDialogButtonBox::AcceptRole);
    buttons->addButton(QDialogButtonBox::Cancel);

    auto *layout = new QVBoxLayout(this);
    layout->addWidget(NewBuddyLabel(QStringLiteral("&Port for %1:").arg(portName), choices, this));
    layout->addWidget(choices);
    layout->addWidget(NewBuddyLabel(QStringLiteral("Or a serial server's &address:"), address, this));
    layout->addWidget(address);
    layout->addWidget(buttons);

    connect(refresh, &QPushButton::clicked, this, &PortChooser::Refresh);
    connect(buttons, &QDialogButtonBox::accepted, this, &PortChooser::Choose);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    // Enter reaches Use as the default button; a double click chooses too.
    connect(choices, &QListWidget::itemDoubleClicked, this, &PortChooser::Choose);
    // A typed address is the choice until the list is touched again.
    connect(choices, &QListWidget::itemClicked, address, &QLineEdit::clear);
    connect(m_watcher, &QFileSystemWatcher::directoryChanged, this, &PortChooser::Refresh);

    WatchFolders(PortFoldersToWatch());
    Refresh();
    resize(sizeHint().expandedTo(QSize(520, 320)));
}

void PortChooser::WatchFolders(const QStringList &folders)
{
    for (const QString &folder : folders) {
        if (QFileInfo(folder).isDir() && !m_watcher->directories().contains(folder))
            m_watcher->addPath(folder);
    }
}

void PortChooser::Refresh()
{
    // The ports folder or the stable names may have come since the last look.
    WatchFolders(PortFoldersToWatch());
    const QListWidgetItem *current = choices->currentItem();
    const QString chosen = current ? current->data(TargetRole).toString() : QString();
    choices->clear();
    const QList<PortChoice> found = m_lister();
    for (const PortChoice &choice : found) {
        auto *item = new QListWidgetItem(choice.title + u'\n' + choice.detail, choices);
        item->setData(TargetRole, choice.target);
        item->setData(Qt::AccessibleTextRole, choice.title + QStringLiteral(", ") + choice.detail);
        if (choice.target == chosen)
            choices->setCurrentItem(item);
    }
    if (!choices->currentItem() && choices->count() > 0)
        choices->setCurrentRow(static_cast<int>(FirstFreeChoice(found)));
}

void PortChooser::Choose()
{
    QString target;
    const QString typed = address->text().trimmed();
    if (!typed.isEmpty()) {
        const std::optional<QString> server = ServerAddressChoice(typed);
        if (!server) {
            m_boxes.MsgBox(DescribeMalformedNetworkPort(typed), MessageIcon::Stop,
                           QString::fromUtf8(AppInfo::Title));
            address->setFocus();
            return;
        }
        target = *server;
    } else if (const QListWidgetItem *item = choices->currentItem()) {
        target = item->data(TargetRole).toString();
    } else {
        return;
    }
    if (m_chooser(target))
        accept();
}
