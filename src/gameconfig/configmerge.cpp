#include "configmerge.h"

#include "app/textlines.h"
#include "keyindex.h"

#include <cstring>
#include <deque>
#include <vector>

namespace Tunesmith
{

QByteArray mergeConfig(const ConfigSnapshot &snapshot, const ConfigSyntax &syntax, const QList<MergeItem> &items,
                       QList<MergeChange> *changes)
{
    const QList<QByteArrayView> &all = snapshot.allLines();
    // Room for every appended line up front: growing a vector of a large config's lines copies all of them.
    std::vector<QByteArrayView> lines;
    lines.reserve(std::size_t(all.size() + items.size()));
    lines.assign(all.begin(), all.end());
    std::deque<QByteArray> owned; // texts of replaced and appended lines; a deque keeps them in place
    std::size_t head = 0;
    bool endsWithLineEnd = snapshot.endsWithLineEnd();
    QByteArray lineEnd = snapshot.lineEnd();

    KeyIndex index;
    index.setCommonAffixes(syntax.prefix, syntax.middle);
    std::vector<int> keyIds;
    keyIds.reserve(std::size_t(items.size()));
    for (const MergeItem &item : items)
        keyIds.push_back(index.addKey(syntax.key(item.name)));

    // For each key, the lines that began with it when they were last written (entries may be stale: each use
    // checks the line's current text).
    std::vector<std::vector<int>> keyLines(std::size_t(index.keyCount()));
    auto indexLine = [&](std::size_t l) {
        index.forEachKeyAtStart(lines[l], [&](int id) { keyLines[std::size_t(id)].push_back(int(l)); });
    };
    for (std::size_t l = 0; l < lines.size(); ++l)
        indexLine(l);

    // Old values come from the snapshot: the first non-blank line of the file as read that begins with the key.
    std::vector<QByteArray> oldValues(std::size_t(index.keyCount()));
    for (int id = 0; id < index.keyCount(); ++id) {
        for (int l : keyLines[std::size_t(id)]) {
            if (!isBlank(lines[std::size_t(l)])) {
                oldValues[std::size_t(id)] = valueAfterKey(lines[std::size_t(l)], index.key(id).size(), syntax.suffix);
                break;
            }
        }
    }

    const bool wholeLine = syntax.suffix.isEmpty();
    std::vector<int> stamp(lines.size() + std::size_t(items.size()), -1);
    for (qsizetype step = 0; step < items.size(); ++step) {
        if (step > 0) {
            // The file the previous step wrote, as this step re-reads it: one line without an end holds no line end
            // (CR LF from then on), and an empty last line without an end reads as the file's final line end.
            if (lines.size() - head == 1 && !endsWithLineEnd)
                lineEnd = "\r\n";
            if (!endsWithLineEnd && head < lines.size() && lines.back().isEmpty()) {
                lines.pop_back();
                endsWithLineEnd = true;
            }
        }
        // Each step of the one-by-one save re-reads the file, which drops its leading blank lines.
        while (head < lines.size() && isBlank(lines[head]))
            ++head;
        if (head == lines.size())
            endsWithLineEnd = true;

        const int id = keyIds[std::size_t(step)];
        const QByteArray &key = index.key(id);
        const QByteArray oldLine = key + oldValues[std::size_t(id)] + syntax.suffix;
        const QByteArray newLine = key + items[step].value + syntax.suffix;

        bool found = false;
        if (oldLine.isEmpty()) {
            found = head < lines.size();
        } else {
            // Copy: indexLine below may append to this very list.
            const std::vector<int> candidates = keyLines[std::size_t(id)];
            for (int l : candidates) {
                const auto at = std::size_t(l);
                if (at < head || at >= lines.size() || stamp[at] == step)
                    continue;
                const QByteArrayView line = lines[at];
                if (wholeLine ? line != oldLine : !line.startsWith(oldLine))
                    continue;
                stamp[at] = int(step);
                found = true;
                QByteArray replaced = newLine;
                replaced.append(line.sliced(oldLine.size()));
                owned.push_back(std::move(replaced));
                if (changes)
                    changes->append({line.toByteArray(), owned.back()});
                lines[at] = owned.back();
                indexLine(at);
            }
        }
        if (!found) {
            owned.push_back(newLine);
            lines.push_back(owned.back());
            if (changes)
                changes->append({QByteArray(), newLine});
            indexLine(lines.size() - 1);
        }
    }

    qsizetype total = 0;
    for (std::size_t l = head; l < lines.size(); ++l)
        total += lines[l].size() + lineEnd.size();
    QByteArray out;
    out.reserve(total);
    if (head == lines.size())
        return out;
    // Copied into place: appending line by line costs more than the rest of the merge on a large config.
    out.resize(endsWithLineEnd ? total : total - lineEnd.size());
    char *at = out.data();
    for (std::size_t l = head; l < lines.size(); ++l) {
        if (l > head) {
            std::memcpy(at, lineEnd.constData(), std::size_t(lineEnd.size()));
            at += lineEnd.size();
        }
        std::memcpy(at, lines[l].data(), std::size_t(lines[l].size()));
        at += lines[l].size();
    }
    if (endsWithLineEnd)
        std::memcpy(at, lineEnd.constData(), std::size_t(lineEnd.size()));
    return out;
}

} // namespace Tunesmith
