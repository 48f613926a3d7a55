#pragma once

// vantor-sign as a port's holder: a pseudo-terminal linked as a port in a
// private config home, a private runtime folder for the hand-over sockets
// (inherited by the programs the test starts), and the program started
// serving that port. The includer defines VANTOR_SIGN_EXECUTABLE.

#include "linkedpty.h"
#include "signcommand.h"
#include "windows1252.h"

#include <QDeadlineTimer>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>

#include <cstdint>

struct ServedPty : LinkedPty
{
    static constexpr int Port = 8;

    ServedPty()
        : LinkedPty(Port)
    {
        qputenv("XDG_RUNTIME_DIR", runtime.path().toLocal8Bit());
    }
    ~ServedPty()
    {
        if (server.state() != QProcess::NotRunning) {
            server.kill();
            server.waitForFinished();
        }
    }

    [[nodiscard]] bool isReady() const { return LinkedPty::isReady() && runtime.isValid(); }
    [[nodiscard]] static QString PortName() { return QStringLiteral("COM%1").arg(Port); }

    // Starts `vantor-sign serve --port COM<Port>` with the options; true once
    // it says it serves.
    [[nodiscard]] bool Serve(const QStringList &options = {})
    {
        server.setProgram(QStringLiteral(VANTOR_SIGN_EXECUTABLE));
        server.setArguments(QStringList {"serve", "--port", PortName()} + options);
        server.start();
        const QDeadlineTimer deadline(10000);
        while (!log.contains("serving") && server.state() != QProcess::NotRunning && !deadline.hasExpired()) {
            server.waitForReadyRead(100);
            log += server.readAllStandardError();
        }
        return log.contains("serving " + PortName().toLatin1());
    }

    // Runs vantor-sign with the arguments to its end; its exit status.
    [[nodiscard]] static int Run(const QStringList &arguments, QByteArray *errors = nullptr)
    {
        QProcess process;
        process.start(QStringLiteral(VANTOR_SIGN_EXECUTABLE), arguments);
        process.closeWriteChannel();
        if (!process.waitForFinished(20000))
            return -1;
        if (errors)
            *errors = process.readAllStandardError();
        return process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -1;
    }

    QTemporaryDir runtime;
    QProcess server;
    QByteArray log;
};

[[nodiscard]] inline QByteArray SignBytes(const QString &board, int present, const QString &bright,
                                          const QString &message)
{
    return ToWindows1252(BuildSignCommand(board, static_cast<std::int16_t>(present), bright, message));
}
