#pragma once

#include "editor/valuehistory.h"
#include "tweaks/tweakmodel.h"

#include <QObject>
#include <QTimer>

#include <functional>
#include <vector>

class QUndoStack;

namespace Tunesmith
{

class LoadedProfile;

// Undo and redo of the tweaks' values in the main window. Every change that is not part of a recorded action (a
// click, a pick, typing, a popup menu entry) becomes a step when control is back in the event loop, so what one
// player action changes is one step; the window's own commands run as one step each through record(). Typing in
// the same box makes one step until something else happens.
class TweakHistory : public QObject
{
    Q_OBJECT

public:
    TweakHistory(LoadedProfile &profile, QObject *parent);

    QUndoStack *stack() const { return m_stack; }

    // Whether a change of one numeric tweak came from typing into its box, so it may join the step before.
    void setTypingTest(std::function<bool(const ValueChange &)> test) { m_isTyping = std::move(test); }

    // Runs a command of the window (a preset, Load Config, a restore) as one step named label.
    void record(const QString &label, const std::function<void()> &action);
    // Makes what has changed since the last step one step now (the connection dialog's save).
    void commit(const QString &label);
    // A save: a point in the history; typing after it starts a step of its own.
    void markSaved();

    void undo();
    void redo();

private:
    void tweakChanged();
    void commitPending();
    void sealTop();

    LoadedProfile &m_profile;
    QUndoStack *m_stack;
    ValueSnapshot m_known; // every tweak as the last step left it
    std::vector<TweakModel::Listening> m_listening;
    QTimer m_pending;
    int m_quiet = 0; // inside a recorded action or an undo: changes are not steps of their own
    std::function<bool(const ValueChange &)> m_isTyping;
};

} // namespace Tunesmith
