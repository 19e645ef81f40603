#include "backuplist.h"

#include "app/savefile.h"
#include "app/textlines.h"
#include "backups.h"
#include "configsnapshot.h"

#include <QCoreApplication>
#include <QDir>
#include <QRegularExpression>

#include <algorithm>

namespace Tunesmith
{

namespace BackupList
{

namespace
{

// The date and time pieces of a name: five digits or dashes each ("12-04 23-05").
const QRegularExpression &stampAfterProfile()
{
    static const QRegularExpression pattern(QStringLiteral("^[0-9-]{5} [0-9-]{5} .+$"));
    return pattern;
}

QString profileName(const QString &profileFileName)
{
    return profileFileName.endsWith(QStringLiteral(".tsm")) ? profileFileName.chopped(4) : profileFileName;
}

} // namespace

QString profileOf(const QString &backupName)
{
    // The shortest profile piece that the stamp follows: a profile name may hold digits and blanks itself.
    static const QRegularExpression pattern(QStringLiteral("^(.+?) [0-9-]{5} [0-9-]{5} .+$"));
    const QRegularExpressionMatch match = pattern.match(backupName);
    return match.hasMatch() ? match.captured(1) : QString();
}

QList<Entry> list(const QString &folder, const QString &profileFileName)
{
    const QString prefix = profileName(profileFileName) + QLatin1Char(' ');
    QList<Entry> entries;
    const QFileInfoList files = QDir(folder).entryInfoList(QDir::Files | QDir::Hidden | QDir::System);
    for (const QFileInfo &file : files) {
        const QString name = file.fileName();
        if (name.startsWith(prefix) && stampAfterProfile().match(QStringView(name).sliced(prefix.size())).hasMatch())
            entries.append({name, file.filePath(), file.lastModified()});
    }
    std::sort(entries.begin(), entries.end(), [](const Entry &a, const Entry &b) {
        return a.written != b.written ? a.written > b.written : a.name > b.name;
    });
    return entries;
}

bool restore(const ProgramState &state, const Clock &clock, const QString &backupPath, const QString &configPath,
             QString *error, QString *safetyBackupPath)
{
    const auto bytes = readWholeFile(backupPath, error);
    if (!bytes)
        return false;
    const auto current = ConfigSnapshot::read(configPath, error);
    if (!current)
        return false;
    if (current->existed() && state.backups) {
        QString reason;
        if (!Backups::makeBackup(state, clock, configPath, *current, safetyBackupPath, &reason)) {
            if (error) {
                *error = QCoreApplication::translate(
                             "Tunesmith", "The current config could not be backed up, so it was left as it was. %1")
                             .arg(reason);
            }
            return false;
        }
    }
    return saveFile(configPath, *bytes, error);
}

} // namespace BackupList

} // namespace Tunesmith
