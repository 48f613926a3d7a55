#include "brokeraddress.h"

#include <QUrl>

namespace {

constexpr int PlainPort = 1883;
constexpr int TlsPort = 8883;

} // namespace

BrokerAddressReading ReadBrokerAddress(const QString &url)
{
    const QUrl parsed(url, QUrl::StrictMode);
    const QString scheme = parsed.scheme();
    if (!parsed.isValid() || (scheme != QLatin1String("mqtt") && scheme != QLatin1String("mqtts")))
        return {{}, QStringLiteral("\"%1\" is no broker address; give mqtt://HOST[:PORT] or mqtts://HOST[:PORT]")
                        .arg(url)};
    if (parsed.host().isEmpty() || !(parsed.path().isEmpty() || parsed.path() == QLatin1String("/")))
        return {{}, QStringLiteral("\"%1\": give the broker's host and port only").arg(url)};
    BrokerAddress address;
    address.tls = scheme == QLatin1String("mqtts");
    address.host = parsed.host();
    address.port = parsed.port(address.tls ? TlsPort : PlainPort);
    address.user = parsed.userName();
    address.password = parsed.password();
    return {address, {}};
}
