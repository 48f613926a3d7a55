#pragma once

#include "messageboxes.h"

#include <QList>
#include <QString>

#include <functional>

// A message-box double: records every box instead of showing it.
class RecordingMessageBoxes final : public MessageBoxes
{
public:
    struct Shown
    {
        QString title;
        QString text;
        MessageIcon icon = MessageIcon::None;
    };

    void MsgBox(const QString &text, MessageIcon icon, const QString &title) override
    {
        shown.append({title, text, icon});
        if (onShow)
            onShow();
    }

    // Runs while the "box" is up, to stand for what happens meanwhile.
    std::function<void()> onShow;
    QList<Shown> shown;
};
