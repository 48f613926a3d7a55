// The network address in a port entry: an accepted text names a port from 1
// to 65535 and a host without spaces, and writing the address back gives a
// text that reads as the same address; a text that does not start with one
// of the two schemes is never taken.

#include "fuzzpieces.h"
#include "networkport.h"

#include <QString>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    const QString text = QString::fromUtf8(reinterpret_cast<const char *>(data), static_cast<qsizetype>(size));
    const std::optional<NetworkPort> address = ParseNetworkPort(text);
    if (!address)
        return 0;

    FUZZ_CHECK(LooksLikeNetworkPort(text));
    FUZZ_CHECK(address->port >= 1);
    FUZZ_CHECK(!address->host.isEmpty());
    for (const QChar c : address->host)
        FUZZ_CHECK(!c.isSpace() && c != u'/' && c != u'[' && c != u']');
    // The port is the text's last digits: nothing may follow it.
    FUZZ_CHECK(text.endsWith(QString::number(address->port)));

    const QString written = NetworkPortText(*address);
    FUZZ_CHECK(ParseNetworkPort(written) == address);
    return 0;
}
