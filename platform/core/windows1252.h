#pragma once

#include <QByteArray>
#include <QString>

// The 8-bit code page of the sign line and of the message list file.
// A character the code page cannot hold becomes '?' (one per character, also
// for a surrogate pair); Qt's own encoder would write SUB (0x1A) there, which
// a sign may take for a control byte.
[[nodiscard]] QByteArray ToWindows1252(const QString &text);
[[nodiscard]] QString FromWindows1252(const QByteArray &bytes);
