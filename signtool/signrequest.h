#pragma once

// One string for the sign as its fields, the form in which another program
// hands it over: a JSON object with any of "board", "brightness",
// "presentation" and "message". Board and brightness are kept as given (a
// number or a text) for the console's field checks to judge; a presentation
// is a name or an index, as on the command line. Fields the object leaves out
// keep the value they had, so a body that only changes the brightness resends
// the message shown.

#include "signfields.h"

#include <QByteArray>
#include <QString>

#include <optional>

struct SignRequest
{
    SignFields fields;
    QString message;
};

struct SignRequestReading
{
    std::optional<SignRequest> request;
    // Why the body was refused, for the sender; empty when it was read.
    QString refusal;
};

// The body laid over `base`. Anything but an object of those four keys with
// their kinds of value is refused whole.
[[nodiscard]] SignRequestReading ReadSignRequest(const QByteArray &body, const SignRequest &base);

// A broker's message body: a JSON object as above, or, when it does not
// start with "{", plain UTF-8 text that is the message alone.
[[nodiscard]] SignRequestReading ReadMessageBody(const QByteArray &body, const SignRequest &base);

// The object ReadSignRequest reads back to `request`, every field given.
[[nodiscard]] QByteArray WriteSignRequest(const SignRequest &request);
