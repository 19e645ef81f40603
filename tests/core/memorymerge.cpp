#include "memorymerge.h"

#include "gameconfig/configsnapshot.h"

#include <algorithm>

namespace Tunesmith
{

QByteArray replaceOrAppendBytes(const QByteArray &bytes, const QByteArray &search, const QByteArray &replacement,
                                LineMatch match)
{
    // The lines as a re-read of the file sees them: ended by CR LF, CR or LF; the first end found is the file's.
    QList<QByteArrayView> lines;
    QByteArrayView lineEnd;
    bool endsWithLineEnd = false;
    const char *data = bytes.constData();
    const qsizetype size = bytes.size();
    qsizetype start = 0;
    for (qsizetype i = 0; i < size; ++i) {
        if (data[i] != '\r' && data[i] != '\n')
            continue;
        const qsizetype endLength = data[i] == '\r' && i + 1 < size && data[i + 1] == '\n' ? 2 : 1;
        if (lineEnd.isEmpty())
            lineEnd = QByteArrayView(data + i, endLength);
        lines.append(QByteArrayView(data + start, i - start));
        i += endLength - 1;
        start = i + 1;
        endsWithLineEnd = true;
    }
    if (start < size) {
        lines.append(QByteArrayView(data + start, size - start));
        endsWithLineEnd = false;
    }
    // A lone CR first is the file's line end only when the file has no LF.
    if (lineEnd.isEmpty() || (lineEnd == "\r" && bytes.contains('\n')))
        lineEnd = "\r\n";

    // Leading blank lines (empty or spaces only) are dropped; a file left without lines ends with a line end.
    qsizetype first = 0;
    while (first < lines.size() &&
           std::all_of(lines[first].begin(), lines[first].end(), [](char c) { return c == ' '; }))
        ++first;
    if (first == lines.size())
        endsWithLineEnd = true;

    QByteArray out;
    out.reserve(bytes.size() + replacement.size() * 4 + 2);
    bool found = search.isEmpty() && first < lines.size();
    for (qsizetype i = first; i < lines.size(); ++i) {
        if (i > first)
            out += lineEnd;
        const QByteArrayView line = lines[i];
        const bool matches =
            !search.isEmpty() && (match == LineMatch::WholeLine ? line == search : line.startsWith(search));
        if (matches) {
            out += replacement;
            out += line.sliced(search.size());
            found = true;
        } else {
            out += line;
        }
    }
    if (!found) {
        if (first < lines.size())
            out += lineEnd;
        out += replacement;
    }
    if (endsWithLineEnd && (first < lines.size() || !found))
        out += lineEnd;
    return out;
}

QByteArray literalMergeBytes(const QByteArray &before, const ConfigSyntax &syntax, const QList<MergeItem> &items)
{
    const ConfigSnapshot snapshot(before);
    const LineMatch match = syntax.suffix.isEmpty() ? LineMatch::WholeLine : LineMatch::LineStart;
    QByteArray bytes = before;
    for (const MergeItem &item : items) {
        const QByteArray oldValue = lookupValue(snapshot, syntax, item.name);
        const QByteArray oldLine = syntax.key(item.name) + oldValue + syntax.suffix;
        const QByteArray newLine = syntax.key(item.name) + item.value + syntax.suffix;
        bytes = replaceOrAppendBytes(bytes, oldLine, newLine, match);
    }
    return bytes;
}

} // namespace Tunesmith
