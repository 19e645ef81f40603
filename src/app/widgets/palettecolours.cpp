#include "palettecolours.h"

#include <algorithm>
#include <cmath>

namespace Tunesmith
{

namespace PaletteColours
{

namespace
{

// Below this a colour is replaced; the program's colours all reach it on the light palettes they were made for.
constexpr double keptContrast = 3.0;

double channel(double value)
{
    return value <= 0.04045 ? value / 12.92 : std::pow((value + 0.055) / 1.055, 2.4);
}

double luminance(const QColor &colour)
{
    const QColor rgb = colour.toRgb();
    return 0.2126 * channel(rgb.redF()) + 0.7152 * channel(rgb.greenF()) + 0.0722 * channel(rgb.blueF());
}

} // namespace

double contrast(const QColor &a, const QColor &b)
{
    const double la = luminance(a);
    const double lb = luminance(b);
    return (std::max(la, lb) + 0.05) / (std::min(la, lb) + 0.05);
}

bool isDark(const QPalette &palette)
{
    return luminance(palette.color(QPalette::WindowText)) > luminance(palette.color(QPalette::Window));
}

QColor readable(const QColor &colour, const QColor &background, double target)
{
    if (contrast(colour, background) >= keptContrast)
        return colour;
    const QColor hsl = colour.toHsl();
    const bool lighten = luminance(background) < 0.18;
    const float step = lighten ? 0.01f : -0.01f;
    for (float lightness = hsl.lightnessF(); lightness >= 0.0f && lightness <= 1.0f; lightness += step) {
        // Rounded to the 8 bits a channel has on screen and in a style sheet, where the contrast counts.
        const QColor exact = QColor::fromHslF(hsl.hslHueF(), hsl.hslSaturationF(), lightness).toRgb();
        const QColor shade(exact.red(), exact.green(), exact.blue());
        if (contrast(shade, background) >= target)
            return shade;
    }
    return lighten ? QColor(Qt::white) : QColor(Qt::black);
}

BoxColours lockedBox(const QPalette &palette)
{
    if (!isDark(palette))
        return {QColor(224, 224, 224), QColor(Qt::black)};
    const QColor window = palette.color(QPalette::Window).toRgb();
    const QColor text = palette.color(QPalette::WindowText).toRgb();
    const auto mix = [](int from, int to) { return from + (to - from) * 12 / 100; };
    return {QColor(mix(window.red(), text.red()), mix(window.green(), text.green()), mix(window.blue(), text.blue())),
            palette.color(QPalette::Text)};
}

} // namespace PaletteColours

} // namespace Tunesmith
