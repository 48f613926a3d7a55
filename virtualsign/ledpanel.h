#pragma once

#include "panelmodel.h"

#include <QList>
#include <QPixmap>
#include <QRect>
#include <QWidget>

#include <cstdint>

class QTimer;

// One board's face: a matrix of round LEDs, Panel::Columns wide and seven
// rows high, showing a message in the dot font, still or crawling.
class LedPanel : public QWidget
{
    Q_OBJECT

public:
    explicit LedPanel(QWidget *parent = nullptr);

    void setContent(const QString &message, int presentationIndex, int brightness);

    // Whether the LED at a panel column and row (0 = top) is lit right now.
    [[nodiscard]] bool isLit(int column, int row) const;
    [[nodiscard]] bool isCrawling() const;

    [[nodiscard]] QSize sizeHint() const override;
    [[nodiscard]] QSize minimumSizeHint() const override;

protected:
    void paintEvent(QPaintEvent *event) override;
    void changeEvent(QEvent *event) override;

private:
    // Where the matrix sits in the widget at its current size.
    struct Geometry
    {
        int pitch = 0;
        QRect face;
        QPointF firstCentre;
    };

    void stepCrawl();
    [[nodiscard]] int messageOffset() const;
    [[nodiscard]] Geometry geometry() const;
    // The dark face and one lit LED are drawn once per size and brightness;
    // a crawl step then only stamps the lit LEDs onto the face.
    void renderSprites(const Geometry &geometry);

    QTimer *const m_crawlTimer;
    QList<std::uint8_t> m_columns;
    Panel::Presentation m_presentation = Panel::Presentation::LeftJustify;
    double m_intensity = Panel::ledIntensity(99);
    qint64 m_crawlStep = 0;

    QPixmap m_darkFace;
    QPixmap m_litLed;
    QSize m_spriteSize;
    double m_spriteIntensity = -1;
};
