// Mouse clicks travel through the window, as a real click does, so that
// they meet the application's event filters before the focus moves
// (QTEST_QPA_MOUSE_HANDLING is defined for this test by its build).

#include "validationbench.h"

#include <QAbstractItemView>
#include <QEventLoop>
#include <QTimer>
#include <QtTest>

#include <algorithm>

class TestFocusValidation : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void leavingByClick_data();
    void leavingByClick();
    void leavingByTab_data();
    void leavingByTab();
    void checkOwedAfterHelp_data();
    void checkOwedAfterHelp();
    void leavingByButtonShortcut_data();
    void leavingByButtonShortcut();
    void enterAndEscape_data();
    void enterAndEscape();
    void dropDownListKeepsItsKeys_data();
    void dropDownListKeepsItsKeys();
    void nestedLoopDoesNotValidateAgain_data();
    void nestedLoopDoesNotValidateAgain();
};

void TestFocusValidation::leavingByClick_data()
{
    QTest::addColumn<QString>("textOfA");
    QTest::addColumn<QString>("clicked");
    QTest::addColumn<int>("validations");
    QTest::addColumn<QString>("focusAfter");
    QTest::addColumn<int>("exitClicks");
    QTest::addColumn<int>("helpClicks");

    QTest::newRow("rejected, to a button") << "abc" << "Exit" << 1 << "A" << 0 << 0;
    QTest::newRow("accepted, to a button") << "42" << "Exit" << 1 << "Exit" << 1 << 0;
    QTest::newRow("rejected, to a line edit") << "abc" << "B" << 1 << "A" << 0 << 0;
    QTest::newRow("accepted, to the combo") << "42" << "C" << 1 << "C" << 0 << 0;
    QTest::newRow("rejected, to Help") << "abc" << "Help" << 0 << "Help" << 0 << 1;
    QTest::newRow("rejected, on a label") << "abc" << "Label" << 0 << "A" << 0 << 0;
    QTest::newRow("rejected, on the background") << "abc" << "" << 0 << "A" << 0 << 0;
    QTest::newRow("rejected, inside the field") << "abc" << "A" << 0 << "A" << 0 << 0;
}

void TestFocusValidation::leavingByClick()
{
    QFETCH(QString, textOfA);
    QFETCH(QString, clicked);
    ValidationBench bench;
    QVERIFY(bench.ShowActive());
    bench.fieldA->setText(textOfA);
    bench.fieldA->setFocus();

    if (clicked.isEmpty())
        bench.ClickAt(ValidationBench::background);
    else
        bench.Click(clicked);

    QTEST(bench.validationsOfA, "validations");
    QTEST(bench.FocusOwner(), "focusAfter");
    QTEST(int(bench.exitClicks.count()), "exitClicks");
    QTEST(int(bench.helpClicks.count()), "helpClicks");
    QCOMPARE(bench.validationsOfC, 0);
}

void TestFocusValidation::leavingByTab_data()
{
    QTest::addColumn<QString>("start");
    QTest::addColumn<QString>("textOfA");
    QTest::addColumn<int>("key");
    QTest::addColumn<int>("modifiers");
    QTest::addColumn<int>("validationsOfA");
    QTest::addColumn<int>("validationsOfC");
    QTest::addColumn<QString>("focusAfter");

    const int tab = Qt::Key_Tab;
    const int backtab = Qt::Key_Backtab;
    const int none = Qt::NoModifier;
    const int shift = Qt::ShiftModifier;
    QTest::newRow("Tab, rejected") << "A" << "abc" << tab << none << 1 << 0 << "A";
    QTest::newRow("Tab, accepted") << "A" << "42" << tab << none << 1 << 0 << "B";
    QTest::newRow("Shift+Tab, rejected") << "A" << "abc" << tab << shift << 1 << 0 << "A";
    QTest::newRow("Shift+Tab wraps, accepted") << "A" << "42" << tab << shift << 1 << 0 << "Send";
    QTest::newRow("Backtab, rejected") << "A" << "abc" << backtab << shift << 1 << 0 << "A";
    QTest::newRow("combo, Tab to Help") << "C" << "abc" << tab << none << 0 << 0 << "Help";
    QTest::newRow("combo, Shift+Tab") << "C" << "abc" << tab << shift << 0 << 1 << "B";
    QTest::newRow("Ctrl+Tab is no move") << "A" << "abc" << tab << int(Qt::ControlModifier) << 0 << 0
                                         << "A";
}

void TestFocusValidation::leavingByTab()
{
    QFETCH(QString, start);
    QFETCH(QString, textOfA);
    QFETCH(int, key);
    QFETCH(int, modifiers);
    ValidationBench bench;
    QVERIFY(bench.ShowActive());
    bench.fieldA->setText(textOfA);
    bench.findChild<QWidget *>(start)->setFocus();
    QCOMPARE(bench.FocusOwner(), start);

    bench.Key(Qt::Key(key), Qt::KeyboardModifiers(modifiers));

    QTEST(bench.validationsOfA, "validationsOfA");
    QTEST(bench.validationsOfC, "validationsOfC");
    QTEST(bench.FocusOwner(), "focusAfter");
}

void TestFocusValidation::checkOwedAfterHelp_data()
{
    QTest::addColumn<QString>("textOfA");
    QTest::addColumn<bool>("byTab");
    QTest::addColumn<QString>("clicked");
    QTest::addColumn<int>("validations");
    QTest::addColumn<QString>("focusAfter");
    QTest::addColumn<int>("exitClicks");

    QTest::newRow("click, rejected") << "abc" << false << "Exit" << 1 << "A" << 0;
    QTest::newRow("click, accepted") << "42" << false << "Exit" << 1 << "Exit" << 1;
    QTest::newRow("Tab, rejected") << "abc" << true << "" << 1 << "A" << 0;
    QTest::newRow("Tab, accepted") << "42" << true << "" << 1 << "Exit" << 0;
    QTest::newRow("back into the field") << "abc" << false << "A" << 0 << "A" << 0;
}

void TestFocusValidation::checkOwedAfterHelp()
{
    QFETCH(QString, textOfA);
    QFETCH(bool, byTab);
    QFETCH(QString, clicked);
    ValidationBench bench;
    QVERIFY(bench.ShowActive());
    bench.fieldA->setText(textOfA);
    bench.fieldA->setFocus();

    bench.Click(QStringLiteral("Help"));
    QCOMPARE(bench.validationsOfA, 0);
    QCOMPARE(bench.FocusOwner(), QStringLiteral("Help"));

    if (byTab)
        bench.Key(Qt::Key_Tab);
    else
        bench.Click(clicked);

    QTEST(bench.validationsOfA, "validations");
    QTEST(bench.FocusOwner(), "focusAfter");
    QTEST(int(bench.exitClicks.count()), "exitClicks");

    // The check owed was settled: moving on raises no second one.
    const int settled = bench.validationsOfA;
    bench.ClickAt(ValidationBench::background);
    QCOMPARE(bench.validationsOfA, settled);
}

void TestFocusValidation::leavingByButtonShortcut_data()
{
    QTest::addColumn<QString>("textOfA");
    QTest::addColumn<int>("key");
    QTest::addColumn<int>("validations");
    QTest::addColumn<QString>("focusAfter");
    QTest::addColumn<bool>("pressed");

    QTest::newRow("rejected") << "abc" << int(Qt::Key_X) << 1 << "A" << false;
    QTest::newRow("accepted") << "42" << int(Qt::Key_X) << 1 << "Exit" << true;
    QTest::newRow("to Help") << "abc" << int(Qt::Key_H) << 0 << "Help" << true;
}

void TestFocusValidation::leavingByButtonShortcut()
{
    QFETCH(QString, textOfA);
    QFETCH(int, key);
    ValidationBench bench;
    QVERIFY(bench.ShowActive());
    bench.fieldA->setText(textOfA);
    bench.fieldA->setFocus();

    bench.Key(Qt::Key(key), Qt::AltModifier);

    QTEST(bench.validationsOfA, "validations");
    QTEST(bench.FocusOwner(), "focusAfter");
    QSignalSpy &spy = key == Qt::Key_X ? bench.exitClicks : bench.helpClicks;
    QFETCH(bool, pressed);
    if (pressed)
        QTRY_COMPARE(spy.count(), 1); // a shortcut animates its click
    else
        QVERIFY(!bench.exit->isDown());
}

void TestFocusValidation::enterAndEscape_data()
{
    QTest::addColumn<QString>("focus");
    QTest::addColumn<int>("key");
    QTest::addColumn<int>("modifiers");
    QTest::addColumn<bool>("sendEnabled");
    QTest::addColumn<int>("sendClicks");
    QTest::addColumn<int>("exitClicks");
    QTest::addColumn<int>("helpClicks");

    const int enter = Qt::Key_Return;
    const int none = Qt::NoModifier;
    QTest::newRow("Return in A") << "A" << enter << none << true << 1 << 0 << 0;
    QTest::newRow("keypad Enter in B") << "B" << int(Qt::Key_Enter) << int(Qt::KeypadModifier) << true
                                       << 1 << 0 << 0;
    QTest::newRow("Return in the combo") << "C" << enter << none << true << 1 << 0 << 0;
    QTest::newRow("Return on Help") << "Help" << enter << none << true << 0 << 0 << 1;
    QTest::newRow("Return on Exit") << "Exit" << enter << none << true << 0 << 1 << 0;
    QTest::newRow("Escape in A") << "A" << int(Qt::Key_Escape) << none << true << 0 << 1 << 0;
    QTest::newRow("Ctrl+Return in A") << "A" << enter << int(Qt::ControlModifier) << true << 0 << 0 << 0;
    QTest::newRow("Return, Send disabled") << "A" << enter << none << false << 0 << 0 << 0;
}

void TestFocusValidation::enterAndEscape()
{
    QFETCH(QString, focus);
    QFETCH(int, key);
    QFETCH(int, modifiers);
    QFETCH(bool, sendEnabled);
    ValidationBench bench;
    QVERIFY(bench.ShowActive());
    bench.send->setEnabled(sendEnabled);
    bench.fieldA->setText(QStringLiteral("abc"));
    bench.comboC->setEditText(QStringLiteral("typed"));
    bench.findChild<QWidget *>(focus)->setFocus();

    bench.Key(Qt::Key(key), Qt::KeyboardModifiers(modifiers));

    QTEST(int(bench.sendClicks.count()), "sendClicks");
    QTEST(int(bench.exitClicks.count()), "exitClicks");
    QTEST(int(bench.helpClicks.count()), "helpClicks");
    // A button pressed by key takes no focus, so nothing is validated, and
    // the combo box does not take the Enter as a new entry of its list.
    QCOMPARE(bench.FocusOwner(), focus);
    QCOMPARE(bench.validationsOfA, 0);
    QCOMPARE(bench.validationsOfC, 0);
    QCOMPARE(bench.comboC->count(), 3);
}

void TestFocusValidation::dropDownListKeepsItsKeys_data()
{
    QTest::addColumn<bool>("pick");
    QTest::newRow("Down and Enter pick an entry") << true;
    QTest::newRow("Escape closes the list") << false;
}

void TestFocusValidation::dropDownListKeepsItsKeys()
{
    QFETCH(bool, pick);
    ValidationBench bench;
    QVERIFY(bench.ShowActive());
    bench.comboC->setFocus();
    bench.comboC->setCurrentIndex(0);
    bench.comboC->showPopup();
    QTRY_VERIFY(bench.comboC->view()->isVisible());

    if (pick) {
        bench.Key(Qt::Key_Down);
        bench.Key(Qt::Key_Return);
    } else {
        bench.Key(Qt::Key_Escape);
    }

    QTRY_VERIFY(!bench.comboC->view()->isVisible());
    QCOMPARE(bench.comboC->currentIndex(), pick ? 1 : 0);
    QCOMPARE(bench.sendClicks.count(), 0);
    QCOMPARE(bench.exitClicks.count(), 0);

    // With the list closed, the same keys belong to the window again.
    bench.Key(pick ? Qt::Key_Return : Qt::Key_Escape);
    QCOMPARE(bench.sendClicks.count(), pick ? 1 : 0);
    QCOMPARE(bench.exitClicks.count(), pick ? 0 : 1);
}

void TestFocusValidation::nestedLoopDoesNotValidateAgain_data()
{
    QTest::addColumn<bool>("innerTab");
    QTest::newRow("click during the handler") << false;
    QTest::newRow("Tab during the handler") << true;
}

void TestFocusValidation::nestedLoopDoesNotValidateAgain()
{
    QFETCH(bool, innerTab);
    ValidationBench bench;
    QVERIFY(bench.ShowActive());
    bench.fieldA->setText(QStringLiteral("abc"));
    bench.fieldA->setFocus();
    int nestingDepth = 0;
    int deepestNesting = 0;
    bench.duringValidationOfA = [&] {
        deepestNesting = std::max(deepestNesting, ++nestingDepth);
        // Stands for a message box: input reaches the window meanwhile.
        QEventLoop loop;
        QTimer::singleShot(0, &loop, [&] {
            if (innerTab)
                bench.Key(Qt::Key_Tab);
            else
                bench.Click(QStringLiteral("Send"));
            loop.quit();
        });
        loop.exec();
        --nestingDepth;
    };

    bench.Click(QStringLiteral("Exit"));

    QCOMPARE(deepestNesting, 1);
    QCOMPARE(bench.validationsOfA, 1);
    QCOMPARE(bench.exitClicks.count(), 0);
    // The rejected field has the focus again, whatever moved it meanwhile.
    QCOMPARE(bench.FocusOwner(), QStringLiteral("A"));
}

QTEST_MAIN(TestFocusValidation)
#include "tst_focusvalidation.moc"
