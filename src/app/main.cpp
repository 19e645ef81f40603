#include "app/fileutil.h"
#include "app/programstate.h"
#include "app/usagetext.h"
#include "app/widgets/application.h"

#include <QApplication>

#include <cstdio>
#include <cstring>

int main(int argc, char *argv[])
{
    // Answered before QApplication exists, which needs a display: from a terminal, a script or a package's check.
    for (int i = 1; i < argc; ++i) {
        if (std::strcmp(argv[i], "--help") == 0 || std::strcmp(argv[i], "-h") == 0) {
            std::fputs(Tunesmith::usageText, stdout);
            return std::fflush(stdout) == 0 ? 0 : 1;
        }
        if (std::strcmp(argv[i], "--version") == 0) {
            const QByteArray version = Tunesmith::VersionText(Tunesmith::ProgramState::versionNumber).toLatin1();
            std::printf("tunesmith %s\n", version.constData());
            return std::fflush(stdout) == 0 ? 0 : 1;
        }
    }

    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Tunesmith"));
    QApplication::setApplicationVersion(Tunesmith::VersionText(Tunesmith::ProgramState::versionNumber));
    QApplication::setQuitOnLastWindowClosed(false);

    // The program folder is the executable's folder: profiles, settings, backups and the tune live beside it.
    Tunesmith::Application tunesmith(QCoreApplication::applicationDirPath());
    QObject::connect(&tunesmith, &Tunesmith::Application::programEnded, &app, &QCoreApplication::quit,
                     Qt::QueuedConnection);
    if (!tunesmith.start())
        return 0;
    return app.exec();
}
