#pragma once

#include <QWidget>

class QComboBox;
class QFrame;
class QGroupBox;
class QLabel;
class QLineEdit;
class QPushButton;

namespace Tunesmith
{

class LoadedProfile;
struct ProgramState;

// The connection settings dialog: the player's upload and download speed, from a connection preset or typed with
// a unit each. Save stores both in bytes per second and makes every tweak with a connection rule follow them.
class frmPing : public QWidget
{
    Q_OBJECT

public:
    // profile: the tweaks of the main window to recompute on save; may be null when no profile is loaded.
    frmPing(ProgramState &state, LoadedProfile *profile, QWidget *owner);

    void cmbPreset_Click();
    // Stores the speeds and closes the dialog. A speed that cannot be stored is shown in red beside its box and
    // nothing is written; a settings file that cannot be written is reported and the dialog stays open.
    void cmdSave_Click();

Q_SIGNALS:
    // The speeds were stored and the ruled tweaks recomputed; the dialog closes right after.
    void saved();

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void Form_Load();
    // A key typed into a speed box: returns true when the key is swallowed.
    bool txtSpeed_KeyPress(const QString &keyText);
    void showError(QLabel *caption, const QString &text, const QString &reason);
    void clearError();

    ProgramState &m_state;
    LoadedProfile *m_profile;
    QGroupBox *m_frame;
    QLabel *m_lblIntro;
    QLabel *m_lblPreset;
    QFrame *m_line2;
    QLabel *m_lblConnection;
    QComboBox *m_cmbPreset;
    QLabel *m_lblCustom;
    QFrame *m_line1;
    QLabel *m_lblUpload;
    QLineEdit *m_txtUSpeed;
    QComboBox *m_cmbUType;
    QLabel *m_lblDownload;
    QLineEdit *m_txtDSpeed;
    QComboBox *m_cmbDType;
    QPushButton *m_cmdSave;
    QLabel *m_lblError;
    bool m_presetChanged = false; // the preset selection changed in the event being handled
};

} // namespace Tunesmith
