#pragma once

// The values a sign command string is built from, checked and turned into
// bytes exactly as the console does at Send: the same field checks, the same
// line-break mend, the same builder and the same 8-bit encoding.

#include <QString>
#include <QStringList>

#include <cstdint>

struct SignFields
{
    QString boardNum;
    QString bright;
    std::int16_t present = 0;
};

// What the console restores into an empty settings store: board "0",
// brightness "99", the first presentation.
[[nodiscard]] SignFields DefaultSignFields();

// Runs the console's checks on the board number, then the brightness. An
// accepted field takes the text the console would keep (line breaks as
// spaces, end spaces trimmed, an empty one its default); a rejected one is
// left alone and its message, CR-separated as the console's box has it, is
// returned. Empty when both are accepted.
[[nodiscard]] QStringList CheckSignFields(SignFields &fields);

// The sign command string one Send writes for these fields and this message;
// the port writes it in Windows-1252.
[[nodiscard]] QString SignCommandText(const SignFields &fields, const QString &message);
