#include "keyindex.h"

#include <algorithm>

namespace Tunesmith
{

int KeyIndex::addKey(const QByteArray &key)
{
    const auto found = m_ids.find(std::string_view(key.data(), std::size_t(key.size())));
    if (found != m_ids.end())
        return found->second;
    m_keys.push_back(key);
    // The map's key views the stored QByteArray; QByteArray is implicitly shared and never modified here, so the
    // data pointer stays valid when the vector moves its elements.
    const QByteArray &stored = m_keys.back();
    const int id = int(m_keys.size() - 1);
    m_ids.emplace(std::string_view(stored.constData(), std::size_t(stored.size())), id);
    updateLengths(int(key.size()));
    return id;
}

void KeyIndex::setCommonAffixes(const QByteArray &prefix, const QByteArray &suffix)
{
    m_commonPrefix = prefix;
    m_commonSuffix = suffix;
}

void KeyIndex::updateLengths(int length)
{
    const auto at = std::lower_bound(m_lengths.begin(), m_lengths.end(), length);
    if (at == m_lengths.end() || *at != length)
        m_lengths.insert(at, length);
}

} // namespace Tunesmith
