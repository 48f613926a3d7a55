#include "loadedforms.h"

#include <QWidget>

#include <algorithm>

void LoadedForms::Load(QWidget *form)
{
    m_forms.emplace_back(form);
}

void LoadedForms::Unload(QWidget *form)
{
    std::erase(m_forms, form);
    form->close();
}

int LoadedForms::Count() const
{
    Prune();
    return static_cast<int>(m_forms.size());
}

QWidget *LoadedForms::At(int index) const
{
    Prune();
    return m_forms.at(static_cast<std::size_t>(index));
}

void LoadedForms::Prune() const
{
    std::erase_if(m_forms, [](const QPointer<QWidget> &form) { return form.isNull(); });
}
