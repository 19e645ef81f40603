#include "app/numbertext.h"
#include "app/settings.h"
#include "app/speedunits.h"
#include "app/textcodec.h"
#include "clicommands.h"
#include "gameconfig/configreader.h"
#include "gameconfig/configwriter.h"
#include "gameconfig/savepreview.h"
#include "loader/installhints.h"
#include "loader/loadedprofile.h"

#include <memory>
#include <optional>
#include <vector>

namespace Tunesmith
{

namespace Cli
{

namespace
{

struct Action
{
    QString name;
    QString argument;
};

struct Request
{
    QString command;
    QString profile;
    QString config;
    bool json = false;
    bool dryRun = false;
    std::optional<QString> installDir;
    std::optional<std::pair<qint32, qint32>> speeds;
    QList<Action> actions;
};

// UP,DOWN in bytes per second as the connection dialog takes them: a fraction rounds, halves to even, and a speed
// below zero is refused.
std::optional<std::pair<qint32, qint32>> parseDialogSpeeds(const QString &text)
{
    const QStringList parts = text.split(QLatin1Char(','));
    if (parts.size() != 2)
        return std::nullopt;
    constexpr int bytesPerSecond = 1; // the units lists' "Byte/s"
    const auto up = SpeedUnits::parseSpeed(parts[0].toUtf8(), bytesPerSecond, nullptr);
    const auto down = SpeedUnits::parseSpeed(parts[1].toUtf8(), bytesPerSecond, nullptr);
    if (!up || !down || *up < 0 || *down < 0)
        return std::nullopt;
    return std::pair{*up, *down};
}

std::optional<std::pair<qint32, qint32>> parseSpeedPair(const QString &text)
{
    const QStringList parts = text.split(QLatin1Char(','));
    if (parts.size() != 2)
        return std::nullopt;
    const auto up = toInt32(parts[0].toUtf8());
    const auto down = toInt32(parts[1].toUtf8());
    if (!up || !down || parts[0].contains(QLatin1Char('.')) || parts[1].contains(QLatin1Char('.')))
        return std::nullopt;
    return std::pair{*up, *down};
}

bool hasLineBreak(const QString &text)
{
    return text.contains(QLatin1Char('\r')) || text.contains(QLatin1Char('\n'));
}

// Carries out the actions in order. Returns an exit status, at the first action that fails.
int runActions(const QList<Action> &actions, LoadedProfile &profile, ProgramState &state, QTextStream &err)
{
    for (const Action &action : actions) {
        if (action.name == QLatin1String("--preset")) {
            if (const int status = applyPreset(profile, state, action.argument, err); status != exitOk)
                return status;
        } else if (action.name == QLatin1String("--set") || action.name == QLatin1String("--pick")) {
            const qsizetype equals = action.argument.indexOf(QLatin1Char('='));
            if (equals < 0 || hasLineBreak(action.argument))
                return usageError(err, action.name + QStringLiteral(" needs NAME=VALUE on one line"));
            const QByteArray name = action.argument.left(equals).toUtf8();
            const QByteArray value = action.argument.mid(equals + 1).toUtf8();
            for (TweakModel *tweak : profile.saveOrder()) {
                if (tweak->Tweak() != name)
                    continue;
                if (action.name == QLatin1String("--set"))
                    tweak->setValue(value);
                else if (auto *multi = tweakAs<MultiTweak>(tweak))
                    multi->SetDesAsValue(value);
            }
        } else if (action.name == QLatin1String("--load-config")) {
            GameConfigReader::apply(profile, state.syntax, action.argument);
        } else if (action.name == QLatin1String("--connection")) {
            const auto speeds = parseDialogSpeeds(action.argument);
            if (!speeds) {
                return usageError(err,
                                  QStringLiteral("--connection needs UP,DOWN in bytes per second, neither below zero"));
            }
            state.uploadSpeed = speeds->first;
            state.downloadSpeed = speeds->second;
            for (const auto &tweak : profile.simple) {
                if (tweak->hasRule())
                    tweak->SetPing();
            }
            for (const auto &tweak : profile.text) {
                if (tweak->hasRule())
                    tweak->SetPing();
            }
        }
    }
    return exitOk;
}

std::optional<Request> parseRequest(const QString &command, const QStringList &args, QTextStream &err)
{
    Request request;
    request.command = command;
    if (args.isEmpty()) {
        usageError(err, command + QStringLiteral(" needs a PROFILE"));
        return std::nullopt;
    }
    request.profile = args[0];
    for (qsizetype i = 1; i < args.size(); ++i) {
        const QString &arg = args[i];
        if (arg == QLatin1String("--json") && command == QLatin1String("show")) {
            request.json = true;
            continue;
        }
        if (arg == QLatin1String("--dry-run") && command == QLatin1String("save")) {
            request.dryRun = true;
            continue;
        }
        static const QStringList withArgument = {QStringLiteral("--install-dir"), QStringLiteral("--speeds"),
                                                 QStringLiteral("--preset"),      QStringLiteral("--set"),
                                                 QStringLiteral("--pick"),        QStringLiteral("--load-config"),
                                                 QStringLiteral("--connection"),  QStringLiteral("--config")};
        if (!withArgument.contains(arg) || (arg == QLatin1String("--config") && command != QLatin1String("save"))) {
            usageError(err, QStringLiteral("Unknown argument: ") + arg);
            return std::nullopt;
        }
        if (i + 1 >= args.size()) {
            usageError(err, arg + QStringLiteral(" needs a value"));
            return std::nullopt;
        }
        const QString value = args[++i];
        if (arg == QLatin1String("--install-dir")) {
            request.installDir = value;
        } else if (arg == QLatin1String("--speeds")) {
            request.speeds = parseSpeedPair(value);
            if (!request.speeds) {
                usageError(err, QStringLiteral("--speeds needs UP,DOWN as whole numbers"));
                return std::nullopt;
            }
        } else if (arg == QLatin1String("--config")) {
            request.config = value;
        } else {
            request.actions.append({arg, value});
        }
    }
    if (command == QLatin1String("save") && request.config.isEmpty()) {
        usageError(err, QStringLiteral("save needs --config FILE"));
        return std::nullopt;
    }
    return request;
}

// Keeps a loaded profile until the process ends: the system takes its tens of thousands of small blocks back at
// once, where freeing them one by one took a tenth of a large save. The holder stays reachable, so leak checkers
// do not count it.
void leaveToExit(std::unique_ptr<LoadedProfile> profile)
{
    static auto *const kept = new std::vector<std::unique_ptr<LoadedProfile>>;
    kept->push_back(std::move(profile));
}

// The actions, then the listing, the diff or the save.
int actOn(LoadedProfile &profile, ProgramState &state, const Request &request, QTextStream &out, QTextStream &err)
{
    QString error;
    if (const int status = runActions(request.actions, profile, state, err); status != exitOk)
        return status;

    if (request.command == QLatin1String("show")) {
        if (request.json)
            printJson(profile, state, out);
        else
            printTable(profile, state, out);
        return exitOk;
    }
    if (request.dryRun) {
        // The save's changes as a diff; nothing is written, no backup either.
        const auto diff = SavePreview::unifiedDiff(profile, state, request.config, &error);
        if (!diff) {
            err << error << '\n';
            return exitFailure;
        }
        out << decodeText(*diff);
        return exitOk;
    }
    const Clock clock;
    if (!GameConfigWriter::save(profile, state, clock, request.config, &error)) {
        err << error << '\n';
        return exitFailure;
    }
    out << "Config saved!\n";
    return exitOk;
}

} // namespace

int runShowOrSave(const QString &command, const QStringList &args, const QString &programFolder, Teardown teardown,
                  QTextStream &out, QTextStream &err)
{
    const auto parsed = parseRequest(command, args, err);
    if (!parsed)
        return exitUsage;
    const Request &request = *parsed;
    ProgramState state;
    state.programFolder = programFolder;
    Settings::read(state);
    const QString path = resolveProfile(request.profile, programFolder);
    state.currentProfile = profileFileName(path);
    state.installDir =
        request.installDir ? *request.installDir : Settings::storedInstallDir(state, state.currentProfile);
    // As the start-up window does, a profile's install hints stand in for a directory never chosen.
    if (!request.installDir && state.installDir.isEmpty())
        state.installDir = InstallHints::findForProfile(path, QProcessEnvironment::systemEnvironment());
    if (request.speeds) {
        state.uploadSpeed = request.speeds->first;
        state.downloadSpeed = request.speeds->second;
    }

    QList<ProfileProblem> problems;
    QString error;
    auto profile = loadProfile(
        path, state, [&err](const QString &message) { err << message << '\n'
                                                          << Qt::flush; }, &problems, &error);
    if (!profile) {
        err << (problems.isEmpty() ? QStringLiteral("%1: %2").arg(path, error) : describeProblems(path, problems))
            << '\n';
        return exitFailure;
    }
    const int status = actOn(*profile, state, request, out, err);
    if (teardown == Teardown::LeaveToExit)
        leaveToExit(std::move(profile));
    return status;
}

} // namespace Cli

} // namespace Tunesmith
