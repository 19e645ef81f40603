#include "dialogs.h"

#include <QDir>
#include <QFileDialog>
#include <QInputDialog>

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
    QList<QMessageBox::StandardButton> answers;
    QStringList texts;
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

QMessageBox::StandardButton ask(QWidget *parent, const QString &title, const QString &text,
                                QMessageBox::StandardButtons buttons, QMessageBox::StandardButton defaultButton)
{
    Recorder &r = recorder();
    if (r.on) {
        r.messages.append({QMessageBox::Question, title, text});
        return r.answers.isEmpty() ? QMessageBox::Cancel : r.answers.takeFirst();
    }
    QMessageBox box(QMessageBox::Question, title, text, buttons, parent);
    box.setTextFormat(Qt::PlainText);
    box.setDefaultButton(defaultButton);
    return QMessageBox::StandardButton(box.exec());
}

std::optional<QString> askText(QWidget *parent, const QString &title, const QString &label, const QString &text)
{
    Recorder &r = recorder();
    if (r.on) {
        r.messages.append({QMessageBox::Question, title, label});
        if (r.texts.isEmpty())
            return std::nullopt;
        return r.texts.takeFirst();
    }
    QInputDialog dialog(parent);
    dialog.setWindowTitle(title);
    dialog.setLabelText(label);
    dialog.setTextValue(text);
    if (dialog.exec() != QDialog::Accepted)
        return std::nullopt;
    return dialog.textValue();
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

void queueAnswer(QMessageBox::StandardButton answer)
{
    recorder().answers.append(answer);
}

void queueText(const QString &text)
{
    recorder().texts.append(text);
}

QList<FileDialogRequest> takeFileDialogRequests()
{
    return std::exchange(recorder().requests, {});
}

} // namespace Dialogs

} // namespace Tunesmith
