// The host over loopback TCP: slots, logins, departures, relays, the turn
// engine and the computer player, checked message by message as the clients
// receive them.

#include "host/tserver.h"
#include "testclient.h"

#include <QtTest>
#include <memory>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>
#include <vector>

using namespace velmora;
using velmora::test::kTimedOut;
using velmora::test::TestClient;

namespace {

// The dice of the example turn: the computer puts dice 1, 3, 6, 9 on dart 1
// (a miss with 6), 2, 4, 5, 7 on dart 2 ("20") and 8, 10, 11, 12 on dart 3 ("Bull").
const QList<int> kExampleDice = {1, 5, 2, 6, 6, 1, 3, 4, 2, 5, 6, 6};
const QString kExampleThrow = QStringLiteral("CMD_thedart+1+5+2+6+6+1+3+4+2+5+6+6+");
const QString kZeroThrow = QStringLiteral("CMD_thedart+0+0+0+0+0+0+0+0+0+0+0+0+");

// What every client sees while the placement rule places the example dice for `seat`.
QStringList examplePlacements(int seat)
{
    const char* rows[] = {"1+1+1+1",  "3+3+1+2",  "4+6+1+3", "6+9+1+4",  "5+2+2+1",   "11+4+2+2",
                          "17+5+2+3", "20+7+2+4", "4+8+3+1", "9+10+3+2", "15+11+3+3", "Bull+12+3+4"};
    QStringList out;
    for (const char* row : rows)
        out << QStringLiteral("CMD_placedice+%1+%2").arg(seat).arg(QLatin1String(row));
    return out;
}

QStringList take(TestClient& client, int count)
{
    QStringList out;
    for (int i = 0; i < count; ++i)
        out << client.next();
    return out;
}

QStringList withPrefix(const QStringList& messages, const QString& prefix)
{
    QStringList out;
    for (const QString& m : messages) {
        if (m.startsWith(prefix))
            out << m;
    }
    return out;
}

// A peer that never reads, with a tiny receive window so that what the host
// sends it piles up on the host's side.
class StalledPeer {
public:
    explicit StalledPeer(quint16 port)
    {
        m_fd = ::socket(AF_INET, SOCK_STREAM, 0);
        int size = 2048;
        ::setsockopt(m_fd, SOL_SOCKET, SO_RCVBUF, &size, sizeof size);
        sockaddr_in address{};
        address.sin_family = AF_INET;
        address.sin_port = htons(port);
        address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
        m_connected = ::connect(m_fd, reinterpret_cast<sockaddr*>(&address), sizeof address) == 0;
    }
    ~StalledPeer() { ::close(m_fd); }
    bool connected() const { return m_connected; }

private:
    int m_fd = -1;
    bool m_connected = false;
};

} // namespace

class TestHost : public QObject {
    Q_OBJECT

private:
    std::unique_ptr<TServer> m_server;
    std::vector<std::unique_ptr<TestClient>> m_clients;
    QList<int> m_dice;
    int m_diceIndex = 0;

    TServer& server() { return *m_server; }

    // Connects and logs in; every client already seated reads the newcomer's
    // announcement, and the newcomer reads the list of those present.
    TestClient* join(const QString& name)
    {
        auto client = std::make_unique<TestClient>();
        if (!client->connectTo(server().port()) || client->login(name) == 0)
            return nullptr;
        const QString announcement = QStringLiteral("CMD_newplayerinfo+%1+%2").arg(client->slot()).arg(name);
        for (auto& other : m_clients) {
            if (other->isConnected() && other->next() != announcement)
                return nullptr;
            if (other->isConnected() && !client->next().startsWith(QLatin1String("CMD_existingplayers+")))
                return nullptr;
        }
        m_clients.push_back(std::move(client));
        return m_clients.back().get();
    }

    // Starts games from slot 1 until the first turn goes to `seat`; every
    // client has then read up to the game's opening (and seated clients its
    // CMD_nextplayer).
    bool startWithFirst(int seat, const QString& kind = QStringLiteral("0+1+"))
    {
        TestClient& host = *m_clients.front();
        for (int attempt = 0; attempt < 80; ++attempt) {
            host.send(QStringLiteral("CMD_startgame+1+") + kind);
            int first = 0;
            for (auto& client : m_clients) {
                if (!client->isConnected())
                    continue;
                if (client->nextStartingWith(QStringLiteral("CMD_startgame+1+")) == kTimedOut)
                    return false;
                if (client->slot() > TServer::kSeats)
                    continue;
                const QString next = client->next();
                if (!next.startsWith(QLatin1String("CMD_nextplayer+")))
                    return false;
                first = next.mid(15).toInt();
            }
            if (first == seat)
                return true;
        }
        return false;
    }

    // A message that every client gets back: the probe for "nothing else came".
    void probe(TestClient& from, const QString& text)
    {
        from.send(QStringLiteral("CMD_chat+%1+%2").arg(from.slot()).arg(text));
    }

private slots:
    void init()
    {
        m_server = std::make_unique<TServer>();
        m_server->startListening(0);
        m_server->setBotDelayMs(5);
        m_server->setScoringPauseMs(5);
        m_dice = kExampleDice;
        m_diceIndex = 0;
        // Every game starts the list of dice afresh.
        connect(m_server.get(), &TServer::gameStarted, this, [this] { m_diceIndex = 0; });
        m_server->setDiceRoller([this] { return m_dice[m_diceIndex++ % m_dice.size()]; });
    }

    void cleanup()
    {
        m_clients.clear();
        m_server.reset();
    }

    // --- connections and logins -----------------------------------------------

    void slotsGoToTheLowestFreeNumber()
    {
        TestClient* you = join("You");
        QVERIFY(you);
        QCOMPARE(you->slot(), 1);
        QCOMPARE(you->rawReceived(), QByteArray("CMD_sendlogininfo+1\xFF"
                                                "CMD_newplayerinfo+1+You\xFF"));

        TestClient* bob = join("Bob");
        QVERIFY(bob);
        QCOMPARE(bob->rawReceived(), QByteArray("CMD_sendlogininfo+2\xFF"
                                                "CMD_newplayerinfo+2+Bob\xFF"
                                                "CMD_existingplayers+1+You\xFF"));
        TestClient* cy = join("Cy + Co");
        QVERIFY(cy);
        QCOMPARE(cy->rawReceived(), QByteArray("CMD_sendlogininfo+3\xFF"
                                               "CMD_newplayerinfo+3+Cy + Co\xFF"
                                               "CMD_existingplayers+1+You\xFF"
                                               "CMD_existingplayers+2+Bob\xFF"));

        bob->close();
        QCOMPARE(you->next(), QStringLiteral("CMD_playerdisconnected+2+Bob"));
        QCOMPARE(cy->next(), QStringLiteral("CMD_playerdisconnected+2+Bob"));
        QVERIFY(!server().slot(2).connected);
        QVERIFY(server().slot(2).name.isEmpty());

        // The freed slot goes to the next arrival; the list of those present skips it no more.
        TestClient* di = join("Di");
        QVERIFY(di);
        QCOMPARE(di->slot(), 2);
        QCOMPARE(server().slotcount(), 3);

        // A second login renames the slot and repeats the announcements.
        di->send("CMD_logininfo+2+2.0.17+Dee");
        for (TestClient* c : {you, cy, di})
            QCOMPARE(c->next(), QStringLiteral("CMD_newplayerinfo+2+Dee"));
        QCOMPARE(take(*di, 2), (QStringList{"CMD_existingplayers+1+You", "CMD_existingplayers+3+Cy + Co"}));
        QCOMPARE(server().slot(2).name, QStringLiteral("Dee"));
    }

    void tenthConnectionIsRefused()
    {
        for (int i = 1; i <= 9; ++i) {
            TestClient* c = join(QStringLiteral("P%1").arg(i));
            QVERIFY(c);
            QCOMPARE(c->slot(), i);
        }
        TestClient tenth;
        QVERIFY(tenth.connectTo(server().port()));
        QVERIFY(tenth.waitForDisconnect());
        QCOMPARE(tenth.rawReceived(), QByteArray("CMD_full+\xFF"));
        QCOMPARE(server().slotcount(), 9);

        // Nobody else heard of it.
        TestClient& host = *m_clients.front();
        probe(host, "still nine");
        for (auto& c : m_clients)
            QCOMPARE(c->until(host.chatRelay("P1", "still nine")), QStringList());

        // A spectator leaves: everybody else is told, and the slot is free again.
        m_clients[6]->close();
        for (int i = 0; i < 9; ++i) {
            if (i != 6)
                QCOMPARE(m_clients[i]->next(), QStringLiteral("CMD_playerdisconnected+7+P7"));
        }
        TestClient again;
        QVERIFY(again.connectTo(server().port()));
        QCOMPARE(again.next(), QStringLiteral("CMD_sendlogininfo+7"));
    }

    void wrongVersionOnlyWarns()
    {
        TestClient* you = join("You");
        QVERIFY(you);
        auto old = std::make_unique<TestClient>();
        QVERIFY(old->connectTo(server().port()));
        QCOMPARE(old->login("Old", "1.9.9"), 2);
        QCOMPARE(take(*old, 2), (QStringList{"CMD_existingplayers+1+You", "CMD_wrongversion+"}));
        QCOMPARE(take(*you, 2), (QStringList{"CMD_newplayerinfo+2+Old", "CMD_havewrongversion+Old"}));
        // Seated all the same.
        probe(*old, "hello|clRed");
        QCOMPARE(old->next(), old->chatRelay("Old", "hello|clRed"));
        QCOMPARE(you->next(), old->chatRelay("Old", "hello|clRed"));
    }

    void kicksOnlyFromTheHostsPlayer()
    {
        TestClient* you = join("You");
        TestClient* bob = join("Bob");
        TestClient* cy = join("Cy");
        QVERIFY(you && bob && cy);

        QTest::ignoreMessage(QtWarningMsg, QRegularExpression("^velmora host: dropped .*CMD_kickhim\\+3\\+2\\+$"));
        cy->send("CMD_kickhim+3+2+");
        // The seat field must be the sender's own.
        QTest::ignoreMessage(QtWarningMsg, QRegularExpression("^velmora host: dropped .*CMD_kickhim\\+1\\+2\\+$"));
        cy->send("CMD_kickhim+1+2+");
        probe(*you, "after");
        for (TestClient* c : {you, bob, cy})
            QCOMPARE(c->until(you->chatRelay("You", "after")), QStringList());
        QVERIFY(bob->isConnected());

        you->send("CMD_kickhim+1+2+");
        QVERIFY(bob->waitForDisconnect());
        QCOMPARE(you->next(), QStringLiteral("CMD_playerdisconnected+2+Bob"));
        QCOMPARE(cy->next(), QStringLiteral("CMD_playerdisconnected+2+Bob"));
        // Kicking a free slot does nothing.
        you->send("CMD_kickhim+1+2+");
        probe(*you, "again");
        QCOMPARE(cy->until(you->chatRelay("You", "again")), QStringList());
    }

    // --- relays and framing ----------------------------------------------------------

    void relaysReachEverybody()
    {
        TestClient* you = join("You");
        TestClient* bob = join("Bob");
        for (int i = 3; i <= 5; ++i)
            QVERIFY(join(QStringLiteral("P%1").arg(i)));
        TestClient* spy = m_clients.back().get();
        QCOMPARE(spy->slot(), 5);

        bob->send("CMD_chat+2+hi + there|clRed");
        bob->send("CMD_action+2+waves at you|$0000FF00");
        bob->send("CMD_playasound+2+wave3+");
        QCOMPARE(spy->nextStartingWith("CMD_playasound+"), QStringLiteral("CMD_playasound+2+wave3+"));
        spy->send("CMD_chat+5+spies may chat|clBlack");
        for (auto& c : m_clients) {
            if (c.get() == spy) {
                QCOMPARE(c->next(), QStringLiteral("CMD_chat+5+P5 chats: spies may chat|clBlack"));
                continue;
            }
            QCOMPARE(take(*c, 4),
                     (QStringList{"CMD_chat+2+Bob chats: hi + there|clRed", "CMD_action+2+Bob waves at you|$0000FF00",
                                  "CMD_playasound+2+wave3+", "CMD_chat+5+P5 chats: spies may chat|clBlack"}));
        }
        Q_UNUSED(you);
    }

    void framingOddities()
    {
        TestClient* you = join("You");
        TestClient* bob = join("Bob");
        QVERIFY(you && bob);

        // Empty messages, a message without "+", unknown and wrongly cased commands: nothing.
        bob->sendRaw("\xFF\xFF"
                     "CMD_chat\xFF"
                     "CMD_nonsense+2+x\xFF"
                     "cmd_chat+2+x\xFF"
                     "CMD_Chat+2+x\xFF");
        // Garbage, terminators and all.
        QByteArray garbage;
        for (int i = 0; i < 3000; ++i)
            garbage += char((i * 7919 + 13) % 256);
        bob->sendRaw(garbage + '\xFF');
        probe(*you, "probe");
        QCOMPARE(bob->until(you->chatRelay("You", "probe")), QStringList());
        QVERIFY(bob->isConnected());

        // A message split across two writes arrives whole.
        bob->sendRaw("CMD_chat+2+split ");
        probe(*you, "between");
        QCOMPARE(bob->next(), you->chatRelay("You", "between"));
        bob->sendRaw("message|clRed\xFF");
        QCOMPARE(you->nextStartingWith("CMD_chat+2+"), QStringLiteral("CMD_chat+2+Bob chats: split message|clRed"));

        // A message of 5000 characters is cut to its first 4096.
        const QString head = QStringLiteral("CMD_chat+2+");
        bob->send(head + QString(5000 - head.size(), u'x'));
        QCOMPARE(you->nextStartingWith("CMD_chat+2+"),
                 QStringLiteral("CMD_chat+2+Bob chats: ") + QString(4096 - head.size(), u'x'));
    }

    void senderMustBeTheConnectionsOwnSlot()
    {
        TestClient* you = join("You");
        TestClient* bob = join("Bob");
        QVERIFY(you && bob);
        QVERIFY(startWithFirst(1));

        const QStringList forged = {
            "CMD_logininfo+1+2.0.17+Evil",
            "CMD_kickhim+1+1+",
            "CMD_chat+1+forged|clRed",
            "CMD_action+1+forged|clRed",
            "CMD_startgame+1+1+0+",
            "CMD_throwdarts+1",
            "CMD_placedice+1+1+1+1",
            "CMD_autoplace+1",
            "CMD_playasound+1+wave1+",
            // Only the host's player starts games, and sets another seat to watch.
            "CMD_startgame+2+0+1+",
            "CMD_justwatch+1+1",
        };
        for (const QString& message : forged) {
            QTest::ignoreMessage(QtWarningMsg, QRegularExpression("^velmora host: dropped .*" +
                                                                  QRegularExpression::escape(message) + '$'));
            bob->send(message);
        }
        probe(*you, "probe");
        for (TestClient* c : {you, bob})
            QCOMPARE(c->until(you->chatRelay("You", "probe")), QStringList());
        QCOMPARE(server().slot(1).name, QStringLiteral("You"));
        QVERIFY(server().gameon());
        QCOMPARE(server().currentplayer(), 1);
        QVERIFY(server().slot(1).tothrow);
        QVERIFY(!server().slot(1).justwatching);

        // A seat's own just-watch is anybody's; another seat's only the host player's.
        bob->send("CMD_justwatch+2+1");
        QCOMPARE(you->next(), QStringLiteral("CMD_justwatching+2+1"));
        you->send("CMD_justwatch+2+2");
        QCOMPARE(you->next(), QStringLiteral("CMD_justwatching+2+2"));
        QCOMPARE(take(*bob, 2), (QStringList{"CMD_justwatching+2+1", "CMD_justwatching+2+2"}));
        // Seats above 4 and flags other than 1 and 2 change nothing.
        you->send("CMD_justwatch+5+1");
        you->send("CMD_justwatch+2+3");
        probe(*you, "probe2");
        QCOMPARE(bob->until(you->chatRelay("You", "probe2")), QStringList());
    }

    void malformedInputIsDroppedWithAWarning()
    {
        TestClient* you = join("You");
        TestClient* bob = join("Bob");
        QVERIFY(you && bob);
        QVERIFY(startWithFirst(1));
        you->send("CMD_throwdarts+1");
        QCOMPARE(you->next(), kExampleThrow);
        QCOMPARE(bob->next(), kExampleThrow);

        const QStringList malformed = {
            "CMD_placedice+1+13+1+1", "CMD_placedice+1+0+1+1", "CMD_placedice+1+1+4+1",  "CMD_placedice+1+1+1+5",
            "CMD_placedice+1+1+0+1",  "CMD_placedice+1+x+1+1", "CMD_placedice+1+1+1+",   "CMD_placedice+1+1+1",
            "CMD_throwdarts+one",     "CMD_autoplace+-1",      "CMD_justwatch+11+1",     "CMD_justwatch+x+1",
            "CMD_chat+0+hi",          "CMD_chat+11+hi",        "CMD_action++hi",         "CMD_logininfo+x+2.0.17+Z",
            "CMD_kickhim+1+10x+",     "CMD_kickhim+1+11+",     "CMD_startgame+abc+0+1+", "CMD_playasound+99+wave1+",
        };
        for (const QString& message : malformed) {
            QTest::ignoreMessage(QtWarningMsg, QRegularExpression("^velmora host: dropped .*" +
                                                                  QRegularExpression::escape(message) + '$'));
            you->send(message);
        }
        probe(*you, "probe");
        for (TestClient* c : {you, bob})
            QCOMPARE(c->until(you->chatRelay("You", "probe")), QStringList());
        // Nothing moved: die 1 still goes onto the first place.
        you->send("CMD_placedice+1+1+1+1");
        QCOMPARE(bob->next(), QStringLiteral("CMD_placedice+1+1+1+1+1"));
        QCOMPARE(server().slot(1).dicecount, 1);
        QVERIFY(bob->isConnected() && you->isConnected());
    }

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
        QCOMPARE(rules::marksOn(server().slot(1).marks, rules::kBull), 2);
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

    void newcomerInTheCurrentSeatFinishesItsTurn()
    {
        TestClient* you = join("You");
        QVERIFY(you);
        server().setBotDelayMs(600000); // the computer would wait for ever
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
        QVERIFY(!server().gameon());
        QCOMPARE(server().currentplayer(), 0);
        // Partners share marks and score.
        QCOMPARE(server().slot(3).marks, server().slot(1).marks);
        QCOMPARE(server().slot(3).score, server().slot(1).score);
        QVERIFY(rules::allClosed(server().slot(1).marks));
    }

    // --- departures during a turn ---------------------------------------------------------

    void leavingBeforeTheThrow()
    {
        TestClient* you = join("You");
        TestClient* bob = join("Bob");
        QVERIFY(you && bob);
        server().setBotDelayMs(600000); // only an immediate hand-over can finish the turn
        QVERIFY(startWithFirst(2));

        // The peer's close is reported twice: the first throws for him, the second places everything.
        bob->close();
        QStringList expected = {"CMD_playerdisconnected+2+Bob", kExampleThrow};
        expected << examplePlacements(2) << "CMD_endturn+2+0+6+20+Bull"
                 << "CMD_nextplayer+1";
        QCOMPARE(take(*you, expected.size()), expected);
        QVERIFY(!server().slot(2).connected);
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
        QVERIFY(!server().slot(2).connected && !server().slot(3).connected);
    }

    void leavingAfterTheThrow()
    {
        TestClient* you = join("You");
        TestClient* bob = join("Bob");
        QVERIFY(you && bob);
        server().setBotDelayMs(600000);
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
        server().setBotDelayMs(600000);
        QVERIFY(startWithFirst(2));

        // A kick is a single close: the dice are thrown, then the computer takes its time.
        you->send("CMD_kickhim+1+2+");
        QCOMPARE(take(*you, 2), (QStringList{"CMD_playerdisconnected+2+Bob", kExampleThrow}));
        probe(*you, "probe");
        QCOMPARE(you->until(you->chatRelay("You", "probe")), QStringList());
        QVERIFY(!server().slot(2).tothrow);
        QCOMPARE(server().slot(2).dicecount, 0);
        QVERIFY(bob->waitForDisconnect());
    }

    void kickedAfterTheThrowIsPlacedAtOnce()
    {
        TestClient* you = join("You");
        TestClient* bob = join("Bob");
        QVERIFY(you && bob);
        server().setBotDelayMs(600000);
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
        server().setBotDelayMs(600000);
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
        QVERIFY(!server().slot(1).justwatching);
        QVERIFY(server().slot(2).justwatching);
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

    // --- peers that misbehave -------------------------------------------------------------

    void endlessMessageDropsThePeer()
    {
        TestClient* you = join("You");
        TestClient* bob = join("Bob");
        QVERIFY(you && bob);
        QTest::ignoreMessage(QtWarningMsg, QRegularExpression("^velmora host: dropped .*64 KiB"));
        bob->sendRaw("CMD_chat+2+" + QByteArray(70000, 'a'));
        QCOMPARE(you->next(), QStringLiteral("CMD_playerdisconnected+2+Bob"));
        QVERIFY(bob->waitForDisconnect());
        QVERIFY(!server().slot(2).connected);
    }

    void peerThatNeverReadsIsDropped()
    {
        TestClient* you = join("You");
        QVERIFY(you);
        StalledPeer stalled(server().port());
        QVERIFY(stalled.connected());
        QTRY_VERIFY_WITH_TIMEOUT(server().slot(2).connected, test::kWaitMs);

        // Long chat lines, relayed to everybody, pile up for the peer that never reads.
        const QByteArray line = "CMD_chat+1+" + QByteArray(4000, 'z') + '\xFF';
        QDeadlineTimer deadline(90000);
        bool gone = false;
        while (!gone && !deadline.hasExpired()) {
            if (you->socket().bytesToWrite() < 64 * 1024) {
                QByteArray batch;
                for (int i = 0; i < 16; ++i)
                    batch += line;
                you->sendRaw(batch);
            }
            const QString message = you->next(50);
            gone = message == QLatin1String("CMD_playerdisconnected+2+");
        }
        QVERIFY(gone);
        QVERIFY(!server().slot(2).connected);
        QVERIFY(you->isConnected());
    }
};

QTEST_GUILESS_MAIN(TestHost)
#include "tst_host.moc"
