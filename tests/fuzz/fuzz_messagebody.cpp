// A message body as a broker or another program delivers it: whatever it
// is, it is read or refused with a reason, never both; a read one has a
// presentation the sign knows, and a refused one leaves nothing to send.
// A request written out reads back to itself.

#include "fuzzpieces.h"
#include "signrequest.h"

#include <QByteArray>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    const QByteArray body(reinterpret_cast<const char *>(data), static_cast<qsizetype>(size));
    const SignRequest base {{QStringLiteral("1"), QStringLiteral("99"), 3}, QStringLiteral("base")};

    const SignRequestReading reading = ReadMessageBody(body, base);
    FUZZ_CHECK(reading.request.has_value() == reading.refusal.isEmpty());
    if (!reading.request)
        return 0;
    FUZZ_CHECK(reading.request->fields.present >= 0 && reading.request->fields.present <= 5);

    const SignRequestReading again = ReadSignRequest(WriteSignRequest(*reading.request), {});
    FUZZ_CHECK(again.request.has_value());
    FUZZ_CHECK(again.request->message == reading.request->message);
    FUZZ_CHECK(again.request->fields.boardNum == reading.request->fields.boardNum);
    FUZZ_CHECK(again.request->fields.bright == reading.request->fields.bright);
    FUZZ_CHECK(again.request->fields.present == reading.request->fields.present);
    return 0;
}
