#pragma once

#include <QByteArray>
#include <QList>

// What a backup of a file holds, worked out without the program's own line reading: the file's non-blank lines
// joined by its first line end (CR LF when it has none, or when it is a lone CR and the file has an LF), ending as
// the file ends. Tests and the merge fuzz target check the backups against it.
inline QByteArray expectedBackup(const QByteArray &file)
{
    QList<QByteArray> lines;
    QByteArray lineEnd;
    QByteArray line;
    for (qsizetype i = 0; i < file.size(); ++i) {
        if (file[i] != '\r' && file[i] != '\n') {
            line += file[i];
            continue;
        }
        const bool crlf = file[i] == '\r' && i + 1 < file.size() && file[i + 1] == '\n';
        if (lineEnd.isEmpty())
            lineEnd = crlf ? QByteArray("\r\n") : QByteArray(1, file[i]);
        i += crlf ? 1 : 0;
        lines.append(line);
        line.clear();
    }
    if (!line.isEmpty())
        lines.append(line);
    lines.removeIf([](const QByteArray &l) { return l.count(' ') == l.size(); });
    if (lines.isEmpty())
        return {};
    if (lineEnd.isEmpty() || (lineEnd == "\r" && file.contains('\n')))
        lineEnd = "\r\n";
    const bool finalEnd = file.endsWith('\n') || file.endsWith('\r');
    return lines.join(lineEnd) + (finalEnd ? lineEnd : QByteArray());
}
