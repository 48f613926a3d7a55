#pragma once

#include <QIODevice>

#include <memory>

class QWinEventNotifier;

// A serial port through the Windows communications API, for writing only:
// "COM<n>" opened as \\.\COM<n>, the line set with SetCommState, writes
// overlapped so that write() never waits for the line. Bytes write() takes
// go out in order, one overlapped WriteFile at a time; bytesWritten() tells
// each completion from the event loop, as a serial QIODevice does.
//
// Line settings are kept until open(), where the system checks them; the
// names of settings and errors are those the rest of the port code uses.
class WinCommDevice final : public QIODevice
{
    Q_OBJECT

public:
    enum SerialPortError {
        NoError,
        DeviceNotFoundError,
        PermissionError,
        OpenError,
        ParityError,
        FramingError,
        BreakConditionError,
        WriteError,
        ReadError,
        ResourceError,
        UnsupportedOperationError,
        UnknownError,
        TimeoutError,
        NotOpenError,
    };
    Q_ENUM(SerialPortError)
    enum Parity { NoParity = 0, EvenParity = 2, OddParity = 3, SpaceParity = 4, MarkParity = 5 };
    enum DataBits { Data5 = 5, Data6 = 6, Data7 = 7, Data8 = 8 };
    enum StopBits { OneStop = 1, OneAndHalfStop = 3, TwoStop = 2 };
    enum FlowControl { NoFlowControl };

    explicit WinCommDevice(QObject *parent = nullptr);
    ~WinCommDevice() override;

    // "COM<n>"; the device opened is \\.\COM<n>, which also reaches ports
    // above 9.
    void setPortName(const QString &name) { m_portName = name; }
    [[nodiscard]] QString portName() const { return m_portName; }
    bool setBaudRate(qint32 baudRate);
    bool setParity(Parity parity);
    bool setDataBits(DataBits dataBits);
    bool setStopBits(StopBits stopBits);
    bool setFlowControl(FlowControl flowControl);

    // Write-only use is all this device offers; it opens the port for
    // reading too, as some drivers refuse to set the line otherwise.
    bool open(OpenMode mode) override;
    void close() override;
    [[nodiscard]] bool isSequential() const override { return true; }
    [[nodiscard]] qint64 bytesToWrite() const override;
    bool waitForBytesWritten(int msecs) override;
    // Starts sending what is buffered; true when anything is under way.
    bool flush();

    [[nodiscard]] SerialPortError error() const { return m_error; }
    void clearError() { m_error = NoError; setErrorString(QString()); }
    // The port's handle, a HANDLE; null while closed.
    [[nodiscard]] void *handle() const { return m_handle; }

Q_SIGNALS:
    void errorOccurred(WinCommDevice::SerialPortError error);

protected:
    qint64 readData(char *data, qint64 maxSize) override;
    qint64 writeData(const char *data, qint64 maxSize) override;

private:
    struct Pending;

    bool ApplyLine();
    // Starts an overlapped WriteFile with the front of the buffer.
    void StartWrite();
    // Takes the finished write's outcome; false when it failed.
    bool FinishWrite(bool wait);
    void ReleaseClaim();
    // Records the system's last error under `kind`, worded by the system.
    void Fail(SerialPortError kind, unsigned long systemError);

    QString m_portName;
    qint32 m_baudRate = 9600;
    Parity m_parity = NoParity;
    DataBits m_dataBits = Data8;
    StopBits m_stopBits = OneStop;
    void *m_handle = nullptr;
    // Held while open, named after the port: see open().
    void *m_claim = nullptr;
    std::unique_ptr<Pending> m_pending;
    QWinEventNotifier *m_notifier = nullptr;
    QByteArray m_buffer;
    // Bytes of m_buffer's front that the write under way carries.
    qint64 m_inFlight = 0;
    SerialPortError m_error = NoError;
};
