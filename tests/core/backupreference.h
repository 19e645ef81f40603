#pragma once

#include <QByteArray>
#include <QList>

// A file's lines read the plain way, a byte at a time, without the program's own line reading: a line ends at
// CR LF, at a lone CR or at a lone LF.
struct PlainLines
{
    QList<QByteArray> lines;
    QByteArray firstEnd; // empty when no line ends
    bool endsWithLineEnd = false;
};

inline PlainLines splitPlainly(const QByteArray &file)
{
    PlainLines split;
    QByteArray line;
    for (qsizetype i = 0; i < file.size(); ++i) {
        if (file[i] != '\r' && file[i] != '\n') {
            line += file[i];
            continue;
        }
        const bool crlf = file[i] == '\r' && i + 1 < file.size() && file[i + 1] == '\n';
        if (split.firstEnd.isEmpty())
            split.firstEnd = crlf ? QByteArray("\r\n") : QByteArray(1, file[i]);
        i += crlf ? 1 : 0;
        split.lines.append(line);
        line.clear();
    }
    if (!line.isEmpty())
        split.lines.append(line);
    split.endsWithLineEnd = file.endsWith('\n') || file.endsWith('\r');
    return split;
}

// What a backup of a file holds: the file's non-blank lines joined by its first line end (CR LF when it has none, or
// when it is a lone CR and the file has an LF), ending as the file ends. Tests and the merge fuzz target check the
// backups against it.
inline QByteArray expectedBackup(const QByteArray &file)
{
    PlainLines split = splitPlainly(file);
    split.lines.removeIf([](const QByteArray &l) { return l.count(' ') == l.size(); });
    if (split.lines.isEmpty())
        return {};
    QByteArray lineEnd = split.firstEnd;
    if (lineEnd.isEmpty() || (lineEnd == "\r" && file.contains('\n')))
        lineEnd = "\r\n";
    return split.lines.join(lineEnd) + (split.endsWithLineEnd ? lineEnd : QByteArray());
}
