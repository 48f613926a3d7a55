#pragma once

// `vantor-sign send` to a port another program of this user holds and
// shares (handoverserver.h): the strings go to the holder as fields, which
// queues them behind its own, and the exit status says what became of them
// as if this program had written them itself. A holder that does not answer
// in time counts as a port that cannot be opened.

#include <QLocalSocket>

#include <memory>

class InputLines;
class MessageBoxes;
struct SendRequest;

class HandOverSender
{
public:
    // A connection to the holder of the port the argument names; null when
    // the argument names no port, no holder of this user listens, or the
    // socket there belongs to someone else: the port is then opened as usual.
    [[nodiscard]] static std::unique_ptr<HandOverSender> ToHolderOf(const QString &portArgument);

    // RunSend's work through the holder; returns the exit status.
    [[nodiscard]] int Run(SendRequest request, MessageBoxes &boxes, InputLines *input);

private:
    explicit HandOverSender(int port) : m_port(port) {}
    [[nodiscard]] int SendOne(const SendRequest &request, const QString &message, MessageBoxes &boxes);

    const int m_port;
    QLocalSocket m_socket;
};
