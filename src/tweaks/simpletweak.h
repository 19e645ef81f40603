#pragma once

#include "tweakmodel.h"

namespace Tunesmith
{

// An on/off tweak (cvarSimple): "1" shows the On button selected on a filled green marker, "0" the Off button
// on a filled red-brown marker; any other text is stored as the value without changing what is shown.
class SimpleTweak : public TweakModel
{
public:
    static constexpr TweakKind modelKind = TweakKind::Simple;

    enum class Shown
    {
        None, // new: no button selected, both markers hollow
        On,
        Off,
    };

    SimpleTweak(int index, const TweakContext *context);

    QByteArray Value() const override { return m_value; }
    void setValue(const QByteArray &text) override;
    QByteArray Ping() const override { return m_ping; }
    // Stores the rule in split form; evaluates nothing.
    void setPing(const QByteArray &written);
    // Evaluates the rule; a rule that cannot be evaluated leaves Value and Default as they were.
    void SetPing();

    Shown shown() const { return m_shown; }
    bool onMarkerFilled() const { return m_shown == Shown::On; }
    bool offMarkerFilled() const { return m_shown == Shown::Off; }

    // A click on an option button: 1 the On button, 0 the Off button. The menu's "On" and "Off" do the same.
    void clickButton(int buttonIndex);

    TweakValueState valueState() const override;
    void restoreValueState(const TweakValueState &state) override;

    QStringList storeOrder() const override;

protected:
    void applyDefaultFromMenu() override;
    void applyPresetFromMenu(const QByteArray &preset) override;
    QByteArray storedProperty(const QString &name) const override;
    void restoreProperty(const QString &name, const QByteArray &text) override;

private:
    void ApplyValue(const QByteArray &text);

    QByteArray m_value;
    QByteArray m_ping;
    Shown m_shown = Shown::None;
};

} // namespace Tunesmith
