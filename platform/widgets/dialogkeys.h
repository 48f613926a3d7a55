#pragma once

#include <QObject>
#include <QPointer>

class QKeyEvent;
class QPushButton;
class QWidget;

// Default and cancel buttons for a plain widget window: Enter presses the
// default button, Escape the cancel button. Enter on a focused push button
// presses that button instead.
//
// Keys are taken as they reach the window's focus widget, not through a
// shortcut: a shortcut would also fire while a combo box's drop-down list
// is open and steal the Enter or Escape that picks or closes the list.
// The list takes those keys when they are announced (shortcut override)
// and closes at once, so the press itself then arrives at the window's
// focus widget; such a press was the list's and is swallowed.
// Pressing a button by key moves no focus, so it raises no Validate event.
//
// Installed on the application, owned by the window it serves. Either
// button may be null when the window has none.
class DialogKeys final : public QObject
{
    Q_OBJECT

public:
    DialogKeys(QWidget *window, QPushButton *defaultButton, QPushButton *cancelButton);
    ~DialogKeys() override;

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    [[nodiscard]] bool FilterKeyPress(QObject *watched, const QKeyEvent *event);
    void NoteKeyAnnouncedToPopup(const QKeyEvent *event);
    [[nodiscard]] QPushButton *ButtonFor(const QKeyEvent *event, QWidget *focus) const;

    QWidget *const m_window;
    const QPointer<QPushButton> m_defaultButton;
    const QPointer<QPushButton> m_cancelButton;

    // The last Enter or Escape announced while a pop-up was open, told
    // apart from a later press of the same key by its timestamp.
    int m_popupKey = 0;
    quint64 m_popupKeyTimestamp = 0;
};
