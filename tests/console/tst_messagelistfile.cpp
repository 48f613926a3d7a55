#include "fieldtext.h"
#include "filesizelimit.h"
#include "messagelistfile.h"
#include "recordingmessageboxes.h"

#include <QDateTime>
#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>

#include <optional>

#include <atomic>
#include <cstring>
#include <thread>

#include <fcntl.h>
#include <poll.h>
#include <sys/fanotify.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

const QByteArray CRLF = "\r\n";

QStringList Numbered(int count, const QString &pattern = "Line %1")
{
    QStringList lines;
    for (int i = 1; i <= count; ++i)
        lines.append(pattern.arg(i));
    return lines;
}

QByteArray FileOf(const QStringList &lines)
{
    QByteArray bytes;
    for (const QString &line : lines)
        bytes += line.toLatin1() + CRLF;
    return bytes;
}

[[nodiscard]] bool WriteFile(const QString &path, const QByteArray &bytes)
{
    QFile file(path);
    return file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size();
}

QByteArray ReadFile(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

// Puts something other than a regular file at `path`: a "folder", a
// "fifo", or a link: to `target` ("link to file" writes `content` there,
// "link to folder" makes it a folder, "dangling link" leaves it absent) or,
// for "link to /<path>", to that path.
[[nodiscard]] bool PlaceNoFile(const QString &place, const QString &path, const QString &target,
                               const QByteArray &content = {})
{
    if (place == "folder")
        return QDir().mkdir(path);
    if (place.startsWith("fifo"))
        return ::mkfifo(QFile::encodeName(path).constData(), 0600) == 0;
    if ((place == "link to file" && !WriteFile(target, content)) || (place == "link to folder" && !QDir().mkdir(target)))
        return false;
    return QFile::link(place.startsWith("link to /") ? place.mid(8) : target, path);
}

// Every entry below `folder`, links not followed.
QStringList Everything(const QString &folder)
{
    QStringList entries;
    QDirIterator it(folder, QDir::AllEntries | QDir::System | QDir::Hidden | QDir::NoDotAndDotDot,
                    QDirIterator::Subdirectories);
    while (it.hasNext())
        entries.append(it.next());
    entries.sort();
    return entries;
}

// What a regular file (or a link to one) at `path` holds; nothing for
// anything else, which reading could block on.
QByteArray ContentIfFile(const QString &path)
{
    return QFileInfo(path).isFile() ? ReadFile(path) : QByteArray();
}

// Every byte this process has read so far, from any file.
qint64 BytesReadByThisProcess()
{
    QFile io(QStringLiteral("/proc/self/io"));
    if (!io.open(QIODevice::ReadOnly))
        return -1;
    for (const QByteArray &line : io.readAll().split('\n')) {
        if (line.startsWith("rchar:"))
            return line.mid(6).trimmed().toLongLong();
    }
    return -1;
}

// A file descriptor closed when it goes out of scope.
class Descriptor
{
public:
    explicit Descriptor(int fd)
        : m_fd(fd)
    {
    }
    ~Descriptor()
    {
        if (m_fd >= 0)
            ::close(m_fd);
    }
    Descriptor(const Descriptor &) = delete;
    Descriptor &operator=(const Descriptor &) = delete;

    [[nodiscard]] int Fd() const { return m_fd; }

private:
    const int m_fd;
};

// Lets the first `allowed` reads of a file through and refuses every later
// one, as a file access policy does (reading then fails with EPERM). Needs
// CAP_SYS_ADMIN; IsActive() is false without it.
class ReadsRefusedAfter
{
public:
    ReadsRefusedAfter(const QString &path, int allowed)
        : m_group(::fanotify_init(FAN_CLASS_CONTENT | FAN_CLOEXEC | FAN_NONBLOCK, O_RDONLY))
    {
        if (m_group.Fd() < 0
            || ::fanotify_mark(m_group.Fd(), FAN_MARK_ADD, FAN_ACCESS_PERM, AT_FDCWD,
                               QFile::encodeName(path).constData())
                != 0)
            return;
        m_answering = std::thread([this, allowed] { Answer(allowed); });
    }
    ~ReadsRefusedAfter()
    {
        m_stop = true;
        if (m_answering.joinable())
            m_answering.join();
    }
    ReadsRefusedAfter(const ReadsRefusedAfter &) = delete;
    ReadsRefusedAfter &operator=(const ReadsRefusedAfter &) = delete;

    [[nodiscard]] bool IsActive() const { return m_answering.joinable(); }

private:
    void Answer(int allowed)
    {
        pollfd ready {m_group.Fd(), POLLIN, 0};
        while (!m_stop) {
            if (::poll(&ready, 1, 20) <= 0)
                continue;
            alignas(fanotify_event_metadata) char buffer[4096];
            const ssize_t got = ::read(m_group.Fd(), buffer, sizeof buffer);
            auto *event = reinterpret_cast<fanotify_event_metadata *>(buffer);
            for (ssize_t left = got; FAN_EVENT_OK(event, left); event = FAN_EVENT_NEXT(event, left)) {
                const fanotify_response answer {event->fd, static_cast<__u32>(allowed-- > 0 ? FAN_ALLOW : FAN_DENY)};
                static_cast<void>(::write(m_group.Fd(), &answer, sizeof answer));
                ::close(event->fd);
            }
        }
    }

    const Descriptor m_group;
    std::atomic<bool> m_stop = false;
    std::thread m_answering;
};

} // namespace

class TestMessageListFile : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void init();

    void entriesFromBytes_data();
    void entriesFromBytes();
    void bytesFromHistory_data();
    void bytesFromHistory();
    void loadFromFile_data();
    void loadFromFile();
    void loadDropsALineCutByAReadError();
    void loadWithoutReadableFile_data();
    void loadWithoutReadableFile();
    void loadStopsReadingWhenFull_data();
    void loadStopsReadingWhenFull();
    void saveRewritesWholeFile_data();
    void saveRewritesWholeFile();
    void saveRemovesStaleTemporaryFiles_data();
    void saveRemovesStaleTemporaryFiles();
    void saveWithoutChangeTouchesNothing_data();
    void saveWithoutChangeTouchesNothing();
    void saveFailureLeavesAllAsItWas_data();
    void saveFailureLeavesAllAsItWas();
    void highBytesRoundTrip();

private:
    // Loads into `held` and checks that the list is clean afterwards, as
    // every load leaves it.
    [[nodiscard]] QStringList Load(const QStringList &held = {}) const;

    // Each case's own folder and the list file's place in it.
    std::optional<QTemporaryDir> m_dir;
    QString m_path;
    RecordingMessageBoxes m_boxes;
};

void TestMessageListFile::init()
{
    m_dir.emplace();
    QVERIFY(m_dir->isValid());
    m_path = MessageListFilePath(m_dir->path());
    m_boxes.shown.clear();
}

QStringList TestMessageListFile::Load(const QStringList &held) const
{
    const LoadedMessageList loaded = LoadMessageList(held, m_path);
    if (loaded.state.msgListDirty)
        return {QStringLiteral("<dirty after a load>")};
    return loaded.history;
}

void TestMessageListFile::entriesFromBytes_data()
{
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<QStringList>("expected");

    const QStringList abc{"A", "B", "C"};
    QTest::newRow("empty line and a repeat skipped")
        << QByteArray("A\r\n\r\nB\r\nA\r\nC\r\n") << abc;
    QTest::newRow("25 lines: first 20 in file order") << FileOf(Numbered(25)) << Numbered(20);
    QTest::newRow("repeats do not count towards 20")
        << FileOf(QStringList{"Line 1", "Line 1", "Line 2", "Line 1"} + Numbered(25))
        << Numbered(20);
    QTest::newRow("line after the 20th without line end")
        << FileOf(Numbered(20)) + "Last" << Numbered(20);
    QTest::newRow("last line without line end") << QByteArray("A\r\nB\r\nC") << abc;
    QTest::newRow("CR alone ends a line") << QByteArray("A\rB\rC\r") << abc;
    QTest::newRow("CR then CR LF: empty line between") << QByteArray("A\r\r\nB\r\nC") << abc;
    // The message field holds no line break: a lone LF is a space in it.
    QTest::newRow("lone LF inside an entry")
        << QByteArray("A\nB\r\nC\r\n") << QStringList{"A B", "C"};
    QTest::newRow("LF before CR stays in the entry")
        << QByteArray("A\n\rB") << QStringList{"A ", "B"};
    QTest::newRow("LF at the start of the file")
        << QByteArray("\nA\r\n") << QStringList{" A"};
    QTest::newRow("LF makes a repeat of an earlier entry")
        << QByteArray("A B\r\nA\nB\r\nC\r\n") << QStringList{"A B", "C"};
    QTest::newRow("spaces are an entry") << QByteArray("  \r\nA ") << QStringList{"  ", "A "};
    QTest::newRow("case counts") << QByteArray("Hello\r\nhello\r\n")
                                 << QStringList{"Hello", "hello"};
    QTest::newRow("Windows-1252 text") << QByteArray("\x80 caf\xe9\r\n")
                                       << QStringList{QString::fromUtf8("€ café")};
    QTest::newRow("empty file") << QByteArray() << QStringList{};
    const QByteArray longest(FieldTextLimit, 'L');
    const QByteArray tooLong(FieldTextLimit + 1, 'T');
    QTest::newRow("line as long as the field holds")
        << QByteArray("A\r\n" + longest + "\r\nB") << QStringList{"A", QString(longest), "B"};
    QTest::newRow("line one longer skipped whole")
        << QByteArray("A\r\n" + tooLong + "\r\nB\r\n") << QStringList{"A", "B"};
    QTest::newRow("too long, ended by a CR alone")
        << QByteArray(tooLong + "\rB") << QStringList{"B"};
    QTest::newRow("too long, last line without line end")
        << QByteArray("A\r\n" + tooLong) << QStringList{"A"};
    QTest::newRow("too long lines do not count towards 20")
        << QByteArray(tooLong + "\r\n" + tooLong + "\r\n" + FileOf(Numbered(20)))
        << Numbered(20);
    QTest::newRow("line ends only") << QByteArray("\r\n\r\r\n\r") << QStringList{};
}

void TestMessageListFile::entriesFromBytes()
{
    QFETCH(QByteArray, bytes);
    QFETCH(QStringList, expected);

    QCOMPARE(MessageListEntries(bytes), expected);

    // A byte at a time: every line end falls across two pieces.
    MessageListParser parser;
    for (qsizetype i = 0; i < bytes.size(); ++i)
        parser.Feed(QByteArrayView(bytes).sliced(i, 1));
    parser.Finish();
    QCOMPARE(parser.History(), expected);
}

void TestMessageListFile::bytesFromHistory_data()
{
    QTest::addColumn<QStringList>("history");
    QTest::addColumn<QByteArray>("expected");

    QTest::newRow("empty history: empty file") << QStringList{} << QByteArray();
    QTest::newRow("CR LF after the last line too") << QStringList{"A", "B"}
                                                   << QByteArray("A\r\nB\r\n");
    QTest::newRow("spaces kept") << QStringList{" A  "} << QByteArray(" A  \r\n");
    QTest::newRow("21 entries: first 20") << Numbered(21) << FileOf(Numbered(20));
    QTest::newRow("Windows-1252, no byte-order mark")
        << QStringList{QString::fromUtf8("€ café")} << QByteArray("\x80 caf\xe9\r\n");
}

void TestMessageListFile::bytesFromHistory()
{
    QFETCH(QStringList, history);
    QFETCH(QByteArray, expected);

    QCOMPARE(MessageListFileBytes(history), expected);
}

void TestMessageListFile::loadFromFile_data()
{
    QTest::addColumn<QByteArray>("content");
    QTest::addColumn<QStringList>("held");
    QTest::addColumn<QStringList>("expected");

    QTest::newRow("empty line and a repeat skipped")
        << QByteArray("A\r\n\r\nB\r\nA\r\nC\r\n") << QStringList{} << QStringList{"A", "B", "C"};
    // 25 lines of 300 characters span several reads.
    const QString longLine = QString(290, u'x') + "%1";
    QTest::newRow("lines across reads") << FileOf(Numbered(25, longLine)) << QStringList{}
                                        << Numbered(20, longLine);
    QTest::newRow("last line without line end")
        << QByteArray("A\r\nB") << QStringList{} << QStringList{"A", "B"};
    QTest::newRow("lone LF shows as a space in the list")
        << QByteArray("A\nB\r\n") << QStringList{} << QStringList{"A B"};
    QTest::newRow("entries held already come first and count")
        << FileOf({"A", "Line 2", "B"}) << Numbered(19) << Numbered(19) + QStringList{"A"};
}

void TestMessageListFile::loadFromFile()
{
    QFETCH(QByteArray, content);
    QFETCH(QStringList, held);
    QFETCH(QStringList, expected);
    QVERIFY(WriteFile(m_path, content));

    QCOMPARE(Load(held), expected);
}

void TestMessageListFile::loadDropsALineCutByAReadError()
{
    QVERIFY(WriteFile(m_path, "A\r\nB\r\nPart"));
    // The first read takes the whole file; the one that would find its end fails.
    const ReadsRefusedAfter policy(m_path, 1);
    if (!policy.IsActive())
        QSKIP("No file access policy can be set here (needs CAP_SYS_ADMIN).");

    QCOMPARE(Load(), QStringList({"A", "B"}));
}

void TestMessageListFile::loadWithoutReadableFile_data()
{
    QTest::addColumn<QString>("situation");

    QTest::newRow("no file") << "missing";
    QTest::newRow("no folder") << "no folder";
    QTest::newRow("a folder in the file's place") << "folder";
    QTest::newRow("a link to a regular file") << "link to file";
    QTest::newRow("a link to an endless device") << "link to /dev/zero";
    QTest::newRow("a device") << "device";
    QTest::newRow("a FIFO with no writer") << "fifo";
    QTest::newRow("a FIFO with lines waiting") << "fifo with writer";
}

void TestMessageListFile::loadWithoutReadableFile()
{
    QFETCH(QString, situation);

    if (situation == "no folder")
        m_path = MessageListFilePath(m_dir->filePath("absent"));
    else if (situation == "device")
        m_path = QStringLiteral("/dev/null");
    else if (situation != "missing")
        QVERIFY(PlaceNoFile(situation, m_path, m_dir->filePath("elsewhere"), FileOf({"A", "B"})));
    // Held open for reading and writing, the pipe holds lines and never
    // reports its end: reading it would take them, or wait for good.
    const Descriptor pipe(situation == "fifo with writer"
                              ? ::open(QFile::encodeName(m_path).constData(), O_RDWR | O_NONBLOCK)
                              : -1);
    const QByteArray waiting = FileOf({"A", "B"});
    if (situation == "fifo with writer")
        QCOMPARE(::write(pipe.Fd(), waiting.constData(), waiting.size()), waiting.size());

    QCOMPARE(Load(), QStringList());
}

void TestMessageListFile::loadStopsReadingWhenFull_data()
{
    QTest::addColumn<QByteArray>("head");
    QTest::addColumn<qint64>("tail"); // bytes of a hole after the head, read as NULs
    QTest::addColumn<QByteArray>("end");
    QTest::addColumn<QStringList>("expected");
    QTest::addColumn<qint64>("readAtMost");

    constexpr qint64 Slack = 256 * 1024;
    const qint64 fullHistory = qint64(MessageListFileLimit) * (FieldTextLimit + 2);
    QTest::newRow("a full history, then a large tail")
        << FileOf(Numbered(25)) << qint64(400) * 1024 * 1024 << QByteArray("After\r\n")
        << Numbered(20) << Slack;
    // A line too long for the field is read past to its end, and the
    // entries after it are kept: its end lies more than one read (64 KiB)
    // beyond a full history's bytes.
    QTest::newRow("one line longer than a full history")
        << QByteArray("First\r\n") << fullHistory + 100'000 << QByteArray("\r\nAfter\r\n")
        << QStringList{"First", "After"} << fullHistory + 100'000 + Slack;
}

void TestMessageListFile::loadStopsReadingWhenFull()
{
    QFETCH(QByteArray, head);
    QFETCH(qint64, tail);
    QFETCH(QByteArray, end);
    QFETCH(QStringList, expected);
    QFETCH(qint64, readAtMost);
    {
        QFile file(m_path);
        QVERIFY(file.open(QIODevice::WriteOnly));
        QCOMPARE(file.write(head), head.size());
        // A hole costs no disk space.
        QVERIFY(file.resize(head.size() + tail));
        QVERIFY(file.seek(head.size() + tail));
        QCOMPARE(file.write(end), end.size());
    }

    const qint64 readBefore = BytesReadByThisProcess();
    QCOMPARE(Load(), expected);
    const qint64 read = BytesReadByThisProcess() - readBefore;
    QVERIFY2(read <= readAtMost, qPrintable(QString::number(read)));
}

void TestMessageListFile::saveRewritesWholeFile_data()
{
    QTest::addColumn<QByteArray>("previous");
    QTest::addColumn<QStringList>("history");
    QTest::addColumn<QByteArray>("expected");

    const QByteArray none;
    QTest::newRow("created when missing") << none << QStringList{"A", "B"}
                                          << QByteArray("A\r\nB\r\n");
    QTest::newRow("21 in memory: 20 in the file") << none << Numbered(21) << FileOf(Numbered(20));
    QTest::newRow("longer file replaced")
        << FileOf(Numbered(20)) << QStringList{"A"} << QByteArray("A\r\n");
    QTest::newRow("emptied history: empty file")
        << FileOf(Numbered(3)) << QStringList{} << QByteArray();
}

void TestMessageListFile::saveRewritesWholeFile()
{
    QFETCH(QByteArray, previous);
    QFETCH(QStringList, history);
    QFETCH(QByteArray, expected);
    if (!previous.isEmpty())
        QVERIFY(WriteFile(m_path, previous));

    QCOMPARE(SaveMessageList(history, true, m_boxes, m_path).msgListDirty, false);

    QCOMPARE(ReadFile(m_path), expected);
    QCOMPARE(m_boxes.shown.size(), 0);
    // Nothing is left beside the file.
    QCOMPARE(Everything(m_dir->path()), QStringList{m_path});
}

void TestMessageListFile::saveRemovesStaleTemporaryFiles_data()
{
    QTest::addColumn<QString>("name");  // %1 stands for the list file's name
    QTest::addColumn<int>("ageSeconds");
    QTest::addColumn<bool>("removed");

    QTest::newRow("an hour old") << "%1.a1B2c3" << 3600 << true;
    QTest::newRow("two minutes old") << "%1.ZZZZZZ" << 120 << true;
    QTest::newRow("a save under way") << "%1.a1B2c3" << 0 << false;
    QTest::newRow("five random letters") << "%1.a1B2c" << 3600 << false;
    QTest::newRow("seven random letters") << "%1.a1B2c3d" << 3600 << false;
    QTest::newRow("not a letter or digit") << "%1.a1-2c3" << 3600 << false;
    QTest::newRow("another file's") << "Other.txt.a1B2c3" << 3600 << false;
}

void TestMessageListFile::saveRemovesStaleTemporaryFiles()
{
    QFETCH(QString, name);
    QFETCH(int, ageSeconds);
    QFETCH(bool, removed);
    const QString leftOver = m_dir->filePath(name.arg(QFileInfo(m_path).fileName()));
    QVERIFY(WriteFile(leftOver, QByteArray(1000, 'x')));
    {
        QFile file(leftOver);
        QVERIFY(file.open(QIODevice::ReadWrite));
        QVERIFY(file.setFileTime(QDateTime::currentDateTime().addSecs(-ageSeconds),
                                 QFileDevice::FileModificationTime));
    }

    QCOMPARE(SaveMessageList({"A"}, true, m_boxes, m_path).msgListDirty, false);

    QCOMPARE(ReadFile(m_path), QByteArray("A\r\n"));
    QCOMPARE(QFile::exists(leftOver), !removed);
}

void TestMessageListFile::saveWithoutChangeTouchesNothing_data()
{
    QTest::addColumn<bool>("exists");

    QTest::newRow("file stays as it was") << true;
    QTest::newRow("missing file stays missing") << false;
}

void TestMessageListFile::saveWithoutChangeTouchesNothing()
{
    QFETCH(bool, exists);
    const QByteArray previous = "Old\r\n";
    const QDateTime stamp(QDate(2001, 2, 3), QTime(4, 5, 6), Qt::UTC);
    if (exists) {
        QVERIFY(WriteFile(m_path, previous));
        QFile file(m_path);
        QVERIFY(file.open(QIODevice::ReadWrite));
        QVERIFY(file.setFileTime(stamp, QFileDevice::FileModificationTime));
    }

    QCOMPARE(SaveMessageList({"A", "B"}, false, m_boxes, m_path).msgListDirty, false);

    QCOMPARE(QFileInfo::exists(m_path), exists);
    if (exists) {
        QCOMPARE(ReadFile(m_path), previous);
        QCOMPARE(QFileInfo(m_path).lastModified().toUTC(), stamp);
    }
    QCOMPARE(m_boxes.shown.size(), 0);
}

// Whether the file cannot be made, cannot be written, or something that is
// no regular file stands in its place, the box names the file and the cause,
// the list stays dirty, and every file and link is as it was.
void TestMessageListFile::saveFailureLeavesAllAsItWas_data()
{
    QTest::addColumn<QString>("cause");
    QTest::addColumn<QString>("firstLine");
    QTest::addColumn<int>("error"); // 0: the system's words are not checked

    const QString create = "Unable to create message list file";
    const QString write = "Unable to write to message list file";
    // Permission bits do not stop root, so each cause is one that does.
    QTest::newRow("folder does not exist") << "no folder" << create << ENOENT;
    QTest::newRow("folder is a regular file") << "file as folder" << create << ENOTDIR;
    QTest::newRow("folder not writable") << "read-only folder" << create << EACCES;
    QTest::newRow("no file descriptor left") << "descriptors" << create << EMFILE;
    QTest::newRow("file size limit reached") << "size limit" << write << EFBIG;
    QTest::newRow("a link to someone's file") << "link to file" << create << 0;
    QTest::newRow("a link to nothing") << "dangling link" << create << 0;
    QTest::newRow("a link to a folder") << "link to folder" << create << 0;
    QTest::newRow("a FIFO") << "fifo" << create << 0;
}

void TestMessageListFile::saveFailureLeavesAllAsItWas()
{
    QFETCH(QString, cause);
    QFETCH(QString, firstLine);
    QFETCH(int, error);

    if (cause == "no folder") {
        m_path = MessageListFilePath(m_dir->filePath("absent"));
    } else if (cause == "read-only folder") {
        // The kernel's own folder refuses new files even to root.
        m_path = MessageListFilePath(QStringLiteral("/sys"));
    } else if (cause == "file as folder") {
        QVERIFY(WriteFile(m_dir->filePath("plain"), "not a folder"));
        m_path = MessageListFilePath(m_dir->filePath("plain"));
    } else if (cause == "descriptors" || cause == "size limit") {
        QVERIFY(WriteFile(m_path, FileOf({"Old 1", "Old 2"})));
    } else {
        QVERIFY(PlaceNoFile(cause, m_path, m_dir->filePath("target"), "export PATH=/usr/bin\n"));
    }
    const QStringList entriesBefore = Everything(m_dir->path());
    const QByteArray contentBefore = ContentIfFile(m_path);
    const QStringList history = Numbered(20);
    MessageListState after;

    if (cause == "descriptors") {
        // The lowest free descriptor number becomes the limit, so no file
        // can be opened at all.
        const int lowestFree = ::dup(0);
        QVERIFY(lowestFree >= 0);
        ::close(lowestFree);
        const LoweredLimit limit(RLIMIT_NOFILE, rlim_t(lowestFree));
        QVERIFY(limit.IsApplied());
        after = SaveMessageList(history, true, m_boxes, m_path);
    } else if (cause == "size limit") {
        const FileSizeLimit fullDisk(8);
        QVERIFY(fullDisk.IsApplied());
        after = SaveMessageList(history, true, m_boxes, m_path);
    } else {
        after = SaveMessageList(history, true, m_boxes, m_path);
    }

    QCOMPARE(after.msgListDirty, true);
    QCOMPARE(m_boxes.shown.size(), 1);
    const QString text = m_boxes.shown.at(0).text;
    QVERIFY2(text.startsWith(firstLine + u'\r' + u'"' + m_path + u'"' + u'\r'), qPrintable(text));
    if (error != 0)
        QCOMPARE(text.section(u'\r', 2), QString::fromLocal8Bit(std::strerror(error)));
    QCOMPARE(m_boxes.shown.at(0).title, QString("VantorMsgBoard"));
    QCOMPARE(m_boxes.shown.at(0).icon, MessageIcon::None);
    QCOMPARE(Everything(m_dir->path()), entriesBefore);
    QCOMPARE(QFileInfo(m_path).isSymLink(), cause.contains("link"));
    QCOMPARE(ContentIfFile(m_path), contentBefore);
}

void TestMessageListFile::highBytesRoundTrip()
{
    QByteArray high;
    for (int byte = 0x80; byte <= 0xFF; ++byte)
        high.append(char(byte));
    const QByteArray content = "Plain\r\n" + high + CRLF;
    QVERIFY(WriteFile(m_path, content));
    const QStringList history = Load();
    QCOMPARE(history.size(), 2);
    QCOMPARE(history.at(1).size(), 128);

    QVERIFY(QFile::remove(m_path));
    QCOMPARE(SaveMessageList(history, true, m_boxes, m_path).msgListDirty, false);

    QCOMPARE(ReadFile(m_path), content);
}

QTEST_GUILESS_MAIN(TestMessageListFile)
#include "tst_messagelistfile.moc"
