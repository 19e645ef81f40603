#pragma once

#include <QByteArray>
#include <QList>

namespace Tunesmith
{

// Line by line differences between two texts, for showing what a save or a restore changes.
namespace LineDiff
{

enum class Kind
{
    Same,
    Removed,
    Added,
};

struct Line
{
    Kind kind = Kind::Same;
    QByteArray text;             // without its line end
    bool missingLineEnd = false; // the file's last line, with no line end after it
    int oldNumber = 0;           // 1, 2, ... in the old text; 0 for an added line
    int newNumber = 0;           // 1, 2, ... in the new text; 0 for a removed line
};

// Every line of both texts in order, each marked as kept, removed or added, with as few removed and added lines
// as can be. Lines end at CR LF, lone CR or lone LF; a line end of another kind is no difference. The last line
// differs from the same text with a line end after it.
QList<Line> compare(const QByteArray &oldText, const QByteArray &newText);

// The differences in unified diff form: "--- oldLabel", "+++ newLabel", then hunks of changed lines with up to
// context unchanged lines around them, lines ending in LF. Empty when the texts have the same lines.
QByteArray unified(const QByteArray &oldText, const QByteArray &newText, const QByteArray &oldLabel,
                   const QByteArray &newLabel, int context = 3);

} // namespace LineDiff

} // namespace Tunesmith
