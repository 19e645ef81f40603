#include "tweakmodel.h"

#include <QVarLengthArray>

#include <algorithm>

namespace Tunesmith
{

struct TweakModel::Listening::Listeners
{
    std::vector<std::pair<int, std::function<void()>>> calls; // by id, in the order they were added
    int nextId = 0;
    bool tweakGone = false;
};

TweakModel::Listening &TweakModel::Listening::operator=(Listening &&other) noexcept
{
    if (this != &other) {
        reset();
        m_listeners = std::move(other.m_listeners);
        m_id = std::exchange(other.m_id, -1);
    }
    return *this;
}

void TweakModel::Listening::reset()
{
    if (const auto listeners = m_listeners.lock()) {
        auto &calls = listeners->calls;
        calls.erase(std::remove_if(calls.begin(), calls.end(), [this](const auto &call) { return call.first == m_id; }),
                    calls.end());
    }
    m_listeners.reset();
    m_id = -1;
}

TweakModel::TweakModel(TweakKind kind, int index, const TweakContext *context)
    : m_kind(kind)
    , m_index(index)
    , m_context(context)
{}

TweakModel::~TweakModel()
{
    if (m_listeners)
        m_listeners->tweakGone = true;
}

TweakModel::Listening TweakModel::onDisplayChanged(std::function<void()> call)
{
    if (!m_listeners)
        m_listeners = std::make_shared<Listening::Listeners>();
    const int id = m_listeners->nextId++;
    m_listeners->calls.emplace_back(id, std::move(call));
    return Listening(m_listeners, id);
}

void TweakModel::displayChanged()
{
    if (!m_listeners || m_listeners->calls.empty())
        return;
    // A call may end listening, its own or another's, or add a listener: each listener present when the change
    // came is called unless it has stopped listening by its turn. Should a call let the tweak go after all, the
    // rest are not called.
    const std::shared_ptr<Listening::Listeners> listeners = m_listeners;
    QVarLengthArray<int, 4> ids;
    for (const auto &call : listeners->calls)
        ids.append(call.first);
    for (const int id : ids) {
        if (listeners->tweakGone)
            return;
        const auto &calls = listeners->calls;
        const auto found =
            std::find_if(calls.begin(), calls.end(), [id](const auto &call) { return call.first == id; });
        if (found == calls.end())
            continue;
        const std::function<void()> call = found->second; // the listener may stop listening while it runs
        call();
    }
}

void TweakModel::setShortDescription(QByteArray text)
{
    m_shortDescription = std::move(text);
    displayChanged();
}

QByteArray TweakModel::preset(PresetChoice choice) const
{
    switch (choice) {
    case PresetChoice::Quality:
        return m_presetQuality;
    case PresetChoice::Fps:
        return m_presetFps;
    case PresetChoice::DieHard:
        return m_presetDieHard;
    }
    return {};
}

bool TweakModel::labelButtonReleased(int button)
{
    if (hasRule() && !m_optimized) {
        m_optimized = true;
        displayChanged();
    }
    return button == 2;
}

QString TweakModel::defaultMenuCaption() const
{
    return m_optimized ? QStringLiteral("Optimized") : QStringLiteral("Default");
}

void TweakModel::menuDefault()
{
    applyDefaultFromMenu();
}

void TweakModel::menuPreset(PresetChoice choice)
{
    if (hasRule())
        return;
    applyPresetFromMenu(preset(choice));
}

void TweakModel::writeProperties(PropertyStore &store) const
{
    for (const QString &name : storeOrder())
        store.insert(name, storedProperty(name));
}

void TweakModel::readProperties(const PropertyStore &store)
{
    for (const QString &name : storeOrder())
        restoreProperty(name, store.value(name));
}

QByteArray TweakModel::storedProperty(const QString &name) const
{
    if (name == QLatin1String("Preset_Quality"))
        return m_presetQuality;
    if (name == QLatin1String("Preset_FPS"))
        return m_presetFps;
    if (name == QLatin1String("Preset_DieHard"))
        return m_presetDieHard;
    if (name == QLatin1String("Default"))
        return m_default;
    if (name == QLatin1String("Tweak"))
        return m_tweak;
    if (name == QLatin1String("ShortDescription"))
        return m_shortDescription;
    if (name == QLatin1String("LongDescription"))
        return m_longDescription;
    if (name == QLatin1String("Department"))
        return m_department;
    return {};
}

void TweakModel::restoreProperty(const QString &name, const QByteArray &text)
{
    if (name == QLatin1String("Preset_Quality"))
        m_presetQuality = text;
    else if (name == QLatin1String("Preset_FPS"))
        m_presetFps = text;
    else if (name == QLatin1String("Preset_DieHard"))
        m_presetDieHard = text;
    else if (name == QLatin1String("Default"))
        m_default = text;
    else if (name == QLatin1String("Tweak"))
        m_tweak = text;
    else if (name == QLatin1String("ShortDescription"))
        setShortDescription(text);
    else if (name == QLatin1String("LongDescription"))
        m_longDescription = text;
    else if (name == QLatin1String("Department"))
        m_department = text;
}

void TweakModel::reportRuleError(const QString &message) const
{
    if (m_context && m_context->reportRuleError)
        m_context->reportRuleError(message);
}

} // namespace Tunesmith
