#include "app/widgets/application.h"
#include "app/widgets/dialogs.h"
#include "app/widgets/frmload.h"
#include "app/widgets/frmlocation.h"
#include "app/widgets/platform.h"
#include "app/widgets/twips.h"
#include "editor/widgets/frmindex.h"
#include "testfiles.h"

#include <QAction>
#include <QApplication>
#include <QDir>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMenu>
#include <QMenuBar>
#include <QMouseEvent>
#include <QPushButton>
#include <QSignalSpy>
#include <QTabBar>
#include <QTabWidget>
#include <QTemporaryDir>
#include <QTest>
#include <QTextEdit>

using namespace Tunesmith;

namespace
{

// A small profile: two pages, a heading, one tweak of each kind and a ruled numeric tweak.
QByteArray smallProfile(const QByteArray &game = "Test Game")
{
    QByteArray text =
        "[title]\n" + game +
        "\n1-2-2026\nTester\n[syntax]\ngame.cfg\nseta cvar \"value\"\n[add tab]\nVideo\n[add label]\nDisplay\n"
        "[add simple]\nr_fullscreen\n1|1|0|0\nFull screen\nRuns the game in full screen.\n"
        "[add multi]\nr_picmip\nHigh|Medium|Low\n0|1|2\n1|0|2|2\nTexture detail\nHow sharp textures are.\n"
        "[add tab]\nNetwork\n[add text]\ncom_maxfps\n30|250\n85|60|125|250\nFrame limit\nMost frames a second.\n"
        "[add ping text]\nrate\n2500|25000\nds/8\nRate\nBytes a second the server may send.\n";
    return keptProfile(text);
}

QByteArray readFile(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

// A main window menu entry (the tweak controls' popup menus have entries of the same names).
QAction *action(frmIndex *window, const char *name)
{
    return window->menuBar()->findChild<QAction *>(QLatin1String(name));
}

// A pointer movement as the window system reports it to widget.
void moveOver(QWidget *widget, QPoint at)
{
    QMouseEvent move(QEvent::MouseMove, QPointF(at), widget->mapToGlobal(QPointF(at)), Qt::NoButton, Qt::NoButton,
                     Qt::NoModifier);
    QApplication::sendEvent(widget, &move);
}

} // namespace

class TestMainPath : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void init();
    void cleanup();

    void firstStart_noProfiles_createsFolderAndStartsUpdater();
    void firstStart_updaterMissing_tellsThePlayer();
    void startup_deletesSmallProfilesAndListsTheRest();
    void selection_showsTitleBlockAndInstallDir();
    void selection_unreadableTitle_keepsNoDirectoryOfTheEntryBefore();
    void loadWithoutInstallDir_opensLocationDialogWhichStoresTheTypedPath();
    void locationDialog_storesForItsOwnProfileWhileAnotherIsPicked();
    void load_buildsPagesControlsAndStartingValues();
    void load_malformedProfile_namesLineAndKeepsStartWindow();
    void longSection_opensOverflowPages();
    void descriptionBox_placedByPointerAndRefilledOnNewTweak();
    void presets_setEveryTweak();
    void saveConfig_newAndExistingFile_withBackup();
    void loadConfig_appliesValues();
    void optionToggles_writeSettingsFile();
    void loadGame_replacesThePages();
    void loadGame_thenAnotherPicked_oldWindowKeepsItsOwnDirectory();
    void quitAndCloseBox_endTheProgram();
    void helpUpdate_startsUpdaterOrSaysItCannot();

private:
    Application *startApp();
    frmIndex *loadFirstProfile(Application &app);
    frmIndex *startWithProfile()
    {
        writeAll(m_folder + QStringLiteral("/profiles/Test Game.tsm"), smallProfile());
        return loadFirstProfile(*startApp());
    }

    QTemporaryDir *m_dir = nullptr;
    QString m_folder;
};

void TestMainPath::init()
{
    m_dir = new QTemporaryDir;
    m_folder = m_dir->path();
    QDir(m_folder).mkdir(QStringLiteral("profiles"));
    Dialogs::setRecording(true);
    Dialogs::takeMessages();
    Dialogs::takeFileDialogRequests();
    Platform::setRecording(true);
    Platform::setStartSucceeds(true);
    Platform::takeStartedPrograms();
    Platform::takeOpenedLinks();
    // No update server is ever asked from a test.
    writeAll(m_folder + QStringLiteral("/config.cfg"), "update|0\r\n");
}

void TestMainPath::cleanup()
{
    delete m_dir;
    m_dir = nullptr;
}

Application *TestMainPath::startApp()
{
    auto *app = new Application(m_folder, this);
    app->start();
    return app;
}

frmIndex *TestMainPath::loadFirstProfile(Application &app)
{
    writeAll(m_folder + QStringLiteral("/config.cfg"), "update|0\r\nTest Game.tsm|" + m_folder.toUtf8() + "/game\r\n");
    app.loadWindow()->lstLoad_Click();
    app.loadWindow()->cmdLoad_Click();
    return app.indexWindow();
}

void TestMainPath::firstStart_noProfiles_createsFolderAndStartsUpdater()
{
    QDir(m_folder + QStringLiteral("/profiles")).removeRecursively();
    QFile::remove(m_folder + QStringLiteral("/config.cfg"));
    Application app(m_folder);
    QVERIFY(!app.start());
    QVERIFY(QFileInfo(m_folder + QStringLiteral("/profiles")).isDir());
    QVERIFY(QFileInfo(m_folder + QStringLiteral("/backups")).isDir());
    QCOMPARE(readFile(m_folder + QStringLiteral("/config.cfg")), QByteArray());
    QCOMPARE(readFile(m_folder + QStringLiteral("/version.cfg")), QByteArray("103\r\n"));
    QCOMPARE(Platform::takeStartedPrograms(), QStringList{m_folder + QStringLiteral("/Update.exe")});
    QVERIFY(Dialogs::takeMessages().isEmpty());
    QVERIFY(!app.hasWindows());
}

void TestMainPath::firstStart_updaterMissing_tellsThePlayer()
{
    Platform::setStartSucceeds(false);
    Application app(m_folder);
    QVERIFY(!app.start());
    const auto messages = Dialogs::takeMessages();
    QCOMPARE(messages.size(), 1);
    QVERIFY(messages[0].text.contains(QStringLiteral("profiles")));
    QVERIFY(messages[0].text.contains(QStringLiteral("Update.exe")));
}

void TestMainPath::startup_deletesSmallProfilesAndListsTheRest()
{
    const QString profiles = m_folder + QStringLiteral("/profiles/");
    writeAll(profiles + QStringLiteral("Small.tsm"), QByteArray(512, 'x'));
    writeAll(profiles + QStringLiteral("Big.tsm"), QByteArray(513, 'x'));
    writeAll(profiles + QStringLiteral("Caps.TSM"), smallProfile());
    writeAll(profiles + QStringLiteral("my.game.tsm"), smallProfile());
    Application *app = startApp();
    auto *list = app->loadWindow()->findChild<QListWidget *>(QStringLiteral("lstLoad"));
    QStringList entries;
    for (int i = 0; i < list->count(); ++i)
        entries << list->item(i)->text();
    QCOMPARE(entries, (QStringList{QStringLiteral("Big"), QStringLiteral("my")}));
    QVERIFY(!QFile::exists(profiles + QStringLiteral("Small.tsm")));
    QCOMPARE(list->currentRow(), 0);
    QCOMPARE(app->loadWindow()->windowTitle(), QStringLiteral("Load Game Profile"));
}

void TestMainPath::selection_showsTitleBlockAndInstallDir()
{
    writeAll(m_folder + QStringLiteral("/profiles/Test Game.tsm"), smallProfile());
    Application *app = startApp();
    frmLoad *load = app->loadWindow();
    QCOMPARE(load->findChild<QLabel *>(QStringLiteral("lblGame"))->text(), QStringLiteral("Game: Test Game"));
    QCOMPARE(load->findChild<QLabel *>(QStringLiteral("lblDate"))->text(), QStringLiteral("Date: 1-2-2026"));
    QCOMPARE(load->findChild<QLabel *>(QStringLiteral("lblAuthor"))->text(), QStringLiteral("Author: Tester"));
    QCOMPARE(load->findChild<QLineEdit *>(QStringLiteral("txtInstallLocation"))->text(),
             QStringLiteral("No Entry Found"));
    QCOMPARE(app->state().currentProfile, QStringLiteral("Test Game.tsm"));
}

void TestMainPath::selection_unreadableTitle_keepsNoDirectoryOfTheEntryBefore()
{
    writeAll(m_folder + QStringLiteral("/profiles/Test Game.tsm"), smallProfile());
    writeAll(m_folder + QStringLiteral("/config.cfg"), "update|0\r\nTest Game.tsm|/games/test\r\n");
    writeAll(m_folder + QStringLiteral("/profiles/Zeta.tsm"), QByteArray(600, '\n') + "[title]\nZeta\n");
    Application *app = startApp();
    auto *list = app->loadWindow()->findChild<QListWidget *>(QStringLiteral("lstLoad"));
    QCOMPARE(app->state().installDir, QStringLiteral("/games/test"));
    list->setCurrentRow(1);
    QCOMPARE(Dialogs::takeMessages().size(), 1);
    QCOMPARE(app->state().installDir, QString());
    QCOMPARE(app->loadWindow()->findChild<QLineEdit *>(QStringLiteral("txtInstallLocation"))->text(),
             QStringLiteral("No Entry Found"));
}

void TestMainPath::loadWithoutInstallDir_opensLocationDialogWhichStoresTheTypedPath()
{
    writeAll(m_folder + QStringLiteral("/profiles/Test Game.tsm"), smallProfile());
    writeAll(m_folder + QStringLiteral("/config.cfg"), "update|0\r\nOther Test Game.tsm|/x\r\n");
    Application *app = startApp();
    app->loadWindow()->cmdLoad_Click();
    QVERIFY(!app->indexWindow());
    frmLocation *location = app->locationWindow();
    QVERIFY(location);
    QVERIFY(location->parentWidget() == app->loadWindow());
    QVERIFY(location->findChild<QLabel *>(QStringLiteral("lblLocation"))
                ->text()
                .endsWith(QStringLiteral("for Test Game.")));
    location->findChild<QLineEdit *>(QStringLiteral("txtNew"))->setText(QStringLiteral("/games/my test  "));
    location->cmdSave_Click();
    QCOMPARE(readFile(m_folder + QStringLiteral("/config.cfg")),
             QByteArray("update|0\r\nOther Test Game.tsm|/x\r\nTest Game.tsm|/games/my test  \r\n"));
    QCOMPARE(app->loadWindow()->findChild<QLineEdit *>(QStringLiteral("txtInstallLocation"))->text(),
             QStringLiteral("/games/my test  "));
    QTRY_VERIFY(!app->locationWindow());
}

void TestMainPath::locationDialog_storesForItsOwnProfileWhileAnotherIsPicked()
{
    writeAll(m_folder + QStringLiteral("/profiles/Alpha.tsm"), smallProfile("Alpha"));
    writeAll(m_folder + QStringLiteral("/profiles/Beta.tsm"), smallProfile("Beta"));
    writeAll(m_folder + QStringLiteral("/config.cfg"), "update|0\r\nBeta.tsm|/games/beta\r\n");
    Application *app = startApp();
    frmLoad *load = app->loadWindow();
    auto *list = load->findChild<QListWidget *>(QStringLiteral("lstLoad"));
    QCOMPARE(list->item(0)->text(), QStringLiteral("Alpha"));
    load->cmdLocation_Click();
    frmLocation *location = app->locationWindow();
    QVERIFY(location);

    // The dialog is not modal: the player picks Beta in the list, then saves the folder typed for Alpha.
    list->setCurrentRow(1);
    auto *installText = load->findChild<QLineEdit *>(QStringLiteral("txtInstallLocation"));
    QCOMPARE(installText->text(), QStringLiteral("/games/beta"));
    QVERIFY(location->findChild<QLabel *>(QStringLiteral("lblLocation"))->text().endsWith(QStringLiteral("Alpha.")));
    location->findChild<QLineEdit *>(QStringLiteral("txtNew"))->setText(QStringLiteral("/games/alpha"));
    location->cmdSave_Click();
    QCOMPARE(readFile(m_folder + QStringLiteral("/config.cfg")),
             QByteArray("update|0\r\nBeta.tsm|/games/beta\r\nAlpha.tsm|/games/alpha\r\n"));
    QCOMPARE(app->state().installDir, QStringLiteral("/games/beta"));
    QCOMPARE(installText->text(), QStringLiteral("/games/beta"));
    QTRY_VERIFY(!app->locationWindow());

    // "Edit" for another entry while the dialog is open turns the dialog to that entry.
    load->cmdLocation_Click();
    list->setCurrentRow(0);
    load->cmdLocation_Click();
    location = app->locationWindow();
    QVERIFY(location->findChild<QLabel *>(QStringLiteral("lblLocation"))->text().endsWith(QStringLiteral("Alpha.")));
    QCOMPARE(location->findChild<QLineEdit *>(QStringLiteral("txtCurrent"))->text(), QStringLiteral("/games/alpha"));
}

void TestMainPath::load_buildsPagesControlsAndStartingValues()
{
    writeAll(m_folder + QStringLiteral("/profiles/Test Game.tsm"), smallProfile());
    QDir(m_folder).mkdir(QStringLiteral("game"));
    writeAll(m_folder + QStringLiteral("/game/game.cfg"), "seta r_fullscreen \"0\"\nseta rate \"99\"\n");
    Application *app = startApp();
    app->state().downloadSpeed = 80000;
    frmIndex *index = loadFirstProfile(*app);
    QVERIFY(index);
    QTRY_VERIFY(!app->loadWindow());
    QCOMPARE(index->windowTitle(), QStringLiteral("Tunesmith | Test Game"));
    QCOMPARE(index->findChild<QLabel *>(QStringLiteral("lblStatus"))->text(),
             QStringLiteral("Test Game | Last updated on 1-2-2026 by Tester"));
    QTabWidget *tabs = index->tabs();
    QCOMPARE(tabs->count(), 2);
    QCOMPARE(tabs->tabText(0), QStringLiteral("Video"));
    QCOMPARE(tabs->currentIndex(), 0);
    LoadedProfile *profile = index->profile();
    QCOMPARE(profile->simple[0]->Value(), QByteArray("0"));   // from the game config
    QCOMPARE(profile->text[1]->Value(), QByteArray("10000")); // the rule, not the config's 99
    // The heading sits at the first row; the tweak below it.
    QWidget *simple = index->control(TweakKind::Simple, 1);
    QCOMPARE(simple->parentWidget(), tabs->widget(0));
    QCOMPARE(simple->pos(), QPoint(px(200), px(770 + 320 - 520)));
}

void TestMainPath::load_malformedProfile_namesLineAndKeepsStartWindow()
{
    QByteArray bad = smallProfile();
    bad += "[add multi]\r\nx\r\na|b\r\n";
    writeAll(m_folder + QStringLiteral("/profiles/Test Game.tsm"), bad);
    Application *app = startApp();
    loadFirstProfile(*app);
    QVERIFY(!app->indexWindow());
    QVERIFY(app->loadWindow());
    const auto messages = Dialogs::takeMessages();
    QCOMPARE(messages.size(), 1);
    QVERIFY2(messages[0].text.contains(QStringLiteral("Test Game.tsm:")), qPrintable(messages[0].text));
    QVERIFY(messages[0].text.contains(QStringLiteral("\"[add multi]\" needs 6 data lines; the file ends after 2")));

    // Many problems: the first twenty, and a count of the rest.
    QByteArray many = smallProfile();
    for (int i = 0; i < 25; ++i)
        many += "[add simple]\r\nv\r\n1|1\r\nShort\r\nLong\r\n";
    writeAll(m_folder + QStringLiteral("/profiles/Test Game.tsm"), many);
    app->loadWindow()->cmdLoad_Click();
    const auto more = Dialogs::takeMessages();
    QCOMPARE(more.size(), 1);
    QCOMPARE(more[0].text.count(QStringLiteral("Test Game.tsm:")), 20);
    QVERIFY2(more[0].text.endsWith(QStringLiteral("... and 5 more")), qPrintable(more[0].text));
}

void TestMainPath::longSection_opensOverflowPages()
{
    QByteArray lines = "[add tab]\r\nVideo & Sound\r\n";
    for (int i = 0; i < 50; ++i)
        lines += "[add simple]\r\nv" + QByteArray::number(i) + "\r\n1|1|0|0\r\nSwitch\r\nLong text\r\n";
    writeAll(m_folder + QStringLiteral("/profiles/Test Game.tsm"), lines);
    Application *app = startApp();
    frmIndex *index = loadFirstProfile(*app);
    QVERIFY(index);
    QCOMPARE(index->tabs()->count(), 2);
    // Tab texts double "&", so the caption shows as written rather than as a shortcut.
    QCOMPARE(index->tabs()->tabText(1), QStringLiteral("Video && Sound (2)"));
    QCOMPARE(index->control(TweakKind::Simple, 50)->parentWidget(), index->tabs()->widget(1));
}

void TestMainPath::descriptionBox_placedByPointerAndRefilledOnNewTweak()
{
    frmIndex *index = startWithProfile();
    index->show();
    QVERIFY(QTest::qWaitForWindowExposed(index));
    auto *box = qobject_cast<QTextEdit *>(index->descriptionBox());
    QWidget *simple = index->control(TweakKind::Simple, 1);
    QWidget *label = simple->findChild<QWidget *>(QStringLiteral("lblShortDescription"));
    moveOver(label, QPoint(5, 5));
    QTRY_VERIFY(box->isVisible());
    QVERIFY(box->toPlainText().startsWith(QStringLiteral("cvar ~ r_fullscreen\n")));
    QVERIFY(box->toPlainText().contains(QStringLiteral("speed ~ 0\nquality ~ 1\ndescription ~ Runs")));
    const QPoint pointer = label->mapTo(index->centralWidget(), QPoint(5, 5));
    QCOMPARE(box->pos(), QPoint(pointer.x() + px(200), pointer.y() + px(300)));

    // Over the bare page the box hides.
    moveOver(index->tabs()->widget(0), QPoint(600, 250));
    QTRY_VERIFY(box->isHidden());
    // So does it over the strip of tab captions.
    moveOver(label, QPoint(5, 5));
    QTRY_VERIFY(box->isVisible());
    moveOver(index->tabs()->tabBar(), QPoint(5, 5));
    QTRY_VERIFY(box->isHidden());

    // Descriptions off: never shown.
    action(index, "mnuDescriptions")->trigger();
    moveOver(label, QPoint(6, 5));
    QVERIFY(box->isHidden());
    action(index, "mnuDescriptions")->trigger();

    // Another tweak refills the box; a ruled numeric tweak shows its bounded rule value.
    index->tabs()->setCurrentIndex(1);
    QWidget *ruled = index->control(TweakKind::Text, 2);
    QWidget *ruledLabel = ruled->findChild<QWidget *>(QStringLiteral("lblShortDescription"));
    moveOver(ruledLabel, QPoint(5, 5));
    QTRY_VERIFY(box->isVisible());
    QVERIFY(box->toPlainText().contains(QStringLiteral("cvar ~ rate\noptimized ~ 2500\n")));
}

void TestMainPath::presets_setEveryTweak()
{
    frmIndex *index = startWithProfile();
    LoadedProfile *profile = index->profile();
    action(index, "mnuDieHard")->trigger();
    QCOMPARE(profile->simple[0]->Value(), QByteArray("0"));
    QCOMPARE(profile->multi[0]->Value(), QByteArray("2"));
    QCOMPARE(profile->text[0]->Value(), QByteArray("250"));
    action(index, "mnuHighQuality")->trigger();
    QCOMPARE(profile->simple[0]->Value(), QByteArray("1"));
    QCOMPARE(profile->multi[0]->Value(), QByteArray("0"));
    QCOMPARE(profile->text[0]->Value(), QByteArray("60"));
    action(index, "mnuFPSBoost")->trigger();
    QCOMPARE(profile->text[0]->Value(), QByteArray("125"));
    action(index, "mnuDefault")->trigger();
    QCOMPARE(profile->multi[0]->Value(), QByteArray("1"));
    QCOMPARE(profile->text[0]->Value(), QByteArray("85"));
}

void TestMainPath::saveConfig_newAndExistingFile_withBackup()
{
    frmIndex *index = startWithProfile();
    index->setClock(std::make_unique<FixedClock>(QDateTime(QDate(2026, 12, 4), QTime(23, 5, 41))));
    const QString config = m_folder + QStringLiteral("/game/game.cfg");
    QDir(m_folder).mkdir(QStringLiteral("game"));

    index->mnuSaveConfig_Click(); // nothing queued: the player cancels
    QVERIFY(Dialogs::takeMessages().isEmpty());
    QVERIFY(!QFile::exists(config));
    Dialogs::takeFileDialogRequests();

    Dialogs::queueFileName(config);
    index->mnuSaveConfig_Click();
    const auto requests = Dialogs::takeFileDialogRequests();
    QCOMPARE(requests.size(), 1);
    QCOMPARE(requests[0].folder, m_folder + QStringLiteral("/game"));
    QCOMPARE(requests[0].fileName, QStringLiteral("game.cfg"));
    QCOMPARE(requests[0].filters,
             (QStringList{QStringLiteral("game.cfg (game.cfg)"), QStringLiteral("cfg files (*.cfg)")}));
    QCOMPARE(readFile(config), QByteArray("seta r_fullscreen \"1\"\r\nseta com_maxfps \"85\"\r\nseta rate \"2500\"\r\n"
                                          "seta r_picmip \"1\"\r\n"));
    QCOMPARE(Dialogs::takeMessages().value(0).text, QStringLiteral("Config saved!"));
    QVERIFY(QDir(m_folder + QStringLiteral("/backups")).isEmpty());

    writeAll(config, "// mine\nseta r_fullscreen \"1\"\n\nbind x y\n");
    index->profile()->simple[0]->clickButton(0);
    Dialogs::queueFileName(config);
    index->mnuSaveConfig_Click();
    QCOMPARE(readFile(config), QByteArray("// mine\nseta r_fullscreen \"0\"\n\nbind x y\nseta com_maxfps \"85\"\n"
                                          "seta rate \"2500\"\nseta r_picmip \"1\"\n"));
    QCOMPARE(readFile(m_folder + QStringLiteral("/backups/Test Game 04-12 23-05 game")),
             QByteArray("// mine\nseta r_fullscreen \"1\"\nbind x y\n"));
    QCOMPARE(Dialogs::takeMessages().value(0).text, QStringLiteral("Config saved!"));
}

void TestMainPath::loadConfig_appliesValues()
{
    frmIndex *index = startWithProfile();
    const QString other = m_folder + QStringLiteral("/other.cfg");
    writeAll(other, "seta r_picmip \"2\"\r\nseta com_maxfps \"999\"\r\nseta r_fullscreenx \"0\"\r\n");
    Dialogs::queueFileName(other);
    index->mnuLoadConfig_Click();
    QCOMPARE(index->profile()->multi[0]->Value(), QByteArray("2"));
    QCOMPARE(index->profile()->text[0]->Value(), QByteArray("250")); // bounded by the control
    QCOMPARE(index->profile()->simple[0]->Value(), QByteArray("1"));
    Dialogs::queueFileName(m_folder + QStringLiteral("/missing.cfg"));
    index->mnuLoadConfig_Click();
    QVERIFY(Dialogs::takeMessages().isEmpty());
}

void TestMainPath::optionToggles_writeSettingsFile()
{
    writeAll(m_folder + QStringLiteral("/profiles/Test Game.tsm"), smallProfile());
    Application *app = startApp();
    frmIndex *index = loadFirstProfile(*app);
    QVERIFY(!action(index, "mnuAutoUpdate")->isChecked());
    QVERIFY(action(index, "mnuBackups")->isChecked());
    action(index, "mnuBackups")->trigger();
    QVERIFY(!action(index, "mnuBackups")->isChecked());
    QVERIFY(!app->state().backups);
    action(index, "mnuBackups")->trigger();
    action(index, "mnuAutoUpdate")->trigger();
    QCOMPARE(readFile(m_folder + QStringLiteral("/config.cfg")),
             "update|1\r\nTest Game.tsm|" + m_folder.toUtf8() + "/game\r\nbackups|1\r\n");
}

void TestMainPath::loadGame_replacesThePages()
{
    writeAll(m_folder + QStringLiteral("/profiles/Test Game.tsm"), smallProfile());
    writeAll(m_folder + QStringLiteral("/profiles/Zeta.tsm"), smallProfile("Zeta"));
    Application *app = startApp();
    frmIndex *first = loadFirstProfile(*app);
    QPointer<frmIndex> firstPointer(first);
    action(first, "mnuLoadTSM")->trigger();
    frmLoad *load = app->loadWindow();
    QVERIFY(load);
    QCOMPARE(load->parentWidget(), first);
    auto *list = load->findChild<QListWidget *>(QStringLiteral("lstLoad"));
    list->setCurrentRow(1);
    QCOMPARE(app->state().currentProfile, QStringLiteral("Zeta.tsm"));
    app->state().installDir = m_folder;
    load->cmdLoad_Click();
    QVERIFY(!firstPointer);
    QVERIFY(app->indexWindow());
    QCOMPARE(app->indexWindow()->windowTitle(), QStringLiteral("Tunesmith | Zeta"));
    QTRY_VERIFY(!app->loadWindow());
}

void TestMainPath::loadGame_thenAnotherPicked_oldWindowKeepsItsOwnDirectory()
{
    writeAll(m_folder + QStringLiteral("/profiles/Test Game.tsm"), smallProfile());
    writeAll(m_folder + QStringLiteral("/profiles/Zeta.tsm"), smallProfile("Zeta"));
    Application *app = startApp();
    frmIndex *index = loadFirstProfile(*app);
    index->setClock(std::make_unique<FixedClock>(QDateTime(QDate(2026, 12, 4), QTime(23, 5, 41))));
    QDir(m_folder).mkdir(QStringLiteral("game"));
    const QString config = m_folder + QStringLiteral("/game/game.cfg");
    writeAll(config, "seta r_fullscreen \"0\"\r\n");
    const QString settings = m_folder + QStringLiteral("/config.cfg");
    writeAll(settings, readFile(settings) + "Zeta.tsm|/games/zeta\r\n");

    // "Load Game", Zeta picked, and the player goes back to the first window to save.
    action(index, "mnuLoadTSM")->trigger();
    app->loadWindow()->findChild<QListWidget *>(QStringLiteral("lstLoad"))->setCurrentRow(1);
    QCOMPARE(app->state().installDir, QStringLiteral("/games/zeta"));
    Dialogs::takeFileDialogRequests();
    Dialogs::queueFileName(config);
    index->mnuSaveConfig_Click();
    QCOMPARE(Dialogs::takeFileDialogRequests().value(0).folder, m_folder + QStringLiteral("/game"));
    QCOMPARE(Dialogs::takeMessages().value(0).text, QStringLiteral("Config saved!"));
    QVERIFY(QFile::exists(m_folder + QStringLiteral("/backups/Test Game 04-12 23-05 game")));
    QCOMPARE(app->state().currentProfile, QStringLiteral("Zeta.tsm"));
}

void TestMainPath::quitAndCloseBox_endTheProgram()
{
    writeAll(m_folder + QStringLiteral("/profiles/Test Game.tsm"), smallProfile());
    {
        Application *app = startApp();
        QSignalSpy ended(app, &Application::programEnded);
        frmIndex *index = loadFirstProfile(*app);
        action(index, "mnuQuit")->trigger();
        QVERIFY(!app->hasWindows());
        QVERIFY(!app->indexWindow());
        QTRY_COMPARE(ended.count(), 1);
    }
    {
        Application *app = startApp();
        QSignalSpy ended(app, &Application::programEnded);
        frmIndex *index = loadFirstProfile(*app);
        index->show();
        index->close();
        QTRY_VERIFY(!app->hasWindows());
        QTRY_COMPARE(ended.count(), 1);
    }
}

void TestMainPath::helpUpdate_startsUpdaterOrSaysItCannot()
{
    writeAll(m_folder + QStringLiteral("/profiles/Test Game.tsm"), smallProfile());
    Application *app = startApp();
    frmIndex *index = loadFirstProfile(*app);
    Platform::takeStartedPrograms();

    // No updater to start: the player is told, and keeps the window and its tweaks.
    Platform::setStartSucceeds(false);
    action(index, "mnuUpdate")->trigger();
    const auto messages = Dialogs::takeMessages();
    QCOMPARE(messages.size(), 1);
    QVERIFY(messages[0].text.contains(QStringLiteral("Update.exe")));
    QCOMPARE(app->indexWindow(), index);
    QCOMPARE(Platform::takeStartedPrograms(), QStringList{m_folder + QStringLiteral("/Update.exe")});

    Platform::setStartSucceeds(true);
    action(index, "mnuUpdate")->trigger();
    QCOMPARE(Platform::takeStartedPrograms(), QStringList{m_folder + QStringLiteral("/Update.exe")});
    QVERIFY(Dialogs::takeMessages().isEmpty());
    QVERIFY(!app->indexWindow());
}

QTEST_MAIN(TestMainPath)
#include "tst_mainpath.moc"
