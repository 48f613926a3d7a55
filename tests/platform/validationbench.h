#pragma once

#include "dialogkeys.h"
#include "focusvalidation.h"

#include <QApplication>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSignalSpy>
#include <QWindow>
#include <QtTest>

#include <functional>

// A window laid out like a console: a validated line edit A that rejects
// "abc", a plain line edit B, a validated editable combo C that accepts
// everything, a label, and the buttons Help (no validation), Exit (cancel
// button) and Send (default button). The tab order is creation order.
class ValidationBench final : public QWidget
{
public:
    ValidationBench()
        : fieldA(MakeChild<QLineEdit>("A", {10, 10, 100, 24}))
        , fieldB(MakeChild<QLineEdit>("B", {120, 10, 100, 24}))
        , comboC(MakeEditableCombo("C", {230, 10, 120, 24}))
        , label(MakeChild<QLabel>("Label", {10, 50, 100, 20}))
        , help(MakeChild<QPushButton>("Help", {10, 80, 80, 28}))
        , exit(MakeChild<QPushButton>("Exit", {100, 80, 80, 28}))
        , send(MakeChild<QPushButton>("Send", {190, 80, 80, 28}))
        , validation(new FocusValidation(this))
        , keys(new DialogKeys(this, send, exit))
        , helpClicks(help, &QPushButton::clicked)
        , exitClicks(exit, &QPushButton::clicked)
        , sendClicks(send, &QPushButton::clicked)
    {
        resize(460, 120);
        label->setText(QStringLiteral("Label"));
        help->setText(QStringLiteral("&Help"));
        exit->setText(QStringLiteral("E&xit"));
        send->setText(QStringLiteral("&Send"));
        comboC->addItems({QStringLiteral("one"), QStringLiteral("two"), QStringLiteral("three")});
        validation->AddField(fieldA, [this](bool &cancel) {
            ++validationsOfA;
            if (duringValidationOfA)
                duringValidationOfA();
            if (fieldA->text() == QLatin1String("abc"))
                cancel = true;
        });
        validation->AddField(comboC, [this](bool &) { ++validationsOfC; });
        validation->SetCausesValidation(help, false);
    }

    [[nodiscard]] bool ShowActive()
    {
        show();
        activateWindow();
        return QTest::qWaitForWindowActive(this);
    }

    // The named control that holds the focus, counting the editor inside
    // the combo box as the combo box.
    [[nodiscard]] QString FocusOwner() const
    {
        for (QWidget *w = QApplication::focusWidget(); w && w != this; w = w->parentWidget()) {
            if (w->parentWidget() == this)
                return w->objectName();
        }
        return QStringLiteral("none");
    }

    // A point of the window where no control stands.
    static constexpr QPoint background{400, 60};

    void ClickAt(QPoint windowPos) { QTest::mouseClick(windowHandle(), Qt::LeftButton, {}, windowPos); }
    void Click(const QString &name) { ClickAt(Centre(findChild<QWidget *>(name))); }
    void Key(Qt::Key key, Qt::KeyboardModifiers modifiers = {})
    {
        QTest::keyClick(windowHandle(), key, modifiers);
    }

    QLineEdit *const fieldA;
    QLineEdit *const fieldB;
    QComboBox *const comboC;
    QLabel *const label;
    QPushButton *const help;
    QPushButton *const exit;
    QPushButton *const send;
    FocusValidation *const validation;
    DialogKeys *const keys;
    QSignalSpy helpClicks;
    QSignalSpy exitClicks;
    QSignalSpy sendClicks;
    int validationsOfA = 0;
    int validationsOfC = 0;
    std::function<void()> duringValidationOfA;

private:
    template<typename Widget>
    Widget *MakeChild(const char *name, QRect geometry)
    {
        auto *const child = new Widget(this);
        child->setObjectName(QLatin1String(name));
        child->setGeometry(geometry);
        return child;
    }

    // Editable from the start, so that its editor stands next to it in the
    // tab order.
    QComboBox *MakeEditableCombo(const char *name, QRect geometry)
    {
        QComboBox *const combo = MakeChild<QComboBox>(name, geometry);
        combo->setEditable(true);
        return combo;
    }

    [[nodiscard]] QPoint Centre(const QWidget *child) const
    {
        return child->mapTo(this, child->rect().center());
    }
};
