#include "application.h"

#include "about/widgets/frmabout.h"
#include "editor/widgets/frmindex.h"
#include "frmload.h"
#include "frmlocation.h"
#include "frmping.h"
#include "platform.h"

#include <QGuiApplication>
#include <QIcon>
#include <QTimer>

namespace Tunesmith
{

Application::Application(const QString &programFolder, QObject *parent)
    : QObject(parent)
{
    m_state.programFolder = programFolder;
}

Application::~Application()
{
    m_ended = true;
    delete m_about;
    delete m_index;
    delete m_load;
    delete m_location;
    delete m_ping;
}

frmLoad *Application::loadWindow() const
{
    return m_load;
}

frmIndex *Application::indexWindow() const
{
    return m_index;
}

frmLocation *Application::locationWindow() const
{
    return m_location;
}

frmPing *Application::pingWindow() const
{
    return m_ping;
}

frmAbout *Application::aboutWindow() const
{
    return m_about;
}

bool Application::start()
{
    // Installed with the package, the desktop's icon theme has the program's icon, and the desktop finds the menu
    // entry of the windows by its file name.
    QGuiApplication::setDesktopFileName(QStringLiteral("invalid.tunesmith.Tunesmith"));
    const QIcon icon = QIcon::fromTheme(QStringLiteral("tunesmith"));
    if (!icon.isNull())
        QGuiApplication::setWindowIcon(icon);

    m_load = new frmLoad(*this, nullptr);
    track(m_load);
    if (!m_load->Form_Load())
        return false;
    m_load->show();
    return true;
}

void Application::showLoadWindow(QWidget *owner)
{
    if (m_load) {
        m_load->raise();
        m_load->activateWindow();
        return;
    }
    m_load = new frmLoad(*this, owner);
    track(m_load);
    if (m_load->Form_Load())
        m_load->show();
}

void Application::showLocationWindow(QWidget *owner)
{
    if (!m_location) {
        m_location = new frmLocation(*this, owner);
        track(m_location);
    } else if (m_location->profile() != m_state.currentProfile) {
        m_location->Form_Load(); // "Edit" pressed for another entry while the dialog was open
    }
    m_location->show();
    m_location->raise();
    m_location->activateWindow();
}

void Application::showPingWindow(QWidget *owner)
{
    if (!m_ping) {
        m_ping = new frmPing(m_state, m_index ? m_index->profile() : nullptr, owner);
        track(m_ping);
    }
    m_ping->show();
    m_ping->raise();
    m_ping->activateWindow();
}

void Application::showAboutWindow(QWidget *owner)
{
    if (!m_about) {
        m_about = new frmAbout(m_state, owner);
        track(m_about);
    }
    m_about->show();
    m_about->raise();
    m_about->activateWindow();
}

bool Application::loadProfileWindow(const QString &profilePath, QString *error)
{
    unloadIndexWindow();
    auto *window = new frmIndex(*this);
    if (!window->LoadList(profilePath, error)) {
        delete window;
        return false;
    }
    m_index = window;
    track(m_index);
    m_index->show();
    return true;
}

void Application::unloadIndexWindow()
{
    if (!m_index)
        return;
    // The start-up window may be owned by the main window; it must outlive it.
    if (m_load && m_load->parentWidget() == m_index) {
        const Qt::WindowFlags flags = m_load->windowFlags();
        m_load->setParent(nullptr, flags);
    }
    delete m_index;
}

void Application::unload(QWidget *window)
{
    if (!window)
        return;
    if (window == m_load)
        m_load = nullptr;
    else if (window == m_index)
        m_index = nullptr;
    else if (window == m_location)
        m_location = nullptr;
    else if (window == m_ping)
        m_ping = nullptr;
    else if (window == m_about)
        m_about = nullptr;
    window->hide();
    window->deleteLater();
    windowGone();
}

bool Application::startUpdater()
{
    return Platform::startProgram(m_state.updaterPath());
}

void Application::UnloadAllWindows()
{
    // Deleted once control is back in the event loop: this may run inside one of the windows' own handlers.
    auto unload = [](auto &window) {
        if (!window)
            return;
        window->hide();
        window->deleteLater();
        window = nullptr;
    };
    unload(m_about);
    unload(m_index);
    unload(m_load);
    unload(m_location);
    unload(m_ping);
    windowGone();
}

bool Application::hasWindows() const
{
    return m_about || m_index || m_load || m_location || m_ping;
}

void Application::track(QObject *window)
{
    connect(window, &QObject::destroyed, this, [this] {
        // QPointer clears itself only after destroyed() has been handled; look again once it has.
        QTimer::singleShot(0, this, &Application::windowGone);
    });
}

void Application::windowGone()
{
    if (m_ended || hasWindows())
        return;
    m_ended = true;
    Q_EMIT programEnded();
}

} // namespace Tunesmith
