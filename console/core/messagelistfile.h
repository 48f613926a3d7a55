#pragma once

// The message list file: the first entries of the message history, kept
// between runs beside the program, or in the user's data folder where the
// program's folder is not the user's to write (AppInfo::DataFolder). One entry per line, most recent first,
// CR LF after every line, Windows-1252 text with no byte-order mark.

#include <QByteArray>
#include <QByteArrayView>
#include <QString>
#include <QStringList>

class MessageBoxes;

// The most entries that are loaded from the file or saved to it.
inline constexpr int MessageListFileLimit = 20;

// The file of the running program (in its data folder), or in `folder`.
[[nodiscard]] QString MessageListFilePath();
[[nodiscard]] QString MessageListFilePath(const QString &folder);

// Turns the file's bytes into history entries, fed a piece at a time so that
// reading can stop as soon as the history is full. A line ends at CR LF or at
// a CR alone; a lone LF is an ordinary character. Empty lines, lines longer
// than the message field holds (FieldTextLimit) and lines equal to an entry
// already held are skipped; the first occurrence keeps its place.
class MessageListParser
{
public:
    // `history` holds the entries there before loading; they count towards
    // the limit and new lines are checked against them.
    explicit MessageListParser(QStringList history = {});

    // Takes the next bytes of the file; what comes after the entry that
    // fills the history is ignored.
    void Feed(QByteArrayView piece);
    // The file has ended: a last line without a line end is taken too.
    void Finish();

    [[nodiscard]] bool IsFull() const;
    // The history as loaded so far, the entries given at construction first.
    [[nodiscard]] const QStringList &History() const;

private:
    void TakeLinePart(QByteArrayView part);
    void EndLine();

    QStringList m_history;
    QByteArray m_line;
    bool m_lineTooLong = false;
    bool m_lastWasCr = false;
};

// The history entries in a whole file's bytes, as loading takes them into an
// empty history.
[[nodiscard]] QStringList MessageListEntries(QByteArrayView fileBytes);

// The file's bytes for a history: its first MessageListFileLimit entries.
[[nodiscard]] QByteArray MessageListFileBytes(const QStringList &history);

// MsgListDirty as a load or a save leaves it: set while the history holds
// entries the file does not.
struct [[nodiscard]] MessageListState
{
    bool msgListDirty = false;
};

// A load's outcome: the entries held before, then the file's.
struct [[nodiscard]] LoadedMessageList
{
    QStringList history;
    MessageListState state;
};

// Appends the file's entries to `held`; the list then matches the file. A
// file that is missing or cannot be read, or anything in its place that is
// not a regular file (a link, a FIFO, a device, a folder), leaves the list as
// it is and is not reported: the history is optional. No more is read than a
// full history of the longest lines takes.
[[nodiscard]] LoadedMessageList LoadMessageList(const QStringList &held,
                                                const QString &filePath = MessageListFilePath());

// Rewrites the file from the history when msgListDirty is set, and is clean
// once the file is complete. Without msgListDirty the file is not touched,
// not even created. A failure is shown in a box and leaves the list dirty and
// the previous file whole.
[[nodiscard]] MessageListState SaveMessageList(const QStringList &history, bool msgListDirty,
                                               MessageBoxes &boxes,
                                               const QString &filePath = MessageListFilePath());
