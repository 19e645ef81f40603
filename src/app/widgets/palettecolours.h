#pragma once

#include <QColor>
#include <QPalette>

namespace Tunesmith
{

// The program's own colours (markers, headings, dark orange texts, links) on the desktop's palette. They were
// chosen for light windows and are kept wherever they stand out from their background; on a dark palette a colour
// that would not is replaced by a lighter shade of the same hue.
namespace PaletteColours
{

// The contrast ratio of two colours as accessibility guidelines define it: 1 (equal) to 21 (black on white).
double contrast(const QColor &a, const QColor &b);

// True for a dark desktop theme: the palette's window text is lighter than the window.
bool isDark(const QPalette &palette);

// colour itself when its contrast against background is at least 3; otherwise the same hue made lighter (on a dark
// background) or darker (on a light one) until the contrast reaches target.
QColor readable(const QColor &colour, const QColor &background, double target = 4.5);

// The locked, grey text boxes: RGB 224 with black text on a light palette; on a dark one a grey a little lighter
// than the window, with the palette's text colour.
struct BoxColours
{
    QColor background;
    QColor text;
};
BoxColours lockedBox(const QPalette &palette);

} // namespace PaletteColours

} // namespace Tunesmith
