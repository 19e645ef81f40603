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

TextTweak::TextTweak(int index, const TweakContext *context)
    : TweakModel(TweakKind::Text, index, context)
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

void TextTweak::setMinValue(QByteArray text)
{
    m_minNumber = toInt32(text);
    m_min = std::move(text);
}

void TextTweak::setMaxValue(QByteArray text)
{
    m_maxNumber = toInt32(text);
    m_max = std::move(text);
}

std::optional<qint32> TextTweak::MinMaxValue(const QByteArray &strMinMax) const
{
    const QByteArray s = strMinMax.isEmpty() ? QByteArray("0") : strMinMax;
    auto r = toInt32(s);
    if (!r)
        return std::nullopt;
    const bool fraction = s.contains('.');
    if (m_maxNumber && !fraction && *m_maxNumber <= *r)
        r = m_maxNumber;
    if (m_minNumber && !fraction && *m_minNumber >= *r)
        r = m_minNumber;
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
    assignText(text);
    displayChanged();
    if (m_depth < maxNesting)
        ApplyValue(m_text);
}

void TextTweak::assignText(const QByteArray &text)
{
    m_text = text;
    // Digits past the 32-bit range are still a number beyond either bound: typed into the box, they would
    // otherwise stay there unbounded and be written to the config.
    m_textNumber = toInt32Saturated(text);
}

void TextTweak::ApplyValue(QByteArray v)
{
    ++m_depth;
    if (v.isEmpty())
        v = "0";
    setBoxText(v);
    const bool fraction = v.contains('.');
    if (m_maxNumber && !fraction && m_textNumber && *m_maxNumber <= *m_textNumber)
        setBoxText(m_max);
    if (m_minNumber && !fraction && m_textNumber && *m_minNumber >= *m_textNumber)
        setBoxText(m_min);
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
    assignText(state.value);
    setDefault(state.defaultValue);
    displayChanged();
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
        setMaxValue(text);
    else if (name == QLatin1String("MinValue"))
        setMinValue(text);
    else
        TweakModel::restoreProperty(name, text);
}

} // namespace Tunesmith
