#include "placement.h"

#include <QTest>

namespace {
// A 1920 x 1080 pixel screen and the main window's designed size, in twips.
const QSizeF Screen(1920.0 * TwipsPerPixel, 1080.0 * TwipsPerPixel);
const QSizeF Window(10290, 2070);
const double CentredLeft = (28800 - 10290) / 2; // 9255
const double CentredTop = (16200 - 2070) / 2;   // 7065
} // namespace

class TestPlacement : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void placeWindow_data();
    void placeWindow();
    void centredOffset_data();
    void centredOffset();
    void unmovedWindowGivesBackStoredCorner_data();
    void unmovedWindowGivesBackStoredCorner();
};

void TestPlacement::placeWindow_data()
{
    QTest::addColumn<double>("left");
    QTest::addColumn<double>("top");
    QTest::addColumn<QPointF>("expected");

    const double w = Screen.width();
    const double h = Screen.height();
    const QPointF centred(CentredLeft, CentredTop);

    QTest::newRow("first run: no stored position") << -401.0 << -401.0 << centred;
    QTest::newRow("top-left limit kept") << -400.0 << -400.0 << QPointF(-400, -400);
    QTest::newRow("just beyond the left limit centres both")
        << -401.0 << 0.0 << centred;
    QTest::newRow("just beyond the top limit centres both")
        << 0.0 << -401.0 << centred;
    QTest::newRow("a fraction beyond the left limit") << -400.5 << 100.0 << centred;
    QTest::newRow("right limit kept") << w - 400 << 0.0 << QPointF(w - 400, 0);
    QTest::newRow("past the right limit") << w - 399 << 0.0 << centred;
    QTest::newRow("bottom limit kept") << 0.0 << h - 400 << QPointF(0, h - 400);
    QTest::newRow("past the bottom limit") << 0.0 << h - 399 << centred;
    QTest::newRow("bottom-right limit kept") << w - 400 << h - 400 << QPointF(w - 400, h - 400);
    QTest::newRow("ordinary place kept") << 1500.0 << 900.0 << QPointF(1500, 900);
    QTest::newRow("fraction kept") << 3.5 << 0.0 << QPointF(3.5, 0);
    QTest::newRow("on a second screen to the right") << w + 100 << 300.0 << centred;
    QTest::newRow("save default") << -500.0 << -500.0 << centred;
}

void TestPlacement::placeWindow()
{
    QFETCH(double, left);
    QFETCH(double, top);
    QFETCH(QPointF, expected);

    const QPointF placed = PlaceWindow(left, top, Window, Screen);
    QCOMPARE(placed.x(), expected.x());
    QCOMPARE(placed.y(), expected.y());
}

// One axis of the centring: the free room (screen minus window) is rounded,
// halves to even, then halved toward zero.
void TestPlacement::centredOffset_data()
{
    QTest::addColumn<double>("room");
    QTest::addColumn<double>("expected");

    QTest::newRow("odd room") << 901.0 << 450.0;
    QTest::newRow("even room") << 900.0 << 450.0;
    QTest::newRow("half rounds down to even") << 900.5 << 450.0;
    QTest::newRow("half rounds up to even") << 901.5 << 451.0;
    QTest::newRow("below a half") << 901.4 << 450.0;
    QTest::newRow("above a half") << 900.6 << 450.0;
    QTest::newRow("above a half, odd") << 902.6 << 451.0;
    QTest::newRow("above a half rounds up") << 901.6 << 451.0;
    QTest::newRow("no room") << 0.0 << 0.0;
    QTest::newRow("window wider by 301") << -301.0 << -150.0;
    QTest::newRow("window wider by 300.5") << -300.5 << -150.0;
    QTest::newRow("window wider by 301.5") << -301.5 << -151.0;
    QTest::newRow("window wider by 301.6") << -301.6 << -151.0;
    QTest::newRow("window wider by 1") << -1.0 << 0.0;
}

void TestPlacement::centredOffset()
{
    QFETCH(double, room);
    QFETCH(double, expected);

    const double screen = 20000.0;
    QCOMPARE(CentredOffset(screen - room, screen), expected);

    // Both axes follow the same rule when a window is placed off screen.
    const QPointF placed =
        PlaceWindow(-401, -401, QSizeF(screen - room, screen - room), QSizeF(screen, screen));
    QCOMPARE(placed.x(), expected);
    QCOMPARE(placed.y(), expected);
}

void TestPlacement::unmovedWindowGivesBackStoredCorner_data()
{
    QTest::addColumn<QPointF>("stored");

    QTest::newRow("top-left limit") << QPointF(-400, -400);
    QTest::newRow("odd negative twips") << QPointF(-389, -7);
    QTest::newRow("odd twips on screen") << QPointF(1001, 13);
    QTest::newRow("whole pixels") << QPointF(1500, 900);
    QTest::newRow("half a pixel") << QPointF(7.5 * TwipsPerPixel, 22.5 * TwipsPerPixel);
    QTest::newRow("origin") << QPointF(0, 0);
}

void TestPlacement::unmovedWindowGivesBackStoredCorner()
{
    QFETCH(QPointF, stored);

    const QPoint pixels = PixelCorner(stored);
    // The pixel is the nearest one to the stored corner.
    QVERIFY(qAbs(pixels.x() * TwipsPerPixel - stored.x()) <= TwipsPerPixel / 2.0);
    QVERIFY(qAbs(pixels.y() * TwipsPerPixel - stored.y()) <= TwipsPerPixel / 2.0);
    // Restore then save gives the stored corner back...
    QCOMPARE(TwipsCorner(pixels, stored), stored.toPoint());
    // ...while a window moved by one pixel, or one that was centred rather
    // than restored, saves where it stands.
    const QPoint moved = pixels + QPoint(1, 0);
    QCOMPARE(TwipsCorner(moved, stored), moved * TwipsPerPixel);
    QCOMPARE(TwipsCorner(pixels, std::nullopt), pixels * TwipsPerPixel);
}

QTEST_GUILESS_MAIN(TestPlacement)
#include "tst_placement.moc"
