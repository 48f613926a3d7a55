#include "modmain.h"

#include "appinfo.h"
#include "commport.h"
#include "frmabout.h"
#include "frmmain.h"
#include "frmsplash.h"
#include "loadedforms.h"
#include "qtmessageboxes.h"
#include "portcontrol.h"
#include "quitsignals.h"
#include "settingsstore.h"
#include "startupwait.h"

#include <QApplication>
#include <QDeadlineTimer>

#include <memory>

QWidget *StartUp(LoadedForms &forms, const std::function<QWidget *()> &loadMain)
{
    auto splash = std::make_unique<frmSplash>();
    forms.Load(splash.get());
    splash->show();
    PaintNow(splash.get());

    // Elapsed time on the monotonic clock: a change of the time of day or
    // the date during the wait neither shortens nor stretches it.
    const QDeadlineTimer deadline(1000, Qt::PreciseTimer);
    QWidget *const mainWindow = loadMain();
    WaitUntil(deadline);

    forms.Unload(splash.get());
    splash.reset();
    mainWindow->show();
    return mainWindow;
}

int Main(const QStringList &arguments)
{
    // Caught from here on, acted on once the main window runs.
    QuitSignals quitSignals;
    LoadedForms forms;
    SettingsStore settings;
    QtMessageBoxes boxes;

    MainWindowContext context;
    context.commandLineArgument = CommandLineArgument(arguments);
    context.settings = &settings;
    context.boxes = &boxes;
    context.port = std::make_unique<PortControl>();
    context.programFolder = AppInfo::ProgramFolder();
    context.forms = &forms;
    context.showAbout = [&forms](QWidget *owner) { ShowAboutWindow(owner, &forms); };

    std::unique_ptr<frmMain> mainWindow;
    StartUp(forms, [&]() -> QWidget * {
        mainWindow = std::make_unique<frmMain>(std::move(context));
        forms.Load(mainWindow.get());
        mainWindow->Form_Load();
        return mainWindow.get();
    });

    // A signal to quit closes the window as Exit does.
    QObject::connect(&quitSignals, &QuitSignals::quitRequested, mainWindow.get(), &QWidget::close);
    quitSignals.watch();

    // Runs until the main window has been closed, which saves its state.
    const int exitCode = QApplication::exec();
    // Only now does the port go: drained and closed with the window.
    mainWindow.reset();
    return exitCode;
}
