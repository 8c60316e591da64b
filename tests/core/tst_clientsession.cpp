// The client session on its own, without any window, against a real host
// over loopback.

#include "../host/testclient.h"
#include "core/clientsession.h"
#include "records/preferences.h"
#include "host/tserver.h"
#include "strictwarnings.h"

#include <QSignalSpy>
#include <QTcpServer>
#include <QTest>
#include <algorithm>
#include <random>

using namespace velmora;
using State = ClientSession::State;

namespace {

constexpr int kTimeoutMs = 30000;

// A session with everything it reports written down.
struct Recorder {
    Preferences prefs;
    ClientSession session{&prefs};
    QStringList lines;
    QStringList sounds;

    Recorder()
    {
        QObject::connect(&session, &ClientSession::systemLine, &session, [this](const QString& l) { lines << l; });
        QObject::connect(&session, &ClientSession::soundPlayed, &session, [this](const QString& s) { sounds << s; });
    }
};

} // namespace

class TestClientSession : public QObject {
    Q_OBJECT
private slots:
    void init() { velmora::testing::failOnUnexpectedWarnings(); }
    void loginAndRoster();
    void aTurnFromThrowToScore();
    void boardsAgreeWithTheHostInAnyOrderOfPlacement();
    void takingTheSeatBackMidTurnLeavesTheDiceToThePlayer();
    void refusedConnectionSaysWhyAndWhere();
};

void TestClientSession::loginAndRoster()
{
    TServer host;
    host.startListening(0);
    Recorder ann;
    QSignalSpy states(&ann.session, &ClientSession::stateChanged);
    ann.session.setPlayerName(QStringLiteral("Ann"));
    ann.session.connectToHost(QStringLiteral("127.0.0.1"), host.port(), true);
    QCOMPARE(ann.session.state(), State::Connecting);
    QTRY_VERIFY_WITH_TIMEOUT(ann.lines.contains(QStringLiteral("You are Connected.")), kTimeoutMs);
    QCOMPARE(ann.session.state(), State::LoggedIn);
    QCOMPARE(states.first().first().value<State>(), State::Connecting);
    QCOMPARE(ann.session.myseat(), 1);
    QCOMPARE(ann.session.seat(1).name, QStringLiteral("Ann"));
    QCOMPARE(ann.session.seat(1).kind, SeatKind::Person);
    QCOMPARE(ann.session.seat(2).kind, SeatKind::Empty);
    QVERIFY(ann.sounds.contains(QStringLiteral("entered")));

    // A second player takes seat 2; a later one watches as a spectator.
    Recorder bob;
    bob.session.setPlayerName(QStringLiteral("Bob"));
    bob.session.connectToHost(QStringLiteral("127.0.0.1"), host.port(), false);
    QTRY_COMPARE_WITH_TIMEOUT(ann.session.seat(2).name, QStringLiteral("Bob"), kTimeoutMs);
    QTRY_COMPARE_WITH_TIMEOUT(bob.session.seat(1).name, QStringLiteral("Ann"), kTimeoutMs);
    QVERIFY(ann.lines.contains(QStringLiteral("Bob is Connected.")));

    std::vector<std::unique_ptr<Recorder>> others;
    for (const char* name : {"Cid", "Dan", "Eve"}) {
        others.push_back(std::make_unique<Recorder>());
        others.back()->session.setPlayerName(QString::fromLatin1(name));
        others.back()->session.connectToHost(QStringLiteral("127.0.0.1"), host.port(), false);
        QTRY_VERIFY_WITH_TIMEOUT(others.back()->session.isConnected(), kTimeoutMs);
    }
    const Spectator eve{5, QStringLiteral("Eve")};
    QTRY_VERIFY_WITH_TIMEOUT(ann.session.model().spectators.contains(eve), kTimeoutMs);
    // Eve hears of her own place on her own connection, maybe a little later.
    QTRY_VERIFY_WITH_TIMEOUT(others.back()->session.isSpectator(), kTimeoutMs);
    QTRY_VERIFY_WITH_TIMEOUT(others.back()->lines.contains(QStringLiteral("You are spying.")), kTimeoutMs);

    // Bob leaves: his seat falls back to the computer, with one line.
    bob.session.leave();
    QCOMPARE(bob.session.state(), State::Closed);
    QTRY_COMPARE_WITH_TIMEOUT(ann.session.seat(2).kind, SeatKind::Computer, kTimeoutMs);
    QCOMPARE(ann.session.seat(2).name, QStringLiteral("Borl"));
    QVERIFY(ann.lines.contains(QStringLiteral("Bob disconnected.")));

    // The spectator leaving is taken off the list, with a line of its own.
    others.back()->session.leave();
    QTRY_VERIFY_WITH_TIMEOUT(ann.lines.contains(QStringLiteral("Eve has left.")), kTimeoutMs);
    QVERIFY(ann.session.model().spectators.isEmpty());
    QCOMPARE(ann.lines.filter(QStringLiteral("disconnected")).size(), 1);

    // Removed by the host's player, a session ends; only the host may remove anybody.
    QSignalSpy closing(&others.front()->session, &ClientSession::closeRequested);
    others.front()->session.kick(1); // not the host: nothing is sent
    ann.session.kick(3);
    QVERIFY(closing.wait(kTimeoutMs));
    QCOMPARE(others.front()->session.state(), State::Closed);
}

void TestClientSession::aTurnFromThrowToScore()
{
    TServer host;
    host.setScoringPauseMs(2);
    host.setDiceRoller([] { return 5; }); // every dart is a 20
    host.startListening(0);
    Recorder you;
    host.setBotPace([] { return 1; });
    // Our own placements and darts; the computer may have begun.
    QList<std::array<int, 3>> placed;
    QList<DartResult> darts;
    QObject::connect(&you.session, &ClientSession::diePlaced, &you.session,
                     [&](int seat, int die, int dart, int place) {
                         if (seat == 1)
                             placed.append({die, dart, place});
                     });
    QObject::connect(&you.session, &ClientSession::dartCompleted, &you.session,
                     [&](int seat, int, const DartResult& result) {
                         if (seat == 1)
                             darts << result;
                     });
    you.session.setPlayerName(QStringLiteral("You"));
    you.session.connectToHost(QStringLiteral("127.0.0.1"), host.port(), true);
    QTRY_VERIFY_WITH_TIMEOUT(you.session.isConnected(), kTimeoutMs);

    you.session.startGame(false, true);
    QTRY_VERIFY_WITH_TIMEOUT(you.lines.contains(QStringLiteral("You has started a game.")), kTimeoutMs);
    QCOMPARE(you.session.seat(2).name, QStringLiteral("Borl"));
    QTRY_VERIFY_WITH_TIMEOUT(you.session.isMyTurn(), kTimeoutMs);
    QCOMPARE(you.session.model().ownTurns, 1);

    // Out of order and before the throw nothing is placed.
    you.session.placeDie(1);
    you.session.throwDarts();
    QTRY_VERIFY_WITH_TIMEOUT(you.session.model().dieAvailable(1), kTimeoutMs);
    QVERIFY(you.sounds.contains(QStringLiteral("dice1")));
    // Each click asks for the next free place: dart 1 fills first.
    for (int die = 12; die >= 1; --die) {
        you.session.placeDie(die);
        QTRY_COMPARE_WITH_TIMEOUT(placed.size(), 13 - die, kTimeoutMs);
        const int k = 12 - die;
        QCOMPARE(placed.last(), (std::array<int, 3>{die, k / 4 + 1, k % 4 + 1}));
    }
    QCOMPARE(darts.size(), 3);
    QCOMPARE(darts.first(), DartResult::fromSum(20));
    QVERIFY(you.sounds.contains(QStringLiteral("wav20")));
    // Three twenties close the 20; the host's score leaves the marks as they are.
    QCOMPARE(you.session.seat(1).marks[5], 3);
    QTRY_COMPARE_WITH_TIMEOUT(you.session.model().whoseturn, 2, kTimeoutMs);
    QCOMPARE(you.session.seat(1).marks, host.engine().seat(1).marks);
}

namespace {

using Place = std::pair<int, int>; // dart, place

// The orders in which a player may fill the twelve places (the host takes
// any empty place; our own client always asks for the first one).
QList<QList<Place>> placementOrders()
{
    QList<Place> inOrder;
    for (int dart = 1; dart <= game::kDarts; ++dart)
        for (int place = 1; place <= game::kDicePerDart; ++place)
            inOrder << Place{dart, place};
    QList<Place> reversed(inOrder.rbegin(), inOrder.rend());
    QList<Place> lastPlaceFirst; // each dart's fourth place before its first three
    for (int dart = 1; dart <= game::kDarts; ++dart)
        lastPlaceFirst << Place{dart, 4} << Place{dart, 1} << Place{dart, 2} << Place{dart, 3};
    QList<Place> acrossDarts; // place 1 of every dart, then place 2, ...
    for (int place = 1; place <= game::kDicePerDart; ++place)
        for (int dart = 1; dart <= game::kDarts; ++dart)
            acrossDarts << Place{dart, place};
    QList<Place> shuffled = inOrder;
    std::shuffle(shuffled.begin(), shuffled.end(), std::mt19937(7772));
    return {reversed, lastPlaceFirst, acrossDarts, shuffled, inOrder};
}

// After which placement (1..12) each dart holds its fourth die.
QList<std::pair<int, int>> completions(const QList<Place>& order)
{
    QList<std::pair<int, int>> out;
    std::array<int, game::kDarts + 1> dice{};
    for (int k = 0; k < order.size(); ++k) {
        if (++dice[order[k].first] == game::kDicePerDart)
            out << std::pair{k + 1, order[k].first};
    }
    return out;
}

} // namespace

void TestClientSession::boardsAgreeWithTheHostInAnyOrderOfPlacement()
{
    // The host's player throws ones (misses); the other player throws fives,
    // so that each of his darts makes 20 and a dart of three dice 15.
    TServer host;
    host.setScoringPauseMs(2);
    host.startListening(0);
    bool bobThrows = false;
    host.setDiceRoller([&bobThrows] { return bobThrows ? 5 : 1; });
    Recorder ann;
    host.setBotPace([] { return 1; });
    int placements = 0;
    QList<std::pair<int, int>> completed; // (placement, dart) as Ann's board saw them
    QList<DartResult> darts;
    QObject::connect(&ann.session, &ClientSession::diePlaced, &ann.session, [&](int seat, int, int, int) {
        if (seat != 2)
            return;
        ++placements;
        const bool all = rules::allPlaced(ann.session.model().turn.places);
        QCOMPARE(all, placements == game::kDicePerThrow);
    });
    QObject::connect(&ann.session, &ClientSession::dartCompleted, &ann.session,
                     [&](int seat, int dart, const DartResult& result) {
                         if (seat == 2) {
                             completed << std::pair{placements, dart};
                             darts << result;
                         }
                     });
    ann.session.setPlayerName(QStringLiteral("Ann"));
    ann.session.connectToHost(QStringLiteral("127.0.0.1"), host.port(), true);
    QTRY_VERIFY_WITH_TIMEOUT(ann.session.isConnected(), kTimeoutMs);
    test::TestClient bob;
    QVERIFY(bob.connectTo(host.port()));
    QCOMPARE(bob.login(QStringLiteral("Bob")), 2);
    QTRY_COMPARE_WITH_TIMEOUT(ann.session.seat(2).name, QStringLiteral("Bob"), kTimeoutMs);
    ann.session.startGame(false, true);

    for (const QList<Place>& order : placementOrders()) {
        // Ann's turn, if it comes first, goes by Auto Place.
        QTRY_VERIFY_WITH_TIMEOUT(ann.session.model().whoseturn != 0, kTimeoutMs);
        if (ann.session.isMyTurn()) {
            bobThrows = false;
            ann.session.throwDarts();
            QTRY_VERIFY_WITH_TIMEOUT(ann.session.mayPlaceDice(), kTimeoutMs);
            ann.session.autoplace();
            QTRY_COMPARE_WITH_TIMEOUT(ann.session.model().whoseturn, 2, kTimeoutMs);
        }
        QVERIFY(bob.nextStartingWith(QStringLiteral("CMD_nextplayer+2")) != test::kTimedOut);
        placements = 0;
        completed.clear();
        darts.clear();
        bobThrows = true;
        bob.send(QStringLiteral("CMD_throwdarts+2"));
        for (int die = 1; die <= game::kDicePerThrow; ++die) {
            const Place& p = order[die - 1];
            bob.send(QStringLiteral("CMD_placedice+2+%1+%2+%3").arg(die).arg(p.first).arg(p.second));
        }
        const QString ended = bob.nextStartingWith(QStringLiteral("CMD_endturn+2+"));
        QTRY_COMPARE_WITH_TIMEOUT(ann.session.model().whoseturn, 1, kTimeoutMs);

        // Each dart was complete on Ann's board exactly when its fourth die
        // landed, with the result the host scored it by; marks and points agree.
        QCOMPARE(completed, completions(order));
        QCOMPARE(ended.split(u'+').mid(3), (QStringList{"20", "20", "20"}));
        QCOMPARE(darts, (QList<DartResult>(3, DartResult::fromSum(20))));
        QCOMPARE(ann.session.seat(2).marks, host.engine().seat(2).marks);
        QCOMPARE(ann.session.seat(1).marks, host.engine().seat(1).marks);
        QCOMPARE(ann.session.seat(2).points, host.engine().seat(2).score);
        QCOMPARE(ended.section(u'+', 2, 2).toInt(), host.engine().seat(2).score);
    }
    // The twenties closed the 20 in the first turn and scored 60 in each after.
    QCOMPARE(ann.session.seat(2).points, 60 * (placementOrders().size() - 1));
}

void TestClientSession::takingTheSeatBackMidTurnLeavesTheDiceToThePlayer()
{
    TServer host;
    host.setScoringPauseMs(2);
    host.startListening(0);
    Recorder you;
    int botDelayMs = 1;
    host.setBotPace([&botDelayMs] { return botDelayMs; });
    you.session.setPlayerName(QStringLiteral("You"));
    you.session.connectToHost(QStringLiteral("127.0.0.1"), host.port(), true);
    QTRY_VERIFY_WITH_TIMEOUT(you.session.isConnected(), kTimeoutMs);
    you.session.startGame(false, true);
    QTRY_VERIFY_WITH_TIMEOUT(you.session.isMyTurn(), kTimeoutMs);

    // Watching before the throw: the computer throws at once and would then
    // place at its own (here endless) pace.
    botDelayMs = 600000;
    you.session.toggleJustWatch();
    QTRY_VERIFY_WITH_TIMEOUT(you.session.watchingMyself() && you.session.model().dieAvailable(1), kTimeoutMs);
    QVERIFY(!you.session.mayPlaceDice());

    // Taken back, the dice it has not placed are the player's, Auto Place too.
    you.session.toggleJustWatch();
    QTRY_VERIFY_WITH_TIMEOUT(!you.session.watchingMyself(), kTimeoutMs);
    QVERIFY(you.session.mayPlaceDice());
    you.session.placeDie(12);
    QTRY_VERIFY_WITH_TIMEOUT(!you.session.model().dieAvailable(12), kTimeoutMs);
    you.session.autoplace();
    QTRY_COMPARE_WITH_TIMEOUT(you.session.model().whoseturn, 2, kTimeoutMs);
    QVERIFY(!you.session.mayPlaceDice());
    QCOMPARE(you.session.seat(1).marks, host.engine().seat(1).marks);
}

void TestClientSession::refusedConnectionSaysWhyAndWhere()
{
    // A port nobody listens on any more.
    quint16 port = 0;
    {
        QTcpServer probe;
        QVERIFY(probe.listen(QHostAddress::LocalHost, 0));
        port = probe.serverPort();
    }
    Recorder ann;
    QSignalSpy closing(&ann.session, &ClientSession::closeRequested);
    ann.session.setPlayerName(QStringLiteral("Ann"));
    ann.session.connectToHost(QStringLiteral("127.0.0.1"), port, false);
    QTRY_COMPARE_WITH_TIMEOUT(ann.session.state(), State::Refused, kTimeoutMs);
    QCOMPARE(ann.lines, QStringList{QStringLiteral("Could not connect to 127.0.0.1 port %1: "
                                                   "Error #10061 (WSAECONNREFUSED)")
                                        .arg(port)});
    // The window stays: nothing asks it to close, and requests send nothing.
    QVERIFY(!ann.session.isConnected());
    ann.session.autoplace();
    QCOMPARE(closing.size(), 0);
}

QTEST_MAIN(TestClientSession)
#include "tst_clientsession.moc"
