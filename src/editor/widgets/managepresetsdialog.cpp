#include "managepresetsdialog.h"

#include "app/widgets/dialogs.h"
#include "gameconfig/playerpresets.h"

#include <QDialogButtonBox>
#include <QHBoxLayout>
#include <QListWidget>
#include <QPushButton>
#include <QVBoxLayout>

namespace Tunesmith
{

ManagePresetsDialog::ManagePresetsDialog(const ProgramState &state, const QString &profileFileName, QWidget *parent)
    : QDialog(parent)
    , m_state(state)
    , m_profile(profileFileName)
{
    setObjectName(QStringLiteral("frmPresets"));
    setWindowTitle(tr("Manage Presets"));
    m_lstPresets = new QListWidget(this);
    m_lstPresets->setObjectName(QStringLiteral("lstPresets"));
    m_cmdRename = new QPushButton(tr("Rename..."), this);
    m_cmdRename->setObjectName(QStringLiteral("cmdRename"));
    m_cmdDelete = new QPushButton(tr("Delete"), this);
    m_cmdDelete->setObjectName(QStringLiteral("cmdDelete"));
    auto *close = new QDialogButtonBox(QDialogButtonBox::Close, this);
    auto *buttons = new QVBoxLayout;
    buttons->addWidget(m_cmdRename);
    buttons->addWidget(m_cmdDelete);
    buttons->addStretch();
    buttons->addWidget(close);
    auto *layout = new QHBoxLayout(this);
    layout->addWidget(m_lstPresets);
    layout->addLayout(buttons);
    connect(m_cmdRename, &QPushButton::clicked, this, &ManagePresetsDialog::cmdRename_Click);
    connect(m_cmdDelete, &QPushButton::clicked, this, &ManagePresetsDialog::cmdDelete_Click);
    connect(close, &QDialogButtonBox::rejected, this, &QDialog::reject);
    connect(m_lstPresets, &QListWidget::itemDoubleClicked, this, &ManagePresetsDialog::cmdRename_Click);
    fill(QString());
}

void ManagePresetsDialog::fill(const QString &selected)
{
    m_lstPresets->clear();
    m_lstPresets->addItems(PlayerPresets::names(m_state, m_profile));
    const QList<QListWidgetItem *> found = m_lstPresets->findItems(selected, Qt::MatchExactly);
    m_lstPresets->setCurrentRow(found.isEmpty() ? 0 : m_lstPresets->row(found.first()));
    m_cmdRename->setEnabled(m_lstPresets->count() > 0);
    m_cmdDelete->setEnabled(m_lstPresets->count() > 0);
}

void ManagePresetsDialog::cmdRename_Click()
{
    const QListWidgetItem *item = m_lstPresets->currentItem();
    if (!item)
        return;
    const QString name = item->text();
    const std::optional<QString> newName =
        Dialogs::askText(this, tr("Rename Preset"), tr("New name of the preset \"%1\":").arg(name), name);
    if (!newName || *newName == name)
        return;
    QString error;
    if (!PlayerPresets::rename(m_state, m_profile, name, *newName, &error)) {
        Dialogs::message(this, QMessageBox::Warning, tr("Tunesmith"), error);
        return;
    }
    fill(*newName);
}

void ManagePresetsDialog::cmdDelete_Click()
{
    const QListWidgetItem *item = m_lstPresets->currentItem();
    if (!item)
        return;
    const QString name = item->text();
    if (Dialogs::ask(this, tr("Manage Presets"), tr("Delete the preset \"%1\"?").arg(name),
                     QMessageBox::Yes | QMessageBox::Cancel, QMessageBox::Cancel) != QMessageBox::Yes) {
        return;
    }
    QString error;
    if (!PlayerPresets::remove(m_state, m_profile, name, &error))
        Dialogs::message(this, QMessageBox::Warning, tr("Tunesmith"), error);
    fill(QString());
}

} // namespace Tunesmith
