#pragma once

#include "messageboxes.h"

class QWidget;

// The real message boxes, owned by the window they are shown over: the given
// owner, or else the active window at the time.
class QtMessageBoxes final : public MessageBoxes
{
public:
    explicit QtMessageBoxes(QWidget *owner = nullptr);
    void MsgBox(const QString &text, MessageIcon icon, const QString &title) override;

private:
    QWidget *const m_owner;
};
