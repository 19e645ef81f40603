#pragma once

#include <QStringList>
#include <QTextStream>

namespace Tunesmith
{

// What a run does with the profile it loaded once it is done: free it, or leave it to the end of the process.
enum class Teardown
{
    Free,
    LeaveToExit,
};

// tunesmith-cli: the main window's steps without a window, on the same core objects, and the tools of a profile's
// author. Returns the exit status: 0 success, 1 a malformed or unreadable profile or a file that could not be read
// or written, 2 a usage error.
int runCli(const QStringList &arguments, const QString &defaultProgramFolder, QTextStream &out, QTextStream &err,
           Teardown teardown = Teardown::Free);

} // namespace Tunesmith
