#pragma once

// How `vantor-sign ports` shows its findings: readable text, or JSON for
// scripts. The JSON document:
//
//   { "devices": [ { "device": "/dev/ttyUSB0",
//                    "stableNames": ["/dev/serial/by-id/usb-..."],
//                    "description": "...", "manufacturer": "...", "serialNumber": "...",
//                    "vendorId": "0403", "productId": "6001",      (null when unknown)
//                    "inUse": true, "holderPid": 1234, "holder": "process 1234, name",
//                    "ports": [3] } ],                              (COM<n> numbers)
//     "links": [ { "port": 5, "link": ".../ports/com5", "target": "/dev/pts/3",
//                  "device": "/dev/pts/3",                          (null when it leads nowhere)
//                  "inUse": false, "holderPid": null, "holder": null } ] }

#include "portlisting.h"

#include <QJsonDocument>
#include <QString>

// `text` with each control character (C0, DEL, C1) written as \xHH, so that
// a link's text cannot move the cursor, clear the screen or retitle the
// terminal it is printed on.
[[nodiscard]] QString TerminalSafe(const QString &text);

[[nodiscard]] QJsonDocument ListingJson(const PortListing &listing);
[[nodiscard]] QString ListingText(const PortListing &listing);
