#pragma once

#include <QByteArray>
#include <QString>

#include <atomic>
#include <mutex>
#include <thread>

// A serial server on 127.0.0.1 that misbehaves as told, for one client, on
// a thread of its own so that it goes on while the code under test waits.
// In Telnet mode it first answers the COM port set-up as a server that
// serves would (except where the behaviour is to never answer).
class HostileServer
{
public:
    enum class Mode { Raw, Telnet };
    enum class Behaviour {
        FloodDuringConnect,     // sends data at once for seconds, answering nothing
        EndlessSubnegotiation,  // opens a subnegotiation and never ends it
        FloodAfterSetUp,        // answers, then sends data without end, reading all
        OptionFlood,            // answers, then asks for every option again and again, reading all
        NeverRead,              // answers, then reads nothing
        ResetDuringSetUp,       // resets the connection at once
        EndAfterData,           // answers, then, a moment after the first data, says why and closes
    };

    HostileServer(Mode mode, Behaviour behaviour);
    ~HostileServer();
    HostileServer(const HostileServer &) = delete;
    HostileServer &operator=(const HostileServer &) = delete;

    [[nodiscard]] bool IsListening() const { return m_listener >= 0; }
    // The port entry's text for this server, e.g. "rfc2217://127.0.0.1:4001".
    [[nodiscard]] QString Address() const;
    // What the client sent, Telnet commands included.
    [[nodiscard]] QByteArray Received() const;
    // Whether the server has closed a connection.
    [[nodiscard]] bool HasClosed() const { return m_closed; }

private:
    void Serve();
    void Misbehave(int client);
    // Reads what waits, without waiting; false once the client has closed.
    bool ReadFrom(int client);

    const Mode m_mode;
    const Behaviour m_behaviour;
    int m_listener = -1;
    quint16 m_port = 0;
    std::atomic<bool> m_stop = false;
    std::atomic<bool> m_closed = false;
    mutable std::mutex m_mutex;
    QByteArray m_received;
    std::thread m_thread;
};

// A data column "mode" with a row for each mode: raw TCP and RFC 2217.
void AddHostileModeRows();
