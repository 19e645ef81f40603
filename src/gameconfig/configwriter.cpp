#include "configwriter.h"

#include "app/savefile.h"
#include "app/textcodec.h"
#include "backups.h"
#include "loader/loadedprofile.h"

#include <QCoreApplication>

namespace Tunesmith
{

namespace GameConfigWriter
{

namespace
{

bool checkValues(const QList<MergeItem> &items, QString *error)
{
    for (const MergeItem &item : items) {
        if (item.value.contains('\r') || item.value.contains('\n')) {
            if (error)
                *error =
                    QCoreApplication::translate("Tunesmith", "The value of %1 holds a line break; nothing was written.")
                        .arg(decodeText(item.name));
            return false;
        }
    }
    return true;
}

} // namespace

QList<MergeItem> mergeItems(const LoadedProfile &profile)
{
    QList<MergeItem> items;
    const QList<TweakModel *> order = profile.saveOrder();
    items.reserve(order.size());
    for (const TweakModel *tweak : order)
        items.append({tweak->Tweak(), tweak->Value()});
    return items;
}

bool save(const LoadedProfile &profile, const ProgramState &state, const Clock &clock, const QString &path,
          QString *error, QString *backupPath)
{
    const QList<MergeItem> items = mergeItems(profile);
    if (!checkValues(items, error))
        return false;
    const auto config = readConfigForSave(path, profile.lastConfig, error);
    if (!config)
        return false;
    const ConfigSnapshot &snapshot = config->snapshot;
    if (snapshot.existed() && state.backups) {
        QString reason;
        if (!Backups::makeBackup(state, clock, path, snapshot, backupPath, &reason)) {
            if (error)
                *error = QCoreApplication::translate(
                             "Tunesmith", "The backup could not be written, so the config was left as it was. %1")
                             .arg(reason);
            return false;
        }
    }
    // Without a tweak the one-by-one save writes nothing: a missing file stays missing.
    if (items.isEmpty())
        return true;
    return saveFilePieces(
        path,
        [&](const PieceWriter &write) {
            return writeMergedConfig(snapshot, state.syntax, items, write, config->scan());
        },
        error);
}

std::optional<Preview> preview(const LoadedProfile &profile, const ProgramState &state, const QString &path,
                               QString *error)
{
    const QList<MergeItem> items = mergeItems(profile);
    if (!checkValues(items, error))
        return std::nullopt;
    const auto config = readConfigForSave(path, profile.lastConfig, error);
    if (!config)
        return std::nullopt;
    Preview result;
    result.before = config->snapshot.bytes();
    result.existed = config->snapshot.existed();
    QList<MergeChange> all;
    result.after = mergeConfig(config->snapshot, state.syntax, items, &all, config->scan());
    result.newLineEnd = lineEndsMadeOne(config->snapshot, result.after);
    for (const MergeChange &change : all) {
        if (change.oldLine != change.newLine)
            result.changes.append(change);
    }
    return result;
}

QStringList DialogFilter::entries() const
{
    const auto entry = [](const QString &label, QString pattern) {
        return QStringLiteral("%1 (%2)").arg(label, pattern.replace(QLatin1Char(' '), QLatin1Char('?')));
    };
    return {entry(exactName, exactName), entry(extensionLabel, extensionPattern)};
}

DialogFilter dialogFilter(const QByteArray &gameConfigFileName)
{
    const QString name = decodeText(gameConfigFileName);
    const qsizetype dot = name.indexOf(QLatin1Char('.'));
    const QString extension = dot >= 0 ? name.mid(dot + 1) : name;
    return {name, extension + QCoreApplication::translate("Tunesmith", " files"), QStringLiteral("*.") + extension};
}

} // namespace GameConfigWriter

} // namespace Tunesmith
