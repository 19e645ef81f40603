#pragma once

#include "tweakcontrol.h"
#include "tweaks/texttweak.h"

class QLineEdit;

namespace Tunesmith
{

// The numeric tweak control: the caption above a one-line box. Typed keys pass the numeric key filter; every
// change of the box's text goes to the model, and the box then shows the model's (bounded) text.
class cvarText : public TweakControl
{
    Q_OBJECT

public:
    cvarText(TextTweak *model, QWidget *parent = nullptr);

    TextTweak *model() const { return m_model; }
    QLineEdit *txtValue() const { return m_box; }

protected:
    void refresh() override;
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void edited(const QString &text);

    TextTweak *m_model;
    QLineEdit *m_box;
    bool m_editing = false;
};

} // namespace Tunesmith
