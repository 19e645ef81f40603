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

// A run with the command line exactly as given, in workingDirectory when one is given, its standard output sent to
// outputFile when one is given (Run::out is then empty).
inline Run runCliAsGiven(const QStringList &arguments, const QString &workingDirectory = {},
                         const QString &outputFile = {}, int limitMs = 30000)
{
    QProcess cli;
    if (!workingDirectory.isEmpty())
        cli.setWorkingDirectory(workingDirectory);
    if (!outputFile.isEmpty())
        cli.setStandardOutputFile(outputFile);
    QElapsedTimer timer;
    timer.start();
    cli.start(QStringLiteral(TUNESMITH_CLI), arguments);
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

inline Run runCli(const QString &programFolder, const QStringList &arguments, int limitMs = 30000)
{
    return runCliAsGiven(QStringList{QStringLiteral("--program-folder"), programFolder} + arguments, {}, {}, limitMs);
}
