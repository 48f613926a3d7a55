#pragma once

#include "messageboxes.h"

#include <cstdio>

// The console's message boxes for a program without windows: each text goes
// to a stream (standard error), CR shown as a line break, and the program
// carries on at once. Title and icon are the window's business and are left
// out.
class StreamMessageBoxes final : public MessageBoxes
{
public:
    explicit StreamMessageBoxes(std::FILE *stream);
    void MsgBox(const QString &text, MessageIcon icon, const QString &title) override;

private:
    std::FILE *const m_stream;
};
