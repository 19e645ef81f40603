#include "dialogs.h"

#include <QDir>
#include <QFileDialog>

namespace Tunesmith
{

namespace Dialogs
{

namespace
{

struct Recorder
{
    bool on = false;
    QList<ShownMessage> messages;
    QStringList fileNames;
    QList<FileDialogRequest> requests;
};

// The test seam's state lives for the whole run of one program; the windows never read it.
Recorder &recorder()
{
    static Recorder instance;
    return instance;
}

QString askFileName(QWidget *parent, QFileDialog::AcceptMode mode, const QString &folder, const QString &fileName,
                    const QStringList &filters)
{
    Recorder &r = recorder();
    if (r.on) {
        r.requests.append({folder, fileName, filters});
        return r.fileNames.isEmpty() ? QString() : r.fileNames.takeFirst();
    }
    QFileDialog dialog(parent);
    dialog.setAcceptMode(mode);
    dialog.setFileMode(mode == QFileDialog::AcceptSave ? QFileDialog::AnyFile : QFileDialog::ExistingFile);
    dialog.setDirectory(folder.isEmpty() ? QDir::homePath() : folder);
    dialog.setNameFilters(filters);
    if (!filters.isEmpty())
        dialog.selectNameFilter(filters.first());
    dialog.selectFile(fileName);
    if (mode == QFileDialog::AcceptSave)
        dialog.setOption(QFileDialog::DontConfirmOverwrite); // the file is merged into, never replaced
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
        return {};
    return dialog.selectedFiles().first();
}

} // namespace

void message(QWidget *parent, QMessageBox::Icon icon, const QString &title, const QString &text)
{
    Recorder &r = recorder();
    if (r.on) {
        r.messages.append({icon, title, text});
        return;
    }
    messageBox(parent, icon, title, text)->exec();
}

std::unique_ptr<QMessageBox> messageBox(QWidget *parent, QMessageBox::Icon icon, const QString &title,
                                        const QString &text)
{
    auto box = std::make_unique<QMessageBox>(icon, title, text, QMessageBox::Ok, parent);
    box->setTextFormat(Qt::PlainText);
    return box;
}

QString saveFileName(QWidget *parent, const QString &folder, const QString &fileName, const QStringList &filters)
{
    return askFileName(parent, QFileDialog::AcceptSave, folder, fileName, filters);
}

QString openFileName(QWidget *parent, const QString &folder, const QString &fileName, const QStringList &filters)
{
    return askFileName(parent, QFileDialog::AcceptOpen, folder, fileName, filters);
}

void setRecording(bool on)
{
    recorder().on = on;
}

QList<ShownMessage> takeMessages()
{
    return std::exchange(recorder().messages, {});
}

void queueFileName(const QString &path)
{
    recorder().fileNames.append(path);
}

QList<FileDialogRequest> takeFileDialogRequests()
{
    return std::exchange(recorder().requests, {});
}

} // namespace Dialogs

} // namespace Tunesmith
