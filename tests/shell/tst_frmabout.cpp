#include "frmabout.h"
#include "labelchecks.h"
#include "namedchild.h"

#include <QApplication>
#include <QPointer>
#include <QPushButton>
#include <QSignalSpy>
#include <QTimer>
#include <QtTest>

#include <functional>

namespace {

// Shows the About window over `owner` and runs `whileOpen` on it once it is
// up; a watchdog ends it with -1 should `whileOpen` not close it. Returns the
// window, which is null again once it has been unloaded.
QPointer<frmAbout> ShowAndRun(QWidget *owner, const std::function<void(frmAbout *)> &whileOpen,
                              bool *wasOpen)
{
    QPointer<frmAbout> about;
    QTimer::singleShot(0, owner, [&about, wasOpen, whileOpen] {
        about = qobject_cast<frmAbout *>(QApplication::activeModalWidget());
        *wasOpen = !about.isNull();
        if (about)
            whileOpen(about);
    });
    QTimer::singleShot(5000, owner, [] {
        if (auto *stuck = qobject_cast<QDialog *>(QApplication::activeModalWidget()))
            stuck->done(-1);
    });
    ShowAboutWindow(owner);
    return about;
}

} // namespace

class TestFrmAbout : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void load_makesAFixedDialogWithTheVersion();
    void controls_standAtTheirDesignedPositions_data();
    void controls_standAtTheirDesignedPositions();
    void labels_showTheirWholeTextWithoutOverlap();
    void showAboutWindow_closesAndUnloads_data();
    void showAboutWindow_closesAndUnloads();
    void showAboutWindow_blocksItsOwnerAndCentresOnIt();
};

void TestFrmAbout::load_makesAFixedDialogWithTheVersion()
{
    const frmAbout about(nullptr);
    QCOMPARE(NamedChild<QLabel>(about, "lblVersion")->text(), QStringLiteral("Version 1.0"));
    QCOMPARE(about.windowTitle(), QStringLiteral("About VantorMsgBoard"));
    QCOMPARE(about.windowType(), Qt::Dialog);
    QVERIFY(about.windowFlags().testFlag(Qt::WindowCloseButtonHint));
    QVERIFY(!(about.windowFlags()
              & (Qt::WindowMinMaxButtonsHint | Qt::WindowContextHelpButtonHint)));
    // Client area 7425 x 3255 twips, fixed.
    QCOMPARE(about.minimumSize(), QSize(495, 217));
    QCOMPARE(about.maximumSize(), QSize(495, 217));
    QVERIFY(NamedChild<QPushButton>(about, "cmdOK")->isDefault());
    QCOMPARE(about.focusWidget(), NamedChild<QPushButton>(about, "cmdOK"));
    // Sized to the picture plus its border: 1995 x 765 twips.
    QCOMPARE(NamedChild<QLabel>(about, "picLogo")->contentsRect().size(), QSize(129, 47));
    QCOMPARE(NamedChild<QLabel>(about, "picLogo")->size(), QSize(133, 51));
}

void TestFrmAbout::controls_standAtTheirDesignedPositions_data()
{
    QTest::addColumn<QString>("control");
    QTest::addColumn<QPoint>("topLeft");
    QTest::newRow("picLogo at 180, 150") << QStringLiteral("picLogo") << QPoint(12, 10);
    QTest::newRow("Label1") << QStringLiteral("Label1") << QPoint(186, 4);
    QTest::newRow("lblVersion") << QStringLiteral("lblVersion") << QPoint(281, 62);
    QTest::newRow("lblDescription") << QStringLiteral("lblDescription") << QPoint(191, 93);
    QTest::newRow("Label3") << QStringLiteral("Label3") << QPoint(12, 70);
    QTest::newRow("Label6 after the gap") << QStringLiteral("Label6") << QPoint(12, 124);
    QTest::newRow("Label7 at 2080, rounded up") << QStringLiteral("Label7") << QPoint(12, 139);
    QTest::newRow("Label8 at 2300, rounded down") << QStringLiteral("Label8") << QPoint(12, 153);
    QTest::newRow("cmdOK") << QStringLiteral("cmdOK") << QPoint(380, 144);
    QTest::newRow("Label2") << QStringLiteral("Label2") << QPoint(12, 191);
}

void TestFrmAbout::controls_standAtTheirDesignedPositions()
{
    QFETCH(QString, control);
    QFETCH(QPoint, topLeft);
    const frmAbout about(nullptr);
    const auto *widget = about.findChild<QWidget *>(control);
    QVERIFY(widget);
    QCOMPARE(widget->pos(), topLeft);
}

void TestFrmAbout::labels_showTheirWholeTextWithoutOverlap()
{
    const frmAbout about(nullptr);
    VerifyNoLabelClipped(&about);
    VerifyArial(NamedChild<QLabel>(about, "Label1")->font());
    // The contact block: one column under the logo, each line below the last.
    QList<const QLabel *> column;
    for (const char *name : {"picLogo", "Label3", "Label4", "Label5", "Label6", "Label7", "Label8", "Label9", "Label2"})
        column.append(NamedChild<QLabel>(about, name));
    for (qsizetype i = 1; i < column.size(); ++i) {
        QCOMPARE(column[i]->x(), 12);
        QVERIFY2(column[i - 1]->geometry().bottom() < column[i]->y(),
                 qPrintable(column[i]->objectName()));
    }
    QCOMPARE(NamedChild<QLabel>(about, "Label8")->width(), 170); // word wrap keeps the designed width
}

void TestFrmAbout::showAboutWindow_closesAndUnloads_data()
{
    QTest::addColumn<QString>("how");
    QTest::newRow("click on OK") << QStringLiteral("click");
    QTest::newRow("Enter") << QStringLiteral("enter");
    QTest::newRow("Return") << QStringLiteral("return");
    QTest::newRow("Escape") << QStringLiteral("escape");
    QTest::newRow("close box") << QStringLiteral("close");
}

void TestFrmAbout::showAboutWindow_closesAndUnloads()
{
    QFETCH(QString, how);
    QWidget owner;
    owner.show();
    int result = 0;
    bool wasOpen = false;
    QString version;
    const QPointer<frmAbout> about = ShowAndRun(&owner, [&](frmAbout *shown) {
        version = NamedChild<QLabel>(*shown, "lblVersion")->text();
        connect(shown, &QDialog::finished, &owner, [&result](int code) { result = code; });
        const QHash<QString, Qt::Key> keys{{QStringLiteral("enter"), Qt::Key_Enter},
                                           {QStringLiteral("return"), Qt::Key_Return},
                                           {QStringLiteral("escape"), Qt::Key_Escape}};
        if (how == QStringLiteral("click"))
            QTest::mouseClick(NamedChild<QPushButton>(*shown, "cmdOK"), Qt::LeftButton);
        else if (how == QStringLiteral("close"))
            shown->close();
        else
            QTest::keyClick(shown, keys.value(how));
    }, &wasOpen);
    QVERIFY(wasOpen);
    QCOMPARE(version, QStringLiteral("Version 1.0"));
    QVERIFY(result != -1);       // closed by the operator, not by the watchdog
    QVERIFY(about.isNull());     // and unloaded: the next show loads a fresh one
}

void TestFrmAbout::showAboutWindow_blocksItsOwnerAndCentresOnIt()
{
    QWidget owner;
    owner.setGeometry(60, 80, 640, 420);
    auto *ownerButton = new QPushButton(QStringLiteral("Send"), &owner);
    owner.show();
    QVERIFY(QTest::qWaitForWindowExposed(&owner));
    QSignalSpy ownerClicks(ownerButton, &QPushButton::clicked);
    // Through the window system, where modality filters input.
    const auto clickOwnerButton = [&owner, ownerButton] {
        QTest::mouseClick(owner.windowHandle(), Qt::LeftButton, {},
                          ownerButton->geometry().center());
    };

    bool wasOpen = false;
    QPoint offCentre;
    ShowAndRun(&owner, [&](frmAbout *about) {
        offCentre = about->frameGeometry().center() - owner.frameGeometry().center();
        clickOwnerButton();
        NamedChild<QPushButton>(*about, "cmdOK")->click();
    }, &wasOpen);
    QVERIFY(wasOpen);
    QVERIFY(offCentre.manhattanLength() <= 2);
    QCOMPARE(ownerClicks.count(), 0);

    clickOwnerButton(); // the owner takes input again
    QCOMPARE(ownerClicks.count(), 1);
}

QTEST_MAIN(TestFrmAbout)
#include "tst_frmabout.moc"
