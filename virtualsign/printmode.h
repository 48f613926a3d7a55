#pragma once

#include "signdecoder.h"

#include <QObject>
#include <QString>

class QFile;

// The line format of the virtual sign's standard output, one line per event:
//
//   port=COM5 device=/dev/pts/3 link=/home/me/.config/VantorMsgBoard/ports/com5
//   board=7 presentation=2 brightness=75 message="HELLO" hex=0D 37 43 32 ...
//   error: unknown command letter 'X' hex=0D 37 58
//
// The first line comes before anything else. A field whose record did not
// arrive with the string reads "-"; the message is quoted and escaped as
// EscapedText() does, so it never holds a bare quote or a line break. The
// last field of every line (link, hex) runs to the end of the line.
[[nodiscard]] QString StartLine(const QString &portName, const QString &device, const QString &link);
[[nodiscard]] QString CommandLine(const SignCommand &command);
[[nodiscard]] QString ErrorLine(const DecodeError &error);
[[nodiscard]] QString DecodedLine(const DecodedItem &item);

// Writes one line and flushes it at once, so that a reader at the other end
// of a pipe sees it without waiting for more.
void WriteLine(QFile &output, const QString &line);

// The sign without a window: every decoded string and every decode error
// becomes one line on the output.
class PrintMode : public QObject
{
    Q_OBJECT

public:
    // `output` must outlive this object.
    explicit PrintMode(QFile &output, QObject *parent = nullptr);

    void takeBytes(const QByteArray &bytes);

private:
    QFile &m_output;
    SignDecoder m_decoder;
};
