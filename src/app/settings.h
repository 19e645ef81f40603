#pragma once

#include "programstate.h"

#include <QByteArray>
#include <QString>

namespace Tunesmith
{

enum class Option
{
    AutoUpdate,
    Backups,
    Descriptions,
    Preview, // off when the settings file has no "preview|1"
};

// The settings file config.cfg: one key|value entry a line. Readers skip blank lines, lines without "|" and keys
// they do not know; writers change one exact line or append one, through ReplaceOrAppend.
namespace Settings
{

// Applies the entries of a settings file's bytes to state: "upload" and "download" (the last whole number that
// fits in 32 bits wins; other values are ignored), the three options (a value of exactly "0" turns one off) and
// Preview Changes (a value of exactly "1" turns it on).
void readFrom(const QByteArray &bytes, ProgramState &state);

// The start-up read: the three options on and Preview Changes off, then the file's entries, when the file exists
// and can be read.
void read(ProgramState &state);

// The install directory stored for state.currentProfile: the last line whose key is exactly the profile's file
// name. Sets state.installDir ("" when none). A settings file that has gone missing is created anew holding
// "upload|0" and "download|0"; one that exists but cannot be read is left alone. Returns false when the file
// could not be read.
bool lookupInstallDir(ProgramState &state);

// The install directory the settings file stores for a profile (its file name), "" when none or when the file
// cannot be read. Creates nothing, unlike lookupInstallDir.
QString storedInstallDir(const ProgramState &state, const QString &profileFileName);

// The install directory a settings file's text stores for a profile (its file name): the last line whose key is
// exactly that name, "" when none. Reads nothing and writes nothing.
QString installDirIn(const QByteArray &settings, const QString &profileFileName);

// Flips the option in state and rewrites its line (key|0 <-> key|1).
bool toggleOption(ProgramState &state, Option option, QString *error);

// Stores dir for profile (a file name) in place of oldDir, the directory it had when the player was shown it
// (replacing that line or appending one), and makes dir the install directory when profile is the current one.
bool storeInstallDir(ProgramState &state, const QString &profile, const QString &oldDir, const QString &dir,
                     QString *error);

// Rewrites the upload and download lines from the current speeds to the new ones, then sets the speeds in state.
bool storeSpeeds(ProgramState &state, qint32 upload, qint32 download, QString *error);

QByteArray optionKey(Option option);
bool optionValue(const ProgramState &state, Option option);

} // namespace Settings

} // namespace Tunesmith
