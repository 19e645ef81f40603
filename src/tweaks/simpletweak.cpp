#include "simpletweak.h"

#include "app/programstate.h"
#include "connectionrule.h"

namespace Tunesmith
{

SimpleTweak::SimpleTweak(int index, const TweakContext *context)
    : TweakModel(TweakKind::Simple, index, context)
{}

void SimpleTweak::setValue(const QByteArray &text)
{
    m_value = text;
    ApplyValue(text);
}

void SimpleTweak::setPing(const QByteArray &written)
{
    m_ping = ConnectionRule::splitComparison(written);
}

void SimpleTweak::SetPing()
{
    const auto result = ConnectionRule::evaluateComparison(m_ping, state()->uploadSpeed, state()->downloadSpeed);
    if (!result)
        return;
    ApplyValue(*result);
    setDefault(*result);
}

void SimpleTweak::clickButton(int buttonIndex)
{
    ApplyValue(buttonIndex == 1 ? "1" : "0");
}

void SimpleTweak::ApplyValue(const QByteArray &text)
{
    if (text == "1")
        m_shown = Shown::On;
    else if (text == "0")
        m_shown = Shown::Off;
    else
        return;
    m_value = text;
    displayChanged();
}

void SimpleTweak::applyDefaultFromMenu()
{
    ApplyValue(Default());
}

void SimpleTweak::applyPresetFromMenu(const QByteArray &preset)
{
    ApplyValue(preset);
}

TweakValueState SimpleTweak::valueState() const
{
    return {m_value, Default(), int(m_shown)};
}

void SimpleTweak::restoreValueState(const TweakValueState &state)
{
    m_value = state.value;
    setDefault(state.defaultValue);
    m_shown = state.shown == int(Shown::On) ? Shown::On : state.shown == int(Shown::Off) ? Shown::Off : Shown::None;
    displayChanged();
}

QStringList SimpleTweak::storeOrder() const
{
    return {QStringLiteral("Preset_Quality"), QStringLiteral("Preset_FPS"),       QStringLiteral("Preset_DieHard"),
            QStringLiteral("Ping"),           QStringLiteral("Default"),          QStringLiteral("Value"),
            QStringLiteral("Tweak"),          QStringLiteral("ShortDescription"), QStringLiteral("LongDescription"),
            QStringLiteral("Department")};
}

QByteArray SimpleTweak::storedProperty(const QString &name) const
{
    if (name == QLatin1String("Ping"))
        return m_ping;
    if (name == QLatin1String("Value"))
        return m_value;
    return TweakModel::storedProperty(name);
}

void SimpleTweak::restoreProperty(const QString &name, const QByteArray &text)
{
    if (name == QLatin1String("Ping"))
        m_ping = text;
    else if (name == QLatin1String("Value"))
        m_value = text;
    else
        TweakModel::restoreProperty(name, text);
}

} // namespace Tunesmith
