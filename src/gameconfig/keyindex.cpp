#include "keyindex.h"

#include <algorithm>

namespace Tunesmith
{

void KeyIndex::setCommonAffixes(QByteArrayView prefix, QByteArrayView suffix)
{
    m_commonPrefix = prefix.toByteArray();
    m_commonSuffix = suffix.toByteArray();
    m_prefixWord = 0;
    m_prefixMask = 0;
    if (!prefix.isEmpty() && prefix.size() <= 8) {
        const std::array<unsigned char, 8> ones = {0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF};
        std::memcpy(&m_prefixWord, prefix.data(), std::size_t(prefix.size()));
        std::memcpy(&m_prefixMask, ones.data(), std::size_t(prefix.size()));
    }
}

void KeyIndex::reserve(qsizetype keyCount, qsizetype keyBytes)
{
    m_bytes.reserve(std::size_t(keyBytes));
    m_spans.reserve(std::size_t(keyCount));
    if (m_slots.size() < 2 * std::size_t(keyCount))
        rehash(std::size_t(keyCount));
}

int KeyIndex::addKey(QByteArrayView key)
{
    const std::uint64_t h = hash(key.data(), key.size());
    if (!m_slots.empty()) {
        const int found = find(h, key.data(), key.size());
        if (found >= 0)
            return found;
    }
    const int id = int(m_spans.size());
    m_spans.push_back({m_bytes.size(), key.size()});
    m_bytes.append(key.data(), std::size_t(key.size()));
    // At most half full, so probes stay short and an empty slot always ends them.
    if (m_slots.size() < 2 * m_spans.size())
        rehash(2 * m_spans.size());
    else
        insert(h, id);

    if (m_maxLength < 0 || key.size() < m_minLength)
        m_minLength = key.size();
    if (key.size() > m_maxLength) {
        m_maxLength = key.size();
        m_hasLength.resize(std::size_t(m_maxLength + 1), 0);
    }
    m_hasLength[std::size_t(key.size())] = 1;
    if (!key.isEmpty())
        m_endsKey[static_cast<unsigned char>(key.back())] = true;
    // A key too short to hold both affixes one after the other (they overlap in it) is no name between them.
    if (key.size() < m_commonPrefix.size() + m_commonSuffix.size())
        m_nameBytesOnly = false;
    const qsizetype from = std::min(key.size(), m_commonPrefix.size());
    const qsizetype to = std::max(from, key.size() - m_commonSuffix.size());
    if (nameEnd(key.data(), from, to) != to)
        m_nameBytesOnly = false;
    return id;
}

void KeyIndex::insert(std::uint64_t h, int id)
{
    const std::size_t mask = m_slots.size() - 1;
    std::size_t at = std::size_t(h) & mask;
    while (m_slots[at].id >= 0)
        at = (at + 1) & mask;
    m_slots[at] = {std::uint32_t(h >> 32), id};
}

void KeyIndex::rehash(std::size_t keyCount)
{
    std::size_t size = 16;
    while (size < 2 * keyCount)
        size *= 2;
    m_slots.assign(size, Slot{});
    for (std::size_t id = 0; id < m_spans.size(); ++id)
        insert(hash(m_bytes.data() + m_spans[id].offset, m_spans[id].length), int(id));
}

} // namespace Tunesmith
