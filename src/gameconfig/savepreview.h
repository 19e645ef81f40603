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

// What a preview says when a save gives a file of mixed line ends one kind: lineEnd as "CR LF", "LF" or "CR".
QString lineEndNote(const QByteArray &lineEnd);

// The save's changes as a unified diff of the file ("/dev/null" for a file that does not exist yet), after a line
// that says so when the save gives a file of mixed line ends one kind throughout; empty when the save would leave
// the file as it is.
std::optional<QByteArray> unifiedDiff(const LoadedProfile &profile, const ProgramState &state, const QString &path,
                                      QString *error);

} // namespace SavePreview

} // namespace Tunesmith
