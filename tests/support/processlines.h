#pragma once

// Reading what a program under test prints, one line at a time.

#include <QByteArray>
#include <QProcess>
#include <QString>
#include <QTest>

// The next line the process prints, without its line end; empty when none
// comes within 5 s or the process ends first.
inline QString ReadLine(QProcess &process)
{
    (void)QTest::qWaitFor([&] { return process.canReadLine() || process.state() == QProcess::NotRunning; },
                          5000);
    QByteArray line = process.readLine();
    if (line.endsWith('\n'))
        line.chop(1);
    return QString::fromUtf8(line);
}
