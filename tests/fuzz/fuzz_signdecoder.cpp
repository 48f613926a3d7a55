// The virtual sign's decoder. On any line bytes it decodes the same items
// whether the bytes arrive at once, one at a time or in pieces, and every
// string it completes holds values the sign can show. On the string the
// console builds from any field values it decodes those values back.

#include "fuzzpieces.h"
#include "signcommand.h"
#include "signdecoder.h"
#include "spacetrim.h"
#include "windows1252.h"

#include <QString>

namespace {

QList<DecodedItem> Decode(const QList<QByteArrayView> &pieces)
{
    SignDecoder decoder;
    QList<DecodedItem> items;
    for (const QByteArrayView piece : pieces)
        items.append(decoder.feed(piece.toByteArray()));
    // A CR ends the record still open, so that it is compared too.
    items.append(decoder.feed(QByteArray("\r")));
    return items;
}

void CheckCompletedStrings(const QList<DecodedItem> &items, qsizetype inputSize)
{
    qsizetype bytesSeen = 0;
    for (const DecodedItem &item : items) {
        if (const auto *command = std::get_if<SignCommand>(&item)) {
            FUZZ_CHECK(command->board >= 0 && command->board < SignDecoder::BoardCount);
            FUZZ_CHECK(!command->presentation
                       || (*command->presentation >= -1 && *command->presentation <= 5));
            FUZZ_CHECK(!command->brightness
                       || (*command->brightness >= 0 && *command->brightness <= 99));
            FUZZ_CHECK(command->bytes.startsWith('\r') && command->bytes.endsWith('D'));
            bytesSeen += command->bytes.size();
        } else {
            bytesSeen += std::get<DecodeError>(item).bytes.size();
        }
    }
    // No byte is reported twice; the final CR may open a record of its own.
    FUZZ_CHECK(bytesSeen <= inputSize + 1);
}

// Field values the console's checks accept, chosen by the fuzzer.
struct Fields
{
    QString boardNum;
    std::int16_t present = 0;
    QString bright;
    QString message;
};

QString Digits(FuzzedDataProvider &choices, int value, int minimumWidth)
{
    const int leadingZeros = choices.ConsumeIntegralInRange(0, 3);
    return QString(leadingZeros, u'0') + QString::number(value).rightJustified(minimumWidth, u'0');
}

Fields ChooseFields(const std::uint8_t *data, std::size_t size)
{
    FuzzedDataProvider choices(data, size);
    Fields fields;
    fields.boardNum = Digits(choices, choices.ConsumeIntegralInRange(0, 99), 1);
    fields.present = choices.ConsumeIntegralInRange<std::int16_t>(-1, 5);
    fields.bright = Digits(choices, choices.ConsumeIntegralInRange(0, 99), 1);
    const std::string message = choices.ConsumeRemainingBytesAsString();
    // The message field turns every line break into a space as it takes text.
    fields.message = QString::fromUtf8(message.data(), qsizetype(message.size()))
                         .replace(u'\r', u' ')
                         .replace(u'\n', u' ');
    return fields;
}

void CheckBuiltCommandDecodes(const std::uint8_t *data, std::size_t size)
{
    const Fields fields = ChooseFields(data, size);
    const QByteArray line =
        ToWindows1252(BuildSignCommand(fields.boardNum, fields.present, fields.bright, fields.message));

    SignDecoder decoder;
    const QList<DecodedItem> items = decoder.feed(line);
    FUZZ_CHECK(items.size() == 1);
    const auto *command = std::get_if<SignCommand>(&items.constFirst());
    FUZZ_CHECK(command != nullptr);
    FUZZ_CHECK(command->board == fields.boardNum.toInt());
    FUZZ_CHECK(command->presentation == fields.present);
    FUZZ_CHECK(command->brightness == fields.bright.right(2).toInt());
    FUZZ_CHECK(command->message
               == FromWindows1252(ToWindows1252(WithoutEndSpaces(fields.message))));
    FUZZ_CHECK(command->bytes == line);
}

// A run of one byte longer than a record may hold, put amid the fuzzer's
// bytes: what the decoder keeps stays within its bounds, and how the bytes
// are cut still does not matter. Long inputs are slow, so one input in 256
// gets one.
void CheckLongRunIsBounded(const std::uint8_t *data, std::size_t size)
{
    FuzzedDataProvider choices(data, size);
    if (choices.ConsumeIntegralInRange(0, 255) != 0)
        return;
    const char byte = choices.ConsumeIntegral<char>();
    const qsizetype extra = choices.ConsumeIntegralInRange<qsizetype>(0, 64);
    const std::string rest = choices.ConsumeRemainingBytesAsString();
    const std::size_t middle = rest.size() / 2;
    const QByteArray line = QByteArray::fromStdString(rest.substr(0, middle))
        + QByteArray(SignDecoder::RecordLimit + extra, byte) + QByteArray::fromStdString(rest.substr(middle));

    const QList<DecodedItem> whole = Decode({QByteArrayView(line)});
    for (const DecodedItem &item : whole) {
        if (const auto *command = std::get_if<SignCommand>(&item))
            FUZZ_CHECK(command->bytes.size() <= SignDecoder::StringBytesLimit);
        else
            FUZZ_CHECK(std::get<DecodeError>(item).bytes.size() <= SignDecoder::RecordLimit);
    }
    QList<QByteArrayView> pieces;
    for (qsizetype at = 0; at < line.size(); at += 4093)
        pieces.append(QByteArrayView(line).sliced(at, std::min<qsizetype>(4093, line.size() - at)));
    FUZZ_CHECK(Decode(pieces) == whole);
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    const QList<DecodedItem> whole =
        Decode({QByteArrayView(data, static_cast<qsizetype>(size))});
    CheckCompletedStrings(whole, qsizetype(size));
    FUZZ_CHECK(Decode(SingleBytePieces(data, size)) == whole);
    FUZZ_CHECK(Decode(FuzzerChosenPieces(data, size)) == whole);

    CheckBuiltCommandDecodes(data, size);
    CheckLongRunIsBounded(data, size);
    return 0;
}
