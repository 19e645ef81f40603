#include "app/savefile.h"
#include "app/widgets/application.h"
#include "app/widgets/dialogs.h"
#include "app/widgets/frmload.h"
#include "app/widgets/frmping.h"
#include "app/widgets/platform.h"
#include "editor/widgets/frmindex.h"

#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QLabel>
#include <QPointer>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>

using namespace Tunesmith;

Q_DECLARE_METATYPE(SaveFileFaults::Step)

namespace
{

const QByteArray oldConfig = "// mine\r\nseta r_vsync \"1\"\r\n";

QByteArray readFile(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("(missing)");
}

bool writeFile(const QString &path, const QByteArray &bytes)
{
    QFile file(path);
    return file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size();
}

} // namespace

// What the player sees when the disk fails under a window's write: a warning with the reason, and the file as it
// was. The faults are injected at the program's one write routine, so they work even when the tests run as root.
class TestWindowFaults : public QObject
{
    Q_OBJECT

private:
    std::unique_ptr<QTemporaryDir> m_dir;
    QString m_folder;
    QString m_settings;

    frmIndex *loadProfile(Application &app)
    {
        app.start();
        app.loadWindow()->lstLoad_Click();
        app.loadWindow()->cmdLoad_Click();
        return app.indexWindow();
    }

    static QString onlyWarning()
    {
        const QList<Dialogs::ShownMessage> messages = Dialogs::takeMessages();
        if (messages.size() != 1 || messages[0].icon != QMessageBox::Warning)
            return QStringLiteral("(%1 messages, not one warning)").arg(messages.size());
        return messages[0].text;
    }

private Q_SLOTS:
    void init()
    {
        SaveFileFaults::clear();
        m_dir = std::make_unique<QTemporaryDir>();
        QVERIFY(m_dir->isValid());
        m_folder = m_dir->path();
        QVERIFY(QDir(m_folder).mkpath(QStringLiteral("profiles")));
        QVERIFY(QDir(m_folder).mkpath(QStringLiteral("game")));
        QVERIFY(QFile::copy(QStringLiteral(TUNESMITH_TEST_DATA "/cli/Small Game.tsm"),
                            m_folder + QStringLiteral("/profiles/Small Game.tsm")));
        m_settings = m_folder + QStringLiteral("/config.cfg");
        // No update server is ever asked from a test.
        QVERIFY(writeFile(m_settings, "update|0\r\nSmall Game.tsm|" + m_folder.toUtf8() + "/game\r\n"));
        Dialogs::setRecording(true);
        Dialogs::takeMessages();
        Dialogs::takeFileDialogRequests();
        Platform::setRecording(true);
    }

    void cleanup()
    {
        SaveFileFaults::clear();
        m_dir.reset();
    }

    void saveConfig_failingDisk_showsReasonAndKeepsConfig_data()
    {
        QTest::addColumn<SaveFileFaults::Step>("step");
        QTest::addColumn<QString>("reason");
        QTest::newRow("read-only folder") << SaveFileFaults::Step::Open << "Permission denied";
        QTest::newRow("write error") << SaveFileFaults::Step::Write << "Input/output error";
        QTest::newRow("disk full") << SaveFileFaults::Step::DiskFull << "No space left on device";
        QTest::newRow("flush error") << SaveFileFaults::Step::Flush << "Input/output error";
        QTest::newRow("rename refused") << SaveFileFaults::Step::Rename << "Permission denied";
    }

    void saveConfig_failingDisk_showsReasonAndKeepsConfig()
    {
        QFETCH(SaveFileFaults::Step, step);
        QFETCH(QString, reason);
        Application app(m_folder);
        frmIndex *index = loadProfile(app);
        QVERIFY(index);
        const QString config = m_folder + QStringLiteral("/game/small.cfg");
        QVERIFY(writeFile(config, oldConfig));
        SaveFileFaults::set(step, m_folder + QStringLiteral("/game"));
        Dialogs::queueFileName(config);
        index->mnuSaveConfig_Click();
        const QString shown = onlyWarning();
        QVERIFY2(shown.contains(reason) && shown.contains(config), qPrintable(shown));
        QCOMPARE(readFile(config), oldConfig);
        // The backup was written before the config failed.
        QCOMPARE(QDir(m_folder + QStringLiteral("/backups")).entryList(QDir::Files).size(), 1);

        SaveFileFaults::clear();
        Dialogs::queueFileName(config);
        index->mnuSaveConfig_Click();
        QCOMPARE(Dialogs::takeMessages().value(0).text, QStringLiteral("Config saved!"));
        QVERIFY(readFile(config) != oldConfig);
    }

    void saveConfig_backupCannotBeWritten_showsReasonAndNeverTouchesConfig()
    {
        Application app(m_folder);
        frmIndex *index = loadProfile(app);
        QVERIFY(index);
        const QString config = m_folder + QStringLiteral("/game/small.cfg");
        QVERIFY(writeFile(config, oldConfig));
        SaveFileFaults::set(SaveFileFaults::Step::DiskFull, m_folder + QStringLiteral("/backups"));
        Dialogs::queueFileName(config);
        index->mnuSaveConfig_Click();
        const QString shown = onlyWarning();
        QVERIFY2(shown.startsWith(QStringLiteral("The backup could not be written")) &&
                     shown.contains(QStringLiteral("No space left on device")),
                 qPrintable(shown));
        QCOMPARE(SaveFileFaults::attempts(), 1);
        QCOMPARE(readFile(config), oldConfig);
    }

    void optionToggle_failingDisk_showsReasonAndKeepsSettings()
    {
        Application app(m_folder);
        frmIndex *index = loadProfile(app);
        QVERIFY(index);
        const QByteArray before = readFile(m_settings);
        SaveFileFaults::set(SaveFileFaults::Step::Open, m_folder);
        index->toggleOption(1);
        const QString shown = onlyWarning();
        QVERIFY2(shown.contains(QStringLiteral("Permission denied")) && shown.contains(m_settings), qPrintable(shown));
        QCOMPARE(readFile(m_settings), before);
    }

    void connectionSettings_failingDisk_showsReasonAndStaysOpen()
    {
        ProgramState state;
        state.programFolder = m_folder;
        const QByteArray before = "upload|0\r\ndownload|0\r\n";
        QVERIFY(writeFile(m_settings, before));
        QPointer<frmPing> ping = new frmPing(state, nullptr, nullptr);
        ping->show();
        ping->findChild<QComboBox *>(QStringLiteral("cmbPreset"))->setCurrentIndex(7);
        SaveFileFaults::set(SaveFileFaults::Step::DiskFull, m_folder);
        ping->findChild<QPushButton *>(QStringLiteral("cmdSave"))->click();
        QTest::qWait(0);
        const QString shown = onlyWarning();
        QVERIFY2(shown.contains(QStringLiteral("No space left on device")), qPrintable(shown));
        QVERIFY(ping);
        QVERIFY(ping->isVisible());
        QCOMPARE(readFile(m_settings), before);
        QCOMPARE(state.uploadSpeed, 0);
        delete ping;
    }

    void messageBox_markupFromAProfile_isShownAsText()
    {
        // A connection rule's text reaches a message box; a link in it must stay text nobody can click.
        const QString text = QStringLiteral("rate = <a href=\"mailto:x@example.invalid\">click me</a> * 2");
        const auto box = Dialogs::messageBox(nullptr, QMessageBox::Critical, QStringLiteral("Error"), text);
        auto *label = box->findChild<QLabel *>(QStringLiteral("qt_msgbox_label"));
        QVERIFY(label);
        QCOMPARE(label->textFormat(), Qt::PlainText);
        QCOMPARE(label->text(), text);
    }
};

QTEST_MAIN(TestWindowFaults)
#include "tst_windowfaults.moc"
