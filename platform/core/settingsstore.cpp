#include "settingsstore.h"

#include "appinfo.h"
#include "handwrittenvalue.h"

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
#include <fcntl.h>
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

// The store's writer finishes every file with a line end. On this Qt a write
// cut short (a file size limit, a full disk) can pass as done and leave the
// file cut: the missing line end shows it. No file at all is complete too,
// when nothing was ever stored.
bool EndsItsLastLine(const QString &path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return !file.exists();
    const qint64 size = file.size();
    return size == 0 || (file.seek(size - 1) && file.read(1) == "\n");
}
} // namespace

QString SettingsStore::GetSetting(const QString &section, const QString &key,
                                  const QString &defaultValue) const
{
    const QVariant value = m_settings->value(KeyPath(section, key), defaultValue);
    if (value.typeId() != QMetaType::QStringList)
        return value.toString();
    // Our own writes quote every text with a comma: this one was edited by
    // hand, and is taken as it was written.
    QFile file(FilePath());
    const QByteArray bytes = file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
    return HandWrittenValue(bytes, section.toUtf8(), key.toUtf8())
        .value_or(value.toStringList().join(QStringLiteral(", ")));
}

bool SettingsStore::HoldsHandWrittenList(const QString &section, const QString &key) const
{
    return m_settings->value(KeyPath(section, key)).typeId() == QMetaType::QStringList;
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
    if (status == QSettings::NoError && EndsItsLastLine(FilePath())) {
        m_writeError.clear();
        return true;
    }
    const QString probed = ProbeWriteError();
    // A format error comes from reading a damaged file, which the rewrite
    // has just replaced; QSettings keeps that first error even when a write
    // fails afterwards. Whether the rewrite got through, only the probe can
    // tell. So it is for a file that lacks its last line end: a hand-edited
    // one that nothing was written to is no failure.
    if (status != QSettings::AccessError && probed.isEmpty()) {
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
    // The store's own place first: a folder there, or a file that may not
    // be written, has its reason. Opening without O_CREAT and for appending
    // changes nothing.
#ifndef Q_OS_WIN
    const QByteArray storePath = QFile::encodeName(FilePath());
    const int storeFd = ::open(storePath.constData(), O_WRONLY | O_APPEND | O_NONBLOCK | O_CLOEXEC);
    if (storeFd >= 0)
        ::close(storeFd);
    else if (errno != ENOENT)
        return SystemError(errno);
#endif

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
