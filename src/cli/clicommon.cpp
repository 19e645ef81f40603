#include "clicommands.h"

#include <QFileInfo>

namespace Tunesmith
{

namespace Cli
{

int usageError(QTextStream &err, const QString &message)
{
    err << message << "\nTry 'tunesmith-cli --help' for the usage.\n";
    return exitUsage;
}

// An argument that holds a "/", or names a file here that is no folder, is a path: anything that exists counts, a
// pipe among them, so that the reader can say why it is not a profile. Any other name is looked up first, so that a
// game's folder in the current folder does not hide the game's profile.
QString resolveProfile(const QString &argument, const QString &programFolder)
{
    auto exists = [](const QString &path) {
        const QFileInfo info(path);
        return info.exists() || info.isSymLink();
    };
    if (argument.contains(QLatin1Char('/')) || (exists(argument) && !QFileInfo(argument).isDir()))
        return argument;
    const QString profiles = programFolder + QStringLiteral("/profiles/");
    if (!argument.endsWith(QStringLiteral(".tsm")) && exists(profiles + argument + QStringLiteral(".tsm")))
        return profiles + argument + QStringLiteral(".tsm");
    if (exists(profiles + argument))
        return profiles + argument;
    return argument;
}

QString profileFileName(const QString &argument)
{
    const QString name = QFileInfo(argument).fileName();
    return name.endsWith(QStringLiteral(".tsm")) ? name : name + QStringLiteral(".tsm");
}

} // namespace Cli

} // namespace Tunesmith
