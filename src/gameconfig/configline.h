#pragma once

#include "app/programstate.h"

#include <QByteArray>
#include <QByteArrayView>

namespace Tunesmith
{

// How one line of a game config is read under a profile's syntax template: where a tweak's value begins, where it
// ends, and how the line reads with another value. Every reader and writer of game configs goes through these.
namespace ConfigLine
{

// Where a template piece (its prefix or middle) ends when it is matched in line at from; -1 when it does not
// match there. Exact, or with loose spacing: each run of blanks and tabs in the piece matches a run of one or
// more blanks and tabs in the line.
qsizetype pieceEnd(QByteArrayView line, qsizetype from, QByteArrayView piece, bool loose);

// Where name's value begins in line: after the template prefix, the name and the template middle. -1 when the
// line is not a line of name.
qsizetype valueStart(QByteArrayView line, const ConfigSyntax &syntax, QByteArrayView name);

// Whether line begins with the template prefix and name, the name ending there: "seta r_modex 3" belongs to
// another variable than r_mode, "seta r_mode" and "seta r_mode 3" do not. A line holds a tweak only then.
bool holdsName(QByteArrayView line, const ConfigSyntax &syntax, QByteArrayView name);

// How many bytes of rest, the line from a value's start on, the value takes. With a template suffix: up to the
// first suffix, or the whole rest when it has none. Without one, as the game's console reads a line: up to the
// first ";" outside double quotes (another command), or the first "//" outside double quotes that starts rest or
// follows a blank or tab (a comment), or the line's end; blanks and tabs before that point are not part of it.
qsizetype valueLength(QByteArrayView rest, QByteArrayView suffix);

// The value of the line whose value begins at start.
inline QByteArrayView valueAt(QByteArrayView line, qsizetype start, QByteArrayView suffix)
{
    const QByteArrayView rest = line.sliced(start);
    return rest.first(valueLength(rest, suffix));
}

// Whether line holds value at start, as a step of a save finds the line to rewrite: the value and then the
// template suffix follow there, or, without a suffix, the value read there is value.
bool holdsValue(QByteArrayView line, qsizetype start, QByteArrayView value, QByteArrayView suffix);

// The line with the value of length oldLength at start replaced by value; everything else stays byte for byte. A
// comment that began right where an empty value was gets a blank before it, or it would read as part of the value.
QByteArray withValue(QByteArrayView line, qsizetype start, qsizetype oldLength, QByteArrayView value,
                     QByteArrayView suffix);

} // namespace ConfigLine

} // namespace Tunesmith
