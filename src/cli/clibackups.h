#pragma once

#include <QStringList>
#include <QTextStream>

namespace Tunesmith
{

// A profile's file name with ".tsm", from a path or a name with or without the extension: the current profile of
// a command, the key of its install directory and the first piece of its backups' names.
QString profileFileName(const QString &argument);

// tunesmith-cli backups PROFILE: the profile's backups, newest first, one a line: the time it was written
// ("yyyy-MM-dd HH:mm:ss"), a tab, its name.
int runBackups(const QStringList &args, const QString &programFolder, QTextStream &out, QTextStream &err);

// tunesmith-cli restore BACKUP --config FILE [--profile PROFILE]: puts the backup (a path, or a name in the
// program folder's backups) into FILE as the window's "Restore Backup..." does, after a backup of FILE when the
// Backups option is on. That backup is named after PROFILE, by default the profile the backup's name gives.
int runRestore(const QStringList &args, const QString &programFolder, QTextStream &out, QTextStream &err);

} // namespace Tunesmith
