// The lobby as a player sees it, with games on the network, painted to a PNG.

#include "art/gamestyle.h"
#include "lobby/gamelistmodel.h"
#include "lobby/lobbywindow.h"
#include "records/datafolder.h"

#include <QApplication>
#include <QLabel>
#include <QLineEdit>
#include <QTemporaryDir>

namespace {

struct NoLauncher : velmora::lobby::GameLauncher {
    velmora::Status launch(const velmora::lobby::GameLaunch&) override { return velmora::success(); }
};

velmora::net::FoundGame game(const char* title, const char* host, int players, int spectators, bool playing,
                             const char* version = "2.0.17")
{
    const QList<QByteArray> txt{QByteArray("version=") + version,
                                QByteArray("title=") + title,
                                QByteArray("host=") + host,
                                "players=" + QByteArray::number(players),
                                "spectators=" + QByteArray::number(spectators),
                                playing ? "state=playing" : "state=waiting"};
    return velmora::net::checkFoundGame(QString::fromUtf8(title), QStringLiteral("192.168.1.20"), 7772, txt);
}

} // namespace

int main(int argc, char* argv[])
{
    QApplication app(argc, argv);
    QApplication::setStyle(velmora::art::makeApplicationStyle());
    QTemporaryDir folder; // no settings file of the player's is read or written
    velmora::setDataFolderForTesting(folder.path());

    velmora::lobby::LobbyWindow window(std::make_unique<NoLauncher>());
    window.findChild<QLineEdit*>(QStringLiteral("edit_name"))->setText(QStringLiteral("Ann"));
    window.findChild<QLineEdit*>(QStringLiteral("edit_address"))->setText(QStringLiteral("velmora://203.0.113.7"));
    window.games().setGames({game("Bob's game", "Bob", 2, 1, false), game("Friday dice", "Cy", 4, 3, true),
                             game("Old table", "Dee", 1, 0, false, "2.0.12")});
    // This machine may have no avahi-daemon; the picture shows a network that has one.
    window.findChild<QLabel*>(QStringLiteral("label_games"))->clear();
    window.show();
    window.grab().save(QStringLiteral(VELMORA_PICTURE));
    return 0;
}
