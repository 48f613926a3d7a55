#include "singlelinefield.h"

#include "fieldtext.h"

#include <QLineEdit>
#include <QValidator>

namespace {

// Mends every text that reaches the line edit, whichever way it came:
// QLineEdit runs the validator on typing, pasting and setText() alike and
// takes over the changed text and cursor.
class LineBreakValidator final : public QValidator
{
public:
    using QValidator::QValidator;

    State validate(QString &input, int &position) const override
    {
        // Only a CR LF pair shortens the text: the cursor moves back by one
        // for each pair that ends before it.
        const qsizetype cursor = position;
        for (qsizetype i = input.indexOf(u"\r\n"); i >= 0 && i + 1 < cursor;
             i = input.indexOf(u"\r\n", i + 2))
            --position;
        input = WithLineBreaksAsSpaces(input);
        return Acceptable;
    }
};

} // namespace

void MakeSingleLineField(QLineEdit &edit)
{
    edit.setMaxLength(FieldTextLimit);
    edit.setValidator(new LineBreakValidator(&edit));
}
