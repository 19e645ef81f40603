// frmIndex beyond its menus of old: restoring a backup, undo and redo of the tweaks, and the search field.
#include "app/textcodec.h"
#include "app/widgets/application.h"
#include "app/widgets/dialogs.h"
#include "featuredialogs.h"
#include "findbar.h"
#include "frmindex.h"
#include "gameconfig/backuplist.h"
#include "gameconfig/configreader.h"
#include "tweakhistory.h"
#include "tweaks/widgets/cvarsimple.h"
#include "tweaks/widgets/tweakparts.h"

#include <QAction>
#include <QApplication>
#include <QFrame>
#include <QLineEdit>
#include <QTabWidget>
#include <QTimer>
#include <QUndoStack>

namespace Tunesmith
{

namespace
{

// How long a found tweak stays marked.
constexpr int highlightMilliseconds = 1500;

} // namespace

void frmIndex::buildFeatureActions()
{
    // Window-wide shortcuts without menu entries: the menus keep their entries as they were.
    auto add = [this](const char *name, const QString &text, const QList<QKeySequence> &keys) {
        auto *action = new QAction(text, this);
        action->setObjectName(QLatin1String(name));
        action->setShortcuts(keys);
        action->setShortcutContext(Qt::WindowShortcut);
        QWidget::addAction(action);
        return action;
    };
    connect(add("actUndo", tr("Undo"), {QKeySequence(Qt::CTRL | Qt::Key_Z)}), &QAction::triggered, this,
            &frmIndex::undo);
    connect(add("actRedo", tr("Redo"),
                {QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_Z), QKeySequence(Qt::CTRL | Qt::Key_Y)}),
            &QAction::triggered, this, &frmIndex::redo);
    connect(add("actFind", tr("Find"), {QKeySequence(Qt::CTRL | Qt::Key_F)}), &QAction::triggered, this,
            &frmIndex::openFind);
    connect(add("actFindNext", tr("Find Next"), {QKeySequence(Qt::Key_F3)}), &QAction::triggered, this,
            [this] { findNext(1); });
    connect(add("actFindPrevious", tr("Find Previous"), {QKeySequence(Qt::SHIFT | Qt::Key_F3)}), &QAction::triggered,
            this, [this] { findNext(-1); });
    m_closeFind = add("actCloseFind", tr("Close Find"), {QKeySequence(Qt::Key_Escape)});
    m_closeFind->setEnabled(false);
    connect(m_closeFind, &QAction::triggered, this, &frmIndex::closeFind);

    // Over the right end of the status line, clear of the title block at its left; nothing moves for it.
    const QSize size(260, 22);
    m_findBar->setGeometry(
        QRect(QPoint(m_client->width() - size.width() - 4, m_client->height() - size.height()), size));
    connect(m_findBar, &FindBar::textChanged, this, &frmIndex::findTextChanged);
    connect(m_findBar, &FindBar::nextRequested, this, [this] { findNext(1); });
    connect(m_findBar, &FindBar::closed, this, &frmIndex::closeFind);
}

void frmIndex::pingSaved()
{
    if (m_history)
        m_history->commit(tr("Connection Settings"));
}

void frmIndex::undo()
{
    if (m_history)
        m_history->undo();
}

void frmIndex::redo()
{
    if (m_history)
        m_history->redo();
}

bool frmIndex::isTyping(TweakKind kind, int index) const
{
    const QWidget *widget = control(kind, index);
    const QWidget *focus = QApplication::focusWidget();
    return widget && focus && widget->isAncestorOf(focus);
}

void frmIndex::mnuRestoreBackup_Click()
{
    if (!m_profile)
        return;
    const ProgramState state = profileState();
    const QString configPath = state.gameConfigPath();
    if (configPath.isEmpty()) {
        Dialogs::message(this, QMessageBox::Warning, tr("Tunesmith"),
                         tr("No install directory is known for this game, so there is no config to restore."));
        return;
    }
    const QString backup = FeatureDialogs::chooseBackup(
        this, m_profile->fileName.chopped(4), BackupList::list(state.backupsPath(), state.currentProfile), configPath);
    if (backup.isEmpty())
        return;
    QString error;
    bool restored = false;
    m_history->record(tr("Restore Backup"), [&] {
        restored = BackupList::restore(state, *m_clock, backup, configPath, &error);
        if (restored)
            GameConfigReader::apply(*m_profile, state.syntax, configPath);
    });
    if (!restored) {
        Dialogs::message(this, QMessageBox::Warning, tr("Tunesmith"), error);
        return;
    }
    m_history->markSaved();
    markConfigValues();
    Dialogs::message(this, QMessageBox::Information, tr("Tunesmith"), tr("Backup restored!"));
}

void frmIndex::openFind()
{
    m_findBar->open();
    m_closeFind->setEnabled(true);
}

void frmIndex::closeFind()
{
    m_findBar->hide();
    m_closeFind->setEnabled(false);
    delete m_highlight;
}

void frmIndex::findTextChanged(const QString &text)
{
    m_matches = m_profile ? findTweaks(*m_profile, text) : QList<TweakMatch>();
    m_match = -1;
    m_findBar->showCount(0, int(m_matches.size()));
}

void frmIndex::findNext(int step)
{
    if (m_findBar->text().isEmpty()) {
        openFind();
        return;
    }
    if (m_findBar->isHidden()) {
        m_findBar->show();
        m_findBar->raise();
        m_closeFind->setEnabled(true);
    }
    const int count = int(m_matches.size());
    if (count == 0)
        return;
    m_match = m_match < 0 && step < 0 ? count - 1 : ((m_match + step) % count + count) % count;
    const TweakMatch &match = m_matches[m_match];
    QWidget *widget = control(match.kind, match.index);
    m_tabTunesmith->setCurrentIndex(match.page);
    if (auto *simple = qobject_cast<cvarSimple *>(widget)) {
        // The button that shows the value takes the focus, as a click on it would.
        simple->optCVar(simple->model()->shown() == SimpleTweak::Shown::Off ? 0 : 1)->setFocus(Qt::ShortcutFocusReason);
    } else if (widget) {
        widget->setFocus(Qt::ShortcutFocusReason);
    }
    if (widget)
        highlight(widget);
    m_findBar->showCount(m_match + 1, count);
}

void frmIndex::highlight(QWidget *widget)
{
    delete m_highlight;
    auto *frame = new QFrame(widget->parentWidget());
    frame->setObjectName(QStringLiteral("shpFound"));
    frame->setAttribute(Qt::WA_TransparentForMouseEvents);
    frame->setStyleSheet(QStringLiteral("QFrame#shpFound { border: 2px solid rgb(255, 128, 0); border-radius: 3px; "
                                        "background-color: rgba(255, 128, 0, 40); }"));
    frame->setGeometry(widget->geometry().adjusted(-3, -2, 3, 2));
    frame->show();
    frame->raise();
    QTimer::singleShot(highlightMilliseconds, frame, &QObject::deleteLater);
    m_highlight = frame;
}

} // namespace Tunesmith
