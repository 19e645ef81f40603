#pragma once

#include "tweaks/tweakmodel.h"

#include <QByteArray>

#include <array>
#include <vector>

namespace Tunesmith
{

class LoadedProfile;

// Every tweak's value as the game config held it when it was last read or saved (the starting values, when there
// was no config): a tweak whose value differs from it now is changed, and a save would write it.
class SavedValues
{
public:
    SavedValues() = default;
    explicit SavedValues(const LoadedProfile &profile) { capture(profile); }

    // The values of now become the saved ones.
    void capture(const LoadedProfile &profile);
    bool isChanged(const TweakModel &tweak) const;
    int changedCount(const LoadedProfile &profile) const;

private:
    std::array<std::vector<QByteArray>, 3> m_values; // by kind, then index - 1
};

} // namespace Tunesmith
