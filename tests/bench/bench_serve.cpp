// How long a string takes to reach the line when a holder serves the port,
// from the moment the sending program is started to the last byte read on
// the pseudo-terminal's master, median and worst over COUNT runs:
//   - send, port free:   vantor-sign send opening the port itself (the floor)
//   - send, handed over: vantor-sign send to `vantor-sign serve` holding it
//   - publish:           mosquitto_pub to a broker on 127.0.0.1 that the
//                        holder subscribes to
//   - publish, no one:   mosquitto_pub alone, to a topic nobody reads
//
//   bench_serve [COUNT]      COUNT defaults to 20

#include "mosquittobroker.h"
#include "servedpty.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QStandardPaths>

#include <algorithm>
#include <cstdio>

namespace {

struct Figures
{
    QList<double> ms;
    int lost = 0;
};

void Print(const char *what, Figures figures)
{
    std::sort(figures.ms.begin(), figures.ms.end());
    const double median = figures.ms.isEmpty() ? 0 : figures.ms.at(figures.ms.size() / 2);
    const double worst = figures.ms.isEmpty() ? 0 : figures.ms.last();
    std::printf("%-20s median %7.1f ms  worst %7.1f ms  lost %d\n", what, median, worst, figures.lost);
}

// Runs the program COUNT times, each time waiting for `bytes` on the line.
Figures Measure(PtyPair *pty, const QString &program, const QStringList &arguments, const QByteArray &bytes,
                int count)
{
    Figures figures;
    for (int round = 0; round < count; ++round) {
        QElapsedTimer clock;
        clock.start();
        QProcess process;
        process.start(program, arguments);
        if (pty) {
            if (pty->readMaster(bytes.size(), 5000) != bytes) {
                ++figures.lost;
                process.waitForFinished();
                continue;
            }
        } else {
            process.waitForFinished();
        }
        figures.ms.append(clock.nsecsElapsed() / 1e6);
        process.waitForFinished();
    }
    return figures;
}

} // namespace

int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    const int count = argc > 1 ? QByteArray(argv[1]).toInt() : 20;
    if (count < 1 || !MosquittoBroker::Available()) {
        std::fprintf(stderr, "usage: bench_serve [COUNT]; needs mosquitto and its clients\n");
        return 2;
    }
    const QString tool = QStringLiteral(VANTOR_SIGN_EXECUTABLE);
    const QString publisher = QStandardPaths::findExecutable(QStringLiteral("mosquitto_pub"));
    const QByteArray bytes = SignBytes("1", 0, "99", "HELLO");

    ServedPty served;
    MosquittoBroker broker;
    if (!served.isReady() || !broker.Start()) {
        std::fprintf(stderr, "no pseudo-terminal or broker: %s\n", qPrintable(broker.Problem()));
        return 1;
    }
    const QStringList send {"send", "--port", ServedPty::PortName(), "--board", "1", "HELLO"};
    Print("send, port free", Measure(&served.pty, tool, send, bytes, count));

    if (!served.Serve({"--mqtt", broker.Url()}) || broker.WaitForRetained("vantor/status", "online") != "online") {
        std::fprintf(stderr, "vantor-sign serve did not start: %s\n", served.log.constData());
        return 1;
    }
    Print("send, handed over", Measure(&served.pty, tool, send, bytes, count));
    const QStringList where {"-h", "127.0.0.1", "-p", broker.Url().section(QLatin1Char(':'), -1), "-q", "1"};
    Print("publish", Measure(&served.pty, publisher, where + QStringList {"-t", "vantor/1/set", "-m", "HELLO"},
                             bytes, count));
    Print("publish, no one", Measure(nullptr, publisher, where + QStringList {"-t", "nobody/1/set", "-m", "HELLO"},
                                     bytes, count));
    return 0;
}
