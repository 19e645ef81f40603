#include "cliapp.h"

#include <QCoreApplication>

#include <cstdio>

int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    QTextStream out(stdout);
    QTextStream err(stderr);
    const int status = Tunesmith::runCli(app.arguments().mid(1), QCoreApplication::applicationDirPath(), out, err,
                                         Tunesmith::Teardown::LeaveToExit);
    out.flush();
    err.flush();
    return status;
}
