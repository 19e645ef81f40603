#pragma once

#include "tweaks/tweakmodel.h"

#include <QList>

namespace Tunesmith
{

class LoadedProfile;

// One tweak's value state before and after a change.
struct ValueChange
{
    TweakKind kind = TweakKind::Simple;
    int index = 0;
    TweakValueState before;
    TweakValueState after;
};

// The value states of every tweak of a profile at one moment, in save order: what undo compares and puts back.
class ValueSnapshot
{
public:
    static ValueSnapshot capture(const LoadedProfile &profile);

    // The tweaks whose state differs in later, in save order; both snapshots must be of the same profile.
    QList<ValueChange> changesTo(const ValueSnapshot &later) const;

    qsizetype size() const { return m_states.size(); }

private:
    struct Entry
    {
        TweakKind kind;
        int index;
        TweakValueState state;
    };
    QList<Entry> m_states;
};

// Puts back the state each change had before it (undo) or after it (redo). Tweaks the profile does not have are
// passed over.
void restoreBefore(LoadedProfile &profile, const QList<ValueChange> &changes);
void restoreAfter(LoadedProfile &profile, const QList<ValueChange> &changes);

} // namespace Tunesmith
