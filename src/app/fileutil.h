#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QList>
#include <QString>

#include <functional>
#include <optional>

namespace Tunesmith
{

// How ReplaceOrAppend finds its search text in a file's lines.
enum class LineMatch
{
    WholeLine, // the settings file: an entry is a whole line
    LineStart, // a game config line: the text must begin a line, so another variable's line is never touched
};

// Reads the file (a missing one counts as empty), drops its leading blank lines, replaces every line that matches
// search by replacement (LineStart keeps the rest of the line after the match), or appends replacement as a new
// last line when none matches, and writes the file back through saveFile. An empty search text counts as found
// whenever the file has content, which then stays as it is. The file keeps its own line end (rewriteLineEnd) and
// its final line end; a new file gets CR LF after every line. Returns false with a reason when reading or writing
// fails; the file is then unchanged.
bool ReplaceOrAppend(const QString &path, const QByteArray &search, const QByteArray &replacement,
                     LineMatch match = LineMatch::WholeLine, QString *error = nullptr);

// The text a ReplaceOrAppend step puts in place of a line, or nullopt for a line it leaves alone.
using LineReplacer = std::function<std::optional<QByteArray>(QByteArrayView line)>;

// ReplaceOrAppend with the lines to replace picked by replace, which is asked about every line left after the
// leading blank ones: each line it gives a text for becomes that text; when it gives none, appended goes last.
bool ReplaceOrAppendLines(const QString &path, const LineReplacer &replace, const QByteArray &appended,
                          QString *error = nullptr);

// One search and replacement of ReplaceOrAppendAll.
struct LineEdit
{
    QByteArray search;
    QByteArray replacement;
};

// The same as one ReplaceOrAppend call per edit, in order, each seeing the text the one before left, but with one
// write at the end: a failure leaves the file as it was, never with only some of the edits.
bool ReplaceOrAppendAll(const QString &path, const QList<LineEdit> &edits, LineMatch match = LineMatch::WholeLine,
                        QString *error = nullptr);

bool FileExists(const QString &path);
bool FolderExists(const QString &path);

// On Linux paths have no short form: the path itself, "" for "".
QString ShortPath(const QString &path);

// Lets digits, "." (46) and backspace (8) through; returns 0 to swallow any other key.
qint16 NumericKeyFilter(qint16 key);

// "1.03" for version number 103.
QString VersionText(int versionNumber);

} // namespace Tunesmith
