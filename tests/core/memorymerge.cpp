#include "memorymerge.h"

#include "gameconfig/configline.h"
#include "gameconfig/configsnapshot.h"

#include <algorithm>

namespace Tunesmith
{

namespace
{

// One step: search says whether an empty search text stands for the lines to replace (found with any content).
QByteArray step(const QByteArray &bytes, const LineReplacer &replace, const QByteArray &appended, bool emptySearch)
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
    out.reserve(bytes.size() + appended.size() * 4 + 2);
    bool found = emptySearch && first < lines.size();
    for (qsizetype i = first; i < lines.size(); ++i) {
        if (i > first)
            out += lineEnd;
        const std::optional<QByteArray> replacement = emptySearch ? std::nullopt : replace(lines[i]);
        out += replacement ? QByteArrayView(*replacement) : lines[i];
        found = found || replacement;
    }
    if (!found) {
        if (first < lines.size())
            out += lineEnd;
        out += appended;
    }
    if (endsWithLineEnd && (first < lines.size() || !found))
        out += lineEnd;
    return out;
}

} // namespace

QByteArray replaceOrAppendBytes(const QByteArray &bytes, const QByteArray &search, const QByteArray &replacement,
                                LineMatch match)
{
    const auto replace = [&](QByteArrayView line) -> std::optional<QByteArray> {
        if (match == LineMatch::WholeLine ? line != search : !line.startsWith(search))
            return std::nullopt;
        return replacement + line.sliced(search.size()).toByteArray();
    };
    return step(bytes, replace, replacement, search.isEmpty());
}

QByteArray replaceOrAppendBytes(const QByteArray &bytes, const LineReplacer &replace, const QByteArray &appended)
{
    return step(bytes, replace, appended, false);
}

LineReplacer valueReplacer(const ConfigSyntax &syntax, const QByteArray &name, const QByteArray &oldValue,
                           const QByteArray &newValue)
{
    return [syntax, name, oldValue, newValue](QByteArrayView line) -> std::optional<QByteArray> {
        const qsizetype start = ConfigLine::valueStart(line, syntax, name);
        if (start < 0 || !ConfigLine::holdsValue(line, start, oldValue, syntax.suffix))
            return std::nullopt;
        return ConfigLine::withValue(line, start, oldValue.size(), newValue, syntax.suffix);
    };
}

QByteArray literalMergeBytes(const QByteArray &before, const ConfigSyntax &syntax, const QList<MergeItem> &items)
{
    const ConfigSnapshot snapshot(before);
    QByteArray bytes = before;
    for (const MergeItem &item : items) {
        const QByteArray oldValue = lookupValue(snapshot, syntax, item.name);
        const QByteArray oldLine = syntax.line(item.name, oldValue);
        const QByteArray newLine = syntax.line(item.name, item.value);
        // The old line is empty text only with an empty template, name and value: ReplaceOrAppend's empty search.
        bytes = oldLine.isEmpty()
                    ? replaceOrAppendBytes(bytes, oldLine, newLine, LineMatch::WholeLine)
                    : replaceOrAppendBytes(bytes, valueReplacer(syntax, item.name, oldValue, item.value), newLine);
    }
    return bytes;
}

} // namespace Tunesmith
