// The file work of tunesmith-cli save and nothing else, as a whole process: the same start (Qt Core), the
// profile and the game config read whole by the same routine, and the config written back unchanged through
// the same safe writer (temporary file, flush to disk, rename). What a save costs beyond this is reading the
// profile, building the tweaks and merging.
//   bench_filework PROFILE_FILE CONFIG

#include "app/savefile.h"
#include "app/textlines.h"

#include <QCoreApplication>

#include <cstdio>

using namespace Tunesmith;

int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    const QStringList args = QCoreApplication::arguments().mid(1);
    if (args.size() != 2) {
        std::fputs("usage: bench_filework PROFILE_FILE CONFIG\n", stderr);
        return 2;
    }
    QString error;
    const auto profile = readWholeFile(args[0], &error);
    const auto config = profile ? readWholeFile(args[1], &error) : std::nullopt;
    if (!config || !saveFile(args[1], *config, &error)) {
        std::fprintf(stderr, "%s\n", qPrintable(error));
        return 1;
    }
    std::puts("Config saved!");
    return 0;
}
