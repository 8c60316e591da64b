// Whole games in which the table changes: a player removed by the host, a
// player who lets the computer play for him and takes his seat back, a
// newcomer in the middle of a turn, seat 1 left in a team game. Every game
// is played to its winner.

#include "gametable.h"
#include "host/hostconsole.h"

#include <QMenu>

using namespace velmora;
using namespace velmora::testing;

namespace {

// The host's right-click on a seat name, then "Remove From Game".
void removeFromGame(GameInstance& host, int seat)
{
    emit host.control(QStringLiteral("label_playername%1").arg(seat))->customContextMenuRequested(QPoint(2, 2));
    auto* remove = host.chat.findChild<QAction*>(QStringLiteral("RemoveFromGame1"));
    QVERIFY(remove->isEnabled());
    remove->trigger();
    host.chat.findChild<QMenu*>(QStringLiteral("popup_kick"))->hide();
}

// Removes Bob (seat 2) before his throw: his window closes without a word,
// every other window sees him go and the computer take his seat.
void removeBob(Table& table)
{
    GameInstance& bob = table[QStringLiteral("Bob")];
    removeFromGame(table.hostWindow(), 2);
    QVERIFY(waitUntil([&] { return bob.closed; }));
    QCOMPARE(bob.reports, QStringList());
    table.forget(QStringLiteral("Bob"));
    VERIFY_SOON(table.lineMissing(QStringLiteral("Bob disconnected.")));
    for (const QString& name : table.names())
        QVERIFY(waitUntil([&] { return seatName(table[name], 2) == QLatin1String("Borl"); }));
}

// Bob asks to watch, or to play again; every window shows it.
void setBobWatching(Table& table, bool on)
{
    GameInstance& bob = table[QStringLiteral("Bob")];
    bob.chat.findChild<QAction*>(QStringLiteral("JustWatch1"))->trigger();
    VERIFY_SOON(
        table.lineMissing(on ? QStringLiteral("Bob is just watching") : QStringLiteral("Bob now playing again")));
    for (const QString& name : table.names())
        QVERIFY2(waitUntil([&] { return eyesShown(table[name], 2) == on; }), qPrintable(name));
    QVERIFY(waitUntil([&] { return justWatchChecked(bob) == on; }));
}

// Ann places six dice of her turn; then Cid comes in, takes the computer's
// seat 2, and finds the board as everybody sees it, this turn's dice included.
void cidJoinsDuringAnnsTurn(Table& table)
{
    GameInstance& ann = table.hostWindow();
    QCOMPARE(seatName(ann, 2), QStringLiteral("Borl"));
    Table::Placed placed;
    table.throwFor(ann);
    if (!QTest::currentTestFailed())
        table.placeByHand(ann, {3, 1, 4, 2, 5, 6}, placed);
    if (QTest::currentTestFailed())
        return;

    GameInstance& cid = table.join(QStringLiteral("Cid"));
    if (QTest::currentTestFailed())
        return;
    QCOMPARE(seatName(cid, 1), QStringLiteral("Ann"));
    QCOMPARE(seatName(ann, 2), QStringLiteral("Cid"));
    VERIFY_SOON(table.diceMismatch(placed));
    for (int seat : {1, 2}) {
        QCOMPARE(marks(cid, seat), marks(ann, seat));
        QCOMPARE(points(cid, seat), points(ann, seat));
    }
    QVERIFY(marks(ann, 1) != rules::Marks{}); // dart 1 of this turn has marked Ann's board
    QCOMPARE(text(cid, QStringLiteral("label_turn")), QStringLiteral("Ann's turn."));
    QVERIFY(!throwOffered(cid));
    QVERIFY(ann.hasLine(QStringLiteral("Cid is Connected.")));
    table.autoplace(ann, placed, /*checkLastDice*/ false);
}

// A person's turn at a host without a window: the throw, then four dice by
// hand (the first dart) and auto place, or only the four when `thenLeave`.
void playTurnAt(const TServer& server, GameInstance& mover, bool thenLeave)
{
    const int seat = mover.core.session().myseat();
    mover.click(QStringLiteral("button_throwdarts"));
    QVERIFY(waitUntil([&] { return server.engine().phase() == GameEngine::Phase::Placing; }));
    if (!thenLeave) {
        QVERIFY(waitUntil([&] { return shown(mover, QStringLiteral("button_autoplace")); }));
        mover.click(QStringLiteral("button_autoplace"));
        QVERIFY(waitUntil([&] { return server.engine().currentSeat() != seat || !server.engine().isRunning(); }));
        return;
    }
    for (int die : {3, 1, 4, 2}) {
        QVERIFY(waitUntil([&] { return mover.dice()->dieAvailable(die); }));
        QTest::mouseClick(mover.control(QStringLiteral("image_dice%1").arg(die)), Qt::LeftButton);
        QVERIFY(waitUntil([&] { return !mover.dice()->dieAvailable(die); }));
    }
}

// Warnings that mention `what`, kept aside while the object lives; the rest
// go on to the test's own handler.
class WarningCatcher {
public:
    explicit WarningCatcher(QString what)
    {
        s_what = std::move(what);
        s_caught.clear();
        s_previous = qInstallMessageHandler(&WarningCatcher::handle);
    }
    ~WarningCatcher() { qInstallMessageHandler(s_previous); }
    QStringList caught() const { return s_caught; }

private:
    static void handle(QtMsgType type, const QMessageLogContext& context, const QString& message)
    {
        if (message.contains(s_what))
            s_caught << message;
        else if (s_previous)
            s_previous(type, context, message);
    }
    static inline QtMessageHandler s_previous = nullptr;
    static inline QString s_what;
    static inline QStringList s_caught;
};

} // namespace

class TestGameChanges : public QObject {
    Q_OBJECT
    std::unique_ptr<TemporaryDataFolder> m_folder;
private slots:
    void init()
    {
        failOnUnexpectedWarnings();
        m_folder = std::make_unique<TemporaryDataFolder>();
    }
    void cleanup() { m_folder.reset(); }

    void removedPlayerLeavesHisSeatToTheComputer();
    void justWatchLetsTheComputerPlayUntilTheSeatIsTakenBack();
    void newcomerDuringATurnSeesTheBoardAndPlaysOn();
    void seatOneLeftInATeamGameIsPlayedAndNamed();
    void lobbyConnectionIsHeldWithoutAWarning();
};

void TestGameChanges::removedPlayerLeavesHisSeatToTheComputer()
{
    Table table;
    GameInstance& ann = table.host(QStringLiteral("Ann"));
    table.join(QStringLiteral("Bob"));
    table.join(QStringLiteral("Cid"));
    if (QTest::currentTestFailed())
        return;
    DiceScript script;
    script.plan(1, DiceScript::closingTurns()).plan(2, {{16, 16, 16}}).install(ann.server);
    ann.startGame(/*points*/ true);

    // At his second turn, before he throws, the host removes Bob: the host
    // throws for him and the computer places his dice.
    bool removed = false;
    table.playToWinner(/*checkLastDice*/ false, [&](GameInstance& mover) {
        if (removed || seatOf(ann, table.nameOf(mover)) != 2 || script.thrown(2) < 1)
            return false;
        removed = true;
        removeBob(table);
        return true;
    });
    if (QTest::currentTestFailed())
        return;
    QVERIFY(removed);
    QVERIFY(script.thrown(2) >= 6);
    table.checkWinner(QStringLiteral("Ann"));
    // The seat kept what Bob had scored on it.
    for (const QString& name : table.names())
        QCOMPARE(marks(table[name], 2), (rules::Marks{0, 3, 0, 0, 0, 0, 0}));
}

void TestGameChanges::justWatchLetsTheComputerPlayUntilTheSeatIsTakenBack()
{
    Table table;
    GameInstance& ann = table.host(QStringLiteral("Ann"));
    GameInstance& bob = table.join(QStringLiteral("Bob"));
    if (QTest::currentTestFailed())
        return;
    QVERIFY(tickForTally(bob, QStringLiteral("Ann")));
    DiceScript script;
    script.plan(2, DiceScript::closingTurns()).plan(1, {{17, 17, 17}}).install(ann.server);
    ann.startGame(/*points*/ true);

    // Bob watches from his first turn: the computer throws and places for
    // him. During Ann's turn after his third he plays again, and wins.
    bool watching = false;
    bool back = false;
    int turnsByHand = 0;
    table.playToWinner(/*checkLastDice*/ false, [&](GameInstance& mover) {
        if (&mover == &bob && !watching) {
            watching = true;
            setBobWatching(table, true);
            return true;
        }
        if (&mover == &ann && watching && !back && script.thrown(2) >= 3) {
            back = true;
            setBobWatching(table, false);
        }
        turnsByHand += &mover == &bob ? 1 : 0;
        return false;
    });
    if (QTest::currentTestFailed())
        return;
    QVERIFY(back);
    QCOMPARE(turnsByHand, 7 - 3);
    table.checkWinner(QStringLiteral("Bob"));
    QCOMPARE(bob.tally.lastGame(), QStringLiteral("addtomine"));
    QCOMPARE(tallyCount(bob, QStringLiteral("mylabel_2")), QStringLiteral("1"));
}

void TestGameChanges::newcomerDuringATurnSeesTheBoardAndPlaysOn()
{
    Table table;
    GameInstance& ann = table.host(QStringLiteral("Ann"));
    if (QTest::currentTestFailed())
        return;
    DiceScript script;
    script.plan(2, DiceScript::closingTurns()).plan(1, {{15, 16, 17}, {18, 18, 18}, {18, 19, 20}}).install(ann.server);
    ann.startGame(/*points*/ true);

    // Once the computer has thrown twice for seat 2, Cid comes in during Ann's turn.
    bool joined = false;
    table.playToWinner(/*checkLastDice*/ false, [&](GameInstance&) {
        if (joined || script.thrown(2) < 2)
            return false;
        joined = true;
        cidJoinsDuringAnnsTurn(table);
        return true;
    });
    if (QTest::currentTestFailed())
        return;
    QVERIFY(joined);
    // Seat 2 went on from the computer's marks to Cid's win.
    table.checkWinner(QStringLiteral("Cid"));
    QCOMPARE(points(table[QStringLiteral("Cid")], 2), QStringLiteral("50"));
}

// A host without a window (as velmora-host runs): Alice holds seat 1 and
// leaves in the middle of her turn of a team game. The computer plays her
// seat on, and every window names it as the host does.
void TestGameChanges::seatOneLeftInATeamGameIsPlayedAndNamed()
{
    TServer server;
    server.setBotPace([] { return 1; });
    server.setScoringPauseMs(2);
    server.startListening(0);
    HostConsole console(server);
    Table table;
    for (const char* name : {"Alice", "Bob", "Cid", "Dee", "Spy"})
        table.join(QString::fromLatin1(name), server.port());
    table.leave(QStringLiteral("Cid"));
    table.leave(QStringLiteral("Dee"));
    if (QTest::currentTestFailed())
        return;
    GameInstance& bob = table[QStringLiteral("Bob")];
    GameInstance& spy = table[QStringLiteral("Spy")];
    QStringList bobsTurnLines;
    QObject::connect(&bob.chat.session(), &ClientSession::turnChanged, &bob.chat,
                     [&] { bobsTurnLines << text(bob, QStringLiteral("label_turn")); });
    DiceScript script;
    script.plan(1, DiceScript::closingTurns()).share(3, 1).install(server);
    QCOMPARE(console.execute(QStringLiteral("start team")), QString());

    // Bob plays his turns; at her first, Alice leaves in the middle of it.
    bool left = false;
    for (int turns = 0; turns < 40 && server.engine().isRunning(); ++turns) {
        GameInstance* mover = nullptr;
        QVERIFY(waitUntil([&] {
            mover = !left && throwOffered(table[QStringLiteral("Alice")]) ? &table[QStringLiteral("Alice")]
                    : throwOffered(bob)                                   ? &bob
                                                                          : nullptr;
            return mover || !server.engine().isRunning();
        }));
        if (!mover)
            break;
        const bool leaving = mover != &bob;
        playTurnAt(server, *mover, leaving);
        if (QTest::currentTestFailed())
            return;
        if (!leaving)
            continue;
        left = true;
        mover->chat.close();
        table.forget(QStringLiteral("Alice"));
        // The computer plays seat 1 on, and every window names it so, as the host lists it.
        for (GameInstance* g : {&bob, &spy})
            QVERIFY(waitUntil([&] { return seatName(*g, 1) == QLatin1String("Kelm"); }));
        const QString seatOne = console.execute(QStringLiteral("who")).split(u'\n').value(1);
        QVERIFY2(seatOne.contains(QLatin1String("free, computer Kelm")), qPrintable(seatOne));
    }
    QVERIFY(left);
    QVERIFY(waitUntil([&] { return !server.engine().isRunning(); }));
    QVERIFY2(bobsTurnLines.contains(QStringLiteral("Kelm's turn.")), qPrintable(bobsTurnLines.join(u'|')));
    // Either partner may close the game; the one who did is named first.
    QString winners;
    QVERIFY(waitUntil([&] {
        for (const QString names : {QStringLiteral("Kelm and Dask"), QStringLiteral("Dask and Kelm")})
            if (table.lineMissing(names + QStringLiteral(" have Won the Game!")).isEmpty())
                winners = names;
        return !winners.isEmpty();
    }));
    for (GameInstance* g : {&bob, &spy})
        QVERIFY(waitUntil([&] { return winnerShown(*g) == winners; }));
}

void TestGameChanges::lobbyConnectionIsHeldWithoutAWarning()
{
    WarningCatcher warnings(QStringLiteral("unique connections require"));
    GameInstance game({QStringLiteral("Ann"), QStringLiteral("127.0.0.1"), QStringLiteral("true")});
    QVERIFY(waitUntil([&] { return game.hasLine(QStringLiteral("You are Connected.")); }));
    QCOMPARE(warnings.caught(), QStringList());
}

QTEST_MAIN(TestGameChanges)
#include "tst_gamechanges.moc"
