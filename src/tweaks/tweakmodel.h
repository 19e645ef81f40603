#pragma once

#include <QByteArray>
#include <QList>
#include <QMap>
#include <QString>

#include <functional>
#include <memory>
#include <utility>
#include <vector>

namespace Tunesmith
{

struct ProgramState;

enum class TweakKind
{
    Simple = 0, // on/off, cvarSimple
    Multi = 1,  // list, cvarMulti
    Text = 2,   // numeric, cvarText
};

enum class PresetChoice
{
    Quality,
    Fps,
    DieHard,
};

// What every tweak model needs from its host: the speeds for SetPing and a way to tell the player that a rule
// failed (a message box in the window, standard error in the command-line tool).
struct TweakContext
{
    const ProgramState *state = nullptr;
    std::function<void(const QString &message)> reportRuleError;
};

// One entry of a list tweak: the description the player sees and the value text written to the game config.
struct MultiTweakEntry
{
    QByteArray description;
    QByteArray value;
};

// A store of named property texts for saving and restoring a control; a missing name reads as "".
using PropertyStore = QMap<QString, QByteArray>;

// What a tweak holds of its value, enough to put it back exactly: the value text, the default (a rule's result
// changes it) and what the widgets show, which the value alone does not tell (an on/off tweak keeps its picture
// under a value other than "1" or "0"; a list's value may differ from its entry after restored saved state).
struct TweakValueState
{
    QByteArray value;
    QByteArray defaultValue;
    int shown = -1; // on/off: SimpleTweak::Shown; list: the selected position; numeric: unused

    bool operator==(const TweakValueState &) const = default;
};

// One console variable of the game: the properties shared by the three kinds, the popup menu's state and its
// actions. The widgets are views of it: they show what it holds and forward the player's input, and listen for
// its changes. A plain object, not a QObject: a profile holds thousands, and only a window listens to them.
class TweakModel
{
public:
    // A listener's hold on a tweak: listening ends when it goes or is reset, and it may outlive the tweak.
    class Listening
    {
    public:
        Listening() = default;
        Listening(Listening &&other) noexcept = default;
        Listening &operator=(Listening &&other) noexcept;
        Listening(const Listening &) = delete;
        Listening &operator=(const Listening &) = delete;
        ~Listening() { reset(); }

        void reset();

    private:
        friend class TweakModel;
        struct Listeners;
        Listening(std::weak_ptr<Listeners> listeners, int id)
            : m_listeners(std::move(listeners))
            , m_id(id)
        {}

        std::weak_ptr<Listeners> m_listeners;
        int m_id = -1;
    };

    TweakModel(TweakKind kind, int index, const TweakContext *context);
    virtual ~TweakModel();
    TweakModel(const TweakModel &) = delete;
    TweakModel &operator=(const TweakModel &) = delete;

    TweakKind kind() const { return m_kind; }
    int index() const { return m_index; } // 1, 2, ... within its kind

    QByteArray Tweak() const { return m_tweak; }
    void setTweak(QByteArray text) { m_tweak = std::move(text); }
    QByteArray Default() const { return m_default; }
    void setDefault(QByteArray text) { m_default = std::move(text); }
    QByteArray Preset_Quality() const { return m_presetQuality; }
    void setPreset_Quality(QByteArray text) { m_presetQuality = std::move(text); }
    QByteArray Preset_FPS() const { return m_presetFps; }
    void setPreset_FPS(QByteArray text) { m_presetFps = std::move(text); }
    QByteArray Preset_DieHard() const { return m_presetDieHard; }
    void setPreset_DieHard(QByteArray text) { m_presetDieHard = std::move(text); }
    QByteArray Department() const { return m_department; }
    void setDepartment(QByteArray text) { m_department = std::move(text); }
    QByteArray LongDescription() const { return m_longDescription; }
    void setLongDescription(QByteArray text) { m_longDescription = std::move(text); }
    QByteArray ShortDescription() const { return m_shortDescription; }
    void setShortDescription(QByteArray text);

    // "" for list tweaks, which never have a rule.
    virtual QByteArray Ping() const { return {}; }
    bool hasRule() const { return !Ping().isEmpty(); }

    virtual QByteArray Value() const = 0;
    virtual void setValue(const QByteArray &text) = 0;

    QByteArray preset(PresetChoice choice) const;

    // The popup menu. A button release over the caption marks a ruled tweak for good ("Optimized", presets
    // disabled); only the right button (2) opens the menu. Returns whether the menu should open.
    bool labelButtonReleased(int button);
    bool optimizedMarked() const { return m_optimized; }
    bool presetMenuEnabled() const { return !m_optimized; }
    // "Default" or "Optimized".
    QString defaultMenuCaption() const;
    void menuDefault();
    // Does nothing for a tweak with a rule, even when called directly.
    void menuPreset(PresetChoice choice);

    // The value state as it is now, and putting one back without the setters' side effects (no bounding, no list
    // handling); the widgets then show it.
    virtual TweakValueState valueState() const = 0;
    virtual void restoreValueState(const TweakValueState &state) = 0;

    // Saved state, in the order the kind defines; reading back stores texts without the setters' side effects.
    virtual QStringList storeOrder() const = 0;
    void writeProperties(PropertyStore &store) const;
    void readProperties(const PropertyStore &store);

    // Calls call whenever something the widgets show has changed, after listeners added earlier, for as long as
    // the returned hold is kept. A listener must not let the tweak go: the change that calls it may be under way.
    [[nodiscard]] Listening onDisplayChanged(std::function<void()> call);

protected:
    // Something the widgets show has changed: tells the listeners.
    void displayChanged();

    virtual void applyDefaultFromMenu() = 0;
    virtual void applyPresetFromMenu(const QByteArray &preset) = 0;
    virtual QByteArray storedProperty(const QString &name) const;
    virtual void restoreProperty(const QString &name, const QByteArray &text);
    void reportRuleError(const QString &message) const;
    const ProgramState *state() const { return m_context->state; }

private:
    TweakKind m_kind;
    int m_index;
    const TweakContext *m_context;
    QByteArray m_tweak;
    QByteArray m_default;
    QByteArray m_presetQuality;
    QByteArray m_presetFps;
    QByteArray m_presetDieHard;
    QByteArray m_department;
    QByteArray m_longDescription;
    QByteArray m_shortDescription;
    bool m_optimized = false;
    std::shared_ptr<Listening::Listeners> m_listeners; // made for the first listener
};

// The tweak as the class of its kind, nullptr when it is of another kind.
template<typename Kind>
Kind *tweakAs(TweakModel *tweak)
{
    return tweak && tweak->kind() == Kind::modelKind ? static_cast<Kind *>(tweak) : nullptr;
}
template<typename Kind>
const Kind *tweakAs(const TweakModel *tweak)
{
    return tweak && tweak->kind() == Kind::modelKind ? static_cast<const Kind *>(tweak) : nullptr;
}

} // namespace Tunesmith
