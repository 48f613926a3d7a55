#include "focusvalidation.h"

#include <QAbstractButton>
#include <QApplication>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QWheelEvent>
#include <QScopedValueRollback>
#include <QWidget>
#include <QWindow>

#include <algorithm>
#include <utility>

namespace {

// The widget that setFocus() on w really focuses, following focus proxies.
QWidget *DeepestFocusProxy(QWidget *w)
{
    while (QWidget *proxy = w->focusProxy())
        w = proxy;
    return w;
}

bool Contains(const QWidget *outer, const QWidget *inner)
{
    return outer == inner || outer->isAncestorOf(inner);
}

bool TakesFocusBy(const QWidget *w, Qt::FocusPolicy how)
{
    return w->isEnabled() && (w->focusPolicy() & how) == how;
}

// The widget a mouse press (how: Qt::ClickFocus) or a wheel turn (how:
// Qt::WheelFocus) on hit at localPos gives the focus to, or null when it
// moves no focus. Walks up from the widget under the pointer as QApplication
// does before it delivers the event.
QWidget *PointerFocusTarget(QWidget *hit, QPoint localPos, Qt::FocusPolicy how)
{
    for (QWidget *w = hit; w; w = w->parentWidget()) {
        QWidget *const proxy = DeepestFocusProxy(w);
        if (w->isEnabled() && w->rect().contains(localPos) && TakesFocusBy(w, how)
            && (proxy == w || (proxy->focusPolicy() & how) == how))
            return proxy;
        if (w->isWindow())
            return nullptr;
        // A press inside the focus widget's own area keeps the focus there.
        const QWidget *const nearProxy = w->focusProxy() ? w->focusProxy() : w;
        if (nearProxy->hasFocus())
            return nullptr;
        localPos += w->pos();
    }
    return nullptr;
}

// The widget that Tab (forward) or Shift+Tab moves the focus to from
// current, following the window's focus chain as QWidget does. Compound
// widgets whose focus proxy is one of their children are stepped over in
// the direction of travel, so Tab does not bounce between parent and child.
QWidget *TabFocusTarget(QWidget *window, QWidget *current, bool forward)
{
    const auto step = [forward](QWidget *w) {
        return forward ? w->nextInFocusChain() : w->previousInFocusChain();
    };
    for (QWidget *test = step(current); test && test != current; test = step(test)) {
        QWidget *const proxy = test->focusProxy() ? DeepestFocusProxy(test) : nullptr;
        QWidget *const taker = proxy ? proxy : test;
        const bool compound = proxy
            && (forward ? proxy->isAncestorOf(test) : test->isAncestorOf(proxy));
        if (TakesFocusBy(taker, Qt::TabFocus) && !compound && test->isEnabled()
            && test->isVisibleTo(window) && test->window() == window && taker != current)
            return taker;
    }
    return nullptr;
}

bool IsTabKey(const QKeyEvent *event, bool *forward)
{
    if (event->modifiers() & (Qt::ControlModifier | Qt::AltModifier))
        return false;
    if (event->key() == Qt::Key_Backtab
        || (event->key() == Qt::Key_Tab && (event->modifiers() & Qt::ShiftModifier))) {
        *forward = false;
        return true;
    }
    if (event->key() == Qt::Key_Tab) {
        *forward = true;
        return true;
    }
    return false;
}

} // namespace

FocusValidation::FocusValidation(QWidget *window)
    : QObject(window)
    , m_window(window)
{
    qApp->installEventFilter(this);
    connect(qApp, &QApplication::focusChanged, this, &FocusValidation::TrackFocus);
}

FocusValidation::~FocusValidation()
{
    qApp->removeEventFilter(this);
}

void FocusValidation::AddField(QWidget *field, Validator validate)
{
    m_fields.push_back({field, std::move(validate)});
}

void FocusValidation::SetCausesValidation(QWidget *control, bool causes)
{
    auto &controls = m_nonValidatingControls;
    controls.erase(std::remove(controls.begin(), controls.end(), control), controls.end());
    if (!causes)
        controls.emplace_back(control);
}

bool FocusValidation::CausesValidation(const QWidget *control) const
{
    return std::none_of(m_nonValidatingControls.cbegin(), m_nonValidatingControls.cend(),
                        [control](const QPointer<QWidget> &excluded) {
                            return excluded && Contains(excluded, control);
                        });
}

bool FocusValidation::eventFilter(QObject *watched, QEvent *event)
{
    switch (event->type()) {
    case QEvent::MouseButtonPress:
    case QEvent::MouseButtonDblClick:
    case QEvent::MouseButtonRelease:
        return FilterMouse(watched, static_cast<QMouseEvent *>(event));
    case QEvent::Wheel:
        return FilterWheel(watched, static_cast<QWheelEvent *>(event));
    case QEvent::KeyPress:
        return FilterTab(watched, static_cast<QKeyEvent *>(event));
    case QEvent::Shortcut:
        return FilterShortcut(watched);
    default:
        return false;
    }
}

bool FocusValidation::FilterMouse(QObject *watched, QMouseEvent *event)
{
    // The press is taken as it reaches the window, before QApplication
    // picks the receiving widget and gives it the focus. Presses meant for
    // an open pop-up or a grabbing widget are theirs alone.
    if (watched != m_window->windowHandle() || QApplication::activePopupWidget()
        || QWidget::mouseGrabber())
        return false;

    const Qt::MouseButton button = event->button();
    if (event->type() == QEvent::MouseButtonRelease || event->type() == QEvent::MouseButtonDblClick) {
        const bool refused = m_refusedButtons.testFlag(button);
        if (event->type() == QEvent::MouseButtonRelease)
            m_refusedButtons.setFlag(button, false);
        return refused;
    }

    m_refusedButtons.setFlag(button, false);
    if (m_validating)
        return false;
    if (MayMoveFocusTo(PointerFocusTarget(event->position().toPoint(), Qt::ClickFocus)))
        return false;
    m_refusedButtons.setFlag(button, true);
    return true;
}

bool FocusValidation::FilterWheel(QObject *watched, const QWheelEvent *event)
{
    // A combo box takes the focus from a wheel turn over it as well, and
    // would change its value with the same turn.
    if (m_validating || watched != m_window->windowHandle() || QApplication::activePopupWidget())
        return false;
    return !MayMoveFocusTo(PointerFocusTarget(event->position().toPoint(), Qt::WheelFocus));
}

QWidget *FocusValidation::PointerFocusTarget(QPoint windowPos, Qt::FocusPolicy how) const
{
    QWidget *hit = m_window->childAt(windowPos);
    if (!hit)
        hit = m_window;
    return ::PointerFocusTarget(hit, hit->mapFrom(m_window, windowPos), how);
}

bool FocusValidation::FilterTab(QObject *watched, const QKeyEvent *event)
{
    // Taken as it reaches the focus widget, whose event() would move the
    // focus; the window sees the same key first and is left alone.
    bool forward = true;
    QWidget *const focus = QApplication::focusWidget();
    if (m_validating || watched != focus || !IsInWindow(focus) || !IsTabKey(event, &forward))
        return false;
    return !MayMoveFocusTo(TabFocusTarget(m_window, focus, forward));
}

bool FocusValidation::FilterShortcut(QObject *watched)
{
    // A button's mnemonic or shortcut stands for a click on it, and a click
    // would have given it the focus.
    auto *const button = qobject_cast<QAbstractButton *>(watched);
    if (m_validating || !button || !IsInWindow(button) || !button->isEnabled()
        || button->focusPolicy() == Qt::NoFocus)
        return false;
    if (!MayMoveFocusTo(button))
        return true;
    button->setFocus(Qt::ShortcutFocusReason);
    return false;
}

bool FocusValidation::MayMoveFocusTo(QWidget *target)
{
    QWidget *const focus = QApplication::focusWidget();
    if (!target || !focus || !IsInWindow(target) || !IsInWindow(focus))
        return true;

    Field *left = FieldContaining(focus);
    if (!left && !CausesValidation(focus) && m_pendingField)
        left = FieldContaining(m_pendingField);
    if (!left || Contains(left->widget, target))
        return true;
    if (!CausesValidation(target))
        return true; // The check waits; TrackFocus remembers the field.

    // The handler may run a nested event loop (a message box) in which this
    // window or this object could go away.
    const QPointer<QWidget> field = left->widget;
    const QPointer<FocusValidation> alive(this);
    bool cancel = false;
    {
        const QScopedValueRollback<bool> busy(m_validating, true);
        const Validator validate = left->validate; // the list may change meanwhile
        validate(cancel);
    }
    if (!alive || !cancel)
        return true;
    m_pendingField = nullptr;
    if (field && !Contains(field, QApplication::focusWidget()))
        field->setFocus(Qt::OtherFocusReason);
    return false;
}

void FocusValidation::TrackFocus(QWidget *old, QWidget *now)
{
    // Focus that goes outside the window (a message box, a pop-up menu) and
    // comes back tells nothing about the controls being left.
    if (!now || !IsInWindow(now))
        return;
    if (CausesValidation(now)) {
        m_pendingField = nullptr;
        return;
    }
    if (!old || !IsInWindow(old))
        return;
    if (const Field *field = FieldContaining(old))
        m_pendingField = field->widget;
    else if (CausesValidation(old))
        m_pendingField = nullptr;
}

FocusValidation::Field *FocusValidation::FieldContaining(const QWidget *widget)
{
    const auto found = std::find_if(m_fields.begin(), m_fields.end(), [widget](const Field &field) {
        return field.widget && Contains(field.widget, widget);
    });
    return found == m_fields.end() ? nullptr : &*found;
}

bool FocusValidation::IsInWindow(const QWidget *widget) const
{
    return widget && widget->window() == m_window;
}
