#include "app/widgets/frmping.h"
#include "editor/widgets/findbar.h"
#include "editor/widgets/managepresetsdialog.h"
#include "editor/widgets/tweakhistory.h"
#include "programfolder.h"
#include "tweaks/widgets/cvarsimple.h"
#include "tweaks/widgets/tweakparts.h"

#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMenu>
#include <QPushButton>
#include <QSignalSpy>
#include <QTabWidget>
#include <QTest>
#include <QTextEdit>
#include <QTimer>
#include <QTreeWidget>
#include <QUndoStack>

using namespace Tunesmith;
using namespace Qt::StringLiterals;

namespace
{

QByteArray comMaxFps(const char *value)
{
    return "seta com_maxfps \"" + QByteArray(value) + "\"\r\n";
}

} // namespace

// The main window's save preview, backup restore, undo and redo of tweak values, and search field.
class TestFeatures : public QObject
{
    Q_OBJECT

private:
    std::unique_ptr<ProgramFolder> m_folder;

private Q_SLOTS:
    void init() { m_folder = std::make_unique<ProgramFolder>(); }
    void cleanup() { m_folder.reset(); }

    void menus_onlyTheWindowsUndoAndRedoHaveKeys()
    {
        frmIndex *index = m_folder->load();
        for (const QAction *action : index->menuBar()->findChildren<QAction *>())
            QVERIFY2(action->shortcut().isEmpty(), qPrintable(action->objectName()));
        QCOMPARE(index->findChild<QAction *>(u"actUndo"_s)->shortcut(), QKeySequence(Qt::CTRL | Qt::Key_Z));
        QCOMPARE(index->findChild<QAction *>(u"actRedo"_s)->shortcuts().value(1), QKeySequence(u"Ctrl+Y"_s));
    }

    void previewDialog_listsOldAndNewLines_namesTheOneLineEndOfAMixedFile_cancelWritesNothing_saveWritesAfterABackup()
    {
        // The frame limit's line holds its value already, and ends as the first line does not.
        const QByteArray before = "seta r_fullscreen \"0\"\r\nseta com_maxfps \"85\"\n";
        writeAll(m_folder->config, before);
        frmIndex *index = m_folder->load("preview|1\r\n");
        index->profile()->simple[0]->clickButton(1);
        FeatureDialogs::setRecording(false);
        QStringList shown;
        QTimer::singleShot(0, this, [&] {
            QWidget *dialog = QApplication::activeModalWidget();
            QVERIFY(dialog && dialog->objectName() == QLatin1String("frmPreview"));
            shown << dialog->findChild<QLabel *>(u"lblPreview"_s)->text();
            const auto *list = dialog->findChild<QTreeWidget *>(u"lstChanges"_s);
            for (int i = 0; i < list->topLevelItemCount(); ++i)
                shown << list->topLevelItem(i)->text(0) + u" -> "_s + list->topLevelItem(i)->text(1);
            dialog->findChild<QPushButton *>(u"cmdCancel"_s)->click();
        });
        Dialogs::queueFileName(m_folder->config);
        index->mnuSaveConfig_Click();
        QCOMPARE(shown.size(), 4);
        QVERIFY2(shown[0].endsWith(u"The file mixes line ends; after the save every line ends in CR LF."_s),
                 qPrintable(shown[0]));
        QCOMPARE(shown.mid(1), (QStringList{u"seta r_fullscreen \"0\" -> seta r_fullscreen \"1\""_s,
                                            u"(added at the end) -> seta rate \"10000\""_s,
                                            u"(added at the end) -> seta r_picmip \"1\""_s}));
        QCOMPARE(readAll(m_folder->config), before);
        QVERIFY(QDir(m_folder->path + u"/backups"_s).isEmpty());
        QVERIFY(Dialogs::takeMessages().isEmpty());

        // Saved from the preview: what the player saw, after a backup.
        FeatureDialogs::setRecording(true);
        FeatureDialogs::queueSaveAnswer(true);
        Dialogs::queueFileName(m_folder->config);
        index->mnuSaveConfig_Click();
        const auto previews = FeatureDialogs::takeShown();
        QVERIFY(previews.size() == 1 && previews[0].path == m_folder->config);
        QCOMPARE(previews[0].changes.size(), 3); // the frame limit's line, unchanged but for its end, left out
        QCOMPARE(readAll(m_folder->config),
                 "seta r_fullscreen \"1\"\r\n" + comMaxFps("85") + "seta rate \"10000\"\r\nseta r_picmip \"1\"\r\n");
        // The backup holds the lines as they were, with the file's own (first) line end.
        QCOMPARE(readAll(m_folder->path + u"/backups/Test Game 04-12 23-05 game"_s),
                 "seta r_fullscreen \"0\"\r\n" + comMaxFps("85"));
        QCOMPARE(Dialogs::takeMessages().value(0).text, u"Config saved!"_s);
    }

    void restoreDialog_listsThisProfilesNewestFirst_showsEachDiff_restoresReloadsAndCanBeUndone()
    {
        const QString backups = m_folder->path + u"/backups/"_s;
        const QDateTime day(QDate(2026, 11, 30), QTime(9, 0));
        QDir().mkpath(backups);
        QVERIFY(writeAll(backups + u"Test Game 30-11 09-00 game"_s, comMaxFps("200"), day));
        QVERIFY(writeAll(backups + u"Test Game 01-12 09-00 game"_s, comMaxFps("120"), day.addDays(1)));
        QVERIFY(writeAll(backups + u"Other 02-12 09-00 game"_s, "x\r\n", day.addDays(2)));
        writeAll(m_folder->config, comMaxFps("120"));
        frmIndex *index = m_folder->load();
        FeatureDialogs::setRecording(false);
        QStringList shown;
        QTimer::singleShot(0, this, [&] {
            QWidget *dialog = QApplication::activeModalWidget();
            QVERIFY(dialog && dialog->objectName() == QLatin1String("frmRestore"));
            auto *list = dialog->findChild<QListWidget *>(u"lstBackups"_s);
            const auto *diff = dialog->findChild<QTextEdit *>(u"txtDiff"_s);
            for (int row = 0; row < list->count(); ++row) {
                list->setCurrentRow(row);
                shown << list->item(row)->text() << diff->toPlainText();
            }
            dialog->findChild<QPushButton *>(u"cmdRestore"_s)->click();
        });
        index->mnuRestoreBackup_Click();
        QCOMPARE(shown.size(), 4);
        QCOMPARE(shown[0], u"Test Game 01-12 09-00 game"_s);
        QVERIFY2(shown[1].startsWith(u"The backup holds the same lines"_s), qPrintable(shown[1]));
        QCOMPARE(shown[2], u"Test Game 30-11 09-00 game"_s);
        QVERIFY2(shown[3].contains(u"-seta com_maxfps \"120\"\n+seta com_maxfps \"200\""_s), qPrintable(shown[3]));
        QCOMPARE(readAll(m_folder->config), comMaxFps("200"));
        QCOMPARE(readAll(backups + u"Test Game 04-12 23-05 game"_s), comMaxFps("120"));
        QCOMPARE(index->profile()->text[0]->Value(), QByteArray("200"));
        QCOMPARE(Dialogs::takeMessages().value(0).text, u"Backup restored!"_s);

        // The tweaks go back; the file stays restored, as a save stays saved.
        index->undo();
        QCOMPARE(index->profile()->text[0]->Value(), QByteArray("120"));
        QCOMPARE(readAll(m_folder->config), comMaxFps("200"));
    }

    void undo_eachPlayerActionIsOneStep_theConnectionDialogsSaveToo()
    {
        const QString other = m_folder->path + u"/other.cfg"_s;
        writeAll(other, "seta r_picmip \"0\"\r\n" + comMaxFps("200"));
        frmIndex *index = m_folder->load();
        LoadedProfile *profile = index->profile();
        QUndoStack *stack = index->history()->stack();
        auto *simple = qobject_cast<cvarSimple *>(index->control(TweakKind::Simple, 1));
        simple->optCVar(0)->click(); // Off
        m_folder->action("mnuDieHard")->trigger();
        auto *list = index->control(TweakKind::Multi, 1)->findChild<QComboBox *>(u"cmbValue"_s);
        list->setCurrentIndex(0); // High
        Dialogs::queueFileName(other);
        index->mnuLoadConfig_Click();
        m_folder->action("mnuDieHard")->trigger(); // 250 again, over the loaded 200
        m_folder->action("mnuDieHard")->trigger(); // the same again: no step

        const auto values = [profile] {
            return QByteArrayList{profile->simple[0]->Value(), profile->multi[0]->Value(), profile->text[0]->Value()};
        };
        QCOMPARE(values(), (QByteArrayList{"0", "2", "250"}));
        const QByteArrayList undone[] = {{"0", "0", "200"}, // the second Die Hard FPS
                                         {"0", "0", "250"}, // Load Config
                                         {"0", "2", "250"}, // the pick
                                         {"0", "1", "85"},  // Die Hard FPS
                                         {"1", "1", "85"},  // the click
                                         {"1", "1", "85"}}; // nothing left
        for (const QByteArrayList &before : undone) {
            index->undo();
            QCOMPARE(values(), before);
        }
        QCOMPARE(list->currentIndex(), 1);
        QVERIFY(simple->optCVar(1)->isChecked());
        index->redo();
        index->redo();
        QCOMPARE(values(), (QByteArrayList{"0", "2", "250"}));
        QCOMPARE(list->currentIndex(), 2);
        // A new action drops what could have been redone.
        simple->optCVar(1)->click();
        QTRY_VERIFY(!stack->canRedo());

        // A save in the connection dialog is one step too: the ruled rate goes back, the stored speeds stay.
        m_folder->action("mnuPing")->trigger();
        frmPing *ping = m_folder->app->pingWindow();
        QVERIFY(ping);
        ping->findChild<QLineEdit *>(u"txtDSpeed"_s)->setText(u"160000"_s);
        ping->cmdSave_Click();
        QCOMPARE(profile->text[1]->Value(), QByteArray("20000"));
        QCOMPARE(stack->undoText(), u"Connection Settings"_s);
        index->undo();
        QCOMPARE(profile->text[1]->Value(), QByteArray("10000"));
        QCOMPARE(profile->text[1]->Default(), QByteArray("10000"));
        QCOMPARE(m_folder->app->state().downloadSpeed, 160000);
    }

    void undo_typingInOneBoxIsOneStep_ctrlZInTheBoxUndoesIt_aSaveEndsTheStep()
    {
        frmIndex *index = m_folder->load();
        QUndoStack *stack = index->history()->stack();
        index->show();
        QVERIFY(QTest::qWaitForWindowActive(index));
        auto *box = index->control(TweakKind::Text, 1)->findChild<QLineEdit *>(u"txtValue"_s);
        box->setFocus();
        QTRY_VERIFY(box->hasFocus());
        QTest::keyClick(box, Qt::Key_Home);
        QTest::keyClick(box, Qt::Key_1);
        QCOMPARE(index->profile()->text[0]->Value(), QByteArray("185"));
        QTRY_COMPARE(stack->count(), 1);
        QTest::keyClick(box, Qt::Key_End);
        QTest::keyClick(box, Qt::Key_Backspace); // 18, held at the minimum
        QTRY_COMPARE(index->profile()->text[0]->Value(), QByteArray("30"));
        QCOMPARE(stack->count(), 1);

        QTest::keyClick(box, Qt::Key_Z, Qt::ControlModifier);
        QCOMPARE(index->profile()->text[0]->Value(), QByteArray("85"));
        QCOMPARE(box->text(), u"85"_s);
        QTest::keyClick(box, Qt::Key_Y, Qt::ControlModifier);
        QCOMPARE(box->text(), u"30"_s);
        QTest::keyClick(box, Qt::Key_Z, Qt::ControlModifier | Qt::ShiftModifier);
        QCOMPARE(box->text(), u"30"_s); // nothing more to redo
        QTest::keyClick(box, Qt::Key_Z, Qt::ControlModifier);
        QCOMPARE(box->text(), u"85"_s);

        // Typing back what was there leaves nothing to undo.
        QTest::keyClick(box, Qt::Key_Home);
        QTest::keyClick(box, Qt::Key_1);
        QTRY_COMPARE(stack->index(), 1); // a step of its own, replacing the one undone
        QCOMPARE(stack->count(), 1);
        QTest::keyClick(box, Qt::Key_Home);
        QTest::keyClick(box, Qt::Key_Delete);
        QTRY_COMPARE(stack->count(), 0);
        QCOMPARE(box->text(), u"85"_s);

        // A save is a point of its own: typing after it starts a new step.
        QTest::keyClick(box, Qt::Key_End);
        QTest::keyClick(box, Qt::Key_1); // 851: bounded to 250
        QTRY_COMPARE(stack->count(), 1);
        Dialogs::queueFileName(m_folder->config);
        index->mnuSaveConfig_Click();
        QVERIFY(stack->isClean());
        QTest::keyClick(box, Qt::Key_Backspace);
        QTRY_COMPARE(stack->count(), 2);
        index->undo();
        QCOMPARE(box->text(), u"250"_s);
        QVERIFY(stack->isClean());
        QVERIFY(readAll(m_folder->config).contains(comMaxFps("250")));
    }

    void find_goesToMatchesAcrossPagesWithoutMovingAnything()
    {
        frmIndex *index = m_folder->load();
        index->show();
        QVERIFY(QTest::qWaitForWindowActive(index));
        const QRect tabsPlace = index->tabs()->geometry();
        const QRect statusPlace = index->findChild<QWidget *>(u"lblStatus"_s)->geometry();
        const QSize windowSize = index->size();

        QTest::keyClick(index, Qt::Key_F, Qt::ControlModifier);
        FindBar *bar = index->findBar();
        QTRY_VERIFY(bar->field()->hasFocus());
        QTest::keyClicks(bar->field(), u"RATE"_s);
        auto *count = bar->findChild<QLabel *>(u"lblFindCount"_s);
        QCOMPARE(count->text(), u"1 match"_s);
        QTest::keyClick(bar->field(), Qt::Key_Return);
        QCOMPARE(index->tabs()->currentIndex(), 1);
        QWidget *rate = index->control(TweakKind::Text, 2);
        QTRY_VERIFY(rate->isAncestorOf(QApplication::focusWidget()));
        auto *mark = rate->parentWidget()->findChild<QWidget *>(u"shpFound"_s);
        QVERIFY(mark && mark->isVisible());
        QVERIFY(mark->geometry().contains(rate->geometry()));
        QCOMPARE(count->text(), u"1 of 1"_s);
        QTRY_VERIFY_WITH_TIMEOUT(!rate->parentWidget()->findChild<QWidget *>(u"shpFound"_s), 4000);

        // "t" is in all four tweaks' texts: F3 and Shift+F3 walk them in page order, wrapping round.
        bar->field()->setText(u"t"_s);
        QCOMPARE(count->text(), u"4 matches"_s);
        QTest::keyClick(index, Qt::Key_F3);
        QCOMPARE(index->tabs()->currentIndex(), 0);
        QVERIFY(qobject_cast<cvarSimple *>(index->control(TweakKind::Simple, 1))->optCVar(1)->hasFocus());
        QTest::keyClick(index, Qt::Key_F3, Qt::ShiftModifier);
        QCOMPARE(index->tabs()->currentIndex(), 1);
        QCOMPARE(count->text(), u"4 of 4"_s);

        QTest::keyClick(index, Qt::Key_Escape);
        QVERIFY(bar->isHidden());
        QCOMPARE(index->tabs()->geometry(), tabsPlace);
        QCOMPARE(index->findChild<QWidget *>(u"lblStatus"_s)->geometry(), statusPlace);
        QCOMPARE(index->size(), windowSize);
    }
    void playerPresets_savedInTheGamesSyntax_appliedAsOneStep_renamedAndDeleted()
    {
        frmIndex *index = m_folder->load();
        LoadedProfile *profile = index->profile();
        profile->simple[0]->clickButton(0);
        profile->text[0]->setValue("90");
        Dialogs::queueText(u"Match"_s);
        m_folder->action("mnuSavePreset")->trigger();
        const QString presets = m_folder->path + u"/presets/Test Game/"_s;
        QCOMPARE(readAll(presets + u"Match.cfg"_s),
                 "seta r_fullscreen \"0\"\r\n" + comMaxFps("90") + "seta rate \"10000\"\r\nseta r_picmip \"1\"\r\n");
        // Names that are no plain file names are refused and say why.
        Dialogs::takeMessages();
        for (const QString &name : {u"../Match"_s, u" Match"_s, QString()}) {
            Dialogs::queueText(name);
            m_folder->action("mnuSavePreset")->trigger();
            QCOMPARE(Dialogs::takeMessages().value(1).icon, QMessageBox::Warning);
        }
        QCOMPARE(QDir(presets).entryList(QDir::Files), QStringList{u"Match.cfg"_s});

        // The Presets menu lists the player's presets when it opens.
        emit index->menuBar()->findChild<QMenu *>(u"mnuPresets"_s)->aboutToShow();
        m_folder->action("mnuDefault")->trigger();
        const int steps = index->history()->stack()->count();
        m_folder->action("mnuPlayerPreset")->trigger();
        QCOMPARE(profile->text[0]->Value(), QByteArray("90"));
        QCOMPARE(profile->simple[0]->Value(), QByteArray("0"));
        QCOMPARE(index->history()->stack()->count(), steps + 1);
        index->undo();
        QCOMPARE(profile->text[0]->Value(), QByteArray("85"));

        m_folder->action("mnuManagePresets")->trigger();
        auto *manage = index->findChild<ManagePresetsDialog *>();
        QVERIFY(manage);
        Dialogs::queueText(u"Streaming"_s);
        manage->cmdRename_Click();
        QCOMPARE(manage->findChild<QListWidget *>(u"lstPresets"_s)->item(0)->text(), u"Streaming"_s);
        Dialogs::queueAnswer(QMessageBox::Yes);
        manage->cmdDelete_Click();
        QCOMPARE(manage->findChild<QListWidget *>(u"lstPresets"_s)->count(), 0);
        QVERIFY(QDir(presets).isEmpty());
    }

    void changedTweaks_markedCountedAndFiltered_untilTheConfigIsSaved()
    {
        writeAll(m_folder->config, "seta r_fullscreen \"1\"\r\n");
        frmIndex *index = m_folder->load();
        auto *count = index->findChild<QLabel *>(u"lblChanged"_s);
        auto *simple = qobject_cast<cvarSimple *>(index->control(TweakKind::Simple, 1));
        QWidget *frameLimit = index->control(TweakKind::Text, 1);
        QVERIFY(count->isHidden() && !simple->isChanged());
        simple->optCVar(0)->click();
        QVERIFY(simple->isChanged() && !simple->accessibleDescription().isEmpty());
        QVERIFY(!count->isHidden());
        QCOMPARE(count->text(), u"1 changed"_s);

        // Only the changed tweak and its page stay; nothing moves.
        const QPoint at = simple->pos();
        index->setShowChangedOnly(true);
        QVERIFY(frameLimit->isHidden() && !simple->isHidden());
        QCOMPARE(simple->pos(), at);
        QVERIFY(index->tabs()->isTabVisible(0) && !index->tabs()->isTabVisible(1));
        simple->optCVar(1)->click(); // back to what the config holds
        QVERIFY(simple->isHidden() && count->isHidden());
        index->setShowChangedOnly(false);
        QVERIFY(!frameLimit->isHidden() && index->tabs()->isTabVisible(1));

        // A save makes the values the config's.
        m_folder->action("mnuFPSBoost")->trigger();
        QCOMPARE(count->text(), u"3 changed"_s);
        Dialogs::queueFileName(m_folder->config);
        index->mnuSaveConfig_Click();
        QVERIFY(count->isHidden() && !simple->isChanged());
    }

    void leaving_withUnsavedChanges_asksFirst_data()
    {
        QTest::addColumn<QString>("way");
        QTest::addColumn<int>("answer"); // NoButton: nothing is unsaved
        for (const char *way : {"mnuQuit", "close box", "mnuLoadTSM"}) {
            QTest::addRow("%s, nothing unsaved", way) << QString::fromLatin1(way) << int(QMessageBox::NoButton);
            QTest::addRow("%s, Cancel", way) << QString::fromLatin1(way) << int(QMessageBox::Cancel);
            QTest::addRow("%s, Discard", way) << QString::fromLatin1(way) << int(QMessageBox::Discard);
            QTest::addRow("%s, Save", way) << QString::fromLatin1(way) << int(QMessageBox::Save);
        }
    }

    void leaving_withUnsavedChanges_asksFirst()
    {
        QFETCH(QString, way);
        QFETCH(int, answer);
        frmIndex *index = m_folder->load();
        QSignalSpy ended(m_folder->app.get(), &Application::programEnded);
        if (answer != QMessageBox::NoButton) {
            index->profile()->text[0]->setValue("90");
            Dialogs::queueAnswer(QMessageBox::StandardButton(answer));
        }
        Dialogs::takeMessages();
        if (answer == QMessageBox::Save)
            Dialogs::queueFileName(m_folder->config);
        if (way == u"close box"_s) {
            index->show();
            index->close();
        } else {
            m_folder->action(way.toLatin1().constData())->trigger();
        }
        const QList<Dialogs::ShownMessage> shown = Dialogs::takeMessages();
        QCOMPARE(shown.value(0).text, answer == QMessageBox::NoButton ? QString() : u"Save changes to game.cfg?"_s);
        QCOMPARE(readAll(m_folder->config).contains("90"), answer == QMessageBox::Save);
        const bool left = answer != QMessageBox::Cancel;
        if (way == u"mnuLoadTSM"_s) {
            QCOMPARE(bool(m_folder->app->loadWindow()), left);
        } else {
            QTRY_COMPARE(m_folder->app->hasWindows(), !left);
            QTRY_COMPARE(ended.count(), int(left));
        }
        if (answer == QMessageBox::NoButton || (left && way != u"mnuLoadTSM"_s))
            return;
        // Cancel keeps the window as it was; with nothing unsaved, or for an update, nobody is asked.
        QCOMPARE(index->profile()->text[0]->Value(), QByteArray("90"));
        m_folder->app->UnloadAllWindows();
        QVERIFY(Dialogs::takeMessages().isEmpty());
    }
};

QTEST_MAIN(TestFeatures)
#include "tst_features.moc"
