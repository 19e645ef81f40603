#include "linediff.h"

#include "app/textlines.h"

#include <QHash>

#include <vector>

namespace Tunesmith
{

namespace LineDiff
{

namespace
{

struct Side
{
    QList<QByteArray> lines;
    bool endsWithLineEnd = false;
    std::vector<int> ids; // equal lines have equal ids
};

Side split(const QByteArray &text)
{
    const TextLines parsed = TextLines::split(text);
    return {parsed.lines, parsed.endsWithLineEnd, {}};
}

void assignIds(Side &a, Side &b)
{
    QHash<QByteArray, int> ids;
    for (Side *side : {&a, &b}) {
        side->ids.reserve(std::size_t(side->lines.size()));
        for (qsizetype i = 0; i < side->lines.size(); ++i) {
            // A last line without a line end is another line than the same text with one.
            QByteArray key = side->lines[i];
            if (i == side->lines.size() - 1 && !side->endsWithLineEnd)
                key.append('\0');
            auto known = ids.constFind(key);
            if (known == ids.constEnd())
                known = ids.insert(key, int(ids.size()));
            side->ids.push_back(known.value());
        }
    }
}

enum class Step
{
    Same,
    Remove,
    Add,
};

// The shortest edit script (Myers): every step from the start of both sequences to their ends, where Same moves
// along both, Remove along a and Add along b. The memory grows with the square of the number of edits only.
std::vector<Step> editScript(const int *a, int n, const int *b, int m)
{
    const int max = n + m;
    const int offset = max + 1;
    std::vector<int> v(std::size_t(2 * max + 3), 0);
    std::vector<std::vector<int>> trace; // v over k = -d .. d as it was before round d
    int rounds = 0;
    for (int d = 0; d <= max; ++d) {
        trace.emplace_back(v.begin() + (offset - d), v.begin() + (offset + d + 1));
        bool done = false;
        for (int k = -d; k <= d; k += 2) {
            int x = (k == -d || (k != d && v[std::size_t(offset + k - 1)] < v[std::size_t(offset + k + 1)]))
                        ? v[std::size_t(offset + k + 1)]
                        : v[std::size_t(offset + k - 1)] + 1;
            int y = x - k;
            while (x < n && y < m && a[x] == b[y]) {
                ++x;
                ++y;
            }
            v[std::size_t(offset + k)] = x;
            if (x >= n && y >= m) {
                done = true;
                break;
            }
        }
        if (done) {
            rounds = d;
            break;
        }
    }

    std::vector<Step> steps;
    int x = n;
    int y = m;
    for (int d = rounds; d > 0; --d) {
        const std::vector<int> &before = trace[std::size_t(d)];
        auto at = [&](int k) { return before[std::size_t(k + d)]; };
        const int k = x - y;
        const int previousK = (k == -d || (k != d && at(k - 1) < at(k + 1))) ? k + 1 : k - 1;
        const int previousX = at(previousK);
        const int previousY = previousX - previousK;
        while (x > previousX && y > previousY) {
            steps.push_back(Step::Same);
            --x;
            --y;
        }
        steps.push_back(x == previousX ? Step::Add : Step::Remove);
        x = previousX;
        y = previousY;
    }
    while (x > 0 && y > 0) {
        steps.push_back(Step::Same);
        --x;
        --y;
    }
    return {steps.rbegin(), steps.rend()};
}

QByteArray rangeText(int start, int count)
{
    // As diff writes it: an empty range names the line before it, and a single line has no count.
    if (count == 1)
        return QByteArray::number(start);
    return QByteArray::number(count == 0 ? start - 1 : start) + ',' + QByteArray::number(count);
}

} // namespace

QList<Line> compare(const QByteArray &oldText, const QByteArray &newText)
{
    Side a = split(oldText);
    Side b = split(newText);
    assignIds(a, b);
    const int n = int(a.ids.size());
    const int m = int(b.ids.size());

    // Most differences are a few lines in a long file: the common head and tail need no search.
    int head = 0;
    while (head < n && head < m && a.ids[std::size_t(head)] == b.ids[std::size_t(head)])
        ++head;
    int tail = 0;
    while (tail < n - head && tail < m - head && a.ids[std::size_t(n - 1 - tail)] == b.ids[std::size_t(m - 1 - tail)])
        ++tail;

    std::vector<Step> steps(std::size_t(head), Step::Same);
    const std::vector<Step> middle =
        editScript(a.ids.data() + head, n - head - tail, b.ids.data() + head, m - head - tail);
    steps.insert(steps.end(), middle.begin(), middle.end());
    steps.insert(steps.end(), std::size_t(tail), Step::Same);

    QList<Line> lines;
    lines.reserve(qsizetype(steps.size()));
    int i = 0;
    int j = 0;
    for (const Step step : steps) {
        switch (step) {
        case Step::Same:
            lines.append({Kind::Same, a.lines[i], i == n - 1 && !a.endsWithLineEnd, i + 1, j + 1});
            ++i;
            ++j;
            break;
        case Step::Remove:
            lines.append({Kind::Removed, a.lines[i], i == n - 1 && !a.endsWithLineEnd, i + 1, 0});
            ++i;
            break;
        case Step::Add:
            lines.append({Kind::Added, b.lines[j], j == m - 1 && !b.endsWithLineEnd, 0, j + 1});
            ++j;
            break;
        }
    }
    return lines;
}

QByteArray unified(const QByteArray &oldText, const QByteArray &newText, const QByteArray &oldLabel,
                   const QByteArray &newLabel, int context)
{
    const QList<Line> lines = compare(oldText, newText);
    const qsizetype count = lines.size();
    QByteArray out;
    qsizetype next = 0;
    while (next < count) {
        // The next change, and the hunk around it: changes closer than twice the context share one hunk.
        qsizetype first = next;
        while (first < count && lines[first].kind == Kind::Same)
            ++first;
        if (first == count)
            break;
        qsizetype last = first;
        qsizetype scan = first;
        while (scan < count) {
            if (lines[scan].kind != Kind::Same) {
                last = scan;
                ++scan;
                continue;
            }
            qsizetype gap = scan;
            while (gap < count && lines[gap].kind == Kind::Same)
                ++gap;
            if (gap == count || gap - scan > 2 * context)
                break;
            scan = gap;
        }
        const qsizetype begin = std::max(next, first - context);
        const qsizetype end = std::min(count, last + 1 + context);

        int oldStart = 0;
        int newStart = 0;
        int oldCount = 0;
        int newCount = 0;
        // Numbers of the lines before the hunk, for a side whose part of the hunk is empty.
        int oldBefore = 0;
        int newBefore = 0;
        for (qsizetype l = 0; l < begin; ++l) {
            if (lines[l].kind != Kind::Added)
                oldBefore = lines[l].oldNumber;
            if (lines[l].kind != Kind::Removed)
                newBefore = lines[l].newNumber;
        }
        QByteArray body;
        for (qsizetype l = begin; l < end; ++l) {
            const Line &line = lines[l];
            const char mark = line.kind == Kind::Same ? ' ' : line.kind == Kind::Removed ? '-' : '+';
            if (line.kind != Kind::Added) {
                if (oldCount++ == 0)
                    oldStart = line.oldNumber;
            }
            if (line.kind != Kind::Removed) {
                if (newCount++ == 0)
                    newStart = line.newNumber;
            }
            body += mark + line.text + '\n';
            if (line.missingLineEnd)
                body += "\\ No newline at end of file\n";
        }
        if (out.isEmpty())
            out = "--- " + oldLabel + "\n+++ " + newLabel + '\n';
        out += "@@ -" + rangeText(oldCount ? oldStart : oldBefore + 1, oldCount) + " +" +
               rangeText(newCount ? newStart : newBefore + 1, newCount) + " @@\n";
        out += body;
        next = end;
    }
    return out;
}

} // namespace LineDiff

} // namespace Tunesmith
