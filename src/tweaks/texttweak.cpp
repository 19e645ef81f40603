#include "texttweak.h"

#include "app/numbertext.h"
#include "app/programstate.h"
#include "connectionrule.h"

namespace Tunesmith
{

namespace
{

// Each box change runs the bounding again; with sane bounds it settles after two levels. Bounds that fight each
// other (a minimum above the maximum, or equal numbers written differently) would replace each other's text for
// ever, so the nesting stops here.
constexpr int maxNesting = 4;

} // namespace

TextTweak::TextTweak(int index, const TweakContext *context, QObject *parent)
    : TweakModel(TweakKind::Text, index, context, parent)
{}

void TextTweak::setValue(const QByteArray &text)
{
    ApplyValue(text);
}

void TextTweak::setPing(const QByteArray &written)
{
    m_ping = ConnectionRule::splitArithmetic(written);
}

void TextTweak::SetPing()
{
    const auto result = ConnectionRule::evaluateArithmetic(m_ping, state()->uploadSpeed, state()->downloadSpeed);
    if (!result) {
        reportRuleError(ConnectionRule::failureMessage(m_ping));
        return;
    }
    setDefault(numberText(*result));
    setBoxText(Default());
}

std::optional<qint32> TextTweak::MinMaxValue(const QByteArray &strMinMax) const
{
    const QByteArray s = strMinMax.isEmpty() ? QByteArray("0") : strMinMax;
    auto r = toInt32(s);
    if (!r)
        return std::nullopt;
    const bool fraction = s.contains('.');
    if (!m_max.isEmpty() && !fraction) {
        if (const auto max = toInt32(m_max); max && *max <= *r)
            r = max;
    }
    if (!m_min.isEmpty() && !fraction) {
        if (const auto min = toInt32(m_min); min && *min >= *r)
            r = min;
    }
    return r;
}

void TextTweak::boxTextChanged(const QByteArray &text)
{
    setBoxText(text);
}

void TextTweak::setBoxText(const QByteArray &text)
{
    if (text == m_text)
        return;
    m_text = text;
    emit displayChanged();
    if (m_depth < maxNesting)
        ApplyValue(m_text);
}

void TextTweak::ApplyValue(QByteArray v)
{
    ++m_depth;
    if (v.isEmpty())
        v = "0";
    setBoxText(v);
    const bool fraction = v.contains('.');
    if (!m_max.isEmpty() && !fraction) {
        const auto max = toInt32(m_max);
        const auto current = toInt32(m_text);
        if (max && current && *max <= *current)
            setBoxText(m_max);
    }
    if (!m_min.isEmpty() && !fraction) {
        const auto min = toInt32(m_min);
        const auto current = toInt32(m_text);
        if (min && current && *min >= *current)
            setBoxText(m_min);
    }
    --m_depth;
}

void TextTweak::applyDefaultFromMenu()
{
    ApplyValue(Default());
}

void TextTweak::applyPresetFromMenu(const QByteArray &preset)
{
    ApplyValue(preset);
}

TweakValueState TextTweak::valueState() const
{
    return {m_text, Default(), -1};
}

void TextTweak::restoreValueState(const TweakValueState &state)
{
    // The text as it was, bounds and all: it got there through the box's own handling.
    m_text = state.value;
    setDefault(state.defaultValue);
    emit displayChanged();
}

QStringList TextTweak::storeOrder() const
{
    return {QStringLiteral("Preset_Quality"),  QStringLiteral("Preset_FPS"),
            QStringLiteral("Preset_DieHard"),  QStringLiteral("Ping"),
            QStringLiteral("Default"),         QStringLiteral("Value"),
            QStringLiteral("MaxValue"),        QStringLiteral("MinValue"),
            QStringLiteral("Tweak"),           QStringLiteral("ShortDescription"),
            QStringLiteral("LongDescription"), QStringLiteral("Department")};
}

QByteArray TextTweak::storedProperty(const QString &name) const
{
    if (name == QLatin1String("Ping"))
        return m_ping;
    if (name == QLatin1String("Value"))
        return m_text;
    if (name == QLatin1String("MaxValue"))
        return m_max;
    if (name == QLatin1String("MinValue"))
        return m_min;
    return TweakModel::storedProperty(name);
}

void TextTweak::restoreProperty(const QString &name, const QByteArray &text)
{
    if (name == QLatin1String("Ping"))
        m_ping = text;
    else if (name == QLatin1String("Value"))
        setBoxText(text); // handled like any change of the box's text, with the bounds in force now
    else if (name == QLatin1String("MaxValue"))
        m_max = text;
    else if (name == QLatin1String("MinValue"))
        m_min = text;
    else
        TweakModel::restoreProperty(name, text);
}

} // namespace Tunesmith
