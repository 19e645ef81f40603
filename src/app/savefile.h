#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QString>

#include <functional>

namespace Tunesmith
{

// The one routine through which the program writes any file: the bytes go to a temporary file in the target's
// folder, are flushed to disk, and the temporary file is renamed over the target. An interrupted write leaves
// the old file whole. An existing file keeps its permissions; a symbolic link stays a link and its target is
// replaced. Returns false with a reason in error, the target untouched, when anything fails.
//
// The temporary file is unnamed while it is written (Linux O_TMPFILE) and only gets a name, "<target>.XXXXXX"
// with six random letters or digits, for the moment between being linked into the folder and being renamed. A
// process killed in that moment, or anywhere in the write on a file system without unnamed files, leaves such a
// file behind. It is never read and never reused: every save creates a new random name exclusively. It is not
// deleted either, because a player's own file may have a name of that shape.
bool saveFile(const QString &path, const QByteArray &bytes, QString *error);

// Takes the pieces of a file one after another; false when a piece could not be written.
using PieceWriter = std::function<bool(QByteArrayView)>;

// saveFile for a file made of many pieces, which need not be joined in memory first: produce hands them to the
// writer in order (and returns what the writer last returned); they reach the temporary file through one
// buffer of a fixed size.
bool saveFilePieces(const QString &path, const std::function<bool(const PieceWriter &)> &produce, QString *error);

// A test seam for the faults a player's disk can have. While a fault is set, saveFile fails at that step for
// targets in the chosen folder, with the reason the system would give, and leaves the target as it was.
namespace SaveFileFaults
{

enum class Step
{
    Open,     // the temporary file cannot be created: a read-only folder
    Write,    // the write fails part-way: an I/O error
    DiskFull, // half the bytes are written, then the disk is full
    Flush,    // everything is written but cannot be flushed to disk
    Rename,   // the written file cannot replace the target
};

// Fails saves whose target lies directly in folder ("" for every save), after letting the first `skip` of them
// through. Replaces any fault set before.
void set(Step step, const QString &folder = QString(), int skip = 0);
void clear();
// Saves attempted, failed or not, since the last set() or clear().
int attempts();

} // namespace SaveFileFaults

} // namespace Tunesmith
