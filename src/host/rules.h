#pragma once

#include <array>
#include <functional>
#include <string>
#include <string_view>

// The rules of the game, free of any window or network: what a dart hits,
// how a turn is scored against the marks, and who has won.
namespace velmora::rules {

// Targets are 15..20 and the bull, which travels as 21.
inline constexpr int kFirstTarget = 15;
inline constexpr int kBull = 21;
inline constexpr int kTargetCount = 7;
inline constexpr int kClosed = 3;
inline constexpr int kBullPoints = 25;
inline constexpr int kSeats = 4;
inline constexpr int kDarts = 3;
inline constexpr int kPlacesPerDart = 4;
inline constexpr int kDice = kDarts * kPlacesPerDart;

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

// A dart's result text from the sum of the dice on it: "dBull" for 24,
// "Bull" for 21 to 23, otherwise the sum in decimal.
std::string dartResult(int sum);

// Tells whether some seat in play still has fewer than three marks on a target.
using OpenTest = std::function<bool(int target)>;

// Scores one dart for a seat: adds marks (never beyond three) and returns
// the points it earns. A hit on a target the seat has closed scores while
// `opponentOpen` says someone is still open on it; a double bull never
// scores more than 25. Anything but "Bull", "dBull" or 15..20 misses.
int scoreDart(Marks& marks, std::string_view result, const OpenTest& opponentOpen);

// Scores the three darts of a turn in order; each dart sees the marks the
// darts before it left. Returns the points earned.
int scoreTurn(Marks& marks, const std::array<std::string, kDarts>& results, const OpenTest& opponentOpen);

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
