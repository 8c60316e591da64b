// The host's side of rejoining, on the wire: a lost player's seat is kept
// for the one who shows its token, peers that know only the common messages
// see what they always saw, and forged or late rejoins get nothing.

#include "host/hostconsole.h"
#include "hostfixture.h"
#include "strictwarnings.h"

using namespace velmora;
using namespace velmora::test;

namespace {

// Announces the game's own messages after the login and reads the token.
QString announce(TestClient& client)
{
    client.send(QStringLiteral("CMD_extensions+%1+rejoin").arg(client.slot()));
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

} // namespace

class TestHostRejoin : public QObject, HostFixture {
    Q_OBJECT
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
        QVERIFY(QTest::qWaitFor([&] { return server().connection(2).held; }, kWaitMs));
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
        QVERIFY(server().connection(2).held);

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
        QVERIFY(!server().connection(2).held);
        // The old token is spent.
        TestClient replay;
        QCOMPARE(rejoin(replay, server().port(), token), QStringLiteral("CMD_rejoinrefused+"));
    }

    // Nine connections and one of them lost: a tenth waits aside, and only
    // the lost player's token lets it in.
    void fullGameStillTakesItsPlayerBack()
    {
        std::vector<TestClient*> clients;
        for (int i = 1; i <= 9; ++i)
            clients.push_back(join(QStringLiteral("P%1").arg(i)));
        QVERIFY(std::all_of(clients.begin(), clients.end(), [](TestClient* c) { return c != nullptr; }));
        const QString token = announce(*clients[2]);
        QVERIFY(startWithFirst(1));
        clients[2]->abort();
        QVERIFY(QTest::qWaitFor([&] { return server().connection(3).held; }, kWaitMs));

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
        QVERIFY(!server().connection(2).held);
        QVERIFY(!server().connection(3).held);
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
