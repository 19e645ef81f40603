#include "app/clock.h"
#include "editor/tweaksearch.h"
#include "editor/valuehistory.h"
#include "gameconfig/backuplist.h"
#include "gameconfig/linediff.h"
#include "loader/loadedprofile.h"
#include "testfiles.h"

#include <QDir>
#include <QRandomGenerator>
#include <QTemporaryDir>
#include <QTest>

#include <memory>

using namespace Tunesmith;

namespace
{

// Two pages: an on/off, a list and a bounded numeric tweak on the first, a ruled numeric tweak on the second.
const QByteArray profileText =
    "[title]\r\nTest Game\r\n1-2-2026\r\nTester\r\n"
    "[syntax]\r\ngame.cfg\r\nseta cvar \"value\"\r\n"
    "[add tab]\r\nVideo\r\n"
    "[add simple]\r\nr_fullscreen\r\n1|1|0|0\r\nFull screen\r\nRuns the game in a WINDOW or not.\r\n"
    "[add multi]\r\nr_picmip\r\nHigh|Medium|Low\r\n0|1|2\r\n1|0|2|2\r\nTexture detail\r\n"
    "How sharp textures are.\r\n"
    "[add text]\r\ncom_maxfps\r\n30|250\r\n85|60|125|250\r\nFrame limit\r\nMost frames a second.\r\n"
    "[add tab]\r\nNetwork\r\n"
    "[add ping text]\r\nrate\r\n2500|25000\r\nds/8\r\nRate\r\nBytes a second the server sends.\r\n";

QDateTime at(int day, int hour)
{
    return QDateTime(QDate(2026, 12, day), QTime(hour, 0));
}

} // namespace

// What the main window offers beyond a save: undo of tweak values, the search, the save preview's diff and the
// backups to restore.
class TestEditorTools : public QObject
{
    Q_OBJECT

private:
    std::unique_ptr<QTemporaryDir> m_dir;
    ProgramState m_state;
    std::unique_ptr<LoadedProfile> m_profile;
    QString m_backups;
    QString m_config;

private Q_SLOTS:
    void init()
    {
        m_dir = std::make_unique<QTemporaryDir>();
        const QString path = m_dir->filePath(QStringLiteral("Test Game.tsm"));
        QVERIFY(writeAll(path, profileText));
        m_state = ProgramState();
        m_state.programFolder = m_dir->path();
        m_state.currentProfile = QStringLiteral("Example Game.tsm");
        m_state.downloadSpeed = 80000;
        QString error;
        m_profile = loadProfile(path, m_state, {}, nullptr, &error);
        QVERIFY2(m_profile, qPrintable(error));
        m_backups = m_state.backupsPath();
        m_config = m_dir->filePath(QStringLiteral("game/game.cfg"));
        QVERIFY(QDir().mkpath(m_backups));
        QVERIFY(QDir().mkpath(m_dir->filePath(QStringLiteral("game"))));
    }

    void restoreBefore_putsEveryKindBackExactly()
    {
        SimpleTweak &simple = *m_profile->simple[0];
        MultiTweak &multi = *m_profile->multi[0];
        TextTweak &text = *m_profile->text[0];
        TextTweak &ruled = *m_profile->text[1];
        // States the setters cannot give back: a stored "2" under the On picture, a list value that is not its
        // entry's, a box text above its bound (as restored saved state leaves it), a rule's result.
        simple.setValue("1");
        simple.setValue("2");
        PropertyStore store;
        multi.writeProperties(store);
        store.insert(QStringLiteral("Value"), "odd");
        multi.readProperties(store);
        text.restoreValueState({"999", "85", -1});
        const ValueSnapshot before = ValueSnapshot::capture(*m_profile);

        simple.clickButton(0);
        multi.pick(2);
        text.setValue("30");
        m_state.downloadSpeed = 16000;
        ruled.SetPing();
        const QList<ValueChange> changes = before.changesTo(ValueSnapshot::capture(*m_profile));
        QCOMPARE(changes.size(), 4);
        QCOMPARE(changes[0].kind, TweakKind::Simple); // the save order: on/off, numeric, list
        QCOMPARE(changes[3].kind, TweakKind::Multi);

        int shown = 0;
        const auto listening = text.onDisplayChanged([&shown] { ++shown; });
        restoreBefore(*m_profile, changes);
        QCOMPARE(shown, 1); // the views hear of it
        QCOMPARE(simple.Value(), QByteArray("2"));
        QCOMPARE(simple.shown(), SimpleTweak::Shown::On);
        QCOMPARE(multi.Value(), QByteArray("odd"));
        QCOMPARE(multi.selected(), 1);
        QCOMPARE(text.Value(), QByteArray("999"));
        QCOMPARE(ruled.Value(), QByteArray("10000"));
        QCOMPARE(ruled.Default(), QByteArray("10000"));
        QVERIFY(before.changesTo(ValueSnapshot::capture(*m_profile)).isEmpty());

        restoreAfter(*m_profile, changes);
        QCOMPARE(simple.Value(), QByteArray("0"));
        QCOMPARE(simple.shown(), SimpleTweak::Shown::Off);
        QCOMPARE(multi.Value(), QByteArray("2"));
        QCOMPARE(text.Value(), QByteArray("30"));
        QCOMPARE(ruled.Value(), QByteArray("2500")); // 16000 / 8 held at its minimum; the rule's result stays whole
        QCOMPARE(ruled.Default(), QByteArray("2000"));

        // A value set back to what it was is no change.
        const ValueSnapshot again = ValueSnapshot::capture(*m_profile);
        text.setValue("85");
        text.setValue("30");
        QVERIFY(again.changesTo(ValueSnapshot::capture(*m_profile)).isEmpty());
    }

    void findTweaks_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QStringList>("found");
        QTest::newRow("variable name, any case") << "R_PIC" << QStringList{QStringLiteral("r_picmip")};
        QTest::newRow("short description") << "frame limit" << QStringList{QStringLiteral("com_maxfps")};
        QTest::newRow("long description") << "window" << QStringList{QStringLiteral("r_fullscreen")};
        QTest::newRow("page by page, in placing order")
            << "a"
            << QStringList{QStringLiteral("r_fullscreen"), QStringLiteral("r_picmip"), QStringLiteral("com_maxfps"),
                           QStringLiteral("rate")};
        QTest::newRow("nothing holds it") << "zzz" << QStringList{};
        QTest::newRow("empty text finds nothing") << "" << QStringList{};
    }

    void findTweaks()
    {
        QFETCH(QString, text);
        QFETCH(QStringList, found);
        QStringList names;
        for (const TweakMatch &match : Tunesmith::findTweaks(*m_profile, text)) {
            names << QString::fromUtf8(m_profile->model(match.kind, match.index)->Tweak());
            QCOMPARE(match.page, match.kind == TweakKind::Text && match.index == 2 ? 1 : 0);
        }
        QCOMPARE(names, found);
    }

    void unifiedDiff_data()
    {
        QTest::addColumn<QByteArray>("before");
        QTest::addColumn<QByteArray>("after");
        QTest::addColumn<QByteArray>("expected");
        QTest::newRow("same lines give nothing") << QByteArray("a\r\nb\r\n") << QByteArray("a\nb\n") << QByteArray();
        QTest::newRow("one line changed, three of context each side")
            << QByteArray("1\n2\n3\n4\n5\n6\n7\n8\n9\n") << QByteArray("1\n2\n3\n4\nfive\n6\n7\n8\n9\n")
            << QByteArray("--- old\n+++ new\n@@ -2,7 +2,7 @@\n 2\n 3\n 4\n-5\n+five\n 6\n 7\n 8\n");
        QTest::newRow("new file: every line added")
            << QByteArray() << QByteArray("a\r\nb\r\n") << QByteArray("--- old\n+++ new\n@@ -0,0 +1,2 @@\n+a\n+b\n");
        QTest::newRow("emptied file: every line removed")
            << QByteArray("a\n") << QByteArray() << QByteArray("--- old\n+++ new\n@@ -1 +0,0 @@\n-a\n");
        QTest::newRow("appended after a last line without line end")
            << QByteArray("a\nb") << QByteArray("a\nb\nc\n")
            << QByteArray("--- old\n+++ new\n@@ -1,2 +1,3 @@\n a\n-b\n\\ No newline at end of file\n+b\n+c\n");
        QTest::newRow("changes far apart make two hunks")
            << QByteArray("x\n1\n2\n3\n4\n5\n6\n7\ny\n") << QByteArray("X\n1\n2\n3\n4\n5\n6\n7\nY\n")
            << QByteArray(
                   "--- old\n+++ new\n@@ -1,4 +1,4 @@\n-x\n+X\n 1\n 2\n 3\n@@ -6,4 +6,4 @@\n 5\n 6\n 7\n-y\n+Y\n");
        QTest::newRow("changes close together share a hunk")
            << QByteArray("x\n1\n2\n3\n4\n5\n6\ny\n") << QByteArray("X\n1\n2\n3\n4\n5\n6\nY\n")
            << QByteArray("--- old\n+++ new\n@@ -1,8 +1,8 @@\n-x\n+X\n 1\n 2\n 3\n 4\n 5\n 6\n-y\n+Y\n");
        QTest::newRow("insertion names the line before it")
            << QByteArray("1\n2\n3\n4\n5\n6\n7\n8\n") << QByteArray("1\n2\n3\n4\n5\n6\n7\n8\nnew\n")
            << QByteArray("--- old\n+++ new\n@@ -6,3 +6,4 @@\n 6\n 7\n 8\n+new\n");
    }

    void unifiedDiff()
    {
        QFETCH(QByteArray, before);
        QFETCH(QByteArray, after);
        QFETCH(QByteArray, expected);
        QCOMPARE(LineDiff::unified(before, after, "old", "new"), expected);
    }

    void diff_keepsEveryLineAndKeepsAsManyAsCanBe()
    {
        // Random texts over a few letters repeat lines a lot, which is where a diff goes wrong.
        QRandomGenerator random(20261206);
        for (int round = 0; round < 400; ++round) {
            QList<QByteArray> a;
            QList<QByteArray> b;
            for (QList<QByteArray> *side : {&a, &b}) {
                const int count = random.bounded(12);
                for (int i = 0; i < count; ++i)
                    side->append(QByteArray(1, char('a' + random.bounded(4))));
            }
            QList<QByteArray> rebuiltOld;
            QList<QByteArray> rebuiltNew;
            int kept = 0;
            const QByteArray before = a.join('\n') + (a.isEmpty() ? "" : "\n");
            const QByteArray after = b.join('\n') + (b.isEmpty() ? "" : "\n");
            for (const LineDiff::Line &line : LineDiff::compare(before, after)) {
                if (line.kind != LineDiff::Kind::Added)
                    rebuiltOld.append(line.text);
                if (line.kind != LineDiff::Kind::Removed)
                    rebuiltNew.append(line.text);
                kept += line.kind == LineDiff::Kind::Same;
            }
            QCOMPARE(rebuiltOld, a);
            QCOMPARE(rebuiltNew, b);
            // The longest common subsequence, the slow way.
            QList<QList<int>> lcs(a.size() + 1, QList<int>(b.size() + 1, 0));
            for (qsizetype i = a.size() - 1; i >= 0; --i) {
                for (qsizetype j = b.size() - 1; j >= 0; --j)
                    lcs[i][j] = a[i] == b[j] ? lcs[i + 1][j + 1] + 1 : std::max(lcs[i + 1][j], lcs[i][j + 1]);
            }
            QCOMPARE(kept, lcs[0][0]);
        }
    }

    void backupList_onlyThisProfilesBackups_newestWrittenFirst()
    {
        // Names hold no year: December of last year sorts after January by name, but was written first.
        const QString b = m_backups + QLatin1Char('/');
        QVERIFY(writeAll(b + QStringLiteral("Example Game 31-12 23-59 game"), "a", at(1, 10).addYears(-1)));
        QVERIFY(writeAll(b + QStringLiteral("Example Game 01-01 08-00 game"), "b", at(1, 8)));
        QVERIFY(writeAll(b + QStringLiteral("Example Game 03-01 08-00 autoexec"), "c", at(3, 8)));
        QVERIFY(writeAll(b + QStringLiteral("Example Game Two 05-01 08-00 game"), "d", at(5, 8)));
        QVERIFY(writeAll(b + QStringLiteral("Other 05-01 08-00 game"), "e", at(5, 8)));
        QVERIFY(writeAll(b + QStringLiteral("Example Game notes"), "f", at(6, 8)));
        QVERIFY(QDir(m_backups).mkdir(QStringLiteral("Example Game 07-01 08-00 folder")));

        QStringList names;
        for (const BackupList::Entry &entry : BackupList::list(m_backups, QStringLiteral("Example Game.tsm"))) {
            names << entry.name;
            QCOMPARE(entry.path, b + entry.name);
        }
        QCOMPARE(names, (QStringList{QStringLiteral("Example Game 03-01 08-00 autoexec"),
                                     QStringLiteral("Example Game 01-01 08-00 game"),
                                     QStringLiteral("Example Game 31-12 23-59 game")}));
        QCOMPARE(BackupList::list(m_backups, QStringLiteral("Example Game")).size(), 3);
        QCOMPARE(BackupList::list(m_backups, QStringLiteral("Example Game Two.tsm")).size(), 1);
        QVERIFY(BackupList::list(m_dir->filePath(QStringLiteral("nothing")), QStringLiteral("Example Game")).isEmpty());
        // The profile is what stands before the date: digits in it and blanks in the config name are no trouble.
        for (const auto &[name, profile] : {std::pair{"Half-Life 2 04-12 23-05 config", "Half-Life 2"},
                                            {"Quake 04-12 23-05 my game", "Quake"},
                                            {"notes.txt", ""},
                                            {"04-12 23-05 game", ""}})
            QCOMPARE(BackupList::profileOf(QString::fromUtf8(name)), QString::fromUtf8(profile));
    }

    void restore_backsUpCurrentThenWritesBackupBytes()
    {
        const QString backup = m_backups + QStringLiteral("/Example Game 01-12 09-30 game");
        QVERIFY(writeAll(backup, "seta a \"1\"\r\nseta b \"2\"\r\n"));
        QVERIFY(writeAll(m_config, "seta a \"0\"\n\nbind x y\n"));
        QString error;
        QString safety;
        QVERIFY2(BackupList::restore(m_state, FixedClock(QDateTime(QDate(2026, 12, 6), QTime(14, 2, 7))), backup,
                                     m_config, &error, &safety),
                 qPrintable(error));
        QCOMPARE(readAll(m_config), QByteArray("seta a \"1\"\r\nseta b \"2\"\r\n"));
        QCOMPARE(safety, m_backups + QStringLiteral("/Example Game 06-12 14-02 game"));
        // As a save's backup: the non-blank lines of the file as it was.
        QCOMPARE(readAll(safety), QByteArray("seta a \"0\"\nbind x y\n"));
        QCOMPARE(readAll(backup), QByteArray("seta a \"1\"\r\nseta b \"2\"\r\n"));

        // No config yet: it is created, and there is nothing to back up.
        QVERIFY(QFile::remove(m_config) && QFile::remove(safety));
        QVERIFY2(BackupList::restore(m_state, FixedClock(at(6, 14)), backup, m_config, &error), qPrintable(error));
        QCOMPARE(readAll(m_config), readAll(backup));
        QCOMPARE(QDir(m_backups).entryList(QDir::Files).size(), 1);
    }

    void restore_safetyBackupTakingTheChosenName_losesNothing()
    {
        // Saved and restored within the same minute: the backup of the current file gets the chosen backup's name.
        const QString backup = m_backups + QStringLiteral("/Example Game 06-12 14-00 game");
        QVERIFY(writeAll(backup, "good\n"));
        QVERIFY(writeAll(m_config, "broken\n"));
        QString error;
        QVERIFY2(BackupList::restore(m_state, FixedClock(at(6, 14)), backup, m_config, &error), qPrintable(error));
        QCOMPARE(readAll(m_config), QByteArray("good\n"));
        QCOMPARE(readAll(backup), QByteArray("broken\n"));
    }

    void restore_failure_leavesConfigAsItWas_data()
    {
        QTest::addColumn<bool>("backupMissing");
        QTest::newRow("backup gone") << true;
        QTest::newRow("current file cannot be backed up") << false;
    }

    void restore_failure_leavesConfigAsItWas()
    {
        QFETCH(bool, backupMissing);
        const QString backup = m_dir->filePath(QStringLiteral("Example Game 01-12 09-30 game"));
        if (!backupMissing) {
            QVERIFY(writeAll(backup, "new\n"));
            QVERIFY(QDir(m_backups).removeRecursively());
            QVERIFY(writeAll(m_backups, "a file where the folder should be"));
        }
        QVERIFY(writeAll(m_config, "old\n"));
        QString error;
        QVERIFY(!BackupList::restore(m_state, FixedClock(at(6, 14)), backup, m_config, &error));
        QVERIFY(!error.isEmpty());
        QCOMPARE(readAll(m_config), QByteArray("old\n"));
    }
};

QTEST_GUILESS_MAIN(TestEditorTools)
#include "tst_editortools.moc"
