#pragma once

// Window units: positions and sizes in twips, 1/1440 of a logical inch.

#include <QRect>
#include <QSize>

// Qt 6 reports 96 logical dots per inch on every screen, high-DPI ones
// included (it scales device pixels underneath), so a logical pixel is always
// 1440 / 96 twips.
constexpr int TwipsPerPixel = 15;

// Nearest whole logical pixel; halves round away from zero.
[[nodiscard]] constexpr int TwipsToPixels(int twips)
{
    constexpr int Half = TwipsPerPixel / 2;
    return twips >= 0 ? (twips + Half) / TwipsPerPixel : -((-twips + Half) / TwipsPerPixel);
}

[[nodiscard]] constexpr QSize TwipsSize(int width, int height)
{
    return {TwipsToPixels(width), TwipsToPixels(height)};
}

[[nodiscard]] constexpr QRect TwipsRect(int left, int top, int width, int height)
{
    return {TwipsToPixels(left), TwipsToPixels(top), TwipsToPixels(width), TwipsToPixels(height)};
}
