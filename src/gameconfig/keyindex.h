#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QList>

#include <cstring>
#include <string_view>
#include <unordered_map>
#include <vector>

namespace Tunesmith
{

// Finds which of a set of keys a line begins with, in time proportional to the number of distinct key lengths
// rather than the number of keys. Keys are kept by id (the order they were added; duplicates share one id).
class KeyIndex
{
public:
    // Returns the key's id; adding a key twice gives the same id.
    int addKey(const QByteArray &key);
    int keyCount() const { return int(m_keys.size()); }
    const QByteArray &key(int id) const { return m_keys[std::size_t(id)]; }

    // Every id whose key begins line, shortest key first. commonPrefix, when every key starts with it, lets most
    // lines be passed over with one comparison.
    template<typename Visit>
    void forEachKeyAtStart(QByteArrayView line, Visit visit) const
    {
        if (!line.startsWith(m_commonPrefix))
            return;
        const char *data = line.data();
        const qsizetype suffixSize = m_commonSuffix.size();
        for (int length : m_lengths) {
            if (length > line.size())
                break;
            // Most lengths fail on the suffix's last byte, so that is compared before the rest; this loop runs for
            // every line of a config and every key length.
            if (suffixSize > 0 && length >= suffixSize &&
                (data[length - 1] != m_commonSuffix.back() ||
                 std::memcmp(data + length - suffixSize, m_commonSuffix.constData(), std::size_t(suffixSize)) != 0)) {
                continue;
            }
            const auto found = m_ids.find(std::string_view(data, std::size_t(length)));
            if (found != m_ids.end())
                visit(found->second);
        }
    }

    // Every key starts with prefix and ends with suffix (the template's): a fast first test.
    void setCommonAffixes(const QByteArray &prefix, const QByteArray &suffix);

private:
    void updateLengths(int length);

    std::vector<QByteArray> m_keys;
    std::unordered_map<std::string_view, int> m_ids;
    std::vector<int> m_lengths; // sorted, distinct
    QByteArray m_commonPrefix;
    QByteArray m_commonSuffix;
};

} // namespace Tunesmith
