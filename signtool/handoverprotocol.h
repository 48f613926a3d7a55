#pragma once

// The hand-over between a program that wants to send and the program that
// holds the port: one local socket per port, JSON lines both ways. The
// sender writes one request per string (signrequest.h); the holder answers
// each with "queued" at once (or "refused"), then "sent" once the bytes have
// left for the device, or "failed" with the port's description.

#include <QByteArray>
#include <QString>

#include <optional>

namespace HandOverTiming {
// How long a sender waits to be connected, and then for "queued": a holder
// silent for longer is taken as stuck.
inline constexpr int AnswerMs = 2000;
// How long it then waits for "sent" or "failed": the queue ahead of it may
// be long, and a stuck device is reported by the holder well within this.
inline constexpr int DeliveryMs = 60000;
// How long a holder about to listen tries whether another one answers.
inline constexpr int ProbeMs = 200;
} // namespace HandOverTiming

enum class HandOverReplyKind { Queued, Sent, Refused, Failed };

struct HandOverReply
{
    HandOverReplyKind kind = HandOverReplyKind::Failed;
    QString why;  // for Refused and Failed
};

// The socket that port n's holder listens on: a path in the user's runtime
// folder (XDG_RUNTIME_DIR) named after the port and its device, or a pipe
// name on Windows. Empty when the user has no runtime folder closed to
// others: the port is then not shared.
[[nodiscard]] QString HandOverSocketName(int port);

// One reply as a line, its LF included.
[[nodiscard]] QByteArray WriteHandOverReply(const HandOverReply &reply);
// A reply line read back; no value for anything else.
[[nodiscard]] std::optional<HandOverReply> ReadHandOverReply(const QByteArray &line);
