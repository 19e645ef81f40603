#pragma once

#include "app/programstate.h"

#include <QString>
#include <QStringList>

#include <optional>

namespace Tunesmith
{

class LoadedProfile;

// A player's own presets of a profile: files in the game's own config syntax, one line per tweak, in
// presets/<profile name>/<preset name>.cfg of the program folder. A preset file can be shared or run in the game's
// console, and applying one reads it as "Load Config" reads a config, so a preset from someone else is read alike.
namespace PlayerPresets
{

// The folder of the presets of a profile (its file name, with or without ".tsm").
QString folder(const ProgramState &state, const QString &profileFileName);
QString path(const ProgramState &state, const QString &profileFileName, const QString &name);

// The names of the profile's presets, in the order a player reads them (case ignored).
QStringList names(const ProgramState &state, const QString &profileFileName);

// Why name cannot be a preset's name, nullopt when it can: it must be a plain file name, neither empty nor with
// blanks around it, with no folder separator, no control character, no leading "." and at most 100 characters.
std::optional<QString> nameProblem(const QString &name);

// Stores every tweak's current value as the preset name (replacing one of that name), through the safe writer.
bool save(const LoadedProfile &profile, const ProgramState &state, const QString &name, QString *error);
// Renames a preset; a preset of the new name must not exist yet.
bool rename(const ProgramState &state, const QString &profileFileName, const QString &name, const QString &newName,
            QString *error);
bool remove(const ProgramState &state, const QString &profileFileName, const QString &name, QString *error);

} // namespace PlayerPresets

} // namespace Tunesmith
