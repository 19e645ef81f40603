#include "gameconfig/backuplist.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>

#include <memory>

using namespace Tunesmith;

namespace
{

bool writeFile(const QString &path, const QByteArray &bytes, const QDateTime &written = {})
{
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly) || file.write(bytes) != bytes.size())
        return false;
    // Written out first: the buffered bytes would otherwise make the file new again when it closes.
    return file.flush() && (!written.isValid() || file.setFileTime(written, QFileDevice::FileModificationTime));
}

QByteArray readFile(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("(missing)");
}

QDateTime at(int day, int hour)
{
    return QDateTime(QDate(2026, 12, day), QTime(hour, 0));
}

} // namespace

class TestBackupList : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void init();

    void profileOf_data();
    void profileOf();
    void list_onlyThisProfilesBackups_newestWrittenFirst();
    void restore_backsUpCurrentThenWritesBackupBytes();
    void restore_data();
    void restore();
    void restore_safetyBackupTakingTheChosenName_losesNothing();
    void restore_failure_leavesConfigAsItWas_data();
    void restore_failure_leavesConfigAsItWas();

private:
    ProgramState state() const;

    std::unique_ptr<QTemporaryDir> m_dir;
    QString m_backups;
    QString m_config;
};

void TestBackupList::init()
{
    m_dir = std::make_unique<QTemporaryDir>();
    QVERIFY(m_dir->isValid());
    m_backups = m_dir->path() + QStringLiteral("/backups");
    m_config = m_dir->path() + QStringLiteral("/game/game.cfg");
    QVERIFY(QDir().mkpath(m_backups));
    QVERIFY(QDir().mkpath(m_dir->path() + QStringLiteral("/game")));
}

ProgramState TestBackupList::state() const
{
    ProgramState state;
    state.programFolder = m_dir->path();
    state.currentProfile = QStringLiteral("Example Game.tsm");
    return state;
}

void TestBackupList::profileOf_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("profile");
    const auto S = [](const char *text) { return QString::fromUtf8(text); };
    QTest::newRow("plain") << S("Example Game 12-04 23-05 game") << S("Example Game");
    QTest::newRow("digits in the profile") << S("Half-Life 2 04-12 23-05 config") << S("Half-Life 2");
    QTest::newRow("blanks in the config name") << S("Quake 04-12 23-05 my game") << S("Quake");
    QTest::newRow("not a backup") << S("notes.txt") << QString();
    QTest::newRow("no profile piece") << S("04-12 23-05 game") << QString();
}

void TestBackupList::profileOf()
{
    QFETCH(QString, name);
    QFETCH(QString, profile);
    QCOMPARE(BackupList::profileOf(name), profile);
}

void TestBackupList::list_onlyThisProfilesBackups_newestWrittenFirst()
{
    // Names hold no year: December of last year sorts after January by name, but was written first.
    QVERIFY(writeFile(m_backups + QStringLiteral("/Example Game 31-12 23-59 game"), "a", at(1, 10).addYears(-1)));
    QVERIFY(writeFile(m_backups + QStringLiteral("/Example Game 01-01 08-00 game"), "b", at(1, 8)));
    QVERIFY(writeFile(m_backups + QStringLiteral("/Example Game 03-01 08-00 autoexec"), "c", at(3, 8)));
    QVERIFY(writeFile(m_backups + QStringLiteral("/Example Game Two 05-01 08-00 game"), "d", at(5, 8)));
    QVERIFY(writeFile(m_backups + QStringLiteral("/Other 05-01 08-00 game"), "e", at(5, 8)));
    QVERIFY(writeFile(m_backups + QStringLiteral("/Example Game notes"), "f", at(6, 8)));
    QVERIFY(QDir(m_backups).mkdir(QStringLiteral("Example Game 07-01 08-00 folder")));

    QStringList names;
    for (const BackupList::Entry &entry : BackupList::list(m_backups, QStringLiteral("Example Game.tsm"))) {
        names << entry.name;
        QCOMPARE(entry.path, m_backups + QLatin1Char('/') + entry.name);
    }
    QCOMPARE(names, (QStringList{QStringLiteral("Example Game 03-01 08-00 autoexec"),
                                 QStringLiteral("Example Game 01-01 08-00 game"),
                                 QStringLiteral("Example Game 31-12 23-59 game")}));
    // The name without ".tsm" finds the same.
    QCOMPARE(BackupList::list(m_backups, QStringLiteral("Example Game")).size(), 3);
    QCOMPARE(BackupList::list(m_backups, QStringLiteral("Example Game Two.tsm")).size(), 1);
    QVERIFY(BackupList::list(m_dir->path() + QStringLiteral("/nothing"), QStringLiteral("Example Game.tsm")).isEmpty());
}

void TestBackupList::restore_backsUpCurrentThenWritesBackupBytes()
{
    const QString backup = m_backups + QStringLiteral("/Example Game 01-12 09-30 game");
    QVERIFY(writeFile(backup, "seta a \"1\"\r\nseta b \"2\"\r\n"));
    QVERIFY(writeFile(m_config, "seta a \"0\"\n\nbind x y\n"));
    const FixedClock clock(QDateTime(QDate(2026, 12, 6), QTime(14, 2, 7)));
    QString error;
    QString safety;
    QVERIFY2(BackupList::restore(state(), clock, backup, m_config, &error, &safety), qPrintable(error));
    QCOMPARE(readFile(m_config), QByteArray("seta a \"1\"\r\nseta b \"2\"\r\n"));
    QCOMPARE(safety, m_backups + QStringLiteral("/Example Game 06-12 14-02 game"));
    // As a save's backup: the non-blank lines of the file as it was.
    QCOMPARE(readFile(safety), QByteArray("seta a \"0\"\nbind x y\n"));
    QCOMPARE(readFile(backup), QByteArray("seta a \"1\"\r\nseta b \"2\"\r\n"));
}

void TestBackupList::restore_data()
{
    QTest::addColumn<bool>("backupsOn");
    QTest::addColumn<bool>("configExists");
    QTest::addColumn<int>("backupCount");
    QTest::newRow("Backups off: no backup of the current file") << false << true << 1;
    QTest::newRow("no config yet: created, nothing to back up") << true << false << 1;
}

void TestBackupList::restore()
{
    QFETCH(bool, backupsOn);
    QFETCH(bool, configExists);
    QFETCH(int, backupCount);
    const QString backup = m_backups + QStringLiteral("/Example Game 01-12 09-30 game");
    QVERIFY(writeFile(backup, "seta a \"1\""));
    if (configExists)
        QVERIFY(writeFile(m_config, "seta a \"0\"\n"));
    ProgramState s = state();
    s.backups = backupsOn;
    QString error;
    QVERIFY2(BackupList::restore(s, FixedClock(at(6, 14)), backup, m_config, &error), qPrintable(error));
    QCOMPARE(readFile(m_config), QByteArray("seta a \"1\""));
    QCOMPARE(QDir(m_backups).entryList(QDir::Files).size(), backupCount);
}

void TestBackupList::restore_safetyBackupTakingTheChosenName_losesNothing()
{
    // Saved and restored within the same minute: the backup of the current file gets the chosen backup's name.
    const QString backup = m_backups + QStringLiteral("/Example Game 06-12 14-00 game");
    QVERIFY(writeFile(backup, "good\n"));
    QVERIFY(writeFile(m_config, "broken\n"));
    QString error;
    QVERIFY2(BackupList::restore(state(), FixedClock(at(6, 14)), backup, m_config, &error), qPrintable(error));
    QCOMPARE(readFile(m_config), QByteArray("good\n"));
    QCOMPARE(readFile(backup), QByteArray("broken\n"));
}

void TestBackupList::restore_failure_leavesConfigAsItWas_data()
{
    QTest::addColumn<bool>("backupMissing");
    QTest::addColumn<bool>("backupFolderBlocked");
    QTest::newRow("backup gone") << true << false;
    QTest::newRow("current file cannot be backed up") << false << true;
}

void TestBackupList::restore_failure_leavesConfigAsItWas()
{
    QFETCH(bool, backupMissing);
    QFETCH(bool, backupFolderBlocked);
    const QString backup = m_dir->path() + QStringLiteral("/Example Game 01-12 09-30 game");
    if (!backupMissing)
        QVERIFY(writeFile(backup, "new\n"));
    if (backupFolderBlocked) {
        QVERIFY(QDir(m_backups).removeRecursively());
        QVERIFY(writeFile(m_backups, "a file where the folder should be"));
    }
    QVERIFY(writeFile(m_config, "old\n"));
    QString error;
    QVERIFY(!BackupList::restore(state(), FixedClock(at(6, 14)), backup, m_config, &error));
    QVERIFY(!error.isEmpty());
    QCOMPARE(readFile(m_config), QByteArray("old\n"));
}

QTEST_GUILESS_MAIN(TestBackupList)
#include "tst_backuplist.moc"
