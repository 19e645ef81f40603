#pragma once

#include <QWidget>

class QGroupBox;
class QLabel;
class QLineEdit;
class QListWidget;
class QPushButton;

namespace Tunesmith
{

class Application;

// The start-up window "Load Game Profile": prepares the program folder, reads the settings, lists the profiles
// with their title block and install directory, and loads the chosen one into the main window.
class frmLoad : public QWidget
{
    Q_OBJECT

public:
    frmLoad(Application &app, QWidget *owner);

    // The start-up sequence. Returns false when the program ended in it (update handed over, or no profiles).
    bool Form_Load();

    // The install directory box, which the install directory dialog writes on save.
    void setInstallLocationText(const QString &text);
    QString selectedEntry() const;

    void lstLoad_Click();
    void lstLoad_DblClick();
    void cmdLoad_Click();
    void cmdLocation_Click();
    void imgDonate_Click();

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void prepareProgramFolder();
    void listProfiles();
    // Shows the install directory; a found one is marked as not yet stored.
    void showInstallDir(const QString &text, bool found);

    Application &m_app;
    QGroupBox *m_fraLoad;
    QLabel *m_lblLoad;
    QListWidget *m_lstLoad;
    QPushButton *m_cmdLoad;
    QLabel *m_imgDonate;
    QGroupBox *m_fraInfo;
    QLabel *m_lblGame;
    QLabel *m_lblDate;
    QLabel *m_lblAuthor;
    QLabel *m_lblInstallLocation;
    QLineEdit *m_txtInstallLocation;
    QPushButton *m_cmdLocation;
    QString m_foundDir; // found by the profile's install hints for the selected entry, not yet stored
};

} // namespace Tunesmith
