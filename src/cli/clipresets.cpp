#include "clicommands.h"
#include "gameconfig/configreader.h"
#include "gameconfig/playerpresets.h"
#include "gameconfig/presets.h"
#include "loader/loadedprofile.h"

#include <QFileInfo>

namespace Tunesmith
{

namespace Cli
{

int runPresets(const QStringList &args, const QString &programFolder, QTextStream &out, QTextStream &err)
{
    if (args.size() != 1)
        return usageError(err, QStringLiteral("presets needs one PROFILE"));
    ProgramState state;
    state.programFolder = programFolder;
    for (const QString &name : PlayerPresets::names(state, profileFileName(args[0])))
        out << name << '\n';
    return exitOk;
}

int applyPreset(LoadedProfile &profile, const ProgramState &state, const QString &name, QTextStream &err)
{
    if (const auto preset = Presets::fromName(name.toUtf8())) {
        Presets::apply(profile, *preset);
        return exitOk;
    }
    // A player's preset is a file of the program folder: a name that is no plain file name could reach beyond it.
    if (const auto problem = PlayerPresets::nameProblem(name))
        return usageError(err, QStringLiteral("No preset can be called \"%1\": %2").arg(name, *problem));
    const QString path = PlayerPresets::path(state, profile.fileName, name);
    if (!QFileInfo(path).isFile()) {
        return usageError(err, QStringLiteral("Unknown preset: %1 (no built-in preset and none of %2)")
                                   .arg(name, PlayerPresets::folder(state, profile.fileName)));
    }
    // Applied as "Load Config" reads a config, as the window applies it.
    if (!GameConfigReader::apply(profile, state.syntax, path)) {
        err << "The preset " << path << " could not be read\n";
        return exitFailure;
    }
    return exitOk;
}

} // namespace Cli

} // namespace Tunesmith
