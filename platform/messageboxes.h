#pragma once

#include <QString>

class QWidget;

// Icon codes of a message box, valued as the system's own codes.
enum class MessageIcon { None = 0, Stop = 16, Information = 64 };

// Modal message boxes with an OK button only. The text separates its lines
// with a single CR (code 13); only the box on screen turns that into line
// breaks. Code that reports to the operator takes this interface, so tests
// can record what would have been shown.
class MessageBoxes
{
public:
    virtual ~MessageBoxes() = default;
    virtual void MsgBox(const QString &text, MessageIcon icon, const QString &title) = 0;
};

// The real boxes, owned by the window they are shown over: the given owner,
// or else the active window at the time.
class QtMessageBoxes final : public MessageBoxes
{
public:
    explicit QtMessageBoxes(QWidget *owner = nullptr);
    void MsgBox(const QString &text, MessageIcon icon, const QString &title) override;

private:
    QWidget *const m_owner;
};

// The text as a box on screen shows it: each CR becomes a line break.
[[nodiscard]] QString DisplayText(const QString &text);
