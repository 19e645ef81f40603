#include "app/clock.h"
#include "app/programstate.h"
#include "app/savefile.h"
#include "backupreference.h"
#include "gameconfig/backups.h"
#include "gameconfig/configmerge.h"
#include "gameconfig/configreader.h"
#include "gameconfig/configwriter.h"
#include "loader/loadedprofile.h"
#include "testfiles.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>
#include <QTest>

using namespace Tunesmith;

namespace
{

const QDateTime lateEvening(QDate(2026, 12, 4), QTime(23, 5, 41));

QByteArray visible(QByteArray bytes)
{
    return bytes.replace("\r", "\\r").replace("\n", "\\n\n");
}

// A program folder with the profile loaded as "Example Game.tsm" and an empty install directory, so every tweak
// starts at its default; the save goes to install/<game config file name>.
class SaveSetup
{
public:
    explicit SaveSetup(const QString &profileSource)
    {
        QDir(m_dir.path()).mkpath(QStringLiteral("program"));
        QDir(m_dir.path()).mkpath(QStringLiteral("install"));
        QDir(m_dir.path()).mkpath(QStringLiteral("empty"));
        state.programFolder = m_dir.filePath(QStringLiteral("program"));
        state.currentProfile = QStringLiteral("Example Game.tsm");
        state.installDir = m_dir.filePath(QStringLiteral("empty"));
        const QString profilePath = m_dir.filePath(QStringLiteral("Example Game.tsm"));
        QFile::copy(profileSource, profilePath);
        profile = loadProfile(
            profilePath, state, [](const QString &) {}, nullptr, &loadError);
        configPath = m_dir.filePath(QStringLiteral("install/")) + QString::fromUtf8(state.gameConfigFileName);
    }

    // Writes the config and reads it into the tweaks, as a load from the install directory does.
    bool readConfig(const QByteArray &bytes)
    {
        return writeAll(configPath, bytes) && GameConfigReader::apply(*profile, state.syntax, configPath);
    }
    bool save(QString *error, QString *backupPath = nullptr)
    {
        return GameConfigWriter::save(*profile, state, FixedClock(lateEvening), configPath, error, backupPath);
    }
    QString path(const QString &relative) const { return m_dir.filePath(relative); }
    QStringList backups() const
    {
        return QDir(state.backupsPath()).entryList(QDir::Files | QDir::Dirs | QDir::NoDotAndDotDot);
    }

    ProgramState state;
    std::unique_ptr<LoadedProfile> profile;
    QString configPath;
    QString loadError;

private:
    QTemporaryDir m_dir;
};

const QString simpleProfile = QStringLiteral(TUNESMITH_TEST_DATA "/merge/lf_file_stays_lf/profile.tsm");

} // namespace

class TestConfigSave : public QObject
{
    Q_OBJECT

private slots:
    void save_givesGoldenFileAndBackup_data()
    {
        QTest::addColumn<QString>("folder");
        const QDir root(QStringLiteral(TUNESMITH_TEST_DATA "/merge"));
        for (const QString &name : root.entryList(QDir::Dirs | QDir::NoDotAndDotDot))
            QTest::newRow(qPrintable(name)) << root.filePath(name);
        QVERIFY(root.entryList(QDir::Dirs | QDir::NoDotAndDotDot).size() >= 10);
    }

    void save_givesGoldenFileAndBackup()
    {
        QFETCH(QString, folder);
        SaveSetup setup(folder + QStringLiteral("/profile.tsm"));
        QVERIFY2(setup.profile, qPrintable(setup.loadError));
        QVERIFY(!QFileInfo::exists(setup.state.backupsPath()));
        const QString before = folder + QStringLiteral("/before.cfg");
        const bool existed = QFile::exists(before);
        if (existed)
            QVERIFY(QFile::copy(before, setup.configPath));

        QString error;
        QString backupPath;
        QVERIFY2(setup.save(&error, &backupPath), qPrintable(error));

        const QByteArray expected = readAll(folder + QStringLiteral("/expected.cfg"));
        const QByteArray actual = readAll(setup.configPath);
        QVERIFY2(actual == expected, "\nactual:\n" + visible(actual) + "\nexpected:\n" + visible(expected));
        if (!existed) {
            QVERIFY(setup.backups().isEmpty());
            return;
        }
        const QString base = QFileInfo(setup.configPath).completeBaseName();
        QCOMPARE(setup.backups(), QStringList{QStringLiteral("Example Game 04-12 23-05 ") + base});
        QCOMPARE(backupPath, setup.state.backupsPath() + QLatin1Char('/') + setup.backups().constFirst());
        QCOMPARE(visible(readAll(backupPath)), visible(expectedBackup(readAll(before))));
    }

    void backupName_isProfileDateTimeAndBaseName_data()
    {
        QTest::addColumn<QString>("profile");
        QTest::addColumn<QDateTime>("when");
        QTest::addColumn<QString>("configPath");
        QTest::addColumn<QString>("expected");
        const auto S = [](const char *text) { return QString::fromUtf8(text); };
        QTest::newRow("two dots") << S("Example Game.tsm") << lateEvening << S("/games/my.game.cfg")
                                  << S("Example Game 04-12 23-05 my.game");
        QTest::newRow("no extension") << S("q.tsm") << lateEvening << S("/games/autoexec")
                                      << S("q 04-12 23-05 autoexec");
        QTest::newRow("dot in folder only")
            << S("q.tsm") << lateEvening << S("/games/v1.2/autoexec") << S("q 04-12 23-05 autoexec");
        QTest::newRow("morning, two-digit pieces")
            << S("q.tsm") << QDateTime(QDate(2004, 1, 9), QTime(9, 5, 3)) << S("/g/x.cfg") << S("q 09-01 09-05 x");
    }

    void backupName_isProfileDateTimeAndBaseName()
    {
        QFETCH(QString, profile);
        QFETCH(QDateTime, when);
        QFETCH(QString, configPath);
        QFETCH(QString, expected);
        QCOMPARE(Backups::backupName(profile, FixedClock(when), configPath), expected);
    }

    void saveWithoutTweaks_writesNothing()
    {
        QTemporaryDir source;
        const QString profilePath = source.filePath(QStringLiteral("p.tsm"));
        QVERIFY(writeAll(profilePath,
                         "[title]\r\nEmpty\r\n1-1-2004\r\nSomeone\r\n[syntax]\r\ngame.cfg\r\nseta cvar \"value\"\r\n"));
        SaveSetup setup(profilePath);
        QVERIFY2(setup.profile, qPrintable(setup.loadError));
        QString error;
        QVERIFY2(setup.save(&error), qPrintable(error));
        QVERIFY(!QFileInfo::exists(setup.configPath));
        // An existing file keeps every byte, leading blank lines too; the backup is made as for any save.
        const QByteArray before = "\r\n  \r\nseta a \"1\"\n";
        const QDateTime written(QDate(2026, 1, 2), QTime(3, 4, 5));
        QVERIFY(writeAll(setup.configPath, before, written));
        QVERIFY2(setup.save(&error), qPrintable(error));
        QCOMPARE(readAll(setup.configPath), before);
        QCOMPARE(QFileInfo(setup.configPath).lastModified(), written); // not even written again
        QCOMPARE(setup.backups().size(), 1);
    }

    void dialogFilter_extensionStartsAfterFirstDot_data()
    {
        QTest::addColumn<QByteArray>("name");
        QTest::addColumn<QStringList>("entries"); // what the file dialogs are given
        const auto S = [](const char *text) { return QString::fromUtf8(text); };
        QTest::newRow("one dot") << QByteArray("game.cfg")
                                 << QStringList{S("game.cfg (game.cfg)"), S("cfg files (*.cfg)")};
        QTest::newRow("two dots") << QByteArray("my.game.cfg")
                                  << QStringList{S("my.game.cfg (my.game.cfg)"), S("game.cfg files (*.game.cfg)")};
        QTest::newRow("no dot: the whole name")
            << QByteArray("autoexec") << QStringList{S("autoexec (autoexec)"), S("autoexec files (*.autoexec)")};
        // A blank would split a pattern in two.
        QTest::newRow("blanks") << QByteArray("my game.c fg")
                                << QStringList{S("my game.c fg (my?game.c?fg)"), S("c fg files (*.c?fg)")};
    }

    void dialogFilter_extensionStartsAfterFirstDot()
    {
        QFETCH(QByteArray, name);
        QFETCH(QStringList, entries);
        const auto filter = GameConfigWriter::dialogFilter(name);
        QCOMPARE(filter.exactName, QString::fromUtf8(name)); // the name the dialogs start with
        QCOMPARE(filter.entries(), entries);
    }

    void savedPieces_areTheFileAcrossChunkBoundaries()
    {
        // Small pieces that fill the writer's 256 KiB chunks unevenly, one piece of exactly a chunk, one larger than a
        // chunk, an empty one and a last short one: the file is their bytes in order, nothing lost or doubled.
        QList<QByteArray> pieces;
        for (int i = 0; i < 40000; ++i)
            pieces.append(QByteArray("seta line_") + QByteArray::number(i) + " \"" + QByteArray(i % 7, 'x') + "\"\r\n");
        pieces.append(QByteArray(256 * 1024, 'a'));
        pieces.append(QByteArray());
        pieces.append(QByteArray(700 * 1024, 'b'));
        pieces.append("end");
        QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("game.cfg"));
        QString error;
        QVERIFY2(saveFilePieces(
                     path,
                     [&](const PieceWriter &write) {
                         for (const QByteArray &piece : std::as_const(pieces)) {
                             if (!write(piece))
                                 return false;
                         }
                         return true;
                     },
                     &error),
                 qPrintable(error));
        QCOMPARE(readAll(path), pieces.join());

        // The merge hands its pieces over until the writer refuses one, and then says so: whatever piece that is.
        const ConfigSnapshot snapshot(QByteArray("a 1\nb 1\nc 1\n"));
        const QList<MergeItem> items{{"b", "2"}, {"d", "4"}};
        for (int refused = 1;; ++refused) {
            int handed = 0;
            const bool written =
                writeMergedConfig(snapshot, {"", " ", ""}, items, [&](QByteArrayView) { return ++handed != refused; });
            if (written) {
                QVERIFY(handed < refused); // every piece went through
                break;
            }
            QCOMPARE(handed, refused);
        }
    }

    void saveAfterConfigChanged_mergesTheFileAsItIsNow()
    {
        // The tweaks' values come from one file; before the save, the game rewrites it with the same lines in another
        // order (same size). The save must rewrite the lines where they are now, not where the load found them.
        SaveSetup setup(simpleProfile);
        QVERIFY(setup.profile);
        setup.state.backups = false;
        QVERIFY(setup.readConfig("seta r_a \"0\"\nseta r_b \"1\"\n"));
        QCOMPARE(setup.profile->simple[0]->Value(), QByteArray("0"));
        setup.profile->simple[0]->setValue("1");
        QString error;

        QVERIFY(writeAll(setup.configPath, "seta r_b \"1\"\nseta r_a \"0\"\n"));
        QVERIFY2(setup.save(&error), qPrintable(error));
        QCOMPARE(readAll(setup.configPath), QByteArray("seta r_b \"1\"\nseta r_a \"1\"\n"));

        // Unchanged since the last save: the save starts from the file as it is.
        setup.profile->simple[1]->setValue("0");
        QVERIFY2(setup.save(&error), qPrintable(error));
        QCOMPARE(readAll(setup.configPath), QByteArray("seta r_b \"0\"\nseta r_a \"1\"\n"));
    }

    void configLargerThanKeptSize_isNotKeptAndStillSaves()
    {
        SaveSetup setup(simpleProfile);
        QVERIFY(setup.profile);
        setup.state.backups = false;
        QVERIFY(setup.readConfig("seta r_a \"0\"\n"));
        QVERIFY(setup.profile->lastConfig);

        // One line more than the kept size allows: read for the tweaks' values, then let go.
        const QByteArray filler = "// " + QByteArray(77, 'x') + "\n";
        const QByteArray first = "seta r_b \"1\"\n";
        QByteArray large = first;
        while (large.size() <= GameConfigReader::maxKeptConfigSize)
            large += filler;
        QVERIFY(setup.readConfig(large));
        QVERIFY(!setup.profile->lastConfig);
        QCOMPARE(setup.profile->simple[1]->Value(), QByteArray("1"));

        QString error;
        setup.profile->simple[1]->setValue("0");
        QVERIFY2(setup.save(&error), qPrintable(error));
        QCOMPARE(readAll(setup.configPath), "seta r_b \"0\"\n" + large.sliced(first.size()) + "seta r_a \"0\"\n");
    }
};

QTEST_GUILESS_MAIN(TestConfigSave)
#include "tst_configsave.moc"
