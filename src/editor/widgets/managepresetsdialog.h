#pragma once

#include "app/programstate.h"

#include <QDialog>

class QListWidget;
class QPushButton;

namespace Tunesmith
{

// "Manage Presets": the player's presets of one profile, to rename or delete.
class ManagePresetsDialog : public QDialog
{
    Q_OBJECT

public:
    ManagePresetsDialog(const ProgramState &state, const QString &profileFileName, QWidget *parent);

    void cmdRename_Click();
    void cmdDelete_Click();

private:
    void fill(const QString &selected);

    ProgramState m_state;
    QString m_profile;
    QListWidget *m_lstPresets;
    QPushButton *m_cmdRename;
    QPushButton *m_cmdDelete;
};

} // namespace Tunesmith
