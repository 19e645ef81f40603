#include "clirun.h"
#include "testfiles.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QTest>

namespace
{

const QString dataFolder = QStringLiteral(TUNESMITH_TEST_DATA "/cli/");
const QString smallGame = QStringLiteral("Small Game.tsm");

// Command-line words written as one text, "|" between them.
QStringList args(const char *text)
{
    return QString::fromUtf8(text).split(QLatin1Char('|'), Qt::SkipEmptyParts);
}

using TweakValues = QMap<QString, QString>;

// A program folder of its own with the small profile in profiles/, and no settings file.
class ProgramFolder
{
public:
    ProgramFolder()
    {
        QDir(m_dir.path()).mkpath(QStringLiteral("program/profiles"));
        QDir(m_dir.path()).mkpath(QStringLiteral("install"));
        QFile::copy(dataFolder + smallGame, path(QStringLiteral("program/profiles/") + smallGame));
    }

    QString path(const QString &relative) const { return m_dir.filePath(relative); }
    QString program() const { return path(QStringLiteral("program")); }

    Run run(const QStringList &arguments) const { return runCli(program(), arguments); }

    // show --json with fixed speeds and an install directory without a config; tweak name -> value.
    TweakValues values(const QStringList &actions, Run *run = nullptr) const
    {
        const Run r = this->run(QStringList{QStringLiteral("show"), smallGame, QStringLiteral("--speeds"),
                                            QStringLiteral("10000,20000"), QStringLiteral("--install-dir"),
                                            path(QStringLiteral("install")), QStringLiteral("--json")} +
                                actions);
        if (run)
            *run = r;
        TweakValues result;
        for (const QJsonValue &tweak : QJsonDocument::fromJson(r.out).object().value(QLatin1String("tweaks")).toArray())
            result.insert(tweak[QLatin1String("tweak")].toString(), tweak[QLatin1String("value")].toString());
        return result;
    }

private:
    QTemporaryDir m_dir;
};

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

} // namespace

class TestCli : public QObject
{
    Q_OBJECT

private slots:
    void check_goodProfile_printsCounts();
    void check_malformedProfile_listsEveryProblemWithPathAndLine_data();
    void check_malformedProfile_listsEveryProblemWithPathAndLine();
    void showAndSave_malformedProfile_exitOneWithProblems();
    void showJson_givesTheWholeDocument();
    void show_startsFromGameConfig_butRuledTweaksKeepTheirRule();
    void actions_changeValuesInOrder_data();
    void actions_changeValuesInOrder();
    void save_missingFile_writesLinesInSaveOrderWithoutBackup();
    void save_existingFile_backupOnlyWhenNotTurnedOff_data();
    void save_existingFile_backupOnlyWhenNotTurnedOff();
    void save_unwritableTarget_exitOne();
    void usageErrors_exitTwo_data();
    void usageErrors_exitTwo();
    void profileArgument_nameNotHiddenByAFolderHere_andAPathGetsTsm();
    void programFolderMissingOrEmpty_andOutputThatCannotBeWritten();
};

void TestCli::check_goodProfile_printsCounts()
{
    ProgramFolder folder;
    for (const QString &name : {QStringLiteral("Small Game"), smallGame, dataFolder + smallGame}) {
        const Run run = folder.run({QStringLiteral("check"), name});
        QCOMPARE(run.status, 0);
        QCOMPARE(run.out, QByteArray("Small Game.tsm: ok (5 tweaks, 2 pages)\n"));
        QCOMPARE(run.err, QByteArray());
    }
    QVERIFY(!QFileInfo::exists(folder.path(QStringLiteral("program/config.cfg"))));
}

void TestCli::check_malformedProfile_listsEveryProblemWithPathAndLine_data()
{
    QTest::addColumn<QString>("profile");
    QTest::addColumn<QList<int>>("lines");
    QTest::newRow("cut short") << "Cut Short.tsm" << QList<int>{1};
    QTest::newRow("several problems") << "Several Problems.tsm" << QList<int>{7, 10, 15, 22, 27, 28};
}

void TestCli::check_malformedProfile_listsEveryProblemWithPathAndLine()
{
    QFETCH(QString, profile);
    QFETCH(QList<int>, lines);
    ProgramFolder folder;
    const QString path = dataFolder + profile;
    // The good profile before it still gets its line: every profile is checked.
    const Run run = folder.run({QStringLiteral("check"), smallGame, path});
    QCOMPARE(run.status, 1);
    QCOMPARE(run.out, QByteArray("Small Game.tsm: ok (5 tweaks, 2 pages)\n"));
    const QStringList problems = QString::fromUtf8(run.err).split(QLatin1Char('\n'), Qt::SkipEmptyParts);
    QCOMPARE(problems.size(), lines.size());
    for (qsizetype i = 0; i < lines.size(); ++i) {
        const QString start = QStringLiteral("%1:%2: ").arg(path).arg(lines[i]);
        QVERIFY2(problems[i].startsWith(start) && problems[i].size() > start.size() + 5, qPrintable(problems[i]));
    }
}

void TestCli::showAndSave_malformedProfile_exitOneWithProblems()
{
    ProgramFolder folder;
    const QString path = dataFolder + QStringLiteral("Several Problems.tsm");
    const QString config = folder.path(QStringLiteral("install/bad.cfg"));
    for (const QStringList &arguments :
         {QStringList{QStringLiteral("show"), path},
          QStringList{QStringLiteral("save"), path, QStringLiteral("--config"), config}}) {
        const Run run = folder.run(arguments);
        QCOMPARE(run.status, 1);
        QCOMPARE(run.out, QByteArray());
        QVERIFY2(run.err.startsWith((path + QStringLiteral(":7: ")).toUtf8()), run.err.constData());
    }
    QVERIFY(!QFileInfo::exists(config));
    const Run missing = folder.run({QStringLiteral("show"), QStringLiteral("No Such Game")});
    QCOMPARE(missing.status, 1);
    QVERIFY(!missing.err.isEmpty());
}

void TestCli::showJson_givesTheWholeDocument()
{
    ProgramFolder folder;
    const Run run = folder.run({QStringLiteral("show"), QStringLiteral("Small Game"), QStringLiteral("--install-dir"),
                                QStringLiteral("/nonexistent-install"), QStringLiteral("--speeds"),
                                QStringLiteral("10000,20000"), QStringLiteral("--json")});
    QCOMPARE(run.status, 0);
    QCOMPARE(run.err, QByteArray());
    QJsonParseError error;
    const QJsonDocument actual = QJsonDocument::fromJson(run.out, &error);
    QVERIFY2(error.error == QJsonParseError::NoError, qPrintable(error.errorString()));
    const QJsonDocument expected =
        QJsonDocument::fromJson(readAll(dataFolder + QStringLiteral("Small Game.expected.json")));
    QVERIFY(expected.isObject());
    QVERIFY2(actual == expected, actual.toJson(QJsonDocument::Indented).constData());
}

void TestCli::show_startsFromGameConfig_butRuledTweaksKeepTheirRule()
{
    ProgramFolder folder;
    QVERIFY(writeAll(folder.path(QStringLiteral("install/small.cfg")),
                     "seta r_gamma \"120\"\r\nseta r_mode \"640\"\r\nseta rate \"5000\"\r\nseta cl_fast \"1\"\r\n"));
    QCOMPARE(folder.values({}), tweakValues("0", "120", "640"));
    // The stored install directory of this profile is used when none is given.
    QVERIFY(writeAll(folder.path(QStringLiteral("program/config.cfg")),
                     "Small Game.tsm|" + folder.path(QStringLiteral("install")).toUtf8() + "\r\n"));
    const Run run = folder.run({QStringLiteral("show"), smallGame, QStringLiteral("--json")});
    QCOMPARE(QJsonDocument::fromJson(run.out)[QLatin1String("tweaks")][2][QLatin1String("value")].toString(),
             QStringLiteral("120"));
}

void TestCli::actions_changeValuesInOrder_data()
{
    QTest::addColumn<QStringList>("actions");
    QTest::addColumn<TweakValues>("values");

    QTest::newRow("none: defaults and rules") << QStringList() << tweakValues("0", "100", "1024");
    for (const char *name : {"--preset|High Quality", "--preset|quality"})
        QTest::newRow(name) << args(name) << tweakValues("1", "150", "640");
    for (const char *name : {"--preset|FPS Boost", "--preset|fps"})
        QTest::newRow(name) << args(name) << tweakValues("0", "80", "640");
    for (const char *name : {"--preset|Die Hard FPS", "--preset|diehard"})
        QTest::newRow(name) << args(name) << tweakValues("0", "60", "640");
    QTest::newRow("presets leave ruled tweaks alone")
        << args("--set|rate=5000|--preset|quality") << tweakValues("1", "150", "640", "0", "5000");
    QTest::newRow("Default Settings evaluates rules again")
        << args("--preset|quality|--set|rate=5000|--preset|Default Settings") << tweakValues("0", "100", "1024");
    QTest::newRow("default evaluates rules again")
        << args("--preset|quality|--set|rate=5000|--preset|default") << tweakValues("0", "100", "1024");
    QTest::newRow("set takes a position for a list and bounds a number")
        << args("--set|r_mode=0|--set|r_gamma=300|--set|r_vsync=1|--set|unknown=5") << tweakValues("1", "200", "640");
    QTest::newRow("later actions win") << args("--set|r_gamma=60|--preset|fps") << tweakValues("0", "80", "640");
    QTest::newRow("pick selects by value, unknown value changes nothing")
        << args("--pick|r_mode=640|--pick|r_mode=800|--pick|r_vsync=1") << tweakValues("0", "100", "640");
    QTest::newRow("connection re-evaluates the rules")
        << args("--connection|20000,2000") << tweakValues("0", "100", "1024", "1", "1000");
    // Halves go to the even neighbour: 2001.5 to 2002 (not 2001, as cutting off would), 2002.5 to 2002 (not 2003).
    QTest::newRow("connection rounds as the dialog does, up")
        << args("--connection|20000,2001.5") << tweakValues("0", "100", "1024", "1", "1001");
    QTest::newRow("connection rounds as the dialog does, down")
        << args("--connection|20000,2002.5") << tweakValues("0", "100", "1024", "1", "1001");
    QTest::newRow("missing config to load is no error")
        << args("--load-config|/nonexistent/small.cfg") << tweakValues("0", "100", "1024");
}

void TestCli::actions_changeValuesInOrder()
{
    QFETCH(QStringList, actions);
    QFETCH(TweakValues, values);
    ProgramFolder folder;
    Run run;
    QCOMPARE(folder.values(actions, &run), values);
    QCOMPARE(run.status, 0);
    QVERIFY(!QFileInfo::exists(folder.path(QStringLiteral("program/config.cfg"))));
}

void TestCli::save_missingFile_writesLinesInSaveOrderWithoutBackup()
{
    ProgramFolder folder;
    QVERIFY(QDir(folder.path(QStringLiteral("program/profiles"))).removeRecursively());
    const QString config = folder.path(QStringLiteral("install/small.cfg"));
    const QString loaded = folder.path(QStringLiteral("loaded.cfg"));
    QVERIFY(writeAll(loaded, "seta r_gamma \"120\"\r\n"));
    const Run run =
        folder.run({QStringLiteral("save"), dataFolder + smallGame, QStringLiteral("--config"), config,
                    QStringLiteral("--speeds"), QStringLiteral("10000,20000"), QStringLiteral("--load-config"), loaded,
                    QStringLiteral("--pick"), QStringLiteral("r_mode=640")});
    QCOMPARE(run.err, QByteArray());
    QCOMPARE(run.status, 0);
    QCOMPARE(run.out, QByteArray("Config saved!\n"));
    QCOMPARE(readAll(config), QByteArray("seta r_vsync \"0\"\r\nseta cl_fast \"0\"\r\nseta r_gamma \"120\"\r\n"
                                         "seta rate \"10000\"\r\nseta r_mode \"640\"\r\n"));
    QCOMPARE(QDir(folder.program()).entryList(QDir::AllEntries | QDir::NoDotAndDotDot), QStringList());
}

void TestCli::save_existingFile_backupOnlyWhenNotTurnedOff_data()
{
    QTest::addColumn<QByteArray>("settings"); // "(none)": no settings file
    QTest::addColumn<bool>("backup");
    QTest::newRow("no settings file") << QByteArray("(none)") << true;
    QTest::newRow("backups on") << QByteArray("backups|1\r\n") << true;
    QTest::newRow("backups off") << QByteArray("update|1\r\nbackups|0\r\n") << false;
}

void TestCli::save_existingFile_backupOnlyWhenNotTurnedOff()
{
    QFETCH(QByteArray, settings);
    QFETCH(bool, backup);
    ProgramFolder folder;
    const QString settingsPath = folder.path(QStringLiteral("program/config.cfg"));
    if (settings != "(none)")
        QVERIFY(writeAll(settingsPath, settings));
    const QString config = folder.path(QStringLiteral("install/small.cfg"));
    const QByteArray before = "// mine\n\nseta r_vsync \"1\"\n";
    QVERIFY(writeAll(config, before));
    const Run run = folder.run({QStringLiteral("save"), smallGame, QStringLiteral("--config"), config,
                                QStringLiteral("--speeds"), QStringLiteral("10000,20000")});
    QCOMPARE(run.status, 0);
    QCOMPARE(run.out, QByteArray("Config saved!\n"));
    QCOMPARE(readAll(config), QByteArray("// mine\n\nseta r_vsync \"0\"\nseta cl_fast \"0\"\nseta r_gamma \"100\"\n"
                                         "seta rate \"10000\"\nseta r_mode \"1024\"\n"));
    QCOMPARE(readAll(settingsPath), settings == "(none)" ? QByteArray("(missing)") : settings);
    const QDir backups(folder.path(QStringLiteral("program/backups")));
    if (!backup) {
        QVERIFY(!backups.exists());
        return;
    }
    const QStringList names = backups.entryList(QDir::Files);
    QCOMPARE(names.size(), 1);
    static const QRegularExpression name(QStringLiteral("^Small Game \\d\\d-\\d\\d \\d\\d-\\d\\d small$"));
    QVERIFY2(name.match(names[0]).hasMatch(), qPrintable(names[0]));
    QCOMPARE(readAll(backups.filePath(names[0])), QByteArray("// mine\nseta r_vsync \"1\"\n"));
}

void TestCli::save_unwritableTarget_exitOne()
{
    ProgramFolder folder;
    for (const QString &target :
         {folder.path(QStringLiteral("missing/small.cfg")), folder.path(QStringLiteral("install"))}) {
        const Run run = folder.run({QStringLiteral("save"), smallGame, QStringLiteral("--config"), target});
        QCOMPARE(run.status, 1);
        QCOMPARE(run.out, QByteArray());
        QVERIFY(!run.err.isEmpty());
    }
    QVERIFY(!QFileInfo::exists(folder.path(QStringLiteral("missing"))));
    QVERIFY(QFileInfo(folder.path(QStringLiteral("install"))).isDir());
}

void TestCli::usageErrors_exitTwo_data()
{
    QTest::addColumn<QStringList>("arguments");
    QTest::newRow("nothing") << QStringList();
    QTest::newRow("unknown command") << args("merge");
    QTest::newRow("check without profile") << args("check");
    QTest::newRow("show without profile") << args("show");
    QTest::newRow("save without config") << args("save|Small Game.tsm");
    QTest::newRow("config on show") << args("show|Small Game.tsm|--config|x");
    QTest::newRow("unknown option") << args("show|Small Game.tsm|--fast");
    QTest::newRow("option without value") << args("show|Small Game.tsm|--set");
    QTest::newRow("unknown preset") << args("show|Small Game.tsm|--preset|turbo");
    QTest::newRow("set without =") << args("show|Small Game.tsm|--set|r_vsync");
    QTest::newRow("speeds not two numbers") << args("show|Small Game.tsm|--speeds|1,2,3");
    QTest::newRow("speeds with a fraction") << args("show|Small Game.tsm|--speeds|1.5,2");
    QTest::newRow("connection not numbers") << args("show|Small Game.tsm|--connection|fast,slow");
    QTest::newRow("connection below zero") << args("show|Small Game.tsm|--connection|-8000,2000");
}

void TestCli::usageErrors_exitTwo()
{
    QFETCH(QStringList, arguments);
    ProgramFolder folder;
    const Run run = folder.run(arguments);
    QCOMPARE(run.status, 2);
    QVERIFY(!run.err.isEmpty());
    QCOMPARE(run.out, QByteArray());
}

void TestCli::profileArgument_nameNotHiddenByAFolderHere_andAPathGetsTsm()
{
    ProgramFolder folder;
    const QString here = folder.path(QStringLiteral("here"));
    QVERIFY(QDir().mkpath(here + QStringLiteral("/Small Game")));
    const QStringList program{QStringLiteral("--program-folder"), folder.program()};
    const Run check = runCliAsGiven(program + args("check|Small Game"), here);
    QCOMPARE(check.status, 0);
    QCOMPARE(check.out, QByteArray("Small Game.tsm: ok (5 tweaks, 2 pages)\n"));

    // A profile copied without its extension: its backups still carry its whole name.
    QVERIFY(QFile::copy(dataFolder + smallGame, here + QStringLiteral("/mygame")));
    const QString config = folder.path(QStringLiteral("install/small.cfg"));
    QVERIFY(writeAll(config, "seta r_vsync \"1\"\n"));
    const Run save = runCliAsGiven(
        program + QStringList{QStringLiteral("save"), QStringLiteral("./mygame"), QStringLiteral("--config"), config},
        here);
    QCOMPARE(save.status, 0);
    const Run backups = runCliAsGiven(program + args("backups|mygame"), here);
    QVERIFY2(backups.out.contains("\tmygame "), backups.out.constData());
}

void TestCli::programFolderMissingOrEmpty_andOutputThatCannotBeWritten()
{
    // An empty folder (an unset variable in a script) would make the root folder the program folder.
    for (const QStringList &arguments : {QStringList{QStringLiteral("--program-folder"), QString()} + args("check|x"),
                                         QStringList{QStringLiteral("--program-folder")}}) {
        const Run run = runCliAsGiven(arguments);
        QCOMPARE(run.status, 2);
        QVERIFY(run.err.startsWith("--program-folder needs a folder"));
    }
    ProgramFolder folder;
    const Run full = runCliAsGiven(
        {QStringLiteral("--program-folder"), folder.program(), QStringLiteral("check"), QStringLiteral("Small Game")},
        {}, QStringLiteral("/dev/full"));
    QCOMPARE(full.status, 1);
    QVERIFY(full.err.contains("could not be written"));
}

QTEST_GUILESS_MAIN(TestCli)
#include "tst_cli.moc"
