#include "app/programstate.h"
#include "app/settings.h"
#include "testfiles.h"

#include <QFile>
#include <QTemporaryDir>
#include <QTest>

#include <memory>

using namespace Tunesmith;

namespace
{

// What reading settings changed in a fresh state, as the file's own lines.
QByteArray changes(const ProgramState &state)
{
    QByteArrayList lines;
    for (const auto &[changed, line] : {std::pair{!state.autoUpdate, "update|0"},
                                        {!state.backups, "backups|0"},
                                        {!state.descriptions, "descriptions|0"},
                                        {state.preview, "preview|1"}}) {
        if (changed)
            lines << line;
    }
    for (const auto &[key, speed] : {std::pair{"upload|", state.uploadSpeed}, {"download|", state.downloadSpeed}}) {
        if (speed != 0)
            lines << key + QByteArray::number(speed);
    }
    return lines.join(' ');
}

} // namespace

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

    void readFrom_appliesOnlyWellFormedEntries_data()
    {
        QTest::addColumn<QByteArray>("file");
        QTest::addColumn<QByteArray>("changes");

        QTest::newRow("option off") << QByteArray("update|0\r\n") << QByteArray("update|0");
        QTest::newRow("any line end") << QByteArray("backups|0\rdescriptions|0\nupdate|0")
                                      << QByteArray("update|0 backups|0 descriptions|0");
        QTest::newRow("only 0 turns an option off")
            << QByteArray("update|1\r\nupdate|\r\nupdate|off\r\nupdate|0 \r\nbackups| 0\r\nbackups|0|1")
            << QByteArray();
        QTest::newRow("one 0 line is enough") << QByteArray("backups|0\r\nbackups|1") << QByteArray("backups|0");
        QTest::newRow("only 1 turns preview on") << QByteArray("preview|1\r\npreview|0") << QByteArray("preview|1");
        QTest::newRow("nothing else turns preview on")
            << QByteArray("preview|yes\r\npreview| 1\r\nPreview|1") << QByteArray();
        QTest::newRow("keys exact") << QByteArray("Update|0\r\nUPLOAD|500\r\n update|0\r\n upload|500") << QByteArray();
        QTest::newRow("lines without a bar") << QByteArray("update\r\nupload\r\nbackups0") << QByteArray();
        QTest::newRow("speeds") << QByteArray("upload|16384\r\ndownload|65536\r\n")
                                << QByteArray("upload|16384 download|65536");
        QTest::newRow("last speed wins") << QByteArray("upload|1\r\nupload|2\r\n") << QByteArray("upload|2");
        QTest::newRow("halves round to even")
            << QByteArray("upload|12.5\r\ndownload| 13.5 ") << QByteArray("upload|12 download|14");
        QTest::newRow("bad speed ignored, earlier kept")
            << QByteArray("upload|5\r\nupload|fast\r\nupload|3000000000\r\nupload|") << QByteArray("upload|5");
    }

    void readFrom_appliesOnlyWellFormedEntries()
    {
        QFETCH(QByteArray, file);
        QFETCH(QByteArray, changes);
        ProgramState state;
        Settings::readFrom(file, state);
        QCOMPARE(::changes(state), changes);
    }

    void read_startsFromDefaults_andMissingFileKeepsThem()
    {
        m_state.autoUpdate = m_state.backups = m_state.descriptions = false;
        m_state.preview = true;
        Settings::read(m_state);
        QCOMPARE(changes(m_state), QByteArray());
        QVERIFY(!QFile::exists(settings()));

        QVERIFY(writeAll(settings(), "descriptions|0\r\nupload|700\r\n"));
        m_state.backups = false;
        Settings::read(m_state);
        QCOMPARE(changes(m_state), QByteArray("descriptions|0 upload|700"));
    }

    void toggleOption_appendsThenReplacesItsLine()
    {
        QVERIFY(writeAll(settings(), "\r\nupdate|1\r\n"));
        QString error;
        QVERIFY2(Settings::toggleOption(m_state, Option::Backups, &error), qPrintable(error));
        QVERIFY(!m_state.backups);
        QCOMPARE(readAll(settings()), QByteArray("update|1\r\nbackups|0\r\n"));
        QVERIFY(Settings::toggleOption(m_state, Option::Backups, &error));
        QVERIFY(m_state.backups);
        QCOMPARE(readAll(settings()), QByteArray("update|1\r\nbackups|1\r\n"));
        QVERIFY(Settings::toggleOption(m_state, Option::AutoUpdate, &error));
        QVERIFY(Settings::toggleOption(m_state, Option::Descriptions, &error));
        QVERIFY(Settings::toggleOption(m_state, Option::Preview, &error));
        QVERIFY(m_state.preview);
        QCOMPARE(readAll(settings()), QByteArray("update|0\r\nbackups|1\r\ndescriptions|0\r\npreview|1\r\n"));
    }

    void storeInstallDir_appendsThenReplaces_andLeavesOtherProfilesAlone()
    {
        m_state.currentProfile = QStringLiteral("Game.tsm");
        // Another profile whose file name ends with this one's, stored with the directory this one starts from.
        m_state.installDir = QStringLiteral("C:/games");
        QVERIFY(writeAll(settings(), "My Game.tsm|C:/games\r\n"));
        QString error;
        const auto store = [&](const QString &dir) {
            return Settings::storeInstallDir(m_state, m_state.currentProfile, m_state.installDir, dir, &error);
        };
        QVERIFY2(store(QStringLiteral("D:/x")), qPrintable(error));
        QCOMPARE(m_state.installDir, QStringLiteral("D:/x"));
        QCOMPARE(readAll(settings()), QByteArray("My Game.tsm|C:/games\r\nGame.tsm|D:/x\r\n"));
        QVERIFY(store(QStringLiteral("E:/y|z")));
        QCOMPARE(readAll(settings()), QByteArray("My Game.tsm|C:/games\r\nGame.tsm|E:/y|z\r\n"));

        // A directory stored for a profile that is no longer the current one changes its own line only.
        m_state.currentProfile = QStringLiteral("My Game.tsm");
        m_state.installDir = QStringLiteral("C:/games");
        QVERIFY(Settings::storeInstallDir(m_state, QStringLiteral("Game.tsm"), QStringLiteral("E:/y|z"),
                                          QStringLiteral("F:/w"), &error));
        QCOMPARE(m_state.installDir, QStringLiteral("C:/games"));
        QCOMPARE(readAll(settings()), QByteArray("My Game.tsm|C:/games\r\nGame.tsm|F:/w\r\n"));
    }

    void lookupInstallDir_lastExactKeyWins_missingFileRecreatedWithSpeeds()
    {
        m_state.currentProfile = QStringLiteral("Game.tsm");
        m_state.installDir = QStringLiteral("/stale");
        QVERIFY(!Settings::lookupInstallDir(m_state));
        QCOMPARE(m_state.installDir, QString());
        QCOMPARE(readAll(settings()), QByteArray("upload|0\r\ndownload|0\r\n"));

        QVERIFY(writeAll(settings(), "Game.tsm|/one\r\n Game.tsm|/spaced\r\ngame.tsm|/lower\r\nGame.tsm|/two\r"
                                     "Game.tsm\nMy Game.tsm|/x\n"));
        QVERIFY(Settings::lookupInstallDir(m_state));
        QCOMPARE(m_state.installDir, QStringLiteral("/two"));
        m_state.currentProfile = QStringLiteral("Other.tsm");
        QVERIFY(Settings::lookupInstallDir(m_state));
        QCOMPARE(m_state.installDir, QString());
    }

    void storeSpeeds_replacesLines_andSameValuesAddNothing()
    {
        QString error;
        QVERIFY2(Settings::storeSpeeds(m_state, 16384, 65536, &error), qPrintable(error));
        QCOMPARE(changes(m_state), QByteArray("upload|16384 download|65536"));
        QVERIFY(Settings::storeSpeeds(m_state, 16384, 65536, &error));
        QCOMPARE(readAll(settings()), QByteArray("upload|16384\r\ndownload|65536\r\n"));
        QVERIFY(Settings::storeSpeeds(m_state, 2, 0, &error));
        QCOMPARE(readAll(settings()), QByteArray("upload|2\r\ndownload|0\r\n"));
    }

private:
    QString settings() const { return m_state.settingsPath(); }

    std::unique_ptr<QTemporaryDir> m_dir;
    ProgramState m_state;
};

QTEST_GUILESS_MAIN(TestSettings)
#include "tst_settings.moc"
