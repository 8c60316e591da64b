// Whole games in which a player's link breaks: the host keeps his seat, his
// window tries again and takes it back with its token, and the game goes on
// to a winner every window agrees on. Also what happens when the seat is no
// longer kept, when somebody else gives his name, and when the host is gone.

#include "client/readervoice.h"
#include "faultylink.h"
#include "gametable.h"

using namespace velmora;
using namespace velmora::testing;

namespace {

const QString kBobBack = QStringLiteral("Rejoined the game in seat 2.");
const QString kEveBack = QStringLiteral("Rejoined the game as a spectator.");
const QString kBobHeld = QStringLiteral("Bob lost the connection; the seat is kept for 90 seconds.");
// A healthy link is never this quiet, even on a loaded machine under a sanitizer.
constexpr int kSilenceMs = 3000;

// Quick pauses between attempts: the tests wait for states, not for time.
RejoinSchedule quickSchedule(int giveUpAfterMs = 60000)
{
    RejoinSchedule s;
    s.firstPausesMs = {50, 100, 200, 400};
    s.laterPauseMs = 500;
    s.giveUpAfterMs = giveUpAfterMs;
    s.attemptTimeoutMs = 5000;
    return s;
}

GameInstance& joinThrough(Table& table, FaultyLink& link, const QString& name, int giveUpAfterMs = 60000)
{
    GameInstance& g = table.join(name, link.port());
    g.core.session().setRejoinSchedule(quickSchedule(giveUpAfterMs));
    g.core.session().setSilenceLimit(kSilenceMs);
    return g;
}

int count(const GameInstance& g, const QString& line)
{
    return int(g.lines().count(line));
}

// Breaks the link (or takes it down until `whileDown` is done) and waits until
// Bob and Eve are back, and every window shows the seats again and, between
// turns, the host's marks and points (the host scores a turn at its end).
void breakAndComeBack(Table& table, FaultyLink& link, bool betweenTurns, const std::function<void()>& whileDown = {})
{
    GameInstance& bob = table[QStringLiteral("Bob")];
    GameInstance& eve = table[QStringLiteral("Eve")];
    const int bobBack = count(bob, kBobBack);
    const int eveBack = count(eve, kEveBack);
    const int held =
        count(table.hostWindow(), QStringLiteral("Bob lost the connection; the seat is kept for 90 seconds."));
    if (whileDown) {
        link.setDown(true);
        whileDown();
        if (QTest::currentTestFailed())
            return;
        link.setDown(false);
    } else {
        link.reset();
    }
    QVERIFY(waitUntil([&] { return count(bob, kBobBack) == bobBack + 1 && count(eve, kEveBack) == eveBack + 1; }));
    QCOMPARE(count(table.hostWindow(), QStringLiteral("Bob lost the connection; the seat is kept for 90 seconds.")),
             held + 1);
    VERIFY_SOON(table.rosterMismatch());
    if (betweenTurns)
        VERIFY_SOON(table.boardMismatch());
    QCOMPARE(bob.core.session().myseat(), 2);
}

// The link stops carrying bytes without closing, as when a cable is pulled:
// the host finds Bob gone by his silence and keeps his seat, and `whileSilent`
// sees the game go on; once bytes pass again, his window, which found the
// host gone by its own silence, takes the seat back.
void silenceAndComeBack(Table& table, FaultyLink& link, const std::function<void()>& whileSilent = {})
{
    GameInstance& ann = table.hostWindow();
    GameInstance& bob = table[QStringLiteral("Bob")];
    const int bobBack = count(bob, kBobBack);
    const int held = count(ann, kBobHeld);
    link.setSilent(true);
    QVERIFY(waitUntil([&] { return count(ann, kBobHeld) == held + 1; }));
    if (whileSilent)
        whileSilent();
    QVERIFY(waitUntil([&] { return bob.core.session().state() == ClientSession::State::Rejoining; }));
    link.setSilent(false);
    QVERIFY(waitUntil([&] { return count(bob, kBobBack) == bobBack + 1; }));
    VERIFY_SOON(table.rosterMismatch());
    QCOMPARE(bob.core.session().myseat(), 2);
}

Table::Placed allTwelve()
{
    Table::Placed placed;
    for (int k = 0; k < 12; ++k)
        placed.append({k + 1, k / 4 + 1, k % 4 + 1});
    return placed;
}

// Bob's turns, each broken at another moment. The first he plays as usual
// once back; the others are played here.
void bobsBrokenTurn(Table& table, FaultyLink& link, int turn)
{
    GameInstance& ann = table.hostWindow();
    GameInstance& bob = table[QStringLiteral("Bob")];
    // A computer that would take minutes to move: Bob is back before it acts.
    ann.core.setBotPaceForTesting(60000);
    switch (turn) {
    case 0: // before the throw: he throws himself once back
        breakAndComeBack(table, link, true);
        QVERIFY2(throwOffered(bob), qPrintable(bob.lines().join(u'\n') + text(bob, QStringLiteral("label_turn"))));
        break;
    case 1: { // between dice: the five he placed are there, he places the rest
        Table::Placed placed;
        table.throwFor(bob);
        table.placeByHand(bob, {3, 1, 4, 2, 5}, placed);
        breakAndComeBack(table, link, false);
        VERIFY_SOON(table.diceMismatch(placed));
        QVERIFY(shown(bob, QStringLiteral("button_autoplace")));
        QVERIFY(!throwOffered(bob));
        table.autoplace(bob, placed, /*checkLastDice*/ true);
        break;
    }
    case 2: // during the scoring pause: back before the score, which follows as usual
        ann.server.setScoringPauseMs(60000);
        table.throwFor(bob);
        table.autoplace(bob, {}, /*checkLastDice*/ true);
        QVERIFY(waitUntil([&] { return table.engine().phase() == GameEngine::Phase::ScoringPause; }));
        breakAndComeBack(table, link, false);
        VERIFY_SOON(table.diceMismatch(allTwelve()));
        ann.server.setScoringPauseMs(2);
        break;
    case 3: // away for a whole turn: the computer plays it for him
        ann.core.setBotPaceForTesting(1);
        breakAndComeBack(table, link, true,
                         [&] { QVERIFY(waitUntil([&] { return table.engine().currentSeat() != 2; })); });
        break;
    }
    ann.core.setBotPaceForTesting(1);
}

// Silent while Cid plays: Ann's chat meanwhile reaches Bob once he is back.
void silentDuringAnothersTurn(Table& table, FaultyLink& link)
{
    GameInstance& ann = table.hostWindow();
    GameInstance& bob = table[QStringLiteral("Bob")];
    silenceAndComeBack(table, link, [&] { say(ann, QStringLiteral("where did Bob go?")); });
    VERIFY_SOON(table.boardMismatch());
    QVERIFY(waitUntil([&] { return bob.hasLine(QStringLiteral("Ann chats: where did Bob go?")); }));
}

// Silent in his own turn before the throw: the computer plays it meanwhile.
void silentDuringHisTurn(Table& table, FaultyLink& link)
{
    silenceAndComeBack(table, link, [&] { QVERIFY(waitUntil([&] { return table.engine().currentSeat() != 2; })); });
    VERIFY_SOON(table.boardMismatch());
}

// Silent in the scoring pause: back before the score, which follows as
// usual; his count of throws is what it was.
void silentDuringTheScoringPause(Table& table, FaultyLink& link)
{
    GameInstance& ann = table.hostWindow();
    GameInstance& bob = table[QStringLiteral("Bob")];
    ann.server.setScoringPauseMs(60000);
    table.throwFor(bob);
    table.autoplace(bob, {}, /*checkLastDice*/ true);
    QVERIFY(waitUntil([&] { return table.engine().phase() == GameEngine::Phase::ScoringPause; }));
    const QString throwsBefore = text(bob, QStringLiteral("label_round"));
    silenceAndComeBack(table, link);
    VERIFY_SOON(table.diceMismatch(allTwelve()));
    QCOMPARE(text(bob, QStringLiteral("label_round")), throwsBefore);
    ann.server.setScoringPauseMs(2);
}

} // namespace

class TestRejoin : public QObject {
    Q_OBJECT
    std::unique_ptr<TemporaryDataFolder> m_folder;
private slots:
    void init()
    {
        failOnUnexpectedWarnings();
        m_folder = std::make_unique<TemporaryDataFolder>();
    }
    void cleanup() { m_folder.reset(); }

    void lostPlayerTakesHisSeatBackAndWins();
    void aSilentLinkIsFoundAndTheGameGoesOn();
    void noSeatIsKeptAfterTheGraceOrForAnotherWithHisName();
    void aHostThatIsGoneIsTriedForTheBoundedTime();
    void aHostThatEndsTheGameIsNotTriedAgain();
};

void TestRejoin::lostPlayerTakesHisSeatBackAndWins()
{
    Table table;
    GameInstance& ann = table.host(QStringLiteral("Ann"));
    if (QTest::currentTestFailed())
        return;
    FaultyLink link(ann.server.port());
    GameInstance& bob = joinThrough(table, link, QStringLiteral("Bob"));
    table.join(QStringLiteral("Cid"));
    table.join(QStringLiteral("Dee"));
    GameInstance& eve = joinThrough(table, link, QStringLiteral("Eve"));
    if (QTest::currentTestFailed())
        return;
    QCOMPARE(bob.core.session().myseat(), 2);
    QCOMPARE(eve.core.session().myseat(), 5);
    DiceScript script;
    script.plan(2, DiceScript::closingTurns()).install(ann.server);
    ann.startGame(/*points*/ true);

    // What a screen reader hears in Bob's window.
    QStringList told;
    connect(bob.chat.findChild<ReaderVoice*>(), &ReaderVoice::spoke, this,
            [&told](const QString& text) { told << text; });
    int brokenTurns = 0;
    table.playToWinner(/*checkLastDice*/ false, [&](GameInstance& mover) {
        if (&mover != &bob || brokenTurns == 4)
            return false;
        const int turn = brokenTurns++;
        told.clear();
        bobsBrokenTurn(table, link, turn);
        // The catch-up shows the game as it stands; it is not news, and the
        // throw before the break is told once.
        if (turn == 1 && told.join(u' ').count(QStringLiteral("You threw")) != 1)
            QTest::qFail(qPrintable(QStringLiteral("told: ") + told.join(u'|')), __FILE__, __LINE__);
        return turn != 0;
    });
    if (QTest::currentTestFailed())
        return;
    QCOMPARE(brokenTurns, 4);
    table.checkWinner(QStringLiteral("Bob"));
    QCOMPARE(points(eve, 2), QStringLiteral("50"));
    // Every return was seen as the player coming back, not as a newcomer.
    QCOMPARE(count(bob, QStringLiteral("You are Connected.")), 1);
    QCOMPARE(ann.server.connection(2).name, QStringLiteral("Bob"));
}

// Nothing breaks loudly: Bob's link just stops carrying bytes, during his
// own turn, during Cid's and during the scoring pause. Each time the game
// goes on without him and he comes back to his seat with his marks; what was
// said meanwhile reaches him, and his count of throws is everybody's.
void TestRejoin::aSilentLinkIsFoundAndTheGameGoesOn()
{
    Table table;
    GameInstance& ann = table.host(QStringLiteral("Ann"));
    if (QTest::currentTestFailed())
        return;
    ann.server.setHeartbeat(250, kSilenceMs);
    FaultyLink link(ann.server.port());
    GameInstance& bob = joinThrough(table, link, QStringLiteral("Bob"));
    GameInstance& cid = table.join(QStringLiteral("Cid"));
    if (QTest::currentTestFailed())
        return;
    DiceScript script;
    script.plan(2, DiceScript::closingTurns()).install(ann.server);
    ann.startGame();

    int bobsTurns = 0;
    int cidsTurns = 0;
    table.playToWinner(/*checkLastDice*/ false, [&](GameInstance& mover) {
        if (&mover == &cid && cidsTurns++ == 0) {
            silentDuringAnothersTurn(table, link);
            return false;
        }
        if (&mover != &bob || bobsTurns >= 2)
            return false;
        if (bobsTurns++ == 0)
            silentDuringHisTurn(table, link);
        else
            silentDuringTheScoringPause(table, link);
        return true;
    });
    if (QTest::currentTestFailed())
        return;
    QCOMPARE(bobsTurns, 2);
    QVERIFY(cidsTurns >= 1);
    QCOMPARE(count(bob, QStringLiteral("You are Connected.")), 1);
}

void TestRejoin::noSeatIsKeptAfterTheGraceOrForAnotherWithHisName()
{
    Table table;
    GameInstance& ann = table.host(QStringLiteral("Ann"));
    if (QTest::currentTestFailed())
        return;
    ann.server.setRejoinGrace(1);
    FaultyLink link(ann.server.port());
    GameInstance& bob = joinThrough(table, link, QStringLiteral("Bob"));
    if (QTest::currentTestFailed())
        return;
    ann.startGame();
    QVERIFY(waitUntil([&] { return table.engine().isRunning(); }));

    link.setDown(true);
    QVERIFY(waitUntil(
        [&] { return ann.hasLine(QStringLiteral("Bob lost the connection; the seat is kept for 1 second.")); }));
    QVERIFY(waitUntil([&] { return bob.lines().filter(QStringLiteral("Rejoin attempt 1 failed")).size() == 1; }));
    {
        // Somebody else gives Bob's name while his seat is kept: he is a newcomer.
        GameInstance impostor({QStringLiteral("Bob"), QStringLiteral("127.0.0.1"), QStringLiteral("false")},
                              ann.server.port());
        QVERIFY(waitUntil([&] { return impostor.hasLine(QStringLiteral("You are Connected.")); }));
        QCOMPARE(impostor.core.session().myseat(), 3);
        QVERIFY(waitUntil([&] { return seatName(ann, 3) == QLatin1String("Bob"); }));
        QCOMPARE(seatName(ann, 2), QStringLiteral("Bob"));
        QVERIFY(ann.server.isHeld(2));
    }
    // The second runs out: the seat goes, and Bob's return finds it gone.
    QVERIFY(waitUntil([&] { return ann.hasLine(QStringLiteral("Bob disconnected.")); }));
    QVERIFY(!ann.server.isHeld(2));
    link.setDown(false);
    QVERIFY(waitUntil([&] {
        return bob.hasLine(QStringLiteral("The host no longer keeps your seat; you join the game as a newcomer.")) &&
               count(bob, QStringLiteral("You are Connected.")) == 2;
    }));
    QVERIFY(!bob.hasLine(kBobBack));
    VERIFY_SOON(table.rosterMismatch());
}

void TestRejoin::aHostThatIsGoneIsTriedForTheBoundedTime()
{
    Table table;
    GameInstance& ann = table.host(QStringLiteral("Ann"));
    if (QTest::currentTestFailed())
        return;
    FaultyLink link(ann.server.port());
    GameInstance& bob = joinThrough(table, link, QStringLiteral("Bob"), /*giveUpAfterMs*/ 1500);
    GameInstance& cid = joinThrough(table, link, QStringLiteral("Cid"));
    if (QTest::currentTestFailed())
        return;
    ann.startGame();
    QVERIFY(waitUntil([&] { return table.engine().isRunning(); }));

    // Nothing answers on the host's port any more, as when it went down.
    link.setDown(true);
    QVERIFY(waitUntil([&] { return !bob.lines().filter(QStringLiteral("Gave up rejoining")).isEmpty(); }));
    QVERIFY(bob.lines().filter(QStringLiteral("Rejoin attempt")).size() >= 4);
    QCOMPARE(bob.core.session().state(), ClientSession::State::GivenUp);
    QVERIFY(!bob.closed);

    // Exit while the window is still trying: it closes at once and tries no more.
    QVERIFY(waitUntil([&] { return !cid.lines().filter(QStringLiteral("Rejoin attempt 1 failed")).isEmpty(); }));
    QVERIFY(cid.core.session().attemptPlanned());
    cid.chat.close();
    QVERIFY(cid.closed);
    QCOMPARE(cid.core.session().state(), ClientSession::State::Closed);
    // Attempts start only from a planned one, and none is left.
    QVERIFY(!cid.core.session().attemptPlanned());
}

// The host ends the game on purpose: our window says so and tries nothing.
void TestRejoin::aHostThatEndsTheGameIsNotTriedAgain()
{
    auto ann = std::make_unique<GameInstance>(
        QStringList{QStringLiteral("Ann"), QStringLiteral("127.0.0.1"), QStringLiteral("true")});
    FaultyLink link(ann->server.port());
    GameInstance bob({QStringLiteral("Bob"), QStringLiteral("127.0.0.1"), QStringLiteral("false")}, link.port());
    bob.core.session().setRejoinSchedule(quickSchedule());
    QVERIFY(waitUntil([&] { return bob.hasLine(QStringLiteral("You are Connected.")); }));
    ann->startGame();
    QVERIFY(waitUntil([&] { return ann->server.engine().isRunning(); }));
    const int attempts = link.connectionsMade();

    // Ann chooses Exit, and her program ends with its host.
    ann->chat.close();
    QVERIFY(ann->closed);
    ann.reset();
    QVERIFY(waitUntil([&] { return bob.hasLine(QStringLiteral("The host ended the game.")); }));
    QCOMPARE(bob.core.session().state(), ClientSession::State::Ended);
    QVERIFY(bob.lines().filter(QStringLiteral("rejoin")).isEmpty());
    QVERIFY(!bob.closed);
    QCOMPARE(link.connectionsMade(), attempts);
}

QTEST_MAIN(TestRejoin)
#include "tst_rejoin.moc"
