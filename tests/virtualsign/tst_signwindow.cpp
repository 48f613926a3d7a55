#include "boardview.h"
#include "ledpanel.h"
#include "signwindow.h"

#include <QImage>
#include <QTest>

class TestSignWindow : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void showsBoardsInNumberOrder();
    void placesMessage_data();
    void placesMessage();
    void crawlsAndStops();
    void lightsByBrightness();
    void logsTextAndHex();
};

namespace {

// Panel columns where every row is lit: the stem of an "I".
QList<int> FullColumns(const LedPanel &panel)
{
    QList<int> columns;
    for (int column = 0; column < Panel::Columns; ++column) {
        bool full = true;
        for (int row = 0; row < 7; ++row)
            full = full && panel.isLit(column, row);
        if (full)
            columns.append(column);
    }
    return columns;
}

bool AnyLit(const LedPanel &panel)
{
    for (int column = 0; column < Panel::Columns; ++column) {
        for (int row = 0; row < 7; ++row) {
            if (panel.isLit(column, row))
                return true;
        }
    }
    return false;
}

// How strongly the brightest LED glows amber; the grey surroundings count 0.
int BrightestAmber(QWidget &widget)
{
    const QImage image = widget.grab().toImage();
    int brightest = 0;
    for (int y = 0; y < image.height(); ++y) {
        for (int x = 0; x < image.width(); ++x) {
            const QColor pixel = image.pixelColor(x, y);
            brightest = std::max(brightest, pixel.red() - pixel.blue());
        }
    }
    return brightest;
}

} // namespace

void TestSignWindow::showsBoardsInNumberOrder()
{
    SignWindow window(QStringLiteral("COM5"), QStringLiteral("/dev/pts/9"));
    window.show();
    window.takeBytes("\r12AB\r12D\r3AA\r3D\r40AC\r40D\r3AAA\r3D");
    QVERIFY(window.boardView(3));
    QVERIFY(window.boardView(12));
    QVERIFY(window.boardView(40));
    QVERIFY(!window.boardView(5));
    QCOMPARE(window.boardView(3)->state().message, QStringLiteral("AA"));
    QTRY_VERIFY(window.boardView(3)->y() < window.boardView(12)->y());
    QVERIFY(window.boardView(12)->y() < window.boardView(40)->y());
}

void TestSignWindow::placesMessage_data()
{
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<QList<int>>("stems");

    QTest::newRow("left") << QByteArray("\r1C0\r1AI\r1D") << QList<int> {2};
    QTest::newRow("right") << QByteArray("\r1C1\r1AI\r1D") << QList<int> {93};
    QTest::newRow("centre") << QByteArray("\r1C2\r1AI\r1D") << QList<int> {47};
    QTest::newRow("centre, two") << QByteArray("\r1C2\r1AII\r1D") << QList<int> {44, 50};
    QTest::newRow("none selected") << QByteArray("\r1C-1\r1AI\r1D") << QList<int> {2};
    QTest::newRow("empty message") << QByteArray("\r1C0\r1A\r1D") << QList<int> {};
}

void TestSignWindow::placesMessage()
{
    QFETCH(QByteArray, bytes);
    QFETCH(QList<int>, stems);
    SignWindow window(QStringLiteral("COM5"), QStringLiteral("/dev/pts/9"));
    window.takeBytes(bytes);
    const LedPanel &panel = *window.boardView(1)->panel();
    QCOMPARE(FullColumns(panel), stems);
    QVERIFY(!panel.isCrawling());
}

void TestSignWindow::crawlsAndStops()
{
    SignWindow window(QStringLiteral("COM5"), QStringLiteral("/dev/pts/9"));
    window.takeBytes("\r2C5\r2AI\r2D");
    const LedPanel &panel = *window.boardView(2)->panel();
    QVERIFY(panel.isCrawling());
    // It enters from beyond the right edge: dark at first, then lit.
    QVERIFY(!AnyLit(panel));
    QTRY_VERIFY(AnyLit(panel));
    // The steps themselves are the panel model's; here it is enough that the
    // timer moves the lit column leftwards (polling could miss any one step).
    QTRY_VERIFY(!FullColumns(panel).isEmpty());
    const int firstColumn = FullColumns(panel).constFirst();
    QTRY_VERIFY(!FullColumns(panel).isEmpty() && FullColumns(panel).constFirst() < firstColumn);

    window.takeBytes("\r2C0\r2D");
    QVERIFY(!panel.isCrawling());
    QCOMPARE(FullColumns(panel), QList<int> {2});
}

void TestSignWindow::lightsByBrightness()
{
    SignWindow window(QStringLiteral("COM5"), QStringLiteral("/dev/pts/9"));
    window.show();
    window.takeBytes("\r1C0\r1B99\r1AWWWW\r1D");
    auto *const panel = const_cast<LedPanel *>(window.boardView(1)->panel());
    const int bright = BrightestAmber(*panel);
    window.takeBytes("\r1B10\r1D");
    const int dim = BrightestAmber(*panel);
    window.takeBytes("\r1A\r1D");
    const int dark = BrightestAmber(*panel);
    QVERIFY2(bright > dim && dim > dark, qPrintable(QStringLiteral("%1 %2 %3").arg(bright).arg(dim).arg(dark)));
}

void TestSignWindow::logsTextAndHex()
{
    SignWindow window(QStringLiteral("COM5"), QStringLiteral("/dev/pts/9"));
    window.takeBytes("\r7AHI\r7D\r7Q");
    window.takeBytes("\r");
    const QString log = window.logText();
    QVERIFY2(log.contains(QStringLiteral("board 7  \"\\r7AHI\\r7D\"")), qPrintable(log));
    QVERIFY(log.contains(QStringLiteral("hex 0D 37 41 48 49 0D 37 44")));
    QVERIFY(log.contains(QStringLiteral("error: unknown command letter 'Q'  \"\\r7Q\"")));
    QVERIFY(log.contains(QStringLiteral("hex 0D 37 51")));
}

QTEST_MAIN(TestSignWindow)
#include "tst_signwindow.moc"
