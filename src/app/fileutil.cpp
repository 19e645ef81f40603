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

// A missing file reads as an empty one: both give no lines and a final line end on the first line written.
std::optional<QByteArray> readOrEmpty(const QString &path, QString *error)
{
    if (!FileExists(path))
        return QByteArray();
    return readWholeFile(path, error);
}

// One step on the file's bytes: leading blank lines dropped, the lines replace picks replaced, or appended added.
// An empty search is found in any text with content and replaces nothing: found says so before replace is asked.
QByteArray replaceOrAppendStep(const QByteArray &bytes, const LineReplacer &replace, const QByteArray &appended,
                               bool foundAlready)
{
    TextLines text = TextLines::split(bytes);
    qsizetype firstContent = 0;
    while (firstContent < text.lines.size() && isBlank(text.lines[firstContent]))
        ++firstContent;
    text.lines.remove(0, firstContent);
    if (text.lines.isEmpty())
        text.endsWithLineEnd = true;

    bool found = foundAlready && !text.lines.isEmpty();
    if (!foundAlready) {
        for (QByteArray &line : text.lines) {
            if (std::optional<QByteArray> replacement = replace(line)) {
                line = std::move(*replacement);
                found = true;
            }
        }
    }
    if (!found)
        text.lines.append(appended);
    return text.join();
}

} // namespace

bool ReplaceOrAppend(const QString &path, const QByteArray &search, const QByteArray &replacement, LineMatch match,
                     QString *error)
{
    return ReplaceOrAppendAll(path, {{search, replacement}}, match, error);
}

bool ReplaceOrAppendLines(const QString &path, const LineReplacer &replace, const QByteArray &appended, QString *error)
{
    const std::optional<QByteArray> bytes = readOrEmpty(path, error);
    return bytes && saveFile(path, replaceOrAppendStep(*bytes, replace, appended, false), error);
}

bool ReplaceOrAppendAll(const QString &path, const QList<LineEdit> &edits, LineMatch match, QString *error)
{
    std::optional<QByteArray> bytes = readOrEmpty(path, error);
    if (!bytes)
        return false;
    for (const LineEdit &edit : edits) {
        const auto replace = [&](QByteArrayView line) -> std::optional<QByteArray> {
            const QByteArray text = line.toByteArray();
            if (!lineMatches(text, edit.search, match))
                return std::nullopt;
            return edit.replacement + text.mid(edit.search.size());
        };
        *bytes = replaceOrAppendStep(*bytes, replace, edit.replacement, edit.search.isEmpty());
    }
    return saveFile(path, *bytes, error);
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
