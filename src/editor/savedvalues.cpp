#include "savedvalues.h"

#include "loader/loadedprofile.h"

namespace Tunesmith
{

void SavedValues::capture(const LoadedProfile &profile)
{
    for (std::vector<QByteArray> &values : m_values)
        values.clear();
    for (const TweakModel *tweak : profile.saveOrder()) {
        std::vector<QByteArray> &values = m_values[std::size_t(tweak->kind())];
        values.resize(std::max(values.size(), std::size_t(tweak->index())));
        values[std::size_t(tweak->index() - 1)] = tweak->Value();
    }
}

bool SavedValues::isChanged(const TweakModel &tweak) const
{
    const std::vector<QByteArray> &values = m_values[std::size_t(tweak.kind())];
    const auto at = std::size_t(tweak.index() - 1);
    return at >= values.size() || values[at] != tweak.Value();
}

int SavedValues::changedCount(const LoadedProfile &profile) const
{
    int count = 0;
    for (const TweakModel *tweak : profile.saveOrder())
        count += isChanged(*tweak) ? 1 : 0;
    return count;
}

} // namespace Tunesmith
