#pragma once

#include <QByteArray>
#include <QByteArrayView>

#include <algorithm>
#include <array>
#include <bit>
#include <cstdint>
#include <cstring>
#include <span>
#include <string>
#include <utility>
#include <vector>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

namespace Tunesmith
{

// Finds which of a set of keys a line begins with. A line is looked up only at the lengths some key has and that
// pass cheap byte tests (the keys' common suffix ends there; optionally, the line's name ends there), and in the
// usual case, where every key is a name between the common affixes, only where the line's name ends: most lines
// cost a few byte comparisons and one hash probe, however many keys there are. Keys are kept by id (the
// order they were added; duplicates share one id).
class KeyIndex
{
public:
    // Every key starts with prefix and ends with suffix (the template's): a fast first test. Set before adding.
    void setCommonAffixes(QByteArrayView prefix, QByteArrayView suffix);
    // Only report a key where the line ends right after it or goes on with a byte that cannot continue a
    // variable's name (a letter, digit or "_" would).
    void setWholeNamesOnly(bool wholeNames) { m_wholeNames = wholeNames; }

    // Room for keyCount keys of keyBytes bytes in all, so adding them allocates nothing more.
    void reserve(qsizetype keyCount, qsizetype keyBytes);
    // Returns the key's id; adding a key twice gives the same id.
    int addKey(QByteArrayView key);
    int keyCount() const { return int(m_spans.size()); }
    // Valid until the next addKey.
    QByteArrayView key(int id) const
    {
        const Span &span = m_spans[std::size_t(id)];
        return QByteArrayView(m_bytes.data() + span.offset, span.length);
    }

    // The id of exactly this key, -1 when it was never added.
    int idOf(QByteArrayView key) const { return m_slots.empty() ? -1 : find(key.data(), key.size()); }

    // Every id whose key begins line and is longer than minLength bytes, shortest key first.
    template<typename Visit>
    void forEachKeyAtStart(QByteArrayView line, Visit visit, qsizetype minLength = -1) const
    {
        if (m_spans.empty() || !startsWithPrefix(line))
            return;
        if (keysEndWithNames()) {
            // The common case, kept apart from the general search below: one length to try, no call per line.
            const int id = keyEndingWithName(line, std::max(m_minLength, minLength + 1));
            if (id >= 0)
                visit(id);
            return;
        }
        const char *data = line.data();
        const qsizetype size = line.size();
        const qsizetype last = std::min(size, m_maxLength);
        const qsizetype suffixSize = m_commonSuffix.size();
        const auto tryLength = [&](qsizetype length) {
            if (!m_hasLength[std::size_t(length)] ||
                (length > 0 && !m_endsKey[static_cast<unsigned char>(data[length - 1])])) {
                return;
            }
            if (suffixSize > 0 &&
                std::memcmp(data + length - suffixSize, m_commonSuffix.constData(), std::size_t(suffixSize)) != 0) {
                return;
            }
            if (m_wholeNames && length < size && continuesName(data[length]))
                return;
            const int id = find(data, length);
            if (id >= 0)
                visit(id);
        };
        qsizetype length = std::max({m_minLength, minLength + 1, suffixSize});
        if (m_wholeNames) {
            // Only where the line's name ends.
            for (; length <= last; ++length) {
                if (length == size || !continuesName(data[length]))
                    tryLength(length);
            }
        } else if (suffixSize > 0) {
            // Only where the suffix's last byte is.
            while (length <= last) {
                const void *at = std::memchr(data + length - 1, m_commonSuffix.back(), std::size_t(last - length + 1));
                if (!at)
                    break;
                length = static_cast<const char *>(at) - data + 1;
                tryLength(length);
                ++length;
            }
        } else {
            for (; length <= last; ++length)
                tryLength(length);
        }
    }

    // A letter, digit or "_": a byte that continues a variable's name.
    static bool continuesName(char c) { return nameBytes[static_cast<unsigned char>(c)]; }

    // The first position from from on, before limit, whose byte does not continue a name; limit when there is
    // none. Sixteen bytes a step where the processor allows: every line of a large config passes through here.
    static qsizetype nameEnd(const char *data, qsizetype from, qsizetype limit)
    {
#if defined(__SSE2__)
        // A byte is in a range [low, low + n) when, shifted so that low becomes -128, it is below -128 + n.
        const auto inRange = [](__m128i bytes, char low, int n) {
            const __m128i shifted = _mm_add_epi8(bytes, _mm_set1_epi8(char(0x80 - static_cast<unsigned char>(low))));
            return _mm_cmplt_epi8(shifted, _mm_set1_epi8(char(-128 + n)));
        };
        for (; from + 16 <= limit; from += 16) {
            const __m128i bytes = _mm_loadu_si128(reinterpret_cast<const __m128i *>(data + from));
            const __m128i letters = inRange(_mm_or_si128(bytes, _mm_set1_epi8(0x20)), 'a', 26);
            const __m128i digits = inRange(bytes, '0', 10);
            const __m128i underscores = _mm_cmpeq_epi8(bytes, _mm_set1_epi8('_'));
            const auto inName = unsigned(_mm_movemask_epi8(_mm_or_si128(_mm_or_si128(letters, digits), underscores)));
            if (inName != 0xFFFF)
                return from + std::countr_one(inName);
        }
#endif
        while (from < limit && continuesName(data[from]))
            ++from;
        return from;
    }

private:
    static constexpr std::array<bool, 256> nameBytes = [] {
        std::array<bool, 256> bytes{};
        for (int c = 0; c < 256; ++c)
            bytes[std::size_t(c)] =
                (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') || c == '_';
        return bytes;
    }();

    struct Span
    {
        std::size_t offset;
        qsizetype length;
    };
    struct Slot
    {
        std::uint32_t check; // the hash's high half; 0 with id -1 marks an empty slot
        int id = -1;
    };

    // FxHash-style, eight bytes a step, with a final mix: keys are short and differ in a few bytes.
    static std::uint64_t hash(const char *data, qsizetype length)
    {
        constexpr std::uint64_t multiplier = 0x9E3779B97F4A7C15ULL;
        std::uint64_t h = std::uint64_t(length) * multiplier;
        const bool wholeWords = length >= 8;
        while (length >= 8) {
            std::uint64_t word;
            std::memcpy(&word, data, 8);
            h = (((h << 5) | (h >> 59)) ^ word) * multiplier;
            data += 8;
            length -= 8;
        }
        if (length > 0) {
            // The last bytes: one word read back from the end when the key is that long (a copy of a variable
            // length is a slow call), otherwise byte by byte.
            std::uint64_t word = 0;
            if (wholeWords) {
                std::memcpy(&word, data + length - 8, 8);
                word >>= 8 * (8 - length);
            } else {
                for (qsizetype i = 0; i < length; ++i)
                    word |= std::uint64_t(static_cast<unsigned char>(data[i])) << (8 * i);
            }
            h = (((h << 5) | (h >> 59)) ^ word) * multiplier;
        }
        h ^= h >> 31;
        h *= 0xBF58476D1CE4E5B9ULL;
        return h ^ (h >> 29);
    }

    // Whether every key is the prefix, bytes of a name and the suffix, which no name goes on with (or, without a
    // suffix, only whole names count): then a key can only end where the line's name does, plus the suffix, and a
    // line begins with at most one key.
    bool keysEndWithNames() const
    {
        return m_nameBytesOnly && (m_commonSuffix.isEmpty() ? m_wholeNames : !continuesName(m_commonSuffix[0]));
    }

    // When keysEndWithNames: the id of the key that begins line and is at least minLength bytes long, -1 for none.
    // The line must begin with the common prefix.
    int keyEndingWithName(QByteArrayView line, qsizetype minLength) const
    {
        const char *data = line.data();
        const qsizetype prefixSize = m_commonPrefix.size();
        const qsizetype suffixSize = m_commonSuffix.size();
        // Up to the line's end rather than the longest key's: sixteen bytes a step then cover most names whole.
        const qsizetype end = nameEnd(data, prefixSize, line.size()) + suffixSize;
        if (end < minLength || end > line.size() || end > m_maxLength || !m_hasLength[std::size_t(end)])
            return -1;
        if (suffixSize > 0 &&
            (std::memcmp(data + end - suffixSize, m_commonSuffix.constData(), std::size_t(suffixSize)) != 0 ||
             (m_wholeNames && end < line.size() && continuesName(data[end])))) {
            return -1;
        }
        return find(data, end);
    }

    bool startsWithPrefix(QByteArrayView line) const
    {
        const qsizetype size = m_commonPrefix.size();
        if (size == 0)
            return true;
        if (line.size() < size)
            return false;
        if (size <= 8 && line.size() >= 8) {
            // One word's compare for a template's short prefix ("seta ", "set "), the usual case.
            std::uint64_t word;
            std::memcpy(&word, line.data(), 8);
            return ((word ^ m_prefixWord) & m_prefixMask) == 0;
        }
        return std::memcmp(line.data(), m_commonPrefix.constData(), std::size_t(size)) == 0;
    }

    int find(const char *data, qsizetype length) const
    {
        return find(hash(data, length), data, length);
    }
    int find(std::uint64_t h, const char *data, qsizetype length) const
    {
        const auto check = std::uint32_t(h >> 32);
        const std::size_t mask = m_slots.size() - 1;
        for (std::size_t at = std::size_t(h) & mask;; at = (at + 1) & mask) {
            const Slot &slot = m_slots[at];
            if (slot.id < 0)
                return -1;
            if (slot.check == check) {
                const Span &span = m_spans[std::size_t(slot.id)];
                if (span.length == length && std::memcmp(m_bytes.data() + span.offset, data, std::size_t(length)) == 0)
                    return slot.id;
            }
        }
    }

    void insert(std::uint64_t h, int id);
    // Room for keyCount keys; puts every key in again.
    void rehash(std::size_t keyCount);

    std::string m_bytes; // the keys, one after another
    std::vector<Span> m_spans;
    std::vector<Slot> m_slots;         // open addressing, linear probing; size a power of two
    std::vector<char> m_hasLength;     // by length: whether some key has it
    std::array<bool, 256> m_endsKey{}; // by byte: whether some key ends with it
    qsizetype m_minLength = 0;
    qsizetype m_maxLength = -1;
    QByteArray m_commonPrefix;
    std::uint64_t m_prefixWord = 0; // a prefix of up to eight bytes as a word, and the mask of its bytes
    std::uint64_t m_prefixMask = 0;
    QByteArray m_commonSuffix;
    bool m_wholeNames = false;
    bool m_nameBytesOnly = true; // between the common affixes, every key holds only bytes that continue a name
};

// The lines a pass over a large config looks up at a time (forEachRange): a few ranges, so two CPUs share the
// pass, and enough lines in each that handing them out costs nothing measurable.
constexpr qsizetype linesPerPassRange = 4096;

// For each key id, lines of a file in file order: collected as (id, line) pairs in any order of ids, then
// grouped by id with one counting sort.
class KeyLineLists
{
public:
    using Hits = std::vector<std::pair<int, int>>; // key id, line

    KeyLineLists() = default;
    // hits must list every line of an id in file order.
    KeyLineLists(int keyCount, const Hits &hits)
        : KeyLineLists(keyCount, std::span<const Hits>(&hits, 1))
    {}
    // The hits of consecutive parts of the file, in file order.
    KeyLineLists(int keyCount, std::span<const Hits> parts)
        : m_start(std::size_t(keyCount) + 1, 0)
    {
        std::size_t total = 0;
        for (const Hits &hits : parts) {
            total += hits.size();
            for (const auto &hit : hits)
                ++m_start[std::size_t(hit.first) + 1];
        }
        for (std::size_t id = 1; id < m_start.size(); ++id)
            m_start[id] += m_start[id - 1];
        m_lines.resize(total);
        std::vector<int> fill(m_start.begin(), m_start.end() - 1);
        for (const Hits &hits : parts) {
            for (const auto &hit : hits)
                m_lines[std::size_t(fill[std::size_t(hit.first)]++)] = hit.second;
        }
    }

    int keyCount() const { return m_start.empty() ? 0 : int(m_start.size()) - 1; }
    std::pair<const int *, const int *> lines(int id) const
    {
        return {m_lines.data() + m_start[std::size_t(id)], m_lines.data() + m_start[std::size_t(id) + 1]};
    }

private:
    std::vector<int> m_start; // by key id: where its lines begin in m_lines
    std::vector<int> m_lines;
};

} // namespace Tunesmith
