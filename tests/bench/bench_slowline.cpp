// What a long Send costs the window on a slow line, and what reaches the far
// end. A sign at 9600 bit/s takes 960 bytes a second (the default here is
// five times that, to keep the run short); the console writes one
// long message to it, through the real serial control and a real
// pseudo-terminal, and this reports:
//   - how long Output held the caller (the window's thread),
//   - the longest pause between ticks of a 10 ms timer while bytes went out,
//   - the failures the control reported, and the bytes that arrived.
// With "exit" the port is closed right after Output, as when Escape follows
// Enter at once, and the time Close took is reported as well.
//
//   bench_slowline [LENGTH [BYTES_PER_SECOND [exit]]]

#include "commport.h"
#include "ptypair.h"
#include "portcontrol.h"
#include "signcommand.h"
#include "throttledreader.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QTimer>

#include <cstdio>

namespace {

constexpr int Port = 5;
constexpr int TickMs = 10;
constexpr int ReaderTickMs = 100;
constexpr qint64 GiveUpMs = 120000;

} // namespace

int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    const QStringList args = app.arguments();
    // Several times what a pseudo-terminal holds (20,480 bytes), so that the
    // writer meets a full device again and again; a line at 48,000 bit/s
    // keeps the run short.
    const int length = args.size() > 1 ? args[1].toInt() : 60000;
    const int bytesPerSecond = args.size() > 2 ? args[2].toInt() : 4800;
    const bool closeAtOnce = args.size() > 3 && args[3] == QLatin1String("exit");

    const TempConfigHome home;
    PtyPair pty;
    if (!pty.isValid() || !home.linkPort(Port, pty.slavePath())) {
        std::fprintf(stderr, "no pseudo-terminal\n");
        return 1;
    }
    PortControl control;
    QStringList failures;
    control.SetFailureHandler([&failures](const QString &why) { failures.append(why); });
    if (!control.SetCommPort(Port).ok || !control.SetSettings(QString::fromLatin1(SignLineSettings)).ok
        || !control.Open().ok) {
        std::fprintf(stderr, "cannot open the pseudo-terminal\n");
        return 1;
    }

    const QByteArray expected =
        BuildSignCommand(QStringLiteral("1"), 0, QStringLiteral("99"), QString(length, QLatin1Char('M')))
            .toLatin1();
    ThrottledReader sign(pty, bytesPerSecond * ReaderTickMs / 1000, ReaderTickMs);

    QElapsedTimer sinceTick;
    qint64 longestPause = 0;
    QTimer ticker;
    ticker.callOnTimeout(&ticker, [&] {
        longestPause = qMax(longestPause, sinceTick.restart());
    });

    QElapsedTimer clock;
    clock.start();
    const PortStatus status = control.Output(QString::fromLatin1(expected));
    const qint64 outputMs = clock.elapsed();
    if (!status.ok)
        failures.append(status.description);
    qint64 closeMs = -1;
    if (closeAtOnce) {
        clock.restart();
        control.Close();
        closeMs = clock.elapsed();
    }

    sinceTick.start();
    ticker.start(TickMs);
    clock.restart();
    qint64 lastSize = -1;
    QElapsedTimer sinceArrival;
    sinceArrival.start();
    while (sign.received().size() < expected.size() && clock.elapsed() < GiveUpMs
           && sinceArrival.elapsed() < 5000) {
        QCoreApplication::processEvents(QEventLoop::AllEvents, TickMs);
        if (sign.received().size() != lastSize) {
            lastSize = sign.received().size();
            sinceArrival.restart();
        }
    }
    const QByteArray received = sign.received();
    const qint64 arrivalMs = clock.elapsed() + outputMs + qMax<qint64>(closeMs, 0);

    std::printf("message: %lld bytes at %d bytes/s%s\n", static_cast<long long>(expected.size()), bytesPerSecond,
                closeAtOnce ? ", port closed right after Output" : "");
    std::printf("Output held the caller: %lld ms\n", static_cast<long long>(outputMs));
    if (closeAtOnce)
        std::printf("Close held the caller: %lld ms\n", static_cast<long long>(closeMs));
    else
        std::printf("longest pause between 10 ms ticks afterwards: %lld ms\n", static_cast<long long>(longestPause));
    std::printf("all bytes arrived after %lld ms; the line alone takes %lld ms at its rate\n",
                static_cast<long long>(arrivalMs), static_cast<long long>(expected.size()) * 1000 / bytesPerSecond);
    std::printf("failures reported: %lld\n", static_cast<long long>(failures.size()));
    for (const QString &failure : failures)
        std::printf("  %s\n", qPrintable(QString(failure).replace(QLatin1Char('\r'), QLatin1Char(' '))));
    std::printf("bytes arrived: %lld of %lld%s\n", static_cast<long long>(received.size()),
                static_cast<long long>(expected.size()), received == expected ? ", identical" : ", NOT identical");
    return received == expected && failures.isEmpty() ? 0 : 2;
}
