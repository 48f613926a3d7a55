#pragma once

#include "portkind.h"

#include "serialbackend.h"

// A local serial device through the serial library (serialbackend.h), opened write-only, without flow
// control, with DTR and RTS left as the driver sets them.
//
// A device another program holds is refused: its UUCP lock file with a live
// process id, checked before the serial library sees the device (which
// would take a foreign lock file for stale and remove it), and its flock(),
// taken on the open device. While open, the library's lock file and this
// kind's flock() tell other programs in turn.
class DevicePortKind final : public PortKind
{
public:
    // `devicePath` is the device's own name, links resolved: lock files are
    // named after it.
    explicit DevicePortKind(const QString &devicePath);

    [[nodiscard]] QString Name() const override { return m_path; }
    [[nodiscard]] PortStatus SetSettings(const QString &settings) override;
    [[nodiscard]] PortStatus Open() override;
    [[nodiscard]] PortStatus Close() override;
    [[nodiscard]] bool IsOpen() const override { return m_port.isOpen(); }
    void SetBrokenHandler(BrokenHandler handler) override { m_broken = std::move(handler); }

    [[nodiscard]] QIODevice &Device() override { return m_port; }
    void Flush() override { static_cast<void>(m_port.flush()); }
    [[nodiscard]] qsizetype PieceBytes() const override;
    [[nodiscard]] bool HasRoom() const override;
    [[nodiscard]] qint64 SystemQueue() const override;
    [[nodiscard]] QString StallAdvice() const override;

private:
    void TakeError(SerialBackend::SerialPortError error);

    const QString m_path;
    SerialBackend m_port;
    BrokenHandler m_broken;
    // Errors met while opening are the open's to report.
    bool m_opening = false;
};
