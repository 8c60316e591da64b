// The host over loopback TCP: slots, logins, relays, framing and peers that
// misbehave, checked message by message as the clients receive them.

#include "hostfixture.h"
#include "strictwarnings.h"

using namespace velmora;
using namespace velmora::test;

class TestHost : public QObject, private HostFixture {
    Q_OBJECT

private slots:
    void init() { velmora::testing::failOnUnexpectedWarnings(); setUp(this); }
    void cleanup() { tearDown(); }

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
        QVERIFY(!server().connection(2).connected);
        QVERIFY(server().connection(2).name.isEmpty());

        // The freed slot goes to the next arrival; the list of those present skips it no more.
        TestClient* di = join("Di");
        QVERIFY(di);
        QCOMPARE(di->slot(), 2);
        QCOMPARE(server().slotCount(), 3);

        // A second login renames the slot and repeats the announcements.
        di->send("CMD_logininfo+2+2.0.17+Dee");
        for (TestClient* c : {you, cy, di})
            QCOMPARE(c->next(), QStringLiteral("CMD_newplayerinfo+2+Dee"));
        QCOMPARE(take(*di, 2), (QStringList{"CMD_existingplayers+1+You", "CMD_existingplayers+3+Cy + Co"}));
        QCOMPARE(server().connection(2).name, QStringLiteral("Dee"));
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
        QCOMPARE(server().slotCount(), 9);

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

    void chatFloodIsCappedPerConnection()
    {
        TestClient* you = join("You");
        TestClient* bob = join("Bob");
        QVERIFY(you && bob);
        QTest::ignoreMessage(QtWarningMsg, QRegularExpression("dropping chat from slot 2"));
        QByteArray flood;
        for (int i = 0; i < 40; ++i)
            flood += QByteArray("CMD_chat+2+spam ") + QByteArray::number(i) + "|clRed\xFF";
        // A login again is relayed without a budget: once it is back, every
        // chat line before it has been handled.
        flood += "CMD_logininfo+2+2.0.17+Bob\xFF";
        bob->sendRaw(flood);
        const QStringList got = you->until(QStringLiteral("CMD_newplayerinfo+2+Bob"));
        QVERIFY2(got.size() >= int(ChatBudget::kBurst) && got.size() < 20, qPrintable(QString::number(got.size())));
        QCOMPARE(got.first(), QStringLiteral("CMD_chat+2+Bob chats: spam 0|clRed"));
        // Another connection's chat is not held back by the flooder's budget.
        probe(*you, "still here");
        QCOMPARE(you->next(), you->chatRelay("You", "still here"));
    }

    void busyConnectionDoesNotHoldUpThePlayers()
    {
        TestClient* you = join("You");
        QVERIFY(you);
        TestClient spy;
        QVERIFY(spy.connectTo(server().port()));
        QByteArray flood;
        for (int i = 0; i < 3000; ++i)
            flood += "CMD_nosuch+2\xFF";
        spy.sendRaw(flood);
        // The spy's 3,000 messages would take 30 s one after the other; the
        // player's message is taken in turn with them.
        QElapsedTimer answered;
        answered.start();
        probe(*you, "my turn");
        QCOMPARE(you->nextStartingWith("CMD_chat+1+"), you->chatRelay("You", "my turn"));
        QVERIFY2(answered.elapsed() < 10000, qPrintable(QString::number(answered.elapsed())));
    }

    void terminatorsAloneCostNothing()
    {
        // Megabytes of bare terminators carry no command: nothing is queued,
        // so nothing grows and nobody waits.
        const int slot = server().acceptDetached();
        QVERIFY(slot != 0);
        const QByteArray terminators(64 * 1024, '\xFF');
        for (int i = 0; i < 64; ++i)
            server().receive(slot, terminators);
        QCOMPARE(server().waitingMessages(), 0);
        QVERIFY(server().connection(slot).connected);
        QCOMPARE(server().connection(slot).framer.pending(), 0);
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
        QCOMPARE(server().connection(1).name, QStringLiteral("You"));
        QVERIFY(server().engine().isRunning());
        QCOMPARE(server().engine().currentSeat(), 1);
        QVERIFY(server().engine().seat(1).toThrow);
        QVERIFY(!server().engine().seat(1).watching);

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
        QCOMPARE(server().engine().seat(1).diceCount, 1);
        QVERIFY(bob->isConnected() && you->isConnected());
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
        QVERIFY(!server().connection(2).connected);
    }

    void floodingPeerIsDropped()
    {
        TestClient* you = join("You");
        TestClient* bob = join("Bob");
        QVERIFY(you && bob);
        QTest::ignoreMessage(QtWarningMsg, QRegularExpression("^velmora host: dropped .*more messages waiting"));
        // Far more short messages at once than an honest client sends in a game.
        bob->sendRaw(QByteArray("CMD_chat+2+x|clRed\xFF").repeated(MessagePump::kMaxQueuedMessages + 100));
        QCOMPARE(you->nextStartingWith("CMD_playerdisconnected+"), QStringLiteral("CMD_playerdisconnected+2+Bob"));
        QVERIFY(bob->waitForDisconnect());
        // Its backlog is never served; everybody else goes on.
        probe(*you, "probe");
        const QStringList before = you->until(you->chatRelay("You", "probe"));
        QVERIFY(!before.contains(kTimedOut));
        QVERIFY(before.size() < 100);
    }

    void peerThatNeverReadsIsDropped()
    {
        TestClient* you = join("You");
        QVERIFY(you);
        StalledPeer stalled(server().port());
        QVERIFY(stalled.connected());
        QTRY_VERIFY_WITH_TIMEOUT(server().connection(2).connected, test::kWaitMs);

        // Long names, announced to everybody at each login, pile up for the
        // peer that never reads (chat would meet the sender's chat budget).
        // The sender keeps a few dozen logins ahead of the announcements it
        // gets back: a sender that runs further ahead is itself dropped as a flooder.
        const QByteArray line = "CMD_logininfo+1+2.0.17+" + QByteArray(4000, 'z') + '\xFF';
        QDeadlineTimer deadline(90000);
        bool gone = false;
        int ahead = 0;
        while (!gone && !deadline.hasExpired()) {
            if (ahead < 64) {
                QByteArray batch;
                for (int i = 0; i < 16; ++i)
                    batch += line;
                you->sendRaw(batch);
                ahead += 16;
            }
            const QString message = you->next(50);
            if (message.startsWith(QLatin1String("CMD_newplayerinfo+1+")))
                --ahead;
            gone = message == QLatin1String("CMD_playerdisconnected+2+");
        }
        QVERIFY(gone);
        QVERIFY(!server().connection(2).connected);
        QVERIFY(you->isConnected());
    }
};

QTEST_GUILESS_MAIN(TestHost)
#include "tst_host.moc"
