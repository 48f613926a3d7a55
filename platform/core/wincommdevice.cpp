#include "wincommdevice.h"

#include "windowserrortext.h"

#include <QWinEventNotifier>

#include <windows.h>

struct WinCommDevice::Pending
{
    OVERLAPPED overlapped{};
};

namespace {

WinCommDevice::SerialPortError OpenErrorKind(DWORD code)
{
    switch (code) {
    case ERROR_FILE_NOT_FOUND:
    case ERROR_PATH_NOT_FOUND:
        return WinCommDevice::DeviceNotFoundError;
    case ERROR_ACCESS_DENIED:
    case ERROR_SHARING_VIOLATION:
        return WinCommDevice::PermissionError;
    default:
        return WinCommDevice::OpenError;
    }
}

WinCommDevice::SerialPortError WriteErrorKind(DWORD code)
{
    // A port whose device has gone answers with one of these.
    switch (code) {
    case ERROR_DEVICE_REMOVED:
    case ERROR_BAD_COMMAND:
    case ERROR_OPERATION_ABORTED:
    case ERROR_INVALID_HANDLE:
    case ERROR_GEN_FAILURE:
        return WinCommDevice::ResourceError;
    default:
        return WinCommDevice::WriteError;
    }
}

} // namespace

WinCommDevice::WinCommDevice(QObject *parent)
    : QIODevice(parent)
    , m_pending(std::make_unique<Pending>())
{
}

WinCommDevice::~WinCommDevice()
{
    close();
}

bool WinCommDevice::setBaudRate(qint32 baudRate)
{
    if (baudRate <= 0)
        return false;
    m_baudRate = baudRate;
    return !isOpen() || ApplyLine();
}

bool WinCommDevice::setParity(Parity parity)
{
    m_parity = parity;
    return !isOpen() || ApplyLine();
}

bool WinCommDevice::setDataBits(DataBits dataBits)
{
    m_dataBits = dataBits;
    return !isOpen() || ApplyLine();
}

bool WinCommDevice::setStopBits(StopBits stopBits)
{
    m_stopBits = stopBits;
    return !isOpen() || ApplyLine();
}

bool WinCommDevice::setFlowControl(FlowControl)
{
    return true;
}

bool WinCommDevice::open(OpenMode mode)
{
    if (isOpen() || (mode & ReadOnly)) {
        m_error = isOpen() ? OpenError : UnsupportedOperationError;
        return false;
    }
    // The system opens a port for one program at a time; some drivers (and
    // Wine) share it all the same. A claim named after the port keeps two
    // of these devices apart whatever the driver does.
    const QString claimName = QStringLiteral("Local\\VantorMsgBoard-") + m_portName.toUpper();
    m_claim = ::CreateMutexW(nullptr, TRUE, reinterpret_cast<const wchar_t *>(claimName.utf16()));
    if (!m_claim || ::GetLastError() == ERROR_ALREADY_EXISTS) {
        ReleaseClaim();
        Fail(PermissionError, ERROR_ACCESS_DENIED);
        return false;
    }
    const QString path = QStringLiteral("\\\\.\\") + m_portName;
    HANDLE handle = ::CreateFileW(reinterpret_cast<const wchar_t *>(path.utf16()),
                                  GENERIC_READ | GENERIC_WRITE, 0, nullptr, OPEN_EXISTING,
                                  FILE_FLAG_OVERLAPPED, nullptr);
    if (handle == INVALID_HANDLE_VALUE) {
        const DWORD code = ::GetLastError();
        ReleaseClaim();
        Fail(OpenErrorKind(code), code);
        return false;
    }
    m_handle = handle;
    // A write that cannot finish is the stall rule's business, not a
    // timeout's: the system never gives up on it by itself.
    COMMTIMEOUTS timeouts{};
    timeouts.ReadIntervalTimeout = MAXDWORD;
    if (!ApplyLine() || !::SetCommTimeouts(handle, &timeouts)) {
        if (m_error == NoError)
            Fail(OpenError, ::GetLastError());
        ::CloseHandle(handle);
        m_handle = nullptr;
        ReleaseClaim();
        return false;
    }
    m_pending->overlapped = {};
    m_pending->overlapped.hEvent = ::CreateEventW(nullptr, TRUE, FALSE, nullptr);
    m_notifier = new QWinEventNotifier(m_pending->overlapped.hEvent, this);
    m_notifier->setEnabled(false);
    connect(m_notifier, &QWinEventNotifier::activated, this, [this] {
        if (FinishWrite(false))
            StartWrite();
    });
    QIODevice::open(mode | Unbuffered);
    return true;
}

bool WinCommDevice::ApplyLine()
{
    DCB line{};
    line.DCBlength = sizeof(line);
    if (!::GetCommState(m_handle, &line)) {
        Fail(UnsupportedOperationError, ::GetLastError());
        return false;
    }
    line.BaudRate = DWORD(m_baudRate);
    line.fBinary = TRUE;
    line.fParity = m_parity != NoParity;
    line.Parity = m_parity == EvenParity ? EVENPARITY
        : m_parity == OddParity          ? ODDPARITY
        : m_parity == SpaceParity        ? SPACEPARITY
        : m_parity == MarkParity         ? MARKPARITY
                                         : NOPARITY;
    line.ByteSize = BYTE(m_dataBits);
    line.StopBits = m_stopBits == TwoStop ? TWOSTOPBITS
        : m_stopBits == OneAndHalfStop   ? ONE5STOPBITS
                                         : ONESTOPBIT;
    // No flow control of any kind; DTR and RTS stay as the driver has them.
    line.fOutxCtsFlow = FALSE;
    line.fOutxDsrFlow = FALSE;
    line.fOutX = FALSE;
    line.fInX = FALSE;
    if (!::SetCommState(m_handle, &line)) {
        Fail(UnsupportedOperationError, ::GetLastError());
        return false;
    }
    return true;
}

void WinCommDevice::close()
{
    if (!m_handle)
        return;
    if (m_inFlight > 0) {
        ::CancelIo(m_handle);
        FinishWrite(true);
    }
    delete m_notifier;
    m_notifier = nullptr;
    ::CloseHandle(m_pending->overlapped.hEvent);
    ::CloseHandle(m_handle);
    m_handle = nullptr;
    ReleaseClaim();
    m_buffer.clear();
    m_inFlight = 0;
    QIODevice::close();
}

qint64 WinCommDevice::bytesToWrite() const
{
    return m_buffer.size();
}

qint64 WinCommDevice::readData(char *, qint64)
{
    return -1;
}

qint64 WinCommDevice::writeData(const char *data, qint64 maxSize)
{
    if (!m_handle) {
        m_error = NotOpenError;
        return -1;
    }
    m_buffer.append(data, maxSize);
    if (m_inFlight == 0)
        StartWrite();
    return m_error == NoError ? maxSize : -1;
}

bool WinCommDevice::flush()
{
    if (m_inFlight == 0 && !m_buffer.isEmpty())
        StartWrite();
    return m_inFlight > 0;
}

void WinCommDevice::StartWrite()
{
    if (!m_handle || m_inFlight > 0 || m_buffer.isEmpty())
        return;
    m_inFlight = m_buffer.size();
    ::ResetEvent(m_pending->overlapped.hEvent);
    if (!::WriteFile(m_handle, m_buffer.constData(), DWORD(m_inFlight), nullptr, &m_pending->overlapped)) {
        const DWORD code = ::GetLastError();
        if (code != ERROR_IO_PENDING) {
            m_inFlight = 0;
            Fail(WriteErrorKind(code), code);
            return;
        }
    }
    // Finished or not, the completion is taken from the event loop, so that
    // bytesWritten() never comes from inside write().
    m_notifier->setEnabled(true);
}

bool WinCommDevice::FinishWrite(bool wait)
{
    if (m_inFlight == 0)
        return true;
    DWORD written = 0;
    const bool done = ::GetOverlappedResult(m_handle, &m_pending->overlapped, &written, wait);
    const DWORD code = done ? ERROR_SUCCESS : ::GetLastError();
    if (!done && code == ERROR_IO_INCOMPLETE)
        return false;
    m_notifier->setEnabled(false);
    m_inFlight = 0;
    m_buffer.remove(0, written);
    if (written > 0)
        Q_EMIT bytesWritten(written);
    if (!done && code != ERROR_OPERATION_ABORTED) {
        Fail(WriteErrorKind(code), code);
        return false;
    }
    return done;
}

bool WinCommDevice::waitForBytesWritten(int msecs)
{
    if (m_inFlight == 0)
        StartWrite();
    if (m_inFlight == 0)
        return false;
    if (::WaitForSingleObject(m_pending->overlapped.hEvent, msecs < 0 ? INFINITE : DWORD(msecs))
        != WAIT_OBJECT_0) {
        m_error = TimeoutError;
        return false;
    }
    const bool finished = FinishWrite(true);
    if (finished)
        StartWrite();
    return finished;
}

void WinCommDevice::ReleaseClaim()
{
    if (!m_claim)
        return;
    ::ReleaseMutex(m_claim);
    ::CloseHandle(m_claim);
    m_claim = nullptr;
}

void WinCommDevice::Fail(SerialPortError kind, unsigned long systemError)
{
    m_error = kind;
    setErrorString(WindowsErrorText(systemError));
    Q_EMIT errorOccurred(kind);
}
