#include "app/textlines.h"
#include "gameconfig/configline.h"
#include "gameconfig/configreader.h"
#include "gameconfig/configwriter.h"
#include "gameconfig/presets.h"
#include "loader/installhints.h"
#include "loader/loadedprofile.h"
#include "testfiles.h"

#include <QDir>
#include <QRegularExpression>
#include <QSet>
#include <QTemporaryDir>
#include <QTest>

using namespace Tunesmith;

namespace
{

// The shipped profiles and real configs of their games (a profile may stand for a game with more than one).
const QList<QPair<const char *, QStringList>> pairings = {
    {"Quake III Arena", {QStringLiteral("ioquake3/q3config.cfg")}},
    {"Quake II", {QStringLiteral("quake2/config.cfg"), QStringLiteral("yquake2/yq2.cfg")}},
    {"Quake", {QStringLiteral("winquake/config.cfg")}},
    {"Half-Life (Xash3D FWGS)", {QStringLiteral("xash3d/config.cfg")}},
    {"Team Fortress 2", {QStringLiteral("tf2-mastercomfig/comfig.cfg")}},
    {"Warsow", {QStringLiteral("warsow/default.cfg")}},
    {"Urban Terror server", {QStringLiteral("urbanterror/server_example.cfg")}},
    {"Xonotic server", {QStringLiteral("xonotic/server.cfg")}},
    {"Unvanquished server", {QStringLiteral("unvanquished/server.cfg")}},
};

QByteArray realConfig(const QString &file)
{
    const QString path = QStringLiteral(TUNESMITH_REALCONFIGS "/") + file;
    return QFile::exists(path) ? readAll(path) : QByteArray();
}

// Every variable a config sets, or names in a commented-out setting, whatever its syntax: each command of a line
// (commands split at ";"), after any "//", an optional set/seta/sets/setu, the first word, quotes taken off.
QSet<QByteArray> variablesIn(const QByteArray &config)
{
    static const QRegularExpression command(
        QStringLiteral("^\\s*(?://+\\s*)?(?:(?:set|seta|sets|setu)\\s+)?\"?([A-Za-z_][\\w.]*)\"?(?:\\s|$)"));
    QSet<QByteArray> names;
    for (QByteArrayView line : splitLineViews(config)) {
        for (const QByteArray &part : line.toByteArray().split(';')) {
            const auto match = command.match(QString::fromLatin1(part));
            if (match.hasMatch())
                names.insert(match.captured(1).toLatin1());
        }
    }
    return names;
}

std::unique_ptr<LoadedProfile> load(const QString &name, ProgramState &state)
{
    return loadProfile(
        QStringLiteral(TUNESMITH_SAMPLE_PROFILES "/") + name + QStringLiteral(".tsm"), state, [](const QString &) {},
        nullptr, nullptr);
}

} // namespace

// The shipped profiles against real configs of their games: every variable is one the game has, and a save of
// each preset into the config changes or adds only the tweaks' lines, in place, never a second line of a tweak.
class TestProfiles : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void shippedProfile_fitsItsGamesConfig_data()
    {
        QTest::addColumn<QString>("profile");
        QTest::addColumn<QStringList>("configs");
        for (const auto &[profile, configs] : pairings)
            QTest::newRow(profile) << QString::fromUtf8(profile) << configs;
    }

    void shippedProfile_fitsItsGamesConfig()
    {
        QFETCH(QString, profile);
        QFETCH(QStringList, configs);
        QSet<QByteArray> variables;
        for (const QString &config : std::as_const(configs)) {
            const QByteArray bytes = realConfig(config);
            if (bytes.isEmpty())
                QSKIP(qPrintable(config + QStringLiteral(" is not there: real configs are only beside our checkout")));
            variables.unite(variablesIn(bytes));
        }
        ProgramState state;
        const auto loaded = load(profile, state);
        QVERIFY(loaded);
        for (const TweakModel *tweak : loaded->saveOrder())
            QVERIFY2(variables.contains(tweak->Tweak()), tweak->Tweak().constData());

        const QByteArray before = realConfig(configs.first());
        const ConfigSnapshot snapshot(before);
        const LineTable original(before);
        for (const Preset preset : {Preset::Default, Preset::HighQuality, Preset::FpsBoost, Preset::DieHard}) {
            // As a player has it: the config read into the tweaks, then the preset, then the save.
            GameConfigReader::applySnapshot(*loaded, state.syntax, snapshot);
            Presets::apply(*loaded, preset);
            QHash<QByteArray, QByteArray> values;
            for (const TweakModel *tweak : loaded->saveOrder())
                values.insert(tweak->Tweak(), tweak->Value());
            const QByteArray after = mergeConfig(snapshot, state.syntax, GameConfigWriter::mergeItems(*loaded));
            const LineTable saved(after);
            QCOMPARE(saved.firstLineEnd(), original.firstLineEnd());
            QVERIFY(saved.size() >= original.size());
            for (qsizetype l = 0; l < original.size(); ++l) {
                if (saved[l] == original[l])
                    continue;
                // A tweak's line with only its value's bytes changed (and a blank before a comment that followed
                // an empty value).
                bool valueOnly = false;
                for (auto it = values.cbegin(); it != values.cend() && !valueOnly; ++it) {
                    const QByteArrayView line = original[l];
                    const qsizetype start = ConfigLine::valueStart(line, state.syntax, it.key());
                    if (start < 0)
                        continue;
                    const QByteArray head = line.first(start).toByteArray() + it.value();
                    const QByteArray tail =
                        line.sliced(start + ConfigLine::valueLength(line.sliced(start), state.syntax.suffix))
                            .toByteArray();
                    valueOnly = saved[l] == head + tail || (tail.startsWith("//") && saved[l] == head + ' ' + tail);
                }
                QVERIFY2(valueOnly, (original[l].toByteArray() + " became " + saved[l].toByteArray()).constData());
            }
            // Appended: only lines of tweaks the config does not hold yet, as the template writes them.
            for (qsizetype l = original.size(); l < saved.size(); ++l) {
                const QByteArray line = saved[l].toByteArray();
                bool tweakLine = false;
                for (auto it = values.cbegin(); it != values.cend() && !tweakLine; ++it) {
                    tweakLine =
                        line == state.syntax.line(it.key(), it.value()) && !holdsName(snapshot, state.syntax, it.key());
                }
                QVERIFY2(tweakLine, line.constData());
            }
        }
    }

    void installHint_expandsHomeAndVariables_data()
    {
        QTest::addColumn<QByteArray>("hint");
        QTest::addColumn<QString>("folder"); // "" when the hint gives none
        const auto row = [](const char *hint, const char *folder) {
            QTest::newRow(hint) << QByteArray(hint) << QString::fromUtf8(folder);
        };
        row("~/.q3a/baseq3", "/home/p/.q3a/baseq3");
        row("~", "/home/p");
        row("$HOME/x", "/home/p/x");
        row("${GAMES}/quake/../q2", "/g/q2");
        row("$XDG_DATA_HOME/unvanquished", "/home/p/.local/share/unvanquished");
        row("${XDG_CONFIG_HOME}/a", "/home/p/.config/a");
        row("$UNSET/a", "");
        row("${GAMES", "");
        row("relative/folder", "");
        row("~player/x", "");
    }

    void installHint_expandsHomeAndVariables()
    {
        QFETCH(QByteArray, hint);
        QFETCH(QString, folder);
        QProcessEnvironment environment;
        environment.insert(QStringLiteral("HOME"), QStringLiteral("/home/p"));
        environment.insert(QStringLiteral("GAMES"), QStringLiteral("/g"));
        QCOMPARE(InstallHints::expand(hint, environment), folder);
    }

    void installHints_firstFolderHoldingTheConfigWins()
    {
        QTemporaryDir home;
        QProcessEnvironment environment;
        environment.insert(QStringLiteral("HOME"), home.path());
        QVERIFY(QDir(home.path()).mkpath(QStringLiteral("empty")) && QDir(home.path()).mkpath(QStringLiteral("a")));
        QVERIFY(writeAll(home.filePath(QStringLiteral("a/game.cfg")), "x") &&
                writeAll(home.filePath(QStringLiteral("b")), "a file, not a folder"));
        QCOMPARE(InstallHints::find({"~/none", "~/empty", "~/b", "~/a", "~"}, "game.cfg", environment),
                 home.filePath(QStringLiteral("a")));
        QCOMPARE(InstallHints::find({"~/empty"}, "game.cfg", environment), QString());
    }

    void onOffTweaks_readTheirStateFromLinesWithComments()
    {
        // Source and DarkPlaces configs put a comment after nearly every value.
        const QByteArray config = realConfig(QStringLiteral("tf2-mastercomfig/comfig.cfg"));
        if (config.isEmpty())
            QSKIP("tf2-mastercomfig/comfig.cfg is not there: real configs are only beside our checkout");
        ProgramState state;
        const auto loaded = load(QStringLiteral("Team Fortress 2"), state);
        QVERIFY(loaded);
        const ConfigSnapshot snapshot(config);
        GameConfigReader::applySnapshot(*loaded, state.syntax, snapshot);
        int commented = 0;
        for (const auto &tweak : loaded->simple) {
            if (!holdsName(snapshot, state.syntax, tweak->Tweak()))
                continue;
            QVERIFY2(tweak->shown() != SimpleTweak::Shown::None, tweak->Tweak().constData());
            commented += lookupValue(snapshot, state.syntax, tweak->Tweak()).size() == 1 ? 1 : 0;
        }
        QVERIFY(commented >= 5);
    }
};

QTEST_GUILESS_MAIN(TestProfiles)
#include "tst_profiles.moc"
