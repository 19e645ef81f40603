#pragma once

#include <QList>
#include <QString>
#include <QUrl>

namespace Tunesmith
{

// The desktop services the program uses: opening links with the default handler and starting an external
// program. Tests turn on recording to see what would have been opened or started.
namespace Platform
{

// Opens a web page or a mailto: link with the desktop's default handler; failures are silent.
void openLink(const QUrl &url);

// Starts program (no arguments, not waited for, never through a shell). Returns false when it cannot be
// started.
bool startProgram(const QString &program);

void setRecording(bool on);
QList<QUrl> takeOpenedLinks();
QStringList takeStartedPrograms();
// While recording, whether startProgram reports success.
void setStartSucceeds(bool succeeds);

// The addresses of our pages.
QUrl homePage();
QUrl donationPage();
QUrl mailLink(); // a new mail with the subject "Tunesmith"

} // namespace Platform

} // namespace Tunesmith
