#pragma once

#include "tweaks/tweakmodel.h"

#include <QRect>
#include <QSize>
#include <QWidget>

class QAction;
class QLabel;
class QMenu;

namespace Tunesmith
{

// What the three tweak controls share: the caption label with its MouseMove event and popup menu, saved state
// and the refresh from the model. The control is a view: the model decides every value; the control shows the
// model's state and hands the player's input to it. The model must outlive the control.
class TweakControl : public QWidget
{
    Q_OBJECT
    // A declared property rather than a dynamic one: a dynamic property costs every control an allocation.
    Q_PROPERTY(int index READ index CONSTANT)

public:
    TweakModel *tweakModel() const { return m_model; }
    // 1, 2, ... within the kind, as the model holds it (also the "index" property).
    int index() const { return m_model->index(); }
    QLabel *captionLabel() const { return m_caption; }

    // The popup menu ("Actions" with "Set" and "Preset"), built on first use and brought up to date with the model.
    QMenu *popupMenu();
    void showPopupMenu(const QPoint &globalPos);

    // Saved state through the model; the control then shows what was read back.
    void writeProperties(PropertyStore &store) const;
    void readProperties(const PropertyStore &store);

    QSize sizeHint() const override { return m_designSize; }

    // Marks the tweak as changed since the config was last read or saved: a small dot at the caption's end, and a
    // description for assistive technology.
    void setChanged(bool changed);
    bool isChanged() const { return m_changed; }

signals:
    // Pointer movement over the caption only. Button: held buttons (1 left, 2 right, 4 middle); Shift: held keys
    // (1 shift, 2 ctrl, 4 alt); X, Y: the pointer in the caption's own coordinates, in twips.
    void MouseMove(qint16 Button, qint16 Shift, float X, float Y);

protected:
    // captionTwips: where lblShortDescription sits in the control, in twips; sizeTwips: the control's own size.
    TweakControl(TweakModel *model, const QString &kindName, QSize sizeTwips, QRect captionTwips, QWidget *parent);

    // Call at the end of the derived constructor, once the children exist: shows the model.
    void finishSetup();
    // Shows the model's state; the derived controls add their children and call this one.
    virtual void refresh();
    // Entries of "Set" placed before "Default".
    virtual void addSetEntries(QMenu *) {}
    // The short description as shown, for the caption and the accessible names.
    QString shortDescription() const;

    bool eventFilter(QObject *watched, QEvent *event) override;
    void contextMenuEvent(QContextMenuEvent *event) override;

    QAction *addMenuEntry(QMenu *menu, const QString &caption, const QString &name);
    // Sets the name unless the widget already has it, while assistive technology is active: Qt builds an
    // accessible object for every widget that is given a name, which costs a large profile's pages more than the
    // rest of their controls' set-up. Every control is named when assistive technology becomes active.
    static void setAccessibleNameOf(QWidget *widget, const QString &name);

private:
    friend class AccessibilityWatch;
    // Names every control (the watch calls it when assistive technology becomes active).
    static void nameAllControls();

    void buildMenu();
    void syncMenu();
    bool captionEvent(QEvent *event);

    TweakModel *m_model;
    TweakModel::Listening m_listening;
    QSize m_designSize;
    QLabel *m_caption;
    QLabel *m_changedMark = nullptr; // made when first needed: most tweaks are never changed
    bool m_changed = false;
    QMenu *m_menu = nullptr;
    QMenu *m_presetMenu = nullptr;
    QAction *m_defaultEntry = nullptr;
};

} // namespace Tunesmith
