#pragma once

#include <QByteArray>
#include <QString>

namespace Tunesmith
{

// The one routine through which the program writes any file: the bytes go to a temporary file in the target's
// folder, are flushed to disk, and the temporary file is renamed over the target. An interrupted write leaves
// the old file whole. An existing file keeps its permissions; a symbolic link stays a link and its target is
// replaced. Returns false with a reason in error, the target untouched, when anything fails.
bool saveFile(const QString &path, const QByteArray &bytes, QString *error);

} // namespace Tunesmith
