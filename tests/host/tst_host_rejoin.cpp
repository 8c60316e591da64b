// The host's side of rejoining, on the wire: a lost player's seat is kept
// for the one who shows its token, peers that know only the common messages
// see what they always saw, forged or late rejoins get nothing, hostile
// peers cannot keep the player out, a silent peer is found by the heartbeat,
// and the host says goodbye when it ends.

#include "host/hostconsole.h"
#include "hostfixture.h"
#include "strictwarnings.h"

using namespace velmora;
using namespace velmora::test;

namespace {

// Announces the game's own messages after the login and reads the token.
QString announce(TestClient& client, const QString& features = QStringLiteral("rejoin"))
{
    client.send(QStringLiteral("CMD_extensions+%1+%2").arg(client.slot()).arg(features));
    const QString token = client.nextStartingWith(QStringLiteral("CMD_rejointoken+"));
    return token == kTimedOut ? QString() : token.mid(16);
}

// A new connection that asks for a seat back with `token`; returns what the host answered.
QString rejoin(TestClient& client, quint16 port, const QString& token)
{
    if (!client.connectTo(port))
        return kTimedOut;
    const QString greeting = client.next();
    const int slot = greeting.mid(18).toInt();
    client.send(QStringLiteral("CMD_extensions+%1+rejoin").arg(slot));
    client.send(QStringLiteral("CMD_rejoin+%1+%2").arg(slot).arg(token));
    return client.nextStartingWith(QStringLiteral("CMD_rejoin"));
}

// A peer that takes a waiting place and says nothing, and connects again
// the moment it is let go (for half a minute at most).
class HostilePeer {
public:
    explicit HostilePeer(quint16 port)
        : m_port(port)
    {
        QObject::connect(&m_socket, &QTcpSocket::disconnected, &m_socket, [this] {
            if (!m_until.hasExpired())
                m_socket.connectToHost(QHostAddress::LocalHost, m_port);
        });
        QObject::connect(&m_socket, &QTcpSocket::readyRead, &m_socket, [this] { m_socket.readAll(); });
        m_socket.connectToHost(QHostAddress::LocalHost, m_port);
    }

private:
    quint16 m_port;
    QDeadlineTimer m_until{30000};
    QTcpSocket m_socket;
};

} // namespace

class TestHostRejoin : public QObject, HostFixture {
    Q_OBJECT
private:
    // Nine players in a started game, and seat 3's connection lost: his seat
    // is held for the token he was given.
    void fillAndLoseSeatThree(std::vector<TestClient*>& clients, QString& token)
    {
        for (int i = 1; i <= 9; ++i)
            clients.push_back(join(QStringLiteral("P%1").arg(i)));
        QVERIFY(std::all_of(clients.begin(), clients.end(), [](TestClient* c) { return c != nullptr; }));
        token = announce(*clients[2]);
        QVERIFY(startWithFirst(1));
        clients[2]->abort();
        QVERIFY(QTest::qWaitFor([&] { return server().isHeld(3); }, kWaitMs));
    }

private slots:
    void init()
    {
        velmora::testing::failOnUnexpectedWarnings();
        setUp(this);
        // The computer waits, so the wire carries only what the tests look for.
        m_botDelayMs = 60000;
    }
    void cleanup() { tearDown(); }

    void lostSeatIsKeptForItsToken()
    {
        TestClient* you = join("You");
        TestClient* bob = join("Bob");
        QVERIFY(you && bob);
        const QString token = announce(*bob);
        QCOMPARE(token.size(), 32);
        QVERIFY(startWithFirst(1));

        bob->abort();
        // A peer that knows only the common messages sees Bob leave, as ever.
        QCOMPARE(you->nextStartingWith("CMD_playerdisconnected+"), QStringLiteral("CMD_playerdisconnected+2+Bob"));
        QVERIFY(QTest::qWaitFor([&] { return server().isHeld(2); }, kWaitMs));
        HostConsole console(server());
        QVERIFY(console.execute("who").contains(QRegularExpression("2     Bob .*held \\d+ s for its player")));

        // Guesses get nothing: a wrong token, a malformed one, a namesake without one.
        TestClient guess;
        QCOMPARE(rejoin(guess, server().port(), QString(32, u'0')), QStringLiteral("CMD_rejoinrefused+"));
        QTest::ignoreMessage(QtWarningMsg, QRegularExpression("^velmora host: dropped not a rejoin token"));
        TestClient malformed;
        QVERIFY(malformed.connectTo(server().port()));
        const int slot = malformed.next().mid(18).toInt();
        malformed.send(QStringLiteral("CMD_rejoin+%1+%2").arg(slot).arg("nottoken"));
        TestClient namesake;
        QVERIFY(namesake.connectTo(server().port()));
        QVERIFY(namesake.login("Bob") != 2);
        QVERIFY(server().isHeld(2));

        // The token brings Bob back to seat 2, with the game as it stands.
        TestClient back;
        QCOMPARE(rejoin(back, server().port(), token), QStringLiteral("CMD_rejoined+2"));
        QCOMPARE(back.nextStartingWith("CMD_newplayerinfo+"), QStringLiteral("CMD_newplayerinfo+2+Bob"));
        QVERIFY(back.nextStartingWith("CMD_loadboard+2+15+") != kTimedOut);
        QCOMPARE(back.nextStartingWith("CMD_nextplayer+"), QStringLiteral("CMD_nextplayer+1"));
        QCOMPARE(back.nextStartingWith("CMD_gamekind+"), QStringLiteral("CMD_gamekind+n+1+"));
        const QString fresh = back.nextStartingWith("CMD_rejointoken+").mid(16);
        QVERIFY(fresh.size() == 32 && fresh != token);
        QCOMPARE(you->nextStartingWith("CMD_newplayerinfo+2+"), QStringLiteral("CMD_newplayerinfo+2+Bob"));
        QVERIFY(!server().isHeld(2));
        // The old token is spent.
        TestClient replay;
        QCOMPARE(rejoin(replay, server().port(), token), QStringLiteral("CMD_rejoinrefused+"));
    }

    // Nine connections and one of them lost: a tenth waits aside, and only
    // the lost player's token lets it in.
    void fullGameStillTakesItsPlayerBack()
    {
        std::vector<TestClient*> clients;
        QString token;
        fillAndLoseSeatThree(clients, token);
        if (QTest::currentTestFailed())
            return;

        TestClient stranger;
        QVERIFY(stranger.connectTo(server().port()));
        QCOMPARE(stranger.next(), QStringLiteral("CMD_sendlogininfo+10"));
        stranger.send("CMD_logininfo+10+2.0.17+Zed");
        QCOMPARE(stranger.next(), QStringLiteral("CMD_full+"));
        QVERIFY(stranger.waitForDisconnect());

        TestClient back;
        QCOMPARE(rejoin(back, server().port(), token), QStringLiteral("CMD_rejoined+3"));
        QCOMPARE(clients[0]->nextStartingWith("CMD_newplayerinfo+3+"), QStringLiteral("CMD_newplayerinfo+3+P3"));
    }

    // However many waiting connections hostile peers hold, and however fast
    // they come back when let go, the lost player's return gets his seat,
    // and a stranger still finds the game full.
    void hostilePeersCannotKeepThePlayerOut_data()
    {
        QTest::addColumn<int>("peers");
        QTest::newRow("one") << 1;
        QTest::newRow("more than the waiting places") << SeatKeeper::kWaitingPlaces + 4;
    }
    void hostilePeersCannotKeepThePlayerOut()
    {
        QFETCH(int, peers);
        std::vector<TestClient*> clients;
        QString token;
        fillAndLoseSeatThree(clients, token);
        if (QTest::currentTestFailed())
            return;

        std::vector<std::unique_ptr<HostilePeer>> hostile;
        for (int i = 0; i < peers; ++i)
            hostile.push_back(std::make_unique<HostilePeer>(server().port()));
        const int placesTaken = std::min(peers, SeatKeeper::kWaitingPlaces);
        QVERIFY(QTest::qWaitFor(
            [&] {
                int taken = 0;
                for (int s = SeatKeeper::kFirstWaitingSlot; s <= SeatKeeper::kLastWaitingSlot; ++s)
                    taken += server().connection(s).connected ? 1 : 0;
                return taken == placesTaken;
            },
            kWaitMs));

        TestClient stranger;
        QVERIFY(stranger.connectTo(server().port()));
        QCOMPARE(stranger.next(), QStringLiteral("CMD_sendlogininfo+10"));
        stranger.send("CMD_logininfo+10+2.0.17+Zed");
        QCOMPARE(stranger.nextStartingWith("CMD_full+"), QStringLiteral("CMD_full+"));

        TestClient back;
        QCOMPARE(rejoin(back, server().port(), token), QStringLiteral("CMD_rejoined+3"));
        QCOMPARE(clients[0]->nextStartingWith("CMD_newplayerinfo+3+"), QStringLiteral("CMD_newplayerinfo+3+P3"));
        QVERIFY(!server().isHeld(3));
    }

    // A peer that answers pings stays; one that falls silent is taken as
    // lost, its seat kept. A peer that knows only the common messages is
    // never pinged.
    void theHeartbeatFindsASilentPeer()
    {
        server().setHeartbeat(100, 1500);
        TestClient* you = join("You");
        TestClient* bob = join("Bob");
        TestClient* cy = join("Cy");
        QVERIFY(you && bob && cy);
        announce(*bob, QStringLiteral("rejoin heartbeat"));
        announce(*cy, QStringLiteral("rejoin heartbeat"));
        QVERIFY(startWithFirst(1));
        // Cy keeps answering; Bob hears the pings and says nothing, and
        // neither does You, who was never pinged.
        QTimer answering;
        answering.callOnTimeout([cy] { cy->send(QStringLiteral("CMD_pong+3")); });
        answering.start(100);
        QCOMPARE(bob->nextStartingWith("CMD_ping+"), QStringLiteral("CMD_ping+"));
        QCOMPARE(you->nextStartingWith("CMD_playerdisconnected+"), QStringLiteral("CMD_playerdisconnected+2+Bob"));
        QVERIFY(server().isHeld(2));
        QVERIFY(bob->waitForDisconnect());
        QVERIFY(server().connection(3).connected);
        QVERIFY(server().connection(1).connected);
        probe(*you, "after");
        QCOMPARE(withPrefix(you->until(you->chatRelay("You", "after")), "CMD_ping+"), QStringList());
    }

    // Spectators of ours are told whose turn it is; the others see what they always saw.
    void spectatorsOfOursAreToldWhoseTurnItIs()
    {
        TestClient* you = join("You");
        for (int i = 2; i <= 4; ++i)
            QVERIFY(join(QStringLiteral("P%1").arg(i)));
        TestClient* plain = join("Pat");
        TestClient* ours = join("Oz");
        QVERIFY(you && plain && ours);
        announce(*ours);
        QVERIFY(startWithFirst(1));
        QCOMPARE(ours->nextStartingWith("CMD_whoseturn+"), QStringLiteral("CMD_whoseturn+1"));
        probe(*you, "after");
        const QStringList seen = plain->until(you->chatRelay("You", "after"));
        QCOMPARE(withPrefix(seen, "CMD_whoseturn+"), QStringList());
        QCOMPARE(withPrefix(seen, "CMD_nextplayer+"), QStringList());
    }

    // A host that ends on purpose tells our windows before it closes.
    void theHostSaysGoodbye()
    {
        TestClient* you = join("You");
        TestClient* bob = join("Bob");
        QVERIFY(you && bob);
        announce(*bob);
        QVERIFY(startWithFirst(1));
        server().sayGoodbye();
        QCOMPARE(bob->nextStartingWith("CMD_goodbye+"), QStringLiteral("CMD_goodbye+"));
        QVERIFY(bob->waitForDisconnect());
        QVERIFY(you->waitForDisconnect());
        QCOMPARE(withPrefix(you->pending(), "CMD_goodbye+"), QStringList());
        QVERIFY(!server().isHeld(2));
    }

    void nothingIsKeptWhenThePlayerChoseToGoOrNeverAnnounced()
    {
        TestClient* you = join("You");
        TestClient* bob = join("Bob");
        TestClient* cy = join("Cy");
        QVERIFY(you && bob && cy);
        announce(*bob);
        QVERIFY(startWithFirst(1));

        bob->send("CMD_leaving+2");
        bob->close();
        QCOMPARE(you->nextStartingWith("CMD_playerdisconnected+"), QStringLiteral("CMD_playerdisconnected+2+Bob"));
        cy->abort();
        QCOMPARE(you->nextStartingWith("CMD_playerdisconnected+"), QStringLiteral("CMD_playerdisconnected+3+Cy"));
        QVERIFY(!server().isHeld(2));
        QVERIFY(!server().isHeld(3));
        // No hold either when the host keeps none.
        server().setRejoinGrace(0);
        TestClient* dee = join("Dee");
        QVERIFY(dee);
        dee->send(QStringLiteral("CMD_extensions+%1+rejoin").arg(dee->slot()));
        probe(*you, "after");
        const QStringList came = dee->until(you->chatRelay("You", "after"));
        QVERIFY(!came.contains(kTimedOut));
        QCOMPARE(withPrefix(came, "CMD_rejointoken+"), QStringList());
    }
};

QTEST_GUILESS_MAIN(TestHostRejoin)
#include "tst_host_rejoin.moc"
