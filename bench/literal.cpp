// The save done the literal way, one tweak at a time (ReplaceOrAppend re-reads and rewrites the whole file for
// each), as a whole process like tunesmith-cli save: the profile is loaded as the command-line tool loads it,
// then tests/core/literalmerge.cpp, the reference the fast merge is tested against, writes the config.
//   bench_literal PROGRAM_FOLDER PROFILE_FILE INSTALL_DIR CONFIG

#include "app/settings.h"
#include "gameconfig/configwriter.h"
#include "literalmerge.h"
#include "loader/loadedprofile.h"

#include <QCoreApplication>
#include <QFileInfo>

#include <cstdio>

using namespace Tunesmith;

int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    const QStringList args = QCoreApplication::arguments().mid(1);
    if (args.size() != 4) {
        std::fputs("usage: bench_literal PROGRAM_FOLDER PROFILE_FILE INSTALL_DIR CONFIG\n", stderr);
        return 2;
    }
    ProgramState state;
    state.programFolder = args[0];
    Settings::read(state);
    state.currentProfile = QFileInfo(args[1]).fileName();
    state.installDir = args[2];
    QString error;
    const auto profile = loadProfile(
        args[1], state, [](const QString &) {}, nullptr, &error);
    if (!profile || !literalMerge(args[3], state.syntax, GameConfigWriter::mergeItems(*profile), &error)) {
        std::fprintf(stderr, "%s\n", qPrintable(error));
        return 1;
    }
    return 0;
}
