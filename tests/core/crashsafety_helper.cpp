// The save that tst_crashsafety kills: loads a profile whose game config is CONFIG, then saves it again and again
// through the program's own save, the numeric tweaks alternating between two values, until it is killed (or
// SAVES saves are done). Prints "ready" before the first save and "saved MILLISECONDS" after each.
//
//   crashsafety_helper PROFILE CONFIG PROGRAM_FOLDER SAVES
#include "app/clock.h"
#include "gameconfig/configwriter.h"
#include "loader/loadedprofile.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QFileInfo>

#include <cstdio>

using namespace Tunesmith;

int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    const QStringList args = app.arguments();
    if (args.size() != 5) {
        std::fprintf(stderr, "usage: crashsafety_helper PROFILE CONFIG PROGRAM_FOLDER SAVES\n");
        return 2;
    }
    ProgramState state;
    state.programFolder = args[3];
    state.currentProfile = QFileInfo(args[1]).fileName();
    state.installDir = QFileInfo(args[2]).absolutePath();
    state.backups = true;
    QString error;
    const auto profile = loadProfile(
        args[1], state, [](const QString &) {}, nullptr, &error);
    if (!profile || state.gameConfigPath() != QFileInfo(args[2]).absoluteFilePath()) {
        std::fprintf(stderr, "cannot load %s: %s\n", qPrintable(args[1]), qPrintable(error));
        return 1;
    }
    const int saves = args[4].toInt();
    const FixedClock clock(QDateTime(QDate(2026, 12, 4), QTime(23, 5, 41)));
    std::printf("ready\n");
    std::fflush(stdout);
    for (int i = 0; saves == 0 || i < saves; ++i) {
        for (const auto &tweak : profile->text)
            tweak->setValue(i % 2 == 0 ? "12345" : "5");
        QElapsedTimer timer;
        timer.start();
        if (!GameConfigWriter::save(*profile, state, clock, state.gameConfigPath(), &error)) {
            std::fprintf(stderr, "save failed: %s\n", qPrintable(error));
            return 1;
        }
        std::printf("saved %.3f\n", double(timer.nsecsElapsed()) / 1e6);
        std::fflush(stdout);
    }
    return 0;
}
