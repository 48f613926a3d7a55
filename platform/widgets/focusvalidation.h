#pragma once

#include <QObject>
#include <QPointer>

#include <functional>
#include <vector>

class QKeyEvent;
class QMouseEvent;
class QPoint;
class QWheelEvent;
class QWidget;

// The focus-leaving Validate event for a plain widget window.
//
// When the input focus is about to leave a validated field for a control
// that causes validation, the field's Validate handler runs with a Cancel
// flag. A handler that sets Cancel keeps the focus in the field, and the
// click, wheel turn, Tab or button shortcut that was moving the focus is not
// delivered.
//
// Qt has already moved the focus by the time a widget sees its focus-out or
// the mouse press, so the decision is taken earlier, on the input event
// itself: a mouse press or wheel turn as it reaches the window, a Tab or
// Shift+Tab as it reaches the focus widget, a button's shortcut as it
// reaches the button.
// Focus moved by the program or by a message box opening and closing raises
// nothing.
//
// A control that does not cause validation (a Help button) may take the
// focus without a check; the field it was taken from stays pending and is
// validated when the focus later goes on from there to a control that does
// cause validation. If that check cancels, the focus returns to the field.
//
// Installed on the application, owned by the window it serves.
class FocusValidation final : public QObject
{
    Q_OBJECT

public:
    // Handler of a field's Validate event: sets cancel to keep the focus.
    using Validator = std::function<void(bool &cancel)>;

    explicit FocusValidation(QWidget *window);
    ~FocusValidation() override;

    // A field may be a compound widget: focus on any of its descendants
    // counts as focus in the field.
    void AddField(QWidget *field, Validator validate);

    // Every control causes validation unless it is marked otherwise here.
    void SetCausesValidation(QWidget *control, bool causes);
    [[nodiscard]] bool CausesValidation(const QWidget *control) const;

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    struct Field
    {
        QPointer<QWidget> widget;
        Validator validate;
    };

    [[nodiscard]] bool FilterMouse(QObject *watched, QMouseEvent *event);
    [[nodiscard]] bool FilterWheel(QObject *watched, const QWheelEvent *event);
    [[nodiscard]] bool FilterTab(QObject *watched, const QKeyEvent *event);
    [[nodiscard]] bool FilterShortcut(QObject *watched);

    // The widget that a pointer event at windowPos would focus by `how`.
    [[nodiscard]] QWidget *PointerFocusTarget(QPoint windowPos, Qt::FocusPolicy how) const;

    // Runs the Validate handler due before the focus goes to target.
    // Returns false when the handler cancelled and the move must not happen.
    [[nodiscard]] bool MayMoveFocusTo(QWidget *target);
    void TrackFocus(QWidget *old, QWidget *now);

    [[nodiscard]] Field *FieldContaining(const QWidget *widget);
    [[nodiscard]] bool IsInWindow(const QWidget *widget) const;

    QWidget *const m_window;
    std::vector<Field> m_fields;
    std::vector<QPointer<QWidget>> m_nonValidatingControls;

    // The field left for a control that does not cause validation, whose
    // check is still owed.
    QPointer<QWidget> m_pendingField;

    // Mouse buttons whose press was refused, so that their release and
    // double click are refused too.
    Qt::MouseButtons m_refusedButtons;

    // True while a Validate handler runs: its message box or any other
    // nested event loop must not start another validation.
    bool m_validating = false;
};
