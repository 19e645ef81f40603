#pragma once

#include "app/programstate.h"

#include <QByteArray>
#include <QString>

#include <optional>

namespace Tunesmith
{

class LoadedProfile;

// What a save would do to a file, worked out without writing anything.
namespace SavePreview
{

// The bytes a save of the profile's tweaks would leave in the file at path, with the file's bytes now, whether it
// exists, and the one line end the save gives a file of mixed line ends (lineEndsMadeOne). nullopt with the reason
// when the file cannot be read or a value holds a line break (a save would refuse it too).
std::optional<QByteArray> mergedBytes(const LoadedProfile &profile, const ProgramState &state, const QString &path,
                                      QByteArray *currentBytes, bool *existed, QString *error,
                                      QByteArray *newLineEnd = nullptr);

// What a preview says when a save gives a file of mixed line ends one kind: lineEnd as "CR LF", "LF" or "CR".
QString lineEndNote(const QByteArray &lineEnd);

// The save's changes as a unified diff of the file ("/dev/null" for a file that does not exist yet), after a line
// that says so when the save gives a file of mixed line ends one kind throughout; empty when the save would leave
// the file as it is.
std::optional<QByteArray> unifiedDiff(const LoadedProfile &profile, const ProgramState &state, const QString &path,
                                      QString *error);

} // namespace SavePreview

} // namespace Tunesmith
