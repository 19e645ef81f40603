#include "platform.h"

#include <QDesktopServices>
#include <QFileInfo>
#include <QProcess>
#include <QStringList>

namespace Tunesmith
{

namespace Platform
{

namespace
{

struct Recorder
{
    bool on = false;
    bool startSucceeds = true;
    QList<QUrl> links;
    QStringList programs;
};

// Test seam state for the whole run; the windows never read it.
Recorder &recorder()
{
    static Recorder instance;
    return instance;
}

} // namespace

void openLink(const QUrl &url)
{
    Recorder &r = recorder();
    if (r.on) {
        r.links.append(url);
        return;
    }
    QDesktopServices::openUrl(url);
}

bool startProgram(const QString &program)
{
    Recorder &r = recorder();
    if (r.on) {
        r.programs.append(program);
        return r.startSucceeds;
    }
    if (!QFileInfo(program).isExecutable())
        return false;
    return QProcess::startDetached(program, QStringList(), QFileInfo(program).absolutePath());
}

void setRecording(bool on)
{
    recorder().on = on;
}

QList<QUrl> takeOpenedLinks()
{
    return std::exchange(recorder().links, {});
}

QStringList takeStartedPrograms()
{
    return std::exchange(recorder().programs, {});
}

void setStartSucceeds(bool succeeds)
{
    recorder().startSucceeds = succeeds;
}

QUrl homePage()
{
    return QUrl(QStringLiteral("https://tunesmith.invalid/"));
}

QUrl donationPage()
{
    return QUrl(QStringLiteral("https://tunesmith.invalid/donate"));
}

QUrl mailLink()
{
    return QUrl(QStringLiteral("mailto:team@tunesmith.invalid?subject=Tunesmith"));
}

} // namespace Platform

} // namespace Tunesmith
