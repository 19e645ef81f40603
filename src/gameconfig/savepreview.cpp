#include "savepreview.h"

#include "configmerge.h"
#include "configsnapshot.h"
#include "configwriter.h"
#include "linediff.h"
#include "loader/loadedprofile.h"

#include <QCoreApplication>

namespace Tunesmith
{

namespace SavePreview
{

std::optional<QByteArray> mergedBytes(const LoadedProfile &profile, const ProgramState &state, const QString &path,
                                      QByteArray *currentBytes, bool *existed, QString *error)
{
    const QList<MergeItem> items = GameConfigWriter::mergeItems(profile);
    for (const MergeItem &item : items) {
        if (item.value.contains('\r') || item.value.contains('\n')) {
            if (error)
                *error = QCoreApplication::translate("Tunesmith", "The value of %1 holds a line break.")
                             .arg(QString::fromUtf8(item.name));
            return std::nullopt;
        }
    }
    const auto config = readConfigForSave(path, profile.lastConfig, error);
    if (!config)
        return std::nullopt;
    if (currentBytes)
        *currentBytes = config->snapshot.bytes();
    if (existed)
        *existed = config->snapshot.existed();
    return mergeConfig(config->snapshot, state.syntax, items, nullptr, config->scan());
}

std::optional<QByteArray> unifiedDiff(const LoadedProfile &profile, const ProgramState &state, const QString &path,
                                      QString *error)
{
    QByteArray before;
    bool existed = false;
    const auto after = mergedBytes(profile, state, path, &before, &existed, error);
    if (!after)
        return std::nullopt;
    const QByteArray label = path.toUtf8();
    // A tab ends the name for patch, which takes what follows as a date.
    return LineDiff::unified(before, *after, existed ? label : QByteArray("/dev/null"), label + "\t(after save)");
}

} // namespace SavePreview

} // namespace Tunesmith
