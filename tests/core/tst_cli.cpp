#include "clirun.h"
#include "gameconfig/linediff.h"
#include "testfiles.h"

#include <QDate>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>

#include <memory>

using namespace Tunesmith;

namespace
{

const QString dataFolder = QStringLiteral(TUNESMITH_TEST_DATA "/cli/");
const QString smallGame = QStringLiteral("Small Game.tsm");
const QString chosenBackup = QStringLiteral("Small Game 30-11 09-30 small");

// Command-line words written as one text, "|" between them. In a run, CONFIG stands for install/small.cfg and
// BACKUPS for the backups folder.
QStringList args(const char *text)
{
    return QString::fromUtf8(text).split(QLatin1Char('|'), Qt::SkipEmptyParts);
}

using TweakValues = QMap<QString, QString>;

// Values after loading with speeds 10000 up, 20000 down: cl_fast (ds>6000) "0", rate (ds/2) "10000".
TweakValues tweakValues(const char *vsync, const char *gamma, const char *mode, const char *fast = "0",
                        const char *rate = "10000")
{
    return {{QStringLiteral("r_vsync"), QString::fromLatin1(vsync)},
            {QStringLiteral("cl_fast"), QString::fromLatin1(fast)},
            {QStringLiteral("r_gamma"), QString::fromLatin1(gamma)},
            {QStringLiteral("rate"), QString::fromLatin1(rate)},
            {QStringLiteral("r_mode"), QString::fromLatin1(mode)}};
}

// Every tweak of the small profile as it loads with those speeds, as a save writes them.
const QByteArray savedLines = "seta r_vsync \"0\"\nseta cl_fast \"0\"\nseta r_gamma \"100\"\nseta rate \"10000\"\n"
                              "seta r_mode \"1024\"\n";

const QString authorData = QStringLiteral(TUNESMITH_TEST_DATA "/authortools/");

// A run of program with the environment's display variables taken away and the given ones added.
Run runProgram(const QString &program, const QStringList &arguments, const QStringList &environment = {})
{
    QProcess process;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    for (const char *name : {"DISPLAY", "WAYLAND_DISPLAY", "QT_QPA_PLATFORM", "XDG_DATA_HOME"})
        env.remove(QString::fromLatin1(name));
    for (const QString &setting : environment)
        env.insert(setting.section(QLatin1Char('='), 0, 0), setting.section(QLatin1Char('='), 1));
    process.setProcessEnvironment(env);
    process.start(program, arguments);
    Run run;
    if (process.waitForFinished(30000) && process.exitStatus() == QProcess::NormalExit)
        run.status = process.exitCode();
    run.out = process.readAllStandardOutput();
    run.err = process.readAllStandardError();
    return run;
}

} // namespace

// tunesmith-cli run as a player's shell runs it, on a program folder of its own that holds the small profile.
class TestCli : public QObject
{
    Q_OBJECT

private:
    std::unique_ptr<QTemporaryDir> m_dir;

    QString path(const QString &relative) const { return m_dir->filePath(relative); }
    QString program() const { return path(QStringLiteral("program")); }
    QString config() const { return path(QStringLiteral("install/small.cfg")); }
    Run run(QStringList arguments) const
    {
        arguments.replaceInStrings(QStringLiteral("BACKUPS"), path(QStringLiteral("program/backups")));
        return runCli(program(), arguments.replaceInStrings(QStringLiteral("CONFIG"), config()));
    }
    bool makeBackups() const
    {
        const QString folder = path(QStringLiteral("program/backups/"));
        return QDir().mkpath(folder) &&
               writeAll(folder + chosenBackup, "seta r_gamma \"120\"\r\n", QDateTime(QDate(2020, 1, 1), {})) &&
               writeAll(folder + QStringLiteral("loose"), "loose\n");
    }

    // show --json with fixed speeds and an install directory without a config; tweak name -> value.
    TweakValues values(const QStringList &actions, Run *result = nullptr) const
    {
        const Run r = run(args("show|Small Game.tsm|--speeds|10000,20000|--install-dir") +
                          QStringList{path(QStringLiteral("install")), QStringLiteral("--json")} + actions);
        if (result)
            *result = r;
        TweakValues found;
        for (const QJsonValue &tweak : QJsonDocument::fromJson(r.out)[QLatin1String("tweaks")].toArray())
            found.insert(tweak[QLatin1String("tweak")].toString(), tweak[QLatin1String("value")].toString());
        return found;
    }

private slots:
    void init()
    {
        m_dir = std::make_unique<QTemporaryDir>();
        QVERIFY(QDir(m_dir->path()).mkpath(QStringLiteral("program/profiles")));
        QVERIFY(QDir(m_dir->path()).mkpath(QStringLiteral("install")));
        QVERIFY(QFile::copy(dataFolder + smallGame, path(QStringLiteral("program/profiles/")) + smallGame));
    }

    void check_malformedProfile_listsEveryProblemWithPathAndLine_data()
    {
        QTest::addColumn<QString>("profile");
        QTest::addColumn<QList<int>>("lines");
        QTest::newRow("cut short") << "Cut Short.tsm" << QList<int>{1};
        QTest::newRow("several problems") << "Several Problems.tsm" << QList<int>{7, 10, 15, 22, 27, 28};
    }

    void check_malformedProfile_listsEveryProblemWithPathAndLine()
    {
        QFETCH(QString, profile);
        QFETCH(QList<int>, lines);
        const QString file = dataFolder + profile;
        // The good profile before it still gets its line: every profile is checked.
        const Run r = run({QStringLiteral("check"), smallGame, file});
        QCOMPARE(r.status, 1);
        QCOMPARE(r.out, QByteArray("Small Game.tsm: ok (5 tweaks, 2 pages)\n"));
        const QStringList problems = QString::fromUtf8(r.err).split(QLatin1Char('\n'), Qt::SkipEmptyParts);
        QCOMPARE(problems.size(), lines.size());
        for (qsizetype i = 0; i < lines.size(); ++i) {
            const QString start = QStringLiteral("%1:%2: ").arg(file).arg(lines[i]);
            QVERIFY2(problems[i].startsWith(start) && problems[i].size() > start.size() + 5, qPrintable(problems[i]));
        }
    }

    // Every failure exits with its status and a message, prints nothing to standard output and leaves the config,
    // the backups and the settings as they were.
    void failures_exitWithStatusAndTouchNothing_data()
    {
        QTest::addColumn<QStringList>("arguments");
        QTest::addColumn<int>("status");
        const char *usage[] = {"",
                               "merge",
                               "check",
                               "show",
                               "save|Small Game.tsm",
                               "show|Small Game.tsm|--config|x",
                               "show|Small Game.tsm|--fast",
                               "show|Small Game.tsm|--set",
                               "show|Small Game.tsm|--preset|turbo",
                               "show|Small Game.tsm|--set|r_vsync",
                               "show|Small Game.tsm|--speeds|1,2,3",
                               "show|Small Game.tsm|--speeds|1.5,2",
                               "show|Small Game.tsm|--connection|fast,slow",
                               "show|Small Game.tsm|--connection|-8000,2000",
                               "backups",
                               "restore|Small Game 30-11 09-30 small",
                               "restore|loose|--config|CONFIG",
                               "restore|loose|--config|CONFIG|--force"};
        for (const char *line : usage)
            QTest::addRow("usage: %s", line) << args(line) << 2;
        const QString malformed = dataFolder + QStringLiteral("Several Problems.tsm");
        QTest::newRow("show a malformed profile") << QStringList{QStringLiteral("show"), malformed} << 1;
        QTest::newRow("save a malformed profile")
            << QStringList{QStringLiteral("save"), malformed, QStringLiteral("--config"), QStringLiteral("CONFIG")}
            << 1;
        QTest::newRow("no such profile") << args("show|No Such Game") << 1;
        QTest::newRow("no such backup") << args("restore|Small Game 01-01 00-00 none|--config|CONFIG") << 1;
    }

    void failures_exitWithStatusAndTouchNothing()
    {
        QFETCH(QStringList, arguments);
        QFETCH(int, status);
        QVERIFY(makeBackups());
        QVERIFY(writeAll(config(), "old\n"));
        const Run r = run(arguments);
        QCOMPARE(r.status, status);
        QVERIFY(!r.err.isEmpty());
        QCOMPARE(r.out, QByteArray());
        QCOMPARE(readAll(config()), QByteArray("old\n"));
        QCOMPARE(QDir(path(QStringLiteral("program/backups"))).entryList(QDir::Files).size(), 2);
        QVERIFY(!QFileInfo::exists(path(QStringLiteral("program/config.cfg"))));
    }

    void showJson_givesTheWholeDocument()
    {
        const Run r = run(args("show|Small Game|--install-dir|/nonexistent-install|--speeds|10000,20000|--json"));
        QCOMPARE(r.status, 0);
        QCOMPARE(r.err, QByteArray());
        QJsonParseError error;
        const QJsonDocument actual = QJsonDocument::fromJson(r.out, &error);
        QVERIFY2(error.error == QJsonParseError::NoError, qPrintable(error.errorString()));
        const QJsonDocument expected =
            QJsonDocument::fromJson(readAll(dataFolder + QStringLiteral("Small Game.expected.json")));
        QVERIFY(expected.isObject());
        QVERIFY2(actual == expected, actual.toJson(QJsonDocument::Indented).constData());
    }

    void show_startsFromGameConfig_butRuledTweaksKeepTheirRule()
    {
        QVERIFY(writeAll(
            config(), "seta r_gamma \"120\"\r\nseta r_mode \"640\"\r\nseta rate \"5000\"\r\nseta cl_fast \"1\"\r\n"));
        QCOMPARE(values({}), tweakValues("0", "120", "640"));
        // The stored install directory of this profile is used when none is given.
        QVERIFY(writeAll(path(QStringLiteral("program/config.cfg")),
                         "Small Game.tsm|" + path(QStringLiteral("install")).toUtf8() + "\r\n"));
        const Run r = run(args("show|Small Game.tsm|--json"));
        QCOMPARE(QJsonDocument::fromJson(r.out)[QLatin1String("tweaks")][2][QLatin1String("value")].toString(),
                 QStringLiteral("120"));
    }

    void actions_changeValuesInOrder_data()
    {
        QTest::addColumn<QStringList>("actions");
        QTest::addColumn<TweakValues>("values");

        for (const char *name : {"--preset|High Quality", "--preset|quality"})
            QTest::newRow(name) << args(name) << tweakValues("1", "150", "640");
        for (const char *name : {"--preset|FPS Boost", "--preset|fps"})
            QTest::newRow(name) << args(name) << tweakValues("0", "80", "640");
        for (const char *name : {"--preset|Die Hard FPS", "--preset|diehard"})
            QTest::newRow(name) << args(name) << tweakValues("0", "60", "640");
        QTest::newRow("presets leave ruled tweaks alone")
            << args("--set|rate=5000|--preset|quality") << tweakValues("1", "150", "640", "0", "5000");
        for (const char *name : {"Default Settings", "default"}) {
            QTest::addRow("%s evaluates rules again", name)
                << args("--preset|quality|--set|rate=5000|--preset") + QStringList{QString::fromLatin1(name)}
                << tweakValues("0", "100", "1024");
        }
        QTest::newRow("set takes a position for a list and bounds a number")
            << args("--set|r_mode=0|--set|r_gamma=300|--set|r_vsync=1|--set|unknown=5")
            << tweakValues("1", "200", "640");
        QTest::newRow("later actions win") << args("--set|r_gamma=60|--preset|fps") << tweakValues("0", "80", "640");
        QTest::newRow("pick selects by value, unknown value changes nothing")
            << args("--pick|r_mode=640|--pick|r_mode=800|--pick|r_vsync=1") << tweakValues("0", "100", "640");
        QTest::newRow("connection re-evaluates the rules")
            << args("--connection|20000,2000") << tweakValues("0", "100", "1024", "1", "1000");
        // 2001.5 rounds to 2002, where cutting off would give 2001.
        QTest::newRow("connection rounds as the dialog does")
            << args("--connection|20000,2001.5") << tweakValues("0", "100", "1024", "1", "1001");
        QTest::newRow("missing config to load is no error")
            << args("--load-config|/nonexistent/small.cfg") << tweakValues("0", "100", "1024");
    }

    void actions_changeValuesInOrder()
    {
        QFETCH(QStringList, actions);
        QFETCH(TweakValues, values);
        Run r;
        QCOMPARE(this->values(actions, &r), values);
        QCOMPARE(r.status, 0);
        QVERIFY(!QFileInfo::exists(path(QStringLiteral("program/config.cfg"))));
    }

    void save_missingFile_writesLinesInSaveOrderWithoutBackup()
    {
        QVERIFY(QDir(path(QStringLiteral("program/profiles"))).removeRecursively());
        const QString loaded = path(QStringLiteral("loaded.cfg"));
        QVERIFY(writeAll(loaded, "seta r_gamma \"120\"\r\n"));
        const Run r = run(QStringList{QStringLiteral("save"), dataFolder + smallGame} +
                          args("--config|CONFIG|--speeds|10000,20000|--load-config") + QStringList{loaded} +
                          args("--pick|r_mode=640"));
        QCOMPARE(r.err, QByteArray());
        QCOMPARE(r.status, 0);
        QCOMPARE(r.out, QByteArray("Config saved!\n"));
        QCOMPARE(readAll(config()), QByteArray("seta r_vsync \"0\"\r\nseta cl_fast \"0\"\r\nseta r_gamma \"120\"\r\n"
                                               "seta rate \"10000\"\r\nseta r_mode \"640\"\r\n"));
        QCOMPARE(QDir(program()).entryList(QDir::AllEntries | QDir::NoDotAndDotDot), QStringList());
    }

    void save_existingFile_backupOnlyWhenNotTurnedOff_data()
    {
        QTest::addColumn<QByteArray>("settings"); // "(missing)": no settings file
        QTest::addColumn<bool>("backup");
        QTest::newRow("no settings file") << QByteArray("(missing)") << true;
        QTest::newRow("backups on") << QByteArray("backups|1\r\n") << true;
        QTest::newRow("backups off") << QByteArray("update|1\r\nbackups|0\r\n") << false;
    }

    void save_existingFile_backupOnlyWhenNotTurnedOff()
    {
        QFETCH(QByteArray, settings);
        QFETCH(bool, backup);
        const QString settingsPath = path(QStringLiteral("program/config.cfg"));
        if (settings != "(missing)")
            QVERIFY(writeAll(settingsPath, settings));
        QVERIFY(writeAll(config(), "// mine\n\nseta r_vsync \"1\"\n"));
        const Run r = run(args("save|Small Game.tsm|--config|CONFIG|--speeds|10000,20000"));
        QCOMPARE(r.status, 0);
        QCOMPARE(r.out, QByteArray("Config saved!\n"));
        QCOMPARE(readAll(config()), "// mine\n\n" + savedLines);
        QCOMPARE(readAll(settingsPath), settings);
        const QDir backups(path(QStringLiteral("program/backups")));
        QCOMPARE(backups.exists(), backup);
        const QStringList names = backups.entryList(QDir::Files);
        QCOMPARE(names.size(), backup ? 1 : 0);
        if (backup)
            QCOMPARE(readAll(backups.filePath(names[0])), QByteArray("// mine\nseta r_vsync \"1\"\n"));
    }

    void dryRun_printsTheChangesAndWritesNothing_data()
    {
        QTest::addColumn<QByteArray>("before"); // "(missing)": no file
        QTest::addColumn<QStringList>("actions");
        QTest::addColumn<QByteArray>("expected"); // with FILE for the config's path

        QTest::newRow("nothing to change prints nothing") << savedLines << QStringList{} << QByteArray();
        QTest::newRow("mixed line ends: only a note, as no line changes")
            << QByteArray(savedLines).replace("cl_fast \"0\"\n", "cl_fast \"0\"\r\n") << QStringList{}
            << QByteArray("The file mixes line ends; after the save every line ends in LF.\n");
        QTest::newRow("a new file: every line added") << QByteArray("(missing)") << QStringList{}
                                                      << "--- /dev/null\n+++ FILE\t(after save)\n@@ -0,0 +1,5 @@\n+" +
                                                             savedLines.chopped(1).replace("\n", "\n+") + '\n';
    }

    void dryRun_printsTheChangesAndWritesNothing()
    {
        QFETCH(QByteArray, before);
        QFETCH(QStringList, actions);
        QFETCH(QByteArray, expected);
        if (before != "(missing)")
            QVERIFY(writeAll(config(), before));
        const Run r = run(args("save|Small Game|--config|CONFIG|--dry-run|--speeds|10000,20000") + actions);
        QCOMPARE(r.err, QByteArray());
        QCOMPARE(r.status, 0);
        QCOMPARE(r.out, QByteArray(expected).replace("FILE", config().toUtf8()));
        QCOMPARE(readAll(config()), before);
        QVERIFY(!QFileInfo::exists(path(QStringLiteral("program/backups"))));
    }

    void dryRun_isWhatTheSaveThenDoes()
    {
        // A player's config, with binds, comments and odd spacing around the tweaks' lines.
        QVERIFY(QFile::copy(dataFolder + QStringLiteral("small.cfg"), config()));
        QVERIFY(QFile::setPermissions(config(), QFile::ReadOwner | QFile::WriteOwner));
        const QByteArray before = readAll(config());
        const QStringList arguments = args("save|Small Game|--config|CONFIG|--preset|FPS Boost|--speeds|10000,20000");
        const Run dry = run(arguments + QStringList{QStringLiteral("--dry-run")});
        QCOMPARE(dry.status, 0);
        QVERIFY(!dry.out.isEmpty());
        QCOMPARE(readAll(config()), before);
        QCOMPARE(run(arguments).status, 0);
        const QByteArray file = config().toUtf8();
        QCOMPARE(dry.out, LineDiff::unified(before, readAll(config()), file, file + "\t(after save)"));
    }

    void backups_listsThisProfilesNewestFirst()
    {
        const Run none = run(args("backups|Small Game"));
        QCOMPARE(none.status, 0);
        QCOMPARE(none.out, QByteArray());

        QVERIFY(makeBackups()); // the chosen backup, and one whose name tells no profile
        QVERIFY(writeAll(path(QStringLiteral("program/backups/Small Game 01-12 10-00 small")), "b",
                         QDateTime(QDate(2026, 12, 1), QTime(9, 30, 5))));
        for (const QString &profile : {QStringLiteral("Small Game"), smallGame, dataFolder + smallGame}) {
            const Run r = run({QStringLiteral("backups"), profile});
            QCOMPARE(r.status, 0);
            QCOMPARE(r.out, QByteArray("2026-12-01 09:30:05\tSmall Game 01-12 10-00 small\n"
                                       "2020-01-01 00:00:00\tSmall Game 30-11 09-30 small\n"));
        }
    }

    void restore_putsBackupInPlace_data()
    {
        QTest::addColumn<QStringList>("arguments");
        QTest::addColumn<QByteArray>("settings");
        QTest::addColumn<QByteArray>("restored");
        QTest::addColumn<int>("backupsAfter");
        const QByteArray chosen = "seta r_gamma \"120\"\r\n";
        QTest::newRow("by name, the current file backed up first")
            << QStringList{chosenBackup} << QByteArray() << chosen << 3;
        QTest::newRow("by path") << QStringList{QStringLiteral("BACKUPS/") + chosenBackup} << QByteArray() << chosen
                                 << 3;
        QTest::newRow("Backups off: no backup of the current file")
            << QStringList{chosenBackup} << QByteArray("backups|0\r\n") << chosen << 2;
        QTest::newRow("the profile given makes a loose name restorable")
            << args("loose|--profile|Small Game") << QByteArray() << QByteArray("loose\n") << 3;
    }

    void restore_putsBackupInPlace()
    {
        QFETCH(QStringList, arguments);
        QFETCH(QByteArray, settings);
        QFETCH(QByteArray, restored);
        QFETCH(int, backupsAfter);
        if (!settings.isEmpty())
            QVERIFY(writeAll(path(QStringLiteral("program/config.cfg")), settings));
        QVERIFY(makeBackups());
        QVERIFY(writeAll(config(), "seta r_gamma \"80\"\n"));

        const Run r = run(QStringList{QStringLiteral("restore")} + arguments + args("--config|CONFIG"));
        QCOMPARE(r.err, QByteArray());
        QCOMPARE(r.status, 0);
        QVERIFY(r.out.endsWith("Backup restored!\n"));
        QCOMPARE(readAll(config()), restored);
        const QStringList backups = QDir(path(QStringLiteral("program/backups"))).entryList(QDir::Files, QDir::Time);
        QCOMPARE(backups.size(), backupsAfter);
        // Named after the profile the restored backup belongs to.
        if (backupsAfter == 3)
            QVERIFY2(backups[0].startsWith(QStringLiteral("Small Game ")), qPrintable(backups[0]));
    }

    void check_profileByNameFileOrPath_notHiddenByAFolderHere_andAPathGetsTsm()
    {
        const QString here = path(QStringLiteral("here"));
        QVERIFY(QDir().mkpath(here + QStringLiteral("/Small Game")));
        const QStringList folder{QStringLiteral("--program-folder"), program()};
        for (const QString &name : {QStringLiteral("Small Game"), smallGame, dataFolder + smallGame}) {
            const Run check = runCliAsGiven(folder + QStringList{QStringLiteral("check"), name}, here);
            QCOMPARE(check.status, 0);
            QCOMPARE(check.out, QByteArray("Small Game.tsm: ok (5 tweaks, 2 pages)\n"));
            QCOMPARE(check.err, QByteArray());
        }
        QVERIFY(!QFileInfo::exists(path(QStringLiteral("program/config.cfg"))));

        // A profile copied without its extension: its backups still carry its whole name.
        QVERIFY(QFile::copy(dataFolder + smallGame, here + QStringLiteral("/mygame")));
        QVERIFY(writeAll(config(), "seta r_vsync \"1\"\n"));
        QCOMPARE(runCliAsGiven(folder + args("save|./mygame|--config") + QStringList{config()}, here).status, 0);
        const Run backups = runCliAsGiven(folder + args("backups|mygame"), here);
        QVERIFY2(backups.out.contains("\tmygame "), backups.out.constData());
    }

    void programFolderMissingOrEmpty_andOutputThatCannotBeWritten()
    {
        // An empty folder (an unset variable in a script) would make the root folder the program folder.
        for (const QStringList &arguments :
             {QStringList{QStringLiteral("--program-folder"), QString()} + args("check|x"),
              QStringList{QStringLiteral("--program-folder")}}) {
            const Run r = runCliAsGiven(arguments);
            QCOMPARE(r.status, 2);
            QVERIFY(r.err.startsWith("--program-folder needs a folder"));
        }
        const Run full =
            runCliAsGiven(QStringList{QStringLiteral("--program-folder"), program()} + args("check|Small Game"), {},
                          QStringLiteral("/dev/full"));
        QCOMPARE(full.status, 1);
        QVERIFY(full.err.contains("could not be written"));
    }

    // Tools for profile authors, presets of the player's own, help and version, completion.
    void strictCheck_warnsOfWhatLoadsButIsAMistake()
    {
        const QString profile = authorData + QStringLiteral("Mistakes.tsm");
        const QByteArray warnings =
            "10: warning: the bound \"0.5\" is not a whole number\n"
            "10: warning: the bound \"10x\" is not a whole number\n"
            "17: warning: the Default Settings value -1 is below the minimum 0\n"
            "17: warning: the FPS Boost value 250 is above the maximum 100\n"
            "23: warning: the entry value \"1\" repeats: a config's value selects only the last "
            "of its entries\n"
            "24: warning: the High Quality position 4 is beyond the 4 entries (positions from 0)\n"
            "24: warning: the FPS Boost position \"x\" is not an entry's position\n"
            "28: warning: the variable \"r_list\" is the variable of the tweak at line 21 too\n"
            "30: warning: the short description is empty\n"
            "31: warning: the long description is only the variable's name\n"
            "34: warning: the connection rule \"us>\" cannot be worked out for any speed\n"
            "46: warning: the connection rule \"ds+\" cannot be worked out for any speed\n";
        const Run strict = run({QStringLiteral("check"), QStringLiteral("--strict"), profile});
        QCOMPARE(strict.status, 0);
        QCOMPARE(strict.out, QByteArray("Mistakes.tsm: ok (8 tweaks, 1 pages)\n"));
        QByteArray expected;
        for (const QByteArray &line : warnings.split('\n'))
            expected += line.isEmpty() ? QByteArray() : profile.toUtf8() + ':' + line + '\n';
        QCOMPARE(strict.err, expected);
        QCOMPARE(run({QStringLiteral("check"), profile}).err, QByteArray());
    }

    void scaffold_loadsAndSavesTheConfigUnchanged_data()
    {
        QTest::addColumn<QString>("config");
        QTest::addColumn<QString>("syntax");
        QTest::addColumn<QString>("expected"); // the profile, its date "DATE"; "" for none to compare

        QTest::newRow("quoted values") << authorData + QStringLiteral("game.cfg")
                                       << QStringLiteral("seta cvar \"value\"")
                                       << authorData + QStringLiteral("game.expected.tsm");
        QTest::newRow("aligned columns") << authorData + QStringLiteral("aligned.cfg") << QStringLiteral("cvar value")
                                         << authorData + QStringLiteral("aligned.expected.tsm");
        const QString real = QStringLiteral(TUNESMITH_REALCONFIGS "/");
        QTest::newRow("real q3config") << real + QStringLiteral("ioquake3/q3config.cfg")
                                       << QStringLiteral("seta cvar \"value\"") << QString();
        QTest::newRow("real prboom-plus")
            << real + QStringLiteral("prboom-plus/prboom-plus.cfg") << QStringLiteral("cvar value") << QString();
        QTest::newRow("real comfig") << real + QStringLiteral("tf2-mastercomfig/comfig.cfg")
                                     << QStringLiteral("cvar value") << QString();
    }

    void scaffold_loadsAndSavesTheConfigUnchanged()
    {
        QFETCH(QString, config);
        QFETCH(QString, syntax);
        QFETCH(QString, expected);
        if (!QFileInfo::exists(config))
            QSKIP(qPrintable(config + QStringLiteral(" is not there: real configs are only beside our checkout")));
        const QString copy = path(QStringLiteral("game.cfg"));
        const QString profile = path(QStringLiteral("Game.tsm"));
        QVERIFY(QFile::copy(config, copy));

        const Run scaffold =
            run({QStringLiteral("scaffold"), copy, QStringLiteral("--syntax"), syntax, QStringLiteral("--name"),
                 QStringLiteral("Game"), QStringLiteral("--output"), profile});
        QCOMPARE(scaffold.status, 0);
        const QByteArray written = readAll(profile);
        QVERIFY(written.size() > 512);
        if (!expected.isEmpty()) {
            const QByteArray today = QDate::currentDate().toString(QStringLiteral("d-M-yyyy")).toLatin1();
            QCOMPARE(written, readAll(expected).replace("DATE", today));
        }
        // Passes the check; the strict one lists the two descriptions of every tweak, and nothing else.
        const Run check = run({QStringLiteral("check"), QStringLiteral("--strict"), profile});
        QCOMPARE(check.status, 0);
        const int tweaks = check.out.split('(').value(1).split(' ').value(0).toInt();
        QVERIFY(tweaks > 0);
        QCOMPARE(check.err.count("description is only the variable's name\n"), 2 * tweaks);
        QCOMPARE(check.err.count('\n'), 2 * tweaks);

        const Run save = run({QStringLiteral("save"), profile, QStringLiteral("--config"), copy});
        QCOMPARE(save.status, 0);
        QCOMPARE(readAll(copy), readAll(config));
    }

    void scaffold_refuses_data()
    {
        QTest::addColumn<QString>("arguments"); // CONFIG for the config's path
        QTest::addColumn<int>("status");
        QTest::addColumn<QByteArray>("message");

        QTest::newRow("no name") << "scaffold|CONFIG|--syntax|cvar value" << 2 << QByteArray("--name GAME");
        QTest::newRow("name of two lines")
            << "scaffold|CONFIG|--syntax|cvar value|--name|a\nb" << 2 << QByteArray("one line each");
        QTest::newRow("nothing between the words")
            << "scaffold|CONFIG|--syntax|cvarvalue|--name|G" << 2 << QByteArray("what stands between");
        QTest::newRow("no line fits") << "scaffold|CONFIG|--syntax|set cvar value|--name|G" << 1
                                      << QByteArray("no line sets a variable");
        QTest::newRow("no config") << "scaffold|missing.cfg|--syntax|cvar value|--name|G" << 1
                                   << QByteArray("missing.cfg");
    }

    void scaffold_refuses()
    {
        QFETCH(QString, arguments);
        QFETCH(int, status);
        QFETCH(QByteArray, message);
        const Run scaffold = run(arguments.replace(QStringLiteral("CONFIG"), authorData + QStringLiteral("game.cfg"))
                                     .split(QLatin1Char('|')));
        QCOMPARE(scaffold.status, status);
        QVERIFY2(scaffold.err.contains(message), scaffold.err);
        QCOMPARE(scaffold.out, QByteArray());
    }

    void playerPresets_listedAndApplied_data()
    {
        QTest::addColumn<QString>("preset");
        QTest::addColumn<int>("status");
        QTest::addColumn<QByteArray>("expected"); // a line of the saved config, or of the message

        QTest::newRow("player's own") << QStringLiteral("Low") << 0 << QByteArray("seta r_gamma \"61\"");
        QTest::newRow("built-in of the same name first")
            << QStringLiteral("fps") << 0 << QByteArray("seta r_gamma \"80\"");
        QTest::newRow("not a plain file name")
            << QStringLiteral("Small Game/../Low") << 2 << QByteArray("A preset's name is a plain file name");
        QTest::newRow("none of that name") << QStringLiteral("Lower") << 2 << QByteArray("Unknown preset: Lower");
    }

    void playerPresets_listedAndApplied()
    {
        QFETCH(QString, preset);
        QFETCH(int, status);
        QFETCH(QByteArray, expected);
        QVERIFY(QDir().mkpath(path(QStringLiteral("program/presets/Small Game"))));
        for (const char *name : {"Low", "fps", "b"})
            QVERIFY(writeAll(path(QStringLiteral("program/presets/Small Game/%1.cfg").arg(QLatin1String(name))),
                             "seta r_gamma \"61\"\r\n"));
        QCOMPARE(run(args("presets|Small Game")).out, QByteArray("b\nfps\nLow\n"));

        const QString config = path(QStringLiteral("game.cfg"));
        const Run save = run(args("save|Small Game|--config") << config << QStringLiteral("--preset") << preset);
        QCOMPARE(save.status, status);
        QVERIFY2((status == 0 ? readAll(config) : save.err).contains(expected), save.err);
    }

    void helpAndVersion_withoutADisplay_data()
    {
        QTest::addColumn<QString>("program");
        QTest::addColumn<QString>("arguments");
        QTest::addColumn<int>("status");
        QTest::addColumn<QByteArray>("out"); // its beginning

        const QString cli = QStringLiteral(TUNESMITH_CLI);
        const QString window = QStringLiteral(TUNESMITH_WINDOW);
        QTest::newRow("cli --help") << cli << "--help" << 0
                                    << QByteArray("Usage: tunesmith-cli [--program-folder DIR]");
        QTest::newRow("cli -h, as the launcher passes it")
            << cli << "--program-folder|.|-h" << 0 << QByteArray("Usage: tunesmith-cli");
        QTest::newRow("cli --version") << cli << "--version" << 0 << QByteArray("tunesmith-cli 1.03\n");
        QTest::newRow("cli unknown") << cli << "--helpful" << 2 << QByteArray();
        QTest::newRow("window --help") << window << "--help" << 0
                                       << QByteArray("Usage: tunesmith [--help | --version]");
        QTest::newRow("window --version") << window << "--version" << 0 << QByteArray("tunesmith 1.03\n");
    }

    void helpAndVersion_withoutADisplay()
    {
        QFETCH(QString, program);
        QFETCH(QString, arguments);
        QFETCH(int, status);
        QFETCH(QByteArray, out);
        const Run run = runProgram(program, arguments.split(QLatin1Char('|')));
        QCOMPARE(run.status, status);
        QVERIFY2(run.out.startsWith(out), run.out);
        QCOMPARE(run.err.isEmpty(), status == 0);
    }

    void completion_findsNamesInTheProgramFolder_data()
    {
        QTest::addColumn<QString>("line"); // the words so far, the last one being completed; HOME for the home folder
        QTest::addColumn<QString>("expected");

        QTest::newRow("commands") << "tunesmith-cli|"
                                  << "--help|--program-folder|--version|backups|check|presets|restore|"
                                     "save|scaffold|show";
        QTest::newRow("options of a command") << "tunesmith-cli|scaffold|x.cfg|--"
                                              << "--name|--output|--syntax";
        QTest::newRow("profile of --program-folder") << "tunesmith-cli|--program-folder|HOME/program|show|S"
                                                     << "Small Game";
        QTest::newRow("profile of the user's folder") << "tunesmith-cli|presets|"
                                                      << "Own Game";
        QTest::newRow("presets of the profile")
            << "tunesmith-cli|--program-folder|HOME/program|show|Small\\ Game|--preset|"
            << "Default Settings|Die Hard FPS|FPS Boost|High Quality|Low|default|"
               "diehard|fps|quality";
        QTest::newRow("presets beginning so")
            << "tunesmith-cli|--program-folder|HOME/program|save|'Small Game'|--preset|"
               "\"L"
            << "Low";
    }

    void completion_findsNamesInTheProgramFolder()
    {
        QFETCH(QString, line);
        QFETCH(QString, expected);
        QVERIFY(QDir().mkpath(path(QStringLiteral("program/presets/Small Game"))) &&
                QDir().mkpath(path(QStringLiteral(".local/share/tunesmith/profiles"))));
        QVERIFY(writeAll(path(QStringLiteral("program/presets/Small Game/Low.cfg")), "seta r_vsync \"1\"\r\n"));
        QVERIFY(writeAll(path(QStringLiteral(".local/share/tunesmith/profiles/Own Game.tsm")), "[title]\r\n"));
        const QStringList typed = line.replace(QStringLiteral("HOME"), path(QString())).split(QLatin1Char('|'));
        const QString script =
            QStringLiteral("source \"$0\"; COMP_WORDS=(\"$@\"); COMP_CWORD=$(($# - 1)); _tunesmith_cli; "
                           "printf '%s\\n' \"${COMPREPLY[@]}\" | LC_ALL=C sort");
        const Run run =
            runProgram(QStringLiteral("bash"),
                       QStringList{QStringLiteral("-c"), script, QStringLiteral(TUNESMITH_COMPLETION)} + typed,
                       {QStringLiteral("HOME=") + path(QString())});
        QCOMPARE(run.status, 0);
        QCOMPARE(QString::fromUtf8(run.out).trimmed().split(QLatin1Char('\n')).join(QLatin1Char('|')), expected);
    }
};

QTEST_GUILESS_MAIN(TestCli)
#include "tst_cli.moc"
