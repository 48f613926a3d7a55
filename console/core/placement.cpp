#include "placement.h"

#include <cmath>

namespace {

// Rounds to the nearest whole number, a half to the even neighbour, without
// depending on the floating-point rounding mode in force.
double RoundHalfToEven(double value)
{
    const double nearest = std::round(value); // halves away from zero
    if (std::abs(value - std::trunc(value)) == 0.5)
        return 2.0 * std::round(value / 2.0);
    return nearest;
}

} // namespace

bool IsOffScreen(QPointF topLeft, QSizeF screen)
{
    return topLeft.x() < -OffScreenMargin || topLeft.x() > screen.width() - OffScreenMargin
        || topLeft.y() < -OffScreenMargin || topLeft.y() > screen.height() - OffScreenMargin;
}

double CentredOffset(double windowExtent, double screenExtent)
{
    return std::trunc(RoundHalfToEven(screenExtent - windowExtent) / 2.0);
}

QPointF PlaceWindow(double left, double top, QSizeF window, QSizeF screen)
{
    const QPointF stored(left, top);
    if (!IsOffScreen(stored, screen))
        return stored;
    return {CentredOffset(window.width(), screen.width()),
            CentredOffset(window.height(), screen.height())};
}

QPoint PixelCorner(QPointF twips)
{
    return {qRound(twips.x() / TwipsPerPixel), qRound(twips.y() / TwipsPerPixel)};
}

QPoint TwipsCorner(QPoint pixels, std::optional<QPointF> restored)
{
    if (restored && PixelCorner(*restored) == pixels)
        return restored->toPoint();
    return pixels * TwipsPerPixel;
}
