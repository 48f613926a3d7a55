#pragma once

#include "linebreaks.h"

#include <QComboBox>
#include <QString>
#include <QStringList>

// The message field: an editable line over a drop-down list holding the
// message history, driven through the combo box operations the history
// relies on.
//
// Unlike a plain editable QComboBox it never acts on the list by itself:
// Enter inserts nothing, typed text is neither completed nor matched against
// the entries, and inserting or removing entries leaves the current text
// exactly as it was. The text and the entries never hold a line break: each
// CR LF, CR or LF that arrives (typed, pasted, set or added) becomes a space,
// because a CR inside a message would start a record of its own on the sign
// line. The text has no length limit.
class HistoryCombo final : public QComboBox
{
    Q_OBJECT

public:
    explicit HistoryCombo(QWidget *parent = nullptr);

    [[nodiscard]] QString Text() const;
    void SetText(const QString &text);

    [[nodiscard]] int ListCount() const;
    [[nodiscard]] QString List(int index) const;
    // Every entry, entry 0 first.
    [[nodiscard]] QStringList Entries() const;
    // Inserts at `index` (0 to ListCount()), or appends when it is -1.
    void AddItem(const QString &text, int index = -1);
    void RemoveItem(int index);

    // The selected entry, or -1 when none is selected. An entry stays
    // selected only while the text still reads as that entry: editing the
    // text deselects it.
    [[nodiscard]] int ListIndex() const;
    // Selects entry `index` (0 to ListCount() - 1), copies it into the text
    // and emits Click() before returning.
    void SetListIndex(int index);

Q_SIGNALS:
    // An entry was selected: by SetListIndex() or by the operator's pick
    // from the list. Emitted once the text reads as the entry.
    void Click();
};
