#include "app/textlines.h"
#include "clicommands.h"
#include "loader/loadedprofile.h"
#include "loader/profilewarnings.h"

namespace Tunesmith
{

namespace Cli
{

int runCheck(const QStringList &args, const QString &programFolder, QTextStream &out, QTextStream &err)
{
    QStringList profiles = args;
    const bool strict = profiles.removeAll(QStringLiteral("--strict")) > 0;
    if (profiles.isEmpty())
        return usageError(err, QStringLiteral("check needs a PROFILE"));
    int status = exitOk;
    for (const QString &argument : profiles) {
        const QString path = resolveProfile(argument, programFolder);
        QString error;
        const auto bytes = readWholeFile(path, &error);
        QList<ProfileProblem> problems;
        const auto plan = bytes ? planProfile(*bytes, QByteArray(), &problems) : std::nullopt;
        if (!bytes) {
            err << path << ":0: " << error << '\n';
            status = exitFailure;
        } else if (!plan) {
            err << describeProblems(path, problems) << '\n';
            status = exitFailure;
        } else {
            if (strict) {
                for (const ProfileProblem &warning : profileWarnings(*bytes, *plan))
                    err << path << ':' << warning.line << ": warning: " << warning.message << '\n';
            }
            out << profileFileName(path) << ": ok (" << plan->tweakCount() << " tweaks, " << plan->pageCaptions.size()
                << " pages)\n";
        }
        // Each profile's lines together, as a terminal shows both streams.
        err.flush();
        out.flush();
    }
    return status;
}

} // namespace Cli

} // namespace Tunesmith
