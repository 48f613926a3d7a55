#pragma once

#include "networkport.h"

#include <QAbstractSocket>
#include <QString>

// Descriptions of failures on a network port, written for the operator: the
// server's host and port, the cause, and what to do. Lines are separated by
// a single CR.

// Why the connection to the server could not be made, from the socket's
// verdict; `systemText` is the socket's own wording, kept for causes the
// description does not name.
[[nodiscard]] QString DescribeConnectFailure(const NetworkPort &address,
                                             QAbstractSocket::SocketError error,
                                             const QString &systemText);

// The server's name was not looked up within the connect bound: the name
// service did not answer.
[[nodiscard]] QString DescribeLookupTimeout(const NetworkPort &address);

// The most of a server's words that a description quotes.
inline constexpr qsizetype BannerBytes = 80;

// The server closed the connection (or reset it: the socket tells the two
// apart no further) while it was being set up. `banner` is what it sent
// first: a busy server may say so.
[[nodiscard]] QString DescribeEndDuringSetUp(const NetworkPort &address, const QByteArray &banner);

// The server does not speak the COM port option, so the line cannot be set.
[[nodiscard]] QString DescribeNoComPortOption(const NetworkPort &address);

// The connection was lost while the console was writing.
[[nodiscard]] QString DescribeLostConnection(const NetworkPort &address, const QString &systemText);
