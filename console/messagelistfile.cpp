#include "messagelistfile.h"

#include "appinfo.h"
#include "historycombo.h"
#include "linebreaks.h"
#include "messageboxes.h"
#include "textfiles.h"
#include "windows1252.h"

#include <algorithm>
#include <utility>

namespace {

constexpr char CR = '\r';
constexpr char LF = '\n';

// Entries are short: one piece usually holds the whole history.
constexpr qint64 ReadPieceSize = 4096;

QString SaveFailureText(const char *what, const QString &filePath, const QString &error)
{
    const QChar lineBreak(u'\r');
    return QLatin1String(what) + lineBreak + u'"' + filePath + u'"' + lineBreak + error;
}

} // namespace

QString MessageListFilePath()
{
    return MessageListFilePath(AppInfo::ProgramFolder());
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
    for (const char byte : piece) {
        if (IsFull())
            return;
        // The LF of a CR LF pair may arrive in the next piece.
        const bool endsPair = byte == LF && m_lastWasCr;
        m_lastWasCr = byte == CR;
        if (byte == CR)
            EndLine();
        else if (!endsPair)
            m_line.append(byte);
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

void MessageListParser::EndLine()
{
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

void LoadMessageList(HistoryCombo &curMsg, bool &msgListDirty, const QString &filePath)
{
    const qsizetype alreadyHeld = curMsg.ListCount();
    MessageListParser parser(curMsg.Entries());
    TextFileReader file(filePath);
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

    const QStringList &loaded = parser.History();
    for (qsizetype i = alreadyHeld; i < loaded.size(); ++i)
        curMsg.AddItem(loaded.at(i));
    msgListDirty = false;
}

void SaveMessageList(const HistoryCombo &curMsg, bool &msgListDirty, MessageBoxes &boxes,
                     const QString &filePath)
{
    if (!msgListDirty)
        return;

    const FileWriteResult result =
        ReplaceFileContent(filePath, MessageListFileBytes(curMsg.Entries()));
    switch (result.outcome) {
    case FileWriteOutcome::Written:
        msgListDirty = false;
        return;
    case FileWriteOutcome::CreateFailed:
        boxes.MsgBox(SaveFailureText("Unable to create message list file", filePath,
                                     result.errorDescription),
                     MessageIcon::None, QLatin1String(AppInfo::Title));
        return;
    case FileWriteOutcome::WriteFailed:
        boxes.MsgBox(SaveFailureText("Unable to write to message list file", filePath,
                                     result.errorDescription),
                     MessageIcon::None, QLatin1String(AppInfo::Title));
        return;
    }
}
