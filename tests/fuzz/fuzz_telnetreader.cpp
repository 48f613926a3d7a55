// The Telnet reader for what a serial server sends, fed in pieces the fuzzer
// chooses: the same stream gives the same data and answers however it is
// cut; every answer is a three-byte refusal (WONT or DONT), each option
// refused once at most whatever the stream repeats; no COM port command
// handed over is longer than one can be, however long the subnegotiation;
// and the data the console escapes reads back unchanged.

#include "fuzzpieces.h"
#include "telnetcomport.h"

#include <QSet>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    const QByteArrayView whole(data, static_cast<qsizetype>(size));
    TelnetReader oneGo;
    const TelnetReader::Result expected = oneGo.Feed(whole);

    TelnetReader piecewise;
    TelnetReader::Result gathered;
    for (const QByteArrayView piece : FuzzerChosenPieces(data, size)) {
        const TelnetReader::Result result = piecewise.Feed(piece);
        gathered.data += result.data;
        gathered.reply += result.reply;
    }
    FUZZ_CHECK(gathered.data == expected.data);
    FUZZ_CHECK(gathered.reply == expected.reply);
    FUZZ_CHECK(piecewise.ComPortAccepted() == oneGo.ComPortAccepted());
    FUZZ_CHECK(piecewise.LineSettled() == oneGo.LineSettled());

    FUZZ_CHECK(expected.reply.size() % 3 == 0);
    QSet<QByteArray> refusals;
    for (qsizetype at = 0; at < expected.reply.size(); at += 3) {
        FUZZ_CHECK(static_cast<unsigned char>(expected.reply[at]) == 255);
        const auto verb = static_cast<unsigned char>(expected.reply[at + 1]);
        FUZZ_CHECK(verb == 252 || verb == 254);
        FUZZ_CHECK(!refusals.contains(expected.reply.sliced(at, 3)));
        refusals.insert(expected.reply.sliced(at, 3));
    }
    // The command byte and a four-byte value at most.
    for (const QByteArray &command : expected.comPortCommands)
        FUZZ_CHECK(command.size() <= 5);
    // Plain data never holds more bytes than came in.
    FUZZ_CHECK(expected.data.size() <= whole.size());

    TelnetReader echo;
    const TelnetReader::Result back = echo.Feed(EscapeTelnetData(whole));
    FUZZ_CHECK(back.data == whole);
    FUZZ_CHECK(back.reply.isEmpty());
    return 0;
}
