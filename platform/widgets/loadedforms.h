#pragma once

#include <QPointer>

#include <vector>

class QWidget;

// The loaded windows in the order they were loaded, index 0 the earliest.
//
// Qt keeps no such list: its top-level widgets come in no particular order
// and include hidden helpers. Whoever loads a window enters it here; a
// window leaves the list when it is unloaded or destroyed, and the gap
// closes.
class LoadedForms
{
public:
    void Load(QWidget *form);

    // Takes the window off the list and closes it. Its owner destroys it.
    void Unload(QWidget *form);

    [[nodiscard]] int Count() const;
    // The window at `index` (0 to Count() - 1).
    [[nodiscard]] QWidget *At(int index) const;

private:
    // Forgets windows that were destroyed without being unloaded.
    void Prune() const;

    mutable std::vector<QPointer<QWidget>> m_forms;
};
