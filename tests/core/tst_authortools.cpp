#include "clirun.h"

#include <QDate>
#include <QDir>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>

namespace
{

const QString data = QStringLiteral(TUNESMITH_TEST_DATA "/authortools/");

QByteArray readAll(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("(missing)");
}

bool writeAll(const QString &path, const QByteArray &bytes)
{
    QFile file(path);
    return QDir().mkpath(QFileInfo(path).absolutePath()) && file.open(QIODevice::WriteOnly) &&
           file.write(bytes) == bytes.size();
}

QStringList words(const char *text)
{
    return QString::fromUtf8(text).split(QLatin1Char('|'));
}

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

class TestAuthorTools : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void init();

    void strictCheck_warnsOfWhatLoadsButIsAMistake();
    void scaffold_loadsAndSavesTheConfigUnchanged_data();
    void scaffold_loadsAndSavesTheConfigUnchanged();
    void scaffold_refuses_data();
    void scaffold_refuses();
    void playerPresets_listedAndApplied_data();
    void playerPresets_listedAndApplied();
    void helpAndVersion_withoutADisplay_data();
    void helpAndVersion_withoutADisplay();
    void completion_findsNamesInTheProgramFolder_data();
    void completion_findsNamesInTheProgramFolder();

private:
    QString path(const QString &relative) const { return m_dir->filePath(relative); }
    Run run(const QStringList &arguments) const { return runCli(path(QStringLiteral("program")), arguments); }

    std::unique_ptr<QTemporaryDir> m_dir;
};

void TestAuthorTools::init()
{
    m_dir = std::make_unique<QTemporaryDir>();
    QVERIFY(QDir().mkpath(path(QStringLiteral("program/profiles"))));
    QVERIFY(QFile::copy(QStringLiteral(TUNESMITH_TEST_DATA "/cli/Small Game.tsm"),
                        path(QStringLiteral("program/profiles/Small Game.tsm"))));
}

void TestAuthorTools::strictCheck_warnsOfWhatLoadsButIsAMistake()
{
    const QString profile = data + QStringLiteral("Mistakes.tsm");
    const QByteArray warnings = "10: warning: the bound \"0.5\" is not a whole number\n"
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

void TestAuthorTools::scaffold_loadsAndSavesTheConfigUnchanged_data()
{
    QTest::addColumn<QString>("config");
    QTest::addColumn<QString>("syntax");
    QTest::addColumn<QString>("expected"); // the profile, its date "DATE"; "" for none to compare

    QTest::newRow("quoted values") << data + QStringLiteral("game.cfg") << QStringLiteral("seta cvar \"value\"")
                                   << data + QStringLiteral("game.expected.tsm");
    QTest::newRow("aligned columns") << data + QStringLiteral("aligned.cfg") << QStringLiteral("cvar value")
                                     << data + QStringLiteral("aligned.expected.tsm");
    const QString real = QStringLiteral(TUNESMITH_REALCONFIGS "/");
    QTest::newRow("real q3config") << real + QStringLiteral("ioquake3/q3config.cfg")
                                   << QStringLiteral("seta cvar \"value\"") << QString();
    QTest::newRow("real prboom-plus") << real + QStringLiteral("prboom-plus/prboom-plus.cfg")
                                      << QStringLiteral("cvar value") << QString();
    QTest::newRow("real comfig") << real + QStringLiteral("tf2-mastercomfig/comfig.cfg") << QStringLiteral("cvar value")
                                 << QString();
}

void TestAuthorTools::scaffold_loadsAndSavesTheConfigUnchanged()
{
    QFETCH(QString, config);
    QFETCH(QString, syntax);
    QFETCH(QString, expected);
    if (!QFileInfo::exists(config))
        QSKIP(qPrintable(config + QStringLiteral(" is not there: real configs are only beside our checkout")));
    const QString copy = path(QStringLiteral("game.cfg"));
    const QString profile = path(QStringLiteral("Game.tsm"));
    QVERIFY(QFile::copy(config, copy));

    const Run scaffold = run({QStringLiteral("scaffold"), copy, QStringLiteral("--syntax"), syntax,
                              QStringLiteral("--name"), QStringLiteral("Game"), QStringLiteral("--output"), profile});
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

void TestAuthorTools::scaffold_refuses_data()
{
    QTest::addColumn<QString>("arguments"); // CONFIG for the config's path
    QTest::addColumn<int>("status");
    QTest::addColumn<QByteArray>("message");

    QTest::newRow("no name") << "scaffold|CONFIG|--syntax|cvar value" << 2 << QByteArray("--name GAME");
    QTest::newRow("name of two lines") << "scaffold|CONFIG|--syntax|cvar value|--name|a\nb" << 2
                                       << QByteArray("one line each");
    QTest::newRow("nothing between the words")
        << "scaffold|CONFIG|--syntax|cvarvalue|--name|G" << 2 << QByteArray("what stands between");
    QTest::newRow("no line fits") << "scaffold|CONFIG|--syntax|set cvar value|--name|G" << 1
                                  << QByteArray("no line sets a variable");
    QTest::newRow("no config") << "scaffold|missing.cfg|--syntax|cvar value|--name|G" << 1 << QByteArray("missing.cfg");
}

void TestAuthorTools::scaffold_refuses()
{
    QFETCH(QString, arguments);
    QFETCH(int, status);
    QFETCH(QByteArray, message);
    const Run scaffold =
        run(arguments.replace(QStringLiteral("CONFIG"), data + QStringLiteral("game.cfg")).split(QLatin1Char('|')));
    QCOMPARE(scaffold.status, status);
    QVERIFY2(scaffold.err.contains(message), scaffold.err);
    QCOMPARE(scaffold.out, QByteArray());
}

void TestAuthorTools::playerPresets_listedAndApplied_data()
{
    QTest::addColumn<QString>("preset");
    QTest::addColumn<int>("status");
    QTest::addColumn<QByteArray>("expected"); // a line of the saved config, or of the message

    QTest::newRow("player's own") << QStringLiteral("Low") << 0 << QByteArray("seta r_gamma \"61\"");
    QTest::newRow("built-in of the same name first") << QStringLiteral("fps") << 0 << QByteArray("seta r_gamma \"80\"");
    QTest::newRow("not a plain file name")
        << QStringLiteral("Small Game/../Low") << 2 << QByteArray("A preset's name is a plain file name");
    QTest::newRow("none of that name") << QStringLiteral("Lower") << 2 << QByteArray("Unknown preset: Lower");
}

void TestAuthorTools::playerPresets_listedAndApplied()
{
    QFETCH(QString, preset);
    QFETCH(int, status);
    QFETCH(QByteArray, expected);
    for (const char *name : {"Low", "fps", "b"})
        QVERIFY(writeAll(path(QStringLiteral("program/presets/Small Game/%1.cfg").arg(QLatin1String(name))),
                         "seta r_gamma \"61\"\r\n"));
    QCOMPARE(run(words("presets|Small Game")).out, QByteArray("b\nfps\nLow\n"));

    const QString config = path(QStringLiteral("game.cfg"));
    const Run save = run(words("save|Small Game|--config") << config << QStringLiteral("--preset") << preset);
    QCOMPARE(save.status, status);
    QVERIFY2((status == 0 ? readAll(config) : save.err).contains(expected), save.err);
}

void TestAuthorTools::helpAndVersion_withoutADisplay_data()
{
    QTest::addColumn<QString>("program");
    QTest::addColumn<QString>("arguments");
    QTest::addColumn<int>("status");
    QTest::addColumn<QByteArray>("out"); // its beginning

    const QString cli = QStringLiteral(TUNESMITH_CLI);
    const QString window = QStringLiteral(TUNESMITH_WINDOW);
    QTest::newRow("cli --help") << cli << "--help" << 0 << QByteArray("Usage: tunesmith-cli [--program-folder DIR]");
    QTest::newRow("cli -h, as the launcher passes it")
        << cli << "--program-folder|.|-h" << 0 << QByteArray("Usage: tunesmith-cli");
    QTest::newRow("cli --version") << cli << "--version" << 0 << QByteArray("tunesmith-cli 1.03\n");
    QTest::newRow("cli unknown") << cli << "--helpful" << 2 << QByteArray();
    QTest::newRow("window --help") << window << "--help" << 0 << QByteArray("Usage: tunesmith [--help | --version]");
    QTest::newRow("window --version") << window << "--version" << 0 << QByteArray("tunesmith 1.03\n");
}

void TestAuthorTools::helpAndVersion_withoutADisplay()
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

void TestAuthorTools::completion_findsNamesInTheProgramFolder_data()
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
    QTest::newRow("presets of the profile") << "tunesmith-cli|--program-folder|HOME/program|show|Small\\ Game|--preset|"
                                            << "Default Settings|Die Hard FPS|FPS Boost|High Quality|Low|default|"
                                               "diehard|fps|quality";
    QTest::newRow("presets beginning so") << "tunesmith-cli|--program-folder|HOME/program|save|'Small Game'|--preset|"
                                             "\"L"
                                          << "Low";
}

void TestAuthorTools::completion_findsNamesInTheProgramFolder()
{
    QFETCH(QString, line);
    QFETCH(QString, expected);
    QVERIFY(writeAll(path(QStringLiteral("program/presets/Small Game/Low.cfg")), "seta r_vsync \"1\"\r\n"));
    QVERIFY(writeAll(path(QStringLiteral(".local/share/tunesmith/profiles/Own Game.tsm")), "[title]\r\n"));
    const QStringList typed = line.replace(QStringLiteral("HOME"), path(QString())).split(QLatin1Char('|'));
    const QString script = QStringLiteral("source \"$0\"; COMP_WORDS=(\"$@\"); COMP_CWORD=$(($# - 1)); _tunesmith_cli; "
                                          "printf '%s\\n' \"${COMPREPLY[@]}\" | LC_ALL=C sort");
    const Run run = runProgram(QStringLiteral("bash"),
                               QStringList{QStringLiteral("-c"), script, QStringLiteral(TUNESMITH_COMPLETION)} + typed,
                               {QStringLiteral("HOME=") + path(QString())});
    QCOMPARE(run.status, 0);
    QCOMPARE(QString::fromUtf8(run.out).trimmed().split(QLatin1Char('\n')).join(QLatin1Char('|')), expected);
}

QTEST_GUILESS_MAIN(TestAuthorTools)
#include "tst_authortools.moc"
