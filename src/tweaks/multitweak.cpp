#include "multitweak.h"

#include "app/numbertext.h"

namespace Tunesmith
{

MultiTweak::MultiTweak(int index, const TweakContext *context)
    : TweakModel(TweakKind::Multi, index, context)
{}

void MultiTweak::setValue(const QByteArray &position)
{
    select(position);
}

bool MultiTweak::select(const QByteArray &position)
{
    const auto n = toInt16(position);
    if (!n || *n < -1 || *n >= m_entries.size())
        return false;
    pick(*n);
    return true;
}

void MultiTweak::AddCVar(const QByteArray &strDes, const QByteArray &strVal)
{
    m_entries.append({strDes, strVal});
    entriesAdded();
}

void MultiTweak::AddCVars(QList<Entry> entries)
{
    if (entries.isEmpty())
        return;
    if (m_entries.isEmpty())
        m_entries = std::move(entries);
    else
        m_entries.append(std::move(entries));
    entriesAdded();
}

void MultiTweak::entriesAdded()
{
    // Every addition selects the first entry again.
    if (m_selected != 0)
        pick(0);
    else
        displayChanged();
}

void MultiTweak::SetDesAsValue(const QByteArray &strDes)
{
    int match = -1;
    for (int i = 0; i < m_entries.size(); ++i) {
        if (m_entries[i].value == strDes)
            match = i;
    }
    if (match >= 0)
        pick(match);
}

void MultiTweak::pick(int position)
{
    if (position < -1 || position >= m_entries.size())
        return;
    m_selected = position;
    m_value = position >= 0 ? m_entries[position].value : QByteArray();
    displayChanged();
}

void MultiTweak::SelectPosition(const QByteArray &position)
{
    select(position);
}

void MultiTweak::applyDefaultFromMenu()
{
    SelectPosition(Default());
}

void MultiTweak::applyPresetFromMenu(const QByteArray &preset)
{
    SelectPosition(preset);
}

TweakValueState MultiTweak::valueState() const
{
    return {m_value, Default(), m_selected};
}

void MultiTweak::restoreValueState(const TweakValueState &state)
{
    m_value = state.value;
    setDefault(state.defaultValue);
    m_selected = state.shown >= -1 && state.shown < m_entries.size() ? state.shown : -1;
    displayChanged();
}

QStringList MultiTweak::storeOrder() const
{
    return {QStringLiteral("Preset_Quality"),   QStringLiteral("Preset_FPS"),      QStringLiteral("Preset_DieHard"),
            QStringLiteral("Default"),          QStringLiteral("Value"),           QStringLiteral("Tweak"),
            QStringLiteral("ShortDescription"), QStringLiteral("LongDescription"), QStringLiteral("Department")};
}

QByteArray MultiTweak::storedProperty(const QString &name) const
{
    if (name == QLatin1String("Value"))
        return m_value;
    return TweakModel::storedProperty(name);
}

void MultiTweak::restoreProperty(const QString &name, const QByteArray &text)
{
    if (name == QLatin1String("Value"))
        m_value = text;
    else
        TweakModel::restoreProperty(name, text);
}

} // namespace Tunesmith
