#pragma once

#include <QList>
#include <QMessageBox>
#include <QString>
#include <QStringList>

#include <memory>
#include <optional>

class QWidget;

namespace Tunesmith
{

// The seams through which the windows ask the player: message boxes and file dialogs. Tests turn on recording,
// queue the answers a player would give and read back the messages a player would have seen.
namespace Dialogs
{

struct ShownMessage
{
    QMessageBox::Icon icon = QMessageBox::NoIcon;
    QString title;
    QString text;
};

// Shows a modal message box with an OK button (recorded instead while recording is on).
void message(QWidget *parent, QMessageBox::Icon icon, const QString &title, const QString &text);

// The box message() shows. Its text is plain: texts from profiles and file names are never read as markup, so a
// profile cannot put a link into a box.
std::unique_ptr<QMessageBox> messageBox(QWidget *parent, QMessageBox::Icon icon, const QString &title,
                                        const QString &text);

// A question with these buttons, the default one taking Return; gives the button the player chose (Escape and the
// close box choose Cancel when there is one). Recorded as a message while recording is on, and answered with the
// queued answer, or Cancel when none is queued.
QMessageBox::StandardButton ask(QWidget *parent, const QString &title, const QString &text,
                                QMessageBox::StandardButtons buttons, QMessageBox::StandardButton defaultButton);

// A line of text asked for, text proposed; nullopt when the player cancels (or, recording, nothing is queued).
std::optional<QString> askText(QWidget *parent, const QString &title, const QString &label,
                               const QString &text = QString());

// The file dialogs; "" means the player cancelled. filters are "name (pattern)" entries, the first active.
QString saveFileName(QWidget *parent, const QString &folder, const QString &fileName, const QStringList &filters);
QString openFileName(QWidget *parent, const QString &folder, const QString &fileName, const QStringList &filters);

// Recording for tests: messages are kept instead of shown; file dialogs take the queued answers ("" cancels)
// and remember the folder, file name and filters they were opened with.
void setRecording(bool on);
QList<ShownMessage> takeMessages();
void queueFileName(const QString &path);
void queueAnswer(QMessageBox::StandardButton answer);
void queueText(const QString &text);
struct FileDialogRequest
{
    QString folder;
    QString fileName;
    QStringList filters;
};
QList<FileDialogRequest> takeFileDialogRequests();

} // namespace Dialogs

} // namespace Tunesmith
