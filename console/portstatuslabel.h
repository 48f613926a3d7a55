#pragma once

// The port status label `CommUse` as the operator uses it: it shows the port
// in use, or what went wrong with it since the last Send, and opens the port
// chooser when clicked or when its shortcut is pressed anywhere in the window.

#include <QKeySequence>
#include <QObject>
#include <QString>

class QLabel;

class PortStatusLabel final : public QObject
{
    Q_OBJECT

public:
    // The shortcut that opens the chooser, named in the label's tooltip.
    static QKeySequence ChooseShortcut();

    // Takes the label (a child of the window the shortcut works in) over.
    explicit PortStatusLabel(QLabel *label);

    // "Using " and the suffix ("COM3", "NONE"), as in order.
    void ShowInUse(const QString &suffix);
    // A failure noticed between Sends: port n, what happened, that the next
    // Send tries again; the full description goes to the tooltip.
    void ShowTrouble(int port, const QString &description);
    [[nodiscard]] bool ShowsTrouble() const { return m_trouble; }
    // Another program has handed a string over to the port: the tooltip
    // says when, unless it tells of trouble.
    void NoteHandedOver();

Q_SIGNALS:
    void ChooseRequested();

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void Place();

    QLabel *const m_label;
    bool m_trouble = false;
};
