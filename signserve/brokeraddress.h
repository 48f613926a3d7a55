#pragma once

// Where the broker is and how to log in, from the --mqtt URL:
//   mqtt://[USER[:PASSWORD]@]HOST[:PORT]    (port 1883)
//   mqtts://[USER[:PASSWORD]@]HOST[:PORT]   (TLS, port 8883)

#include <QString>

struct BrokerAddress
{
    QString host;
    int port = 0;
    bool tls = false;
    QString user;
    QString password;
    // TLS: the certificate authorities to trust; empty for the system's.
    QString caFile;
};

struct BrokerAddressReading
{
    BrokerAddress address;
    QString error;  // empty when read
};

[[nodiscard]] BrokerAddressReading ReadBrokerAddress(const QString &url);
