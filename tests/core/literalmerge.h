#pragma once

#include "app/programstate.h"
#include "gameconfig/configmerge.h"

#include <QList>
#include <QString>

namespace Tunesmith
{

// The save done the slow way a player's save is described: the file is read once into a snapshot, then every
// tweak in save order looks its old value up in that snapshot and calls ReplaceOrAppend on the real file, which
// re-reads and rewrites it each time, replacing every line of the tweak that holds the old value. The fast merge
// must give the very same bytes.
bool literalMerge(const QString &path, const ConfigSyntax &syntax, const QList<MergeItem> &items, QString *error);

} // namespace Tunesmith
