#include "literalmerge.h"

#include "app/fileutil.h"
#include "gameconfig/configsnapshot.h"
#include "memorymerge.h"

namespace Tunesmith
{

bool literalMerge(const QString &path, const ConfigSyntax &syntax, const QList<MergeItem> &items, QString *error)
{
    const auto snapshot = ConfigSnapshot::read(path, error);
    if (!snapshot)
        return false;
    for (const MergeItem &item : items) {
        const QByteArray oldValue = lookupValue(*snapshot, syntax, item.name);
        const QByteArray oldLine = syntax.line(item.name, oldValue);
        const QByteArray newLine = syntax.line(item.name, item.value);
        // The old line is empty text only with an empty template, name and value: ReplaceOrAppend's empty search.
        const bool written =
            oldLine.isEmpty()
                ? ReplaceOrAppend(path, oldLine, newLine, LineMatch::WholeLine, error)
                : ReplaceOrAppendLines(path, valueReplacer(syntax, item.name, oldValue, item.value), newLine, error);
        if (!written)
            return false;
    }
    return true;
}

} // namespace Tunesmith
