#pragma once

#include "gameconfig/backuplist.h"
#include "gameconfig/configmerge.h"

#include <QList>
#include <QString>
#include <QStringList>

class QWidget;

namespace Tunesmith
{

// The seams of the main window's own dialogs beyond the message boxes: the save preview and the backup chooser.
// Tests turn on recording, queue the player's answers and read back what each dialog would have shown.
namespace FeatureDialogs
{

// Shows the lines a save to path changes (in save order), and the one line end it gives a file of mixed line ends
// when newLineEnd is not "", with "Save" and "Cancel"; true to save.
bool confirmSave(QWidget *parent, const QString &path, bool fileExists, const QList<MergeChange> &changes,
                 const QByteArray &newLineEnd = {});

// Shows the backups (newest first), each compared with the config at configPath, with "Restore" and "Cancel".
// Gives the chosen backup's path, "" when the player cancels.
QString chooseBackup(QWidget *parent, const QString &profileName, const QList<BackupList::Entry> &backups,
                     const QString &configPath);

// Recording: no dialog is shown; each takes the next queued answer (none queued cancels) and is remembered.
void setRecording(bool on);
void queueSaveAnswer(bool save);
void queueBackupAnswer(const QString &backupName); // "" cancels

struct Shown
{
    QString dialog; // "preview" or "restore"
    QString path;   // the config saved to or restored into
    QList<MergeChange> changes;
    QStringList backups;   // names, in the order shown
    QByteArray newLineEnd; // the preview's line end note, "" for none
};
QList<Shown> takeShown();

} // namespace FeatureDialogs

} // namespace Tunesmith
