#pragma once

#include "tweakmodel.h"

namespace Tunesmith
{

// A list tweak (cvarMulti): entries of a shown description and a value text; Default and the presets are entry
// positions from 0, Value reads as the selected entry's value text.
class MultiTweak : public TweakModel
{
public:
    static constexpr TweakKind modelKind = TweakKind::Multi;

    using Entry = MultiTweakEntry;

    MultiTweak(int index, const TweakContext *context);

    QByteArray Value() const override { return m_value; }
    // Takes a position text. A text that is not a 16-bit number, or a position outside -1 .. count - 1, changes
    // nothing.
    void setValue(const QByteArray &position) override;

    void AddCVar(const QByteArray &strDes, const QByteArray &strVal);
    // The entries in order, as AddCVar for each would add them; the list is taken over, not copied.
    void AddCVars(QList<Entry> entries);
    // Selects the entry whose value text is exactly strDes; the last of several; none changes nothing.
    void SetDesAsValue(const QByteArray &strDes);
    // The player picked entry i in the list (or a routine set it): the selection-change handling.
    void pick(int position);

    const QList<Entry> &entries() const { return m_entries; }
    int selected() const { return m_selected; }

    TweakValueState valueState() const override;
    void restoreValueState(const TweakValueState &state) override;

    QStringList storeOrder() const override;

protected:
    void applyDefaultFromMenu() override;
    void applyPresetFromMenu(const QByteArray &preset) override;
    QByteArray storedProperty(const QString &name) const override;
    void restoreProperty(const QString &name, const QByteArray &text) override;

private:
    void SelectPosition(const QByteArray &position);
    bool select(const QByteArray &position);
    void entriesAdded();

    QList<Entry> m_entries;
    int m_selected = -1;
    QByteArray m_value;
};

} // namespace Tunesmith
