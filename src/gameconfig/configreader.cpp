#include "configreader.h"

#include "loader/loadedprofile.h"

namespace Tunesmith
{

namespace GameConfigReader
{

void applySnapshot(LoadedProfile &profile, const ConfigSyntax &syntax, const ConfigSnapshot &snapshot)
{
    if (snapshot.isEmpty())
        return;
    QList<QByteArray> names;
    names.reserve(qsizetype(profile.simple.size() + profile.text.size() + profile.multi.size()));
    for (const auto &tweak : profile.simple)
        names.append(tweak->Tweak());
    for (const auto &tweak : profile.text)
        names.append(tweak->Tweak());
    for (const auto &tweak : profile.multi)
        names.append(tweak->Tweak());
    const ConfigLookup lookup(snapshot, syntax, names);

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
}

bool apply(LoadedProfile &profile, const ConfigSyntax &syntax, const QString &path)
{
    const auto snapshot = ConfigSnapshot::read(path, nullptr);
    if (!snapshot)
        return false;
    applySnapshot(profile, syntax, *snapshot);
    return true;
}

} // namespace GameConfigReader

} // namespace Tunesmith
