#pragma once

#include "tweakcontrol.h"
#include "tweaks/multitweak.h"

class QComboBox;

namespace Tunesmith
{

// The list tweak control: the caption above a drop-down list of the entries' descriptions. The entries' value
// texts stay in the model.
class cvarMulti : public TweakControl
{
    Q_OBJECT

public:
    cvarMulti(MultiTweak *model, QWidget *parent = nullptr);

    MultiTweak *model() const { return m_model; }
    QComboBox *cmbValue() const { return m_list; }

protected:
    void refresh() override;

private:
    void picked(int position);

    MultiTweak *m_model;
    QComboBox *m_list;
    bool m_refreshing = false;
};

} // namespace Tunesmith
