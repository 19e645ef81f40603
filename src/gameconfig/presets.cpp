#include "presets.h"

#include "loader/loadedprofile.h"

namespace Tunesmith
{

namespace Presets
{

namespace
{

QByteArray source(const TweakModel &tweak, Preset preset)
{
    switch (preset) {
    case Preset::HighQuality:
        return tweak.Preset_Quality();
    case Preset::Default:
        return tweak.Default();
    case Preset::FpsBoost:
        return tweak.Preset_FPS();
    case Preset::DieHard:
        return tweak.Preset_DieHard();
    }
    return {};
}

template<typename Ruled>
void applyRuled(Ruled &tweak, Preset preset)
{
    if (!tweak.hasRule())
        tweak.setValue(source(tweak, preset));
    else if (preset == Preset::Default)
        tweak.SetPing();
}

} // namespace

void apply(LoadedProfile &profile, Preset preset)
{
    for (const auto &tweak : profile.simple)
        applyRuled(*tweak, preset);
    for (const auto &tweak : profile.multi)
        tweak->setValue(source(*tweak, preset));
    for (const auto &tweak : profile.text)
        applyRuled(*tweak, preset);
}

std::optional<Preset> fromName(const QByteArray &name)
{
    if (name == "High Quality" || name == "quality")
        return Preset::HighQuality;
    if (name == "Default Settings" || name == "default")
        return Preset::Default;
    if (name == "FPS Boost" || name == "fps")
        return Preset::FpsBoost;
    if (name == "Die Hard FPS" || name == "diehard")
        return Preset::DieHard;
    return std::nullopt;
}

} // namespace Presets

} // namespace Tunesmith
