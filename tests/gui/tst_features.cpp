#include "app/widgets/application.h"
#include "app/widgets/dialogs.h"
#include "app/widgets/frmload.h"
#include "app/widgets/frmping.h"
#include "app/widgets/platform.h"
#include "editor/widgets/featuredialogs.h"
#include "editor/widgets/findbar.h"
#include "editor/widgets/frmindex.h"
#include "editor/widgets/tweakhistory.h"
#include "testfiles.h"
#include "tweaks/widgets/cvarmulti.h"
#include "tweaks/widgets/cvarsimple.h"
#include "tweaks/widgets/tweakparts.h"

#include <QAction>
#include <QApplication>
#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMenu>
#include <QMenuBar>
#include <QPushButton>
#include <QTabWidget>
#include <QTemporaryDir>
#include <QTest>
#include <QTextEdit>
#include <QTimer>
#include <QTreeWidget>
#include <QUndoStack>

using namespace Tunesmith;

namespace
{

// Two pages: an on/off, a list and a numeric tweak on "Video", a ruled numeric tweak on "Network".
QByteArray smallProfile()
{
    QByteArray text =
        "[title]\nTest Game\n1-2-2026\nTester\n[syntax]\ngame.cfg\nseta cvar \"value\"\n[add tab]\nVideo\n"
        "[add simple]\nr_fullscreen\n1|1|0|0\nFull screen\nRuns the game in full screen.\n"
        "[add multi]\nr_picmip\nHigh|Medium|Low\n0|1|2\n1|0|2|2\nTexture detail\nHow sharp textures are.\n"
        "[add text]\ncom_maxfps\n30|250\n85|60|125|250\nFrame limit\nMost frames a second.\n"
        "[add tab]\nNetwork\n[add ping text]\nrate\n2500|25000\nds/8\nRate\nBytes a second the server may send.\n";
    return keptProfile(text);
}

bool writeFile(const QString &path, const QByteArray &bytes, const QDateTime &written = {})
{
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly) || file.write(bytes) != bytes.size() || !file.flush())
        return false;
    return !written.isValid() || file.setFileTime(written, QFileDevice::FileModificationTime);
}

QByteArray readFile(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("(missing)");
}

QStringList actionNames(const QMenu *menu)
{
    QStringList names;
    for (const QAction *action : menu->actions())
        names << action->objectName();
    return names;
}

} // namespace

class TestFeatures : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void init();
    void cleanup();

    void menus_keepTheirEntriesAndAddAfterThem();
    void previewOption_checkMarkFollowsSettingsAndIsStored();
    void previewOn_cancelWritesNothing_saveWritesWhatWasShown();
    void previewOff_savesWithoutAsking();
    void previewOfMixedLineEnds_saysTheyBecomeOne();
    void previewDialog_listsOldAndNewLines_cancelButtonCancels();
    void restore_listsNewestFirst_restoresReloadsAndCanBeUndone();
    void restoreDialog_showsDiffOfSelectedBackup_restoreButtonChoosesIt();
    void undo_eachPlayerActionIsOneStep();
    void undo_typingInOneBoxIsOneStep_andCtrlZInTheBoxUndoesIt();
    void undo_connectionDialogSaveIsOneStep();
    void undo_saveIsAPointTypingStartsAfresh();
    void find_goesToMatchesAcrossPagesWithoutMovingAnything();

private:
    frmIndex *start(const QByteArray &settings = QByteArray());
    void writeBackups(const QList<std::pair<QString, QByteArray>> &oldestFirst);
    QLineEdit *focusFrameLimitBox(frmIndex *index);

    QTemporaryDir *m_dir = nullptr;
    QString m_folder;
    QString m_config;
    Application *m_app = nullptr;
};

void TestFeatures::init()
{
    m_dir = new QTemporaryDir;
    m_folder = m_dir->path();
    m_config = m_folder + QStringLiteral("/game/game.cfg");
    QDir(m_folder).mkpath(QStringLiteral("profiles"));
    QDir(m_folder).mkpath(QStringLiteral("game"));
    QVERIFY(writeFile(m_folder + QStringLiteral("/profiles/Test Game.tsm"), smallProfile()));
    Dialogs::setRecording(true);
    Dialogs::takeMessages();
    Dialogs::takeFileDialogRequests();
    FeatureDialogs::setRecording(true);
    FeatureDialogs::takeShown();
    Platform::setRecording(true);
}

void TestFeatures::cleanup()
{
    delete m_app;
    m_app = nullptr;
    delete m_dir;
    m_dir = nullptr;
}

frmIndex *TestFeatures::start(const QByteArray &settings)
{
    // No update server is ever asked from a test.
    writeFile(m_folder + QStringLiteral("/config.cfg"),
              "update|0\r\ndownload|80000\r\nTest Game.tsm|" + m_folder.toUtf8() + "/game\r\n" + settings);
    m_app = new Application(m_folder);
    m_app->start();
    m_app->loadWindow()->lstLoad_Click();
    m_app->loadWindow()->cmdLoad_Click();
    return m_app->indexWindow();
}

// Backups a day apart, from 30 November 2026 on.
void TestFeatures::writeBackups(const QList<std::pair<QString, QByteArray>> &oldestFirst)
{
    QDir().mkpath(m_folder + QStringLiteral("/backups"));
    const QDateTime day(QDate(2026, 11, 30), QTime(9, 0));
    for (qsizetype i = 0; i < oldestFirst.size(); ++i)
        QVERIFY(writeFile(m_folder + QStringLiteral("/backups/") + oldestFirst[i].first, oldestFirst[i].second,
                          day.addDays(i)));
}

// The frame limit's box, focused in the shown window.
QLineEdit *TestFeatures::focusFrameLimitBox(frmIndex *index)
{
    index->show();
    if (!QTest::qWaitForWindowActive(index))
        return nullptr;
    auto *box = index->control(TweakKind::Text, 1)->findChild<QLineEdit *>(QStringLiteral("txtValue"));
    box->setFocus();
    return QTest::qWaitFor([box] { return box->hasFocus(); }) ? box : nullptr;
}

void TestFeatures::menus_keepTheirEntriesAndAddAfterThem()
{
    frmIndex *index = start();
    QVERIFY(index);
    QCOMPARE(actionNames(index->menuBar()->findChild<QAction *>(QStringLiteral("mnuSave"))->menu()),
             (QStringList{QStringLiteral("mnuSaveConfig"), QStringLiteral("mnuRestoreBackup")}));
    QCOMPARE(actionNames(index->menuBar()->findChild<QMenu *>(QStringLiteral("mnuOptions"))).last(),
             QStringLiteral("mnuPreview"));
    // Menu entries keep having no shortcut keys; only the window's own actions have them.
    for (const QAction *action : index->menuBar()->findChildren<QAction *>())
        QVERIFY2(action->shortcut().isEmpty(), qPrintable(action->objectName()));
    QCOMPARE(index->findChild<QAction *>(QStringLiteral("actUndo"))->shortcut(), QKeySequence(Qt::CTRL | Qt::Key_Z));
    QCOMPARE(index->findChild<QAction *>(QStringLiteral("actRedo"))->shortcuts(),
             (QList<QKeySequence>{QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_Z), QKeySequence(Qt::CTRL | Qt::Key_Y)}));
    QCOMPARE(index->findChild<QAction *>(QStringLiteral("actFind"))->shortcut(), QKeySequence(Qt::CTRL | Qt::Key_F));
}

void TestFeatures::previewOption_checkMarkFollowsSettingsAndIsStored()
{
    frmIndex *index = start();
    QAction *preview = index->findChild<QAction *>(QStringLiteral("mnuPreview"));
    QVERIFY(preview->isCheckable());
    QVERIFY(!preview->isChecked());
    preview->trigger();
    QVERIFY(preview->isChecked());
    QVERIFY(m_app->state().preview);
    QVERIFY(readFile(m_folder + QStringLiteral("/config.cfg")).endsWith("/game\r\npreview|1\r\n"));
    delete m_app;

    m_app = nullptr;
    index = start("preview|1\r\n");
    QVERIFY(index->findChild<QAction *>(QStringLiteral("mnuPreview"))->isChecked());
}

void TestFeatures::previewOn_cancelWritesNothing_saveWritesWhatWasShown()
{
    const QByteArray before = "// mine\r\nseta r_fullscreen \"1\"\r\nseta com_maxfps \"60\"\r\n";
    QVERIFY(writeFile(m_config, before));
    frmIndex *index = start("preview|1\r\n");
    index->setClock(std::make_unique<FixedClock>(QDateTime(QDate(2026, 12, 4), QTime(23, 5, 41))));
    index->profile()->text[0]->setValue("90");

    Dialogs::queueFileName(m_config);
    FeatureDialogs::queueSaveAnswer(false);
    index->mnuSaveConfig_Click();
    QCOMPARE(readFile(m_config), before);
    QVERIFY(QDir(m_folder + QStringLiteral("/backups")).isEmpty());
    QVERIFY(Dialogs::takeMessages().isEmpty());
    const auto shown = FeatureDialogs::takeShown();
    QCOMPARE(shown.size(), 1);
    QCOMPARE(shown[0].dialog, QStringLiteral("preview"));
    QCOMPARE(shown[0].path, m_config);
    // In save order, the unchanged r_fullscreen line left out; appended lines have no old line.
    const QList<std::pair<QByteArray, QByteArray>> expected{
        {"seta com_maxfps \"60\"", "seta com_maxfps \"90\""}, {"", "seta rate \"10000\""}, {"", "seta r_picmip \"1\""}};
    QCOMPARE(shown[0].changes.size(), expected.size());
    for (qsizetype i = 0; i < expected.size(); ++i) {
        QCOMPARE(shown[0].changes[i].oldLine, expected[i].first);
        QCOMPARE(shown[0].changes[i].newLine, expected[i].second);
    }

    Dialogs::queueFileName(m_config);
    FeatureDialogs::queueSaveAnswer(true);
    index->mnuSaveConfig_Click();
    QCOMPARE(readFile(m_config), QByteArray("// mine\r\nseta r_fullscreen \"1\"\r\nseta com_maxfps \"90\"\r\n"
                                            "seta rate \"10000\"\r\nseta r_picmip \"1\"\r\n"));
    QCOMPARE(readFile(m_folder + QStringLiteral("/backups/Test Game 04-12 23-05 game")), before);
    QCOMPARE(Dialogs::takeMessages().value(0).text, QStringLiteral("Config saved!"));
}

void TestFeatures::previewOff_savesWithoutAsking()
{
    frmIndex *index = start("preview|0\r\n");
    Dialogs::queueFileName(m_config);
    index->mnuSaveConfig_Click();
    QVERIFY(FeatureDialogs::takeShown().isEmpty());
    QVERIFY(readFile(m_config).startsWith("seta r_fullscreen \"1\"\r\n"));
    QCOMPARE(Dialogs::takeMessages().value(0).text, QStringLiteral("Config saved!"));
}

void TestFeatures::previewOfMixedLineEnds_saysTheyBecomeOne()
{
    // The values the file holds already: no line changes, but the save ends every line as the first one ends.
    QVERIFY(writeFile(m_config, "seta r_fullscreen \"1\"\nseta com_maxfps \"85\"\r\nseta rate \"10000\"\r\n"
                                "seta r_picmip \"1\"\r\n"));
    frmIndex *index = start("preview|1\r\n");
    Dialogs::queueFileName(m_config);
    index->mnuSaveConfig_Click();
    const auto shown = FeatureDialogs::takeShown();
    QCOMPARE(shown.size(), 1);
    QVERIFY(shown[0].changes.isEmpty());
    QCOMPARE(shown[0].newLineEnd, QByteArray("\n"));
}

void TestFeatures::previewDialog_listsOldAndNewLines_cancelButtonCancels()
{
    QVERIFY(writeFile(m_config, "seta r_fullscreen \"0\"\r\n"));
    frmIndex *index = start("preview|1\r\n");
    index->profile()->simple[0]->clickButton(1);
    FeatureDialogs::setRecording(false);
    QStringList rows;
    bool sawDialog = false;
    QTimer::singleShot(0, this, [&] {
        QWidget *dialog = QApplication::activeModalWidget();
        QVERIFY(dialog);
        sawDialog = dialog->objectName() == QLatin1String("frmPreview");
        const auto *list = dialog->findChild<QTreeWidget *>(QStringLiteral("lstChanges"));
        for (int i = 0; list && i < list->topLevelItemCount(); ++i)
            rows << list->topLevelItem(i)->text(0) + QStringLiteral(" -> ") + list->topLevelItem(i)->text(1);
        dialog->findChild<QPushButton *>(QStringLiteral("cmdCancel"))->click();
    });
    Dialogs::queueFileName(m_config);
    index->mnuSaveConfig_Click();
    QVERIFY(sawDialog);
    QCOMPARE(rows, (QStringList{QStringLiteral("seta r_fullscreen \"0\" -> seta r_fullscreen \"1\""),
                                QStringLiteral("(added at the end) -> seta com_maxfps \"85\""),
                                QStringLiteral("(added at the end) -> seta rate \"10000\""),
                                QStringLiteral("(added at the end) -> seta r_picmip \"1\"")}));
    QCOMPARE(readFile(m_config), QByteArray("seta r_fullscreen \"0\"\r\n"));
    QVERIFY(Dialogs::takeMessages().isEmpty());
}

void TestFeatures::restore_listsNewestFirst_restoresReloadsAndCanBeUndone()
{
    writeBackups({{QStringLiteral("Test Game 30-11 09-00 game"), "seta com_maxfps \"200\"\r\n"},
                  {QStringLiteral("Test Game 01-12 09-00 game"), "seta com_maxfps \"40\"\r\n"},
                  {QStringLiteral("Other 02-12 09-00 game"), "x\r\n"}});
    QVERIFY(writeFile(m_config, "seta com_maxfps \"120\"\r\n"));
    frmIndex *index = start();
    index->setClock(std::make_unique<FixedClock>(QDateTime(QDate(2026, 12, 6), QTime(10, 15))));
    QCOMPARE(index->profile()->text[0]->Value(), QByteArray("120"));

    index->mnuRestoreBackup_Click(); // nothing queued: the player cancels
    QCOMPARE(readFile(m_config), QByteArray("seta com_maxfps \"120\"\r\n"));
    auto shown = FeatureDialogs::takeShown();
    QCOMPARE(shown.size(), 1);
    QCOMPARE(shown[0].path, m_config);
    QCOMPARE(shown[0].backups,
             (QStringList{QStringLiteral("Test Game 01-12 09-00 game"), QStringLiteral("Test Game 30-11 09-00 game")}));

    FeatureDialogs::queueBackupAnswer(QStringLiteral("Test Game 30-11 09-00 game"));
    index->mnuRestoreBackup_Click();
    QCOMPARE(readFile(m_config), QByteArray("seta com_maxfps \"200\"\r\n"));
    QCOMPARE(readFile(m_folder + QStringLiteral("/backups/Test Game 06-12 10-15 game")),
             QByteArray("seta com_maxfps \"120\"\r\n"));
    QCOMPARE(index->profile()->text[0]->Value(), QByteArray("200"));
    QCOMPARE(Dialogs::takeMessages().value(0).text, QStringLiteral("Backup restored!"));

    // The tweaks go back; the file stays restored, as a save stays saved.
    index->undo();
    QCOMPARE(index->profile()->text[0]->Value(), QByteArray("120"));
    QCOMPARE(readFile(m_config), QByteArray("seta com_maxfps \"200\"\r\n"));
}

void TestFeatures::restoreDialog_showsDiffOfSelectedBackup_restoreButtonChoosesIt()
{
    writeBackups({{QStringLiteral("Test Game 30-11 09-00 game"), "seta com_maxfps \"200\"\r\n"},
                  {QStringLiteral("Test Game 01-12 09-00 game"), "seta com_maxfps \"120\"\r\n"}});
    QVERIFY(writeFile(m_config, "seta com_maxfps \"120\"\r\n"));
    frmIndex *index = start();
    FeatureDialogs::setRecording(false);
    QString sameText;
    QString diffText;
    QTimer::singleShot(0, this, [&] {
        QWidget *dialog = QApplication::activeModalWidget();
        QVERIFY(dialog && dialog->objectName() == QLatin1String("frmRestore"));
        auto *list = dialog->findChild<QListWidget *>(QStringLiteral("lstBackups"));
        const auto *diff = dialog->findChild<QTextEdit *>(QStringLiteral("txtDiff"));
        QCOMPARE(list->currentRow(), 0);
        sameText = diff->toPlainText();
        list->setCurrentRow(1);
        diffText = diff->toPlainText();
        dialog->findChild<QPushButton *>(QStringLiteral("cmdRestore"))->click();
    });
    index->mnuRestoreBackup_Click();
    QVERIFY2(sameText.startsWith(QStringLiteral("The backup holds the same lines")), qPrintable(sameText));
    QVERIFY2(diffText.contains(QStringLiteral("-seta com_maxfps \"120\"\n+seta com_maxfps \"200\"")),
             qPrintable(diffText));
    QCOMPARE(readFile(m_config), QByteArray("seta com_maxfps \"200\"\r\n"));
}

void TestFeatures::undo_eachPlayerActionIsOneStep()
{
    const QString other = m_folder + QStringLiteral("/other.cfg");
    QVERIFY(writeFile(other, "seta r_picmip \"0\"\r\nseta com_maxfps \"200\"\r\n"));
    frmIndex *index = start();
    LoadedProfile *profile = index->profile();
    QUndoStack *stack = index->history()->stack();
    QCOMPARE(stack->count(), 0);

    auto *simple = qobject_cast<cvarSimple *>(index->control(TweakKind::Simple, 1));
    simple->optCVar(0)->click(); // Off
    QTRY_COMPARE(stack->count(), 1);
    index->findChild<QAction *>(QStringLiteral("mnuDieHard"))->trigger();
    QCOMPARE(stack->count(), 2);
    auto *list = index->control(TweakKind::Multi, 1)->findChild<QComboBox *>(QStringLiteral("cmbValue"));
    list->setCurrentIndex(0); // High
    QTRY_COMPARE(stack->count(), 3);
    Dialogs::queueFileName(other);
    index->mnuLoadConfig_Click();
    QCOMPARE(stack->count(), 4);
    QCOMPARE(profile->text[0]->Value(), QByteArray("200"));
    index->findChild<QAction *>(QStringLiteral("mnuDieHard"))->trigger(); // 250 again, over the loaded 200
    QCOMPARE(stack->count(), 5);
    index->findChild<QAction *>(QStringLiteral("mnuDieHard"))->trigger(); // the same again: no step
    QCOMPARE(stack->count(), 5);

    const auto values = [profile] {
        return QByteArrayList{profile->simple[0]->Value(), profile->multi[0]->Value(), profile->text[0]->Value()};
    };
    QCOMPARE(values(), (QByteArrayList{"0", "2", "250"}));
    index->undo(); // the second Die Hard FPS
    QCOMPARE(values(), (QByteArrayList{"0", "0", "200"}));
    index->undo(); // Load Config
    QCOMPARE(values(), (QByteArrayList{"0", "0", "250"}));
    index->undo(); // the pick
    QCOMPARE(values(), (QByteArrayList{"0", "2", "250"}));
    QCOMPARE(list->currentIndex(), 2);
    index->undo(); // Die Hard FPS
    QCOMPARE(values(), (QByteArrayList{"0", "1", "85"}));
    index->undo(); // the click
    QCOMPARE(values(), (QByteArrayList{"1", "1", "85"}));
    QVERIFY(simple->optCVar(1)->isChecked());
    index->undo(); // nothing left
    QCOMPARE(values(), (QByteArrayList{"1", "1", "85"}));
    index->redo();
    index->redo();
    QCOMPARE(values(), (QByteArrayList{"0", "2", "250"}));
    // A new action drops what could have been redone.
    simple->optCVar(1)->click();
    QTRY_COMPARE(stack->count(), 3);
    QVERIFY(!stack->canRedo());
}

void TestFeatures::undo_typingInOneBoxIsOneStep_andCtrlZInTheBoxUndoesIt()
{
    frmIndex *index = start();
    QUndoStack *stack = index->history()->stack();
    QLineEdit *box = focusFrameLimitBox(index);
    QVERIFY(box);
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
    QCOMPARE(box->text(), QStringLiteral("85"));
    QTest::keyClick(box, Qt::Key_Y, Qt::ControlModifier);
    QCOMPARE(box->text(), QStringLiteral("30"));
    QTest::keyClick(box, Qt::Key_Z, Qt::ControlModifier | Qt::ShiftModifier);
    QCOMPARE(box->text(), QStringLiteral("30")); // nothing more to redo
    QTest::keyClick(box, Qt::Key_Z, Qt::ControlModifier);
    QCOMPARE(box->text(), QStringLiteral("85"));

    // Typing back what was there leaves nothing to undo.
    QTest::keyClick(box, Qt::Key_Home);
    QTest::keyClick(box, Qt::Key_1);
    QTRY_COMPARE(stack->index(), 1); // a step of its own, replacing the one undone
    QCOMPARE(stack->count(), 1);
    QTest::keyClick(box, Qt::Key_Home);
    QTest::keyClick(box, Qt::Key_Delete);
    QTRY_COMPARE(stack->count(), 0);
    QCOMPARE(box->text(), QStringLiteral("85"));
}

void TestFeatures::undo_connectionDialogSaveIsOneStep()
{
    frmIndex *index = start();
    TextTweak &rate = *index->profile()->text[1];
    QCOMPARE(rate.Value(), QByteArray("10000"));
    index->findChild<QAction *>(QStringLiteral("mnuPing"))->trigger();
    frmPing *ping = m_app->pingWindow();
    QVERIFY(ping);
    ping->findChild<QLineEdit *>(QStringLiteral("txtDSpeed"))->setText(QStringLiteral("160000"));
    ping->cmdSave_Click();
    QCOMPARE(rate.Value(), QByteArray("20000"));
    QCOMPARE(index->history()->stack()->count(), 1);
    QCOMPARE(index->history()->stack()->undoText(), QStringLiteral("Connection Settings"));
    index->undo();
    QCOMPARE(rate.Value(), QByteArray("10000"));
    QCOMPARE(rate.Default(), QByteArray("10000"));
    // The speeds stay stored, as the dialog saved them.
    QCOMPARE(m_app->state().downloadSpeed, 160000);
    QTRY_VERIFY(!m_app->pingWindow());
    QCOMPARE(index->history()->stack()->count(), 1);
}

void TestFeatures::undo_saveIsAPointTypingStartsAfresh()
{
    frmIndex *index = start();
    QUndoStack *stack = index->history()->stack();
    QLineEdit *box = focusFrameLimitBox(index);
    QVERIFY(box);
    QTest::keyClick(box, Qt::Key_End);
    QTest::keyClick(box, Qt::Key_1); // 851: bounded to 250
    QTRY_COMPARE(stack->count(), 1);
    Dialogs::queueFileName(m_config);
    index->mnuSaveConfig_Click();
    QVERIFY(stack->isClean());
    QTest::keyClick(box, Qt::Key_Backspace);
    QTRY_COMPARE(stack->count(), 2);
    index->undo();
    QCOMPARE(box->text(), QStringLiteral("250"));
    QVERIFY(stack->isClean());
    QVERIFY(readFile(m_config).contains("seta com_maxfps \"250\""));
}

void TestFeatures::find_goesToMatchesAcrossPagesWithoutMovingAnything()
{
    frmIndex *index = start();
    index->show();
    QVERIFY(QTest::qWaitForWindowActive(index));
    QList<QRect> layout;
    for (const char *name : {"tabTunesmith", "lblStatus"})
        layout << index->findChild<QWidget *>(QLatin1String(name))->geometry();
    const QSize windowSize = index->size();

    QTest::keyClick(index, Qt::Key_F, Qt::ControlModifier);
    FindBar *bar = index->findBar();
    QVERIFY(bar->isVisible());
    QTRY_VERIFY(bar->field()->hasFocus());
    QTest::keyClicks(bar->field(), QStringLiteral("RATE"));
    auto *count = bar->findChild<QLabel *>(QStringLiteral("lblFindCount"));
    QCOMPARE(count->text(), QStringLiteral("1 match"));
    QTest::keyClick(bar->field(), Qt::Key_Return);
    QCOMPARE(index->tabs()->currentIndex(), 1);
    QWidget *rate = index->control(TweakKind::Text, 2);
    QTRY_VERIFY(rate->isAncestorOf(QApplication::focusWidget()));
    auto *mark = rate->parentWidget()->findChild<QWidget *>(QStringLiteral("shpFound"));
    QVERIFY(mark && mark->isVisible());
    QVERIFY(mark->geometry().contains(rate->geometry()));
    QCOMPARE(count->text(), QStringLiteral("1 of 1"));
    QTRY_VERIFY_WITH_TIMEOUT(!rate->parentWidget()->findChild<QWidget *>(QStringLiteral("shpFound")), 4000);

    // "t" is in all four tweaks' texts: F3 and Shift+F3 walk them in page order, wrapping round.
    bar->field()->setText(QStringLiteral("screen"));
    QCOMPARE(count->text(), QStringLiteral("1 match"));
    bar->field()->setText(QStringLiteral("t"));
    QCOMPARE(count->text(), QStringLiteral("4 matches"));
    QTest::keyClick(index, Qt::Key_F3);
    QCOMPARE(index->tabs()->currentIndex(), 0);
    QVERIFY(qobject_cast<cvarSimple *>(index->control(TweakKind::Simple, 1))->optCVar(1)->hasFocus());
    QTest::keyClick(index, Qt::Key_F3, Qt::ShiftModifier);
    QCOMPARE(index->tabs()->currentIndex(), 1);
    QCOMPARE(count->text(), QStringLiteral("4 of 4"));
    bar->field()->setText(QStringLiteral("nothing like it"));
    QCOMPARE(count->text(), QStringLiteral("No match"));

    QTest::keyClick(index, Qt::Key_Escape);
    QVERIFY(bar->isHidden());
    QCOMPARE(index->findChild<QWidget *>(QStringLiteral("tabTunesmith"))->geometry(), layout[0]);
    QCOMPARE(index->findChild<QWidget *>(QStringLiteral("lblStatus"))->geometry(), layout[1]);
    QCOMPARE(index->size(), windowSize);
}

QTEST_MAIN(TestFeatures)
#include "tst_features.moc"
