#pragma once

// The "Choose port" dialog: what the console's port number should name. It
// offers what `vantor-sign ports` finds (portchoices.h) and takes a typed
// serial server address; it looks again whenever /dev, its stable names or
// the ports folder change, and on Refresh. Choosing hands the target to the
// caller, and the dialog closes only when the caller could open it.

#include "portchoices.h"

#include <QDialog>

#include <functional>

class MessageBoxes;
class QFileSystemWatcher;
class QLabel;
class QLineEdit;
class QListWidget;
class QPushButton;

class PortChooser final : public QDialog
{
    Q_OBJECT

public:
    // Finds what there is to choose from, fresh each time.
    using Lister = std::function<QList<PortChoice>()>;
    // Points the port at the target and opens it; false keeps the dialog open.
    using Chooser = std::function<bool(const QString &target)>;

    PortChooser(int port, Lister lister, Chooser chooser, MessageBoxes &boxes, QWidget *parent);

    // Looks again, keeping the entry chosen so far where it is still there.
    void Refresh();

private:
    void Choose();
    void WatchFolders(const QStringList &folders);

    QListWidget *const m_choices;
    QLineEdit *const m_address;
    QPushButton *const m_refresh;
    QPushButton *const m_use;
    Lister m_lister;
    Chooser m_chooser;
    MessageBoxes &m_boxes;
    QFileSystemWatcher *const m_watcher;
};

// The folders whose changes mean devices or entries came or went.
[[nodiscard]] QStringList PortFoldersToWatch();
