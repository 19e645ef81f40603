#include "lbllabel.h"

#include "app/textcodec.h"
#include "app/widgets/palettecolours.h"
#include "tweakparts.h"
#include "twips.h"

#include <QLabel>
#include <QPainter>

namespace Tunesmith
{

namespace
{

// The heading is laid out as 3105 by 320 twips; its caption starts above the control's top edge.
constexpr QRect captionTwips(0, -60, 3105, 375);
constexpr int ruleTop = 240;
constexpr int ruleRight = 3120;

} // namespace

lblLabel::lblLabel(int index, QWidget *parent)
    : QWidget(parent)
    , m_index(index)
{
    setObjectName(QStringLiteral("lblLabel"));
    setProperty("index", index);
    setFont(tweakControlFont());
    resize(sizeHint());

    m_caption = new QLabel(this);
    m_caption->setObjectName(QStringLiteral("lblCaption"));
    m_caption->setTextFormat(Qt::PlainText);
    m_caption->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    m_caption->setFont(headingFont());
    QPalette palette = m_caption->palette();
    palette.setColor(QPalette::WindowText,
                     PaletteColours::readable(TweakColours::heading, palette.color(QPalette::Window)));
    m_caption->setPalette(palette);
    m_caption->setGeometry(
        Twips::rect(captionTwips.x(), captionTwips.y(), captionTwips.width(), captionTwips.height()));
}

void lblLabel::setValue(const QString &text)
{
    m_caption->setText(text);
    setAccessibleName(text);
}

QString lblLabel::value() const
{
    return m_caption->text();
}

void lblLabel::writeProperties(PropertyStore &store) const
{
    store.insert(QStringLiteral("Value"), value().toUtf8());
}

void lblLabel::readProperties(const PropertyStore &store)
{
    setValue(decodeText(store.value(QStringLiteral("Value"))));
}

QSize lblLabel::sizeHint() const
{
    return {Twips::toPixels(3105), Twips::toPixels(320)};
}

void lblLabel::paintEvent(QPaintEvent *)
{
    QPainter painter(this);
    painter.setPen(palette().color(QPalette::WindowText));
    const int y = Twips::toPixels(ruleTop);
    painter.drawLine(0, y, Twips::toPixels(ruleRight), y);
}

} // namespace Tunesmith
