#include "app/programstate.h"
#include "app/settings.h"
#include "testfiles.h"

#include <QFile>
#include <QTemporaryDir>
#include <QTest>

#include <memory>

using namespace Tunesmith;

class TestSettings : public QObject
{
    Q_OBJECT

private slots:
    void init()
    {
        m_dir = std::make_unique<QTemporaryDir>();
        QVERIFY(m_dir->isValid());
        m_state = ProgramState();
        m_state.programFolder = m_dir->path();
    }

    void readFrom_appliesOnlyWellFormedEntries_data();
    void readFrom_appliesOnlyWellFormedEntries();
    void read_setsOptionsOnFirst_andMissingFileKeepsDefaults();
    void toggleOption_appendsThenReplacesItsLine();
    void storeInstallDir_appendsThenReplaces_andLeavesOtherProfilesAlone();
    void lookupInstallDir_lastExactKeyWins();
    void lookupInstallDir_missingFile_isRecreatedWithSpeeds();
    void storeSpeeds_replacesLines_andSameValuesAddNothing();

private:
    std::unique_ptr<QTemporaryDir> m_dir;
    ProgramState m_state;
};

void TestSettings::readFrom_appliesOnlyWellFormedEntries_data()
{
    QTest::addColumn<QByteArray>("file");
    QTest::addColumn<bool>("autoUpdate");
    QTest::addColumn<bool>("backups");
    QTest::addColumn<bool>("descriptions");
    QTest::addColumn<int>("upload");
    QTest::addColumn<int>("download");

    QTest::newRow("only update|0") << QByteArray("update|0\r\n") << false << true << true << 0 << 0;
    QTest::newRow("all three off") << QByteArray("backups|0\rdescriptions|0\nupdate|0") << false << false << false << 0
                                   << 0;
    QTest::newRow("update|1 leaves it on") << QByteArray("update|1") << true << true << true << 0 << 0;
    QTest::newRow("empty value leaves it on") << QByteArray("update|") << true << true << true << 0 << 0;
    QTest::newRow("word leaves it on") << QByteArray("update|off") << true << true << true << 0 << 0;
    QTest::newRow("0 with a blank leaves it on")
        << QByteArray("update|0 \r\nbackups| 0") << true << true << true << 0 << 0;
    QTest::newRow("further bar is part of the value") << QByteArray("backups|0|1") << true << true << true << 0 << 0;
    QTest::newRow("one 0 line is enough") << QByteArray("backups|0\r\nbackups|1") << true << false << true << 0 << 0;
    QTest::newRow("key case matters") << QByteArray("Update|0\r\nUPLOAD|500") << true << true << true << 0 << 0;
    QTest::newRow("leading space on key") << QByteArray(" update|0\r\n upload|500") << true << true << true << 0 << 0;
    QTest::newRow("speeds") << QByteArray("upload|16384\r\ndownload|65536\r\n") << true << true << true << 16384
                            << 65536;
    QTest::newRow("last speed wins") << QByteArray("upload|1\r\nupload|2\r\n") << true << true << true << 2 << 0;
    QTest::newRow("halves round to even")
        << QByteArray("upload|12.5\r\ndownload|13.5") << true << true << true << 12 << 14;
    QTest::newRow("spaces around a number") << QByteArray("download| 42 ") << true << true << true << 0 << 42;
    QTest::newRow("bad speed ignored, earlier kept")
        << QByteArray("upload|5\r\nupload|fast\r\nupload|3000000000\r\nupload|") << true << true << true << 5 << 0;
    QTest::newRow("lines without a bar ignored")
        << QByteArray("update\r\nupload\r\nbackups0") << true << true << true << 0 << 0;
    QTest::newRow("blank lines ignored") << QByteArray("\r\n   \r\nupdate|0\r\n") << false << true << true << 0 << 0;
}

void TestSettings::readFrom_appliesOnlyWellFormedEntries()
{
    QFETCH(QByteArray, file);
    QFETCH(bool, autoUpdate);
    QFETCH(bool, backups);
    QFETCH(bool, descriptions);
    QFETCH(int, upload);
    QFETCH(int, download);
    ProgramState state;
    Settings::readFrom(file, state);
    QCOMPARE(state.autoUpdate, autoUpdate);
    QCOMPARE(state.backups, backups);
    QCOMPARE(state.descriptions, descriptions);
    QCOMPARE(state.uploadSpeed, upload);
    QCOMPARE(state.downloadSpeed, download);
}

void TestSettings::read_setsOptionsOnFirst_andMissingFileKeepsDefaults()
{
    m_state.autoUpdate = m_state.backups = m_state.descriptions = false;
    Settings::read(m_state);
    QVERIFY(m_state.autoUpdate && m_state.backups && m_state.descriptions);
    QVERIFY(!QFile::exists(m_state.settingsPath()));

    QVERIFY(writeAll(m_state.settingsPath(), "descriptions|0\r\nupload|700\r\n"));
    m_state.backups = false;
    Settings::read(m_state);
    QVERIFY(m_state.autoUpdate && m_state.backups && !m_state.descriptions);
    QCOMPARE(m_state.uploadSpeed, 700);
}

void TestSettings::toggleOption_appendsThenReplacesItsLine()
{
    QVERIFY(writeAll(m_state.settingsPath(), "\r\nupdate|1\r\n"));
    QString error;
    QVERIFY2(Settings::toggleOption(m_state, Option::Backups, &error), qPrintable(error));
    QVERIFY(!m_state.backups);
    QCOMPARE(readAll(m_state.settingsPath()), QByteArray("update|1\r\nbackups|0\r\n"));
    QVERIFY(Settings::toggleOption(m_state, Option::Backups, &error));
    QVERIFY(m_state.backups);
    QCOMPARE(readAll(m_state.settingsPath()), QByteArray("update|1\r\nbackups|1\r\n"));
    QVERIFY(Settings::toggleOption(m_state, Option::AutoUpdate, &error));
    QVERIFY(!m_state.autoUpdate);
    QCOMPARE(readAll(m_state.settingsPath()), QByteArray("update|0\r\nbackups|1\r\n"));
    QVERIFY(Settings::toggleOption(m_state, Option::Descriptions, &error));
    QCOMPARE(readAll(m_state.settingsPath()), QByteArray("update|0\r\nbackups|1\r\ndescriptions|0\r\n"));
}

void TestSettings::storeInstallDir_appendsThenReplaces_andLeavesOtherProfilesAlone()
{
    m_state.currentProfile = QStringLiteral("Game.tsm");
    // Another profile whose file name ends with this one's, stored with the directory this one starts from.
    m_state.installDir = QStringLiteral("C:/games");
    QVERIFY(writeAll(m_state.settingsPath(), "My Game.tsm|C:/games\r\n"));
    const auto store = [this](const QString &profile, const QString &dir) {
        QString error;
        const bool stored = Settings::storeInstallDir(m_state, profile, m_state.installDir, dir, &error);
        return stored ? QString() : error;
    };
    QCOMPARE(store(m_state.currentProfile, QStringLiteral("D:/x")), QString());
    QCOMPARE(m_state.installDir, QStringLiteral("D:/x"));
    QCOMPARE(readAll(m_state.settingsPath()), QByteArray("My Game.tsm|C:/games\r\nGame.tsm|D:/x\r\n"));
    QCOMPARE(store(m_state.currentProfile, QStringLiteral("E:/y|z")), QString());
    QCOMPARE(readAll(m_state.settingsPath()), QByteArray("My Game.tsm|C:/games\r\nGame.tsm|E:/y|z\r\n"));

    QVERIFY(Settings::lookupInstallDir(m_state));
    QCOMPARE(m_state.installDir, QStringLiteral("E:/y|z"));
    m_state.currentProfile = QStringLiteral("My Game.tsm");
    QVERIFY(Settings::lookupInstallDir(m_state));
    QCOMPARE(m_state.installDir, QStringLiteral("C:/games"));

    // A directory stored for a profile that is no longer the current one changes its own line only.
    QString error;
    QVERIFY(Settings::storeInstallDir(m_state, QStringLiteral("Game.tsm"), QStringLiteral("E:/y|z"),
                                      QStringLiteral("F:/w"), &error));
    QCOMPARE(m_state.installDir, QStringLiteral("C:/games"));
    QCOMPARE(readAll(m_state.settingsPath()), QByteArray("My Game.tsm|C:/games\r\nGame.tsm|F:/w\r\n"));
}

void TestSettings::lookupInstallDir_lastExactKeyWins()
{
    m_state.currentProfile = QStringLiteral("Game.tsm");
    QVERIFY(
        writeAll(m_state.settingsPath(),
                 "Game.tsm|/one\r\n Game.tsm|/spaced\r\ngame.tsm|/lower\r\nGame.tsm|/two\rGame.tsm\nMy Game.tsm|/x\n"));
    QVERIFY(Settings::lookupInstallDir(m_state));
    QCOMPARE(m_state.installDir, QStringLiteral("/two"));
    m_state.currentProfile = QStringLiteral("Other.tsm");
    QVERIFY(Settings::lookupInstallDir(m_state));
    QCOMPARE(m_state.installDir, QString());
}

void TestSettings::lookupInstallDir_missingFile_isRecreatedWithSpeeds()
{
    m_state.currentProfile = QStringLiteral("Game.tsm");
    m_state.installDir = QStringLiteral("/stale");
    QVERIFY(!Settings::lookupInstallDir(m_state));
    QCOMPARE(m_state.installDir, QString());
    ProgramState reread;
    Settings::readFrom(readAll(m_state.settingsPath()), reread);
    QCOMPARE(reread.uploadSpeed, 0);
    QVERIFY(readAll(m_state.settingsPath()).startsWith("upload|0"));
    QVERIFY(readAll(m_state.settingsPath()).contains("download|0"));
}

void TestSettings::storeSpeeds_replacesLines_andSameValuesAddNothing()
{
    QString error;
    QVERIFY2(Settings::storeSpeeds(m_state, 16384, 65536, &error), qPrintable(error));
    QCOMPARE(readAll(m_state.settingsPath()), QByteArray("upload|16384\r\ndownload|65536\r\n"));
    QCOMPARE(m_state.uploadSpeed, 16384);
    QCOMPARE(m_state.downloadSpeed, 65536);
    QVERIFY(Settings::storeSpeeds(m_state, 16384, 65536, &error));
    QCOMPARE(readAll(m_state.settingsPath()), QByteArray("upload|16384\r\ndownload|65536\r\n"));
    QVERIFY(Settings::storeSpeeds(m_state, 2, 0, &error));
    QCOMPARE(readAll(m_state.settingsPath()), QByteArray("upload|2\r\ndownload|0\r\n"));
}

QTEST_GUILESS_MAIN(TestSettings)
#include "tst_settings.moc"
