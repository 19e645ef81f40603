#pragma once

#include <QColor>
#include <QFont>
#include <QRadioButton>
#include <QWidget>

namespace Tunesmith
{

namespace TweakColours
{
constexpr QColor onMarker(0, 128, 0);
constexpr QColor offMarker(192, 64, 0);
constexpr QColor onSelected(0, 128, 0);
constexpr QColor offSelected(192, 0, 0);
constexpr QColor heading(192, 64, 0);
} // namespace TweakColours

// Verdana 8.25 pt, or the system's nearest sans-serif face where Verdana is missing.
QFont tweakControlFont();
// Century Gothic 12 pt bold, or a geometric look-alike.
QFont headingFont();

// The square marker behind an on/off button: its border always shows in its colour, its inside only while filled.
class ColorMarker : public QWidget
{
    Q_OBJECT
    Q_PROPERTY(bool filled READ filled)
    Q_PROPERTY(QColor colour READ colour)

public:
    ColorMarker(const QColor &colour, QWidget *parent);

    bool filled() const { return m_filled; }
    void setFilled(bool filled);
    QColor colour() const { return m_colour; }

protected:
    void paintEvent(QPaintEvent *event) override;

private:
    QColor m_colour;
    bool m_filled = false;
};

// A caption-less option button whose background colour shows the tweak's state. Its checked state is the
// model's: a click reports itself but never changes the check mark on its own, so clicking the selected button
// keeps it selected and "none selected" is possible.
class OptionButton : public QRadioButton
{
    Q_OBJECT
    Q_PROPERTY(QColor background READ background)
    Q_PROPERTY(int index READ index WRITE setIndex)

public:
    explicit OptionButton(QWidget *parent);

    // The button's place in its control: 1 on, 0 off.
    int index() const { return m_index; }
    void setIndex(int index) { m_index = index; }

    QColor background() const { return m_background; }
    void setBackground(const QColor &colour);

protected:
    void paintEvent(QPaintEvent *event) override;
    bool hitButton(const QPoint &pos) const override;
    void nextCheckState() override;

private:
    QColor m_background;
    int m_index = 0;
};

} // namespace Tunesmith
