#include "textfiles.h"

#include <QDateTime>
#include <QDir>
#include <QFileInfo>
#include <QSaveFile>

#include <algorithm>

#include <fcntl.h>
#include <sys/stat.h>
#ifdef Q_OS_WIN
#include <io.h>
#else
#include <unistd.h>
#endif

namespace {

enum class Place { Unknown, RegularFile, Other };

// What the path itself names; a symbolic link is not followed. Unknown when
// nothing can be found there (no such file, no such folder, no access):
// opening it then fails with the reason.
#ifdef Q_OS_WIN
// Windows keeps no FIFOs or devices among files; a link or a folder is what
// may stand in a file's place.
Place PlaceAt(const QByteArray &path)
{
    const QFileInfo info(QFile::decodeName(path));
    if (!info.exists() && !info.isSymLink())
        return Place::Unknown;
    return info.isFile() && !info.isSymLink() ? Place::RegularFile : Place::Other;
}

int OpenRegularFile(const QByteArray &path)
{
    if (PlaceAt(path) != Place::RegularFile)
        return -1;
    const QString name = QFile::decodeName(path);
    return ::_wopen(reinterpret_cast<const wchar_t *>(name.utf16()), _O_RDONLY | _O_BINARY | _O_NOINHERIT);
}
#else
Place PlaceAt(const QByteArray &path)
{
    struct stat info {};
    if (::lstat(path.constData(), &info) != 0)
        return Place::Unknown;
    return S_ISREG(info.st_mode) ? Place::RegularFile : Place::Other;
}

// A descriptor for reading the regular file at the path, or -1. Opening
// follows no link and cannot block (a FIFO put in the file's place between
// the look and the open would otherwise wait for a writer), and what was
// opened is checked once more, so nothing but a regular file is ever read.
int OpenRegularFile(const QByteArray &path)
{
    if (PlaceAt(path) != Place::RegularFile)
        return -1;
    const int fd = ::open(path.constData(), O_RDONLY | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0)
        return -1;
    struct stat info {};
    if (::fstat(fd, &info) != 0 || !S_ISREG(info.st_mode)) {
        ::close(fd);
        return -1;
    }
    return fd;
}
#endif

QString NotARegularFile()
{
    return QStringLiteral("Something other than a regular file stands in its place");
}

// A save cut short by a kill or a power cut leaves its temporary file beside
// the real one. Older than this, no save in progress can still own it.
constexpr qint64 StaleTemporaryAgeSeconds = 60;

// The name of a temporary file that a save of `fileName` makes: the name, a
// dot and six letters or digits.
bool IsTemporaryNameOf(const QString &candidate, const QString &fileName)
{
    constexpr qsizetype RandomPart = 6;
    if (candidate.size() != fileName.size() + 1 + RandomPart || !candidate.startsWith(fileName)
        || candidate.at(fileName.size()) != u'.')
        return false;
    const QStringView random = QStringView(candidate).last(RandomPart);
    return std::all_of(random.begin(), random.end(), [](QChar c) {
        return c.unicode() < 0x80 && c.isLetterOrNumber();
    });
}

void RemoveStaleTemporaries(const QString &path)
{
    const QFileInfo target(path);
    const QDir folder = target.absoluteDir();
    const QDateTime staleBefore =
        QDateTime::currentDateTimeUtc().addSecs(-StaleTemporaryAgeSeconds);
    const QFileInfoList entries =
        folder.entryInfoList({target.fileName() + QStringLiteral(".*")},
                             QDir::Files | QDir::Hidden | QDir::System | QDir::NoSymLinks);
    for (const QFileInfo &entry : entries) {
        if (IsTemporaryNameOf(entry.fileName(), target.fileName())
            && entry.lastModified().toUTC() < staleBefore)
            QFile::remove(entry.absoluteFilePath());
    }
}

} // namespace

TextFileReader::TextFileReader(const QString &path)
{
    const int fd = OpenRegularFile(QFile::encodeName(path));
    if (fd < 0)
        return;
    // Unbuffered: each piece asked for is one read of the file, never more.
    if (!m_file.open(fd, QIODevice::ReadOnly | QIODevice::Unbuffered, QFileDevice::AutoCloseHandle))
        ::close(fd);
}

bool TextFileReader::IsOpen() const
{
    return m_file.isOpen();
}

QByteArray TextFileReader::ReadPiece(qint64 maxSize)
{
    if (!m_file.isOpen() || HasFailed())
        return {};
    return m_file.read(maxSize);
}

bool TextFileReader::HasFailed() const
{
    return m_file.error() != QFileDevice::NoError;
}

FileWriteResult ReplaceFileContent(const QString &path, const QByteArray &bytes)
{
    // QSaveFile would follow a link and replace its target. Looked at again
    // once the temporary file is open: a link put in place meanwhile is
    // still caught before anything is written.
    const QByteArray encodedPath = QFile::encodeName(path);
    if (PlaceAt(encodedPath) == Place::Other)
        return {FileWriteOutcome::CreateFailed, NotARegularFile()};
    QSaveFile file(path);
    // Unbuffered, so that a failing write shows in write() itself; a failed
    // flush inside commit() goes unnoticed by QSaveFile on this Qt.
    if (!file.open(QIODevice::WriteOnly | QIODevice::Unbuffered))
        return {FileWriteOutcome::CreateFailed, file.errorString()};
    if (PlaceAt(encodedPath) == Place::Other)
        return {FileWriteOutcome::CreateFailed, NotARegularFile()};

    // A short write (file size limit, full disk) reports no error of its
    // own; the next write at that point fails and names the reason.
    qint64 written = 0;
    while (written < bytes.size()) {
        const qint64 count = file.write(bytes.constData() + written, bytes.size() - written);
        if (count <= 0)
            return {FileWriteOutcome::WriteFailed, file.errorString()};
        written += count;
    }
    // Leaving without commit() discards the temporary file.
    if (!file.commit())
        return {FileWriteOutcome::WriteFailed, file.errorString()};
    RemoveStaleTemporaries(path);
    return {};
}
