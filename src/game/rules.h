#pragma once

#include "constants.h"
#include "dartresult.h"

#include <array>
#include <functional>
#include <optional>
#include <string_view>

// The rules of the game, free of any window or network: how a dart marks a board, how a turn is scored against the
// marks, and who has won. The host scores by them and every client marks its copy of the boards by them.
namespace velmora::rules {

inline constexpr bool isSeat(int seat)
{
    return seat >= 1 && seat <= game::kSeats;
}
// The name of the computer player who plays a seat nobody holds.
inline constexpr std::string_view botName(int seat)
{
    return isSeat(seat) ? game::kComputerNames[seat] : std::string_view();
}
// Whether the computer plays a seat that no person sits at: seat 2 always,
// every seat of a team game, and a seat kept for its player's return. Host
// and client answer by this alone.
inline constexpr bool computerPlays(int seat, bool teamGame, bool held = false)
{
    return seat == game::kAlwaysInPlay || teamGame || held;
}

// Marks 0..3 on the targets 15, 16, 17, 18, 19, 20 and bull, in that order.
using Marks = std::array<int, game::kTargetCount>;

inline int& marksOn(Marks& marks, int target)
{
    return marks[target - game::kFirstTarget];
}
inline int marksOn(const Marks& marks, int target)
{
    return marks[target - game::kFirstTarget];
}

// Puts one dart's marks on a seat's board: one for a hit, two for the double
// bull, never beyond three; misses and empty darts change nothing. Returns
// the target when a mark went beyond the third (the dart may score on it),
// else none.
std::optional<int> markDart(Marks& marks, const DartResult& result);

// Tells whether some seat in play still has fewer than three marks on a target.
using OpenTest = std::function<bool(int target)>;

// Scores one dart for a seat: marks it (markDart) and returns the points it
// earns, the target's value (25 for the bull, never 50) while `opponentOpen`
// says someone is still open on it once the dart's marks are on.
int scoreDart(Marks& marks, const DartResult& result, const OpenTest& opponentOpen);

using DartResults = std::array<DartResult, game::kDarts>;

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
bool checkForWin(const std::array<SeatStanding, game::kSeats>& seats, int seat, bool pointsGame, int partner);

} // namespace velmora::rules
