#include "helpmenu.h"
#include "recordingmessageboxes.h"
#include "urlrecorder.h"

#include <QAction>
#include <QCursor>
#include <QSignalSpy>
#include <QTimer>
#include <QtTest>

namespace {

const QString MainCaption = QStringLiteral("Vantor Message Board");
const QString NoViewer = QStringLiteral("No program is set up to show help files.");

QString BrokenViewer(QWidget *, const QString &)
{
    return NoViewer;
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
    void showMakerWebPage_opensTheMakersAddress();
};

void TestHelpMenu::menu_listsItsCommandsInOrder()
{
    QWidget mainWindow;
    const MnuHelp menu(&mainWindow);
    QCOMPARE(menu.title(), QStringLiteral("Help Popup"));
    const QList<QAction *> expected{menu.mnuHelpTopics, menu.mnuHelpDiv1, menu.mnuHelpWeb,
                                    menu.MnuHelpDiv2, menu.MnuHelpAbout};
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
    QTest::addColumn<bool>("viewerStarts");
    QTest::addColumn<QString>("expectedPath"); // empty: the viewer is not asked
    QTest::addColumn<QString>("expectedBox");  // empty: nothing is shown
    const QString hlp = QStringLiteral("VantorMsgBoard.hlp");
    // No help file lies in these folders: the viewer is asked all the same.
    QTest::newRow("program folder") << QStringLiteral("/nonexistent/vmb") << hlp << true
                                    << QStringLiteral("/nonexistent/vmb/VantorMsgBoard.hlp")
                                    << QString();
    QTest::newRow("folder ending in a separator")
        << QStringLiteral("/nonexistent/vmb/") << hlp << true
        << QStringLiteral("/nonexistent/vmb//VantorMsgBoard.hlp") << QString();
    QTest::newRow("root folder") << QStringLiteral("/") << hlp << true
                                 << QStringLiteral("//VantorMsgBoard.hlp") << QString();
    QTest::newRow("no help file") << QStringLiteral("/opt/vmb") << QString() << true << QString()
                                  << QStringLiteral("Unable to display Help Contents. There is "
                                                    "no Help associated with this project.");
    QTest::newRow("viewer cannot start") << QStringLiteral("/opt/vmb") << hlp << false
                                         << QString() << NoViewer;
}

void TestHelpMenu::showHelpTopics()
{
    QFETCH(QString, folder);
    QFETCH(QString, helpFile);
    QFETCH(bool, viewerStarts);
    QFETCH(QString, expectedPath);
    QFETCH(QString, expectedBox);
    QWidget mainWindow;
    mainWindow.setWindowTitle(MainCaption);
    RecordingMessageBoxes boxes;
    UrlRecorder viewer(QStringLiteral("file"));

    if (viewerStarts)
        ShowHelpTopics(&mainWindow, boxes, folder, helpFile);
    else
        ShowHelpTopics(&mainWindow, boxes, folder, helpFile, BrokenViewer);

    QStringList opened;
    for (const QUrl &url : viewer.urls)
        opened << url.toLocalFile();
    QCOMPARE(opened, expectedPath.isEmpty() ? QStringList() : QStringList{expectedPath});
    QCOMPARE(boxes.shown.size(), expectedBox.isEmpty() ? 0 : 1);
    if (!expectedBox.isEmpty()) {
        const RecordingMessageBoxes::Shown &box = boxes.shown.first();
        QCOMPARE(box.text, expectedBox);
        // The missing help is a notice of the main window; a failure is the program's.
        QCOMPARE(box.icon, viewerStarts ? MessageIcon::Information : MessageIcon::None);
        QCOMPARE(box.title, viewerStarts ? MainCaption : QStringLiteral("VantorMsgBoard"));
    }
}

void TestHelpMenu::showMakerWebPage_opensTheMakersAddress()
{
    UrlRecorder browser(QStringLiteral("https"));
    ShowMakerWebPage();
    QCOMPARE(browser.urls, QList<QUrl>{QUrl(QStringLiteral("https://www.vantor.example/"))});
}

QTEST_MAIN(TestHelpMenu)
#include "tst_helpmenu.moc"
