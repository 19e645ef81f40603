#pragma once

#include "tweakcontrol.h"
#include "tweaks/simpletweak.h"

namespace Tunesmith
{

class ColorMarker;
class OptionButton;

// The on/off tweak control: an On and an Off button, each on its colour marker, and the caption.
class cvarSimple : public TweakControl
{
    Q_OBJECT

public:
    cvarSimple(SimpleTweak *model, QWidget *parent = nullptr);

    SimpleTweak *model() const { return m_model; }
    // optCVar(1) is the On button, optCVar(0) the Off button.
    OptionButton *optCVar(int buttonIndex) const { return buttonIndex == 1 ? m_onButton : m_offButton; }

protected:
    void refresh() override;
    void addSetEntries(QMenu *set) override;
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    OptionButton *addButton(int buttonIndex, QRect twips);

    SimpleTweak *m_model;
    ColorMarker *m_onMarker;
    OptionButton *m_onButton;
    ColorMarker *m_offMarker;
    OptionButton *m_offButton;
};

} // namespace Tunesmith
