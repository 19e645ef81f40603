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

QString lineEndNote(const QByteArray &lineEnd)
{
    const QString name = lineEnd == "\r\n" ? QStringLiteral("CR LF")
                         : lineEnd == "\n" ? QStringLiteral("LF")
                                           : QStringLiteral("CR");
    return QCoreApplication::translate("Tunesmith", "The file mixes line ends; after the save every line ends in %1.")
        .arg(name);
}

std::optional<QByteArray> mergedBytes(const LoadedProfile &profile, const ProgramState &state, const QString &path,
                                      QByteArray *currentBytes, bool *existed, QString *error, QByteArray *newLineEnd)
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
    QByteArray merged = mergeConfig(config->snapshot, state.syntax, items, nullptr, config->scan());
    if (newLineEnd)
        *newLineEnd = lineEndsMadeOne(config->snapshot, merged);
    return merged;
}

std::optional<QByteArray> unifiedDiff(const LoadedProfile &profile, const ProgramState &state, const QString &path,
                                      QString *error)
{
    QByteArray before;
    bool existed = false;
    QByteArray newLineEnd;
    const auto after = mergedBytes(profile, state, path, &before, &existed, error, &newLineEnd);
    if (!after)
        return std::nullopt;
    const QByteArray label = path.toUtf8();
    // A tab ends the name for patch, which takes what follows as a date.
    QByteArray diff =
        LineDiff::unified(before, *after, existed ? label : QByteArray("/dev/null"), label + "\t(after save)");
    // The diff compares lines, whatever ends them. Said before the diff, where patch skips what is not one.
    if (!newLineEnd.isEmpty())
        diff.prepend(lineEndNote(newLineEnd).toUtf8() + '\n');
    return diff;
}

} // namespace SavePreview

} // namespace Tunesmith
