#include "about/widgets/frmabout.h"
#include "app/savefile.h"
#include "app/widgets/frmlocation.h"
#include "app/widgets/palettecolours.h"
#include "programfolder.h"

#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMouseEvent>
#include <QRegularExpression>
#include <QScopeGuard>
#include <QTabBar>
#include <QTabWidget>
#include <QTest>
#include <QTextEdit>

using namespace Tunesmith;
using namespace Qt::StringLiterals;

namespace
{

template<typename T>
T *child(QObject *window, const char *name)
{
    return window->findChild<T *>(QLatin1String(name));
}

// A pointer movement as the window system reports it to widget.
void moveOver(QWidget *widget, QPoint at = {5, 5})
{
    QMouseEvent move(QEvent::MouseMove, QPointF(at), widget->mapToGlobal(QPointF(at)), Qt::NoButton, Qt::NoButton,
                     Qt::NoModifier);
    QApplication::sendEvent(widget, &move);
}

// A colour a style sheet gives for property ("color", "background-color").
QColor styleColour(const QWidget *widget, const char *property)
{
    const QRegularExpression pattern(u"(^|[ ;])%1: *(#[0-9a-fA-F]{6})"_s.arg(QLatin1String(property)));
    const QRegularExpressionMatch match = pattern.match(widget->styleSheet());
    return match.hasMatch() ? QColor(match.captured(2)) : QColor();
}

} // namespace

// The program's path as a player walks it: the start-up window, the install directory dialog, the main window's
// pages, description box and menus, what the windows write, or tell when the disk fails under a write, and the
// windows' own colours on a dark palette.
class TestMainPath : public QObject
{
    Q_OBJECT

private:
    std::unique_ptr<ProgramFolder> m_folder;

private Q_SLOTS:
    void init()
    {
        SaveFileFaults::clear();
        m_folder = std::make_unique<ProgramFolder>();
    }
    void cleanup()
    {
        SaveFileFaults::clear();
        m_folder.reset();
    }

    void firstStart_noProfiles_startsTheUpdaterOrSaysItCannot()
    {
        const QString folder = m_folder->path;
        for (const bool updaterStarts : {true, false}) {
            QDir(folder + u"/profiles"_s).removeRecursively();
            QFile::remove(m_folder->settings);
            Platform::setStartSucceeds(updaterStarts);
            Application app(folder);
            QVERIFY(!app.start());
            QVERIFY(!app.hasWindows());
            QVERIFY(QFileInfo(folder + u"/profiles"_s).isDir() && QFileInfo(folder + u"/backups"_s).isDir());
            QCOMPARE(readAll(m_folder->settings), QByteArray());
            QCOMPARE(readAll(folder + u"/version.cfg"_s), QByteArray("103\r\n"));
            QCOMPARE(Platform::takeStartedPrograms(), QStringList{folder + u"/Update.exe"_s});
            const auto messages = Dialogs::takeMessages();
            QCOMPARE(messages.size(), updaterStarts ? 0 : 1);
            if (!updaterStarts)
                QVERIFY(messages[0].text.contains(u"profiles"_s) && messages[0].text.contains(u"Update.exe"_s));
        }
    }

    void startup_deletesSmallProfilesAndListsTheRest()
    {
        const QString profiles = m_folder->path + u"/profiles/"_s;
        writeAll(profiles + u"Small.tsm"_s, QByteArray(512, 'x'));
        writeAll(profiles + u"Big.tsm"_s, QByteArray(513, 'x'));
        writeAll(profiles + u"Caps.TSM"_s, testProfile());
        writeAll(profiles + u"my.game.tsm"_s, testProfile());
        frmLoad *load = m_folder->start().loadWindow();
        auto *list = child<QListWidget>(load, "lstLoad");
        QStringList entries;
        for (int i = 0; i < list->count(); ++i)
            entries << list->item(i)->text();
        QCOMPARE(entries, (QStringList{u"Big"_s, u"my"_s, u"Test Game"_s}));
        QVERIFY(!QFile::exists(profiles + u"Small.tsm"_s));
    }

    void startWindow_showsEachEntry_locationDialogStoresForItsOwnProfile()
    {
        writeAll(m_folder->path + u"/profiles/Alpha.tsm"_s, testProfile("Alpha"));
        writeAll(m_folder->path + u"/profiles/Zeta.tsm"_s, QByteArray(600, '\n') + "[title]\nZeta\n");
        writeAll(m_folder->settings, "update|0\r\nTest Game.tsm|/games/test\r\n");
        Application &app = m_folder->start();
        frmLoad *load = app.loadWindow();
        auto *list = child<QListWidget>(load, "lstLoad");
        auto *installText = child<QLineEdit>(load, "txtInstallLocation");
        list->setCurrentRow(1);
        QCOMPARE(child<QLabel>(load, "lblGame")->text(), u"Game: Test Game"_s);
        QCOMPARE(child<QLabel>(load, "lblDate")->text(), u"Date: 1-2-2026"_s);
        QCOMPARE(child<QLabel>(load, "lblAuthor")->text(), u"Author: Tester"_s);
        QCOMPARE(installText->text(), u"/games/test"_s);
        // Zeta's file ends inside its title block: the directory Test Game had goes with it.
        list->setCurrentRow(2);
        QCOMPARE(Dialogs::takeMessages().size(), 1);
        QCOMPARE(app.state().installDir, QString());
        QCOMPARE(installText->text(), u"No Entry Found"_s);

        // Alpha has no directory: Load asks for it.
        list->setCurrentRow(0);
        QCOMPARE(installText->text(), u"No Entry Found"_s);
        load->cmdLoad_Click();
        QVERIFY(!app.indexWindow());
        frmLocation *location = app.locationWindow();
        QVERIFY(location && location->parentWidget() == load);
        QVERIFY(child<QLabel>(location, "lblLocation")->text().endsWith(u"for Alpha."_s));
        // The dialog is not modal: the player picks Test Game in the list, then saves the folder typed for Alpha.
        list->setCurrentRow(1);
        QCOMPARE(installText->text(), u"/games/test"_s);
        child<QLineEdit>(location, "txtNew")->setText(u"/games/my alpha  "_s);
        location->cmdSave_Click();
        QCOMPARE(readAll(m_folder->settings),
                 QByteArray("update|0\r\nTest Game.tsm|/games/test\r\nAlpha.tsm|/games/my alpha  \r\n"));
        QCOMPARE(installText->text(), u"/games/test"_s);
        QTRY_VERIFY(!app.locationWindow());

        // "Edit" for another entry while the dialog is open turns the dialog to that entry.
        load->cmdLocation_Click();
        list->setCurrentRow(0);
        load->cmdLocation_Click();
        location = app.locationWindow();
        QVERIFY(child<QLabel>(location, "lblLocation")->text().endsWith(u"Alpha."_s));
        QCOMPARE(child<QLineEdit>(location, "txtCurrent")->text(), u"/games/my alpha  "_s);
        child<QLineEdit>(location, "txtNew")->setText(u"/games/alpha"_s);
        location->cmdSave_Click();
        QCOMPARE(installText->text(), u"/games/alpha"_s);
    }

    void startWindow_showsAConfigFoundWhereAHintSays_andLoadStoresIt()
    {
        // The game keeps its config in the second hinted folder, under a home of the test's own.
        const QString found = m_folder->path + u"/home/.test/second"_s;
        QVERIFY(QDir().mkpath(found) && writeAll(found + u"/game.cfg"_s, "seta com_maxfps \"100\"\r\n"));
        writeAll(m_folder->path + u"/profiles/Test Game.tsm"_s,
                 testProfile().replace("\"value\"\r\n", "\"value\"\r\n[install hint]\r\n~/.test/first\r\n"
                                                        "[install hint]\r\n$HOME/.test/second\r\n"));
        const QByteArray oldHome = qgetenv("HOME");
        qputenv("HOME", QFile::encodeName(m_folder->path + u"/home"_s));
        Application &app = m_folder->start();
        qputenv("HOME", oldHome);
        auto *installText = child<QLineEdit>(app.loadWindow(), "txtInstallLocation");
        QCOMPARE(installText->text(), found);
        QVERIFY(installText->font().italic() && !installText->toolTip().isEmpty());
        QCOMPARE(readAll(m_folder->settings), QByteArray("update|0\r\n")); // not stored before the player loads
        app.loadWindow()->cmdLoad_Click();
        QCOMPARE(readAll(m_folder->settings), "update|0\r\nTest Game.tsm|" + found.toUtf8() + "\r\n");
        QCOMPARE(app.indexWindow()->profile()->text[0]->Value(), QByteArray("100"));
    }

    void load_buildsPagesControlsAndStartingValues()
    {
        writeAll(m_folder->config, "seta r_fullscreen \"0\"\nseta rate \"99\"\n");
        frmIndex *index = m_folder->load();
        QVERIFY(index);
        QCOMPARE(index->windowTitle(), u"Tunesmith | Test Game"_s);
        QCOMPARE(child<QLabel>(index, "lblStatus")->text(), u"Test Game | Last updated on 1-2-2026 by Tester"_s);
        QTabWidget *tabs = index->tabs();
        QCOMPARE(tabs->tabText(1), u"Network"_s);
        QCOMPARE(index->control(TweakKind::Simple, 1)->parentWidget(), tabs->widget(0));
        QCOMPARE(index->control(TweakKind::Text, 2)->parentWidget(), tabs->widget(1));
        QCOMPARE(index->profile()->simple[0]->Value(), QByteArray("0"));   // from the game config
        QCOMPARE(index->profile()->text[1]->Value(), QByteArray("10000")); // the rule, not the config's 99
    }

    void load_malformedProfile_namesLinesAndKeepsStartWindow()
    {
        const QString profile = m_folder->path + u"/profiles/Test Game.tsm"_s;
        writeAll(profile, testProfile() + "[add multi]\r\nx\r\na|b\r\n");
        QVERIFY(!m_folder->load());
        QVERIFY(m_folder->app->loadWindow());
        const auto messages = Dialogs::takeMessages();
        QCOMPARE(messages.size(), 1);
        QVERIFY2(messages[0].text.contains(u"Test Game.tsm:"_s), qPrintable(messages[0].text));
        QVERIFY(messages[0].text.contains(u"\"[add multi]\" needs 6 data lines; the file ends after 2"_s));

        // Many problems: the first twenty, and a count of the rest.
        writeAll(profile, testProfile() + QByteArray("[add simple]\r\nv\r\n1|1\r\nShort\r\nLong\r\n").repeated(25));
        m_folder->app->loadWindow()->cmdLoad_Click();
        const auto more = Dialogs::takeMessages();
        QCOMPARE(more.size(), 1);
        QCOMPARE(more[0].text.count(u"Test Game.tsm:"_s), 20);
        QVERIFY2(more[0].text.endsWith(u"... and 5 more"_s), qPrintable(more[0].text));
    }

    void load_longSection_opensOverflowPageWithCaptionAsWritten()
    {
        QByteArray lines = "[add tab]\r\nVideo & Sound\r\n";
        for (int i = 0; i < 50; ++i)
            lines += "[add simple]\r\nv" + QByteArray::number(i) + "\r\n1|1|0|0\r\nSwitch\r\nLong text\r\n";
        writeAll(m_folder->path + u"/profiles/Test Game.tsm"_s, lines);
        frmIndex *index = m_folder->load();
        QVERIFY(index);
        // Tab texts double "&", so the caption shows as written rather than as a shortcut.
        QCOMPARE(index->tabs()->tabText(1), u"Video && Sound (2)"_s);
    }

    void descriptionBox_followsThePointerOverCaptionsOnly()
    {
        frmIndex *index = m_folder->load();
        index->show();
        QVERIFY(QTest::qWaitForWindowExposed(index));
        auto *box = qobject_cast<QTextEdit *>(index->descriptionBox());
        QWidget *label = child<QWidget>(index->control(TweakKind::Simple, 1), "lblShortDescription");
        moveOver(label);
        QTRY_VERIFY(box->isVisible());
        QVERIFY(box->toPlainText().startsWith(u"cvar ~ r_fullscreen\n"_s));
        QVERIFY(box->toPlainText().contains(u"speed ~ 0\nquality ~ 1\ndescription ~ Runs"_s));
        // Beside the pointer, below and to the right while there is room.
        const QPoint pointer = label->mapTo(index->centralWidget(), QPoint(5, 5));
        QVERIFY(box->x() > pointer.x() && box->y() > pointer.y());

        // Over the bare page and over the strip of tab captions the box hides.
        moveOver(index->tabs()->widget(0), QPoint(600, 250));
        QTRY_VERIFY(box->isHidden());
        moveOver(label);
        QTRY_VERIFY(box->isVisible());
        moveOver(index->tabs()->tabBar());
        QTRY_VERIFY(box->isHidden());

        // Descriptions off: never shown.
        m_folder->action("mnuDescriptions")->trigger();
        moveOver(label, QPoint(6, 5));
        QVERIFY(box->isHidden());
        m_folder->action("mnuDescriptions")->trigger();

        // Another tweak refills the box; a ruled numeric tweak shows its rule's value.
        index->tabs()->setCurrentIndex(1);
        moveOver(child<QWidget>(index->control(TweakKind::Text, 2), "lblShortDescription"));
        QTRY_VERIFY(box->isVisible());
        QVERIFY(box->toPlainText().contains(u"cvar ~ rate\noptimized ~ 10000\n"_s));
    }

    void presetMenus_setEveryTweak()
    {
        frmIndex *index = m_folder->load();
        LoadedProfile *profile = index->profile();
        const std::pair<const char *, QByteArrayList> presets[] = {{"mnuDieHard", {"0", "2", "250"}},
                                                                   {"mnuHighQuality", {"1", "0", "60"}},
                                                                   {"mnuFPSBoost", {"0", "2", "125"}},
                                                                   {"mnuDefault", {"1", "1", "85"}}};
        for (const auto &[entry, values] : presets) {
            m_folder->action(entry)->trigger();
            QCOMPARE(
                (QByteArrayList{profile->simple[0]->Value(), profile->multi[0]->Value(), profile->text[0]->Value()}),
                values);
        }
    }

    void optionMenus_checkMarksFollowAndWriteTheSettingsFile_orTellWhyNot()
    {
        QVERIFY(m_folder->load("backups|0\r\npreview|1\r\n"));
        const ProgramState &state = m_folder->app->state();
        // As read at the start: Auto Update, Backups and Descriptions are on unless "0", Preview Changes only on "1".
        const std::pair<const char *, bool> options[] = {
            {"mnuAutoUpdate", false}, {"mnuBackups", false}, {"mnuDescriptions", true}, {"mnuPreview", true}};
        for (const auto &[option, checked] : options) {
            QCOMPARE(m_folder->action(option)->isChecked(), checked);
            m_folder->action(option)->trigger();
            QCOMPARE(m_folder->action(option)->isChecked(), !checked);
        }
        QVERIFY(state.autoUpdate && state.backups && !state.descriptions && !state.preview);

        // On a failing disk: the reason, and the settings as they were.
        const QByteArray settings = readAll(m_folder->settings);
        SaveFileFaults::set(SaveFileFaults::Step::Open, m_folder->path);
        m_folder->action("mnuBackups")->trigger();
        const auto shown = Dialogs::takeMessages();
        QVERIFY(shown.size() == 1 && shown[0].icon == QMessageBox::Warning);
        QVERIFY2(shown[0].text.contains(u"Permission denied"_s) && shown[0].text.contains(m_folder->settings),
                 qPrintable(shown[0].text));
        QCOMPARE(readAll(m_folder->settings), settings);
    }

    void loadGame_oldWindowKeepsItsOwnDirectory_thenPagesAreReplaced()
    {
        writeAll(m_folder->path + u"/profiles/Zeta.tsm"_s, testProfile("Zeta"));
        writeAll(m_folder->config, "seta r_fullscreen \"0\"\r\n");
        frmIndex *first = m_folder->load("Zeta.tsm|/games/zeta\r\n");
        Application &app = *m_folder->app;
        QPointer<frmIndex> firstPointer(first);
        m_folder->action("mnuLoadTSM")->trigger();
        frmLoad *load = app.loadWindow();
        QCOMPARE(load->parentWidget(), first);
        child<QListWidget>(load, "lstLoad")->setCurrentRow(1);
        QCOMPARE(app.state().currentProfile, u"Zeta.tsm"_s);
        QCOMPARE(app.state().installDir, u"/games/zeta"_s);

        // The player goes back to the first window to save: its own directory and backup names.
        Dialogs::takeFileDialogRequests();
        Dialogs::queueFileName(m_folder->config);
        first->mnuSaveConfig_Click();
        QCOMPARE(Dialogs::takeFileDialogRequests().value(0).folder, m_folder->path + u"/game"_s);
        QCOMPARE(Dialogs::takeMessages().value(0).text, u"Config saved!"_s);
        QVERIFY(QFile::exists(m_folder->path + u"/backups/Test Game 04-12 23-05 game"_s));

        load->cmdLoad_Click();
        QVERIFY(!firstPointer);
        QCOMPARE(app.indexWindow()->windowTitle(), u"Tunesmith | Zeta"_s);
        QTRY_VERIFY(!app.loadWindow());
    }

    void helpUpdate_startsUpdaterOrSaysItCannot()
    {
        frmIndex *index = m_folder->load();
        for (const bool starts : {false, true}) {
            Platform::setStartSucceeds(starts);
            m_folder->action("mnuUpdate")->trigger();
            QCOMPARE(Platform::takeStartedPrograms(), QStringList{m_folder->path + u"/Update.exe"_s});
            // No updater to start: the player is told, and keeps the window and its tweaks.
            const auto messages = Dialogs::takeMessages();
            QCOMPARE(messages.size(), starts ? 0 : 1);
            QVERIFY(starts || messages[0].text.contains(u"Update.exe"_s));
            QCOMPARE(m_folder->app->indexWindow(), starts ? nullptr : index);
        }
    }

    void saveConfig_cancelledOrOnAFailingDisk_keepsTheConfig_offersTheOneInTheInstallDirectory()
    {
        const QByteArray oldConfig = "// mine\r\nseta r_fullscreen \"1\"\r\n";
        writeAll(m_folder->config, oldConfig);
        frmIndex *index = m_folder->load();
        index->mnuSaveConfig_Click(); // nothing queued: the player cancels
        QVERIFY(Dialogs::takeMessages().isEmpty());
        QCOMPARE(readAll(m_folder->config), oldConfig);

        // The fault is injected at the program's one write routine, so it works even when the tests run as root.
        SaveFileFaults::set(SaveFileFaults::Step::Rename, m_folder->path + u"/game"_s);
        Dialogs::queueFileName(m_folder->config);
        index->mnuSaveConfig_Click();
        const auto shown = Dialogs::takeMessages();
        QVERIFY(shown.size() == 1 && shown[0].icon == QMessageBox::Warning);
        QVERIFY2(shown[0].text.contains(u"Permission denied"_s) && shown[0].text.contains(m_folder->config),
                 qPrintable(shown[0].text));
        QCOMPARE(readAll(m_folder->config), oldConfig);

        SaveFileFaults::clear();
        Dialogs::takeFileDialogRequests();
        Dialogs::queueFileName(m_folder->config);
        index->mnuSaveConfig_Click();
        const auto requests = Dialogs::takeFileDialogRequests();
        QVERIFY(requests.size() == 1 && requests[0].fileName == u"game.cfg"_s);
        QCOMPARE(requests[0].folder, m_folder->path + u"/game"_s);
        QCOMPARE(Dialogs::takeMessages().value(0).text, u"Config saved!"_s);
        QVERIFY(readAll(m_folder->config) != oldConfig);
    }

    void ruleError_fromAProfile_showsACriticalBoxWhoseMarkupIsText()
    {
        // A failing connection rule's text reaches a message box; a link in it must stay text nobody can click.
        writeAll(m_folder->path + u"/profiles/Test Game.tsm"_s,
                 testProfile().replace("ds/8", "<a href=\"mailto:x@example.invalid\">click me</a>*2"));
        QVERIFY(m_folder->load());
        const QList<Dialogs::ShownMessage> shown = Dialogs::takeMessages();
        QVERIFY(!shown.isEmpty()); // the rule is worked out more than once while the profile loads
        QCOMPARE(shown[0].icon, QMessageBox::Critical);
        QCOMPARE(shown[0].title, u"Error"_s);
        QVERIFY2(shown[0].text.contains(u"<a href="_s), qPrintable(shown[0].text));
        const auto box = Dialogs::messageBox(nullptr, shown[0].icon, shown[0].title, shown[0].text);
        auto *label = child<QLabel>(box.get(), "qt_msgbox_label");
        QVERIFY(label && label->textFormat() == Qt::PlainText);
        QCOMPARE(label->text(), shown[0].text);
    }

    void darkPalette_lockedBoxesOrangeTextsAndAboutLinksStayReadable()
    {
        const QPalette light = QApplication::palette();
        const auto restore = qScopeGuard([light] { QApplication::setPalette(light); });
        QPalette dark(QColor(60, 60, 60), QColor(53, 53, 53));
        dark.setColor(QPalette::Base, QColor(45, 45, 45)); // a dark theme's boxes, lighter than black
        QApplication::setPalette(dark);
        Application &app = m_folder->start();
        const auto *installDir = child<QLineEdit>(app.loadWindow(), "txtInstallLocation");
        const QColor grey = styleColour(installDir, "background-color");
        QVERIFY2(PaletteColours::contrast(grey, QColor(224, 224, 224)) > 3, "a light palette's grey glares here");
        QVERIFY(PaletteColours::contrast(styleColour(installDir, "color"), grey) >= 4.5);
        frmLocation location(app, nullptr);
        for (const char *name : {"txtCurrent", "txtNew"}) {
            const auto *box = child<QLineEdit>(&location, name);
            QColor background = styleColour(box, "background-color");
            if (!background.isValid())
                background = box->palette().color(QPalette::Base);
            const QColor text = styleColour(box, "color");
            QVERIFY2(PaletteColours::contrast(text, background) >= 4.5, name);
            QVERIFY2(qAbs(text.hslHue() - QColor(192, 64, 0).hslHue()) <= 2, name);
        }
        frmAbout about(app.state(), nullptr);
        for (const char *name : {"Label1", "lblSite", "lblEmail"}) {
            const QColor text = styleColour(child<QLabel>(&about, name), "color");
            QVERIFY2(text.isValid() && PaletteColours::contrast(text, about.palette().color(QPalette::Window)) >= 4.5,
                     name);
        }
    }
};

QTEST_MAIN(TestMainPath)
#include "tst_mainpath.moc"
