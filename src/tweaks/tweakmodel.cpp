#include "tweakmodel.h"

namespace Tunesmith
{

TweakModel::TweakModel(TweakKind kind, int index, const TweakContext *context, QObject *parent)
    : QObject(parent)
    , m_kind(kind)
    , m_index(index)
    , m_context(context)
{}

void TweakModel::setShortDescription(QByteArray text)
{
    m_shortDescription = std::move(text);
    emit displayChanged();
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
        emit displayChanged();
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
