#include "historycombo.h"

#include <QLineEdit>
#include <QValidator>

#include <limits>

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

// Puts the text and cursor back after a list change: QComboBox copies an
// entry into the text when the first entry arrives or the current one goes.
class TextKeeper
{
public:
    explicit TextKeeper(QLineEdit &edit)
        : m_edit(edit)
        , m_text(edit.text())
        , m_cursor(edit.cursorPosition())
    {
    }
    ~TextKeeper()
    {
        // Untouched text keeps its undo history and selection.
        if (m_edit.text() == m_text)
            return;
        m_edit.setText(m_text);
        m_edit.setCursorPosition(m_cursor);
    }
    TextKeeper(const TextKeeper &) = delete;
    TextKeeper &operator=(const TextKeeper &) = delete;

private:
    QLineEdit &m_edit;
    const QString m_text;
    const int m_cursor;
};

} // namespace

HistoryCombo::HistoryCombo(QWidget *parent)
    : QComboBox(parent)
{
    setEditable(true);
    setInsertPolicy(NoInsert);
    setCompleter(nullptr);
    setValidator(new LineBreakValidator(this));
    lineEdit()->setMaxLength(std::numeric_limits<int>::max());

    // When editing finishes (Enter, or the focus leaving), QComboBox looks
    // the typed text up in the list and selects an equal entry as though the
    // operator had picked it. Only a real pick selects an entry here.
    disconnect(lineEdit(), &QLineEdit::editingFinished, this, nullptr);

    // Qt raises activated() only for the operator's picks (from the list, or
    // with the arrow keys), once the entry is in the text.
    connect(this, &QComboBox::activated, this, &HistoryCombo::Click);
}

QString HistoryCombo::Text() const
{
    return lineEdit()->text();
}

void HistoryCombo::SetText(const QString &text)
{
    lineEdit()->setText(text);
}

int HistoryCombo::ListCount() const
{
    return count();
}

QString HistoryCombo::List(int index) const
{
    return itemText(index);
}

QStringList HistoryCombo::Entries() const
{
    QStringList entries;
    entries.reserve(count());
    for (int i = 0; i < count(); ++i)
        entries.append(itemText(i));
    return entries;
}

void HistoryCombo::AddItem(const QString &text, int index)
{
    Q_ASSERT(index >= -1 && index <= count());
    const TextKeeper keeper(*lineEdit());
    insertItem(index == -1 ? count() : index, WithLineBreaksAsSpaces(text));
}

void HistoryCombo::RemoveItem(int index)
{
    Q_ASSERT(index >= 0 && index < count());
    const TextKeeper keeper(*lineEdit());
    removeItem(index);
}

int HistoryCombo::ListIndex() const
{
    const int index = currentIndex();
    return index >= 0 && itemText(index) == Text() ? index : -1;
}

void HistoryCombo::SetListIndex(int index)
{
    Q_ASSERT(index >= 0 && index < count());
    // Copies the entry into the text even when the index is current already
    // and the operator has typed over it since.
    setCurrentIndex(index);
    Q_EMIT Click();
}
