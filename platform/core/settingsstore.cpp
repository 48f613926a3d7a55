#include "settingsstore.h"

#include "appinfo.h"

#include <QFile>
#include <QFileInfo>
#include <QSettings>

#include <algorithm>
#include <cerrno>
#include <cstdlib>
#include <cstring>

#ifdef Q_OS_WIN
#include <io.h>
#else
#include <unistd.h>
#endif

SettingsStore::SettingsStore()
    : m_settings(std::make_unique<QSettings>(QSettings::NativeFormat, QSettings::UserScope,
                                             QString::fromLatin1(AppInfo::Title)))
{
}

SettingsStore::SettingsStore(const QString &filePath)
    : m_settings(std::make_unique<QSettings>(filePath, QSettings::IniFormat))
{
}

SettingsStore::~SettingsStore() = default;

namespace {
QString KeyPath(const QString &section, const QString &key)
{
    return section + QLatin1Char('/') + key;
}

QString SystemError(int error)
{
    return QString::fromLocal8Bit(std::strerror(error));
}
} // namespace

QString SettingsStore::GetSetting(const QString &section, const QString &key,
                                  const QString &defaultValue) const
{
    return m_settings->value(KeyPath(section, key), defaultValue).toString();
}

void SettingsStore::SaveSetting(const QString &section, const QString &key, const QString &value)
{
    m_settings->setValue(KeyPath(section, key), value);
    m_savedBytes += KeyPath(section, key).toUtf8().size() + value.toUtf8().size() + 2;
}

bool SettingsStore::Flush()
{
    m_settings->sync();
    const QSettings::Status status = m_settings->status();
    if (status == QSettings::NoError) {
        m_writeError.clear();
        return true;
    }
    const QString probed = ProbeWriteError();
    // A format error comes from reading a damaged file, which the rewrite
    // has just replaced; QSettings keeps that first error even when a write
    // fails afterwards. Whether the rewrite got through, only the probe can
    // tell.
    if (status == QSettings::FormatError && probed.isEmpty()) {
        m_writeError.clear();
        return true;
    }
    m_writeError = probed.isEmpty()
        ? QStringLiteral("The settings store reported an error it did not describe")
        : probed;
    return false;
}

QString SettingsStore::FilePath() const
{
    return m_settings->fileName();
}

QString SettingsStore::WriteError() const
{
    return m_writeError;
}

// QSettings tells only that writing failed. The reason is found by doing
// what it does: a new file beside the store's, as large as the store is
// about to be, so that a folder that takes no file, a full disk or a file
// size limit fails the same way, with the system's own description.
QString SettingsStore::ProbeWriteError() const
{
    const QFileInfo store(FilePath());
    QByteArray probePath = QFile::encodeName(store.absoluteFilePath()) + ".probe.XXXXXX";
    const int fd = ::mkstemp(probePath.data());
    if (fd < 0)
        return SystemError(errno);

    int error = 0;
    const QByteArray block(4096, ' ');
    for (qint64 left = std::max<qint64>(store.size(), 0) + m_savedBytes; left > 0 && !error;) {
        // A short write says nothing; the next one fails with the reason.
        const ssize_t written = ::write(fd, block.constData(), std::min<qint64>(left, block.size()));
        if (written < 0)
            error = errno;
        else
            left -= written;
    }
#ifdef Q_OS_WIN
    if (!error && ::_commit(fd) != 0)
#else
    if (!error && ::fsync(fd) != 0)
#endif
        error = errno;
    ::close(fd);
    ::unlink(probePath.constData());
    // Empty when the probe got through: whatever stopped the store has gone
    // or lies elsewhere, and no reason can be given with certainty.
    return error ? SystemError(error) : QString();
}
