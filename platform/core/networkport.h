#pragma once

#include <QString>
#include <QStringView>

#include <optional>

// A port number may name a serial server on the network instead of a local
// device. The operator makes the port's entry (see portnaming.h) a symbolic
// link whose target text is the server's address:
//   tcp://HOST:PORT      raw TCP: the bytes pass unchanged, the server sets
//                        the line
//   rfc2217://HOST:PORT  Telnet with the COM port control option: the
//                        console sets the line itself
// Such a link points at nothing in the file system, on purpose: a text in
// the link keeps the entry one thing the operator makes with `ln -s` and
// reads with `ls -l`, in the same folder as the device entries.
// HOST is a name, an IPv4 address, or an IPv6 address in brackets; PORT is
// 1 to 65535.

struct NetworkPort
{
    enum class Protocol { RawTcp, Rfc2217 };

    Protocol protocol = Protocol::RawTcp;
    // Without the brackets of an IPv6 address.
    QString host;
    quint16 port = 0;

    friend bool operator==(const NetworkPort &, const NetworkPort &) = default;
};

// True when the text starts like a network address ("tcp:" or "rfc2217:",
// either case), whether or not the rest is well formed: such an entry is
// meant for the network and must not be taken for a device path.
[[nodiscard]] bool LooksLikeNetworkPort(QStringView text);

// The address a text names; nothing when it is not one of the two forms.
// The scheme may be in either case; nothing may follow the port.
[[nodiscard]] std::optional<NetworkPort> ParseNetworkPort(QStringView text);

// The address written back in the form ParseNetworkPort reads.
[[nodiscard]] QString NetworkPortText(const NetworkPort &address);

// What is wrong with a text that looks like an address but is not one.
[[nodiscard]] QString DescribeMalformedNetworkPort(const QString &text);
