#include "literalmerge.h"

#include "app/fileutil.h"
#include "gameconfig/configsnapshot.h"

namespace Tunesmith
{

bool literalMerge(const QString &path, const ConfigSyntax &syntax, const QList<MergeItem> &items, QString *error)
{
    const auto snapshot = ConfigSnapshot::read(path, error);
    if (!snapshot)
        return false;
    const LineMatch match = syntax.suffix.isEmpty() ? LineMatch::WholeLine : LineMatch::LineStart;
    for (const MergeItem &item : items) {
        const QByteArray oldValue = lookupValue(*snapshot, syntax, item.name);
        const QByteArray oldLine = syntax.key(item.name) + oldValue + syntax.suffix;
        const QByteArray newLine = syntax.key(item.name) + item.value + syntax.suffix;
        if (!ReplaceOrAppend(path, oldLine, newLine, match, error))
            return false;
    }
    return true;
}

} // namespace Tunesmith
