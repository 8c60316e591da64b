// velmora-lobby: arranges games with others and starts the game to host or
// join them. An invitation (velmora://HOST[:PORT]) as its argument fills the
// join line, as the desktop passes one that was clicked.

#include "art/gamestyle.h"
#include "lobby/gamelauncher.h"
#include "lobby/gamelink.h"
#include "lobby/lobbywindow.h"
#include "terminationsignals.h"

#include <QApplication>

int main(int argc, char* argv[])
{
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("velmora-lobby"));
    QApplication::setStyle(velmora::art::makeApplicationStyle());
    // The window hides while a game runs: only closing it ends the lobby.
    QApplication::setQuitOnLastWindowClosed(false);

    using namespace velmora::lobby;
    LobbyWindow window(std::make_unique<ProcessLauncher>(), GameLink::kPort);
    const QStringList arguments = QApplication::arguments();
    if (arguments.size() > 1)
        window.setInvitation(arguments.at(1));
    QObject::connect(&window, &LobbyWindow::closed, &app, &QApplication::quit, Qt::QueuedConnection);
    velmora::onTerminationSignals(&app, [&app] { app.quit(); });
    window.show();
    return app.exec();
}
