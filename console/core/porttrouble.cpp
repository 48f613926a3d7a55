#include "porttrouble.h"

#include <QLatin1StringView>

#include <array>
#include <utility>

namespace {

// The words the port's failure descriptions use for each kind of trouble.
constexpr std::array<std::pair<QLatin1StringView, PortTrouble>, 4> Phrases{{
    {QLatin1StringView(" has gone away"), PortTrouble::Unplugged},
    {QLatin1StringView(" closed the connection"), PortTrouble::ConnectionClosed},
    {QLatin1StringView(" closed or reset the connection"), PortTrouble::ConnectionClosed},
    {QLatin1StringView(" has taken nothing for "), PortTrouble::Stalled},
}};

QString WhatHappened(PortTrouble trouble)
{
    switch (trouble) {
    case PortTrouble::Unplugged:
        return QStringLiteral("was unplugged");
    case PortTrouble::ConnectionClosed:
        return QStringLiteral("lost its server, which closed the connection");
    case PortTrouble::Stalled:
        return QStringLiteral("stopped taking the message");
    case PortTrouble::Other:
        break;
    }
    return QStringLiteral("failed");
}

} // namespace

PortTrouble ClassifyPortTrouble(const QString &description)
{
    for (const auto &[phrase, trouble] : Phrases) {
        if (description.contains(phrase))
            return trouble;
    }
    return PortTrouble::Other;
}

QString PortTroubleStatus(int port, PortTrouble trouble)
{
    // The sign and the words carry the warning; colour alone would not.
    return QStringLiteral("\u26A0 COM") + QString::number(port) + u' ' + WhatHappened(trouble)
        + QStringLiteral(". The next Send tries again.");
}

QString PortInUseStatus(const QString &suffix)
{
    return QStringLiteral("Using ") + suffix;
}
