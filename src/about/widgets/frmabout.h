#pragma once

#include <QWidget>

class QFrame;
class QGroupBox;
class QLabel;
class QTimer;

namespace Tunesmith
{

class sndMidi;
struct ProgramState;

// The About box: name, version, credits and links to our pages, with the tune playing while it is open.
class frmAbout : public QWidget
{
    Q_OBJECT

public:
    frmAbout(ProgramState &state, QWidget *owner);
    ~frmAbout() override;

    void tmrMidi_Timer();
    void lblSite_Click();
    void lblEmail_Click();
    void imgDonate_Click();

    sndMidi *player() const { return m_sndMidi; }

protected:
    void closeEvent(QCloseEvent *event) override;
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void Form_Load();
    void Form_Unload();

    ProgramState &m_state;
    QGroupBox *m_fraAbout;
    QLabel *m_lblTitle;
    QFrame *m_line1;
    QLabel *m_lblVersion;
    QLabel *m_lblCredits;
    QLabel *m_imgDonate;
    QLabel *m_lblSite;
    QLabel *m_lblEmail;
    QLabel *m_lblNotes;
    QTimer *m_tmrMidi;
    sndMidi *m_sndMidi;
};

} // namespace Tunesmith
