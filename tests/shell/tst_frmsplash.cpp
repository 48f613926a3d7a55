#include "frmsplash.h"
#include "labelchecks.h"
#include "namedchild.h"

#include <QFrame>
#include <QScreen>
#include <QtTest>

class TestFrmSplash : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void load_makesABorderlessSplashWithTheVersion();
    void controls_standAtTheirDesignedWindowPositions_data();
    void controls_standAtTheirDesignedWindowPositions();
    void labels_showTheirWholeTextInArial();
    void show_centresOnTheScreenAndIgnoresInput();
};

void TestFrmSplash::load_makesABorderlessSplashWithTheVersion()
{
    const frmSplash splash;
    QCOMPARE(NamedChild<QLabel>(splash, "lblVersion")->text(), QStringLiteral("Version 1.0"));
    QCOMPARE(splash.windowType(), Qt::SplashScreen);
    QVERIFY(splash.windowFlags().testFlag(Qt::FramelessWindowHint));
    // Client area 8280 x 3930 twips; the frame at -15, 45 fills it.
    QCOMPARE(splash.minimumSize(), QSize(552, 262));
    QCOMPARE(splash.maximumSize(), QSize(552, 262));
    QCOMPARE(NamedChild<QFrame>(splash, "fraMainFrame")->geometry(), QRect(-1, 3, 555, 261));
    QCOMPARE(NamedChild<QLabel>(splash, "picLogo")->pixmap().size(), QSize(129, 47));
}

void TestFrmSplash::controls_standAtTheirDesignedWindowPositions_data()
{
    QTest::addColumn<QString>("control");
    QTest::addColumn<QPoint>("topLeft");
    QTest::newRow("picLogo at 615, 465") << QStringLiteral("picLogo") << QPoint(41, 31);
    QTest::newRow("lblCompanyProduct") << QStringLiteral("lblCompanyProduct") << QPoint(220, 40);
    QTest::newRow("lblProductName") << QStringLiteral("lblProductName") << QPoint(41, 97);
    QTest::newRow("lblVersion") << QStringLiteral("lblVersion") << QPoint(44, 182);
    QTest::newRow("lblCopyright") << QStringLiteral("lblCopyright") << QPoint(41, 223);
    QTest::newRow("lblCompany") << QStringLiteral("lblCompany") << QPoint(338, 224);
}

void TestFrmSplash::controls_standAtTheirDesignedWindowPositions()
{
    QFETCH(QString, control);
    QFETCH(QPoint, topLeft);
    const frmSplash splash;
    const auto *label = splash.findChild<QLabel *>(control);
    QVERIFY(label);
    QCOMPARE(label->parentWidget(), NamedChild<QFrame>(splash, "fraMainFrame"));
    QCOMPARE(label->mapTo(&splash, QPoint(0, 0)), topLeft);
}

void TestFrmSplash::labels_showTheirWholeTextInArial()
{
    const frmSplash splash;
    VerifyNoLabelClipped(&splash);
    for (const char *name : {"lblCompanyProduct", "lblProductName", "lblVersion", "lblCopyright", "lblCompany"})
        VerifyArial(NamedChild<QLabel>(splash, name)->font());
}

void TestFrmSplash::show_centresOnTheScreenAndIgnoresInput()
{
    frmSplash splash;
    splash.show();
    QVERIFY(QTest::qWaitForWindowExposed(&splash));
    const QRect placed = splash.frameGeometry();
    QVERIFY((placed.center() - splash.screen()->geometry().center()).manhattanLength() <= 1);

    QTest::mouseClick(splash.windowHandle(), Qt::LeftButton);
    QTest::keyClick(splash.windowHandle(), Qt::Key_Escape);
    QTest::keyClick(splash.windowHandle(), Qt::Key_F4, Qt::AltModifier);

    QVERIFY(splash.isVisible());
    QCOMPARE(splash.frameGeometry(), placed);
}

QTEST_MAIN(TestFrmSplash)
#include "tst_frmsplash.moc"
