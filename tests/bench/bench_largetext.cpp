// The console with large text, on the offscreen platform:
//
//   Send freeze     the longest single event delivery (the window frozen)
//                   from a click on Send with a new 1 MiB message until the
//                   message has reached the pseudo-terminal that is the port,
//                   and 300 ms more
//   floor of it     the longest event delivery in 300 ms after the new
//                   text is set in the field, before the Send: the field's
//                   own layout and paint of 1 MiB, which no Send can avoid
//   load            Form_Load with a message list file of 20 entries of
//                   1 MiB each, as start-up runs it with the window hidden
//   history list    the longest event delivery in 300 ms after the list of
//                   those entries (and the messages sent) drops down
//   decode          Windows-1252 to text, 1 MiB with every 0x80-row byte,
//                   against its floor: Latin-1 to text of the same bytes
//   sign record     the virtual sign decoding a 1 MiB message record full of
//                   "D", against its floor: copying the same bytes
//
// Rounds of a measure and its floor alternate; each line gives min, median
// and max over the rounds.
//
//   bench_largetext [ROUNDS]     ROUNDS defaults to 15

#include "frmmain.h"
#include "historycombo.h"
#include "loadedforms.h"
#include "namedchild.h"
#include "ptypair.h"
#include "portcontrol.h"
#include "recordingmessageboxes.h"
#include "settingsstore.h"
#include "signdecoder.h"
#include "windows1252.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>

#include <algorithm>
#include <cstdio>
#include <functional>

namespace {

constexpr int MiB = 1024 * 1024;
constexpr int SignPort = 3;

// Times every event delivery that is not nested in another one.
class TimingApplication : public QApplication
{
public:
    using QApplication::QApplication;

    bool notify(QObject *receiver, QEvent *event) override
    {
        if (m_depth++ == 0)
            m_timer.start();
        const bool result = QApplication::notify(receiver, event);
        if (--m_depth == 0)
            m_longest = std::max(m_longest, m_timer.nsecsElapsed());
        return result;
    }
    // The longest delivery since the last call, in milliseconds.
    double takeLongestMs() { return std::exchange(m_longest, 0) / 1e6; }

private:
    int m_depth = 0;
    qint64 m_longest = 0;
    QElapsedTimer m_timer;
};

struct Figures
{
    QList<double> ms;
    void print(const char *what) const
    {
        QList<double> sorted = ms;
        std::sort(sorted.begin(), sorted.end());
        std::printf("  %-44s min %8.2f  median %8.2f  max %8.2f ms\n", what, sorted.first(),
                    sorted.at(sorted.size() / 2), sorted.last());
    }
};

double TimeMs(const std::function<void()> &work)
{
    QElapsedTimer timer;
    timer.start();
    work();
    return timer.nsecsElapsed() / 1e6;
}

// A window loaded as start-up loads it, its port a pseudo-terminal.
struct Console
{
    TempConfigHome configHome;
    PtyPair pty;
    QTemporaryDir folder;
    SettingsStore settings {folder.filePath(QStringLiteral("settings.conf"))};
    LoadedForms forms;
    RecordingMessageBoxes boxes;
    std::unique_ptr<frmMain> window;

    bool linkPort() { return pty.isValid() && configHome.linkPort(SignPort, pty.slavePath()); }
    void writeList(const QByteArray &bytes)
    {
        QFile file(folder.filePath(QStringLiteral("VantorMsgBoard-MsgList.txt")));
        if (file.open(QIODevice::WriteOnly))
            file.write(bytes);
    }
    void load()
    {
        MainWindowContext context;
        context.commandLineArgument = QStringLiteral("COM%1").arg(SignPort);
        context.settings = &settings;
        context.boxes = &boxes;
        context.port = std::make_unique<PortControl>();
        context.programFolder = folder.path();
        context.forms = &forms;
        window = std::make_unique<frmMain>(std::move(context));
        forms.Load(window.get());
        window->Form_Load();
    }
};

} // namespace

int main(int argc, char *argv[])
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    TimingApplication app(argc, argv);
    const int rounds = argc > 1 ? std::max(1, std::atoi(argv[1])) : 15;

    Figures freeze, typed, load, popup, decode, latin1, record, copy;
    for (int round = 0; round < rounds; ++round) {
        // 0x80 to 0x9F and ASCII, so that the mending is exercised too.
        QByteArray bytes(MiB, 'a');
        for (qsizetype i = 0; i < bytes.size(); i += 7)
            bytes[i] = static_cast<char>(0x80 + (i + round) % 32);
        decode.ms.append(TimeMs([&] { static_cast<void>(FromWindows1252(bytes)); }));
        latin1.ms.append(TimeMs([&] { static_cast<void>(QString::fromLatin1(bytes)); }));

        const QByteArray dRecord = "\r1A" + QByteArray(MiB, 'D') + "\r1D";
        copy.ms.append(TimeMs([&] { static_cast<void>(QByteArray(dRecord.constData(), dRecord.size())); }));
        record.ms.append(TimeMs([&] {
            SignDecoder decoder;
            static_cast<void>(decoder.feed(dRecord));
        }));
    }

    Console console;
    if (!console.linkPort()) {
        std::fprintf(stderr, "no pseudo-terminal\n");
        return 1;
    }
    QByteArray list;
    for (int entry = 0; entry < 20; ++entry)
        list += QByteArray(MiB, static_cast<char>('A' + entry)) + "\r\n";
    console.writeList(list);
    load.ms.append(TimeMs([&] { console.load(); }));
    QPushButton *const send = NamedChild<QPushButton>(*console.window, "Send");
    HistoryCombo *const curMsg = NamedChild<HistoryCombo>(*console.window, "CurMsg");
    if (!send->isEnabled() || !console.boxes.shown.isEmpty()) {
        std::fprintf(stderr, "the port did not open: %s\n",
                     qPrintable(console.boxes.shown.isEmpty() ? QString() : console.boxes.shown.first().text));
        return 1;
    }
    console.window->show();
    static_cast<void>(QTest::qWaitForWindowExposed(console.window.get()));
    for (int round = 0; round < rounds; ++round) {
        // A new message each round, as long as the field holds.
        const QString number = QString::number(round);
        if (!curMsg->SetText(QString(MiB - number.size(), QChar(u'a' + round % 26)) + number))
            return 1;
        QTest::qWait(300);
        typed.ms.append(app.takeLongestMs());
        // Posted, so that the click is one delivery of the event loop.
        QMetaObject::invokeMethod(send, &QPushButton::click, Qt::QueuedConnection);
        // The line is read as it arrives; the window's events run between
        // the reads, and the read itself is no event of the window.
        qsizetype arrived = 0;
        QElapsedTimer sending;
        sending.start();
        while (arrived < MiB && sending.elapsed() < 60000) {
            QTest::qWait(5);
            arrived += console.pty.readMasterAtMost(MiB, 0).size();
        }
        QTest::qWait(300);
        freeze.ms.append(app.takeLongestMs());
        if (arrived < MiB) {
            std::fprintf(stderr, "round %d: %lld bytes of the message reached the port; %s\n", round + 1,
                         static_cast<long long>(arrived),
                         qPrintable(console.boxes.shown.isEmpty() ? QStringLiteral("no box")
                                                                   : console.boxes.shown.last().text));
            return 1;
        }
    }
    curMsg->showPopup();
    QTest::qWait(300);
    popup.ms.append(app.takeLongestMs());
    curMsg->hidePopup();
    console.window->close();

    std::printf("Large text, %d rounds:\n", rounds);
    freeze.print("Send of 1 MiB: longest event");
    typed.print("  floor: the text set, its first paint");
    load.print("load with 20 entries of 1 MiB (1 round)");
    popup.print("history list dropped down (1 round)");
    decode.print("Windows-1252 to text, 1 MiB");
    latin1.print("  floor: Latin-1 to text, 1 MiB");
    record.print("sign decodes a 1 MiB record of D");
    copy.print("  floor: copying those bytes");
    return 0;
}
