#pragma once

#include "constants.h"
#include "dartresult.h"

#include <array>
#include <functional>
#include <string_view>

// The rules of the game, free of any window or network: what a dart hits, how a turn is scored against the marks, and
// who has won.
namespace velmora::rules {

using game::kBull;
using game::kBullPoints;
using game::kClosed;
using game::kDarts;
using game::kFirstTarget;
using game::kSeats;
using game::kTargetCount;

// A die shows 1 to 6.
inline constexpr int kDieFaces = 6;

inline constexpr bool isSeat(int seat)
{
    return seat >= 1 && seat <= kSeats;
}
// The name of the computer player who plays a seat nobody holds; empty for seat 1.
inline constexpr std::string_view botName(int seat)
{
    return isSeat(seat) ? game::kComputerNames[seat] : std::string_view();
}

// Marks 0..3 on the targets 15, 16, 17, 18, 19, 20 and bull, in that order.
using Marks = std::array<int, kTargetCount>;

inline int& marksOn(Marks& marks, int target)
{
    return marks[target - kFirstTarget];
}
inline int marksOn(const Marks& marks, int target)
{
    return marks[target - kFirstTarget];
}

// Tells whether some seat in play still has fewer than three marks on a target.
using OpenTest = std::function<bool(int target)>;

// Scores one dart for a seat: adds marks (never beyond three) and returns
// the points it earns. A hit on a target the seat has closed scores while
// `opponentOpen` says someone is still open on it; a double bull never
// scores more than 25. Misses and empty darts do nothing.
int scoreDart(Marks& marks, const DartResult& result, const OpenTest& opponentOpen);

using DartResults = std::array<DartResult, kDarts>;

// Scores the three darts of a turn in order; each dart sees the marks the
// darts before it left. Returns the points earned.
int scoreTurn(Marks& marks, const DartResults& results, const OpenTest& opponentOpen);

bool allClosed(const Marks& marks);

struct SeatStanding {
    Marks marks{};
    int score = 0;
};

// The win test for the seat whose turn just ended (1..4): it has closed
// every target and, in a points game, no other seat (its team partner left
// out, 0 for none) has more points. A tie with the best opponent wins.
bool checkForWin(const std::array<SeatStanding, kSeats>& seats, int seat, bool pointsGame, int partner);

} // namespace velmora::rules
