#include "configmerge.h"

#include "app/rangework.h"
#include "app/textlines.h"
#include "configline.h"
#include "keyindex.h"

#include <algorithm>
#include <cstring>
#include <optional>
#include <string>
#include <utility>
#include <vector>

namespace Tunesmith
{

namespace
{

// The file as the steps of a save leave it: the snapshot's lines, some of them replaced, then the appended
// ones. Only replaced and appended lines are stored, one after another in one buffer; every other line stays a
// view into the snapshot, so a large config is neither copied nor split into owned lines.
class MergedLines
{
public:
    explicit MergedLines(const LineTable &original)
        : m_original(original)
        , m_originalCount(original.size())
    {}

    qsizetype count() const { return m_originalCount + qsizetype(m_appended.size()); }
    // Valid until the next replace or append.
    QByteArrayView text(qsizetype line) const
    {
        const int at = writtenAt(line);
        return at < 0 ? m_original[line] : view(m_written[std::size_t(at)]);
    }
    // The step that last wrote the line, -1 for a line as the snapshot has it.
    int stamp(qsizetype line) const
    {
        const int at = writtenAt(line);
        return at < 0 ? -1 : m_written[std::size_t(at)].stamp;
    }

    void replace(qsizetype line, QByteArrayView text, int step)
    {
        if (line >= m_originalCount) {
            m_written[std::size_t(m_appended[std::size_t(line - m_originalCount)])] = store(text, step);
            return;
        }
        if (m_replacedAt.empty())
            m_replacedAt.assign(std::size_t(m_originalCount), -1);
        int &at = m_replacedAt[std::size_t(line)];
        if (at < 0) {
            at = int(m_written.size());
            m_written.push_back(store(text, step));
        } else {
            m_written[std::size_t(at)] = store(text, step);
        }
    }
    void append(QByteArrayView text, int step)
    {
        m_appended.push_back(int(m_written.size()));
        m_written.push_back(store(text, step));
    }
    void popBack()
    {
        if (!m_appended.empty())
            m_appended.pop_back();
        else
            --m_originalCount;
    }

    // The lines from first on joined with lineEnd, with a final lineEnd when endsWithLineEnd is set, handed to put
    // piece by piece until it returns false. Runs of the snapshot's lines go in one piece when their own line ends
    // are lineEnd.
    template<typename Put>
    bool writeTo(qsizetype first, const QByteArray &lineEnd, bool endsWithLineEnd, bool runsKeepLineEnds, Put put) const
    {
        return writeWith(replacedFrom(first), first, lineEnd, endsWithLineEnd, runsKeepLineEnds, put);
    }

    // What writeTo hands over, in one buffer.
    QByteArray join(qsizetype first, const QByteArray &lineEnd, bool endsWithLineEnd, bool runsKeepLineEnds) const
    {
        const std::vector<std::pair<qsizetype, int>> replaced = replacedFrom(first);
        qsizetype total = (count() - first) * lineEnd.size();
        if (!endsWithLineEnd)
            total -= lineEnd.size();
        for (qsizetype l = first; l < m_originalCount; ++l)
            total += m_original[l].size();
        for (const auto &[line, at] : replaced)
            total += m_written[std::size_t(at)].length - m_original[line].size();
        for (auto at = appendedFrom(first); at != m_appended.cend(); ++at)
            total += m_written[std::size_t(*at)].length;

        QByteArray out(total, Qt::Uninitialized);
        char *to = out.data();
        writeWith(replaced, first, lineEnd, endsWithLineEnd, runsKeepLineEnds, [&to](QByteArrayView bytes) {
            std::memcpy(to, bytes.data(), std::size_t(bytes.size()));
            to += bytes.size();
            return true;
        });
        Q_ASSERT(to == out.data() + total);
        return out;
    }

private:
    struct Written
    {
        std::size_t offset;
        qsizetype length;
        int stamp;
    };

    // writeTo, given the replaced lines from first on.
    template<typename Put>
    bool writeWith(const std::vector<std::pair<qsizetype, int>> &replaced, qsizetype first, const QByteArray &lineEnd,
                   bool endsWithLineEnd, bool runsKeepLineEnds, Put put) const
    {
        bool firstLine = true;
        const auto putLine = [&](QByteArrayView line) {
            const bool ended = firstLine || put(QByteArrayView(lineEnd));
            firstLine = false;
            return ended && put(line);
        };
        auto next = replaced.cbegin();
        for (qsizetype l = first; l < m_originalCount;) {
            const qsizetype runEnd = next == replaced.cend() ? m_originalCount : next->first;
            if (runsKeepLineEnds && l < runEnd) {
                const char *from = m_original[l].data();
                if (!putLine(
                        QByteArrayView(from, m_original[runEnd - 1].data() + m_original[runEnd - 1].size() - from)))
                    return false;
                l = runEnd;
            }
            for (; l < runEnd; ++l) {
                if (!putLine(m_original[l]))
                    return false;
            }
            if (next != replaced.cend()) {
                if (!putLine(view(m_written[std::size_t(next->second)])))
                    return false;
                ++next;
                ++l;
            }
        }
        for (auto at = appendedFrom(first); at != m_appended.cend(); ++at) {
            if (!putLine(view(m_written[std::size_t(*at)])))
                return false;
        }
        return !endsWithLineEnd || put(QByteArrayView(lineEnd));
    }

    // Leading blank lines are dropped, and with no line of the snapshot left, appended ones may be too.
    std::vector<int>::const_iterator appendedFrom(qsizetype first) const
    {
        return m_appended.cbegin() + std::max<qsizetype>(0, first - m_originalCount);
    }

    int writtenAt(qsizetype line) const
    {
        if (line >= m_originalCount)
            return m_appended[std::size_t(line - m_originalCount)];
        return m_replacedAt.empty() ? -1 : m_replacedAt[std::size_t(line)];
    }
    // The replaced lines of the snapshot from first on, in file order, with their texts in m_written.
    std::vector<std::pair<qsizetype, int>> replacedFrom(qsizetype first) const
    {
        std::vector<std::pair<qsizetype, int>> replaced;
        if (m_replacedAt.empty())
            return replaced;
        for (qsizetype line = first; line < m_originalCount; ++line) {
            if (m_replacedAt[std::size_t(line)] >= 0)
                replaced.emplace_back(line, m_replacedAt[std::size_t(line)]);
        }
        return replaced;
    }
    QByteArrayView view(const Written &written) const
    {
        return QByteArrayView(m_bytes.data() + written.offset, written.length);
    }
    // text must not point into m_bytes, which may move.
    Written store(QByteArrayView text, int step)
    {
        const Written written{m_bytes.size(), text.size(), step};
        m_bytes.append(text.data(), std::size_t(text.size()));
        return written;
    }

    const LineTable &m_original;
    qsizetype m_originalCount;
    std::string m_bytes;
    std::vector<Written> m_written;
    std::vector<int> m_replacedAt; // by snapshot line: its text in m_written, -1 for none; empty until a replace
    std::vector<int> m_appended;   // texts in m_written, in file order
};

// For each key, the lines that began with it when they were written: the snapshot's lines found by one pass,
// then the lines written during the merge. Entries may be stale; each use checks the line's current text.
//
// With loose spacing the index holds the names alone, and a line is looked up after its prefix: a line listed
// under a name may still lack the template's middle after it.
class KeyLines
{
public:
    KeyLines(const KeyIndex &index, const ConfigSyntax &syntax, const LineTable &lines)
        : m_index(index)
        , m_syntax(syntax)
    {
        // A large file is passed over a range of lines at a time, on two CPUs where there are.
        std::vector<KeyLineLists::Hits> found(std::size_t(rangeCount(lines.size(), linesPerPassRange)));
        forEachRange(lines.size(), linesPerPassRange, [&](qsizetype begin, qsizetype end, qsizetype range) {
            KeyLineLists::Hits &hits = found[std::size_t(range)];
            for (qsizetype l = begin; l < end; ++l)
                forEachKey(lines[l], [&](int id) { hits.emplace_back(id, int(l)); });
        });
        m_original = KeyLineLists(index.keyCount(), found);
    }
    // The snapshot's lines by key as an earlier pass found them.
    KeyLines(const KeyIndex &index, const ConfigSyntax &syntax, KeyLineLists original)
        : m_index(index)
        , m_syntax(syntax)
        , m_original(std::move(original))
    {}

    // The snapshot's lines that begin with the key, in file order.
    std::pair<const int *, const int *> original(int id) const { return m_original.lines(id); }

    // Lists a line written during the merge under every key longer than longerThan bytes that begins it.
    void add(qsizetype line, QByteArrayView text, qsizetype longerThan)
    {
        forEachKey(
            text,
            [&](int id) {
                if (m_head.empty()) {
                    m_head.assign(std::size_t(m_original.keyCount()), -1);
                    m_tail.assign(std::size_t(m_original.keyCount()), -1);
                }
                const int node = int(m_added.size());
                m_added.push_back({int(line), -1});
                int &tail = m_tail[std::size_t(id)];
                (tail < 0 ? m_head[std::size_t(id)] : m_added[std::size_t(tail)].next) = node;
                tail = node;
            },
            longerThan);
    }

    // Every line listed under the key: the snapshot's first, then the written ones in the order they were added.
    template<typename Visit>
    void forEach(int id, Visit visit) const
    {
        const auto [begin, end] = original(id);
        for (const int *line = begin; line != end; ++line)
            visit(qsizetype(*line));
        if (m_head.empty())
            return;
        for (int node = m_head[std::size_t(id)]; node >= 0; node = m_added[std::size_t(node)].next)
            visit(qsizetype(m_added[std::size_t(node)].line));
    }

private:
    struct Added
    {
        int line;
        int next;
    };

    template<typename Visit>
    void forEachKey(QByteArrayView line, Visit visit, qsizetype longerThan = -1) const
    {
        if (!m_syntax.looseSpacing) {
            m_index.forEachKeyAtStart(line, visit, longerThan);
            return;
        }
        const qsizetype nameAt = ConfigLine::pieceEnd(line, 0, m_syntax.prefix, true);
        if (nameAt >= 0)
            m_index.forEachKeyAtStart(line.sliced(nameAt), visit);
    }

    const KeyIndex &m_index;
    const ConfigSyntax &m_syntax;
    KeyLineLists m_original;
    std::vector<Added> m_added;
    std::vector<int> m_head;
    std::vector<int> m_tail;
};

void assign(std::string &to, std::initializer_list<QByteArrayView> parts)
{
    to.clear();
    for (QByteArrayView part : parts)
        to.append(part.data(), std::size_t(part.size()));
}

// The snapshot's lines that begin with each key, from a lookup's pass over the same snapshot: nullopt unless the
// lookup used the same prefix and middle and looked up every key's name (and passed over as many lines).
std::optional<KeyLineLists> scannedKeyLines(const KeyIndex &index, const ConfigSnapshot &snapshot,
                                            const ConfigSyntax &syntax, const ConfigLookup &scan)
{
    if (syntax.looseSpacing || scan.lineCount() != snapshot.allLines().size() ||
        scan.syntax().prefix != syntax.prefix || scan.syntax().middle != syntax.middle || scan.syntax().looseSpacing) {
        return std::nullopt;
    }
    std::vector<std::pair<int, int>> hits;
    for (int id = 0; id < index.keyCount(); ++id) {
        std::pair<const int *, const int *> lines;
        if (!scan.linesWithKey(index.key(id), &lines))
            return std::nullopt;
        for (const int *line = lines.first; line != lines.second; ++line)
            hits.emplace_back(id, *line);
    }
    return KeyLineLists(index.keyCount(), hits);
}

// The file as the steps leave it, and how its lines are joined.
struct Merged
{
    explicit Merged(const ConfigSnapshot &snapshot)
        : lines(snapshot.allLines())
        , endsWithLineEnd(snapshot.endsWithLineEnd())
        , lineEnd(snapshot.lineEnd())
    {}

    MergedLines lines;
    qsizetype head = 0; // the first line kept
    bool endsWithLineEnd;
    QByteArray lineEnd;
    bool runsKeepLineEnds = false;

    bool isEmpty() const { return head == lines.count(); }
};

// Applies the items (at least one) in order, as the one-by-one save does.
void applySteps(Merged &merged, const ConfigSnapshot &snapshot, const ConfigSyntax &syntax,
                const QList<MergeItem> &items, QList<MergeChange> *changes, const ConfigLookup *scan)
{
    const LineTable &original = snapshot.allLines();
    MergedLines &lines = merged.lines;
    qsizetype &head = merged.head;
    bool &endsWithLineEnd = merged.endsWithLineEnd;
    QByteArray &lineEnd = merged.lineEnd;

    // Exactly, a line begins with its key: prefix, name and middle. With loose spacing the index holds the names.
    const bool loose = syntax.looseSpacing;
    KeyIndex index;
    if (loose)
        index.setWholeNamesOnly(!syntax.middle.isEmpty() && !KeyIndex::continuesName(syntax.middle[0]));
    else
        index.setCommonAffixes(syntax.prefix, syntax.middle);
    const qsizetype affixes = loose ? 0 : syntax.prefix.size() + syntax.middle.size();
    qsizetype nameBytes = 0;
    for (const MergeItem &item : items)
        nameBytes += item.name.size();
    index.reserve(items.size(), nameBytes + items.size() * affixes);
    std::vector<int> keyIds;
    keyIds.reserve(std::size_t(items.size()));
    std::string key;
    for (const MergeItem &item : items) {
        assign(key, loose ? std::initializer_list<QByteArrayView>{item.name}
                          : std::initializer_list<QByteArrayView>{syntax.prefix, item.name, syntax.middle});
        keyIds.push_back(index.addKey(key));
    }
    std::optional<KeyLineLists> scanned;
    if (scan)
        scanned = scannedKeyLines(index, snapshot, syntax, *scan);
    KeyLines keyLines = scanned ? KeyLines(index, syntax, std::move(*scanned)) : KeyLines(index, syntax, original);
    // Where the value of key id begins in a line listed under it, -1 when the line is not the key's line (any more).
    const auto valueStart = [&](QByteArrayView line, int id) -> qsizetype {
        const QByteArrayView key = index.key(id);
        if (loose)
            return ConfigLine::valueStart(line, syntax, key);
        return line.startsWith(key) ? key.size() : -1;
    };

    // Old values come from the snapshot: the first non-blank line of the file as read that is the key's line.
    std::vector<QByteArrayView> oldValues(std::size_t(index.keyCount()));
    for (int id = 0; id < index.keyCount(); ++id) {
        const auto [begin, end] = keyLines.original(id);
        for (const int *line = begin; line != end; ++line) {
            const qsizetype start = isBlank(original[*line]) ? -1 : valueStart(original[*line], id);
            if (start >= 0) {
                oldValues[std::size_t(id)] = ConfigLine::valueAt(original[*line], start, syntax.suffix);
                break;
            }
        }
    }

    std::string newLine;
    QByteArray replaced;
    for (qsizetype step = 0; step < items.size(); ++step) {
        if (step > 0) {
            // The file the previous step wrote, as this step re-reads it: one line without an end holds no line end
            // (CR LF from then on), and an empty last line without an end reads as the file's final line end.
            if (lines.count() - head == 1 && !endsWithLineEnd)
                lineEnd = "\r\n";
            if (!endsWithLineEnd && head < lines.count() && lines.text(lines.count() - 1).isEmpty()) {
                lines.popBack();
                endsWithLineEnd = true;
            }
        }
        // Each step of the one-by-one save re-reads the file, which drops its leading blank lines.
        while (head < lines.count() && isBlank(lines.text(head)))
            ++head;
        if (head == lines.count())
            endsWithLineEnd = true;

        const int id = keyIds[std::size_t(step)];
        const MergeItem &item = items[step];
        const QByteArrayView oldValue = oldValues[std::size_t(id)];
        assign(newLine, {syntax.prefix, item.name, syntax.middle, item.value, syntax.suffix});

        bool found = false;
        if (syntax.prefix.isEmpty() && item.name.isEmpty() && syntax.middle.isEmpty() && oldValue.isEmpty() &&
            syntax.suffix.isEmpty()) {
            // The old line is empty text, which every file with content holds and no line is.
            found = head < lines.count();
        } else {
            keyLines.forEach(id, [&](qsizetype at) {
                if (at < head || at >= lines.count() || lines.stamp(at) == step)
                    return;
                const QByteArrayView line = lines.text(at);
                const qsizetype start = valueStart(line, id);
                if (start < 0 || !ConfigLine::holdsValue(line, start, oldValue, syntax.suffix))
                    return;
                found = true;
                replaced = ConfigLine::withValue(line, start, oldValue.size(), item.value, syntax.suffix);
                if (changes)
                    changes->append({line.toByteArray(), replaced});
                lines.replace(at, replaced, int(step));
                // Keys up to this one's length begin the new text exactly when they began the old one, and the
                // line is listed under those already.
                keyLines.add(at, replaced, loose ? -1 : index.key(id).size());
            });
        }
        if (!found) {
            lines.append(newLine, int(step));
            if (changes)
                changes->append({QByteArray(), QByteArray(newLine.data(), qsizetype(newLine.size()))});
            keyLines.add(lines.count() - 1, newLine, -1);
        }
    }

    merged.runsKeepLineEnds = snapshot.uniformLineEnds() && lineEnd == snapshot.lineEnd();
}

} // namespace

QByteArray mergeConfig(const ConfigSnapshot &snapshot, const ConfigSyntax &syntax, const QList<MergeItem> &items,
                       QList<MergeChange> *changes, const ConfigLookup *scan)
{
    // Without a single item the one-by-one save never rewrites the file: it keeps its leading blank lines and
    // every line end as they are.
    if (items.isEmpty())
        return snapshot.bytes();
    Merged merged(snapshot);
    applySteps(merged, snapshot, syntax, items, changes, scan);
    if (merged.isEmpty())
        return {};
    return merged.lines.join(merged.head, merged.lineEnd, merged.endsWithLineEnd, merged.runsKeepLineEnds);
}

bool writeMergedConfig(const ConfigSnapshot &snapshot, const ConfigSyntax &syntax, const QList<MergeItem> &items,
                       const PieceWriter &write, const ConfigLookup *scan)
{
    if (items.isEmpty())
        return write(snapshot.bytes());
    Merged merged(snapshot);
    applySteps(merged, snapshot, syntax, items, nullptr, scan);
    if (merged.isEmpty())
        return true;
    return merged.lines.writeTo(merged.head, merged.lineEnd, merged.endsWithLineEnd, merged.runsKeepLineEnds, write);
}

QByteArray lineEndsMadeOne(const ConfigSnapshot &snapshot, const QByteArray &merged)
{
    if (snapshot.uniformLineEnds() || merged == snapshot.bytes())
        return {};
    return LineTable(merged).firstLineEnd().toByteArray();
}

} // namespace Tunesmith
