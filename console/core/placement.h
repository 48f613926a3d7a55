#pragma once

// Where the main window opens: the stored top-left corner, unless that would
// put the window off the primary screen, in which case it is centred there.
// All values are twips, 1/1440 of a logical inch.

#include "twips.h"

#include <QPoint>
#include <QPointF>
#include <QSizeF>

#include <optional>

// How far the top-left corner may lie beyond the left or top edge of the
// screen, and how close it may come to its right or bottom edge, before the
// window counts as off screen.
constexpr double OffScreenMargin = 400;

// True when the corner lies outside the rectangle from (-400, -400) to
// (W - 400, H - 400); the edges themselves belong to the rectangle.
[[nodiscard]] bool IsOffScreen(QPointF topLeft, QSizeF screen);

// The corner of a window of extent `window` centred on a screen of extent
// `screen`, one axis: the free room rounded to a whole number (halves to the
// even neighbour), then halved with the remainder dropped toward zero. Negative
// for a window larger than the screen.
[[nodiscard]] double CentredOffset(double windowExtent, double screenExtent);

// The corner at which the window opens: (left, top) as given when on screen,
// otherwise both coordinates centred, even when only one was off.
[[nodiscard]] QPointF PlaceWindow(double left, double top, QSizeF window, QSizeF screen);

// The whole logical pixel that stands for a corner given in twips.
[[nodiscard]] QPoint PixelCorner(QPointF twips);

// The corner in whole twips of a window that stands at `pixels`. A twips
// value need not be a whole number of pixels (-400 twips is 26.7 pixels), so
// a window that still stands where the stored corner `restored` put it
// reports that corner, not its pixels turned back into twips: otherwise
// -400 would be saved as -405, and the next start would centre the window.
[[nodiscard]] QPoint TwipsCorner(QPoint pixels, std::optional<QPointF> restored);
