#pragma once

#include "cliapp.h"

#include <QStringList>
#include <QTextStream>

namespace Tunesmith
{

class LoadedProfile;
struct ProgramState;

// The commands of tunesmith-cli, one file each, and what they share. Every command returns the exit status.
namespace Cli
{

constexpr int exitOk = 0;
constexpr int exitFailure = 1; // a malformed or unreadable profile, or a file that could not be read or written
constexpr int exitUsage = 2;

// A usage error: the message, then where to find the usage. Returns exitUsage.
int usageError(QTextStream &err, const QString &message);

// A path to a .tsm file, or a profile name looked up in the program folder's profiles.
QString resolveProfile(const QString &argument, const QString &programFolder);

// A profile's file name with ".tsm", from a path or a name with or without the extension: the current profile of
// a command, the key of its install directory and the first piece of its backups' names.
QString profileFileName(const QString &argument);

// check [--strict] PROFILE...
int runCheck(const QStringList &args, const QString &programFolder, QTextStream &out, QTextStream &err);

// show and save (the command is the first argument).
int runShowOrSave(const QString &command, const QStringList &args, const QString &programFolder, Teardown teardown,
                  QTextStream &out, QTextStream &err);

// The result of show: the JSON document of --json, or the readable table.
void printJson(const LoadedProfile &profile, const ProgramState &state, QTextStream &out);
void printTable(const LoadedProfile &profile, const ProgramState &state, QTextStream &out);

// backups PROFILE: the profile's backups, newest first, one a line: the time it was written ("yyyy-MM-dd
// HH:mm:ss"), a tab, its name.
int runBackups(const QStringList &args, const QString &programFolder, QTextStream &out, QTextStream &err);

// restore BACKUP --config FILE [--profile PROFILE]: puts the backup (a path, or a name in the program folder's
// backups) into FILE as the window's "Restore Backup..." does, after a backup of FILE when the Backups option is
// on. That backup is named after PROFILE, by default the profile the backup's name gives.
int runRestore(const QStringList &args, const QString &programFolder, QTextStream &out, QTextStream &err);

// presets PROFILE: the player's own presets of the profile, one name a line.
int runPresets(const QStringList &args, const QString &programFolder, QTextStream &out, QTextStream &err);

// --preset NAME: a built-in preset, or else the player's own preset of that name, read as "Load Config" reads a
// config. A name that is neither is a usage error.
int applyPreset(LoadedProfile &profile, const ProgramState &state, const QString &name, QTextStream &err);

// scaffold CONFIG --syntax TEMPLATE --name GAME [--output FILE]: a starting profile made from a game's config.
int runScaffold(const QStringList &args, QTextStream &out, QTextStream &err);

} // namespace Cli

} // namespace Tunesmith
