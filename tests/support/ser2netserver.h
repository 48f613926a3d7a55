#pragma once

#include <QProcess>
#include <QString>
#include <QTemporaryDir>

// A real ser2net serving one device on 127.0.0.1, in the foreground, for as
// long as the object lives. The device starts at 19200 bit/s, even parity,
// 7 data bits, 2 stop bits, so that a client that sets 9600 8N1 shows (in
// the baud rate and stop bits: a pseudo-terminal keeps 8N whatever it is
// asked).
class Ser2NetServer
{
public:
    enum class Protocol { RawTcp, Rfc2217 };

    Ser2NetServer(Protocol protocol, const QString &devicePath);
    ~Ser2NetServer();
    Ser2NetServer(const Ser2NetServer &) = delete;
    Ser2NetServer &operator=(const Ser2NetServer &) = delete;

    // False when ser2net is not installed.
    [[nodiscard]] static bool Available();

    // Starts the server and waits until it listens; false with the reason
    // in Problem() when it does not.
    [[nodiscard]] bool Start();
    void Stop();
    [[nodiscard]] QString Problem() const { return m_problem; }

    [[nodiscard]] quint16 Port() const { return m_port; }
    // The port entry's text for this server, e.g. "tcp://127.0.0.1:4001".
    [[nodiscard]] QString Address() const;

private:
    [[nodiscard]] bool Listening() const;

    Protocol m_protocol;
    QString m_devicePath;
    QTemporaryDir m_dir;
    QProcess m_process;
    quint16 m_port = 0;
    QString m_problem;
};

// A local TCP port that nothing listens on.
[[nodiscard]] quint16 ClosedLocalPort();
