#pragma once

#include <QFont>
#include <QRect>
#include <QString>
#include <QWidget>

namespace Tunesmith
{

// Window layouts are given in twips; at 96 dots per inch 15 twips make one pixel, and Qt scales pixels on
// high-DPI screens.
constexpr int twipsPerPixel = 15;

constexpr int px(int twips)
{
    return (twips >= 0 ? twips + twipsPerPixel / 2 : twips - twipsPerPixel / 2) / twipsPerPixel;
}

inline QRect twipsRect(int left, int top, int width, int height)
{
    return QRect(px(left), px(top), px(width), px(height));
}

// A named font at a point size; Qt falls back to a font the system has when the family is missing.
inline QFont namedFont(const QString &family, double pointSize, bool bold = false)
{
    QFont font(family);
    font.setPointSizeF(pointSize);
    font.setBold(bold);
    font.setStyleHint(QFont::SansSerif);
    return font;
}

// A child widget of a window's layout: its object name and place.
template<typename T>
T *child(QWidget *parent, const char *name, const QRect &geometry)
{
    auto *widget = new T(parent);
    widget->setObjectName(QLatin1String(name));
    widget->setGeometry(geometry);
    return widget;
}

} // namespace Tunesmith
