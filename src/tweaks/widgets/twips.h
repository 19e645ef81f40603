#pragma once

#include "app/widgets/twips.h"

#include <QRect>

namespace Tunesmith
{

// The controls are designed in twips, 15 to a pixel at 96 dots per inch; Qt scales the pixels for high DPI.
namespace Twips
{

constexpr int perPixel = twipsPerPixel;

// Twips to pixels, to the nearest pixel (halves away from zero).
constexpr int toPixels(int twips)
{
    return px(twips);
}

// A rectangle given in twips. The edges are rounded rather than the size, so neighbours of a control stay flush.
constexpr QRect rect(int left, int top, int width, int height)
{
    const int x = toPixels(left);
    const int y = toPixels(top);
    return QRect(x, y, toPixels(left + width) - x, toPixels(top + height) - y);
}

} // namespace Twips

} // namespace Tunesmith
