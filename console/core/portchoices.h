#pragma once

// What the port chooser offers: one entry per thing the console's port could
// name, from the same findings `vantor-sign ports` shows (portlisting.h).

#include "portlisting.h"

#include <QList>
#include <QString>

#include <optional>

struct PortChoice
{
    // First line: what it is. Second line: which COM numbers name it today
    // and who holds it.
    QString title;
    QString detail;
    // What port n's entry is made to name when this is chosen.
    QString target;
    // Held by another program.
    bool inUse = false;
    // Held by this console: what its port names now.
    bool current = false;
};

// Devices first (stored by their stable name where they have one), then the
// serial servers, virtual signs and other devices that links name. A link
// that leads nowhere offers nothing to choose. A holder that is process
// `consolePid` is this console.
[[nodiscard]] QList<PortChoice> PortChoices(const PortListing &listing, qint64 consolePid);

// The entry offered first: the first that nothing holds, else the first.
[[nodiscard]] qsizetype FirstFreeChoice(const QList<PortChoice> &choices);

// A typed serial server address in the form the entry stores it; no value
// when the text is not such an address.
[[nodiscard]] std::optional<QString> ServerAddressChoice(const QString &typed);
