#pragma once

#include "app/programstate.h"

#include <QObject>
#include <QPointer>

class QWidget;

namespace Tunesmith
{

class frmLoad;
class frmIndex;
class frmLocation;
class frmPing;
class frmAbout;

// The running program: the shared program state and its five windows, each existing at most once, created on
// first use and destroyed when unloaded. The program ends when the last window is gone.
class Application : public QObject
{
    Q_OBJECT

public:
    explicit Application(const QString &programFolder, QObject *parent = nullptr);
    ~Application() override;

    ProgramState &state() { return m_state; }

    // Opens the start-up window. Returns false when the program ended during start-up (an update was handed
    // over, or there was no profile at all).
    bool start();

    frmLoad *loadWindow() const;
    frmIndex *indexWindow() const;
    frmLocation *locationWindow() const;
    frmPing *pingWindow() const;
    frmAbout *aboutWindow() const;

    // "Load Game": the start-up window, owned by owner, its start-up sequence run again in full.
    void showLoadWindow(QWidget *owner);
    void showLocationWindow(QWidget *owner);
    void showPingWindow(QWidget *owner);
    void showAboutWindow(QWidget *owner);

    // Discards any main window, builds a new one from the profile and shows it. On a malformed or unreadable
    // profile returns false with the message for the player; no main window is left then.
    bool loadProfileWindow(const QString &profilePath, QString *error);
    void unloadIndexWindow();
    // Unloads one window (hidden at once, deleted when control is back in the event loop).
    void unload(QWidget *window);

    // Starts Update.exe from the program folder. Returns false when it cannot be started.
    bool startUpdater();

    // Closes the About box, the main window, the start-up window, the install directory dialog and the
    // connection dialog, in that order.
    void UnloadAllWindows();

    bool hasWindows() const;

Q_SIGNALS:
    // The last window is gone: the program ends.
    void programEnded();

private:
    void track(QObject *window);
    void windowGone();

    ProgramState m_state;
    QPointer<frmLoad> m_load;
    QPointer<frmIndex> m_index;
    QPointer<frmLocation> m_location;
    QPointer<frmPing> m_ping;
    QPointer<frmAbout> m_about;
    bool m_ended = false;
};

} // namespace Tunesmith
