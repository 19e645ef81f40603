#pragma once

#include "tweaks/tweakmodel.h"

#include <QSize>
#include <QWidget>

class QLabel;

namespace Tunesmith
{

// A heading on a page of tweaks: one line of text above a horizontal rule.
class lblLabel : public QWidget
{
    Q_OBJECT

public:
    explicit lblLabel(int index, QWidget *parent = nullptr);

    int index() const { return m_index; }
    QLabel *lblCaption() const { return m_caption; }

    // Sets the heading's text. The text is kept only as the caption.
    void setValue(const QString &text);
    QString value() const;

    // Saved state: "Value", from the caption ("" when missing).
    void writeProperties(PropertyStore &store) const;
    void readProperties(const PropertyStore &store);

    QSize sizeHint() const override;

protected:
    void paintEvent(QPaintEvent *event) override;

private:
    int m_index;
    QLabel *m_caption;
};

} // namespace Tunesmith
