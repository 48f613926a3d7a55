#include "dialogkeys.h"

#include <QApplication>
#include <QKeyEvent>
#include <QPushButton>

namespace {

bool IsDialogKey(int key)
{
    return key == Qt::Key_Return || key == Qt::Key_Enter || key == Qt::Key_Escape;
}

} // namespace

DialogKeys::DialogKeys(QWidget *window, QPushButton *defaultButton, QPushButton *cancelButton)
    : QObject(window)
    , m_window(window)
    , m_defaultButton(defaultButton)
    , m_cancelButton(cancelButton)
{
    if (defaultButton)
        defaultButton->setDefault(true); // drawn with the default frame
    qApp->installEventFilter(this);
}

DialogKeys::~DialogKeys()
{
    qApp->removeEventFilter(this);
}

bool DialogKeys::eventFilter(QObject *watched, QEvent *event)
{
    switch (event->type()) {
    case QEvent::ShortcutOverride:
        NoteKeyAnnouncedToPopup(static_cast<QKeyEvent *>(event));
        return false;
    case QEvent::KeyPress:
        return FilterKeyPress(watched, static_cast<QKeyEvent *>(event));
    default:
        return false;
    }
}

void DialogKeys::NoteKeyAnnouncedToPopup(const QKeyEvent *event)
{
    if (QApplication::activePopupWidget() && IsDialogKey(event->key())) {
        m_popupKey = event->key();
        m_popupKeyTimestamp = event->timestamp();
    }
}

bool DialogKeys::FilterKeyPress(QObject *watched, const QKeyEvent *event)
{
    // Only the copy delivered to the window's focus widget counts (the
    // window itself when nothing has the focus); an open pop-up receives
    // its keys elsewhere and keeps them.
    QWidget *const focus = QApplication::focusWidget();
    QWidget *const receiver = focus ? focus : m_window;
    if (watched != receiver || receiver->window() != m_window || QApplication::activePopupWidget())
        return false;

    const bool takenByPopup = m_popupKey != 0 && event->key() == m_popupKey
        && event->timestamp() == m_popupKeyTimestamp;
    m_popupKey = 0;
    if (takenByPopup)
        return true;

    QPushButton *const button = ButtonFor(event, focus);
    if (!button)
        return false;
    // A disabled button swallows its key and does nothing.
    if (button->isEnabled())
        button->click();
    return true;
}

QPushButton *DialogKeys::ButtonFor(const QKeyEvent *event, QWidget *focus) const
{
    if (event->modifiers() & (Qt::ControlModifier | Qt::AltModifier | Qt::MetaModifier))
        return nullptr;
    switch (event->key()) {
    case Qt::Key_Return:
    case Qt::Key_Enter:
        if (auto *const focusedButton = qobject_cast<QPushButton *>(focus))
            return focusedButton;
        return m_defaultButton;
    case Qt::Key_Escape:
        return m_cancelButton;
    default:
        return nullptr;
    }
}
