#include "app/savefile.h"
#include "app/textlines.h"
#include "clicommands.h"
#include "loader/profileplan.h"
#include "loader/profilescaffold.h"

#include <QFile>
#include <QFileInfo>

namespace Tunesmith
{

namespace Cli
{

int runScaffold(const QStringList &args, QTextStream &out, QTextStream &err)
{
    QString config;
    QString values[3]; // --syntax, --name, --output
    const QString options[3] = {QStringLiteral("--syntax"), QStringLiteral("--name"), QStringLiteral("--output")};
    for (qsizetype i = 0; i < args.size(); ++i) {
        const qsizetype option = std::find(std::begin(options), std::end(options), args[i]) - std::begin(options);
        if (option < 3 && i + 1 < args.size())
            values[option] = args[++i];
        else if (option < 3)
            return usageError(err, args[i] + QStringLiteral(" needs a value"));
        else if (config.isEmpty() && !args[i].startsWith(QLatin1String("--")))
            config = args[i];
        else
            return usageError(err, QStringLiteral("Unknown argument: ") + args[i]);
    }
    const QString &syntax = values[0];
    const QString &game = values[1];
    const QString &output = values[2];
    if (config.isEmpty() || syntax.isEmpty() || game.trimmed().isEmpty())
        return usageError(err, QStringLiteral("scaffold needs CONFIG, --syntax TEMPLATE and --name GAME"));
    for (const QString &line : {syntax, game}) {
        if (line.contains(QLatin1Char('\n')) || line.contains(QLatin1Char('\r')))
            return usageError(err, QStringLiteral("--syntax and --name take one line each"));
    }
    if (const auto problem = ProfileScaffold::templateProblem(syntax.toUtf8()))
        return usageError(err, QStringLiteral("--syntax: ") + *problem);

    QString error;
    const auto bytes = readWholeFile(config, &error);
    if (!bytes) {
        err << config << ": " << error << '\n';
        return exitFailure;
    }
    const ProfileScaffold::Request request{*bytes, QFile::encodeName(QFileInfo(config).fileName()), syntax.toUtf8(),
                                           game.toUtf8(), QDate::currentDate()};
    const auto profile = ProfileScaffold::make(request, &error);
    if (!profile) {
        err << config << ": " << error << '\n';
        return exitFailure;
    }
    if (output.isEmpty()) {
        // The bytes as they are: a config's text need not be UTF-8, and Latin-1 passes every byte through. Nothing
        // is printed after them.
        out.flush();
        out.setEncoding(QStringConverter::Latin1);
        out << QString::fromLatin1(*profile);
        return exitOk;
    }
    if (!saveFile(output, *profile, &error)) {
        err << error << '\n';
        return exitFailure;
    }
    const auto plan = planProfile(*profile, QByteArray(), nullptr);
    out << "Profile written: " << output << " (" << (plan ? plan->tweakCount() : 0) << " tweaks, "
        << (plan ? plan->pageCaptions.size() : 0) << " pages)\n";
    return exitOk;
}

} // namespace Cli

} // namespace Tunesmith
