// The rules alone: dart results, scoring a turn, the win test and the
// computer's placement rule.

#include "game/darts.h"
#include "game/placement.h"
#include "game/rules.h"

#include <gtest/gtest.h>
#include <initializer_list>

using namespace velmora::rules;
using velmora::DartResult;
namespace game = velmora::game;

namespace {

const OpenTest kEveryoneOpen = [](int) { return true; };
const OpenTest kNobodyOpen = [](int) { return false; };

Marks marksWith(std::initializer_list<std::pair<int, int>> targets)
{
    Marks marks{};
    for (const auto& [target, count] : targets)
        marksOn(marks, target) = count;
    return marks;
}

Marks allMarks(int count)
{
    Marks marks;
    marks.fill(count);
    return marks;
}

TurnDice thrown(std::array<int, game::kDicePerThrow> values)
{
    TurnDice turn;
    turn.values = values;
    return turn;
}

// Applies the placement rule until it has nothing left to place.
std::vector<Placement> placeAll(TurnDice& turn)
{
    std::vector<Placement> out;
    while (const auto next = nextPlacement(turn)) {
        out.push_back(*next);
        turn.used[next->die - 1] = true;
        turn.places[next->dart - 1][next->place - 1] = turn.values[next->die - 1];
    }
    return out;
}

std::string resultOf(int sum)
{
    return DartResult::fromSum(sum).text();
}

// Scores a turn given as wire texts.
int score(Marks& marks, std::array<const char*, game::kDarts> texts, const OpenTest& open)
{
    DartResults results;
    for (int i = 0; i < game::kDarts; ++i)
        results[i] = *DartResult::parse(texts[i]);
    return scoreTurn(marks, results, open);
}

int dart(Marks& marks, const char* text, const OpenTest& open)
{
    return scoreDart(marks, *DartResult::parse(text), open);
}

int dartSum(const TurnDice& turn, int dart)
{
    int sum = 0;
    for (int value : turn.places[dart - 1])
        sum += value;
    return sum;
}

} // namespace

// --- what a dart hits ----------------------------------------------------------

TEST(DartResult, FromTheSumOfFourDice)
{
    EXPECT_EQ(resultOf(6 + 6 + 6 + 6), "dBull");
    EXPECT_EQ(resultOf(6 + 6 + 6 + 5), "Bull");
    EXPECT_EQ(resultOf(21), "Bull");
    EXPECT_EQ(resultOf(22), "Bull");
    EXPECT_EQ(resultOf(6 + 5 + 4 + 1), "16");
    EXPECT_EQ(resultOf(20), "20");
    EXPECT_EQ(resultOf(15), "15");
    EXPECT_EQ(resultOf(1 + 2 + 3 + 4), "10");
    // Partial darts while dice are being placed.
    EXPECT_EQ(resultOf(1), "1");
    EXPECT_EQ(resultOf(0), "0");
}

// --- scoring -------------------------------------------------------------------------

TEST(ScoreDart, NumbersMarkThenScoreWhileSomeoneIsOpen)
{
    Marks marks{};
    EXPECT_EQ(dart(marks, "18", kEveryoneOpen), 0);
    EXPECT_EQ(marksOn(marks, 18), 1);
    marks = marksWith({{18, 3}});
    EXPECT_EQ(dart(marks, "18", kEveryoneOpen), 18);
    EXPECT_EQ(marksOn(marks, 18), 3);
    EXPECT_EQ(dart(marks, "18", kNobodyOpen), 0);
}

TEST(ScoreDart, MissesDoNothing)
{
    for (const char* result : {"14", "10", "1", "0", ""}) {
        Marks marks = allMarks(2);
        EXPECT_EQ(dart(marks, result, kEveryoneOpen), 0) << result;
        EXPECT_EQ(marks, allMarks(2)) << result;
    }
}

TEST(ScoreDart, TheOpenTestAsksAboutTheDartsTarget)
{
    Marks marks = allMarks(3);
    std::vector<int> asked;
    const OpenTest onlyBullOpen = [&](int target) {
        asked.push_back(target);
        return target == game::kBull;
    };
    EXPECT_EQ(dart(marks, "20", onlyBullOpen), 0);
    EXPECT_EQ(dart(marks, "Bull", onlyBullOpen), 25);
    EXPECT_EQ(dart(marks, "dBull", onlyBullOpen), 25);
    EXPECT_EQ(asked, (std::vector<int>{20, game::kBull, game::kBull}));
}

TEST(ScoreDart, Bull)
{
    Marks marks{};
    EXPECT_EQ(dart(marks, "Bull", kEveryoneOpen), 0);
    EXPECT_EQ(marksOn(marks, game::kBull), 1);
    marks = marksWith({{game::kBull, 3}});
    EXPECT_EQ(dart(marks, "Bull", kEveryoneOpen), 25);
    EXPECT_EQ(dart(marks, "Bull", kNobodyOpen), 0);
}

TEST(ScoreDart, DoubleBullNeverScoresFifty)
{
    struct Case {
        int before, after, points;
    };
    for (const Case c : {Case{0, 2, 0}, Case{1, 3, 0}, Case{2, 3, 25}, Case{3, 3, 25}}) {
        Marks marks = marksWith({{game::kBull, c.before}});
        EXPECT_EQ(dart(marks, "dBull", kEveryoneOpen), c.points) << "bull marks before: " << c.before;
        EXPECT_EQ(marksOn(marks, game::kBull), c.after) << "bull marks before: " << c.before;
    }
    Marks marks = marksWith({{game::kBull, 2}});
    EXPECT_EQ(dart(marks, "dBull", kNobodyOpen), 0);
    EXPECT_EQ(marksOn(marks, game::kBull), 3);
}

TEST(ScoreTurn, EachDartSeesTheMarksOfTheDartsBeforeIt)
{
    Marks marks{};
    EXPECT_EQ(score(marks, {"18", "18", "18"}, kEveryoneOpen), 0);
    EXPECT_EQ(marks, marksWith({{18, 3}}));

    marks = marksWith({{18, 2}});
    EXPECT_EQ(score(marks, {"18", "18", "18"}, kEveryoneOpen), 36);
    EXPECT_EQ(marks, marksWith({{18, 3}}));

    // A first double bull on an empty bull marks twice; the second closes and scores once.
    marks = {};
    EXPECT_EQ(score(marks, {"dBull", "dBull", "12"}, kEveryoneOpen), 25);
    EXPECT_EQ(marks, marksWith({{game::kBull, 3}}));

    marks = {};
    EXPECT_EQ(score(marks, {"dBull", "dBull", "dBull"}, kEveryoneOpen), 50);
    EXPECT_EQ(score(marks, {"20", "Bull", "16"}, kEveryoneOpen), 25);
    EXPECT_EQ(marks, marksWith({{game::kBull, 3}, {20, 1}, {16, 1}}));
}

TEST(ScoreTurn, ClosedByEveryoneScoresNothing)
{
    Marks marks = allMarks(3);
    EXPECT_EQ(score(marks, {"20", "20", "Bull"}, kNobodyOpen), 0);
    EXPECT_EQ(marks, allMarks(3));
}

// --- the win test ---------------------------------------------------------------------

TEST(CheckForWin, AllTargetsMustBeClosed)
{
    std::array<SeatStanding, game::kSeats> seats{};
    seats[0].marks = allMarks(3);
    marksOn(seats[0].marks, game::kBull) = 2;
    EXPECT_FALSE(checkForWin(seats, 1, false, 0));
    EXPECT_FALSE(checkForWin(seats, 1, true, 0));
    marksOn(seats[0].marks, game::kBull) = 3;
    EXPECT_TRUE(checkForWin(seats, 1, true, 0));
}

TEST(CheckForWin, BehindInPointsKeepsPlayingUnlessPointsAreOff)
{
    std::array<SeatStanding, game::kSeats> seats{};
    seats[1].marks = allMarks(3);
    seats[1].score = 40;
    seats[3].score = 41; // a seat nobody plays still counts with its score
    EXPECT_FALSE(checkForWin(seats, 2, true, 0));
    EXPECT_TRUE(checkForWin(seats, 2, false, 0));
}

TEST(CheckForWin, ATieWithTheBestOpponentWins)
{
    std::array<SeatStanding, game::kSeats> seats{};
    seats[0].marks = allMarks(3);
    seats[0].score = 75;
    seats[1].score = 75;
    seats[2].score = 10;
    EXPECT_TRUE(checkForWin(seats, 1, true, 0));
    seats[2].score = 76;
    EXPECT_FALSE(checkForWin(seats, 1, true, 0));
}

TEST(CheckForWin, APartnerIsNoOpponent)
{
    std::array<SeatStanding, game::kSeats> seats{};
    seats[2].marks = allMarks(3);
    seats[2].score = 30;
    seats[0].score = 90; // seat 3's partner
    seats[1].score = 30;
    EXPECT_TRUE(checkForWin(seats, 3, true, 1));
    EXPECT_FALSE(checkForWin(seats, 3, true, 0));
    seats[3].score = 31;
    EXPECT_FALSE(checkForWin(seats, 3, true, 1));
}

TEST(CheckForWin, OnlyTheSeatAskedAbout)
{
    std::array<SeatStanding, game::kSeats> seats{};
    seats[1].marks = allMarks(3);
    EXPECT_FALSE(checkForWin(seats, 1, false, 0));
    EXPECT_TRUE(checkForWin(seats, 2, false, 0));
}

// --- the placement rule -----------------------------------------------------------------

TEST(Placement, LowDiceFirstThenByNumber)
{
    TurnDice turn = thrown({1, 5, 2, 6, 6, 1, 3, 4, 2, 5, 6, 6});
    const std::vector<Placement> expected = {
        {1, 1, 1}, {3, 1, 2},  {6, 1, 3},  {9, 1, 4},  // values 1, 2, 1, 2: a miss with 6
        {2, 2, 1}, {4, 2, 2},  {5, 2, 3},  {7, 2, 4},  // 5, 6, 6, 3: "20"
        {8, 3, 1}, {10, 3, 2}, {11, 3, 3}, {12, 3, 4}, // 4, 5, 6, 6: "Bull"
    };
    EXPECT_EQ(placeAll(turn), expected);
    EXPECT_EQ(resultOf(dartSum(turn, 1)), "6");
    EXPECT_EQ(resultOf(dartSum(turn, 2)), "20");
    EXPECT_EQ(resultOf(dartSum(turn, 3)), "Bull");
}

TEST(Placement, NoLowDiceGoesInDieOrder)
{
    TurnDice turn = thrown({3, 4, 5, 6, 6, 5, 4, 3, 3, 3, 3, 3});
    const std::vector<Placement> placed = placeAll(turn);
    ASSERT_EQ(placed.size(), 12u);
    for (int i = 0; i < 12; ++i)
        EXPECT_EQ(placed[i], (Placement{i + 1, i / 4 + 1, i % 4 + 1}));
}

TEST(Placement, SixLowDiceFourOnTheFirstDartTwoByNumber)
{
    TurnDice turn = thrown({6, 1, 2, 5, 1, 2, 6, 2, 6, 1, 6, 6});
    const std::vector<Placement> placed = placeAll(turn);
    ASSERT_EQ(placed.size(), 12u);
    // Dart 1 takes low dice 2, 3, 5, 6; the low dice 8 and 10 go out in phase 2 by number.
    const std::vector<Placement> expected = {
        {2, 1, 1}, {3, 1, 2}, {5, 1, 3}, {6, 1, 4},  {1, 2, 1},  {4, 2, 2},
        {7, 2, 3}, {8, 2, 4}, {9, 3, 1}, {10, 3, 2}, {11, 3, 3}, {12, 3, 4},
    };
    EXPECT_EQ(placed, expected);
}

TEST(Placement, OneAtATimeIsTheSameAsAllAtOnce)
{
    // The computer asks for one placement per step; each answer is the rule's next move.
    TurnDice turn = thrown({2, 6, 6, 6, 1, 6, 5, 5, 5, 5, 4, 3});
    const auto first = nextPlacement(turn);
    ASSERT_TRUE(first.has_value());
    EXPECT_EQ(*first, (Placement{1, 1, 1}));
    EXPECT_EQ(nextPlacement(turn), first); // asking does not place
    turn.used[0] = true;
    turn.places[0][0] = 2;
    EXPECT_EQ(nextPlacement(turn), (Placement{5, 1, 2}));
    turn.used[4] = true;
    turn.places[0][1] = 1;
    // No low die left: dart 1's last two places take the lowest-numbered dice left.
    EXPECT_EQ(nextPlacement(turn), (Placement{2, 1, 3}));
}

TEST(Placement, AutoPlaceKeepsThePlayersOwnPlacements)
{
    TurnDice turn = thrown({6, 6, 6, 6, 1, 1, 3, 3, 4, 4, 5, 5});
    // The player put four sixes on dart 3 and die 11 in dart 1's third place himself.
    for (int i = 0; i < 4; ++i) {
        turn.used[i] = true;
        turn.places[2][i] = 6;
    }
    turn.used[10] = true;
    turn.places[0][2] = 5;
    const std::vector<Placement> placed = placeAll(turn);
    const std::vector<Placement> expected = {
        {5, 1, 1}, {6, 1, 2}, // low dice on dart 1's empty places
        {7, 1, 4},            // then the rest by number
        {8, 2, 1}, {9, 2, 2}, {10, 2, 3}, {12, 2, 4},
    };
    EXPECT_EQ(placed, expected);
    EXPECT_EQ(turn.places[2], (std::array<int, 4>{6, 6, 6, 6}));
    EXPECT_EQ(turn.places[0][2], 5);
}

TEST(Placement, NothingLeftToPlace)
{
    TurnDice turn = thrown({1, 2, 3, 4, 5, 6, 1, 2, 3, 4, 5, 6});
    placeAll(turn);
    EXPECT_FALSE(nextPlacement(turn).has_value());
}

TEST(Darts, ADartIsCompleteWithItsFourthDieWhateverPlaceItTakes)
{
    TurnDice turn = thrown({6, 6, 5, 4, 1, 1, 1, 1, 1, 1, 1, 1});
    // Dart 1 filled from its last place: three dice make 17, no dart yet.
    const std::array<std::pair<Placement, const char*>, 4> steps = {
        {{{1, 1, 4}, "6"}, {{2, 1, 1}, "12"}, {{3, 1, 3}, "17"}, {{4, 1, 2}, "Bull"}}};
    for (size_t i = 0; i < steps.size(); ++i) {
        const auto landing = layDie(turn, steps[i].first);
        ASSERT_TRUE(landing.has_value());
        EXPECT_EQ(landing->result.text(), steps[i].second);
        EXPECT_EQ(landing->dartComplete, i == 3);
        EXPECT_FALSE(landing->allPlaced);
    }
    EXPECT_EQ(firstEmptyPlace(turn.places), (std::pair{2, 1}));

    // Refused, with nothing changed: a taken place, a placed die, numbers out of range.
    const TurnDice before = turn;
    for (const Placement bad : {Placement{5, 1, 4}, Placement{1, 2, 1}, Placement{13, 2, 1}, Placement{5, 4, 1}}) {
        EXPECT_FALSE(layDie(turn, bad).has_value());
        EXPECT_EQ(turn.places, before.places);
        EXPECT_EQ(turn.used, before.used);
    }
    // The other darts across each other; the last die completes dart 2 and the turn.
    const std::array<Placement, 8> rest = {
        {{5, 3, 1}, {6, 2, 2}, {7, 3, 3}, {8, 2, 4}, {9, 3, 2}, {10, 2, 3}, {11, 3, 4}, {12, 2, 1}}};
    for (size_t i = 0; i < rest.size(); ++i) {
        const auto landing = layDie(turn, rest[i]);
        ASSERT_TRUE(landing.has_value());
        EXPECT_EQ(landing->dartComplete, i == 6 || i == 7) << i;
        EXPECT_EQ(landing->allPlaced, i == 7) << i;
    }
    EXPECT_TRUE(allPlaced(turn.places));
    EXPECT_FALSE(firstEmptyPlace(turn.places).has_value());
}

TEST(Darts, ADieNotYetThrownHasNoPlace)
{
    TurnDice turn;
    EXPECT_FALSE(layDie(turn, {1, 1, 1}).has_value());
    EXPECT_EQ(turn.places, DartPlaces{});
}
