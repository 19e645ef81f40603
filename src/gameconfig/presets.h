#pragma once

#include <QByteArray>

#include <optional>

namespace Tunesmith
{

class LoadedProfile;

enum class Preset
{
    HighQuality,
    Default,
    FpsBoost,
    DieHard,
};

namespace Presets
{

// Sets every tweak to the preset: on/off, then list, then numeric tweaks, each by index. Ruled tweaks are
// evaluated again by "Default Settings" and left alone by the other three.
void apply(LoadedProfile &profile, Preset preset);

// "High Quality", "Default Settings", "FPS Boost", "Die Hard FPS", or the short names quality, default, fps,
// diehard.
std::optional<Preset> fromName(const QByteArray &name);

} // namespace Presets

} // namespace Tunesmith
