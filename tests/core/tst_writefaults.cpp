#include "app/clock.h"
#include "app/fileutil.h"
#include "app/programstate.h"
#include "app/savefile.h"
#include "app/settings.h"
#include "gameconfig/configwriter.h"
#include "loader/loadedprofile.h"
#include "testfiles.h"

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>

#include <csignal>
#include <sys/resource.h>

using namespace Tunesmith;

Q_DECLARE_METATYPE(SaveFileFaults::Step)

namespace
{

const QString profileSource = QStringLiteral(TUNESMITH_TEST_DATA "/merge/lf_file_stays_lf/profile.tsm");
const QByteArray oldConfig = "// mine\r\nseta r_a \"0\"\r\nseta other \"7\"\r\n";
const QByteArray oldSettings = "upload|1000\r\ndownload|2000\r\nbackups|1\r\nExample Game.tsm|/games/old\r\n";

QStringList filesIn(const QString &folder)
{
    return QDir(folder).entryList(QDir::Files | QDir::Dirs | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot);
}

QString reasonOf(SaveFileFaults::Step step)
{
    switch (step) {
    case SaveFileFaults::Step::Open:
    case SaveFileFaults::Step::Rename:
        return QStringLiteral("Permission denied");
    case SaveFileFaults::Step::Write:
    case SaveFileFaults::Step::Flush:
        return QStringLiteral("Input/output error");
    case SaveFileFaults::Step::DiskFull:
        return QStringLiteral("No space left on device");
    }
    return {};
}

enum class Writer
{
    ConfigSave,        // Save Config, backups off
    ConfigSaveNew,     // Save Config to a file that does not exist yet
    ConfigAfterBackup, // backups on: the backup is written, the config write fails
    Backup,            // backups on: the backup write fails
    ToggleOption,
    StoreInstallDir,
    StoreSpeeds,
    ReplaceOrAppend,
};

} // namespace

Q_DECLARE_METATYPE(Writer)

// Every writer under a failing disk: open, write, flush or rename failing, the disk full, a read-only folder. Each
// reports the failure with its reason and leaves its file byte for byte as it was.
class TestWriteFaults : public QObject
{
    Q_OBJECT

private:
    std::unique_ptr<QTemporaryDir> m_dir;
    ProgramState m_state;
    std::unique_ptr<LoadedProfile> m_profile;
    QString m_install;
    QString m_config;

    bool save(QString *error)
    {
        return GameConfigWriter::save(*m_profile, m_state, FixedClock(QDateTime(QDate(2026, 12, 4), QTime(23, 5))),
                                      m_config, error);
    }

private Q_SLOTS:
    void init()
    {
        SaveFileFaults::clear();
        m_dir = std::make_unique<QTemporaryDir>();
        QVERIFY(m_dir->isValid());
        QVERIFY(QDir(m_dir->path()).mkpath(QStringLiteral("program/profiles")));
        QVERIFY(QDir(m_dir->path()).mkpath(QStringLiteral("install")));
        m_state = ProgramState();
        m_state.programFolder = m_dir->filePath(QStringLiteral("program"));
        m_state.currentProfile = QStringLiteral("Example Game.tsm");
        m_install = m_dir->filePath(QStringLiteral("install"));
        const QString profilePath = m_state.profilesPath() + QStringLiteral("/Example Game.tsm");
        QVERIFY(QFile::copy(profileSource, profilePath));
        QString error;
        m_profile = loadProfile(
            profilePath, m_state, [](const QString &) {}, nullptr, &error);
        QVERIFY2(m_profile, qPrintable(error));
        m_config = m_install + QStringLiteral("/game.cfg");
        QVERIFY(writeAll(m_config, oldConfig));
        QVERIFY(writeAll(m_state.settingsPath(), oldSettings));
        Settings::readFrom(oldSettings, m_state);
        Settings::lookupInstallDir(m_state);
        QCOMPARE(m_state.installDir, QStringLiteral("/games/old"));
    }

    void cleanup() { SaveFileFaults::clear(); }

    void injectedFault_reportsReasonAndLeavesFileAsItWas_data()
    {
        QTest::addColumn<Writer>("writer");
        QTest::addColumn<SaveFileFaults::Step>("step");
        const QList<QPair<const char *, Writer>> writers{
            {"config save", Writer::ConfigSave},
            {"config save, new file", Writer::ConfigSaveNew},
            {"config after its backup", Writer::ConfigAfterBackup},
            {"backup", Writer::Backup},
            {"option toggle", Writer::ToggleOption},
            {"install directory", Writer::StoreInstallDir},
            {"speeds", Writer::StoreSpeeds},
            {"ReplaceOrAppend", Writer::ReplaceOrAppend},
        };
        const QList<QPair<const char *, SaveFileFaults::Step>> steps{
            {"open (read-only folder)", SaveFileFaults::Step::Open},
            {"write", SaveFileFaults::Step::Write},
            {"disk full", SaveFileFaults::Step::DiskFull},
            {"flush", SaveFileFaults::Step::Flush},
            {"rename", SaveFileFaults::Step::Rename},
        };
        for (const auto &writer : writers) {
            for (const auto &step : steps)
                QTest::addRow("%s: %s", writer.first, step.first) << writer.second << step.second;
        }
    }

    void injectedFault_reportsReasonAndLeavesFileAsItWas()
    {
        QFETCH(Writer, writer);
        QFETCH(SaveFileFaults::Step, step);
        const ProgramState before = m_state;
        const bool settingsWriter = writer == Writer::ToggleOption || writer == Writer::StoreInstallDir ||
                                    writer == Writer::StoreSpeeds || writer == Writer::ReplaceOrAppend;
        const QString target = settingsWriter ? m_state.settingsPath() : m_config;
        if (writer == Writer::ConfigSaveNew)
            QVERIFY(QFile::remove(m_config));
        const QByteArray targetBefore = readAll(target);
        const QStringList filesBefore = filesIn(QFileInfo(target).absolutePath());
        m_state.backups = writer == Writer::ConfigAfterBackup || writer == Writer::Backup;
        SaveFileFaults::set(step, writer == Writer::Backup ? m_state.backupsPath() : QFileInfo(target).absolutePath());

        QString error;
        bool written = false;
        switch (writer) {
        case Writer::ConfigSave:
        case Writer::ConfigSaveNew:
        case Writer::ConfigAfterBackup:
        case Writer::Backup:
            written = save(&error);
            break;
        case Writer::ToggleOption:
            written = Settings::toggleOption(m_state, Option::Backups, &error);
            break;
        case Writer::StoreInstallDir:
            written = Settings::storeInstallDir(m_state, m_state.currentProfile, m_state.installDir,
                                                QStringLiteral("/games/new"), &error);
            QCOMPARE(m_state.installDir, before.installDir);
            break;
        case Writer::StoreSpeeds:
            written = Settings::storeSpeeds(m_state, 64000, 128000, &error);
            QCOMPARE(m_state.uploadSpeed, before.uploadSpeed);
            QCOMPARE(m_state.downloadSpeed, before.downloadSpeed);
            break;
        case Writer::ReplaceOrAppend:
            written = ReplaceOrAppend(target, "upload|1000", "upload|5", LineMatch::WholeLine, &error);
            break;
        }

        QVERIFY(!written);
        QVERIFY2(error.contains(reasonOf(step)), qPrintable(error));
        QVERIFY2(error.contains(writer == Writer::Backup ? m_state.backupsPath() : target), qPrintable(error));
        QCOMPARE(readAll(target), targetBefore);
        // Nothing half-written is left beside it.
        QCOMPARE(filesIn(QFileInfo(target).absolutePath()), filesBefore);
        if (writer == Writer::Backup) {
            QVERIFY(error.startsWith(QStringLiteral("The backup could not be written")));
            // The config write was never even tried.
            QCOMPARE(SaveFileFaults::attempts(), 1);
            QVERIFY(filesIn(m_state.backupsPath()).isEmpty());
        }
        if (writer == Writer::ConfigAfterBackup)
            QCOMPARE(filesIn(m_state.backupsPath()).size(), 1);
    }

    void faultCleared_theSameWritesSucceed()
    {
        SaveFileFaults::set(SaveFileFaults::Step::DiskFull);
        QString error;
        QVERIFY(!save(&error));
        SaveFileFaults::clear();
        QVERIFY2(save(&error), qPrintable(error));
        QCOMPARE(readAll(m_config), QByteArray("// mine\r\nseta r_a \"1\"\r\nseta other \"7\"\r\nseta r_b \"0\"\r\n"));
        QVERIFY2(Settings::storeSpeeds(m_state, 5, 6, &error), qPrintable(error));
        QVERIFY(readAll(m_state.settingsPath()).startsWith("upload|5\r\ndownload|6\r\n"));
    }

    void storeSpeeds_failedSecondWrite_neverLeavesHalfTheLines()
    {
        // Both speed lines change in one write: a failure after the upload line was written would leave the new
        // upload speed beside the old download speed.
        SaveFileFaults::set(SaveFileFaults::Step::Rename, m_state.programFolder, 1);
        QString error;
        const bool written = Settings::storeSpeeds(m_state, 64000, 128000, &error);
        const QByteArray settings = readAll(m_state.settingsPath());
        if (written) {
            QVERIFY(settings.startsWith("upload|64000\r\ndownload|128000\r\n"));
        } else {
            QCOMPARE(settings, oldSettings);
            QCOMPARE(m_state.uploadSpeed, 1000);
        }
        QCOMPARE(SaveFileFaults::attempts(), 1);
    }

    void commandLine_diskFull_exitsOneWithReason_data()
    {
        QTest::addColumn<bool>("backups");
        QTest::newRow("backups off: the config write fails") << false;
        QTest::newRow("backups on: the backup write fails first") << true;
    }

    void commandLine_diskFull_exitsOneWithReason()
    {
        // A real full disk for the command-line tool: a file size limit below what it has to write. The limit's
        // signal is ignored, so writing past it fails with EFBIG, as a full disk fails with ENOSPC.
        QFETCH(bool, backups);
        QByteArray large = oldConfig;
        while (large.size() < 200000)
            large += "seta filler_" + QByteArray::number(large.size()) + " \"1\"\r\n";
        QVERIFY(writeAll(m_config, large));
        QVERIFY(writeAll(m_state.settingsPath(), backups ? "backups|1\r\n" : "backups|0\r\n"));
        QProcess cli;
        cli.setChildProcessModifier([] {
            std::signal(SIGXFSZ, SIG_IGN);
            const rlimit limit{100000, 100000};
            setrlimit(RLIMIT_FSIZE, &limit);
        });
        cli.start(QStringLiteral(TUNESMITH_CLI),
                  {QStringLiteral("--program-folder"), m_state.programFolder, QStringLiteral("save"),
                   QStringLiteral("Example Game"), QStringLiteral("--config"), m_config});
        QVERIFY(cli.waitForFinished(60000));
        const QString err = QString::fromUtf8(cli.readAllStandardError());
        QCOMPARE(cli.exitStatus(), QProcess::NormalExit);
        QCOMPARE(cli.exitCode(), 1);
        QVERIFY2(err.contains(QStringLiteral("File too large")), qPrintable(err));
        QVERIFY2(err.contains(backups ? QStringLiteral("backup") : m_config), qPrintable(err));
        QVERIFY(cli.readAllStandardOutput().isEmpty());
        QCOMPARE(readAll(m_config), large);
        QCOMPARE(filesIn(m_install), QStringList{QStringLiteral("game.cfg")});
    }
};

QTEST_GUILESS_MAIN(TestWriteFaults)
#include "tst_writefaults.moc"
