#include "networkport.h"

#include "messageboxes.h"

#include <QHostAddress>

#include <algorithm>

namespace {

constexpr QLatin1StringView TcpScheme("tcp://");
constexpr QLatin1StringView Rfc2217Scheme("rfc2217://");
constexpr int MaxPortDigits = 5;
constexpr int MaxPort = 65535;
// The longest host name DNS allows.
constexpr qsizetype MaxHostLength = 253;

// The parser of addresses takes some texts with more after the address.
bool IsIpv6Char(QChar c)
{
    return (c >= u'0' && c <= u'9') || (c >= u'a' && c <= u'f') || (c >= u'A' && c <= u'F') || c == u':'
        || c == u'.';
}

bool IsHostNameChar(QChar c)
{
    return (c >= u'a' && c <= u'z') || (c >= u'A' && c <= u'Z') || (c >= u'0' && c <= u'9')
        || c == u'-' || c == u'.' || c == u'_';
}

std::optional<quint16> ParsePortNumber(QStringView digits)
{
    if (digits.isEmpty() || digits.size() > MaxPortDigits)
        return std::nullopt;
    int value = 0;
    for (const QChar c : digits) {
        if (c < u'0' || c > u'9')
            return std::nullopt;
        value = value * 10 + (c.unicode() - u'0');
    }
    if (value < 1 || value > MaxPort)
        return std::nullopt;
    return static_cast<quint16>(value);
}

// HOST:PORT, with HOST an IPv6 address in brackets, or a name or IPv4
// address without a colon.
std::optional<NetworkPort> ParseHostAndPort(QStringView rest)
{
    NetworkPort address;
    QStringView afterHost;
    if (rest.startsWith(u'[')) {
        const qsizetype close = rest.indexOf(u']');
        if (close < 0)
            return std::nullopt;
        const QString inside = rest.sliced(1, close - 1).toString();
        if (!std::all_of(inside.begin(), inside.end(), IsIpv6Char))
            return std::nullopt;
        const QHostAddress parsed(inside);
        if (parsed.isNull() || parsed.protocol() != QAbstractSocket::IPv6Protocol)
            return std::nullopt;
        address.host = inside;
        afterHost = rest.sliced(close + 1);
    } else {
        const qsizetype colon = rest.indexOf(u':');
        if (colon <= 0 || colon > MaxHostLength)
            return std::nullopt;
        const QStringView host = rest.first(colon);
        for (const QChar c : host) {
            if (!IsHostNameChar(c))
                return std::nullopt;
        }
        address.host = host.toString();
        afterHost = rest.sliced(colon);
    }
    if (!afterHost.startsWith(u':'))
        return std::nullopt;
    const std::optional<quint16> port = ParsePortNumber(afterHost.sliced(1));
    if (!port)
        return std::nullopt;
    address.port = *port;
    return address;
}

} // namespace

bool LooksLikeNetworkPort(QStringView text)
{
    return text.startsWith(QLatin1StringView("tcp:"), Qt::CaseInsensitive)
        || text.startsWith(QLatin1StringView("rfc2217:"), Qt::CaseInsensitive);
}

std::optional<NetworkPort> ParseNetworkPort(QStringView text)
{
    NetworkPort::Protocol protocol;
    QStringView rest;
    if (text.startsWith(TcpScheme, Qt::CaseInsensitive)) {
        protocol = NetworkPort::Protocol::RawTcp;
        rest = text.sliced(TcpScheme.size());
    } else if (text.startsWith(Rfc2217Scheme, Qt::CaseInsensitive)) {
        protocol = NetworkPort::Protocol::Rfc2217;
        rest = text.sliced(Rfc2217Scheme.size());
    } else {
        return std::nullopt;
    }
    std::optional<NetworkPort> address = ParseHostAndPort(rest);
    if (address)
        address->protocol = protocol;
    return address;
}

QString NetworkPortText(const NetworkPort &address)
{
    const QString host = address.host.contains(u':') ? u'[' + address.host + u']' : address.host;
    const QLatin1StringView scheme =
        address.protocol == NetworkPort::Protocol::Rfc2217 ? Rfc2217Scheme : TcpScheme;
    return scheme + host + u':' + QString::number(address.port);
}

QString DescribeMalformedNetworkPort(const QString &text)
{
    return QStringLiteral("The port entry names \"") + text
        + QStringLiteral("\", which is no network address.") + LineBreak
        + QStringLiteral("Write it as tcp://HOST:PORT or rfc2217://HOST:PORT, with an IPv6 "
                         "address in brackets and PORT from 1 to 65535.");
}
