// What a port behind a serial server costs against a local device, each
// measure beside its floor, rounds of the two alternating. For a local
// pseudo-terminal, raw TCP and RFC 2217 (ser2net on 127.0.0.1 serving a
// pseudo-terminal), COUNT rounds each of:
//   open    from choosing the port to an open port: the port's kind, the
//           lock for a device; for a server the connection and, over
//           RFC 2217, the line settings and their answers
//   send    from Output to the last byte readable on the pseudo-terminal's
//           master
//   close   the port's close: for a device the drain; for a server the
//           moment the server is given for its device, the end of the
//           connection and the wait for the server's own
// The floor of open and send together is the system's least: open() and
// write() for the device, connect() and write() for a server; its close is
// close(). Each line gives min, median and max; lost counts rounds whose
// bytes did not arrive.
//
//   bench_networkport [COUNT]      COUNT defaults to 20

#include "commport.h"
#include "ptypair.h"
#include "portcontrol.h"
#include "ser2netserver.h"
#include "signcommand.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QThread>

#include <algorithm>
#include <array>
#include <cstdio>
#include <functional>
#include <memory>

#include <arpa/inet.h>
#include <fcntl.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

namespace {

constexpr int Port = 5;
// Between rounds, for a server to let go of its device: one still holding
// it turns the next client away.
constexpr int ReleaseMs = 50;

struct Figures
{
    QList<double> ms;
    void print(const char *what) const
    {
        if (ms.isEmpty()) {
            std::printf("    %-28s no round\n", what);
            return;
        }
        QList<double> sorted = ms;
        std::sort(sorted.begin(), sorted.end());
        std::printf("    %-28s min %7.2f  median %7.2f  max %7.2f ms\n", what, sorted.first(),
                    sorted.at(sorted.size() / 2), sorted.last());
    }
};

struct Measures
{
    Figures open, send, close, floorOpenSend, floorClose;
    int lost = 0;
    int floorLost = 0;
};

double Time(const std::function<bool()> &step, bool &ok)
{
    QElapsedTimer clock;
    clock.start();
    ok = step() && ok;
    return clock.nsecsElapsed() / 1e6;
}

// The least the system does for the same bytes: a file descriptor opened
// on the device or connected to the server, one write, a close.
int OpenFloor(const QString &device, quint16 serverPort)
{
    if (serverPort == 0)
        return ::open(QFile::encodeName(device).constData(), O_WRONLY | O_NOCTTY);
    const int fd = ::socket(AF_INET, SOCK_STREAM, 0);
    sockaddr_in server {};
    server.sin_family = AF_INET;
    server.sin_port = htons(serverPort);
    server.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    if (fd >= 0 && ::connect(fd, reinterpret_cast<sockaddr *>(&server), sizeof server) != 0) {
        ::close(fd);
        return -1;
    }
    return fd;
}

void MeasureRound(PtyPair &pty, quint16 serverPort, bool floorFirst, Measures &measures)
{
    const QString command = BuildSignCommand(QStringLiteral("7"), 2, QStringLiteral("75"), QStringLiteral("HELLO"));
    const QByteArray expected = command.toLatin1();
    const auto arrived = [&] { return pty.readMaster(expected.size()) == expected; };

    const auto console = [&] {
        bool ok = true;
        auto control = std::make_unique<PortControl>();
        const double open = Time(
            [&] {
                return control->SetCommPort(Port).ok
                    && control->SetSettings(QString::fromLatin1(SignLineSettings)).ok && control->Open().ok;
            },
            ok);
        const double send = ok ? Time([&] { return control->Output(command).ok && arrived(); }, ok) : 0;
        const double close = Time(
            [&] {
                control.reset();
                return true;
            },
            ok);
        if (!ok) {
            ++measures.lost;
            return;
        }
        measures.open.ms.append(open);
        measures.send.ms.append(send);
        measures.close.ms.append(close);
    };
    const auto floor = [&] {
        bool ok = true;
        int fd = -1;
        const double openSend = Time(
            [&] {
                fd = OpenFloor(pty.slavePath(), serverPort);
                return fd >= 0 && ::write(fd, expected.constData(), expected.size()) == expected.size() && arrived();
            },
            ok);
        const double close = Time([&] { return fd < 0 || ::close(fd) == 0; }, ok);
        if (!ok) {
            ++measures.floorLost;
            return;
        }
        measures.floorOpenSend.ms.append(openSend);
        measures.floorClose.ms.append(close);
    };
    const std::array<std::function<void()>, 2> steps {floor, console};
    for (int step = 0; step < 2; ++step) {
        steps.at(floorFirst ? step : 1 - step)();
        QThread::msleep(ReleaseMs);
        static_cast<void>(pty.drainMaster(0));
    }
}

void Print(const char *name, const Measures &measures)
{
    std::printf("%s (lost: console %d, floor %d):\n", name, measures.lost, measures.floorLost);
    measures.open.print("open");
    measures.send.print("send");
    measures.floorOpenSend.print("floor: open and send");
    measures.close.print("close");
    measures.floorClose.print("floor: close");
}

Measures Measure(PtyPair &pty, quint16 serverPort, int count)
{
    Measures measures;
    for (int round = 0; round < count; ++round)
        MeasureRound(pty, serverPort, round % 2 == 0, measures);
    return measures;
}

} // namespace

int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    const int count = app.arguments().size() > 1 ? std::max(1, app.arguments().at(1).toInt()) : 20;
    const TempConfigHome home;

    PtyPair local;
    if (!local.isValid() || !home.linkPort(Port, local.slavePath())) {
        std::fprintf(stderr, "no pseudo-terminal\n");
        return 1;
    }
    std::printf("%d rounds, each measure beside its floor:\n", count);
    Print("local pty", Measure(local, 0, count));

    if (!Ser2NetServer::Available()) {
        std::fprintf(stderr, "ser2net is not installed\n");
        return 1;
    }
    for (const auto &[name, protocol] : {std::pair{"raw TCP", Ser2NetServer::Protocol::RawTcp},
                                         std::pair{"RFC 2217", Ser2NetServer::Protocol::Rfc2217}}) {
        PtyPair served;
        Ser2NetServer server(protocol, served.slavePath());
        if (!served.isValid() || !server.Start() || !home.linkPortToText(Port, server.Address())) {
            std::fprintf(stderr, "%s: %s\n", name, qPrintable(server.Problem()));
            return 1;
        }
        Print(name, Measure(served, server.Port(), count));
    }
    return 0;
}
