#include "signdecoder.h"

#include "byteformat.h"

#include <algorithm>
#include <utility>

namespace {

constexpr char CarriageReturn = '\r';
// Numbers are read only far enough to tell that they are out of range.
constexpr int NumberCap = 100000;

struct Record
{
    int board = 0;
    char letter = 0;
    QByteArray argument;
};

// A decoded record, or why it could not be decoded.
using ParsedRecord = std::variant<Record, QString>;

bool IsDigit(char c)
{
    return c >= '0' && c <= '9';
}

bool IsCommandLetter(char c)
{
    return c >= 'A' && c <= 'D';
}

QString Describe(char byte)
{
    const auto value = static_cast<unsigned char>(byte);
    if (value > 0x20 && value < 0x7F)
        return QStringLiteral("'%1'").arg(QChar(value));
    return QStringLiteral("byte 0x%1").arg(QString::number(value, 16).toUpper().rightJustified(2, u'0'));
}

// Reads decimal digits from `pos` on; false when there are none.
bool ReadNumber(const QByteArray &bytes, qsizetype &pos, int &value)
{
    const qsizetype start = pos;
    value = 0;
    while (pos < bytes.size() && IsDigit(bytes.at(pos))) {
        value = std::min(value * 10 + (bytes.at(pos) - '0'), NumberCap);
        ++pos;
    }
    return pos > start;
}

std::variant<int, QString> ParsePresentation(const QByteArray &argument)
{
    qsizetype pos = argument.startsWith('-') ? 1 : 0;
    int value = 0;
    if (!ReadNumber(argument, pos, value) || pos != argument.size())
        return QStringLiteral("presentation is not a number");
    if (argument.startsWith('-'))
        value = -value;
    if (value < -1 || value > 5)
        return QStringLiteral("presentation out of range -1 to 5");
    return value;
}

std::variant<int, QString> ParseBrightness(const QByteArray &argument)
{
    if (argument.size() != 2 || !IsDigit(argument.at(0)) || !IsDigit(argument.at(1)))
        return QStringLiteral("brightness is not two digits");
    return (argument.at(0) - '0') * 10 + (argument.at(1) - '0');
}

// `record` starts with its CR and holds everything up to the next CR.
ParsedRecord ParseRecord(const QByteArray &record)
{
    if (record.size() == 1)
        return QStringLiteral("empty record");
    qsizetype pos = 1;
    Record parsed;
    if (!ReadNumber(record, pos, parsed.board))
        return QStringLiteral("board number is not a number");
    if (pos == record.size())
        return QStringLiteral("record has no command letter");
    if (parsed.board >= SignDecoder::BoardCount)
        return QStringLiteral("board number out of range 0 to 99");
    parsed.letter = record.at(pos);
    parsed.argument = record.mid(pos + 1);
    switch (parsed.letter) {
    case 'A':
    case 'B':
    case 'C':
        return parsed;
    case 'D':
        if (!parsed.argument.isEmpty())
            return QStringLiteral("final record has an argument");
        return parsed;
    default:
        return QStringLiteral("unknown command letter %1").arg(Describe(parsed.letter));
    }
}

// Keeps what fits within SignDecoder::RecordLimit and counts the rest.
void AppendBounded(QByteArray &kept, qint64 &dropped, QByteArrayView bytes)
{
    const qsizetype taken = std::clamp<qsizetype>(SignDecoder::RecordLimit - kept.size(), 0, bytes.size());
    kept.append(bytes.first(taken));
    dropped += bytes.size() - taken;
}

} // namespace

QList<DecodedItem> SignDecoder::feed(const QByteArray &bytes)
{
    QList<DecodedItem> completed;
    QByteArrayView rest(bytes);
    while (!rest.isEmpty()) {
        // Past a record's letter, and outside any record, only a CR means
        // anything: the bytes up to it are taken in one piece.
        if (m_letterSeen || m_record.isEmpty()) {
            const qsizetype cr = rest.indexOf(CarriageReturn);
            const QByteArrayView text = cr < 0 ? rest : rest.first(cr);
            if (m_record.isEmpty())
                AppendBounded(m_stray, m_strayDropped, text);
            else
                AppendBounded(m_record, m_recordDropped, text);
            rest = rest.sliced(text.size());
            if (rest.isEmpty())
                break;
        }
        takeByte(rest.front(), completed);
        rest = rest.sliced(1);
    }
    return completed;
}

void SignDecoder::takeByte(char byte, QList<DecodedItem> &completed)
{
    if (byte == CarriageReturn) {
        finishRecord(completed);
        reportStrayBytes(completed);
        m_record = QByteArray(1, CarriageReturn);
        return;
    }
    if (m_record.isEmpty()) {
        AppendBounded(m_stray, m_strayDropped, QByteArrayView(&byte, 1));
        return;
    }
    AppendBounded(m_record, m_recordDropped, QByteArrayView(&byte, 1));
    // The first command letter of a record is its letter; a "D" after it is
    // text. A "D" that is the letter ends the string at once, since nothing
    // follows it on the line. A board field that is not a number ends here
    // just the same, so that its error shows at once.
    if (!m_letterSeen && IsCommandLetter(byte)) {
        m_letterSeen = true;
        if (byte == 'D')
            finishRecord(completed);
    }
}

void SignDecoder::reportStrayBytes(QList<DecodedItem> &completed)
{
    if (m_stray.isEmpty())
        return;
    QString reason = QStringLiteral("bytes outside a record");
    if (const qint64 dropped = std::exchange(m_strayDropped, 0))
        reason += QStringLiteral(" (%1 more dropped)").arg(dropped);
    completed.append(DecodeError {reason, std::exchange(m_stray, QByteArray())});
}

void SignDecoder::finishRecord(QList<DecodedItem> &completed)
{
    if (m_record.isEmpty())
        return;
    m_letterSeen = false;
    const QByteArray record = std::exchange(m_record, QByteArray());
    if (const qint64 dropped = std::exchange(m_recordDropped, 0)) {
        completed.append(DecodeError {
            QStringLiteral("record longer than the sign takes (%1 more bytes dropped)").arg(dropped), record});
        return;
    }
    const ParsedRecord parsed = ParseRecord(record);
    if (const auto *reason = std::get_if<QString>(&parsed)) {
        completed.append(DecodeError {*reason, record});
        return;
    }
    const auto &decoded = std::get<Record>(parsed);
    PendingString &pending = m_pending.at(decoded.board);
    const auto reject = [&](const QString &reason) {
        completed.append(DecodeError {reason, record});
    };
    switch (decoded.letter) {
    case 'C': {
        const auto presentation = ParsePresentation(decoded.argument);
        if (const auto *reason = std::get_if<QString>(&presentation))
            return reject(*reason);
        pending.presentation = std::get<int>(presentation);
        break;
    }
    case 'B': {
        const auto brightness = ParseBrightness(decoded.argument);
        if (const auto *reason = std::get_if<QString>(&brightness))
            return reject(*reason);
        pending.brightness = std::get<int>(brightness);
        break;
    }
    case 'A':
        pending.message = SignLineText(decoded.argument);
        break;
    default:
        break;
    }
    if (pending.bytes.size() + record.size() <= StringBytesLimit)
        pending.bytes.append(record);
    if (decoded.letter == 'D')
        completed.append(completeString(decoded.board));
}

DecodedItem SignDecoder::completeString(int board)
{
    PendingString pending = std::exchange(m_pending.at(board), PendingString());
    return SignCommand {board, pending.presentation, pending.brightness, std::move(pending.message),
                        std::move(pending.bytes)};
}
