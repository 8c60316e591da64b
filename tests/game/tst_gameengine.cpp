// The turn engine without any socket: whole games with known dice, the
// hand-overs when a player leaves, is kicked or watches, and every refusal.

#include "game/gameengine.h"

#include <gtest/gtest.h>
#include <string>
#include <vector>

using namespace velmora;
using Outcome = GameEngine::Outcome;
using Role = GameEngine::SeatRole;

namespace {

// Four dice that the computer's rule keeps together on one dart (no die
// below 3, so dice 1-4, 5-8 and 9-12 go on darts 1, 2 and 3) and what they hit.
std::vector<int> diceFor(int target)
{
    switch (target) {
    case 15:
        return {3, 4, 4, 4};
    case 16:
        return {4, 4, 4, 4};
    case 17:
        return {5, 4, 4, 4};
    case 18:
        return {5, 5, 4, 4};
    case 19:
        return {5, 5, 5, 4};
    case 20:
        return {5, 5, 5, 5};
    case 21:
        return {6, 5, 5, 5}; // bull
    case 24:
        return {6, 6, 6, 6}; // double bull
    default:
        return {3, 3, 3, 3}; // 12: a miss
    }
}

std::string describe(const GameEvent& e)
{
    struct {
        std::string operator()(const event::GameStarted& g) const
        {
            return std::string("start") + (g.team ? " team" : "") + (g.points ? " points" : "");
        }
        std::string operator()(const event::NextPlayer& n) const { return "next " + std::to_string(n.seat); }
        std::string operator()(const event::DiceThrown& t) const { return "throw " + std::to_string(t.seat); }
        std::string operator()(const event::DiePlaced& p) const
        {
            return "place " + std::to_string(p.seat) + " die " + std::to_string(p.placement.die) + " on " +
                   std::to_string(p.placement.dart) + "." + std::to_string(p.placement.place) + " " + p.result.text();
        }
        std::string operator()(const event::DartCompleted& d) const
        {
            return "dart " + std::to_string(d.dart) + " " + d.result.text();
        }
        std::string operator()(const event::AllDicePlaced& a) const { return "placed " + std::to_string(a.seat); }
        std::string operator()(const event::TurnEnded& t) const
        {
            return std::string(t.partnerCopy ? "partner " : "end ") + std::to_string(t.seat) + " " +
                   std::to_string(t.score) + " " + t.results[0].text() + " " + t.results[1].text() + " " +
                   t.results[2].text();
        }
        std::string operator()(const event::Winner& w) const
        {
            return "winner " + std::to_string(w.seat) + (w.partner ? " and " + std::to_string(w.partner) : "");
        }
        std::string operator()(const event::WatchingChanged& w) const
        {
            return "watch " + std::to_string(w.seat) + (w.watching ? " on" : " off");
        }
    } visitor;
    return std::visit(visitor, e);
}

class EngineTest : public ::testing::Test {
protected:
    GameEngine engine;
    std::vector<std::string> events;
    std::vector<int> dice;
    size_t nextDie = 0;
    int drawnSeat = 4; // the first turn goes to seat 1

    void SetUp() override
    {
        engine.setListener([this](const GameEvent& e) { events.push_back(describe(e)); });
        engine.setDiceRoller([this] { return dice.empty() ? 1 : dice[nextDie++ % dice.size()]; });
        engine.setSeatDraw([this] { return drawnSeat; });
    }

    // The next throws, one per turn: three targets each.
    void script(const std::vector<std::vector<int>>& throws)
    {
        for (const auto& darts : throws) {
            for (int target : darts) {
                const std::vector<int> four = diceFor(target);
                dice.insert(dice.end(), four.begin(), four.end());
            }
        }
    }

    std::vector<std::string> take()
    {
        std::vector<std::string> out;
        out.swap(events);
        return out;
    }

    // Plays the current seat's turn as the host would: the throw, the
    // computer's placements one by one, the scoring. Returns the seat.
    int playTurn()
    {
        const int seat = engine.currentSeat();
        EXPECT_EQ(engine.throwDice(seat), Outcome::Done);
        while (engine.phase() == GameEngine::Phase::Placing)
            EXPECT_EQ(engine.placeNextForComputer(seat), Outcome::Done);
        EXPECT_EQ(engine.endTurn(), Outcome::Done);
        return seat;
    }

    bool saw(const std::string& what) const { return std::find(events.begin(), events.end(), what) != events.end(); }
};

} // namespace

// --- whole games -------------------------------------------------------------------

TEST_F(EngineTest, SoloGameToTheWinner)
{
    engine.takeSeat(1);
    EXPECT_EQ(engine.role(2), Role::Computer);
    EXPECT_EQ(engine.role(3), Role::Empty);
    script({{15, 15, 15},
            {12, 12, 12},
            {16, 16, 16},
            {12, 12, 12},
            {17, 17, 17},
            {12, 12, 12},
            {18, 18, 18},
            {12, 12, 12},
            {19, 19, 19},
            {12, 12, 12},
            {20, 20, 20},
            {12, 12, 12},
            {21, 21, 21}});
    engine.startGame(false, true);
    EXPECT_EQ(take(), (std::vector<std::string>{"start points", "next 1"}));

    // The first turn in full: three darts of 15 close it without a point.
    playTurn();
    const std::vector<std::string> first = take();
    ASSERT_EQ(first.size(), 1u + 12 + 3 + 1 + 1 + 1);
    EXPECT_EQ(first[0], "throw 1");
    EXPECT_EQ(first[1], "place 1 die 1 on 1.1 3");
    EXPECT_EQ(first[4], "place 1 die 4 on 1.4 15");
    EXPECT_EQ(first[5], "dart 1 15");
    EXPECT_EQ(first[first.size() - 3], "placed 1");
    EXPECT_EQ(first[first.size() - 2], "end 1 0 15 15 15");
    EXPECT_EQ(first.back(), "next 2");

    std::vector<int> turns{1};
    while (engine.isRunning() && turns.size() < 20)
        turns.push_back(playTurn());
    EXPECT_EQ(turns, (std::vector<int>{1, 2, 1, 2, 1, 2, 1, 2, 1, 2, 1, 2, 1}));
    EXPECT_TRUE(saw("winner 1"));
    EXPECT_EQ(events.back(), "winner 1");
    EXPECT_EQ(engine.phase(), GameEngine::Phase::Over);
    EXPECT_EQ(engine.currentSeat(), 0);
    EXPECT_TRUE(rules::allClosed(engine.seat(1).marks));
    EXPECT_EQ(engine.throwDice(1), Outcome::NoGame);
}

TEST_F(EngineTest, TeamGameTurnOrderPartnersAndWinner)
{
    engine.takeSeat(1);
    drawnSeat = 2; // seat 3 opens; seats 2, 3 and 4 are the computer's
    std::vector<std::vector<int>> throws;
    for (int target : {15, 16, 17, 18, 19, 20, 21}) {
        throws.push_back({target, target, target}); // team 1 and 3
        throws.push_back({12, 12, 12});             // team 2 and 4
    }
    script(throws);
    engine.startGame(true, false);
    EXPECT_EQ(engine.role(4), Role::Computer);
    EXPECT_FALSE(engine.inPlay(4)); // it takes turns, but nobody waits for it to close a target

    std::vector<int> turns;
    while (engine.isRunning() && turns.size() < 20)
        turns.push_back(playTurn());
    EXPECT_EQ(turns, (std::vector<int>{3, 4, 1, 2, 3, 4, 1, 2, 3, 4, 1, 2, 3}));
    // Every score goes to the partner right after.
    const auto end = std::find(events.begin(), events.end(), "end 1 0 16 16 16");
    ASSERT_NE(end, events.end());
    EXPECT_EQ(*(end + 1), "partner 3 0 16 16 16");
    EXPECT_EQ(events.back(), "winner 3 and 1");
    EXPECT_EQ(engine.seat(1).marks, engine.seat(3).marks);
    EXPECT_TRUE(rules::allClosed(engine.seat(1).marks));
}

TEST_F(EngineTest, PointsGameAllClosedButBehindPlaysOnAndATieWins)
{
    engine.takeSeat(1);
    engine.takeSeat(2);
    script({{16, 16, 16},
            {15, 15, 15},
            {17, 17, 17},
            {15, 15, 15},
            {18, 18, 18},
            {12, 12, 12},
            {19, 19, 19},
            {12, 12, 12},
            {20, 20, 20},
            {12, 12, 12},
            {21, 21, 21},
            {12, 12, 12},
            {15, 15, 15},
            {12, 12, 12},
            {20, 21, 12}});
    engine.startGame(false, true);
    for (int turn = 1; turn <= 13; ++turn)
        playTurn();
    // Seat 2 scored 45 on 15 while seat 1 was open; seat 1 has closed everything.
    EXPECT_EQ(engine.seat(2).score, 45);
    EXPECT_TRUE(rules::allClosed(engine.seat(1).marks));
    EXPECT_TRUE(engine.isRunning());
    EXPECT_EQ(engine.currentSeat(), 2);

    playTurn();
    take();
    playTurn(); // 20 and bull while seat 2 is open on both: 45, level with seat 2
    EXPECT_EQ(take(), (std::vector<std::string>{
                          "throw 1", "place 1 die 1 on 1.1 5", "place 1 die 2 on 1.2 10", "place 1 die 3 on 1.3 15",
                          "place 1 die 4 on 1.4 20", "dart 1 20", "place 1 die 5 on 2.1 6", "place 1 die 6 on 2.2 11",
                          "place 1 die 7 on 2.3 16", "place 1 die 8 on 2.4 Bull", "dart 2 Bull",
                          "place 1 die 9 on 3.1 3", "place 1 die 10 on 3.2 6", "place 1 die 11 on 3.3 9",
                          "place 1 die 12 on 3.4 12", "dart 3 12", "placed 1", "end 1 45 20 Bull 12", "winner 1"}));
}

TEST_F(EngineTest, FirstTurnFollowsTheDrawnSeat)
{
    engine.takeSeat(1);
    drawnSeat = 3; // nobody holds seat 3: counts as seat 1, so seat 2 begins
    engine.startGame(false, true);
    EXPECT_EQ(engine.currentSeat(), 2);
    drawnSeat = 2; // seats 3 and 4 are out of play: back to seat 1
    engine.startGame(false, true);
    EXPECT_EQ(engine.currentSeat(), 1);
}

// --- hand-overs -----------------------------------------------------------------------

TEST_F(EngineTest, APlayerWhoLeavesMidTurnIsPlayedOut)
{
    engine.takeSeat(1);
    engine.takeSeat(2);
    drawnSeat = 1;
    script({{16, 16, 16}});
    engine.startGame(false, true);
    ASSERT_EQ(engine.throwDice(2), Outcome::Done);
    ASSERT_EQ(engine.placeDie(2, {12, 3, 4}), Outcome::Done);
    take();

    engine.leaveSeat(2);
    EXPECT_EQ(engine.role(2), Role::Computer);
    EXPECT_EQ(engine.playOut(2), Outcome::Done);
    const std::vector<std::string> placed = take();
    ASSERT_EQ(placed.size(), 11u + 3 + 1);
    EXPECT_EQ(placed.back(), "placed 2");
    EXPECT_EQ(engine.turn().places[2][3], 4); // his own die stays where he put it
    EXPECT_EQ(engine.phase(), GameEngine::Phase::ScoringPause);

    // Before the throw, leaving plays the whole turn: throw and twelve dice.
    EXPECT_EQ(engine.endTurn(), Outcome::Done);
    engine.takeSeat(2);
    playTurn();
    ASSERT_EQ(engine.currentSeat(), 2);
    take();
    engine.leaveSeat(2);
    EXPECT_EQ(engine.playOut(2), Outcome::Done);
    const std::vector<std::string> whole = take();
    EXPECT_EQ(whole.front(), "throw 2");
    EXPECT_EQ(whole.back(), "placed 2");
}

TEST_F(EngineTest, AKickedPlayerOnlyHasTheDiceThrown)
{
    engine.takeSeat(1);
    engine.takeSeat(2);
    drawnSeat = 1;
    engine.startGame(false, true);
    take();
    engine.leaveSeat(2);
    EXPECT_EQ(engine.handOver(2), Outcome::Done);
    EXPECT_EQ(take(), (std::vector<std::string>{"throw 2"}));
    EXPECT_TRUE(engine.computerDriven(2));
    EXPECT_EQ(engine.seat(2).diceCount, 0);
    // The computer then places at its own pace, one die a step.
    EXPECT_EQ(engine.placeNextForComputer(2), Outcome::Done);
    EXPECT_EQ(engine.seat(2).diceCount, 1);
    // Not the current seat: nothing to hand over.
    EXPECT_EQ(engine.handOver(1), Outcome::NotYourTurn);
}

TEST_F(EngineTest, AWatchingPlayerIsPlayedByTheComputer)
{
    engine.takeSeat(1);
    engine.takeSeat(2);
    drawnSeat = 1;
    engine.startGame(false, true);
    take();
    EXPECT_FALSE(engine.computerDriven(2));

    // Before his throw: the computer throws at once.
    EXPECT_EQ(engine.setWatching(2, true), Outcome::Done);
    EXPECT_EQ(take(), (std::vector<std::string>{"watch 2 on", "throw 2"}));
    EXPECT_EQ(engine.role(2), Role::Watching);
    EXPECT_TRUE(engine.computerDriven(2));

    // He takes the seat back and places a die himself ...
    EXPECT_EQ(engine.setWatching(2, false), Outcome::Done);
    EXPECT_EQ(engine.placeDie(2, {5, 1, 1}), Outcome::Done);
    take();
    // ... and watches again: the rest goes out at once.
    EXPECT_EQ(engine.setWatching(2, true), Outcome::Done);
    const std::vector<std::string> rest = take();
    EXPECT_EQ(rest.front(), "watch 2 on");
    EXPECT_EQ(rest.back(), "placed 2");
    EXPECT_EQ(engine.seat(2).diceCount, 12);

    // A new game ends all watching.
    engine.startGame(false, true);
    EXPECT_FALSE(engine.seat(2).watching);
}

// --- refusals --------------------------------------------------------------------------

TEST_F(EngineTest, RefusalsChangeNothingAndAnnounceNothing)
{
    engine.takeSeat(1);
    engine.takeSeat(2);
    EXPECT_EQ(engine.throwDice(1), Outcome::NoGame);
    EXPECT_EQ(engine.placeDie(1, {1, 1, 1}), Outcome::NoGame);
    EXPECT_EQ(engine.autoPlace(1), Outcome::NoGame);
    EXPECT_EQ(engine.endTurn(), Outcome::NotScoring);

    drawnSeat = 4;
    engine.startGame(false, true);
    take();
    EXPECT_EQ(engine.throwDice(2), Outcome::NotYourTurn);
    EXPECT_EQ(engine.placeDie(1, {1, 1, 1}), Outcome::NotThrownYet);
    EXPECT_EQ(engine.autoPlace(1), Outcome::NotThrownYet);
    EXPECT_EQ(engine.placeNextForComputer(1), Outcome::NotThrownYet);

    ASSERT_EQ(engine.throwDice(1), Outcome::Done);
    const auto thrown = engine.turn().values;
    EXPECT_EQ(engine.throwDice(1), Outcome::AlreadyThrown);
    EXPECT_EQ(engine.turn().values, thrown);
    ASSERT_EQ(engine.placeDie(1, {1, 1, 1}), Outcome::Done);
    take();

    EXPECT_EQ(engine.placeDie(2, {2, 2, 1}), Outcome::NotYourTurn);
    EXPECT_EQ(engine.placeDie(1, {1, 1, 2}), Outcome::DieUsed);
    EXPECT_EQ(engine.placeDie(1, {2, 1, 1}), Outcome::PlaceTaken);
    for (const rules::Placement bad : {rules::Placement{0, 1, 1}, rules::Placement{13, 1, 1}, rules::Placement{2, 0, 1},
                                       rules::Placement{2, 4, 1}, rules::Placement{2, 1, 0}, rules::Placement{2, 1, 5}})
        EXPECT_EQ(engine.placeDie(1, bad), Outcome::OutOfRange);
    EXPECT_EQ(engine.endTurn(), Outcome::NotScoring);
    EXPECT_EQ(engine.setWatching(5, true), Outcome::OutOfRange);
    EXPECT_TRUE(events.empty());
    EXPECT_EQ(engine.seat(1).diceCount, 1);

    ASSERT_EQ(engine.autoPlace(1), Outcome::Done);
    EXPECT_EQ(engine.autoPlace(1), Outcome::NothingToPlace);
    EXPECT_EQ(engine.placeNextForComputer(1), Outcome::NothingToPlace);
}
