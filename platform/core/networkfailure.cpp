#include "networkfailure.h"

#include "messageboxes.h"

namespace {

QString Quoted(const QByteArray &banner)
{
    const QString said = QString::fromLatin1(banner.left(BannerBytes)).simplified();
    return said.isEmpty() ? QString() : QStringLiteral(" (it says \"") + said + QStringLiteral("\")");
}

QString Server(const NetworkPort &address)
{
    const QString kind = address.protocol == NetworkPort::Protocol::Rfc2217
        ? QStringLiteral("RFC 2217") : QStringLiteral("raw TCP");
    return QStringLiteral("The serial server ") + address.host + QStringLiteral(" port ")
        + QString::number(address.port) + QStringLiteral(" (") + kind + u')';
}

QString Cause(QAbstractSocket::SocketError error, const QString &systemText)
{
    switch (error) {
    case QAbstractSocket::ConnectionRefusedError:
        return QStringLiteral("refused the connection: nothing listens on that port.") + LineBreak
            + QStringLiteral("Check that the server runs and serves this port.");
    case QAbstractSocket::HostNotFoundError:
        return QStringLiteral("has a name that was not found.") + LineBreak
            + QStringLiteral("Check the host name in the port entry and the name service.");
    case QAbstractSocket::NetworkError:
        return QStringLiteral("cannot be reached: ") + systemText + u'.' + LineBreak
            + QStringLiteral("Check the network between this computer and the server.");
    case QAbstractSocket::SocketTimeoutError:
        return QStringLiteral("did not answer in time.") + LineBreak
            + QStringLiteral("Check that the server is switched on and reachable.");
    default:
        return QStringLiteral("cannot be used: ") + systemText + u'.';
    }
}

} // namespace

QString DescribeConnectFailure(const NetworkPort &address, QAbstractSocket::SocketError error,
                               const QString &systemText)
{
    return Server(address) + u' ' + Cause(error, systemText);
}

QString DescribeNoComPortOption(const NetworkPort &address)
{
    return Server(address) + QStringLiteral(" does not take the COM port control option, so the "
                                            "line cannot be set.")
        + LineBreak + QStringLiteral("Use tcp:// for a server that sets the line itself.");
}

QString DescribeLostConnection(const NetworkPort &address, const QString &systemText)
{
    return Server(address) + QStringLiteral(" closed the connection: ") + systemText + u'.'
        + LineBreak + QStringLiteral("The next Send connects again.");
}

QString DescribeLookupTimeout(const NetworkPort &address)
{
    return Server(address) + QStringLiteral(" could not be looked up in time: the name service did not answer.")
        + LineBreak + QStringLiteral("Check the name service, or give the server's address in the port entry.");
}

QString DescribeEndDuringSetUp(const NetworkPort &address, const QByteArray &banner)
{
    return Server(address) + QStringLiteral(" closed or reset the connection while it was being set up")
        + Quoted(banner) + u'.' + LineBreak
        + QStringLiteral("It may be busy with another client: only one program at a time can use a serial "
                         "server's port.");
}
