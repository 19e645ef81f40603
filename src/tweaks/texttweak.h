#pragma once

#include "tweakmodel.h"

#include <optional>

namespace Tunesmith
{

// A numeric tweak (cvarText): Value is the text of its box, bounded by MinValue and MaxValue on every change of
// the text. A text with "." is never bounded, and a text that is no number is never compared (one beyond the 32-bit
// range counts as beyond the bound on its side).
class TextTweak : public TweakModel
{
public:
    static constexpr TweakKind modelKind = TweakKind::Text;

    TextTweak(int index, const TweakContext *context);

    QByteArray Value() const override { return m_text; }
    void setValue(const QByteArray &text) override;
    QByteArray MinValue() const { return m_min; }
    void setMinValue(QByteArray text);
    QByteArray MaxValue() const { return m_max; }
    void setMaxValue(QByteArray text);
    QByteArray Ping() const override { return m_ping; }
    void setPing(const QByteArray &written);
    // Evaluates the rule: Default takes the unbounded result, the box the bounded one. On failure the player is
    // told and nothing changes.
    void SetPing();

    // The number text stands for, bounded as the box would bound it; nullopt when it is not a number.
    std::optional<qint32> MinMaxValue(const QByteArray &strMinMax) const;

    // The box's text changed (typed, pasted or deleted): the change handling of the box.
    void boxTextChanged(const QByteArray &text);

    TweakValueState valueState() const override;
    void restoreValueState(const TweakValueState &state) override;

    QStringList storeOrder() const override;

protected:
    void applyDefaultFromMenu() override;
    void applyPresetFromMenu(const QByteArray &preset) override;
    QByteArray storedProperty(const QString &name) const override;
    void restoreProperty(const QString &name, const QByteArray &text) override;

private:
    void ApplyValue(QByteArray v);
    void setBoxText(const QByteArray &text);
    void assignText(const QByteArray &text);

    // Each text with the number it stands for, read once when the text is set: the bounding compares them on
    // every change of the box, several times over as it settles.
    QByteArray m_text;
    std::optional<qint32> m_textNumber;
    QByteArray m_min;
    std::optional<qint32> m_minNumber;
    QByteArray m_max;
    std::optional<qint32> m_maxNumber;
    QByteArray m_ping;
    int m_depth = 0;
};

} // namespace Tunesmith
