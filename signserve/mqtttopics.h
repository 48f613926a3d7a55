#pragma once

// The topics of one served port under its prefix, and what goes on them:
//   PREFIX/status          "online" (retained) while served, else "offline"
//   PREFIX/<board>/set     a message body for the board (signrequest.h)
//   PREFIX/<board>/state   what the board shows, as JSON (retained)
//   PREFIX/<board>/error   why a body was refused or a string not sent
// and the Home Assistant discovery configs that make each board a device
// with a message text, a brightness number and a presentation select.

#include "signrequest.h"

#include <QByteArray>
#include <QList>
#include <QPair>
#include <QString>

#include <optional>

struct MqttTopics
{
    QString prefix;
    // Names the served port in discovery ids, so that two ports differ.
    QString nodeId;

    [[nodiscard]] QString Status() const { return prefix + QStringLiteral("/status"); }
    [[nodiscard]] QString SetPattern() const { return prefix + QStringLiteral("/+/set"); }
    [[nodiscard]] QString Set(const QString &board) const { return prefix + QLatin1Char('/') + board + QStringLiteral("/set"); }
    [[nodiscard]] QString State(const QString &board) const
    {
        return prefix + QLatin1Char('/') + board + QStringLiteral("/state");
    }
    [[nodiscard]] QString Error(const QString &board) const
    {
        return prefix + QLatin1Char('/') + board + QStringLiteral("/error");
    }
    // The board a set topic is for; no value for any other topic.
    [[nodiscard]] std::optional<QString> BoardOfSet(const QString &topic) const;
    // The board's discovery configs: (topic, retained payload).
    [[nodiscard]] QList<QPair<QString, QByteArray>> Discovery(const QString &board) const;
};

inline constexpr char OnlinePayload[] = "online";
inline constexpr char OfflinePayload[] = "offline";

// What the board shows: message, brightness and presentation by name.
[[nodiscard]] QByteArray StatePayload(const SignRequest &shown);
