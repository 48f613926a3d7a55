#include "helpmenu.h"
#include "namedchild.h"
#include "recordingmessageboxes.h"
#include "urlrecorder.h"

#include <QAction>
#include <QDir>
#include <QTemporaryDir>
#include <QCursor>
#include <QSignalSpy>
#include <QTimer>
#include <QtTest>

namespace {

const QString MainCaption = QStringLiteral("Vantor Message Board");
const QString AppTitle = QStringLiteral("VantorMsgBoard");
const QString Hlp = QStringLiteral("VantorMsgBoard.hlp");
const QString Guide = QStringLiteral("VantorMsgBoard-Guide.html");
const QString DocFolder = QStringLiteral("../share/doc/vantor-message-board");

HelpTopicsFiles FilesIn(const QString &folder, const QString &helpFile = Hlp)
{
    return {folder, helpFile, Guide, DocFolder};
}

// Records what the desktop is asked to open and answers with `refusal`.
struct ScriptedDesktop
{
    DesktopRefusal refusal = DesktopRefusal::None;
    QStringList asked;

    DesktopOpener opener()
    {
        return [this](const QString &target) {
            asked << target;
            return DesktopOpenResult{refusal, QStringLiteral("xcb"), {}};
        };
    }
};

void WriteFile(const QString &path)
{
    QVERIFY(QDir().mkpath(QFileInfo(path).path()));
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly));
}

} // namespace

class TestHelpMenu : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void menu_listsItsCommandsInOrder();
    void popupAtPointer_runsTheChosenCommandOnly_data();
    void popupAtPointer_runsTheChosenCommandOnly();
    void showHelpTopics_data();
    void showHelpTopics();
    void helpTopicsFiles_ofThisProgram_data();
    void helpTopicsFiles_ofThisProgram();
    void showHelpTopics_realFolder_data();
    void showHelpTopics_realFolder();
    void showMakerWebPage_opensTheMakersAddress();
    void showMakerWebPage_reportsARefusal_data();
    void showMakerWebPage_reportsARefusal();
    void handlerEndingBadly_namesTheCause_data();
    void handlerEndingBadly_namesTheCause();
};

void TestHelpMenu::menu_listsItsCommandsInOrder()
{
    QWidget mainWindow;
    const MnuHelp menu(&mainWindow);
    QCOMPARE(menu.title(), QStringLiteral("Help Popup"));
    QList<QAction *> expected;
    for (const char *name : {"mnuHelpTopics", "mnuHelpDiv1", "mnuHelpWeb", "MnuHelpDiv2", "MnuHelpAbout"})
        expected.append(NamedChild<QAction>(menu, name));
    QCOMPARE(menu.actions(), expected);
    QStringList captions;
    for (const QAction *item : expected)
        captions << (item->isSeparator() ? QStringLiteral("-") : item->text());
    QCOMPARE(captions, QStringList({QStringLiteral("Help Topics..."), QStringLiteral("-"),
                                    QStringLiteral("Vantor on the Web"), QStringLiteral("-"),
                                    QStringLiteral("About Vantor Message Board...")}));
}

void TestHelpMenu::popupAtPointer_runsTheChosenCommandOnly_data()
{
    QTest::addColumn<QList<int>>("keys");
    QTest::addColumn<QString>("chosen"); // empty: nothing runs
    QTest::newRow("dismissed with Escape") << QList<int>{Qt::Key_Escape} << QString();
    QTest::newRow("dismissed by a click outside") << QList<int>{} << QString();
    QTest::newRow("separator stepped over")
        << QList<int>{Qt::Key_Down, Qt::Key_Down, Qt::Key_Return}
        << QStringLiteral("Vantor on the Web");
    QTest::newRow("last item") << QList<int>{Qt::Key_Up, Qt::Key_Return}
                               << QStringLiteral("About Vantor Message Board...");
}

void TestHelpMenu::popupAtPointer_runsTheChosenCommandOnly()
{
    QFETCH(QList<int>, keys);
    QFETCH(QString, chosen);
    QWidget mainWindow;
    mainWindow.resize(400, 300);
    mainWindow.show();
    QVERIFY(QTest::qWaitForWindowExposed(&mainWindow));
    const QPoint pointer = mainWindow.mapToGlobal(QPoint(30, 40));
    QCursor::setPos(pointer);
    MnuHelp menu(&mainWindow);
    QSignalSpy triggered(&menu, &QMenu::triggered);
    bool wasOpen = false;
    QPoint openedAt;
    QTimer::singleShot(0, &menu, [&] {
        wasOpen = menu.isVisible();
        openedAt = menu.pos();
        if (keys.isEmpty()) {
            // A press beyond the menu's edge, as on the window behind it.
            const QPoint outside = menu.mapFromGlobal(mainWindow.mapToGlobal(QPoint(380, 280)));
            QTest::mouseClick(&menu, Qt::LeftButton, {}, outside);
        }
        for (int key : keys)
            QTest::keyClick(&menu, Qt::Key(key));
    });
    QTimer::singleShot(5000, &menu, &QMenu::close); // a watchdog

    menu.PopupAtPointer();

    QVERIFY(wasOpen);
    QCOMPARE(openedAt, pointer);
    QVERIFY(!menu.isVisible());
    QStringList ran;
    for (const QList<QVariant> &signal : triggered)
        ran << signal.first().value<QAction *>()->text();
    QCOMPARE(ran, chosen.isEmpty() ? QStringList() : QStringList{chosen});
}

void TestHelpMenu::showHelpTopics_data()
{
    QTest::addColumn<QString>("folder");
    QTest::addColumn<QString>("helpFile");
    QTest::addColumn<QStringList>("existing");
    QTest::addColumn<QString>("expectedPath"); // empty: the desktop is not asked
    QTest::addColumn<QString>("expectedBox");  // empty: nothing is shown
    QTest::addColumn<int>("refusal");          // the desktop's answer
    const int handed = int(DesktopRefusal::None);
    const QString installedGuide = QStringLiteral("/usr/share/doc/vantor-message-board/") + Guide;
    QTest::newRow("help file in the program folder")
        << QStringLiteral("/opt/vmb") << Hlp
        << QStringList{QStringLiteral("/opt/vmb/VantorMsgBoard.hlp"),
                       QStringLiteral("/opt/vmb/") + Guide}
        << QStringLiteral("/opt/vmb/VantorMsgBoard.hlp") << QString() << handed;
    QTest::newRow("folder ending in a separator")
        << QStringLiteral("/opt/vmb/") << Hlp
        << QStringList{QStringLiteral("/opt/vmb//VantorMsgBoard.hlp")}
        << QStringLiteral("/opt/vmb//VantorMsgBoard.hlp") << QString() << handed;
    QTest::newRow("root folder") << QStringLiteral("/") << Hlp
                                 << QStringList{QStringLiteral("//VantorMsgBoard.hlp")}
                                 << QStringLiteral("//VantorMsgBoard.hlp") << QString() << handed;
    QTest::newRow("guide beside the program")
        << QStringLiteral("/opt/vmb") << Hlp
        << QStringList{QStringLiteral("/opt/vmb/") + Guide, installedGuide}
        << QStringLiteral("/opt/vmb/") + Guide << QString() << handed;
    QTest::newRow("installed guide") << QStringLiteral("/usr/bin") << Hlp
                                     << QStringList{installedGuide} << installedGuide << QString() << handed;
    QTest::newRow("guide of another install ignored")
        << QStringLiteral("/opt/vmb/bin") << Hlp << QStringList{installedGuide} << QString()
        << QStringLiteral("Unable to display Help Topics\rNone of these files exists:\r"
                          "\"/opt/vmb/bin/VantorMsgBoard.hlp\"\r"
                          "\"/opt/vmb/bin/VantorMsgBoard-Guide.html\"\r"
                          "\"/opt/vmb/share/doc/vantor-message-board/VantorMsgBoard-Guide.html\"\r"
                          "Reinstall the package vantor-message-board to bring back the "
                          "operator's guide.") << handed;
    QTest::newRow("no help file") << QStringLiteral("/opt/vmb") << QString()
                                  << QStringList{QStringLiteral("/opt/vmb/") + Guide} << QString()
                                  << QStringLiteral("Unable to display Help Contents. There is "
                                                    "no Help associated with this project.") << handed;
    const QString guide = QStringLiteral("/opt/vmb/") + Guide;
    QTest::newRow("no xdg-open")
        << QStringLiteral("/opt/vmb") << Hlp << QStringList{guide} << guide
        << QStringLiteral("Unable to display Help Topics\r\"") + guide
            + QStringLiteral("\"\rxdg-open, which hands files and web addresses to the desktop's programs, is not "
                             "installed.\rInstall the package xdg-utils (sudo apt install xdg-utils), then try again.")
        << int(DesktopRefusal::NoLauncher);
    QTest::newRow("xdg-open not started")
        << QStringLiteral("/opt/vmb") << Hlp << QStringList{guide} << guide
        << QStringLiteral("Unable to display Help Topics\r\"") + guide
            + QStringLiteral("\"\rxdg-open is installed but could not be started.\rReinstall the package xdg-utils "
                             "(sudo apt install --reinstall xdg-utils), then try again.")
        << int(DesktopRefusal::LauncherFailed);
}

void TestHelpMenu::showHelpTopics()
{
    QFETCH(QString, folder);
    QFETCH(QString, helpFile);
    QFETCH(QStringList, existing);
    QFETCH(QString, expectedPath);
    QFETCH(QString, expectedBox);
    QFETCH(int, refusal);
    QWidget mainWindow;
    mainWindow.setWindowTitle(MainCaption);
    RecordingMessageBoxes boxes;
    ScriptedDesktop desktop;
    desktop.refusal = DesktopRefusal(refusal);
    QStringList probed;

    ShowHelpTopics(&mainWindow, boxes, FilesIn(folder, helpFile), desktop.opener(),
                   [&](const QString &path) {
                       probed << path;
                       return existing.contains(path);
                   });

    QCOMPARE(desktop.asked, expectedPath.isEmpty() ? QStringList() : QStringList{expectedPath});
    QCOMPARE(boxes.shown.size(), expectedBox.isEmpty() ? 0 : 1);
    if (!expectedBox.isEmpty()) {
        const RecordingMessageBoxes::Shown &box = boxes.shown.first();
        QCOMPARE(box.text, expectedBox);
        // The missing help is a notice of the main window; a failure is the program's.
        const bool notice = helpFile.isEmpty();
        QCOMPARE(box.icon, notice ? MessageIcon::Information : MessageIcon::None);
        QCOMPARE(box.title, notice ? MainCaption : AppTitle);
    }
    // Looking stops at the first file that exists.
    if (!expectedPath.isEmpty())
        QCOMPARE(probed.last(), expectedPath);
}

void TestHelpMenu::helpTopicsFiles_ofThisProgram_data()
{
    QTest::addColumn<QString>("programFolder");
    QTest::addColumn<QStringList>("expected");
    QTest::newRow("installed")
        << QStringLiteral("/usr/bin")
        << QStringList{QStringLiteral("/usr/bin/VantorMsgBoard.hlp"),
                       QStringLiteral("/usr/bin/VantorMsgBoard-Guide.html"),
                       QStringLiteral("/usr/share/doc/vantor-message-board/VantorMsgBoard-Guide.html")};
    // An install moved as a whole finds the guide that came with it.
    QTest::newRow("relocated install")
        << QStringLiteral("/opt/signs/bin")
        << QStringList{QStringLiteral("/opt/signs/bin/VantorMsgBoard.hlp"),
                       QStringLiteral("/opt/signs/bin/VantorMsgBoard-Guide.html"),
                       QStringLiteral("/opt/signs/share/doc/vantor-message-board/VantorMsgBoard-Guide.html")};
}

// The names and the doc folder this program was built with.
void TestHelpMenu::helpTopicsFiles_ofThisProgram()
{
    QFETCH(QString, programFolder);
    QFETCH(QStringList, expected);
    QCOMPARE(HelpTopicsCandidates(HelpTopicsFiles::ForProgramIn(programFolder)), expected);
}

void TestHelpMenu::showHelpTopics_realFolder_data()
{
    QTest::addColumn<QStringList>("written"); // relative to the program folder
    QTest::addColumn<QString>("expectedOpened"); // relative to the program folder's parent
    QTest::newRow("guide only") << QStringList{Guide} << QStringLiteral("bin/") + Guide;
    QTest::newRow("help file and guide") << QStringList{Guide, Hlp} << QStringLiteral("bin/") + Hlp;
    QTest::newRow("installed guide only")
        << QStringList{DocFolder + QLatin1Char('/') + Guide}
        << QStringLiteral("share/doc/vantor-message-board/") + Guide;
    // A folder of the guide's name is no guide.
    QTest::newRow("folder named like the guide")
        << QStringList{Guide + QStringLiteral("/x"), DocFolder + QLatin1Char('/') + Guide}
        << QStringLiteral("share/doc/vantor-message-board/") + Guide;
}

// The files on disk and the desktop's real hand-over, with a recording
// handler in place of the desktop's program.
void TestHelpMenu::showHelpTopics_realFolder()
{
    QFETCH(QStringList, written);
    QFETCH(QString, expectedOpened);
    QTemporaryDir root;
    QVERIFY(root.isValid());
    const QString program = root.filePath(QStringLiteral("bin"));
    QVERIFY(QDir().mkpath(program));
    for (const QString &file : written)
        WriteFile(program + QLatin1Char('/') + file);
    QWidget mainWindow;
    RecordingMessageBoxes boxes;
    UrlRecorder viewer(QStringLiteral("file"));

    ShowHelpTopics(&mainWindow, boxes, FilesIn(program));

    QCOMPARE(boxes.shown.size(), 0);
    QCOMPARE(viewer.urls.size(), 1);
    QCOMPARE(viewer.urls.first().toLocalFile(), root.filePath(expectedOpened));
}

void TestHelpMenu::showMakerWebPage_opensTheMakersAddress()
{
    UrlRecorder browser(QStringLiteral("https"));
    RecordingMessageBoxes boxes;
    ShowMakerWebPage(boxes);
    QCOMPARE(browser.urls, QList<QUrl>{QUrl(QStringLiteral("https://www.vantor.example/"))});
    QCOMPARE(boxes.shown.size(), 0);
}

void TestHelpMenu::showMakerWebPage_reportsARefusal_data()
{
    QTest::addColumn<int>("refusal");
    QTest::addColumn<QString>("causeStart"); // empty: no box
    QTest::newRow("handed over") << int(DesktopRefusal::None) << QString();
    QTest::newRow("no xdg-open") << int(DesktopRefusal::NoLauncher)
                                 << QStringLiteral("xdg-open, which hands");
    QTest::newRow("no desktop") << int(DesktopRefusal::NoDesktop)
                                << QStringLiteral("The program runs without a desktop "
                                                  "(display platform \"xcb\")");
}

void TestHelpMenu::showMakerWebPage_reportsARefusal()
{
    QFETCH(int, refusal);
    QFETCH(QString, causeStart);
    RecordingMessageBoxes boxes;
    ScriptedDesktop desktop;
    desktop.refusal = DesktopRefusal(refusal);

    ShowMakerWebPage(boxes, desktop.opener());

    QCOMPARE(desktop.asked, QStringList{QStringLiteral("https://www.vantor.example/")});
    QCOMPARE(boxes.shown.size(), causeStart.isEmpty() ? 0 : 1);
    if (!causeStart.isEmpty()) {
        const QStringList lines = boxes.shown.first().text.split(QChar(13));
        QCOMPARE(lines.value(0), QStringLiteral("Unable to open the maker's web page"));
        QCOMPARE(lines.value(1), QStringLiteral("\"https://www.vantor.example/\""));
        QVERIFY2(lines.value(2).startsWith(causeStart), qPrintable(lines.value(2)));
        QCOMPARE(boxes.shown.first().icon, MessageIcon::None);
        QCOMPARE(boxes.shown.first().title, AppTitle);
    }
}

void TestHelpMenu::handlerEndingBadly_namesTheCause_data()
{
    QTest::addColumn<int>("exitStatus");
    QTest::addColumn<QString>("cause"); // empty: no box
    QTest::newRow("opened") << 0 << QString();
    QTest::newRow("no method available")
        << 3
        << QStringLiteral("xdg-open ended with status 3: xdg-open: no method available for opening "
                          "'https://www.vantor.example/'.\rNo program on this desktop opens it.");
    QTest::newRow("file not found")
        << 2
        << QStringLiteral("xdg-open ended with status 2: xdg-open: no method available for opening "
                          "'https://www.vantor.example/'.\rThe file does not exist or cannot be read.");
}

void TestHelpMenu::handlerEndingBadly_namesTheCause()
{
    QFETCH(int, exitStatus);
    QFETCH(QString, cause);
    QTemporaryDir folder;
    // A desktop handler that says what the real one says without a browser.
    const QString handler = folder.filePath(QStringLiteral("xdg-open"));
    QFile script(handler);
    QVERIFY(script.open(QIODevice::WriteOnly));
    script.write(QStringLiteral("#!/bin/sh\necho \"xdg-open: no method available for opening '$1'\" >&2\n"
                                "exit %1\n").arg(exitStatus).toUtf8());
    script.close();
    QVERIFY(script.setPermissions(script.permissions() | QFileDevice::ExeOwner));
    const QString target = QStringLiteral("https://www.vantor.example/");
    QObject context;
    QStringList messages;
    bool ended = false;

    QVERIFY(RunDesktopHandler(handler, target, &context, [&](int status, const QString &printed) {
        messages << HandlerFailureMessage(WebPageFailureLine(), target, status, printed);
    }));
    QObject *process = context.findChild<QObject *>();
    QVERIFY(process);
    connect(process, &QObject::destroyed, [&ended] { ended = true; });
    QTRY_VERIFY(ended);

    if (cause.isEmpty()) {
        QVERIFY(messages.isEmpty());
        return;
    }
    QCOMPARE(messages.size(), 1);
    const QString expectedStart = QStringLiteral("Unable to open the maker's web page\r\"") + target
        + QStringLiteral("\"\r") + cause;
    QVERIFY2(messages.first().startsWith(expectedStart), qPrintable(messages.first()));
}

QTEST_MAIN(TestHelpMenu)
#include "tst_helpmenu.moc"
