#pragma once

#include "app/programstate.h"
#include "tweaks/widgets/cvarmulti.h"
#include "tweaks/widgets/cvarsimple.h"
#include "tweaks/widgets/cvartext.h"
#include "tweaks/widgets/lbllabel.h"
#include "tweaks/widgets/tweakparts.h"

#include <QApplication>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QTest>
#include <QWidget>

namespace Tunesmith
{

// A small page with one control of each kind over its own models, as the main window builds them.
struct TweakPage
{
    ProgramState state;
    TweakContext context;
    SimpleTweak simpleModel{1, &context};
    MultiTweak multiModel{2, &context};
    TextTweak textModel{3, &context};
    QWidget window; // after the models: the controls go before their models do
    lblLabel *heading = new lblLabel(1, &window);
    cvarSimple *simple = new cvarSimple(&simpleModel, &window);
    cvarMulti *multi = new cvarMulti(&multiModel, &window);
    cvarText *text = new cvarText(&textModel, &window);

    TweakPage()
    {
        context.state = &state;
        heading->move(10, 10);
        simple->move(10, 40);
        multi->move(10, 70);
        text->move(10, 120);
        window.resize(240, 170);
    }
};

inline QLabel *caption(QWidget *control)
{
    return control->findChild<QLabel *>(QStringLiteral("lblShortDescription"));
}

inline OptionButton *optCVar(QWidget *control, int index)
{
    for (auto *button : control->findChildren<OptionButton *>(QStringLiteral("optCVar"))) {
        if (button->property("index").toInt() == index)
            return button;
    }
    return nullptr;
}

inline ColorMarker *marker(QWidget *control, const char *name)
{
    return control->findChild<ColorMarker *>(QString::fromLatin1(name));
}

inline QComboBox *cmbValue(QWidget *control)
{
    return control->findChild<QComboBox *>(QStringLiteral("cmbValue"));
}

inline QLineEdit *txtValue(QWidget *control)
{
    return control->findChild<QLineEdit *>(QStringLiteral("txtValue"));
}

// An entry of the control's popup menu, which the control builds on first use.
inline QAction *menuEntry(QWidget *control, const char *name)
{
    if (auto *tweak = qobject_cast<TweakControl *>(control))
        tweak->popupMenu();
    return control->findChild<QAction *>(QString::fromLatin1(name));
}

enum class Shown
{
    None,
    On,
    Off,
};

inline QColor pixel(QWidget *widget, QPoint at)
{
    return widget->grab().toImage().pixelColor(at);
}

// The caption paints no background of its own, so an unselected button shows the page, as the caption does.
inline QColor plainBackground(QWidget *control)
{
    QLabel *label = caption(control);
    return label->autoFillBackground() ? label->palette().color(label->backgroundRole()) : QColor(Qt::transparent);
}

// What the player sees of an on/off control, checked on the widgets and on the painted pixels.
inline void verifyShows(cvarSimple *control, Shown shown)
{
    OptionButton *on = optCVar(control, 1);
    OptionButton *off = optCVar(control, 0);
    QCOMPARE(on->isChecked(), shown == Shown::On);
    QCOMPARE(off->isChecked(), shown == Shown::Off);
    QCOMPARE(marker(control, "shpOn")->filled(), shown == Shown::On);
    QCOMPARE(marker(control, "shpOff")->filled(), shown == Shown::Off);
    QCOMPARE(on->background(), shown == Shown::On ? QColor(0, 128, 0) : plainBackground(control));
    QCOMPARE(off->background(), shown == Shown::Off ? QColor(192, 0, 0) : plainBackground(control));

    QWidget *focused = QApplication::focusWidget();
    if (focused)
        focused->clearFocus(); // the focus frame would cover the corners looked at below
    // Column 17, between the two markers, shows the page.
    const QColor page = pixel(control, {17, 8});
    // Just inside each marker's rim, beside its button: the marker's colour when filled, the page's otherwise.
    QCOMPARE(pixel(control, {1, 1}), shown == Shown::On ? QColor(0, 128, 0) : page);
    QCOMPARE(pixel(control, {19, 1}), shown == Shown::Off ? QColor(192, 64, 0) : page);
    // The rims always show.
    QCOMPARE(pixel(control, {0, 8}), QColor(0, 128, 0));
    QCOMPARE(pixel(control, {18, 8}), QColor(192, 64, 0));
    // A corner of each button, outside its round indicator: green, red or the page.
    QCOMPARE(pixel(control, {3, 4}), shown == Shown::On ? QColor(0, 128, 0) : page);
    QCOMPARE(pixel(control, {21, 4}), shown == Shown::Off ? QColor(192, 0, 0) : page);
    if (focused)
        focused->setFocus();
}

} // namespace Tunesmith
