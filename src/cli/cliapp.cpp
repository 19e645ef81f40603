#include "cliapp.h"

#include "app/fileutil.h"
#include "app/programstate.h"
#include "cli/usagetext.h"
#include "clicommands.h"

namespace Tunesmith
{

int runCli(const QStringList &arguments, const QString &defaultProgramFolder, QTextStream &out, QTextStream &err,
           Teardown teardown)
{
    using namespace Cli;
    QStringList args = arguments;
    QString programFolder = defaultProgramFolder;
    if (!args.isEmpty() && args[0] == QLatin1String("--program-folder")) {
        // An empty value (an unset variable in a script) would make the root folder the program folder.
        if (args.size() < 2 || args[1].isEmpty())
            return usageError(err, QStringLiteral("--program-folder needs a folder"));
        programFolder = args[1];
        args = args.mid(2);
    }
    while (programFolder.size() > 1 && programFolder.endsWith(QLatin1Char('/')))
        programFolder.chop(1);
    if (args.isEmpty())
        return usageError(err, QStringLiteral("A COMMAND is missing."));
    const QString command = args.takeFirst();
    if (command == QLatin1String("--help") || command == QLatin1String("-h")) {
        out << usageText;
        return exitOk;
    }
    if (command == QLatin1String("--version")) {
        out << "tunesmith-cli " << VersionText(ProgramState::versionNumber) << '\n';
        return exitOk;
    }
    if (command == QLatin1String("check"))
        return runCheck(args, programFolder, out, err);
    if (command == QLatin1String("show") || command == QLatin1String("save"))
        return runShowOrSave(command, args, programFolder, teardown, out, err);
    if (command == QLatin1String("backups"))
        return runBackups(args, programFolder, out, err);
    if (command == QLatin1String("restore"))
        return runRestore(args, programFolder, out, err);
    if (command == QLatin1String("presets"))
        return runPresets(args, programFolder, out, err);
    if (command == QLatin1String("scaffold"))
        return runScaffold(args, out, err);
    return usageError(err, QStringLiteral("Unknown command: ") + command);
}

} // namespace Tunesmith
