#pragma once

#include "app/clock.h"
#include "app/programstate.h"

#include <QDateTime>
#include <QList>
#include <QString>

namespace Tunesmith
{

// The backups a save leaves in the backup folder: finding those of one profile and putting one back.
namespace BackupList
{

struct Entry
{
    QString name; // "<profile> <date> <time> <config name>"
    QString path;
    QDateTime written;
};

// The profile piece of a backup's name ("Example Game" of "Example Game 12-04 23-05 game"); "" when the name is
// not a backup's.
QString profileOf(const QString &backupName);

// The backups of a profile (its file name, with or without ".tsm") in folder, newest first. Names carry no year,
// so the time each file was written orders them. A missing folder has none.
QList<Entry> list(const QString &folder, const QString &profileFileName);

// Puts a backup back: reads it, backs up the config at configPath as a save does (when the Backups option is
// on and the file exists, named after state.currentProfile), then writes the backup's bytes to configPath
// through the safe writer. The backup is read first, so a safety backup that takes its name loses nothing.
// Returns false with the reason when anything fails; the config is then as it was.
bool restore(const ProgramState &state, const Clock &clock, const QString &backupPath, const QString &configPath,
             QString *error, QString *safetyBackupPath = nullptr);

} // namespace BackupList

} // namespace Tunesmith
