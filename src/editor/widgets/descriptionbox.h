#pragma once

#include <QTextEdit>

namespace Tunesmith
{

class TweakModel;

// The pop-up description box: labelled lines of a tweak (its variable, the values of its presets or of its rule,
// its long description) in bold coloured labels and plain values.
class DescriptionBox : public QTextEdit
{
    Q_OBJECT

public:
    explicit DescriptionBox(QWidget *parent);

    void fill(const TweakModel &tweak);
};

} // namespace Tunesmith
