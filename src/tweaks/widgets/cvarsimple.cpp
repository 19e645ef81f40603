#include "cvarsimple.h"

#include "app/widgets/palettecolours.h"
#include "tweakparts.h"
#include "twips.h"

#include <QAction>
#include <QKeyEvent>
#include <QLabel>
#include <QMenu>

namespace Tunesmith
{

cvarSimple::cvarSimple(SimpleTweak *model, QWidget *parent)
    : TweakControl(model, QStringLiteral("cvarSimple"), QSize(3105, 255), QRect(600, 0, 2500, 255), parent)
    , m_model(model)
{
    // Each marker is created before its button, so the button sits on top of it.
    // On a dark page the markers take lighter shades of their colours, so that they stand out from it.
    const QColor page = palette().color(QPalette::Window);
    m_onMarker = new ColorMarker(PaletteColours::readable(TweakColours::onMarker, page, 3), this);
    m_onMarker->setObjectName(QStringLiteral("shpOn"));
    m_onMarker->setGeometry(Twips::rect(0, 0, 255, 255));
    m_onButton = addButton(1, QRect(30, 40, 200, 200));

    m_offMarker = new ColorMarker(PaletteColours::readable(TweakColours::offMarker, page, 3), this);
    m_offMarker->setObjectName(QStringLiteral("shpOff"));
    m_offMarker->setGeometry(Twips::rect(270, 0, 255, 255));
    m_offButton = addButton(0, QRect(300, 40, 200, 200));

    finishSetup();
}

OptionButton *cvarSimple::addButton(int buttonIndex, QRect twips)
{
    auto *button = new OptionButton(this);
    button->setObjectName(QStringLiteral("optCVar"));
    button->setIndex(buttonIndex);
    button->setGeometry(Twips::rect(twips.x(), twips.y(), twips.width(), twips.height()));
    button->installEventFilter(this);
    // A click (mouse or space bar) is the model's to judge; the button shows the outcome on refresh.
    connect(button, &QAbstractButton::clicked, this, [this, buttonIndex] { m_model->clickButton(buttonIndex); });
    return button;
}

void cvarSimple::addSetEntries(QMenu *set)
{
    connect(addMenuEntry(set, tr("On"), QStringLiteral("mnuOn")), &QAction::triggered, this,
            [this] { m_model->clickButton(1); });
    connect(addMenuEntry(set, tr("Off"), QStringLiteral("mnuOff")), &QAction::triggered, this,
            [this] { m_model->clickButton(0); });
}

void cvarSimple::refresh()
{
    TweakControl::refresh();
    const SimpleTweak::Shown shown = m_model->shown();
    // The unselected button takes the caption's background. A Qt label paints none of its own and shows the page
    // behind it (a tab page is lighter than a window), so the button then shows the page too.
    const QLabel *label = captionLabel();
    const QColor plain =
        label->autoFillBackground() ? label->palette().color(label->backgroundRole()) : QColor(Qt::transparent);

    m_onButton->setChecked(shown == SimpleTweak::Shown::On);
    m_offButton->setChecked(shown == SimpleTweak::Shown::Off);
    const QColor page = palette().color(QPalette::Window);
    m_onButton->setBackground(
        shown == SimpleTweak::Shown::On ? PaletteColours::readable(TweakColours::onSelected, page, 3) : plain);
    m_offButton->setBackground(
        shown == SimpleTweak::Shown::Off ? PaletteColours::readable(TweakColours::offSelected, page, 3) : plain);
    m_onMarker->setFilled(m_model->onMarkerFilled());
    m_offMarker->setFilled(m_model->offMarkerFilled());

    const QString text = shortDescription();
    const auto named = [&text](const QString &state) {
        return text.isEmpty() ? state : QStringLiteral("%1: %2").arg(text, state);
    };
    setAccessibleNameOf(m_onButton, named(tr("On")));
    setAccessibleNameOf(m_offButton, named(tr("Off")));
}

bool cvarSimple::eventFilter(QObject *watched, QEvent *event)
{
    if ((watched == m_onButton || watched == m_offButton) && event->type() == QEvent::KeyPress) {
        const auto *key = static_cast<QKeyEvent *>(event);
        switch (key->key()) {
        case Qt::Key_Left:
        case Qt::Key_Right:
        case Qt::Key_Up:
        case Qt::Key_Down: {
            // As in any group of option buttons: an arrow moves to the neighbour (with two, the other one,
            // wrapping round) and selects it.
            const int target = watched == m_onButton ? 0 : 1;
            optCVar(target)->setFocus(Qt::OtherFocusReason);
            m_model->clickButton(target);
            return true;
        }
        default:
            break;
        }
    }
    return TweakControl::eventFilter(watched, event);
}

} // namespace Tunesmith
