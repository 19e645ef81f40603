#pragma once

#include <QWidget>

class QComboBox;
class QFileSystemModel;
class QGroupBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QTreeView;

namespace Tunesmith
{

class Application;

// The install directory dialog: shows the stored directory of the current profile, lets the player browse to a
// folder (places such as the root folder, the home folder and mounted volumes stand where drives would) or type
// one, and stores it in the settings file. The dialog stays with the profile it was opened for: the start-up window
// remains usable beside it, and another entry picked there meanwhile must not have its directory replaced.
class frmLocation : public QWidget
{
    Q_OBJECT

public:
    frmLocation(Application &app, QWidget *owner);

    // Fills the dialog for the current profile.
    void Form_Load();
    // The profile (file name) the dialog stores a directory for.
    QString profile() const { return m_profile; }

    void drvLocation_Change();
    void dirLocation_Change();
    void cmdSave_Click();

    // Points the folder tree at path when it is a folder; otherwise leaves it where it is.
    void setTreeFolder(const QString &path);

private:
    Application &m_app;
    QString m_profile;
    QString m_profileDir; // its stored directory as the dialog showed it
    QGroupBox *m_fraLocation;
    QLabel *m_lblPrompt;
    QLabel *m_lblCurrent;
    QLineEdit *m_txtCurrent;
    QLabel *m_lblNew;
    QLineEdit *m_txtNew;
    QComboBox *m_drvLocation;
    QTreeView *m_dirLocation;
    QFileSystemModel *m_folders;
    QPushButton *m_cmdSave;
};

} // namespace Tunesmith
