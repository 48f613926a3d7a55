#include "dotfont.h"
#include "panelmodel.h"
#include "signdecoder.h"

#include <QTest>

using Panel::Presentation;

class TestPanelModel : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void drawsGlyphsAsColumns();
    void fallsBackForUnknownCharacters();
    void spacesCharacters_data();
    void spacesCharacters();
    void justifies_data();
    void justifies();
    void crawlsAtThreeSpeeds();
    void crawlsInFromTheRightAndAgain();
    void mapsBrightnessToIntensity();
    void keepsWhatAStringLeavesOut();
};

namespace {

// The glyph as seven rows of '#' and '.', top row first.
QStringList Picture(const DotFont::Glyph &glyph)
{
    QStringList rows;
    for (int row = 0; row < DotFont::GlyphRows; ++row) {
        QString line;
        for (const std::uint8_t column : glyph)
            line.append((column >> row) & 1 ? u'#' : u'.');
        rows.append(line);
    }
    return rows;
}

} // namespace

void TestPanelModel::drawsGlyphsAsColumns()
{
    QCOMPARE(Picture(DotFont::glyph(u'A')),
             (QStringList {".###.", "#...#", "#...#", "#...#", "#####", "#...#", "#...#"}));
    QCOMPARE(Picture(DotFont::glyph(u'L')),
             (QStringList {"#....", "#....", "#....", "#....", "#....", "#....", "#####"}));
    QCOMPARE(Picture(DotFont::glyph(u'7')),
             (QStringList {"#####", "....#", "...#.", "..#..", ".#...", ".#...", ".#..."}));
    // Column form: bit 0 is the top row.
    QCOMPARE(DotFont::glyph(u'I'), (DotFont::Glyph {0x00, 0x41, 0x7F, 0x41, 0x00}));
    QCOMPARE(DotFont::glyph(u' '), DotFont::Glyph {});

    // Every printable ASCII character has a glyph of its own.
    const DotFont::Glyph box = DotFont::glyph(QChar(0x01));
    for (char16_t code = 0x21; code < 0x7F; ++code)
        QVERIFY2(DotFont::glyph(QChar(code)) != box, qPrintable(QString(QChar(code))));
}

void TestPanelModel::fallsBackForUnknownCharacters()
{
    QCOMPARE(DotFont::glyph(u'É'), DotFont::glyph(u'E'));
    QCOMPARE(DotFont::glyph(u'ñ'), DotFont::glyph(u'n'));
    QVERIFY(DotFont::glyph(u'€') != DotFont::glyph(QChar(0x01)));
    QCOMPARE(Picture(DotFont::glyph(QChar(0x4E2D))),
             (QStringList {"#####", "#...#", "#...#", "#...#", "#...#", "#...#", "#####"}));
}

void TestPanelModel::spacesCharacters_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<int>("columns");
    QTest::newRow("empty") << "" << 0;
    QTest::newRow("one") << "A" << 5;
    QTest::newRow("two") << "AB" << 11;
    QTest::newRow("sixteen fill the panel") << "0123456789ABCDEF" << 95;
}

void TestPanelModel::spacesCharacters()
{
    QFETCH(QString, text);
    QFETCH(int, columns);
    const QList<std::uint8_t> dots = DotFont::textColumns(text);
    QCOMPARE(dots.size(), columns);
    for (qsizetype gap = 5; gap < dots.size(); gap += 6)
        QCOMPARE(dots.at(gap), std::uint8_t(0));
    if (text.size() >= 2) {
        const DotFont::Glyph second = DotFont::glyph(text.at(1));
        QCOMPARE(dots.mid(6, 5), QList<std::uint8_t>(second.begin(), second.end()));
    }
}

void TestPanelModel::justifies_data()
{
    QTest::addColumn<int>("presentation");
    QTest::addColumn<int>("textColumns");
    QTest::addColumn<int>("offset");

    QTest::newRow("left") << 0 << 29 << 0;
    QTest::newRow("right") << 1 << 29 << 67;
    QTest::newRow("centre, even spare") << 2 << 30 << 33;
    QTest::newRow("centre, odd spare goes right") << 2 << 29 << 33;
    QTest::newRow("right, exactly full") << 1 << 96 << 0;
    QTest::newRow("left, too wide: cut on the right") << 0 << 101 << 0;
    QTest::newRow("right, too wide: cut on the left") << 1 << 101 << -5;
    QTest::newRow("centre, too wide by odd: extra cut right") << 2 << 101 << -3;
    QTest::newRow("centre, too wide by even") << 2 << 100 << -2;
    QTest::newRow("none selected shows left") << -1 << 29 << 0;
    QTest::newRow("unknown index shows left") << 9 << 29 << 0;
}

void TestPanelModel::justifies()
{
    QFETCH(int, presentation);
    QFETCH(int, textColumns);
    QFETCH(int, offset);
    QCOMPARE(Panel::justifiedOffset(Panel::presentationFromIndex(presentation), textColumns, Panel::Columns),
             offset);
    QVERIFY(!Panel::isCrawl(Panel::presentationFromIndex(presentation)));
}

void TestPanelModel::crawlsAtThreeSpeeds()
{
    const int slow = Panel::crawlStepIntervalMs(Presentation::SlowCrawl);
    const int medium = Panel::crawlStepIntervalMs(Presentation::MediumCrawl);
    const int fast = Panel::crawlStepIntervalMs(Presentation::FastCrawl);
    QVERIFY(fast > 0);
    // Each speed at least half again as fast as the one below, so that an
    // operator can tell them apart.
    QVERIFY(slow >= medium * 3 / 2);
    QVERIFY(medium >= fast * 3 / 2);
    QVERIFY(Panel::isCrawl(Panel::presentationFromIndex(3)));
    QVERIFY(Panel::isCrawl(Panel::presentationFromIndex(5)));
    QCOMPARE(Panel::crawlStepIntervalMs(Presentation::Center), 0);
}

void TestPanelModel::crawlsInFromTheRightAndAgain()
{
    const int text = 29;
    const int panel = Panel::Columns;
    QCOMPARE(Panel::crawlOffset(0, text, panel), panel);          // just beyond the right edge
    QCOMPARE(Panel::crawlOffset(1, text, panel), panel - 1);      // first column shows
    QCOMPARE(Panel::crawlOffset(panel, text, panel), 0);          // at the left edge
    QCOMPARE(Panel::crawlOffset(panel + text - 1, text, panel), -(text - 1));  // last column shows
    QCOMPARE(Panel::crawlOffset(panel + text, text, panel), panel);            // and again
    QCOMPARE(Panel::crawlOffset(3 * (panel + text) + 7, text, panel), panel - 7);
    QCOMPARE(Panel::crawlOffset(0, 0, panel), panel);
}

void TestPanelModel::mapsBrightnessToIntensity()
{
    QCOMPARE(Panel::ledIntensity(99), 1.0);
    QVERIFY(Panel::ledIntensity(0) > 0.05);
    QVERIFY(Panel::ledIntensity(0) < 0.2);
    QCOMPARE(Panel::ledIntensity(-5), Panel::ledIntensity(0));
    QCOMPARE(Panel::ledIntensity(150), Panel::ledIntensity(99));
    for (int brightness = 1; brightness <= 99; ++brightness)
        QVERIFY(Panel::ledIntensity(brightness) > Panel::ledIntensity(brightness - 1));
    // Brightness 10 and 99 must look clearly different.
    QVERIFY(Panel::ledIntensity(99) > 3 * Panel::ledIntensity(10));
}

void TestPanelModel::keepsWhatAStringLeavesOut()
{
    Panel::BoardState state;
    QCOMPARE(state.brightness, 99);
    state.apply(SignCommand {7, 2, 75, QStringLiteral("HELLO"), {}});
    state.apply(SignCommand {7, std::nullopt, 10, std::nullopt, {}});
    QCOMPARE(state.board, 7);
    QCOMPARE(state.presentationIndex, 2);
    QCOMPARE(state.brightness, 10);
    QCOMPARE(state.message, QStringLiteral("HELLO"));
    state.apply(SignCommand {7, 5, std::nullopt, QString(), {}});
    QCOMPARE(state.presentationIndex, 5);
    QCOMPARE(state.message, QString());
    QCOMPARE(Panel::presentationName(5), QStringLiteral("Fast crawl from Right"));
    QCOMPARE(Panel::presentationName(-1), QStringLiteral("None"));
}

QTEST_GUILESS_MAIN(TestPanelModel)
#include "tst_panelmodel.moc"
