#include "ledpanel.h"

#include "dotfont.h"

#include <QEvent>
#include <QPainter>
#include <QRadialGradient>
#include <QTimer>

#include <algorithm>

namespace {

constexpr int PreferredPitch = 8;  // pixels from one LED centre to the next
constexpr int SmallestPitch = 3;
constexpr int BezelPitches = 1;    // dark border around the matrix, in pitches

const QColor Housing(16, 16, 16);
const QColor DarkLed(40, 22, 12);
const QColor AmberLed(255, 168, 32);

QColor Mix(const QColor &from, const QColor &to, double amount)
{
    const auto channel = [amount](int a, int b) { return qRound(a + (b - a) * amount); };
    return QColor(channel(from.red(), to.red()), channel(from.green(), to.green()),
                  channel(from.blue(), to.blue()));
}

} // namespace

LedPanel::LedPanel(QWidget *parent)
    : QWidget(parent)
    , m_crawlTimer(new QTimer(this))
{
    setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Fixed);
    setAttribute(Qt::WA_OpaquePaintEvent);
    connect(m_crawlTimer, &QTimer::timeout, this, &LedPanel::stepCrawl);
}

void LedPanel::setContent(const QString &message, int presentationIndex, int brightness)
{
    m_columns = DotFont::textColumns(message);
    m_presentation = Panel::presentationFromIndex(presentationIndex);
    m_intensity = Panel::ledIntensity(brightness);
    // Every new string starts its crawl from the right edge again.
    m_crawlStep = 0;
    const int interval = Panel::crawlStepIntervalMs(m_presentation);
    if (interval > 0)
        m_crawlTimer->start(interval);
    else
        m_crawlTimer->stop();
    update();
}

bool LedPanel::isLit(int column, int row) const
{
    const qsizetype index = column - messageOffset();
    if (column < 0 || column >= Panel::Columns || row < 0 || row >= DotFont::GlyphRows || index < 0
        || index >= m_columns.size())
        return false;
    return (m_columns.at(index) >> row) & 1;
}

bool LedPanel::isCrawling() const
{
    return m_crawlTimer->isActive();
}

QSize LedPanel::sizeHint() const
{
    return QSize((Panel::Columns + 2 * BezelPitches) * PreferredPitch,
                 (DotFont::GlyphRows + 2 * BezelPitches) * PreferredPitch);
}

QSize LedPanel::minimumSizeHint() const
{
    return QSize((Panel::Columns + 2 * BezelPitches) * SmallestPitch,
                 (DotFont::GlyphRows + 2 * BezelPitches) * PreferredPitch);
}

LedPanel::Geometry LedPanel::geometry() const
{
    Geometry g;
    g.pitch = std::max(SmallestPitch, std::min(width() / (Panel::Columns + 2 * BezelPitches),
                                               height() / (DotFont::GlyphRows + 2 * BezelPitches)));
    const QSize matrix(Panel::Columns * g.pitch, DotFont::GlyphRows * g.pitch);
    const int bezel = g.pitch * BezelPitches;
    g.face = QRect((width() - matrix.width()) / 2 - bezel, (height() - matrix.height()) / 2 - bezel,
                   matrix.width() + 2 * bezel, matrix.height() + 2 * bezel);
    g.firstCentre = QPointF(g.face.left() + bezel + g.pitch / 2.0, g.face.top() + bezel + g.pitch / 2.0);
    return g;
}

void LedPanel::renderSprites(const Geometry &g)
{
    const qreal ratio = devicePixelRatioF();
    const double radius = g.pitch * 0.36;

    m_darkFace = QPixmap(size() * ratio);
    m_darkFace.setDevicePixelRatio(ratio);
    m_darkFace.fill(palette().window().color());
    {
        QPainter painter(&m_darkFace);
        painter.setRenderHint(QPainter::Antialiasing);
        painter.setPen(Qt::NoPen);
        painter.setBrush(Housing);
        painter.drawRoundedRect(g.face, g.pitch / 2.0, g.pitch / 2.0);
        painter.setBrush(DarkLed);
        for (int column = 0; column < Panel::Columns; ++column) {
            for (int row = 0; row < DotFont::GlyphRows; ++row)
                painter.drawEllipse(g.firstCentre + QPointF(column * g.pitch, row * g.pitch), radius, radius);
        }
    }

    // The lit LED with its halo, which makes bright boards glow the way real
    // LEDs do, centred in a square of two pitches.
    const QColor lit = Mix(DarkLed, AmberLed, m_intensity);
    QColor halo = lit;
    halo.setAlphaF(0.35 * m_intensity);
    m_litLed = QPixmap(QSize(2 * g.pitch, 2 * g.pitch) * ratio);
    m_litLed.setDevicePixelRatio(ratio);
    m_litLed.fill(Qt::transparent);
    {
        QPainter painter(&m_litLed);
        painter.setRenderHint(QPainter::Antialiasing);
        painter.setPen(Qt::NoPen);
        const QPointF centre(g.pitch, g.pitch);
        QRadialGradient glow(centre, g.pitch * 0.7);
        glow.setColorAt(0.0, halo);
        glow.setColorAt(1.0, Qt::transparent);
        painter.setBrush(glow);
        painter.drawEllipse(centre, g.pitch * 0.7, g.pitch * 0.7);
        painter.setBrush(lit);
        painter.drawEllipse(centre, radius, radius);
    }
    m_spriteSize = size();
    m_spriteIntensity = m_intensity;
}

void LedPanel::paintEvent(QPaintEvent *)
{
    const Geometry g = geometry();
    if (m_spriteSize != size() || m_spriteIntensity != m_intensity)
        renderSprites(g);

    QPainter painter(this);
    painter.drawPixmap(0, 0, m_darkFace);
    const QPointF toCorner(g.pitch, g.pitch);
    for (int column = 0; column < Panel::Columns; ++column) {
        for (int row = 0; row < DotFont::GlyphRows; ++row) {
            if (isLit(column, row))
                painter.drawPixmap(g.firstCentre + QPointF(column * g.pitch, row * g.pitch) - toCorner, m_litLed);
        }
    }
}

void LedPanel::changeEvent(QEvent *event)
{
    // The face is drawn on the window colour; a new palette needs a new face.
    if (event->type() == QEvent::PaletteChange)
        m_spriteSize = QSize();
    QWidget::changeEvent(event);
}

void LedPanel::stepCrawl()
{
    ++m_crawlStep;
    update();
}

int LedPanel::messageOffset() const
{
    const auto textColumns = static_cast<int>(m_columns.size());
    if (Panel::isCrawl(m_presentation))
        return Panel::crawlOffset(m_crawlStep, textColumns, Panel::Columns);
    return Panel::justifiedOffset(m_presentation, textColumns, Panel::Columns);
}
