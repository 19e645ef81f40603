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
// exists, and the line end every line of the save gets when the file's own are of more than one kind ("" when they
// are not). nullopt with the reason when the file cannot be read or a value holds a line break (a save would refuse
// it too).
std::optional<QByteArray> mergedBytes(const LoadedProfile &profile, const ProgramState &state, const QString &path,
                                      QByteArray *currentBytes, bool *existed, QString *error,
                                      QByteArray *oneLineEnd = nullptr);

// The save's changes as a unified diff of the file ("/dev/null" for a file that does not exist yet), after a line
// that says so when the save gives a file of mixed line ends one kind throughout; empty when the save would leave
// the file as it is.
std::optional<QByteArray> unifiedDiff(const LoadedProfile &profile, const ProgramState &state, const QString &path,
                                      QString *error);

} // namespace SavePreview

} // namespace Tunesmith
