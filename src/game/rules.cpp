#include "rules.h"

#include <algorithm>

namespace velmora::rules {

std::optional<int> markDart(Marks& marks, const DartResult& result)
{
    const std::optional<int> target = result.target();
    if (!target)
        return std::nullopt;
    int& m = marksOn(marks, *target);
    const int wanted = m + result.marks();
    m = std::min(wanted, game::kClosed);
    // A mark beyond the third scores instead: so a double bull on two marks
    // closes the bull and scores once.
    return wanted > game::kClosed ? target : std::nullopt;
}

int scoreDart(Marks& marks, const DartResult& result, const OpenTest& opponentOpen)
{
    const std::optional<int> target = markDart(marks, result);
    if (!target || !opponentOpen(*target))
        return 0;
    return *target == game::kBull ? game::kBullPoints : *target;
}

int scoreTurn(Marks& marks, const DartResults& results, const OpenTest& opponentOpen)
{
    int points = 0;
    for (const DartResult& result : results)
        points += scoreDart(marks, result, opponentOpen);
    return points;
}

bool allClosed(const Marks& marks)
{
    return std::all_of(marks.begin(), marks.end(), [](int m) { return m >= game::kClosed; });
}

bool checkForWin(const std::array<SeatStanding, game::kSeats>& seats, int seat, bool pointsGame, int partner)
{
    const SeatStanding& me = seats[seat - 1];
    if (!allClosed(me.marks))
        return false;
    if (!pointsGame)
        return true;
    for (int other = 1; other <= game::kSeats; ++other) {
        if (other == seat || other == partner)
            continue;
        if (seats[other - 1].score > me.score)
            return false;
    }
    return true;
}

} // namespace velmora::rules
