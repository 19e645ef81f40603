#pragma once

#include "app/clock.h"
#include "app/programstate.h"
#include "configsnapshot.h"

#include <QString>

namespace Tunesmith
{

namespace Backups
{

// "<profile> <date> <time> <base>": the profile's file name without ".tsm", the date and the time with their
// separators turned into "-" and cut to five characters, the config's file name without its extension.
QString backupName(const QString &currentProfile, const Clock &clock, const QString &configPath);

// Writes the snapshot's non-blank lines to backups/<name> in the program folder, creating the folder when it is
// missing. Returns false with a reason when the folder or the file cannot be written.
bool makeBackup(const ProgramState &state, const Clock &clock, const QString &configPath,
                const ConfigSnapshot &snapshot, QString *backupPath, QString *error);

} // namespace Backups

} // namespace Tunesmith
