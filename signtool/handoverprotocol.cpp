#include "handoverprotocol.h"

#include "portnaming.h"

#include <QCryptographicHash>
#include <QFileInfo>
#include <QJsonDocument>
#include <QJsonObject>

#include <array>

#ifndef Q_OS_WIN
#include <unistd.h>
#endif

namespace {

const QString ReplyKey = QStringLiteral("reply");
const QString WhyKey = QStringLiteral("why");

constexpr std::array<std::pair<HandOverReplyKind, const char *>, 4> ReplyNames {{
    {HandOverReplyKind::Queued, "queued"},
    {HandOverReplyKind::Sent, "sent"},
    {HandOverReplyKind::Refused, "refused"},
    {HandOverReplyKind::Failed, "failed"},
}};

#ifndef Q_OS_WIN
// The user's runtime folder, where a socket is safe from other users. A
// script run by cron has no XDG_RUNTIME_DIR, but the folder of the user's
// session is still where it always is.
QString RuntimeFolder()
{
    QString folder = qEnvironmentVariable("XDG_RUNTIME_DIR");
    if (folder.isEmpty())
        folder = QStringLiteral("/run/user/%1").arg(::geteuid());
    const QFileInfo info(folder);
    constexpr QFile::Permissions Others = QFile::ReadGroup | QFile::WriteGroup | QFile::ExeGroup | QFile::ReadOther
        | QFile::WriteOther | QFile::ExeOther;
    if (!info.isDir() || info.ownerId() != ::geteuid() || (info.permissions() & Others))
        return {};
    return folder;
}
#endif

} // namespace

QString HandOverSocketName(int port)
{
    const QString name = QStringLiteral("vantor-sign-com%1").arg(port);
#ifdef Q_OS_WIN
    return name;
#else
    // Port numbers are the operator's own names (portnaming.h): the socket
    // is the device's, so that two config homes naming different devices
    // COM3 never meet, and two names of one device do.
    const QString device = PortDevicePath(port);
    const QString canonical = QFileInfo(device).canonicalFilePath();
    const QByteArray key = QCryptographicHash::hash((canonical.isEmpty() ? device : canonical).toUtf8(),
                                                    QCryptographicHash::Sha256)
                               .toHex()
                               .left(12);
    const QString folder = RuntimeFolder();
    if (folder.isEmpty())
        return {};
    return folder + QLatin1Char('/') + name + QLatin1Char('-') + QString::fromLatin1(key);
#endif
}

QByteArray WriteHandOverReply(const HandOverReply &reply)
{
    QJsonObject object;
    for (const auto &[kind, name] : ReplyNames) {
        if (kind == reply.kind)
            object.insert(ReplyKey, QLatin1String(name));
    }
    if (!reply.why.isEmpty())
        object.insert(WhyKey, reply.why);
    return QJsonDocument(object).toJson(QJsonDocument::Compact) + '\n';
}

std::optional<HandOverReply> ReadHandOverReply(const QByteArray &line)
{
    const QJsonObject object = QJsonDocument::fromJson(line).object();
    const QString name = object.value(ReplyKey).toString();
    for (const auto &[kind, known] : ReplyNames) {
        if (name == QLatin1String(known))
            return HandOverReply {kind, object.value(WhyKey).toString()};
    }
    return std::nullopt;
}
