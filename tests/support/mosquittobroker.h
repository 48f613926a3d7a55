#pragma once

#include <QByteArray>
#include <QProcess>
#include <QString>
#include <QStringList>
#include <QTemporaryDir>

// A real mosquitto broker on 127.0.0.1 for as long as the object lives, on
// a port of its own that stays the same across Stop and Start, and the
// broker's own command-line clients to look at it with.
class MosquittoBroker
{
public:
    MosquittoBroker();
    ~MosquittoBroker();
    MosquittoBroker(const MosquittoBroker &) = delete;
    MosquittoBroker &operator=(const MosquittoBroker &) = delete;

    // False when the broker or its clients are not installed.
    [[nodiscard]] static bool Available();

    // Starts the broker and waits until it takes connections; false with
    // the reason in Problem() when it does not.
    [[nodiscard]] bool Start();
    void Stop();
    [[nodiscard]] QString Problem() const { return m_problem; }

    // "mqtt://127.0.0.1:<port>".
    [[nodiscard]] QString Url() const;

    // The retained message on the topic; empty when there is none.
    [[nodiscard]] QByteArray Retained(const QString &topic) const;
    // Waits until the topic's retained message is `expected`; the last one
    // seen.
    [[nodiscard]] QByteArray WaitForRetained(const QString &topic, const QByteArray &expected) const;
    [[nodiscard]] bool Publish(const QString &topic, const QByteArray &payload) const;

    // A subscriber for one message that has been told of its subscription
    // when this returns, so that nothing published after it is missed. It
    // prints the broker's debug lines, then the message on a line of its own.
    [[nodiscard]] bool Subscribe(QProcess &subscriber, const QString &topic) const;

private:
    [[nodiscard]] QStringList Where() const;

    QTemporaryDir m_dir;
    QProcess m_process;
    quint16 m_port = 0;
    QString m_problem;
};
