// The host's game over loopback TCP: the turn engine, the computer player and
// departures during a turn, checked message by message as the clients receive them.

#include "hostfixture.h"
#include "strictwarnings.h"

using namespace velmora;
using namespace velmora::test;

class TestHostTurns : public QObject, private HostFixture {
    Q_OBJECT

private slots:
    void init() { velmora::testing::failOnUnexpectedWarnings(); setUp(this); }
    void cleanup() { tearDown(); }

    // --- the turn engine ----------------------------------------------------------------

    void soloOpeningAgainstTheComputer()
    {
        TestClient* you = join("You");
        QVERIFY(you);
        QVERIFY(startWithFirst(2));

        QStringList expected = {kExampleThrow};
        expected << examplePlacements(2) << "CMD_endturn+2+0+6+20+Bull"
                 << "CMD_nextplayer+1";
        QCOMPARE(take(*you, expected.size()), expected);

        // Byte for byte, from the greeting to the seat's first turn.
        QByteArray wire;
        for (const QString& m : QStringList{"CMD_startgame+1+n+1+", "CMD_nextplayer+2"} + expected)
            wire += m.toLatin1() + '\xFF';
        QVERIFY(you->rawReceived().startsWith("CMD_sendlogininfo+1\xFF"
                                              "CMD_newplayerinfo+1+You\xFF"));
        QVERIFY(you->rawReceived().endsWith(wire));

        // The player's own turn: a few dice by hand, the rest by automatic placement.
        you->send("CMD_throwdarts+1");
        QCOMPARE(you->next(), kExampleThrow);
        you->send("CMD_placedice+1+4+1+1");  // 6
        you->send("CMD_placedice+1+5+1+2");  // 6
        you->send("CMD_placedice+1+11+1+3"); // 6
        you->send("CMD_placedice+1+12+1+4"); // 6
        QCOMPARE(take(*you, 4), (QStringList{"CMD_placedice+1+6+4+1+1", "CMD_placedice+1+12+5+1+2",
                                             "CMD_placedice+1+18+11+1+3", "CMD_placedice+1+dBull+12+1+4"}));
        you->send("CMD_autoplace+1");
        // Dart 1 is full: the rest go out by number, 1 2 3 6 (1+5+2+1) and 7 8 9 10 (3+4+2+5).
        QCOMPARE(take(*you, 8),
                 (QStringList{"CMD_placedice+1+1+1+2+1", "CMD_placedice+1+6+2+2+2", "CMD_placedice+1+8+3+2+3",
                              "CMD_placedice+1+9+6+2+4", "CMD_placedice+1+3+7+3+1", "CMD_placedice+1+7+8+3+2",
                              "CMD_placedice+1+9+9+3+3", "CMD_placedice+1+14+10+3+4"}));
        QCOMPARE(you->next(), QStringLiteral("CMD_endturn+1+0+dBull+9+14"));
        QCOMPARE(you->next(), QStringLiteral("CMD_nextplayer+2"));
        QCOMPARE(rules::marksOn(server().engine().seat(1).marks, game::kBull), 2);
    }

    void turnGuards()
    {
        TestClient* you = join("You");
        TestClient* bob = join("Bob");
        QVERIFY(you && bob);
        QVERIFY(startWithFirst(1));

        // Before the throw: nobody places, and only the current seat throws.
        bob->send("CMD_throwdarts+2");
        you->send("CMD_placedice+1+1+1+1");
        you->send("CMD_autoplace+1");
        bob->send("CMD_autoplace+2");
        probe(*you, "p1");
        QCOMPARE(bob->until(you->chatRelay("You", "p1")), QStringList());

        you->send("CMD_throwdarts+1");
        you->send("CMD_throwdarts+1"); // once a turn
        you->send("CMD_placedice+1+1+1+1");
        you->send("CMD_placedice+1+1+1+2"); // die already used
        you->send("CMD_placedice+1+2+1+1"); // place taken
        bob->send("CMD_placedice+2+3+1+2"); // not his turn
        bob->send("CMD_throwdarts+2");
        probe(*you, "p2");
        QCOMPARE(bob->until(you->chatRelay("You", "p2")), (QStringList{kExampleThrow, "CMD_placedice+1+1+1+1+1"}));

        you->send("CMD_autoplace+1");
        const QStringList rest = bob->until("CMD_nextplayer+2");
        QCOMPARE(withPrefix(rest, "CMD_placedice+1+").size(), 11);
        QCOMPARE(rest.last(), QStringLiteral("CMD_endturn+1+0+6+20+Bull"));
        QVERIFY(bob->isConnected());
    }

    void newcomerIsBroughtUpToDate()
    {
        TestClient* you = join("You");
        QVERIFY(you);
        QVERIFY(startWithFirst(2));
        QCOMPARE(you->until("CMD_nextplayer+1").last(), QStringLiteral("CMD_endturn+2+0+6+20+Bull"));

        // Seat 2 was the computer's; the newcomer takes it with its marks.
        TestClient bob;
        QVERIFY(bob.connectTo(server().port()));
        QCOMPARE(bob.login("Bob"), 2);
        QStringList expected = {"CMD_existingplayers+1+You"};
        for (int target = 15; target <= 21; ++target)
            expected << QStringLiteral("CMD_loadboard+1+%1+0+0").arg(target);
        for (int target = 15; target <= 21; ++target)
            expected << QStringLiteral("CMD_loadboard+2+%1+%2+0").arg(target).arg(target >= 20 ? 1 : 0);
        expected << "CMD_nextplayer+1" << kZeroThrow;
        QCOMPARE(take(bob, expected.size()), expected);

        // A third arrives after the throw: seats 1 to 3 are in play now, seat 4 is not.
        you->send("CMD_throwdarts+1");
        QCOMPARE(you->next(), QStringLiteral("CMD_newplayerinfo+2+Bob"));
        QCOMPARE(you->next(), kExampleThrow);
        QCOMPARE(bob.next(), kExampleThrow);
        TestClient cy;
        QVERIFY(cy.connectTo(server().port()));
        QCOMPARE(cy.login("Cy"), 3);
        const QStringList got = cy.until(kExampleThrow);
        QCOMPARE(got.size(), 2 + 21 + 1);
        QCOMPARE(withPrefix(got, "CMD_loadboard+").size(), 21);
        QCOMPARE(withPrefix(got, "CMD_loadboard+3+").size(), 7);
        QCOMPARE(got.last(), QStringLiteral("CMD_nextplayer+1"));
        QCOMPARE(you->next(), QStringLiteral("CMD_newplayerinfo+3+Cy"));
    }

    void newcomerMidTurnSeesTheDicePlacedSoFar()
    {
        TestClient* you = join("You");
        QVERIFY(you);
        QVERIFY(startWithFirst(1));
        you->send("CMD_throwdarts+1");
        QCOMPARE(you->next(), kExampleThrow);
        // The first dart is complete and one die lies on the second.
        const QStringList moves = {"1+1+1", "2+1+2", "3+1+3", "4+1+4", "5+2+1"};
        for (const QString& move : moves)
            you->send(QStringLiteral("CMD_placedice+1+") + move);
        const QStringList placed = take(*you, moves.size());
        QCOMPARE(placed.first(), QStringLiteral("CMD_placedice+1+1+1+1+1"));
        QCOMPARE(placed.last(), QStringLiteral("CMD_placedice+1+6+5+2+1"));

        // A newcomer gets the same placements after the dice, so that its
        // board marks the first dart like everybody else's.
        TestClient bob;
        QVERIFY(bob.connectTo(server().port()));
        QCOMPARE(bob.login("Bob"), 2);
        const QStringList got = bob.until(kExampleThrow);
        QCOMPARE(got.last(), QStringLiteral("CMD_nextplayer+1"));
        QCOMPARE(take(bob, moves.size()), placed);
    }

    void newcomerGetsTheTurnOnceFromItsCatchUp()
    {
        TestClient* you = join("You");
        TestClient* bob = join("Bob");
        QVERIFY(you && bob);
        m_botDelayMs = 600000;
        QVERIFY(startWithFirst(1));

        // Cy's connection is accepted, but he logs in only after a turn has
        // ended, the next has opened and some of its dice lie on the darts.
        TestClient cy;
        QVERIFY(cy.connectTo(server().port()));
        QCOMPARE(cy.next(), QStringLiteral("CMD_sendlogininfo+3"));
        you->send("CMD_throwdarts+1");
        you->send("CMD_autoplace+1");
        QCOMPARE(you->nextStartingWith("CMD_nextplayer+"), QStringLiteral("CMD_nextplayer+2"));
        QCOMPARE(bob->nextStartingWith("CMD_nextplayer+"), QStringLiteral("CMD_nextplayer+2"));
        bob->send("CMD_throwdarts+2");
        const QStringList moves = {"1+1+1", "2+1+2", "3+1+3", "4+1+4", "5+2+1"};
        for (const QString& move : moves)
            bob->send(QStringLiteral("CMD_placedice+2+") + move);
        QCOMPARE(bob->next(), kExampleThrow);
        const QStringList placed = take(*bob, moves.size());
        QCOMPARE(placed.last(), QStringLiteral("CMD_placedice+2+6+5+2+1"));

        // What he is told from his login on: the players, the boards, whose
        // turn it is, the dice and their places, each once.
        cy.send("CMD_logininfo+3+2.0.17+Cy");
        QCOMPARE(you->nextStartingWith("CMD_newplayerinfo+"), QStringLiteral("CMD_newplayerinfo+3+Cy"));
        probe(*you, "probe");
        QStringList expected = {"CMD_newplayerinfo+3+Cy", "CMD_existingplayers+1+You", "CMD_existingplayers+2+Bob"};
        for (int seat = 1; seat <= 3; ++seat) {
            for (int target = 15; target <= 21; ++target) {
                const bool hit = seat == 1 && (target == 20 || target == 21); // "6", "20", "Bull"
                expected << QStringLiteral("CMD_loadboard+%1+%2+%3+0").arg(seat).arg(target).arg(hit ? 1 : 0);
            }
        }
        expected << "CMD_nextplayer+2" << kExampleThrow << placed;
        QCOMPARE(cy.until(you->chatRelay("You", "probe")), expected);
    }

    void newcomerInTheCurrentSeatFinishesItsTurn()
    {
        TestClient* you = join("You");
        QVERIFY(you);
        m_botDelayMs = 600000; // the computer would wait for ever
        QVERIFY(startWithFirst(2));

        TestClient bob;
        QVERIFY(bob.connectTo(server().port()));
        QCOMPARE(bob.login("Bob"), 2);
        const QStringList got = bob.until(kExampleThrow);
        QCOMPARE(got.size(), 1 + 14 + 2);
        QCOMPARE(got.mid(got.size() - 2), (QStringList{"CMD_nextplayer+2", kZeroThrow}));
        QCOMPARE(you->next(), QStringLiteral("CMD_newplayerinfo+2+Bob"));
        QCOMPARE(you->next(), kExampleThrow);

        // The seat is his now: he places, not the computer.
        bob.send("CMD_autoplace+2");
        QStringList expected = examplePlacements(2);
        expected << "CMD_endturn+2+0+6+20+Bull"
                 << "CMD_nextplayer+1";
        QCOMPARE(take(*you, expected.size()), expected);
    }

    void spectatorsGetNoTurnAnnouncements()
    {
        for (int i = 1; i <= 5; ++i)
            QVERIFY(join(QStringLiteral("P%1").arg(i)));
        TestClient& host = *m_clients.front();
        TestClient& spy = *m_clients.back();
        QVERIFY(startWithFirst(3));
        TestClient& third = *m_clients[2];
        third.send("CMD_throwdarts+3");
        third.send("CMD_autoplace+3");
        QCOMPARE(third.until("CMD_nextplayer+4").size(), 1 + 12 + 1);
        probe(host, "probe");
        const QStringList seen = spy.until(host.chatRelay("P1", "probe"));
        QCOMPARE(seen.size(), 1 + 12 + 1);
        QCOMPARE(seen.first(), kExampleThrow);
        QVERIFY(seen.last().startsWith(QLatin1String("CMD_endturn+3+")));
        QVERIFY(!spy.rawReceived().contains("CMD_nextplayer"));

        // A newcomer, spectator or not, does get the current turn.
        TestClient late;
        QVERIFY(late.connectTo(server().port()));
        QCOMPARE(late.login("Late"), 6);
        const QStringList got = late.until(kZeroThrow);
        QCOMPARE(withPrefix(got, "CMD_loadboard+").size(), 28);
        QCOMPARE(got.last(), QStringLiteral("CMD_nextplayer+4"));
    }

    void teamGameTurnOrderAndPartners()
    {
        // Seven throws in a row; the computer's rule puts dice 1-4, 5-8, 9-12 on darts 1, 2, 3:
        // 15 15 15, 16 16 16, ... 20 20 20, dBull dBull dBull.
        const QList<QList<int>> darts = {{3, 4, 4, 4}, {4, 4, 4, 4}, {5, 4, 4, 4}, {5, 5, 4, 4},
                                         {5, 5, 5, 4}, {5, 5, 5, 5}, {6, 6, 6, 6}};
        m_dice.clear();
        for (const QList<int>& dart : darts)
            m_dice << dart << dart << dart;

        TestClient* you = join("You");
        QVERIFY(you);
        // Seat 3 begins: the turns go 3, 4, 1, 2, ... and the teams alternate.
        QVERIFY(startWithFirst(3, "1+0+"));
        QVERIFY(you->rawReceived().endsWith("CMD_startgame+1+t+0+\xFF"
                                            "CMD_nextplayer+3\xFF"));

        QStringList log;
        QString winner;
        QDeadlineTimer deadline(60000);
        while (winner.isEmpty() && !deadline.hasExpired()) {
            const QString message = you->next(int(std::max<qint64>(1, deadline.remainingTime())));
            if (message == kTimedOut)
                break;
            log << message;
            if (message == QLatin1String("CMD_nextplayer+1")) {
                you->send("CMD_throwdarts+1");
                you->send("CMD_autoplace+1");
            } else if (message.startsWith(QLatin1String("CMD_winner+"))) {
                winner = message.mid(11);
            }
        }

        // Each team gets every throw once in its seven turns, so seats 3 and 1
        // close everything on the thirteenth turn, which is seat 3's.
        QList<int> turns{3};
        for (const QString& m : withPrefix(log, "CMD_nextplayer+"))
            turns << m.mid(15).toInt();
        QCOMPARE(turns.size(), 13);
        for (int i = 0; i < turns.size(); ++i)
            QCOMPARE(turns[i], (2 + i) % 4 + 1);

        // Every score goes to the partner right after.
        int scored = 0;
        for (int i = 0; i < log.size(); ++i) {
            if (!log[i].startsWith(QLatin1String("CMD_endturn+")))
                continue;
            ++scored;
            const QStringList fields = log[i].split(u'+');
            const int seat = fields[1].toInt();
            QVERIFY(i + 1 < log.size());
            QStringList partner = fields;
            partner[0] = "CMD_tendturn";
            partner[1] = QString::number((seat + 1) % 4 + 1);
            QCOMPARE(log[i + 1], partner.join(u'+'));
        }
        QCOMPARE(scored, 13);
        QCOMPARE(winner, QStringLiteral("Dask and You"));
        QVERIFY(!server().engine().isRunning());
        QCOMPARE(server().engine().currentSeat(), 0);
        // Partners share marks and score.
        QCOMPARE(server().engine().seat(3).marks, server().engine().seat(1).marks);
        QCOMPARE(server().engine().seat(3).score, server().engine().seat(1).score);
        QVERIFY(rules::allClosed(server().engine().seat(1).marks));
    }

    // --- departures during a turn ---------------------------------------------------------

    void leavingBeforeTheThrow()
    {
        TestClient* you = join("You");
        TestClient* bob = join("Bob");
        QVERIFY(you && bob);
        m_botDelayMs = 600000; // only an immediate hand-over can finish the turn
        QVERIFY(startWithFirst(2));

        // The peer's close is reported twice: the first throws for him, the second places everything.
        bob->close();
        QStringList expected = {"CMD_playerdisconnected+2+Bob", kExampleThrow};
        expected << examplePlacements(2) << "CMD_endturn+2+0+6+20+Bull"
                 << "CMD_nextplayer+1";
        QCOMPARE(take(*you, expected.size()), expected);
        QVERIFY(!server().connection(2).connected);
    }

    void peersResettingTogether()
    {
        TestClient* you = join("You");
        TestClient* bob = join("Bob");
        TestClient* cid = join("Cid");
        QVERIFY(you && bob && cid);
        // Both connections are reset (not closed in order) at the same moment:
        // the host learns of the second while it tells the others of the first.
        for (TestClient* leaving : {bob, cid}) {
            const linger reset{1, 0};
            ::setsockopt(int(leaving->socket().socketDescriptor()), SOL_SOCKET, SO_LINGER, &reset, sizeof reset);
        }
        bob->abort();
        cid->abort();
        QStringList gone = {you->next(), you->next()};
        gone.sort();
        QCOMPARE(gone, (QStringList{"CMD_playerdisconnected+2+Bob", "CMD_playerdisconnected+3+Cid"}));
        probe(*you, "still here");
        QCOMPARE(you->next(), QStringLiteral("CMD_chat+1+You chats: still here"));
        QVERIFY(!server().connection(2).connected && !server().connection(3).connected);
    }

    void leavingAfterTheThrow()
    {
        TestClient* you = join("You");
        TestClient* bob = join("Bob");
        QVERIFY(you && bob);
        m_botDelayMs = 600000;
        QVERIFY(startWithFirst(2));
        bob->send("CMD_throwdarts+2");
        bob->send("CMD_placedice+2+12+1+1");
        bob->send("CMD_placedice+2+11+1+2");
        QCOMPARE(take(*you, 3), (QStringList{kExampleThrow, "CMD_placedice+2+6+12+1+1", "CMD_placedice+2+12+11+1+2"}));
        QCOMPARE(take(*bob, 3).size(), 3);

        bob->abort();
        QCOMPARE(take(*you, 12),
                 (QStringList{"CMD_playerdisconnected+2+Bob", "CMD_placedice+2+13+1+1+3", "CMD_placedice+2+15+3+1+4",
                              "CMD_placedice+2+5+2+2+1", "CMD_placedice+2+11+4+2+2", "CMD_placedice+2+17+5+2+3",
                              "CMD_placedice+2+18+6+2+4", "CMD_placedice+2+3+7+3+1", "CMD_placedice+2+7+8+3+2",
                              "CMD_placedice+2+9+9+3+3", "CMD_placedice+2+14+10+3+4", "CMD_endturn+2+0+15+18+14"}));
        QCOMPARE(you->next(), QStringLiteral("CMD_nextplayer+1"));
    }

    void kickedBeforeTheThrowIsPlayedAtTheComputersPace()
    {
        TestClient* you = join("You");
        TestClient* bob = join("Bob");
        QVERIFY(you && bob);
        m_botDelayMs = 600000;
        QVERIFY(startWithFirst(2));

        // A kick is a single close: the dice are thrown, then the computer takes its time.
        you->send("CMD_kickhim+1+2+");
        QCOMPARE(take(*you, 2), (QStringList{"CMD_playerdisconnected+2+Bob", kExampleThrow}));
        probe(*you, "probe");
        QCOMPARE(you->until(you->chatRelay("You", "probe")), QStringList());
        QVERIFY(!server().engine().seat(2).toThrow);
        QCOMPARE(server().engine().seat(2).diceCount, 0);
        QVERIFY(bob->waitForDisconnect());
    }

    void kickedAfterTheThrowIsPlacedAtOnce()
    {
        TestClient* you = join("You");
        TestClient* bob = join("Bob");
        QVERIFY(you && bob);
        m_botDelayMs = 600000;
        QVERIFY(startWithFirst(2));
        bob->send("CMD_throwdarts+2");
        QCOMPARE(you->next(), kExampleThrow);
        you->send("CMD_kickhim+1+2+");
        QStringList expected = {"CMD_playerdisconnected+2+Bob"};
        expected << examplePlacements(2) << "CMD_endturn+2+0+6+20+Bull"
                 << "CMD_nextplayer+1";
        QCOMPARE(take(*you, expected.size()), expected);
    }

    void justWatchHandsTheTurnToTheComputer()
    {
        TestClient* you = join("You");
        TestClient* bob = join("Bob");
        QVERIFY(you && bob);
        m_botDelayMs = 600000;
        QVERIFY(startWithFirst(2));

        // Before the throw: the computer throws at once, then keeps its own pace.
        bob->send("CMD_justwatch+2+1");
        QCOMPARE(take(*you, 2), (QStringList{"CMD_justwatching+2+1", kExampleThrow}));
        probe(*you, "probe");
        QCOMPARE(you->until(you->chatRelay("You", "probe")), QStringList());

        // He takes the seat back and plays on himself.
        bob->send("CMD_justwatch+2+2");
        QCOMPARE(you->next(), QStringLiteral("CMD_justwatching+2+2"));
        bob->send("CMD_placedice+2+1+1+1");
        QCOMPARE(you->next(), QStringLiteral("CMD_placedice+2+1+1+1+1"));

        // After the throw: the rest is placed at once.
        you->send("CMD_justwatch+2+1");
        QStringList expected = {"CMD_justwatching+2+1"};
        expected << examplePlacements(2).mid(1) << "CMD_endturn+2+0+6+20+Bull"
                 << "CMD_nextplayer+1";
        QCOMPARE(take(*you, expected.size()), expected);
        QVERIFY(!server().engine().seat(1).watching);
        QVERIFY(server().engine().seat(2).watching);
    }

    void queuedMessagesOfAGoneConnectionAreDropped()
    {
        TestClient* you = join("You");
        TestClient* bob = join("Bob");
        QVERIFY(you && bob);
        QByteArray burst;
        for (int i = 0; i < 60; ++i)
            burst += "CMD_chat+2+line " + QByteArray::number(i) + '\xFF';
        bob->sendRaw(burst);
        bob->close();
        const QStringList before = you->until("CMD_playerdisconnected+2+Bob");
        QVERIFY(!before.contains(kTimedOut));
        QVERIFY2(before.size() < 60, "the close is seen long before sixty ticks have passed");
        probe(*you, "probe");
        QCOMPARE(you->until(you->chatRelay("You", "probe")), QStringList());
    }
};

QTEST_GUILESS_MAIN(TestHostTurns)
#include "tst_host_turns.moc"
