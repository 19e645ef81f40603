#include "configline.h"

#include "keyindex.h"

namespace Tunesmith
{

namespace ConfigLine
{

namespace
{

bool isBlankOrTab(char c)
{
    return c == ' ' || c == '\t';
}

} // namespace

qsizetype pieceEnd(QByteArrayView line, qsizetype from, QByteArrayView piece, bool loose)
{
    if (!loose)
        return line.sliced(from).startsWith(piece) ? from + piece.size() : -1;
    qsizetype at = from;
    for (qsizetype i = 0; i < piece.size();) {
        if (isBlankOrTab(piece[i])) {
            while (i < piece.size() && isBlankOrTab(piece[i]))
                ++i;
            if (at == line.size() || !isBlankOrTab(line[at]))
                return -1;
            while (at < line.size() && isBlankOrTab(line[at]))
                ++at;
        } else {
            if (at == line.size() || line[at] != piece[i])
                return -1;
            ++at;
            ++i;
        }
    }
    return at;
}

qsizetype valueStart(QByteArrayView line, const ConfigSyntax &syntax, QByteArrayView name)
{
    const qsizetype nameAt = pieceEnd(line, 0, syntax.prefix, syntax.looseSpacing);
    if (nameAt < 0 || !line.sliced(nameAt).startsWith(name))
        return -1;
    return pieceEnd(line, nameAt + name.size(), syntax.middle, syntax.looseSpacing);
}

bool holdsName(QByteArrayView line, const ConfigSyntax &syntax, QByteArrayView name)
{
    const qsizetype nameAt = pieceEnd(line, 0, syntax.prefix, syntax.looseSpacing);
    if (nameAt < 0 || !line.sliced(nameAt).startsWith(name))
        return false;
    const qsizetype end = nameAt + name.size();
    return end == line.size() || !KeyIndex::continuesName(line[end]) ||
           pieceEnd(line, end, syntax.middle, syntax.looseSpacing) >= 0;
}

qsizetype valueLength(QByteArrayView rest, QByteArrayView suffix)
{
    if (!suffix.isEmpty()) {
        const qsizetype end = rest.indexOf(suffix);
        return end < 0 ? rest.size() : end;
    }
    qsizetype end = 0;
    bool quoted = false;
    for (; end < rest.size(); ++end) {
        const char c = rest[end];
        if (c == '"')
            quoted = !quoted;
        else if (quoted)
            continue;
        else if (c == ';')
            break;
        else if (c == '/' && end + 1 < rest.size() && rest[end + 1] == '/' && (end == 0 || isBlankOrTab(rest[end - 1])))
            break;
    }
    while (end > 0 && isBlankOrTab(rest[end - 1]))
        --end;
    return end;
}

bool holdsValue(QByteArrayView line, qsizetype start, QByteArrayView value, QByteArrayView suffix)
{
    const QByteArrayView rest = line.sliced(start);
    if (!rest.startsWith(value))
        return false;
    if (suffix.isEmpty())
        return valueLength(rest, suffix) == value.size();
    return rest.sliced(value.size()).startsWith(suffix);
}

QByteArray withValue(QByteArrayView line, qsizetype start, qsizetype oldLength, QByteArrayView value,
                     QByteArrayView suffix)
{
    const QByteArrayView tail = line.sliced(start + oldLength);
    const bool parted = suffix.isEmpty() && !value.isEmpty() && tail.startsWith("//");
    QByteArray out;
    out.reserve(line.size() - oldLength + value.size() + 1);
    out.append(line.first(start)).append(value);
    if (parted)
        out.append(' ');
    return out.append(tail);
}

} // namespace ConfigLine

} // namespace Tunesmith
