#pragma once

#include "ptypair.h"

#include <QString>

// A pseudo-terminal linked as port `port` in a config home of its own, for
// the length of a test: what the program under test opens as COM<port> is
// read back on the pty's master side.
struct LinkedPty
{
    explicit LinkedPty(int n)
        : port(n)
    {
    }

    [[nodiscard]] bool isReady() const { return pty.isValid() && linked; }
    [[nodiscard]] QString portName() const { return QStringLiteral("COM%1").arg(port); }

    const int port;
    const TempConfigHome config;
    PtyPair pty;
    const bool linked = pty.isValid() && config.linkPort(port, pty.slavePath());
};
