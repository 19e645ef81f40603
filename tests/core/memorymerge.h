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

// ReplaceOrAppendLines done to bytes: the lines replace picks replaced, or appended added when it picks none.
QByteArray replaceOrAppendBytes(const QByteArray &bytes, const LineReplacer &replace, const QByteArray &appended);

// The lines one step of a save replaces, and what with: lines of name holding oldValue get newValue.
LineReplacer valueReplacer(const ConfigSyntax &syntax, const QByteArray &name, const QByteArray &oldValue,
                           const QByteArray &newValue);

// The save: old values are looked up in the text as it was before the first step; then one step per item.
QByteArray literalMergeBytes(const QByteArray &before, const ConfigSyntax &syntax, const QList<MergeItem> &items);

} // namespace Tunesmith
