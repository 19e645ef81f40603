#include "clirun.h"
#include "gameconfig/linediff.h"

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>

using namespace Tunesmith;

namespace
{

const QString smallGame = QStringLiteral(TUNESMITH_TEST_DATA "/cli/Small Game.tsm");

// Every tweak of the small profile as it loads with the speeds the runs give.
const QByteArray savedLines = "seta r_vsync \"0\"\nseta cl_fast \"0\"\nseta r_gamma \"100\"\nseta rate \"10000\"\n"
                              "seta r_mode \"1024\"\n";

QByteArray readAll(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("(missing)");
}

bool writeAll(const QString &path, const QByteArray &bytes, const QDateTime &written = {})
{
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly) || file.write(bytes) != bytes.size())
        return false;
    // Written out first: the buffered bytes would otherwise make the file new again when it closes.
    return file.flush() && (!written.isValid() || file.setFileTime(written, QFileDevice::FileModificationTime));
}

} // namespace

class TestCliFeatures : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void init();

    void dryRun_printsTheChangesAndWritesNothing_data();
    void dryRun_printsTheChangesAndWritesNothing();
    void dryRun_isWhatTheSaveThenDoes();
    void backups_listsThisProfilesNewestFirst();
    void restore_putsBackupInPlace_data();
    void restore_putsBackupInPlace();
    void restore_errors_data();
    void restore_errors();

private:
    Run run(const QStringList &arguments) const;
    QString path(const QString &relative) const { return m_dir->filePath(relative); }

    std::unique_ptr<QTemporaryDir> m_dir;
};

void TestCliFeatures::init()
{
    m_dir = std::make_unique<QTemporaryDir>();
    QVERIFY(QDir(m_dir->path()).mkpath(QStringLiteral("program/profiles")));
    QVERIFY(QDir(m_dir->path()).mkpath(QStringLiteral("install")));
    QVERIFY(QFile::copy(smallGame, path(QStringLiteral("program/profiles/Small Game.tsm"))));
}

Run TestCliFeatures::run(const QStringList &arguments) const
{
    return runCli(path(QStringLiteral("program")), arguments);
}

void TestCliFeatures::dryRun_printsTheChangesAndWritesNothing_data()
{
    QTest::addColumn<QByteArray>("before"); // "(missing)": no file
    QTest::addColumn<QStringList>("actions");
    QTest::addColumn<QByteArray>("expected"); // with FILE for the config's path

    QTest::newRow("one value changed in place")
        << savedLines << QStringList{QStringLiteral("--set"), QStringLiteral("r_gamma=150")}
        << QByteArray("--- FILE\n+++ FILE\t(after save)\n@@ -1,5 +1,5 @@\n seta r_vsync \"0\"\n seta cl_fast \"0\"\n"
                      "-seta r_gamma \"100\"\n+seta r_gamma \"150\"\n seta rate \"10000\"\n seta r_mode \"1024\"\n");
    QTest::newRow("nothing to change prints nothing") << savedLines << QStringList{} << QByteArray();
    QTest::newRow("mixed line ends: only a note, as no line changes")
        << QByteArray(savedLines).replace("cl_fast \"0\"\n", "cl_fast \"0\"\r\n") << QStringList{}
        << QByteArray("The file mixes line ends; after the save every line ends in LF.\n");
    QTest::newRow("a new file: every line added") << QByteArray("(missing)") << QStringList{}
                                                  << "--- /dev/null\n+++ FILE\t(after save)\n@@ -0,0 +1,5 @@\n+" +
                                                         savedLines.chopped(1).replace("\n", "\n+") + '\n';
}

void TestCliFeatures::dryRun_printsTheChangesAndWritesNothing()
{
    QFETCH(QByteArray, before);
    QFETCH(QStringList, actions);
    QFETCH(QByteArray, expected);
    const QString config = path(QStringLiteral("install/small.cfg"));
    if (before != "(missing)")
        QVERIFY(writeAll(config, before));
    const Run r =
        run(QStringList{QStringLiteral("save"), QStringLiteral("Small Game"), QStringLiteral("--config"), config,
                        QStringLiteral("--dry-run"), QStringLiteral("--speeds"), QStringLiteral("10000,20000")} +
            actions);
    QCOMPARE(r.err, QByteArray());
    QCOMPARE(r.status, 0);
    QCOMPARE(r.out, QByteArray(expected).replace("FILE", config.toUtf8()));
    QCOMPARE(readAll(config), before);
    QVERIFY(!QFileInfo::exists(path(QStringLiteral("program/backups"))));
}

void TestCliFeatures::dryRun_isWhatTheSaveThenDoes()
{
    // A real game's config, with the game's own lines around the tweaks' lines.
    const QString config = path(QStringLiteral("install/q3config.cfg"));
    QVERIFY(QFile::copy(QStringLiteral(TUNESMITH_REALCONFIGS "/ioquake3/q3config.cfg"), config));
    QVERIFY(QFile::setPermissions(config, QFile::ReadOwner | QFile::WriteOwner));
    const QByteArray before = readAll(config);
    const QStringList arguments{QStringLiteral("save"),     QStringLiteral("Small Game"),
                                QStringLiteral("--config"), config,
                                QStringLiteral("--preset"), QStringLiteral("FPS Boost"),
                                QStringLiteral("--speeds"), QStringLiteral("10000,20000")};
    const Run dry = run(arguments + QStringList{QStringLiteral("--dry-run")});
    QCOMPARE(dry.status, 0);
    QVERIFY(!dry.out.isEmpty());
    QCOMPARE(readAll(config), before);
    const Run save = run(arguments);
    QCOMPARE(save.status, 0);
    QCOMPARE(dry.out, LineDiff::unified(before, readAll(config), config.toUtf8(), config.toUtf8() + "\t(after save)"));
}

void TestCliFeatures::backups_listsThisProfilesNewestFirst()
{
    const Run none = run({QStringLiteral("backups"), QStringLiteral("Small Game")});
    QCOMPARE(none.status, 0);
    QCOMPARE(none.out, QByteArray());

    const QString folder = path(QStringLiteral("program/backups/"));
    QVERIFY(QDir().mkpath(folder));
    const QDateTime first(QDate(2026, 11, 30), QTime(9, 30, 5));
    QVERIFY(writeAll(folder + QStringLiteral("Small Game 30-11 09-30 small"), "a", first));
    QVERIFY(writeAll(folder + QStringLiteral("Small Game 01-12 10-00 small"), "b", first.addDays(1)));
    QVERIFY(writeAll(folder + QStringLiteral("Small Gamer 02-12 10-00 small"), "c", first.addDays(2)));
    for (const QString &profile : {QStringLiteral("Small Game"), QStringLiteral("Small Game.tsm"), smallGame}) {
        const Run r = run({QStringLiteral("backups"), profile});
        QCOMPARE(r.status, 0);
        QCOMPARE(r.out, QByteArray("2026-12-01 09:30:05\tSmall Game 01-12 10-00 small\n"
                                   "2026-11-30 09:30:05\tSmall Game 30-11 09-30 small\n"));
    }
    QCOMPARE(run({QStringLiteral("backups")}).status, 2);
}

void TestCliFeatures::restore_putsBackupInPlace_data()
{
    QTest::addColumn<QByteArray>("settings");
    QTest::addColumn<bool>("byPath");
    QTest::addColumn<int>("backupsAfter");
    QTest::newRow("by name, the current file backed up first") << QByteArray() << false << 2;
    QTest::newRow("by path") << QByteArray() << true << 2;
    QTest::newRow("Backups off: no backup of the current file") << QByteArray("backups|0\r\n") << false << 1;
}

void TestCliFeatures::restore_putsBackupInPlace()
{
    QFETCH(QByteArray, settings);
    QFETCH(bool, byPath);
    QFETCH(int, backupsAfter);
    if (!settings.isEmpty())
        QVERIFY(writeAll(path(QStringLiteral("program/config.cfg")), settings));
    const QString folder = path(QStringLiteral("program/backups/"));
    QVERIFY(QDir().mkpath(folder));
    const QString name = QStringLiteral("Small Game 30-11 09-30 small");
    QVERIFY(writeAll(folder + name, "seta r_gamma \"120\"\r\n", QDateTime(QDate(2020, 1, 1), QTime(0, 0))));
    const QString config = path(QStringLiteral("install/small.cfg"));
    QVERIFY(writeAll(config, "seta r_gamma \"80\"\n"));

    const Run r = run({QStringLiteral("restore"), byPath ? folder + name : name, QStringLiteral("--config"), config});
    QCOMPARE(r.err, QByteArray());
    QCOMPARE(r.status, 0);
    QVERIFY(r.out.endsWith("Backup restored!\n"));
    QCOMPARE(readAll(config), QByteArray("seta r_gamma \"120\"\r\n"));
    const QStringList backups = QDir(folder).entryList(QDir::Files, QDir::Time);
    QCOMPARE(backups.size(), backupsAfter);
    if (backupsAfter == 2) {
        // Named after the profile the restored backup belongs to, holding the file as it was.
        QVERIFY2(backups[0].startsWith(QStringLiteral("Small Game ")) && backups[0].endsWith(QStringLiteral(" small")),
                 qPrintable(backups[0]));
        QCOMPARE(readAll(folder + backups[0]), QByteArray("seta r_gamma \"80\"\n"));
    }
}

void TestCliFeatures::restore_errors_data()
{
    QTest::addColumn<QStringList>("arguments");
    QTest::addColumn<int>("status");
    const QString config = QStringLiteral("CONFIG");
    QTest::newRow("no such backup") << QStringList{QStringLiteral("Small Game 01-01 00-00 none"),
                                                   QStringLiteral("--config"), config}
                                    << 1;
    QTest::newRow("no --config") << QStringList{QStringLiteral("Small Game 30-11 09-30 small")} << 2;
    QTest::newRow("name without a profile piece")
        << QStringList{QStringLiteral("loose"), QStringLiteral("--config"), config} << 2;
    QTest::newRow("unknown argument") << QStringList{QStringLiteral("loose"), QStringLiteral("--config"), config,
                                                     QStringLiteral("--force")}
                                      << 2;
}

void TestCliFeatures::restore_errors()
{
    QFETCH(QStringList, arguments);
    QFETCH(int, status);
    const QString folder = path(QStringLiteral("program/backups/"));
    QVERIFY(QDir().mkpath(folder));
    QVERIFY(writeAll(folder + QStringLiteral("Small Game 30-11 09-30 small"), "new\n"));
    QVERIFY(writeAll(folder + QStringLiteral("loose"), "new\n"));
    const QString config = path(QStringLiteral("install/small.cfg"));
    QVERIFY(writeAll(config, "old\n"));
    arguments.replaceInStrings(QStringLiteral("CONFIG"), config);
    const Run r = run(QStringList{QStringLiteral("restore")} + arguments);
    QCOMPARE(r.status, status);
    QVERIFY(!r.err.isEmpty());
    QCOMPARE(readAll(config), QByteArray("old\n"));
    QCOMPARE(QDir(folder).entryList(QDir::Files).size(), 2);

    // The profile given makes a loose name restorable.
    const Run given = run({QStringLiteral("restore"), QStringLiteral("loose"), QStringLiteral("--config"), config,
                           QStringLiteral("--profile"), QStringLiteral("Small Game")});
    QCOMPARE(given.status, 0);
    QCOMPARE(readAll(config), QByteArray("new\n"));
}

QTEST_GUILESS_MAIN(TestCliFeatures)
#include "tst_clifeatures.moc"
