#include "featuredialogs.h"

#include "restoredialog.h"
#include "savepreviewdialog.h"

namespace Tunesmith
{

namespace FeatureDialogs
{

namespace
{

struct Recorder
{
    bool on = false;
    QList<bool> saveAnswers;
    QStringList backupAnswers;
    QList<Shown> shown;
};

// The test seam's state lives for the whole run of one program; the windows never read it.
Recorder &recorder()
{
    static Recorder instance;
    return instance;
}

} // namespace

bool confirmSave(QWidget *parent, const QString &path, bool fileExists, const QList<MergeChange> &changes,
                 const QByteArray &newLineEnd)
{
    Recorder &r = recorder();
    if (r.on) {
        r.shown.append({QStringLiteral("preview"), path, changes, {}, newLineEnd});
        return !r.saveAnswers.isEmpty() && r.saveAnswers.takeFirst();
    }
    SavePreviewDialog dialog(path, fileExists, changes, newLineEnd, parent);
    return dialog.exec() == QDialog::Accepted;
}

QString chooseBackup(QWidget *parent, const QString &profileName, const QList<BackupList::Entry> &backups,
                     const QString &configPath)
{
    Recorder &r = recorder();
    if (r.on) {
        QStringList names;
        for (const BackupList::Entry &entry : backups)
            names << entry.name;
        r.shown.append({QStringLiteral("restore"), configPath, {}, names, {}});
        const QString answer = r.backupAnswers.isEmpty() ? QString() : r.backupAnswers.takeFirst();
        for (const BackupList::Entry &entry : backups) {
            if (!answer.isEmpty() && entry.name == answer)
                return entry.path;
        }
        return {};
    }
    RestoreDialog dialog(profileName, backups, configPath, parent);
    return dialog.exec() == QDialog::Accepted ? dialog.chosenPath() : QString();
}

void setRecording(bool on)
{
    recorder().on = on;
}

void queueSaveAnswer(bool save)
{
    recorder().saveAnswers.append(save);
}

void queueBackupAnswer(const QString &backupName)
{
    recorder().backupAnswers.append(backupName);
}

QList<Shown> takeShown()
{
    return std::exchange(recorder().shown, {});
}

} // namespace FeatureDialogs

} // namespace Tunesmith
