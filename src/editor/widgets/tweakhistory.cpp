#include "tweakhistory.h"

#include "app/textcodec.h"
#include "loader/loadedprofile.h"

#include <QScopedValueRollback>
#include <QUndoStack>

namespace Tunesmith
{

namespace
{

constexpr int typingId = 1;

// One step: the tweaks it changed, with their states before and after.
class ValueStep : public QUndoCommand
{
public:
    ValueStep(LoadedProfile &profile, const QString &label, QList<ValueChange> changes, bool typing)
        : QUndoCommand(label)
        , m_profile(profile)
        , m_changes(std::move(changes))
        , m_typing(typing)
    {}

    void undo() override { restoreBefore(m_profile, m_changes); }
    void redo() override
    {
        // The change has happened when the step is pushed.
        if (!std::exchange(m_fresh, false))
            restoreAfter(m_profile, m_changes);
    }
    int id() const override { return m_typing ? typingId : -1; }
    bool mergeWith(const QUndoCommand *other) override
    {
        const auto *next = static_cast<const ValueStep *>(other);
        const ValueChange &mine = m_changes.first();
        const ValueChange &theirs = next->m_changes.first();
        if (!m_open || mine.kind != theirs.kind || mine.index != theirs.index)
            return false;
        m_changes.first().after = theirs.after;
        // Typing back what was there takes nothing to undo.
        setObsolete(mine.before == mine.after);
        return true;
    }
    void seal() { m_open = false; }

private:
    LoadedProfile &m_profile;
    QList<ValueChange> m_changes;
    bool m_typing;
    bool m_open = true;
    bool m_fresh = true;
};

} // namespace

TweakHistory::TweakHistory(LoadedProfile &profile, QObject *parent)
    : QObject(parent)
    , m_profile(profile)
    , m_stack(new QUndoStack(this))
    , m_known(ValueSnapshot::capture(profile))
{
    m_pending.setSingleShot(true);
    m_pending.setInterval(0);
    connect(&m_pending, &QTimer::timeout, this, &TweakHistory::commitPending);
    const QList<TweakModel *> tweaks = profile.saveOrder();
    m_listening.reserve(std::size_t(tweaks.size()));
    for (TweakModel *tweak : tweaks)
        m_listening.push_back(tweak->onDisplayChanged([this] { tweakChanged(); }));
}

void TweakHistory::tweakChanged()
{
    if (m_quiet == 0 && !m_pending.isActive())
        m_pending.start();
}

void TweakHistory::commitPending()
{
    m_pending.stop();
    const ValueSnapshot now = ValueSnapshot::capture(m_profile);
    const QList<ValueChange> changes = m_known.changesTo(now);
    m_known = now;
    if (changes.isEmpty())
        return;
    const bool typing =
        changes.size() == 1 && changes.first().kind == TweakKind::Text && m_isTyping && m_isTyping(changes.first());
    QString label;
    if (changes.size() == 1) {
        const TweakModel *tweak = m_profile.model(changes.first().kind, changes.first().index);
        label = tr("Change %1").arg(tweak ? decodeText(tweak->Tweak()) : QString());
    } else {
        label = tr("Change %1 tweaks").arg(changes.size());
    }
    m_stack->push(new ValueStep(m_profile, label, changes, typing));
}

void TweakHistory::commit(const QString &label)
{
    m_pending.stop();
    const ValueSnapshot now = ValueSnapshot::capture(m_profile);
    const QList<ValueChange> changes = m_known.changesTo(now);
    m_known = now;
    if (!changes.isEmpty())
        m_stack->push(new ValueStep(m_profile, label, changes, false));
}

void TweakHistory::record(const QString &label, const std::function<void()> &action)
{
    commitPending();
    {
        const QScopedValueRollback<int> quiet(m_quiet, m_quiet + 1);
        action();
    }
    commit(label);
}

void TweakHistory::markSaved()
{
    commitPending();
    sealTop();
    m_stack->setClean();
}

void TweakHistory::sealTop()
{
    if (m_stack->index() > 0)
        static_cast<ValueStep *>(const_cast<QUndoCommand *>(m_stack->command(m_stack->index() - 1)))->seal();
}

void TweakHistory::undo()
{
    commitPending();
    {
        const QScopedValueRollback<int> quiet(m_quiet, m_quiet + 1);
        m_stack->undo();
    }
    sealTop();
    m_known = ValueSnapshot::capture(m_profile);
}

void TweakHistory::redo()
{
    commitPending();
    {
        const QScopedValueRollback<int> quiet(m_quiet, m_quiet + 1);
        m_stack->redo();
    }
    sealTop();
    m_known = ValueSnapshot::capture(m_profile);
}

} // namespace Tunesmith
