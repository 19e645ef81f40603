#pragma once

#include "app/fileutil.h"
#include "app/programstate.h"
#include "gameconfig/configmerge.h"

#include <QByteArray>
#include <QList>

namespace Tunesmith
{

// The one-by-one save of literalMerge without the disk, for the fuzz targets: each step is what ReplaceOrAppend
// does to a file, done to bytes. A missing file and an empty one behave alike, so "" stands for both.

// One ReplaceOrAppend: split the text into lines, drop the leading blank lines, replace every matching line (or
// append the replacement when none matches) and join the lines again.
QByteArray replaceOrAppendBytes(const QByteArray &bytes, const QByteArray &search, const QByteArray &replacement,
                                LineMatch match);

// The save: old values are looked up in the text as it was before the first step; then one step per item.
QByteArray literalMergeBytes(const QByteArray &before, const ConfigSyntax &syntax, const QList<MergeItem> &items);

} // namespace Tunesmith
