#include "frmsplash.h"
#include "loadedforms.h"
#include "modmain.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QPointer>
#include <QTest>
#include <QThread>
#include <QTimer>
#include <QWindow>

namespace {

// Notes when the splash is first painted and when the main window is shown,
// on the monotonic clock, and what was loaded at that moment.
class StartUpWatch final : public QObject
{
public:
    explicit StartUpWatch(LoadedForms &forms)
        : m_forms(forms)
    {
        clock.start();
        qApp->installEventFilter(this);
    }
    ~StartUpWatch() override { qApp->removeEventFilter(this); }

    QElapsedTimer clock;
    qint64 splashPaintedAt = -1;
    qint64 mainShownAt = -1;
    int formsAtShow = -1;
    QPointer<QWidget> mainWindow;

protected:
    bool eventFilter(QObject *watched, QEvent *event) override
    {
        if (event->type() == QEvent::Paint && splashPaintedAt < 0
            && qobject_cast<frmSplash *>(watched))
            splashPaintedAt = clock.elapsed();
        if (event->type() == QEvent::Show && watched == mainWindow && mainShownAt < 0) {
            mainShownAt = clock.elapsed();
            formsAtShow = m_forms.Count();
        }
        return false;
    }

private:
    LoadedForms &m_forms;
};

} // namespace

class TestModMain : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void quickLoadHoldsSplashOneSecond();
    void slowLoadShowsMainWindowAtOnce();
};

void TestModMain::quickLoadHoldsSplashOneSecond()
{
    LoadedForms forms;
    StartUpWatch watch(forms);
    QWidget mainWindow;
    watch.mainWindow = &mainWindow;
    QStringList loadedDuringLoad;

    QWidget *const shown = StartUp(forms, [&]() -> QWidget * {
        // The splash is up, painted, and first in the list.
        loadedDuringLoad.append(forms.At(0)->metaObject()->className());
        const QWindow *const splash = forms.At(0)->windowHandle();
        loadedDuringLoad.append(splash && splash->isExposed() ? "exposed" : "not exposed");
        forms.Load(&mainWindow);
        return &mainWindow;
    });

    QCOMPARE(shown, &mainWindow);
    QCOMPARE(loadedDuringLoad, (QStringList{"frmSplash", "exposed"}));
    QVERIFY(watch.splashPaintedAt >= 0);
    QVERIFY(watch.mainShownAt >= 0);
    // The deadline is set after the paint, so at least a second lies between.
    QVERIFY2(watch.mainShownAt - watch.splashPaintedAt >= 1000,
             qPrintable(QString::number(watch.mainShownAt - watch.splashPaintedAt)));
    // The splash is gone before the main window appears.
    QCOMPARE(watch.formsAtShow, 1);
    QCOMPARE(forms.At(0), &mainWindow);
    QVERIFY(mainWindow.isVisible());
}

void TestModMain::slowLoadShowsMainWindowAtOnce()
{
    LoadedForms forms;
    StartUpWatch watch(forms);
    QWidget mainWindow;
    watch.mainWindow = &mainWindow;
    bool eventsHandledAfterLoad = false;

    StartUp(forms, [&]() -> QWidget * {
        // A load that outlasts the second, as a port message left open does.
        QThread::msleep(1100);
        // Fires as soon as anyone handles events again.
        QTimer::singleShot(0, &mainWindow, [&] { eventsHandledAfterLoad = true; });
        forms.Load(&mainWindow);
        return &mainWindow;
    });

    // No wait after the load: no events were handled before the main window
    // was shown.
    QVERIFY(mainWindow.isVisible());
    QVERIFY(!eventsHandledAfterLoad);
    QCOMPARE(watch.formsAtShow, 1);
    QTRY_VERIFY(eventsHandledAfterLoad);
}

QTEST_MAIN(TestModMain)
#include "tst_modmain.moc"
