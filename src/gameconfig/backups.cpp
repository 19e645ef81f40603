#include "backups.h"

#include "app/fileutil.h"
#include "app/savefile.h"

#include <QCoreApplication>
#include <QDir>

namespace Tunesmith
{

namespace Backups
{

QString backupName(const QString &currentProfile, const Clock &clock, const QString &configPath)
{
    const QString profile = currentProfile.left(currentProfile.size() - 4);
    const QString date = clock.dateText().replace(QLatin1Char('/'), QLatin1Char('-')).left(5);
    const QString time = clock.timeText().replace(QLatin1Char(':'), QLatin1Char('-')).left(5);
    QString base = configPath.mid(configPath.lastIndexOf(QLatin1Char('/')) + 1);
    const qsizetype dot = base.lastIndexOf(QLatin1Char('.'));
    if (dot >= 0)
        base.truncate(dot);
    return profile + QLatin1Char(' ') + date + QLatin1Char(' ') + time + QLatin1Char(' ') + base;
}

bool makeBackup(const ProgramState &state, const Clock &clock, const QString &configPath,
                const ConfigSnapshot &snapshot, QString *backupPath, QString *error)
{
    const QString folder = state.backupsPath();
    if (!FolderExists(folder) && !QDir().mkdir(folder)) {
        if (error)
            *error = QCoreApplication::translate("Tunesmith", "Cannot create the backup folder %1.").arg(folder);
        return false;
    }
    const QString path = folder + QLatin1Char('/') + backupName(state.currentProfile, clock, configPath);
    if (backupPath)
        *backupPath = path;
    return saveFile(path, snapshot.text(), error);
}

} // namespace Backups

} // namespace Tunesmith
