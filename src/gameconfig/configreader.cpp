#include "configreader.h"

#include "loader/loadedprofile.h"

#include <memory>
#include <optional>

namespace Tunesmith
{

namespace GameConfigReader
{

namespace
{

// applySnapshot, giving the lookup it made (none for a config without a non-blank line).
std::optional<ConfigLookup> applyLookup(LoadedProfile &profile, const ConfigSyntax &syntax,
                                        const ConfigSnapshot &snapshot)
{
    if (snapshot.isEmpty())
        return std::nullopt;
    QList<QByteArray> names;
    names.reserve(qsizetype(profile.simple.size() + profile.text.size() + profile.multi.size()));
    for (const auto &tweak : profile.simple)
        names.append(tweak->Tweak());
    for (const auto &tweak : profile.text)
        names.append(tweak->Tweak());
    for (const auto &tweak : profile.multi)
        names.append(tweak->Tweak());
    ConfigLookup lookup(snapshot, syntax, names);

    int i = 0;
    for (const auto &tweak : profile.simple) {
        if (lookup.holds(i))
            tweak->setValue(lookup.value(i));
        ++i;
    }
    for (const auto &tweak : profile.text) {
        if (lookup.holds(i))
            tweak->setValue(lookup.value(i));
        ++i;
    }
    for (const auto &tweak : profile.multi) {
        if (lookup.holds(i))
            tweak->SetDesAsValue(lookup.value(i));
        ++i;
    }
    return lookup;
}

} // namespace

void applySnapshot(LoadedProfile &profile, const ConfigSyntax &syntax, const ConfigSnapshot &snapshot)
{
    applyLookup(profile, syntax, snapshot);
}

bool apply(LoadedProfile &profile, const ConfigSyntax &syntax, const QString &path)
{
    auto snapshot = ConfigSnapshot::read(path, nullptr);
    if (!snapshot)
        return false;
    auto scanned = std::make_shared<ScannedConfig>();
    scanned->snapshot = std::move(*snapshot);
    scanned->lookup = applyLookup(profile, syntax, scanned->snapshot);
    if (scanned->snapshot.bytes().size() <= maxKeptConfigSize)
        profile.lastConfig = std::move(scanned);
    else
        profile.lastConfig.reset();
    return true;
}

} // namespace GameConfigReader

} // namespace Tunesmith
