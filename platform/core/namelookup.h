#pragma once

#include <QAbstractSocket>
#include <QDeadlineTimer>
#include <QHostAddress>
#include <QString>

// Looks a host name up, waiting no longer than the deadline; a literal
// address is taken as it stands. Empty, with the verdict in `error`, when
// there is no address (timed out, or not found). The lookup runs on a
// thread of its own that is left behind when the deadline passes: a name
// service that never answers holds neither the caller nor the program's
// exit, as a lookup on Qt's pool would (the pool waits for its threads at
// exit).
[[nodiscard]] QHostAddress LookUp(const QString &host, const QDeadlineTimer &deadline,
                                  QAbstractSocket::SocketError &error);
