// frmIndex for the player's own work: presets of their own, the tweaks changed since the config was last read or
// saved, and the question before that work could be lost.
#include "app/textcodec.h"
#include "app/widgets/application.h"
#include "app/widgets/dialogs.h"
#include "app/widgets/twips.h"
#include "frmindex.h"
#include "gameconfig/configreader.h"
#include "gameconfig/playerpresets.h"
#include "managepresetsdialog.h"
#include "tweakhistory.h"
#include "tweaks/widgets/cvarmulti.h"
#include "tweaks/widgets/cvarsimple.h"
#include "tweaks/widgets/cvartext.h"

#include <QAction>
#include <QFileInfo>
#include <QHash>
#include <QLabel>
#include <QMenu>
#include <QMenuBar>
#include <QTabWidget>

namespace Tunesmith
{

void frmIndex::buildPlayerMenus(QMenu *presets)
{
    presets->addSeparator();
    connect(addAction(presets, "mnuSavePreset", tr("Save Current as Preset...")), &QAction::triggered, this,
            &frmIndex::mnuSavePreset_Click);
    m_mnuManagePresets = new QAction(tr("Manage Presets..."), presets);
    m_mnuManagePresets->setObjectName(QStringLiteral("mnuManagePresets"));
    connect(m_mnuManagePresets, &QAction::triggered, this, &frmIndex::mnuManagePresets_Click);
    // Read again each time the menu opens: a preset file may have come from elsewhere meanwhile.
    connect(presets, &QMenu::aboutToShow, this, &frmIndex::fillPresetMenu);

    QMenu *view = menuBar()->addMenu(tr("&View"));
    view->setObjectName(QStringLiteral("mnuView"));
    m_mnuShowChangedOnly = addAction(view, "mnuShowChangedOnly", tr("Show Changed Only"));
    m_mnuShowChangedOnly->setCheckable(true);
    connect(m_mnuShowChangedOnly, &QAction::toggled, this, &frmIndex::applyChangedFilter);

    // At the right end of the status line, where the search field opens over it.
    m_lblChanged = new QLabel(m_client);
    m_lblChanged->setObjectName(QStringLiteral("lblChanged"));
    m_lblChanged->setGeometry(m_client->width() - 124, px(5200), 120, px(255));
    m_lblChanged->setFont(namedFont(QStringLiteral("Verdana"), 6.75));
    m_lblChanged->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    m_lblChanged->setStyleSheet(QStringLiteral("color: rgb(255, 128, 0);"));
    m_lblChanged->hide();
}

void frmIndex::fillPresetMenu()
{
    qDeleteAll(m_playerPresetActions);
    m_playerPresetActions.clear();
    m_mnuPresets->removeAction(m_mnuManagePresets);
    if (!m_profile)
        return;
    const QStringList names = PlayerPresets::names(profileState(), m_profile->fileName);
    for (const QString &name : names) {
        // A preset's name is shown as written: a single "&" would mark a keyboard shortcut and vanish.
        auto *action = new QAction(QString(name).replace(QLatin1Char('&'), QLatin1String("&&")), m_mnuPresets);
        action->setObjectName(QStringLiteral("mnuPlayerPreset"));
        action->setData(name);
        connect(action, &QAction::triggered, this, [this, name] { applyPlayerPreset(name); });
        m_mnuPresets->addAction(action);
        m_playerPresetActions.append(action);
    }
    m_playerPresetActions.append(m_mnuPresets->addSeparator());
    m_mnuPresets->addAction(m_mnuManagePresets);
    m_mnuManagePresets->setEnabled(!names.isEmpty());
}

void frmIndex::mnuSavePreset_Click()
{
    if (!m_profile)
        return;
    const std::optional<QString> name =
        Dialogs::askText(this, tr("Save Current as Preset"), tr("Name of the preset (a plain file name):"));
    if (!name)
        return;
    if (const auto problem = PlayerPresets::nameProblem(*name)) {
        Dialogs::message(this, QMessageBox::Warning, tr("Tunesmith"), *problem);
        return;
    }
    const ProgramState state = profileState();
    if (PlayerPresets::names(state, m_profile->fileName).contains(*name) &&
        Dialogs::ask(this, tr("Save Current as Preset"), tr("Replace the preset \"%1\"?").arg(*name),
                     QMessageBox::Yes | QMessageBox::Cancel, QMessageBox::Cancel) != QMessageBox::Yes) {
        return;
    }
    QString error;
    if (!PlayerPresets::save(*m_profile, state, *name, &error))
        Dialogs::message(this, QMessageBox::Warning, tr("Tunesmith"), error);
    fillPresetMenu();
}

void frmIndex::mnuManagePresets_Click()
{
    if (!m_profile)
        return;
    auto *dialog = new ManagePresetsDialog(profileState(), m_profile->fileName, this);
    dialog->setAttribute(Qt::WA_DeleteOnClose);
    connect(dialog, &QDialog::finished, this, &frmIndex::fillPresetMenu);
    dialog->open();
}

void frmIndex::applyPlayerPreset(const QString &name)
{
    if (!m_profile)
        return;
    // Read as "Load Config" reads a config, so a preset from someone else is read alike.
    const ProgramState state = profileState();
    const QString path = PlayerPresets::path(state, m_profile->fileName, name);
    m_history->record(name, [&] { GameConfigReader::apply(*m_profile, state.syntax, path); });
}

void frmIndex::watchChanges()
{
    m_saved.capture(*m_profile);
    m_changeListening.clear();
    for (TweakModel *tweak : m_profile->saveOrder())
        m_changeListening.push_back(tweak->onDisplayChanged([this, tweak] { tweakChanged(tweak); }));
    m_changedCount = 0;
    showChangedCount();
}

void frmIndex::tweakChanged(TweakModel *tweak)
{
    auto *widget = qobject_cast<TweakControl *>(control(tweak->kind(), tweak->index()));
    const bool changed = m_saved.isChanged(*tweak);
    if (!widget || widget->isChanged() == changed)
        return;
    widget->setChanged(changed);
    m_changedCount += changed ? 1 : -1;
    showChangedCount();
    if (m_mnuShowChangedOnly->isChecked())
        applyChangedFilter();
}

void frmIndex::markConfigValues()
{
    if (!m_profile)
        return;
    m_saved.capture(*m_profile);
    for (TweakModel *tweak : m_profile->saveOrder()) {
        if (auto *widget = qobject_cast<TweakControl *>(control(tweak->kind(), tweak->index())))
            widget->setChanged(false);
    }
    m_changedCount = 0;
    showChangedCount();
    if (m_mnuShowChangedOnly->isChecked())
        applyChangedFilter();
}

void frmIndex::showChangedCount()
{
    m_lblChanged->setText(tr("%n changed", nullptr, m_changedCount));
    m_lblChanged->setVisible(m_changedCount > 0);
    m_lblChanged->raise();
}

void frmIndex::setShowChangedOnly(bool on)
{
    m_mnuShowChangedOnly->setChecked(on);
}

void frmIndex::applyChangedFilter()
{
    const bool only = m_mnuShowChangedOnly->isChecked();
    QHash<const QWidget *, int> pageOf;
    for (int page = 0; page < m_pages.size(); ++page)
        pageOf.insert(m_pages[page], page);
    QList<bool> pageShown(m_pages.size(), !only);
    const auto show = [&](TweakControl *widget) {
        const bool shown = !only || widget->isChanged();
        widget->setVisible(shown);
        if (shown)
            pageShown[pageOf.value(widget->parentWidget())] = true;
    };
    for (cvarSimple *widget : std::as_const(m_cvarSimple))
        show(widget);
    for (cvarText *widget : std::as_const(m_cvarText))
        show(widget);
    for (cvarMulti *widget : std::as_const(m_cvarMulti))
        show(widget);
    for (int page = 0; page < m_pages.size(); ++page)
        m_tabTunesmith->setTabVisible(page, pageShown[page]);
}

bool frmIndex::confirmLeave()
{
    if (!m_profile || m_changedCount == 0)
        return true;
    const QString file = decodeText(profileState().gameConfigFileName);
    switch (Dialogs::ask(this, tr("Tunesmith"), tr("Save changes to %1?").arg(file),
                         QMessageBox::Save | QMessageBox::Discard | QMessageBox::Cancel, QMessageBox::Save)) {
    case QMessageBox::Discard:
        return true;
    case QMessageBox::Save:
        return saveConfig();
    default:
        return false;
    }
}

} // namespace Tunesmith
