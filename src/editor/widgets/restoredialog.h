#pragma once

#include "gameconfig/backuplist.h"

#include <QDialog>

class QLabel;
class QListWidget;
class QPushButton;
class QTextEdit;

namespace Tunesmith
{

// "Restore Backup...": the backups of the current profile, newest first, each shown as a unified diff against the
// game config it would replace, with "Restore" and "Cancel".
class RestoreDialog : public QDialog
{
    Q_OBJECT

public:
    RestoreDialog(const QString &profileName, const QList<BackupList::Entry> &backups, const QString &configPath,
                  QWidget *parent);

    // The selected backup's path; "" when there is none.
    QString chosenPath() const;

private:
    void showDiff();

    QList<BackupList::Entry> m_backups;
    QString m_configPath;
    QByteArray m_current;
    QListWidget *m_lstBackups;
    QTextEdit *m_txtDiff;
    QPushButton *m_cmdRestore;
};

} // namespace Tunesmith
