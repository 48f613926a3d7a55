// The message list reader on any file: the history does not depend on how
// the bytes are cut into pieces, holds at most the file's limit of entries,
// none empty, none twice, none with a line break in it, and saving it then
// loading the saved bytes gives it back.

#include "fieldtext.h"
#include "fuzzpieces.h"
#include "messagelistfile.h"

#include <QSet>

namespace {

QStringList LoadInPieces(const QList<QByteArrayView> &pieces)
{
    MessageListParser parser;
    for (const QByteArrayView piece : pieces)
        parser.Feed(piece);
    parser.Finish();
    return parser.History();
}

void CheckEntries(const QStringList &history)
{
    FUZZ_CHECK(history.size() <= MessageListFileLimit);
    FUZZ_CHECK(QSet<QString>(history.begin(), history.end()).size() == history.size());
    for (const QString &entry : history) {
        FUZZ_CHECK(!entry.isEmpty());
        FUZZ_CHECK(!entry.contains(u'\r'));
        FUZZ_CHECK(!entry.contains(u'\n'));
    }
}

// A line too long for the field, put after the first line end: it is
// skipped whole, and the entries after it are kept as though it were not
// there. Long inputs are slow, so only inputs that start with byte 0 get one.
void CheckOverLongLineIsSkipped(QByteArrayView file)
{
    if (file.isEmpty() || file.front() != 0)
        return;
    const qsizetype cr = file.indexOf('\r');
    if (cr < 0)
        return;
    const QByteArrayView head = file.first(cr + 1);
    const QByteArrayView tail = file.sliced(cr + 1);
    // Ended by a CR alone, so that an LF at the tail's start stays in its
    // line both ways.
    const QByteArray withLongLine = head.toByteArray() + QByteArray(FieldTextLimit + 1, 'L') + '\r' + tail.toByteArray();
    const QByteArray withEmptyLine = head.toByteArray() + '\r' + tail.toByteArray();
    FUZZ_CHECK(MessageListEntries(withLongLine) == MessageListEntries(withEmptyLine));
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    const QByteArrayView file(data, static_cast<qsizetype>(size));
    const QStringList history = MessageListEntries(file);
    CheckEntries(history);

    FUZZ_CHECK(LoadInPieces(SingleBytePieces(data, size)) == history);
    FUZZ_CHECK(LoadInPieces(FuzzerChosenPieces(data, size)) == history);

    // Stopping at a full history: bytes after the entry that fills it are
    // never looked at.
    MessageListParser parser;
    parser.Feed(file);
    FUZZ_CHECK(parser.IsFull() == (parser.History().size() == MessageListFileLimit));
    if (parser.IsFull())
        FUZZ_CHECK(parser.History() == history);

    FUZZ_CHECK(MessageListEntries(MessageListFileBytes(history)) == history);
    CheckOverLongLineIsSkipped(file);

    // Entries already held count towards the limit and are not loaded again.
    if (!history.isEmpty()) {
        const QStringList held{history.constLast()};
        MessageListParser withHeld(held);
        withHeld.Feed(file);
        withHeld.Finish();
        const QStringList loaded = withHeld.History();
        CheckEntries(loaded);
        FUZZ_CHECK(loaded.constFirst() == held.constFirst());
        // The rest keeps the file's order, the held entry left out.
        QStringList expected = history;
        expected.removeLast();
        FUZZ_CHECK(loaded.mid(1) == expected.mid(0, MessageListFileLimit - 1));
    }
    return 0;
}
