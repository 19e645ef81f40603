#include "app/widgets/application.h"

#include <QApplication>

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Tunesmith"));
    QApplication::setApplicationVersion(QStringLiteral("1.03"));
    QApplication::setQuitOnLastWindowClosed(false);

    // The program folder is the executable's folder: profiles, settings, backups and the tune live beside it.
    Tunesmith::Application tunesmith(QCoreApplication::applicationDirPath());
    QObject::connect(&tunesmith, &Tunesmith::Application::programEnded, &app, &QCoreApplication::quit,
                     Qt::QueuedConnection);
    if (!tunesmith.start())
        return 0;
    return app.exec();
}
