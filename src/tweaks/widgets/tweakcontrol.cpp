#include "tweakcontrol.h"

#include "app/textcodec.h"
#include "tweakparts.h"
#include "twips.h"

#include <QAccessible>
#include <QAction>
#include <QApplication>
#include <QContextMenuEvent>
#include <QLabel>
#include <QMenu>
#include <QMouseEvent>

namespace Tunesmith
{

namespace
{

// Button codes of the control's events: 1 left, 2 right, 4 middle; other buttons have none.
qint16 buttonCode(Qt::MouseButton button)
{
    switch (button) {
    case Qt::LeftButton:
        return 1;
    case Qt::RightButton:
        return 2;
    case Qt::MiddleButton:
        return 4;
    default:
        return 0;
    }
}

qint16 buttonsCode(Qt::MouseButtons buttons)
{
    qint16 code = 0;
    for (const Qt::MouseButton button : {Qt::LeftButton, Qt::RightButton, Qt::MiddleButton}) {
        if (buttons & button)
            code |= buttonCode(button);
    }
    return code;
}

qint16 shiftCode(Qt::KeyboardModifiers modifiers)
{
    qint16 code = 0;
    if (modifiers & Qt::ShiftModifier)
        code |= 1;
    if (modifiers & Qt::ControlModifier)
        code |= 2;
    if (modifiers & Qt::AltModifier)
        code |= 4;
    return code;
}

} // namespace

// Whether assistive technology is active; when it becomes active, every control is named.
class AccessibilityWatch : public QAccessible::ActivationObserver
{
public:
    static AccessibilityWatch &instance()
    {
        // Never deleted: Qt keeps observers until the process ends.
        static auto *watch = new AccessibilityWatch;
        return *watch;
    }

    bool active() const { return m_active || QAccessible::isActive(); }

    void accessibilityActiveChanged(bool active) override
    {
        m_active = active;
        if (active)
            TweakControl::nameAllControls();
    }

private:
    AccessibilityWatch() { QAccessible::installActivationObserver(this); }

    bool m_active = false;
};

TweakControl::TweakControl(TweakModel *model, const QString &kindName, QSize sizeTwips, QRect captionTwips,
                           QWidget *parent)
    : QWidget(parent)
    , m_model(model)
    , m_designSize(Twips::toPixels(sizeTwips.width()), Twips::toPixels(sizeTwips.height()))
{
    setObjectName(kindName);
    setFont(tweakControlFont());
    resize(m_designSize);

    m_caption = new QLabel(this);
    m_caption->setObjectName(QStringLiteral("lblShortDescription"));
    m_caption->setTextFormat(Qt::PlainText);
    m_caption->setAlignment(Qt::AlignLeft | Qt::AlignVCenter);
    m_caption->setGeometry(
        Twips::rect(captionTwips.x(), captionTwips.y(), captionTwips.width(), captionTwips.height()));
    m_caption->setMouseTracking(true);
    m_caption->installEventFilter(this);
}

void TweakControl::finishSetup()
{
    // The popup menu is built when it is first asked for: three menus and their entries for every control would
    // make up most of the time and memory a large profile's pages take.
    m_listening = m_model->onDisplayChanged([this] { refresh(); });
    // The context-menu key brings up the tweak's menu from any child that takes the focus.
    for (QWidget *child : findChildren<QWidget *>(Qt::FindDirectChildrenOnly)) {
        if (child->focusPolicy() != Qt::NoFocus)
            child->installEventFilter(this);
    }
    refresh();
}

void TweakControl::setChanged(bool changed)
{
    if (changed == m_changed)
        return;
    m_changed = changed;
    if (!m_changedMark) {
        m_changedMark = new QLabel(QStringLiteral("\u25CF"), this);
        m_changedMark->setObjectName(QStringLiteral("lblChanged"));
        m_changedMark->setAttribute(Qt::WA_TransparentForMouseEvents); // the caption keeps its pointer events
        m_changedMark->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
        m_changedMark->setStyleSheet(QStringLiteral("color: rgb(255, 128, 0); font-size: 7pt;"));
        const QRect caption = m_caption->geometry();
        m_changedMark->setGeometry(caption.right() - 9, caption.top(), 10, caption.height());
    }
    m_changedMark->setVisible(changed);
    setAccessibleDescription(changed ? tr("Changed since the config was last read or saved") : QString());
}

QString TweakControl::shortDescription() const
{
    return decodeText(m_model->ShortDescription());
}

void TweakControl::refresh()
{
    const QString text = shortDescription();
    if (m_caption->text() != text)
        m_caption->setText(text);
    setAccessibleNameOf(this, text);
    syncMenu();
}

void TweakControl::nameAllControls()
{
    for (QWidget *widget : QApplication::allWidgets()) {
        if (auto *control = qobject_cast<TweakControl *>(widget))
            control->refresh();
    }
}

void TweakControl::setAccessibleNameOf(QWidget *widget, const QString &name)
{
    if (!AccessibilityWatch::instance().active())
        return;
    // Every change is announced to assistive technology, which costs Qt an accessible object per widget: a refresh
    // that changes nothing announces nothing.
    if (widget->accessibleName() != name)
        widget->setAccessibleName(name);
}

QAction *TweakControl::addMenuEntry(QMenu *menu, const QString &caption, const QString &name)
{
    QAction *action = menu->addAction(caption);
    action->setObjectName(name);
    return action;
}

void TweakControl::buildMenu()
{
    m_menu = new QMenu(tr("Actions"), this);
    m_menu->setObjectName(QStringLiteral("mnuActions"));
    m_menu->menuAction()->setObjectName(QStringLiteral("mnuActions"));

    QMenu *set = m_menu->addMenu(tr("Set"));
    set->setObjectName(QStringLiteral("mnuSet"));
    set->menuAction()->setObjectName(QStringLiteral("mnuSet"));
    addSetEntries(set);
    m_defaultEntry = addMenuEntry(set, tr("Default"), QStringLiteral("mnuDefault"));
    connect(m_defaultEntry, &QAction::triggered, this, [this] { m_model->menuDefault(); });

    m_presetMenu = m_menu->addMenu(tr("Preset"));
    m_presetMenu->setObjectName(QStringLiteral("mnuPreset"));
    m_presetMenu->menuAction()->setObjectName(QStringLiteral("mnuPreset"));
    const struct
    {
        const char *caption;
        const char16_t *name;
        PresetChoice choice;
    } presets[] = {
        {QT_TR_NOOP("High Quality"), u"mnuHighQuality", PresetChoice::Quality},
        {QT_TR_NOOP("High FPS"), u"mnuHighFPS", PresetChoice::Fps},
        {QT_TR_NOOP("Die Hard FPS"), u"mnuDieHardFPS", PresetChoice::DieHard},
    };
    for (const auto &preset : presets) {
        QAction *entry = addMenuEntry(m_presetMenu, tr(preset.caption), QString::fromUtf16(preset.name));
        const PresetChoice choice = preset.choice;
        connect(entry, &QAction::triggered, this, [this, choice] { m_model->menuPreset(choice); });
    }
}

void TweakControl::syncMenu()
{
    if (!m_menu)
        return;
    // The model names the entry in English; these are its two names.
    static const char *const captions[] = {QT_TR_NOOP("Default"), QT_TR_NOOP("Optimized")};
    Q_UNUSED(captions);
    m_defaultEntry->setText(tr(m_model->defaultMenuCaption().toUtf8().constData()));
    const bool presets = m_model->presetMenuEnabled();
    m_presetMenu->menuAction()->setEnabled(presets);
    m_presetMenu->setEnabled(presets);
    for (QAction *entry : m_presetMenu->actions())
        entry->setEnabled(presets);
}

QMenu *TweakControl::popupMenu()
{
    if (!m_menu)
        buildMenu();
    syncMenu();
    return m_menu;
}

void TweakControl::showPopupMenu(const QPoint &globalPos)
{
    popupMenu()->popup(globalPos);
}

void TweakControl::writeProperties(PropertyStore &store) const
{
    m_model->writeProperties(store);
}

void TweakControl::readProperties(const PropertyStore &store)
{
    m_model->readProperties(store);
    refresh();
}

bool TweakControl::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == m_caption)
        return captionEvent(event);
    if (event->type() == QEvent::ContextMenu) {
        auto *request = static_cast<QContextMenuEvent *>(event);
        if (request->reason() == QContextMenuEvent::Keyboard) {
            // Keyboard players reach the menu as a right click on the caption would.
            m_model->labelButtonReleased(2);
            showPopupMenu(request->globalPos());
            return true;
        }
    }
    return QWidget::eventFilter(watched, event);
}

bool TweakControl::captionEvent(QEvent *event)
{
    switch (event->type()) {
    case QEvent::MouseMove: {
        const auto *move = static_cast<QMouseEvent *>(event);
        const QPointF at = move->position() * Twips::perPixel;
        emit MouseMove(buttonsCode(move->buttons()), shiftCode(move->modifiers()), static_cast<float>(at.x()),
                       static_cast<float>(at.y()));
        break;
    }
    case QEvent::MouseButtonRelease: {
        const auto *release = static_cast<QMouseEvent *>(event);
        const qint16 code = buttonCode(release->button());
        if (code != 0 && m_model->labelButtonReleased(code))
            showPopupMenu(release->globalPosition().toPoint());
        break;
    }
    default:
        break;
    }
    return false;
}

void TweakControl::contextMenuEvent(QContextMenuEvent *event)
{
    // A right press over the caption asks for a context menu; the tweak's menu comes on the release instead.
    event->accept();
}

} // namespace Tunesmith
