#include "signfields.h"

#include "fieldcheck.h"
#include "fieldtext.h"
#include "messageboxes.h"
#include "settings.h"
#include "signcommand.h"

namespace {

// The field checks report to a box; here the text is all that is wanted.
class CollectedMessages final : public MessageBoxes
{
public:
    void MsgBox(const QString &text, MessageIcon, const QString &) override { texts.append(text); }

    QStringList texts;
};

} // namespace

SignFields DefaultSignFields()
{
    using namespace StoredSettings;
    return {QString::fromLatin1(BoardNumText.defaultText), QString::fromLatin1(BrightText.defaultText),
            static_cast<std::int16_t>(QByteArray(PresentIndex.defaultText).toShort())};
}

QStringList CheckSignFields(SignFields &fields)
{
    CollectedMessages messages;
    fields.boardNum =
        ValidateDecimalField(DecimalField::BoardNum, WithLineBreaksAsSpaces(fields.boardNum), messages).text;
    fields.bright = ValidateDecimalField(DecimalField::Bright, WithLineBreaksAsSpaces(fields.bright), messages).text;
    return messages.texts;
}

QString SignCommandText(const SignFields &fields, const QString &message)
{
    return BuildSignCommand(fields.boardNum, fields.present, fields.bright, WithLineBreaksAsSpaces(message));
}
