#pragma once

#include "tweaks/tweakmodel.h"

#include <QList>
#include <QString>

namespace Tunesmith
{

class LoadedProfile;

// A tweak found by the main window's search field.
struct TweakMatch
{
    TweakKind kind = TweakKind::Simple;
    int index = 0;
    int page = 0;
};

// The tweaks whose variable name, short description or long description holds text (ignoring letter case), in
// the order the pages show them: page by page, each in the order its controls were placed. None for "".
QList<TweakMatch> findTweaks(const LoadedProfile &profile, const QString &text);

} // namespace Tunesmith
