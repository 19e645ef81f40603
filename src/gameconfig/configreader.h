#pragma once

#include "app/programstate.h"
#include "configsnapshot.h"

#include <QString>

namespace Tunesmith
{

class LoadedProfile;

namespace GameConfigReader
{

// Sets every tweak that the config holds (a line begins with the template prefix and the tweak's name) to the
// value after its key: on/off, then numeric tweaks by Value, then list tweaks by SetDesAsValue. A config with
// no non-blank line changes nothing.
void applySnapshot(LoadedProfile &profile, const ConfigSyntax &syntax, const ConfigSnapshot &snapshot);

// The largest config a profile keeps after reading it, for its next save: far above any game's own config, and a
// bound on what an open profile holds beyond its tweaks.
constexpr qsizetype maxKeptConfigSize = qsizetype(16) << 20;

// The same for the file at path, which the profile then keeps as its last config when it is no larger than
// maxKeptConfigSize. Returns false when it cannot be read (nothing changes then).
bool apply(LoadedProfile &profile, const ConfigSyntax &syntax, const QString &path);

} // namespace GameConfigReader

} // namespace Tunesmith
