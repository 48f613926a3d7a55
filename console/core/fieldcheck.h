#pragma once

// The checks of the two decimal fields, board number and brightness. They run
// when the focus is about to leave a field and at the start of every Send.
// Window-free: the window hands in its field text, its EventBusy flag and the
// Validate event's Cancel flag.

#include <QString>

class MessageBoxes;

enum class DecimalField { BoardNum, Bright };

// The text of the box that rejects the field's text: the field's own first
// line, a CR, then the advice common to both fields.
[[nodiscard]] QString RejectionMessage(DecimalField field);

// The shared check. When eventBusy is set another handler is running and the
// call does nothing at all. Otherwise it holds eventBusy while it works (the
// box included) and clears it on return. The text, without leading and
// trailing spaces (code 32 only), must be a decimal number from 0 to 99: then
// the field takes that trimmed text (an empty one becomes the field's
// default) and cancel is left as it was. A rejected text is reported in a box
// and left exactly as typed, and cancel is set to keep the focus in the field.
void ValidateDecimalField(DecimalField field, QString &text, bool &eventBusy, bool &cancel,
                          MessageBoxes &boxes);

void BoardNum_Validate(QString &text, bool &eventBusy, bool &cancel, MessageBoxes &boxes);
void Bright_Validate(QString &text, bool &eventBusy, bool &cancel, MessageBoxes &boxes);
