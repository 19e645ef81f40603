#include "valuehistory.h"

#include "loader/loadedprofile.h"

namespace Tunesmith
{

namespace
{

void restore(LoadedProfile &profile, const QList<ValueChange> &changes, bool before)
{
    for (const ValueChange &change : changes) {
        if (TweakModel *tweak = profile.model(change.kind, change.index))
            tweak->restoreValueState(before ? change.before : change.after);
    }
}

} // namespace

ValueSnapshot ValueSnapshot::capture(const LoadedProfile &profile)
{
    ValueSnapshot snapshot;
    const QList<TweakModel *> tweaks = profile.saveOrder();
    snapshot.m_states.reserve(tweaks.size());
    for (const TweakModel *tweak : tweaks)
        snapshot.m_states.append({tweak->kind(), tweak->index(), tweak->valueState()});
    return snapshot;
}

QList<ValueChange> ValueSnapshot::changesTo(const ValueSnapshot &later) const
{
    QList<ValueChange> changes;
    const qsizetype count = std::min(m_states.size(), later.m_states.size());
    for (qsizetype i = 0; i < count; ++i) {
        const Entry &was = m_states[i];
        const Entry &is = later.m_states[i];
        if (was.state != is.state)
            changes.append({was.kind, was.index, was.state, is.state});
    }
    return changes;
}

void restoreBefore(LoadedProfile &profile, const QList<ValueChange> &changes)
{
    restore(profile, changes, true);
}

void restoreAfter(LoadedProfile &profile, const QList<ValueChange> &changes)
{
    restore(profile, changes, false);
}

} // namespace Tunesmith
