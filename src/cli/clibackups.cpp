#include "app/settings.h"
#include "clicommands.h"
#include "gameconfig/backuplist.h"

#include <QFileInfo>

namespace Tunesmith
{

namespace Cli
{

int runBackups(const QStringList &args, const QString &programFolder, QTextStream &out, QTextStream &err)
{
    if (args.size() != 1)
        return usageError(err, QStringLiteral("backups needs one PROFILE"));
    ProgramState state;
    state.programFolder = programFolder;
    for (const BackupList::Entry &entry : BackupList::list(state.backupsPath(), profileFileName(args[0])))
        out << entry.written.toString(QStringLiteral("yyyy-MM-dd HH:mm:ss")) << '\t' << entry.name << '\n';
    return exitOk;
}

int runRestore(const QStringList &args, const QString &programFolder, QTextStream &out, QTextStream &err)
{
    QString backup;
    QString config;
    QString profile;
    for (qsizetype i = 0; i < args.size(); ++i) {
        const QString &arg = args[i];
        if (arg == QLatin1String("--config") || arg == QLatin1String("--profile")) {
            if (i + 1 >= args.size())
                return usageError(err, arg + QStringLiteral(" needs a value"));
            (arg == QLatin1String("--config") ? config : profile) = args[++i];
        } else if (backup.isEmpty() && !arg.startsWith(QLatin1String("--"))) {
            backup = arg;
        } else {
            return usageError(err, QStringLiteral("Unknown argument: ") + arg);
        }
    }
    if (backup.isEmpty() || config.isEmpty())
        return usageError(err, QStringLiteral("restore needs BACKUP and --config FILE"));

    ProgramState state;
    state.programFolder = programFolder;
    Settings::read(state);
    const QString path =
        QFileInfo(backup).isFile() ? backup : state.backupsPath() + QLatin1Char('/') + QFileInfo(backup).fileName();
    if (!QFileInfo(path).isFile()) {
        err << "No backup " << backup << '\n';
        return exitFailure;
    }
    const QString owner = profile.isEmpty() ? BackupList::profileOf(QFileInfo(path).fileName()) : profile;
    if (owner.isEmpty()) {
        return usageError(
            err, QStringLiteral("Cannot tell the profile of %1 from its name; give --profile PROFILE").arg(backup));
    }
    state.currentProfile = profileFileName(owner);

    const Clock clock;
    QString error;
    QString safety;
    if (!BackupList::restore(state, clock, path, config, &error, &safety)) {
        err << error << '\n';
        return exitFailure;
    }
    if (!safety.isEmpty())
        out << "The config as it was is in " << safety << '\n';
    out << "Backup restored!\n";
    return exitOk;
}

} // namespace Cli

} // namespace Tunesmith
