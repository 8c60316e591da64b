// A whole game arranged through the lobby, against a real avahi-daemon (run
// by avahi-netns.sh): Ann hosts, and Bob and Cy each find her game in their
// own lobby's list, join it from there and play to the winner. The lobbies
// start the game in this process, with the parameters they would pass to
// the program, and come back when their player's game ends.

#include "client/gametable.h"
#include "lobby/gamelink.h"
#include "lobby/gamelistmodel.h"
#include "lobby/lobbywindow.h"
#include "recordinglauncher.h"

#include <QTreeView>

using namespace velmora;
using namespace velmora::testing;

namespace {

// The row of a game listed with this title, host and port, joinable; -1 while there is none.
int listedRow(lobby::LobbyWindow& lobby, const QString& title, const QString& host, quint16 port)
{
    const lobby::GameListModel& games = lobby.games();
    for (int row = 0; row < games.rowCount(); ++row) {
        const net::FoundGame* g = games.gameAt(row);
        if (g->record.title == title && g->record.host == host && g->address.port == port && g->joinable)
            return row;
    }
    return -1;
}

} // namespace

class TestLobbyGame : public QObject {
    Q_OBJECT
private slots:
    void init() { failOnUnexpectedWarnings(); }

    void playersJoinFromTheListAndPlayToTheWinner()
    {
        TemporaryDataFolder folder;
        Table table;
        GameInstance& ann = table.host(QStringLiteral("Ann"));
        const quint16 port = ann.server.port();

        std::map<QString, std::unique_ptr<lobby::LobbyWindow>> lobbies;
        for (const QString& name : {QStringLiteral("Bob"), QStringLiteral("Cy")}) {
            auto* launcher = new RecordingLauncher;
            auto& lobby =
                *(lobbies[name] = std::make_unique<lobby::LobbyWindow>(std::unique_ptr<lobby::GameLauncher>(launcher)));
            lobby.show();
            QVERIFY(QTest::qWaitForWindowExposed(&lobby));
            lobby.findChild<QLineEdit*>(QStringLiteral("edit_name"))->setText(name);
            int row = -1;
            QVERIFY2(waitUntil([&] { return (row = listedRow(lobby, "Ann's game", "Ann", port)) >= 0; }),
                     qPrintable(name + QStringLiteral("'s lobby lists ") + QString::number(lobby.games().rowCount()) +
                                QStringLiteral(" games")));

            // Enter on the game in the list joins it.
            auto* list = lobby.findChild<QTreeView*>(QStringLiteral("list_games"));
            list->setFocus();
            list->setCurrentIndex(lobby.games().index(row, 0));
            QTest::keyClick(list, Qt::Key_Return);
            QVERIFY2(waitUntil([&] { return !launcher->launches.isEmpty(); }), qPrintable(lobby.status()));
            const lobby::GameLaunch launch = launcher->launches.constFirst();
            QCOMPARE(launch.arguments(),
                     QStringList({name, QStringLiteral("192.0.2.10:%1").arg(port), QStringLiteral("false")}));
            QVERIFY(!lobby.isVisible());

            table.joinWith(name, launch.arguments(), 0, lobby.linkPort());
            if (QTest::currentTestFailed())
                return;
            QVERIFY(waitUntil([&] { return lobby.findChild<lobby::GameLink*>()->games() == 1; }));
        }

        // Bob, who joined from the list, closes his board first.
        DiceScript().plan(2, DiceScript::closingTurns()).install(ann.server);
        ann.startGame(/*points*/ false);
        table.playToWinner();
        table.checkWinner(QStringLiteral("Bob"));
        if (QTest::currentTestFailed())
            return;

        // His game ends: his lobby is back, Cy's still waits for hers.
        table.leave(QStringLiteral("Bob"));
        QVERIFY(waitUntil([&] { return lobbies["Bob"]->isVisible(); }));
        QCOMPARE(lobbies["Bob"]->status(), QStringLiteral("The game has ended."));
        QVERIFY(!lobbies["Cy"]->isVisible());
    }
};

QTEST_MAIN(TestLobbyGame)
#include "tst_lobbygame.moc"
