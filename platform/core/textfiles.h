#pragma once

// Whole-file text access for the console's own files. Line structure and
// character conversion belong to the callers: these work on bytes.

#include <QByteArray>
#include <QFile>
#include <QString>

// Reads a regular file from its start, a piece at a time, so that a caller
// that needs only the head of a large file never reads the rest. The file is
// open for the reader's lifetime. Anything else at the path (a symbolic
// link, a FIFO, a device, a folder) is not opened, and opening never blocks.
class TextFileReader
{
public:
    explicit TextFileReader(const QString &path);

    TextFileReader(const TextFileReader &) = delete;
    TextFileReader &operator=(const TextFileReader &) = delete;

    // False when the file could not be opened (missing, no access, not a
    // regular file).
    [[nodiscard]] bool IsOpen() const;
    // The next bytes, at most maxSize of them. Empty at the end of the file
    // and after a read error; HasFailed() tells the two apart.
    [[nodiscard]] QByteArray ReadPiece(qint64 maxSize);
    [[nodiscard]] bool HasFailed() const;

private:
    QFile m_file;
};

enum class FileWriteOutcome {
    Written,
    CreateFailed, // nothing could be opened for writing
    WriteFailed,  // writing the bytes or putting the file in place failed
};

struct FileWriteResult
{
    FileWriteOutcome outcome = FileWriteOutcome::Written;
    // The system's description of the error; empty when written.
    QString errorDescription;
};

// Makes `bytes` the whole content of the file at `path`, creating it when
// missing. The bytes go to a temporary file beside it that takes the file's
// place only once complete, so after any failure the previous file is still
// there, whole. Where the path holds anything but a regular file (a symbolic
// link, a FIFO, a folder), nothing is written and the result is CreateFailed:
// a link is never written through.
[[nodiscard]] FileWriteResult ReplaceFileContent(const QString &path, const QByteArray &bytes);
