#include "messagelistfile.h"

#include "appinfo.h"
#include "fieldtext.h"
#include "savefailure.h"
#include "textfiles.h"
#include "windows1252.h"

#include <algorithm>
#include <utility>

namespace {

constexpr char CR = '\r';
constexpr char LF = '\n';

// Entries are short: one piece usually holds the whole history, and a long
// one is read in few pieces.
constexpr qint64 ReadPieceSize = 64 * 1024;

} // namespace

QString MessageListFilePath()
{
    return MessageListFilePath(AppInfo::DataFolder(AppInfo::ProgramFolder()));
}

QString MessageListFilePath(const QString &folder)
{
    return folder + u'/' + QLatin1String(AppInfo::MessageListFileName);
}

MessageListParser::MessageListParser(QStringList history)
    : m_history(std::move(history))
{
}

void MessageListParser::Feed(QByteArrayView piece)
{
    while (!piece.isEmpty() && !IsFull()) {
        // The LF of a CR LF pair may arrive at the start of the next piece.
        if (std::exchange(m_lastWasCr, false) && piece.front() == LF) {
            piece = piece.sliced(1);
            continue;
        }
        const qsizetype cr = piece.indexOf(CR);
        TakeLinePart(cr < 0 ? piece : piece.first(cr));
        if (cr < 0)
            return;
        EndLine();
        m_lastWasCr = true;
        piece = piece.sliced(cr + 1);
    }
}

void MessageListParser::Finish()
{
    if (!IsFull())
        EndLine();
}

bool MessageListParser::IsFull() const
{
    return m_history.size() >= MessageListFileLimit;
}

const QStringList &MessageListParser::History() const
{
    return m_history;
}

void MessageListParser::TakeLinePart(QByteArrayView part)
{
    // One byte is one character. A line too long for the field is dropped
    // whole as it goes, so it never takes more memory than the field.
    if (m_lineTooLong)
        return;
    if (!FitsField(m_line.size() + part.size())) {
        m_lineTooLong = true;
        m_line.clear();
        m_line.squeeze();
        return;
    }
    m_line.append(part);
}

void MessageListParser::EndLine()
{
    if (std::exchange(m_lineTooLong, false))
        return;
    // A line feed inside a line is a space in the message field, so the line
    // is compared as the field will hold it.
    const QString entry = WithLineBreaksAsSpaces(FromWindows1252(std::exchange(m_line, {})));
    if (!entry.isEmpty() && !m_history.contains(entry, Qt::CaseSensitive))
        m_history.append(entry);
}

QStringList MessageListEntries(QByteArrayView fileBytes)
{
    MessageListParser parser;
    parser.Feed(fileBytes);
    parser.Finish();
    return parser.History();
}

QByteArray MessageListFileBytes(const QStringList &history)
{
    QByteArray bytes;
    const qsizetype count = std::min<qsizetype>(history.size(), MessageListFileLimit);
    for (qsizetype i = 0; i < count; ++i)
        bytes += ToWindows1252(history.at(i)) + "\r\n";
    return bytes;
}

LoadedMessageList LoadMessageList(const QStringList &held, const QString &filePath)
{
    MessageListParser parser(held);
    TextFileReader file(filePath);
    // The parser holds no more than one field's worth of a line, so the
    // file is read on until the history is full: a line too long for the
    // field costs reading time, never memory, and the entries after it stay.
    while (file.IsOpen() && !parser.IsFull()) {
        const QByteArray piece = file.ReadPiece(ReadPieceSize);
        if (piece.isEmpty()) {
            // After a read error the line in hand is incomplete: drop it.
            if (!file.HasFailed())
                parser.Finish();
            break;
        }
        parser.Feed(piece);
    }

    return {parser.History(), MessageListState{false}};
}

MessageListState SaveMessageList(const QStringList &history, bool msgListDirty, MessageBoxes &boxes,
                                 const QString &filePath)
{
    if (!msgListDirty)
        return {false};

    const FileWriteResult result =
        ReplaceFileContent(filePath, MessageListFileBytes(history));
    switch (result.outcome) {
    case FileWriteOutcome::Written:
        return {false};
    case FileWriteOutcome::CreateFailed:
        ReportSaveFailure(boxes, "Unable to create message list file", filePath,
                          result.errorDescription);
        break;
    case FileWriteOutcome::WriteFailed:
        ReportSaveFailure(boxes, "Unable to write to message list file", filePath,
                          result.errorDescription);
        break;
    }
    return {true};
}
