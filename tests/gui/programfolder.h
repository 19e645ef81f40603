#pragma once

#include "app/clock.h"
#include "app/widgets/application.h"
#include "app/widgets/dialogs.h"
#include "app/widgets/frmload.h"
#include "app/widgets/platform.h"
#include "editor/widgets/featuredialogs.h"
#include "editor/widgets/frmindex.h"
#include "testfiles.h"

#include <QAction>
#include <QDir>
#include <QMenuBar>
#include <QTemporaryDir>

#include <memory>

namespace Tunesmith
{

// Two pages: a heading, an on/off, a list and a numeric tweak on "Video", a ruled numeric tweak on "Network".
inline QByteArray testProfile(const QByteArray &game = "Test Game")
{
    return keptProfile(
        "[title]\n" + game +
        "\n1-2-2026\nTester\n[syntax]\ngame.cfg\nseta cvar \"value\"\n[add tab]\nVideo\n[add label]\nDisplay\n"
        "[add simple]\nr_fullscreen\n1|1|0|0\nFull screen\nRuns the game in full screen.\n"
        "[add multi]\nr_picmip\nHigh|Medium|Low\n0|1|2\n1|0|2|2\nTexture detail\nHow sharp textures are.\n"
        "[add text]\ncom_maxfps\n30|250\n85|60|125|250\nFrame limit\nMost frames a second.\n"
        "[add tab]\nNetwork\n[add ping text]\nrate\n2500|25000\nds/8\nRate\nBytes a second the server may send.\n");
}

// A program folder in a temporary directory, with "Test Game.tsm" among its profiles and game/ for the game's
// config; the dialogs and the desktop are recorded, and no update server is ever asked.
struct ProgramFolder
{
    QTemporaryDir dir;
    const QString path = dir.path();
    const QString settings = path + QStringLiteral("/config.cfg");
    const QString config = path + QStringLiteral("/game/game.cfg");
    std::unique_ptr<Application> app;

    ProgramFolder()
    {
        QDir(path).mkpath(QStringLiteral("profiles"));
        QDir(path).mkpath(QStringLiteral("game"));
        writeAll(path + QStringLiteral("/profiles/Test Game.tsm"), testProfile());
        writeAll(settings, "update|0\r\n");
        Dialogs::setRecording(true);
        Dialogs::takeMessages();
        Dialogs::takeFileDialogRequests();
        FeatureDialogs::setRecording(true);
        FeatureDialogs::takeShown();
        Platform::setRecording(true);
        Platform::setStartSucceeds(true);
        Platform::takeStartedPrograms();
    }

    // A main window menu entry (the tweak controls' popup menus have entries of the same names).
    QAction *action(const char *n) const
    {
        return app->indexWindow()->menuBar()->findChild<QAction *>(QLatin1String(n));
    }

    // Starts the program; its start-up window has the first profile selected.
    Application &start()
    {
        app = std::make_unique<Application>(path);
        app->start();
        return *app;
    }

    // Starts the program with a download speed of 80000 bytes a second, game/ stored as Test Game's install
    // directory and more settings lines, and loads the first profile: its main window, with the clock at
    // 4 December 2026, 23:05:41.
    frmIndex *load(const QByteArray &moreSettings = {})
    {
        writeAll(settings, "update|0\r\ndownload|80000\r\nTest Game.tsm|" + path.toUtf8() + "/game\r\n" + moreSettings);
        start().loadWindow()->cmdLoad_Click();
        if (frmIndex *index = app->indexWindow()) {
            index->setClock(std::make_unique<FixedClock>(QDateTime(QDate(2026, 12, 4), QTime(23, 5, 41))));
            return index;
        }
        return nullptr;
    }
};

} // namespace Tunesmith
