#pragma once

#include <QByteArray>
#include <QList>
#include <QProcessEnvironment>
#include <QString>

namespace Tunesmith
{

// Where a game keeps its config, as a profile's "[install hint]" blocks suggest it: the first hinted folder that
// holds the game's config file stands in for an install directory the player has not chosen yet.
namespace InstallHints
{

// A hint as a folder: a leading "~" is the home folder, $NAME and ${NAME} are taken from the environment, with
// the XDG base folders falling back to their usual places under the home folder. "" when the hint names a
// variable that is not set, or does not come out as an absolute path.
QString expand(const QByteArray &hint, const QProcessEnvironment &environment);

// The first of the hints whose folder holds a file named configFileName, "" when none does.
QString find(const QList<QByteArray> &hints, const QByteArray &configFileName, const QProcessEnvironment &environment);

// find() for the profile file at path: its hints and its game config file name. "" when the profile cannot be
// read or is malformed.
QString findForProfile(const QString &path, const QProcessEnvironment &environment);

} // namespace InstallHints

} // namespace Tunesmith
