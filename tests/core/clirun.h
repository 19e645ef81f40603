#pragma once

#include <QByteArray>
#include <QElapsedTimer>
#include <QProcess>
#include <QString>
#include <QStringList>

// One run of tunesmith-cli (TUNESMITH_CLI) on a program folder, as a player's shell would start it.
struct Run
{
    int status = -1; // -1: crashed or did not end in time
    QByteArray out;
    QByteArray err;
    qint64 ms = 0;
};

inline Run runCli(const QString &programFolder, const QStringList &arguments, int limitMs = 30000)
{
    QProcess cli;
    QElapsedTimer timer;
    timer.start();
    cli.start(QStringLiteral(TUNESMITH_CLI),
              QStringList{QStringLiteral("--program-folder"), programFolder} + arguments);
    Run run;
    const bool ended = cli.waitForFinished(limitMs);
    run.ms = timer.elapsed();
    if (!ended)
        cli.kill();
    cli.waitForFinished();
    if (ended && cli.exitStatus() == QProcess::NormalExit)
        run.status = cli.exitCode();
    run.out = cli.readAllStandardOutput();
    run.err = cli.readAllStandardError();
    return run;
}
