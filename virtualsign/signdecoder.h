#pragma once

#include "fieldtext.h"

#include <QByteArray>
#include <QList>
#include <QString>

#include <array>
#include <optional>
#include <variant>

// One sign command string as a board takes it in: every record addressed to
// that board since its previous "D" record, up to and including this "D".
// A field whose record did not arrive is empty; the board keeps showing what
// it had for it.
struct SignCommand
{
    int board = 0;                    // 0 to 99; '007' and '7' address the same board
    std::optional<int> presentation;  // "C" record: 0 to 5, or -1 for none selected
    std::optional<int> brightness;    // "B" record: 0 to 99
    std::optional<QString> message;   // "A" record, in the sign line's 8-bit code page
    QByteArray bytes;                 // the records as they arrived, CRs included

    friend bool operator==(const SignCommand &, const SignCommand &) = default;
};

// Bytes the sign cannot take in: a record it cannot decode, or bytes that
// belong to no record. They are skipped; decoding picks up at the next CR.
struct DecodeError
{
    QString reason;
    QByteArray bytes;

    friend bool operator==(const DecodeError &, const DecodeError &) = default;
};

using DecodedItem = std::variant<SignCommand, DecodeError>;

// Turns the bytes arriving on the sign line into sign command strings.
//
// A record is CR, the board number in decimal digits, one command letter and
// the letter's argument, which runs up to the next CR. The "D" record has no
// argument and completes the string at once, since nothing follows it on the
// line. Bytes may arrive split anywhere; the decoder keeps what it has not yet
// completed.
class SignDecoder
{
public:
    static constexpr int BoardCount = 100;
    // The most a record may hold, its CR included: the longest field the
    // console sends and a margin for the board number and the letter. What
    // a record or a run of stray bytes holds beyond it is dropped and
    // counted, so that a peer that never sends a CR cannot fill the memory.
    static constexpr qsizetype RecordLimit = FieldTextLimit + 32;
    // The most a board's unfinished string keeps of its records' bytes.
    static constexpr qsizetype StringBytesLimit = 4 * RecordLimit;

    // Takes the next bytes of the line and returns what they completed, in the
    // order it arrived.
    [[nodiscard]] QList<DecodedItem> feed(const QByteArray &bytes);

private:
    struct PendingString
    {
        std::optional<int> presentation;
        std::optional<int> brightness;
        std::optional<QString> message;
        QByteArray bytes;
    };

    void takeByte(char byte, QList<DecodedItem> &completed);
    void reportStrayBytes(QList<DecodedItem> &completed);
    void finishRecord(QList<DecodedItem> &completed);
    [[nodiscard]] DecodedItem completeString(int board);

    QByteArray m_record;  // the record being read, from its CR; empty between records
    QByteArray m_stray;   // bytes seen outside any record since the last CR
    // Bytes past RecordLimit, dropped from m_record and m_stray.
    qint64 m_recordDropped = 0;
    qint64 m_strayDropped = 0;
    // The record's command letter has come: a later "D" is text.
    bool m_letterSeen = false;
    std::array<PendingString, BoardCount> m_pending;
};
