#include "fileutil.h"

#include "savefile.h"
#include "textlines.h"

#include <QFileInfo>

namespace Tunesmith
{

namespace
{

bool lineMatches(const QByteArray &line, const QByteArray &search, LineMatch match)
{
    if (match == LineMatch::WholeLine)
        return line == search;
    return line.startsWith(search);
}

} // namespace

bool ReplaceOrAppend(const QString &path, const QByteArray &search, const QByteArray &replacement, LineMatch match,
                     QString *error)
{
    return ReplaceOrAppendAll(path, {{search, replacement}}, match, error);
}

bool ReplaceOrAppendAll(const QString &path, const QList<LineEdit> &edits, LineMatch match, QString *error)
{
    // A missing file reads as an empty one: both give no lines and a final line end on the first line written.
    QByteArray bytes;
    if (FileExists(path)) {
        auto read = readWholeFile(path, error);
        if (!read)
            return false;
        bytes = std::move(*read);
    }
    for (const LineEdit &edit : edits) {
        TextLines text = TextLines::split(bytes);
        qsizetype firstContent = 0;
        while (firstContent < text.lines.size() && isBlank(text.lines[firstContent]))
            ++firstContent;
        text.lines.remove(0, firstContent);
        if (text.lines.isEmpty())
            text.endsWithLineEnd = true;

        bool found = false;
        if (edit.search.isEmpty()) {
            found = !text.lines.isEmpty();
        } else {
            for (QByteArray &line : text.lines) {
                if (lineMatches(line, edit.search, match)) {
                    line = edit.replacement + line.mid(edit.search.size());
                    found = true;
                }
            }
        }
        if (!found)
            text.lines.append(edit.replacement);
        bytes = text.join();
    }
    return saveFile(path, bytes, error);
}

bool FileExists(const QString &path)
{
    const QFileInfo info(path);
    return info.exists() && !info.isDir();
}

bool FolderExists(const QString &path)
{
    return QFileInfo(path).isDir();
}

QString ShortPath(const QString &path)
{
    return path;
}

qint16 NumericKeyFilter(qint16 key)
{
    if (key > 57 || (key < 48 && key != 46 && key != 8))
        return 0;
    return key;
}

QString VersionText(int versionNumber)
{
    const QString digits = QString::number(versionNumber);
    return digits.left(1) + QLatin1Char('.') + digits.mid(1);
}

} // namespace Tunesmith
