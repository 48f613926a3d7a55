#pragma once

// The checks of the two decimal fields, board number and brightness. They run
// when the focus is about to leave a field and at the start of every Send.
// Window-free: the window hands in its field text and its EventBusy guard and
// sets the field's text and the Validate event's Cancel from the verdict.

#include "reentryguard.h"

#include <QString>

class MessageBoxes;

enum class DecimalField { BoardNum, Bright };

// The text of the box that rejects the field's text: the field's own first
// line, a CR, then the advice common to both fields.
[[nodiscard]] QString RejectionMessage(DecimalField field);

// What a field's check came to.
struct FieldVerdict
{
    // What the field holds afterwards.
    QString text;
    // The text was rejected: the Validate event's Cancel, which keeps the
    // focus in the field.
    bool cancel = false;
};

// The shared check. The text, without leading and trailing spaces (code 32
// only), must be a decimal number from 0 to 99: then the field takes that
// trimmed text (an empty one becomes the field's default). A rejected text is
// reported in a box and left exactly as typed, and the verdict cancels.
[[nodiscard]] FieldVerdict ValidateDecimalField(DecimalField field, const QString &text, MessageBoxes &boxes);

// The two fields' handlers: the check under eventBusy, held while it works
// (the box included). While eventBusy is set another handler is running and
// they leave the text as it is and do not cancel.
[[nodiscard]] FieldVerdict BoardNum_Validate(const QString &text, ReentryGuard &eventBusy, MessageBoxes &boxes);
[[nodiscard]] FieldVerdict Bright_Validate(const QString &text, ReentryGuard &eventBusy, MessageBoxes &boxes);
