#include "textfiles.h"

#include <QSaveFile>

TextFileReader::TextFileReader(const QString &path)
    : m_file(path)
{
    // Unbuffered: each piece asked for is one read of the file, never more.
    (void)m_file.open(QIODevice::ReadOnly | QIODevice::Unbuffered);
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
    QSaveFile file(path);
    // Unbuffered, so that a failing write shows in write() itself; a failed
    // flush inside commit() goes unnoticed by QSaveFile on this Qt.
    if (!file.open(QIODevice::WriteOnly | QIODevice::Unbuffered))
        return {FileWriteOutcome::CreateFailed, file.errorString()};

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
    return {};
}
