#pragma once

#include "app/programstate.h"
#include "app/savefile.h"
#include "configsnapshot.h"

#include <QByteArray>
#include <QList>

namespace Tunesmith
{

// One tweak's line to merge: its name and the value to write.
struct MergeItem
{
    QByteArray name;
    QByteArray value;
};

// A change the merge makes to one line, for showing before a save.
struct MergeChange
{
    QByteArray oldLine; // empty for an appended line
    QByteArray newLine;
};

// Merges one config line per item, in order, into the file the snapshot was read from, and gives the file's new
// bytes. The result is exactly what applying the items one by one gives, each step re-reading the file: the old
// value is looked up in the snapshot, every line that begins with the old line (that is the old line, when the
// template suffix is empty) gets the new line instead, and an item whose old line no line begins with is
// appended. Leading blank lines are dropped; every other line not replaced stays byte for byte. The file's own
// line end joins the lines. Values must not hold line breaks.
//
// scan, when given, must be a lookup over this snapshot: when it looked up every item's name with the same
// prefix and middle, the merge takes the lines to rewrite from it instead of passing over the file again.
QByteArray mergeConfig(const ConfigSnapshot &snapshot, const ConfigSyntax &syntax, const QList<MergeItem> &items,
                       QList<MergeChange> *changes = nullptr, const ConfigLookup *scan = nullptr);

// The same bytes handed to write piece by piece (views into the snapshot and the merge's own lines), so that a
// large config is written without being built in memory first. Returns false as soon as write does.
bool writeMergedConfig(const ConfigSnapshot &snapshot, const ConfigSyntax &syntax, const QList<MergeItem> &items,
                       const PieceWriter &write, const ConfigLookup *scan = nullptr);

// The one line end a merge gave every line of a file whose own line ends were of more than one kind; "" when the
// file's line ends stay as they were. The lines themselves may show no change where this one does.
QByteArray lineEndsMadeOne(const ConfigSnapshot &snapshot, const QByteArray &merged);

} // namespace Tunesmith
