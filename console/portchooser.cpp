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
    , m_choices(new QListWidget(this))
    , m_address(new QLineEdit(this))
    , m_refresh(new QPushButton(QStringLiteral("&Refresh"), this))
    , m_use(new QPushButton(QStringLiteral("&Use"), this))
    , m_lister(std::move(lister))
    , m_chooser(std::move(chooser))
    , m_boxes(boxes)
    , m_watcher(new QFileSystemWatcher(this))
{
    setObjectName(QStringLiteral("PortChooser"));
    setWindowTitle(QStringLiteral("Choose port"));
    const QString portName = QStringLiteral("COM") + QString::number(port);

    m_choices->setObjectName(QStringLiteral("choices"));
    m_choices->setAccessibleName(QStringLiteral("Ports found"));
    // Each entry runs over two lines; the shading tells one from the next.
    m_choices->setAlternatingRowColors(true);
    m_choices->setToolTip(QStringLiteral("Serial devices, serial servers and virtual signs on this "
                                         "computer. Enter uses the one chosen."));
    m_address->setObjectName(QStringLiteral("address"));
    m_address->setAccessibleName(QStringLiteral("Serial server address"));
    m_address->setPlaceholderText(QStringLiteral("tcp://HOST:PORT or rfc2217://HOST:PORT"));
    m_address->setToolTip(QStringLiteral("A serial server on the network: tcp://HOST:PORT for raw TCP, "
                                         "rfc2217://HOST:PORT when the console sets the line."));
    m_refresh->setAccessibleName(QStringLiteral("Refresh"));
    m_refresh->setToolTip(QStringLiteral("Look for devices again."));
    m_refresh->setAutoDefault(false);
    m_use->setObjectName(QStringLiteral("use"));
    m_use->setAccessibleName(QStringLiteral("Use"));
    m_use->setToolTip(QStringLiteral("Make %1 name the chosen port and open it.").arg(portName));
    m_use->setDefault(true);

    auto *buttons = new QDialogButtonBox(this);
    buttons->addButton(m_refresh, QDialogButtonBox::ResetRole);
    buttons->addButton(m_use, QDialogButtonBox::AcceptRole);
    buttons->addButton(QDialogButtonBox::Cancel);

    auto *layout = new QVBoxLayout(this);
    layout->addWidget(NewBuddyLabel(QStringLiteral("&Port for %1:").arg(portName), m_choices, this));
    layout->addWidget(m_choices);
    layout->addWidget(NewBuddyLabel(QStringLiteral("Or a serial server's &address:"), m_address, this));
    layout->addWidget(m_address);
    layout->addWidget(buttons);

    connect(m_refresh, &QPushButton::clicked, this, &PortChooser::Refresh);
    connect(buttons, &QDialogButtonBox::accepted, this, &PortChooser::Choose);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    // Enter reaches Use as the default button; a double click chooses too.
    connect(m_choices, &QListWidget::itemDoubleClicked, this, &PortChooser::Choose);
    // A typed address is the choice until the list is touched again.
    connect(m_choices, &QListWidget::itemClicked, m_address, &QLineEdit::clear);
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
    const QListWidgetItem *current = m_choices->currentItem();
    const QString chosen = current ? current->data(TargetRole).toString() : QString();
    m_choices->clear();
    const QList<PortChoice> found = m_lister();
    for (const PortChoice &choice : found) {
        auto *item = new QListWidgetItem(choice.title + u'\n' + choice.detail, m_choices);
        item->setData(TargetRole, choice.target);
        item->setData(Qt::AccessibleTextRole, choice.title + QStringLiteral(", ") + choice.detail);
        if (choice.target == chosen)
            m_choices->setCurrentItem(item);
    }
    if (!m_choices->currentItem() && m_choices->count() > 0)
        m_choices->setCurrentRow(static_cast<int>(FirstFreeChoice(found)));
}

void PortChooser::Choose()
{
    QString target;
    const QString typed = m_address->text().trimmed();
    if (!typed.isEmpty()) {
        const std::optional<QString> server = ServerAddressChoice(typed);
        if (!server) {
            m_boxes.MsgBox(DescribeMalformedNetworkPort(typed), MessageIcon::Stop,
                           QString::fromUtf8(AppInfo::Title));
            m_address->setFocus();
            return;
        }
        target = *server;
    } else if (const QListWidgetItem *item = m_choices->currentItem()) {
        target = item->data(TargetRole).toString();
    } else {
        return;
    }
    if (m_chooser(target))
        accept();
}
