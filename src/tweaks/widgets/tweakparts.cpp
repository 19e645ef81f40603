#include "tweakparts.h"

#include <QPainter>
#include <QStyle>
#include <QStyleOptionButton>
#include <QStyleOptionFocusRect>

#include <algorithm>

namespace Tunesmith
{

QFont tweakControlFont()
{
    QFont font;
    font.setFamilies({QStringLiteral("Verdana"), QStringLiteral("DejaVu Sans")});
    font.setPointSizeF(8.25);
    return font;
}

QFont headingFont()
{
    QFont font;
    font.setFamilies(
        {QStringLiteral("Century Gothic"), QStringLiteral("URW Gothic"), QStringLiteral("TeX Gyre Adventor")});
    font.setPointSizeF(12);
    font.setBold(true);
    return font;
}

ColorMarker::ColorMarker(const QColor &colour, QWidget *parent)
    : QWidget(parent)
    , m_colour(colour)
{
    // A marker is only paint: clicks on its rim go to the control, as on a drawn shape.
    setAttribute(Qt::WA_TransparentForMouseEvents);
}

void ColorMarker::setFilled(bool filled)
{
    if (m_filled == filled)
        return;
    m_filled = filled;
    update();
}

void ColorMarker::paintEvent(QPaintEvent *)
{
    QPainter painter(this);
    painter.setPen(m_colour);
    painter.setBrush(m_filled ? QBrush(m_colour) : QBrush(Qt::NoBrush));
    painter.drawRect(rect().adjusted(0, 0, -1, -1));
}

OptionButton::OptionButton(QWidget *parent)
    : QRadioButton(parent)
{
    // The control keeps the two buttons exclusive through its model; an auto-exclusive pair could never show
    // the "none selected" of a new tweak.
    setAutoExclusive(false);
}

void OptionButton::setBackground(const QColor &colour)
{
    if (m_background == colour)
        return;
    m_background = colour;
    update();
}

void OptionButton::paintEvent(QPaintEvent *)
{
    QPainter painter(this);
    painter.fillRect(rect(), m_background);

    QStyleOptionButton option;
    initStyleOption(&option);
    const int indicator = style()->pixelMetric(QStyle::PM_ExclusiveIndicatorWidth, &option, this);
    const int side = std::min({indicator, width(), height()});
    option.rect = QRect(0, 0, side, side);
    option.rect.moveCenter(rect().center());
    style()->drawPrimitive(QStyle::PE_IndicatorRadioButton, &option, &painter, this);

    // Without a caption the style has nowhere to draw the focus, so it goes round the whole button.
    if (hasFocus()) {
        QStyleOptionFocusRect focus;
        focus.initFrom(this);
        focus.rect = rect();
        focus.backgroundColor = m_background;
        style()->drawPrimitive(QStyle::PE_FrameFocusRect, &focus, &painter, this);
    }
}

bool OptionButton::hitButton(const QPoint &pos) const
{
    return rect().contains(pos);
}

void OptionButton::nextCheckState()
{
    // The model decides what is selected; the control shows it when the model reports the change.
}

} // namespace Tunesmith
