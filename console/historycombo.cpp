#include "historycombo.h"

#include "longtextlineedit.h"
#include "singlelinefield.h"

#include <QAbstractItemView>
#include <QLineEdit>
#include <QStyledItemDelegate>

#include <algorithm>

namespace {

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

// An entry may hold a megabyte of text. The list's size hint of an entry is
// one line of the font: laying the whole entry out for it, as the standard
// delegate does, would freeze the window on every change of the list and
// the selection. And a row is painted from no more of the entry than it can
// show, elided on the right as the whole entry would be: the style lays out
// all the text it is given, seconds for a list of long entries.
class OneLineDelegate final : public QStyledItemDelegate
{
public:
    using QStyledItemDelegate::QStyledItemDelegate;

    QSize sizeHint(const QStyleOptionViewItem &option, const QModelIndex &) const override
    {
        constexpr int Margin = 4;
        return {option.rect.width(), option.fontMetrics.height() + Margin};
    }

protected:
    void initStyleOption(QStyleOptionViewItem *option, const QModelIndex &index) const override
    {
        QStyledItemDelegate::initStyleOption(option, index);
        // A glyph a pixel wide or wider each: more than the row shows.
        option->text.truncate(std::max(option->rect.width(), 0) + 1);
    }
};

} // namespace

HistoryCombo::HistoryCombo(QWidget *parent)
    : QComboBox(parent)
{
    setLineEdit(new LongTextLineEdit(this));
    setInsertPolicy(NoInsert);
    setCompleter(nullptr);
    MakeSingleLineField(*lineEdit());
    // The window places the field at its designed size; measuring every
    // entry for a size hint nobody uses would lay out megabytes of text.
    setSizeAdjustPolicy(AdjustToMinimumContentsLengthWithIcon);
    view()->setItemDelegate(new OneLineDelegate(view()));

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

bool HistoryCombo::SetText(const QString &text)
{
    if (!FitsField(text.size()))
        return false;
    lineEdit()->setText(text);
    return true;
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

bool HistoryCombo::AddItem(const QString &text, int index)
{
    Q_ASSERT(index >= -1 && index <= count());
    // Picking the entry would cut it to fit the text line.
    if (!FitsField(text.size()))
        return false;
    const TextKeeper keeper(*lineEdit());
    insertItem(index == -1 ? count() : index, WithLineBreaksAsSpaces(text));
    return true;
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
