#pragma once

#include <QByteArray>
#include <QString>

// A real pseudo-terminal pair in raw mode. The program under test opens the
// slave as its serial device; the test reads what arrives on the master.
class PtyPair
{
public:
    PtyPair();
    ~PtyPair();
    PtyPair(const PtyPair &) = delete;
    PtyPair &operator=(const PtyPair &) = delete;

    [[nodiscard]] bool isValid() const { return m_master >= 0; }
    [[nodiscard]] QString slavePath() const { return m_slavePath; }

    // Reads until `count` bytes have arrived or `timeoutMs` has passed
    // without any byte arriving.
    [[nodiscard]] QByteArray readMaster(qsizetype count, int timeoutMs = 2000);
    // Everything that arrives within `quietMs` of the previous byte.
    [[nodiscard]] QByteArray drainMaster(int quietMs = 100);
    // At most `count` bytes, in one read, once any arrive within `timeoutMs`:
    // a reader that takes bytes at its own pace.
    [[nodiscard]] QByteArray readMasterAtMost(qsizetype count, int timeoutMs);
    // Closes both sides: from then on the device is hung up, as a USB
    // adapter that was pulled out.
    void hangUp();

private:
    int m_master = -1;
    int m_slave = -1;
    QString m_slavePath;
};

// A temporary XDG config home, set for this process while the object lives,
// with helpers for the console's port links ($XDG_CONFIG_HOME/VantorMsgBoard/ports/com<n>).
class TempConfigHome
{
public:
    TempConfigHome();
    ~TempConfigHome();
    TempConfigHome(const TempConfigHome &) = delete;
    TempConfigHome &operator=(const TempConfigHome &) = delete;

    [[nodiscard]] QString path() const { return m_path; }
    // Points port n at the given device; false when the link could not be made.
    [[nodiscard]] bool linkPort(int n, const QString &devicePath) const;
    // Makes port n's entry a link whose text is `target`, written as it
    // stands (a network address links to nothing).
    [[nodiscard]] bool linkPortToText(int n, const QString &target) const;

private:
    QString m_path;
    QByteArray m_previous;
    bool m_hadPrevious = false;
};
