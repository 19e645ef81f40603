#include "cliapp.h"

#include "app/fileutil.h"
#include "app/numbertext.h"
#include "app/settings.h"
#include "app/speedunits.h"
#include "app/textcodec.h"
#include "app/textlines.h"
#include "clibackups.h"
#include "gameconfig/configreader.h"
#include "gameconfig/configwriter.h"
#include "gameconfig/presets.h"
#include "gameconfig/savepreview.h"
#include "jsonwriter.h"
#include "loader/installhints.h"
#include "loader/loadedprofile.h"

#include <QDir>
#include <QFileInfo>

#include <memory>
#include <optional>
#include <vector>

namespace Tunesmith
{

namespace
{

constexpr int exitOk = 0;
constexpr int exitFailure = 1;
constexpr int exitUsage = 2;

const char *usageText =
    "Usage: tunesmith-cli [--program-folder DIR] COMMAND ARGS...\n"
    "  check PROFILE...\n"
    "  show PROFILE [OPTION|ACTION]... [--json]\n"
    "  save PROFILE --config FILE [--dry-run] [OPTION|ACTION]...\n"
    "  backups PROFILE\n"
    "  restore BACKUP --config FILE [--profile PROFILE]\n"
    "Options: --install-dir DIR, --speeds UP,DOWN\n"
    "Actions: --preset NAME, --set NAME=VALUE, --pick NAME=VALUE, --load-config FILE, --connection UP,DOWN\n";

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

// A path to a .tsm file, or a profile name looked up in the program folder's profiles. An argument that holds a "/",
// or names a file here that is no folder, is a path: anything that exists counts, a pipe among them, so that the
// reader can say why it is not a profile. Any other name is looked up first, so that a game's folder in the current
// folder does not hide the game's profile.
QString resolveProfile(const QString &argument, const QString &programFolder)
{
    auto exists = [](const QString &path) {
        const QFileInfo info(path);
        return info.exists() || info.isSymLink();
    };
    if (argument.contains(QLatin1Char('/')) || (exists(argument) && !QFileInfo(argument).isDir()))
        return argument;
    const QString profiles = programFolder + QStringLiteral("/profiles/");
    if (!argument.endsWith(QStringLiteral(".tsm")) && exists(profiles + argument + QStringLiteral(".tsm")))
        return profiles + argument + QStringLiteral(".tsm");
    if (exists(profiles + argument))
        return profiles + argument;
    return argument;
}

int runCheck(const QStringList &profiles, const QString &programFolder, QTextStream &out, QTextStream &err)
{
    int status = exitOk;
    for (const QString &argument : profiles) {
        const QString path = resolveProfile(argument, programFolder);
        QString error;
        const auto bytes = readWholeFile(path, &error);
        if (!bytes) {
            err << path << ":0: " << error << '\n';
            status = exitFailure;
            continue;
        }
        QList<ProfileProblem> problems;
        const auto plan = planProfile(*bytes, QByteArray(), &problems);
        if (!plan) {
            err << describeProblems(path, problems) << '\n';
            status = exitFailure;
            continue;
        }
        out << profileFileName(path) << ": ok (" << plan->tweakCount() << " tweaks, " << plan->pageCaptions.size()
            << " pages)\n";
    }
    return status;
}

const char *kindName(ControlKind kind)
{
    switch (kind) {
    case ControlKind::Label:
        return "label";
    case ControlKind::Simple:
        return "simple";
    case ControlKind::Multi:
        return "multi";
    case ControlKind::Text:
        return "text";
    }
    return "";
}

const char *kindName(TweakKind kind)
{
    switch (kind) {
    case TweakKind::Simple:
        return "simple";
    case TweakKind::Multi:
        return "multi";
    case TweakKind::Text:
        return "text";
    }
    return "";
}

void writeJson(const LoadedProfile &profile, const ProgramState &state, QTextStream &out)
{
    JsonWriter json;
    json.beginObject();
    json.key("profile");
    json.value(state.currentProfile);
    json.key("caption");
    json.value(profile.plan.caption());
    json.key("status");
    json.bytes(profile.plan.status());
    json.key("gameConfigFile");
    json.bytes(state.gameConfigFileName);
    json.key("syntax");
    json.beginObject();
    json.key("prefix");
    json.bytes(state.syntax.prefix);
    json.key("middle");
    json.bytes(state.syntax.middle);
    json.key("suffix");
    json.bytes(state.syntax.suffix);
    json.key("looseSpacing");
    json.boolean(state.syntax.looseSpacing);
    json.endObject();
    json.key("installDir");
    json.value(state.installDir);
    json.key("upload");
    json.value(state.uploadSpeed);
    json.key("download");
    json.value(state.downloadSpeed);
    json.key("pages");
    json.beginArray();
    // The controls of each page in creation order, found in one pass: a profile may have thousands of pages.
    QList<QList<const PlacedControl *>> pageControls(profile.plan.pageCaptions.size());
    for (const PlacedControl &control : profile.plan.controls) {
        if (control.page >= 0 && control.page < pageControls.size())
            pageControls[control.page].append(&control);
    }
    for (qsizetype page = 0; page < profile.plan.pageCaptions.size(); ++page) {
        json.beginObject();
        json.key("caption");
        json.bytes(profile.plan.pageCaptions[page]);
        json.key("controls");
        json.beginArray();
        for (const PlacedControl *placed : pageControls[page]) {
            const PlacedControl &control = *placed;
            json.beginObject();
            json.key("kind");
            json.value(QString::fromLatin1(kindName(control.kind)));
            json.key("index");
            json.value(control.index);
            json.key("left");
            json.value(control.left);
            json.key("top");
            json.value(control.top);
            json.endObject();
        }
        json.endArray();
        json.endObject();
    }
    json.endArray();
    json.key("tweaks");
    json.beginArray();
    for (const TweakModel *tweak : profile.saveOrder()) {
        const auto *text = tweakAs<TextTweak>(tweak);
        const auto *multi = tweakAs<MultiTweak>(tweak);
        json.beginObject();
        json.key("kind");
        json.value(QString::fromLatin1(kindName(tweak->kind())));
        json.key("index");
        json.value(tweak->index());
        json.key("tweak");
        json.bytes(tweak->Tweak());
        json.key("value");
        json.bytes(tweak->Value());
        json.key("default");
        json.bytes(tweak->Default());
        json.key("presetQuality");
        json.bytes(tweak->Preset_Quality());
        json.key("presetFps");
        json.bytes(tweak->Preset_FPS());
        json.key("presetDieHard");
        json.bytes(tweak->Preset_DieHard());
        json.key("ping");
        json.bytes(tweak->Ping());
        json.key("department");
        json.bytes(tweak->Department());
        json.key("shortDescription");
        json.bytes(tweak->ShortDescription());
        json.key("longDescription");
        json.bytes(tweak->LongDescription());
        json.key("min");
        json.bytes(text ? text->MinValue() : QByteArray());
        json.key("max");
        json.bytes(text ? text->MaxValue() : QByteArray());
        json.key("entries");
        json.beginArray();
        if (multi) {
            for (const MultiTweakEntry &entry : multi->entries()) {
                json.beginObject();
                json.key("text");
                json.bytes(entry.description);
                json.key("value");
                json.bytes(entry.value);
                json.endObject();
            }
        }
        json.endArray();
        json.key("selected");
        json.value(multi ? multi->selected() : -1);
        json.endObject();
    }
    json.endArray();
    json.endObject();
    out << QString::fromUtf8(json.result()) << '\n';
}

void writeTable(const LoadedProfile &profile, const ProgramState &state, QTextStream &out)
{
    out << state.currentProfile << " - " << profile.plan.caption() << '\n';
    out << decodeText(profile.plan.status()) << '\n';
    out << "Game config: " << decodeText(state.gameConfigFileName) << " in "
        << (state.installDir.isEmpty() ? QStringLiteral("(no install directory)") : state.installDir) << '\n';
    out << "Speeds: upload " << state.uploadSpeed << " B/s, download " << state.downloadSpeed << " B/s\n";
    out << "Pages:";
    for (const QByteArray &caption : profile.plan.pageCaptions)
        out << " [" << decodeText(caption) << ']';
    out << "\n\n";
    out << qSetFieldWidth(7) << Qt::left << "KIND" << qSetFieldWidth(6) << "INDEX" << qSetFieldWidth(28) << "TWEAK"
        << qSetFieldWidth(16) << "VALUE" << qSetFieldWidth(0) << "DESCRIPTION\n";
    for (const TweakModel *tweak : profile.saveOrder()) {
        out << qSetFieldWidth(7) << kindName(tweak->kind()) << qSetFieldWidth(6) << tweak->index() << qSetFieldWidth(28)
            << decodeText(tweak->Tweak()) << qSetFieldWidth(16) << decodeText(tweak->Value()) << qSetFieldWidth(0)
            << decodeText(tweak->ShortDescription()) << '\n';
    }
}

bool hasLineBreak(const QString &text)
{
    return text.contains(QLatin1Char('\r')) || text.contains(QLatin1Char('\n'));
}

// Carries out the actions in order. Returns false on a usage error.
bool runActions(const QList<Action> &actions, LoadedProfile &profile, ProgramState &state, QTextStream &err)
{
    for (const Action &action : actions) {
        if (action.name == QLatin1String("--preset")) {
            const auto preset = Presets::fromName(action.argument.toUtf8());
            if (!preset) {
                err << "Unknown preset: " << action.argument << '\n';
                return false;
            }
            Presets::apply(profile, *preset);
        } else if (action.name == QLatin1String("--set") || action.name == QLatin1String("--pick")) {
            const qsizetype equals = action.argument.indexOf(QLatin1Char('='));
            if (equals < 0 || hasLineBreak(action.argument)) {
                err << action.name << " needs NAME=VALUE on one line\n";
                return false;
            }
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
                err << "--connection needs UP,DOWN in bytes per second, neither below zero\n";
                return false;
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
    return true;
}

std::optional<Request> parseRequest(const QString &command, const QStringList &args, QTextStream &err)
{
    Request request;
    request.command = command;
    if (args.isEmpty()) {
        err << command << " needs a PROFILE\n" << usageText;
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
            err << "Unknown argument: " << arg << '\n' << usageText;
            return std::nullopt;
        }
        if (i + 1 >= args.size()) {
            err << arg << " needs a value\n" << usageText;
            return std::nullopt;
        }
        const QString value = args[++i];
        if (arg == QLatin1String("--install-dir")) {
            request.installDir = value;
        } else if (arg == QLatin1String("--speeds")) {
            request.speeds = parseSpeedPair(value);
            if (!request.speeds) {
                err << "--speeds needs UP,DOWN as whole numbers\n";
                return std::nullopt;
            }
        } else if (arg == QLatin1String("--config")) {
            request.config = value;
        } else {
            request.actions.append({arg, value});
        }
    }
    if (command == QLatin1String("save") && request.config.isEmpty()) {
        err << "save needs --config FILE\n" << usageText;
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
    if (!runActions(request.actions, profile, state, err))
        return exitUsage;

    if (request.command == QLatin1String("show")) {
        if (request.json)
            writeJson(profile, state, out);
        else
            writeTable(profile, state, out);
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

int runShowOrSave(const Request &request, const QString &programFolder, Teardown teardown, QTextStream &out,
                  QTextStream &err)
{
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

} // namespace

int runCli(const QStringList &arguments, const QString &defaultProgramFolder, QTextStream &out, QTextStream &err,
           Teardown teardown)
{
    QStringList args = arguments;
    QString programFolder = defaultProgramFolder;
    if (!args.isEmpty() && args[0] == QLatin1String("--program-folder")) {
        // An empty value (an unset variable in a script) would make the root folder the program folder.
        if (args.size() < 2 || args[1].isEmpty()) {
            err << "--program-folder needs a folder\n" << usageText;
            return exitUsage;
        }
        programFolder = args[1];
        args = args.mid(2);
    }
    while (programFolder.size() > 1 && programFolder.endsWith(QLatin1Char('/')))
        programFolder.chop(1);
    if (args.isEmpty()) {
        err << usageText;
        return exitUsage;
    }
    const QString command = args.takeFirst();
    if (command == QLatin1String("check")) {
        if (args.isEmpty()) {
            err << "check needs a PROFILE\n" << usageText;
            return exitUsage;
        }
        return runCheck(args, programFolder, out, err);
    }
    if (command == QLatin1String("show") || command == QLatin1String("save")) {
        const auto request = parseRequest(command, args, err);
        if (!request)
            return exitUsage;
        return runShowOrSave(*request, programFolder, teardown, out, err);
    }
    if (command == QLatin1String("backups"))
        return runBackups(args, programFolder, out, err);
    if (command == QLatin1String("restore"))
        return runRestore(args, programFolder, out, err);
    err << "Unknown command: " << command << '\n' << usageText;
    return exitUsage;
}

} // namespace Tunesmith
