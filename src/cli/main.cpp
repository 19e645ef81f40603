#include "cliapp.h"

#include <QCoreApplication>

#include <cstdio>

#ifdef __GLIBC__
#include <malloc.h>
#endif

int main(int argc, char *argv[])
{
#ifdef __GLIBC__
    // The profile and the game config are read whole, a megabyte or more each: served from the heap, such a buffer
    // is reused once freed, where a block mapped on its own would be handed back to the system and the next one
    // would fault in fresh pages. The process is short, so what it keeps is never a concern.
    mallopt(M_MMAP_THRESHOLD, 256 * 1024 * 1024);
    mallopt(M_TRIM_THRESHOLD, 512 * 1024 * 1024);
#endif
    QCoreApplication app(argc, argv);
    QTextStream out(stdout);
    QTextStream err(stderr);
    const int status = Tunesmith::runCli(app.arguments().mid(1), QCoreApplication::applicationDirPath(), out, err,
                                         Tunesmith::Teardown::LeaveToExit);
    out.flush();
    // A script takes what was printed: output that could not all be written (to a full disk, say) is a failure,
    // whatever the command did.
    if (out.status() != QTextStream::Ok || std::fflush(stdout) != 0 || std::ferror(stdout)) {
        err << "tunesmith-cli: the output could not be written\n";
        err.flush();
        return status == 0 ? 1 : status;
    }
    err.flush();
    return status;
}
