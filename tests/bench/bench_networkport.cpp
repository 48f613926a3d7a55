// What a port behind a serial server costs against a local device. For each
// of a local pseudo-terminal, raw TCP and RFC 2217 (ser2net on 127.0.0.1
// serving a pseudo-terminal), this opens the port COUNT times through the
// console's control and sends one sign command on each, and prints the
// median and the worst of:
//   - open: from choosing the port to an open port (connect, and for RFC 2217
//     the line settings answered),
//   - send: from Output to the last byte read on the pseudo-terminal's master.
//
//   bench_networkport [COUNT]      COUNT defaults to 20

#include "commport.h"
#include "ptypair.h"
#include "portcontrol.h"
#include "ser2netserver.h"
#include "signcommand.h"

#include <QCoreApplication>
#include <QElapsedTimer>

#include <algorithm>
#include <cstdio>
#include <memory>

namespace {

constexpr int Port = 5;

struct Figures
{
    QList<double> openMs;
    QList<double> sendMs;
    int lost = 0;
};

double Median(QList<double> values)
{
    std::sort(values.begin(), values.end());
    return values.isEmpty() ? 0 : values.at(values.size() / 2);
}

double Worst(const QList<double> &values)
{
    return values.isEmpty() ? 0 : *std::max_element(values.begin(), values.end());
}

Figures Measure(PtyPair &pty, int count)
{
    const QString command =
        BuildSignCommand(QStringLiteral("7"), 2, QStringLiteral("75"), QStringLiteral("HELLO"));
    const QByteArray expected = command.toLatin1();
    Figures figures;
    for (int round = 0; round < count; ++round) {
        QElapsedTimer clock;
        clock.start();
        auto control = std::make_unique<PortControl>();
        if (!control->SetCommPort(Port).ok || !control->SetSettings(QString::fromLatin1(SignLineSettings)).ok
            || !control->Open().ok) {
            ++figures.lost;
            continue;
        }
        figures.openMs.append(clock.nsecsElapsed() / 1e6);
        clock.restart();
        if (!control->Output(command).ok || pty.readMaster(expected.size()) != expected)
            ++figures.lost;
        else
            figures.sendMs.append(clock.nsecsElapsed() / 1e6);
        control.reset();
        static_cast<void>(pty.drainMaster(20));
    }
    return figures;
}

void Print(const char *name, const Figures &figures)
{
    std::printf("%-14s open median %7.2f ms worst %7.2f ms   send median %7.2f ms worst %7.2f ms   lost %d\n",
                name, Median(figures.openMs), Worst(figures.openMs), Median(figures.sendMs),
                Worst(figures.sendMs), figures.lost);
}

} // namespace

int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    const int count = app.arguments().size() > 1 ? app.arguments().at(1).toInt() : 20;
    const TempConfigHome home;

    PtyPair local;
    if (!local.isValid() || !home.linkPort(Port, local.slavePath())) {
        std::fprintf(stderr, "no pseudo-terminal\n");
        return 1;
    }
    Print("local pty", Measure(local, count));

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
        Print(name, Measure(served, count));
    }
    return 0;
}
